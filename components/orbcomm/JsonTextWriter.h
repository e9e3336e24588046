#pragma once
// Writes one flat JSON object, keys in the order they are added. String values
// are written byte for byte (code page 936 text stays code page 936, as the
// client's reader takes it over unconverted); only the quote, the backslash
// and control bytes are escaped, which keeps every GBK character intact even
// when its trail byte is a backslash.
#include <string>

class JsonTextWriter {
 public:
  // capacity: the expected length of the text, so it is allocated once.
  explicit JsonTextWriter(size_t capacity = 128);
  JsonTextWriter& Add(const char* key, const std::string& value);
  JsonTextWriter& Add(const char* key, int value);
  JsonTextWriter& AddIfNotEmpty(const char* key, const std::string& value);
  // Closes the object and hands its text out; the writer is empty afterwards.
  std::string Text();

 private:
  void AppendKey(const char* key);
  void AppendString(const std::string& value);

  std::string m_strText;
};
