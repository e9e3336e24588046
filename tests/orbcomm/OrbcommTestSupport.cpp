#include "OrbcommTestSupport.h"

#include <gtest/gtest.h>

#include "CodePage.h"
#include "PercentCodec.h"

namespace orbtest {

std::string Encoded(const CString& ansi) {
  return PercentCodec::Encode(CodePage::AnsiToUtf8(ansi.GetString(), ansi.GetLength()));
}

void Body::Add(const char* key, const std::string& value) {
  if (!m_strText.empty()) m_strText += '&';
  m_strText += key;
  m_strText += '=';
  m_strText += value;
}

Body& Body::Raw(const char* key, const CString& value) {
  Add(key, value.Str());
  return *this;
}

Body& Body::Enc(const char* key, const CString& value) {
  Add(key, Encoded(value));
  return *this;
}

Body& Body::EncIfAny(const char* key, const CString& value) {
  if (!value.IsEmpty()) Enc(key, value);
  return *this;
}

CString Application(const CString& threadId, const CString& members, const CString& alias) {
  return Body().Raw("flag", "i").Raw("thread_id", threadId).Raw("thread_members", members).EncIfAny("from", alias);
}

CString Personal(const CString& threadId, const CString& abstract, const CString& body, const CString& alias) {
  return Body()
      .Raw("flag", "d")
      .Raw("thread_id", threadId)
      .Enc("body", body)
      .EncIfAny("abstract", abstract)
      .Raw("body_type", "mht")
      .EncIfAny("from", alias);
}

CString Group(const CString& groupId, const CString& abstract, const CString& body, const CString& alias) {
  return Body()
      .Raw("flag", "d")
      .Raw("group_id", groupId)
      .Enc("body", body)
      .EncIfAny("abstract", abstract)
      .Raw("body_type", "mht")
      .EncIfAny("from", alias);
}

CString Received::Str(const char* key) const {
  if (!Has(key) || !json[key].isString()) return "";
  return CString(json[key].asString());
}

CString Received::ErrorInfo() const {
  std::string utf8 = Has("errorinfo") ? json["errorinfo"].asString() : std::string();
  return CodePage::Utf8ToAnsi(utf8.c_str());
}

std::vector<Received> PopAll(COrbHttp_Protocol_Orb& session, const CString& pool, int limit) {
  std::vector<Received> texts;
  for (int i = 0; i < limit; ++i) {
    Received received;
    CString text = session.Pop(pool, received.pushId);
    if (text.IsEmpty()) break;
    received.text = text.Str();
    Json::Reader reader;
    received.parsed = reader.parse(received.text, received.json, true) && received.json.isObject();
    EXPECT_TRUE(received.parsed) << received.text;
    texts.push_back(received);
  }
  return texts;
}

std::unique_ptr<COrbHttp_Protocol_Orb> Connect(COrbLocalServer& server, const CString& folder, const char* userId,
                                               const char* alias, const char* role) {
  auto session = std::make_unique<COrbHttp_Protocol_Orb>();
  InfoLoginInfoStruct who;
  who.m_strUserID = userId;
  who.m_strAlias = alias;
  who.m_strRole = role;
  who.m_strRoleCodes = "cg";
  who.m_strProfileDir = folder;
  CString error;
  EXPECT_TRUE(session->Login(who, error)) << error.GetString();
  EXPECT_TRUE(session->Link(&server, error)) << error.GetString();
  return session;
}

}  // namespace orbtest
