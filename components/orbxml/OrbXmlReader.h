#pragma once
// Reads one value from a small XML configuration text with a real XML parser
// (MSXML). The host XML file of the messenger names its message pools like
// this:
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <message>
//     <msgpool msgtype="5"   ans="orb.sys.ans"/>
//     <msgpool msgtype="505" req="orb.chat.req"  ans="orb.chat.ans"/>
//     <msgpool msgtype="506" req="orb.group.req" ans="orb.group.ans"/>
//   </message>
//
// and GetSpecialStr(text, "message.msgpool", "ans", "msgtype", "505") gives
// "orb.chat.ans".
#include "CString.h"
#include "OrbXmlApi.h"

class ORBXML_API COrbXmlReader {
 public:
  COrbXmlReader() = default;

  // document: the whole XML text, as the file's bytes (UTF-8, or the encoding
  // its declaration names, or code page 936 when it has none and is not UTF-8).
  // path: element names from the root down, separated by ".". Among the
  // elements the path reaches, the first whose attribute `attribute` equals
  // key (exactly) is chosen; the result is its attribute `value`, or, when it
  // has no such attribute, the text of its first child element named `value`.
  // The result is in code page 936 with surrounding blanks removed. "" when the
  // document is malformed or declares a DTD, an element or attribute is
  // missing, or an argument is empty.
  CString GetSpecialStr(const CString& document, const CString& path, const CString& value,
                        const CString& attribute, const CString& key) const;
};
