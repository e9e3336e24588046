#include "JsonTextWriter.h"

#include <utility>

namespace {

constexpr char kHex[] = "0123456789abcdef";

// Bytes a JSON string cannot hold as they are.
struct EscapeTable {
  bool needed[256];
  constexpr EscapeTable() : needed() {
    for (int b = 0; b < 256; ++b) needed[b] = b < 0x20 || b == '"' || b == '\\';
  }
};
constexpr EscapeTable kEscape;

}  // namespace

JsonTextWriter::JsonTextWriter(size_t capacity) {
  m_strText.reserve(capacity);
  m_strText += '{';
}

std::string JsonTextWriter::Text() {
  m_strText += '}';
  return std::move(m_strText);
}

JsonTextWriter& JsonTextWriter::Add(const char* key, const std::string& value) {
  AppendKey(key);
  AppendString(value);
  return *this;
}

JsonTextWriter& JsonTextWriter::Add(const char* key, int value) {
  AppendKey(key);
  m_strText += std::to_string(value);
  return *this;
}

JsonTextWriter& JsonTextWriter::AddIfNotEmpty(const char* key, const std::string& value) {
  if (!value.empty()) Add(key, value);
  return *this;
}

void JsonTextWriter::AppendKey(const char* key) {
  if (m_strText.size() > 1) m_strText += ',';
  AppendString(key);
  m_strText += ':';
}

void JsonTextWriter::AppendString(const std::string& value) {
  m_strText += '"';
  // Runs of bytes that need no escape are appended whole.
  size_t start = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    auto byte = static_cast<unsigned char>(value[i]);
    if (!kEscape.needed[byte]) continue;
    m_strText.append(value, start, i - start);
    start = i + 1;
    switch (byte) {
      case '"': m_strText += "\\\""; break;
      case '\\': m_strText += "\\\\"; break;
      case '\n': m_strText += "\\n"; break;
      case '\r': m_strText += "\\r"; break;
      case '\t': m_strText += "\\t"; break;
      default: {
        const char escape[] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 0x0F]};
        m_strText.append(escape, sizeof escape);
      }
    }
  }
  m_strText.append(value, start, value.size() - start);
  m_strText += '"';
}
