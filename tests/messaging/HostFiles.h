#pragma once
// A throw-away host folder for one test: the host executable's path seam
// points into it, and the test writes the host's XML and INI files there.
// Everything is removed and the seam restored when the object goes away.
#include <windows.h>

#include <string>

#include "CString.h"
#include "CTestFolder.h"

class CHostFiles {
 public:
  CHostFiles();
  ~CHostFiles();
  CHostFiles(const CHostFiles&) = delete;
  CHostFiles& operator=(const CHostFiles&) = delete;

  // Full paths of the host executable and the files beside it.
  CString ExePath() const { return m_folder.File("host.exe"); }
  CString XmlPath() const { return m_folder.File("host.xml"); }
  CString IniPath() const { return m_folder.File("host.ini"); }

  // Writes the bytes; false when the file could not be written.
  static bool Write(const CString& path, const std::string& bytes);
  // The pool file naming "505" and "506" request and answer pools.
  bool WritePoolXml(const char* personalReq = "orb.chat.req", const char* groupReq = "orb.group.req");
  bool WriteIni(const std::string& text) { return Write(IniPath(), text); }

 private:
  CTestFolder m_folder;
};
