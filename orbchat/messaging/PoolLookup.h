#pragma once
// The pool names of the message codes, from the host's XML file (the host
// executable's path with ".xml"). The file is read once per lookup object;
// each Get asks the XML reader for (text, "message.msgpool", direction,
// "msgtype", code). The senders look up their "req" pool, the chat manager its
// three "ans" pools.
#include "CString.h"

class CPoolLookup {
 public:
  // The host XML file's path.
  static CString HostXmlPath();

  // Reads the host XML file; false when it does not open (then every Get
  // gives "").
  bool Load();
  bool LoadFile(const char* path);
  bool IsLoaded() const { return m_bLoaded; }

  // The pool name for a direction ("req" or "ans") and a message code; ""
  // when the file was not read or names no such pool.
  CString Get(const char* direction, const char* code) const;

  // One lookup on a fresh read of the host XML file, for objects that need a
  // single name.
  static CString LookupHostPool(const char* direction, const char* code);

 private:
  CString m_strText;
  bool m_bLoaded = false;
};
