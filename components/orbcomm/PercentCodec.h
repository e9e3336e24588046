#pragma once
// The percent-encoding of request values, from the server's side. Encoded
// values are UTF-8 text in which every byte of the escape set (below 0x20, from
// 0x50 up, and * # % < > + and the blank) is written "%" and two upper-case hex
// digits; Decode is the exact inverse of Encode. Raw values are copied by the
// client, which may write "&" and "=" as %26 and %3D so that they cannot cut
// the body, and then writes "%" as %25; DecodeRaw turns exactly those three
// back.
#include <cstddef>
#include <string>

class PercentCodec {
 public:
  static bool IsEscaped(unsigned char byte);
  static std::string Encode(const std::string& bytes);
  // False when text is not something Encode could have written: a "%" not
  // followed by two hex digits, or a byte of the escape set standing as it is.
  static bool Decode(const char* text, size_t length, std::string& bytes);
  static bool IsEncodedText(const char* text, size_t length);
  // Length of the longest valid encoded text at the start of text.
  static size_t ValidLength(const char* text, size_t length);
  static std::string DecodeRaw(const std::string& text);
};
