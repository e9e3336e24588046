#include "messaging/PercentEncoding.h"

#include <array>

#include "CodePage.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// The pair separators of a form body, escaped only in raw values: an encoded
// value may keep them, since every letter of a key is escaped inside it.
bool IsSeparator(unsigned char byte) { return byte == '&' || byte == '='; }

std::array<bool, 256> MakeTable() {
  std::array<bool, 256> table{};
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    table[static_cast<size_t>(b)] = byte < 0x20 || byte >= 0x50 || byte == '*' || byte == '#' || byte == '%' ||
                                    byte == '<' || byte == '>' || byte == '+' || byte == ' ';
  }
  return table;
}

const std::array<bool, 256>& Table() {
  static const std::array<bool, 256> table = MakeTable();
  return table;
}

void AppendEscaped(std::string& out, unsigned char byte) {
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

}  // namespace

namespace PercentEncoding {

bool IsEscaped(unsigned char byte) { return Table()[byte]; }

std::string EncodeBytes(const char* bytes, size_t length) {
  const std::array<bool, 256>& table = Table();
  std::string out;
  out.resize(length * 3);
  char* p = out.data();
  for (size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (table[byte]) {
      *p++ = '%';
      *p++ = kHex[byte >> 4];
      *p++ = kHex[byte & 0x0F];
    } else {
      *p++ = static_cast<char>(byte);
    }
  }
  out.resize(static_cast<size_t>(p - out.data()));
  return out;
}

std::string EncodeAnsi(const CString& text) {
  const std::string utf8 = CodePage::AnsiToUtf8(text.GetString(), text.GetLength());
  return EncodeBytes(utf8.data(), utf8.size());
}

std::string ProtectRaw(const CString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.GetLength()));
  for (char c : text.Str()) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsSeparator(byte)) {
      AppendEscaped(out, byte);
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace PercentEncoding
