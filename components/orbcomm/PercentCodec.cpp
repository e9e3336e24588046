#include "PercentCodec.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// Byte tables, built once: the escape set, and each byte's hex digit value
// (-1 for bytes that are not hex digits).
struct Tables {
  bool escaped[256];
  signed char hex[256];
  constexpr Tables() : escaped(), hex() {
    for (int b = 0; b < 256; ++b) {
      escaped[b] = b < 0x20 || b >= 0x50 || b == '*' || b == '#' || b == '%' || b == '<' || b == '>' || b == '+' ||
                   b == ' ';
      hex[b] = static_cast<signed char>(b >= '0' && b <= '9'   ? b - '0'
                                        : b >= 'A' && b <= 'F' ? b - 'A' + 10
                                        : b >= 'a' && b <= 'f' ? b - 'a' + 10
                                                               : -1);
    }
  }
};
constexpr Tables kTables;

int HexValue(char ch) { return kTables.hex[static_cast<unsigned char>(ch)]; }

}  // namespace

bool PercentCodec::IsEscaped(unsigned char byte) { return kTables.escaped[byte]; }

size_t PercentCodec::ValidLength(const char* text, size_t length) {
  size_t at = 0;
  while (at < length) {
    auto byte = static_cast<unsigned char>(text[at]);
    if (byte == '%') {
      if (at + 2 >= length || HexValue(text[at + 1]) < 0 || HexValue(text[at + 2]) < 0) break;
      at += 3;
    } else if (kTables.escaped[byte]) {
      break;
    } else {
      ++at;
    }
  }
  return at;
}

std::string PercentCodec::Encode(const std::string& bytes) {
  std::string out(bytes.size() * 3, '\0');
  char* p = out.data();
  for (char ch : bytes) {
    auto byte = static_cast<unsigned char>(ch);
    if (kTables.escaped[byte]) {
      *p++ = '%';
      *p++ = kHex[byte >> 4];
      *p++ = kHex[byte & 0x0F];
    } else {
      *p++ = ch;
    }
  }
  out.resize(static_cast<size_t>(p - out.data()));
  return out;
}

bool PercentCodec::Decode(const char* text, size_t length, std::string& bytes) {
  bytes.resize(length);  // decoding never makes a text longer
  char* out = bytes.data();
  for (size_t i = 0; i < length; ++i) {
    char ch = text[i];
    if (ch == '%') {
      if (i + 2 >= length) return false;
      int high = HexValue(text[i + 1]);
      int low = HexValue(text[i + 2]);
      if (high < 0 || low < 0) return false;
      *out++ = static_cast<char>(high * 16 + low);
      i += 2;
    } else if (kTables.escaped[static_cast<unsigned char>(ch)]) {
      return false;
    } else {
      *out++ = ch;
    }
  }
  bytes.resize(static_cast<size_t>(out - bytes.data()));
  return true;
}

bool PercentCodec::IsEncodedText(const char* text, size_t length) { return ValidLength(text, length) == length; }

std::string PercentCodec::DecodeRaw(const std::string& text) {
  if (text.find('%') == std::string::npos) return text;
  std::string out;
  out.reserve(text.size());
  // One pass from the left, so "%2526" is "%26" and never "&".
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 3, "%26") == 0) {
      out += '&';
      i += 2;
    } else if (text.compare(i, 3, "%3D") == 0) {
      out += '=';
      i += 2;
    } else if (text.compare(i, 3, "%25") == 0) {
      out += '%';
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}
