#include "PercentCodec.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

int HexValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  return -1;
}

}  // namespace

bool PercentCodec::IsEscaped(unsigned char byte) {
  return byte < 0x20 || byte >= 0x50 || byte == '*' || byte == '#' || byte == '%' || byte == '<' || byte == '>' ||
         byte == '+' || byte == ' ';
}

std::string PercentCodec::Encode(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size() * 3);
  for (char ch : bytes) {
    auto byte = static_cast<unsigned char>(ch);
    if (IsEscaped(byte)) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += ch;
    }
  }
  return out;
}

bool PercentCodec::Decode(const char* text, size_t length, std::string& bytes) {
  bytes.clear();
  bytes.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    char ch = text[i];
    if (ch == '%') {
      if (i + 2 >= length) return false;
      int high = HexValue(text[i + 1]);
      int low = HexValue(text[i + 2]);
      if (high < 0 || low < 0) return false;
      bytes += static_cast<char>(high * 16 + low);
      i += 2;
    } else if (IsEscaped(static_cast<unsigned char>(ch))) {
      return false;
    } else {
      bytes += ch;
    }
  }
  return true;
}

bool PercentCodec::IsEncodedText(const char* text, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    char ch = text[i];
    if (ch == '%') {
      if (i + 2 >= length || HexValue(text[i + 1]) < 0 || HexValue(text[i + 2]) < 0) return false;
      i += 2;
    } else if (IsEscaped(static_cast<unsigned char>(ch))) {
      return false;
    }
  }
  return true;
}

std::string PercentCodec::DecodeRaw(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 3, "%26") == 0) {
      out += '&';
      i += 2;
    } else if (text.compare(i, 3, "%3D") == 0) {
      out += '=';
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}
