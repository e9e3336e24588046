#include "messaging/RequestBody.h"

#include "messaging/PercentEncoding.h"

void CRequestBody::AddRaw(const char* key, const CString& value) { AddPair(key, PercentEncoding::ProtectRaw(value)); }

void CRequestBody::AddEncoded(const char* key, const CString& value) {
  AddPair(key, std::string());
  // Encoded straight into the body: a message body can be a megabyte.
  PercentEncoding::AppendEncodedAnsi(m_strText, value.GetString(), static_cast<size_t>(value.GetLength()));
}

void CRequestBody::AddEncodedIfNotEmpty(const char* key, const CString& value) {
  if (!value.IsEmpty()) AddEncoded(key, value);
}

void CRequestBody::AddPair(const char* key, const std::string& value) {
  if (!m_strText.empty()) m_strText += '&';
  m_strText += key;
  m_strText += '=';
  m_strText += value;
}
