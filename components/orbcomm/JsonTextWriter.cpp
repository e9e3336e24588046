#include "JsonTextWriter.h"

namespace {

constexpr char kHex[] = "0123456789abcdef";

}  // namespace

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
  if (!m_strText.empty()) m_strText += ',';
  AppendString(key);
  m_strText += ':';
}

void JsonTextWriter::AppendString(const std::string& value) {
  m_strText.reserve(m_strText.size() + value.size() + 2);
  m_strText += '"';
  for (char ch : value) {
    auto byte = static_cast<unsigned char>(ch);
    switch (ch) {
      case '"': m_strText += "\\\""; break;
      case '\\': m_strText += "\\\\"; break;
      case '\n': m_strText += "\\n"; break;
      case '\r': m_strText += "\\r"; break;
      case '\t': m_strText += "\\t"; break;
      default:
        if (byte < 0x20) {
          m_strText += "\\u00";
          m_strText += kHex[byte >> 4];
          m_strText += kHex[byte & 0x0F];
        } else {
          m_strText += ch;
        }
    }
  }
  m_strText += '"';
}
