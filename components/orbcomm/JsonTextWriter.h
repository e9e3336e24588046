#pragma once
// Writes one flat JSON object, keys in the order they are added. String values
// are written byte for byte (code page 936 text stays code page 936, as the
// client's reader takes it over unconverted); only the quote, the backslash
// and control bytes are escaped, which keeps every GBK character intact even
// when its trail byte is a backslash.
#include <string>

class JsonTextWriter {
 public:
  JsonTextWriter& Add(const char* key, const std::string& value);
  JsonTextWriter& Add(const char* key, int value);
  JsonTextWriter& AddIfNotEmpty(const char* key, const std::string& value);
  std::string Text() const { return "{" + m_strText + "}"; }

 private:
  void AppendKey(const char* key);
  void AppendString(const std::string& value);

  std::string m_strText;
};
