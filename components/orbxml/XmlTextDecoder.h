#pragma once
// Turns the bytes of an XML file into UTF-16 text for the parser: a UTF-8 byte
// order mark or the declaration's encoding decides the code page; without
// either, text that is valid UTF-8 is taken as UTF-8 and anything else as code
// page 936. The declaration itself is left out of the result, because the
// parser then reads already decoded text and must not decode it again.
#include <string>

class XmlTextDecoder {
 public:
  // False when the encoding is not supported or the bytes are not valid in it.
  static bool Decode(const std::string& bytes, std::wstring& text);

 private:
  // 0 when the name is not an encoding we read.
  static unsigned CodePageOfName(std::string name);
  // True when the declaration names an encoding (encoding then holds the
  // name, "" when it is unreadable); end is where the declaration ends.
  static bool ReadDeclaration(const std::string& bytes, size_t start, std::string& encoding, size_t& end);
  static bool Convert(unsigned codePage, const char* data, size_t size, std::wstring& text);
};
