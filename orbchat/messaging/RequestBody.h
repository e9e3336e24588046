#pragma once
// A form-encoded request body: key=value pairs joined by "&" in the order
// they are added. Encoded values go through the module's percent-encoding
// (code page 936 to UTF-8 first); raw values are copied with only the pair
// separators escaped.
#include <string>

#include "CString.h"

class CRequestBody {
 public:
  void AddRaw(const char* key, const CString& value);
  void AddEncoded(const char* key, const CString& value);
  // Optional pairs of the bodies are left out when their value is empty.
  void AddEncodedIfNotEmpty(const char* key, const CString& value);

  CString GetText() const { return CString(m_strText); }
  bool IsEmpty() const { return m_strText.empty(); }

 private:
  void AddPair(const char* key, const std::string& value);

  std::string m_strText;
};
