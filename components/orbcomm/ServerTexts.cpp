#include "ServerTexts.h"

#include <algorithm>

#include "CodePage.h"
#include "JsonTextWriter.h"
#include "RequestFields.h"

namespace {

template <size_t N>
bool ParseAs(const CString& body, const RequestField (&fields)[N], RequestParser::Values& values) {
  return RequestParser::Parse(body.Str(), fields, N, values);
}

bool StartsWith(const CString& text, const char* prefix) { return text.Str().rfind(prefix, 0) == 0; }

}  // namespace

ServerTexts::Request ServerTexts::Read(const CString& body, bool personalPool, bool groupPool,
                                       RequestParser::Values& values) {
  // The flag and the key after it tell the kinds apart before any parsing.
  if (personalPool && StartsWith(body, "flag=i&") && ParseAs(body, RequestFields::kApplication, values))
    return Request::Application;
  if (personalPool && StartsWith(body, "flag=d&thread_id=") && ParseAs(body, RequestFields::kPersonal, values))
    return Request::Personal;
  if (groupPool && StartsWith(body, "flag=d&group_id=") && ParseAs(body, RequestFields::kGroup, values))
    return Request::Group;
  return Request::Malformed;
}

CString ServerTexts::RawOf(const RequestParser::Values& values, const char* key) {
  const std::string* raw = values.Find(key);
  return raw ? CString(*raw) : CString();
}

bool ServerTexts::IsSafeId(const CString& id) {
  if (id.IsEmpty() || id.GetLength() > 256) return false;
  return std::none_of(id.Str().begin(), id.Str().end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x20; });
}

std::string ServerTexts::ApplicationAnswer(const CString& threadId) {
  return JsonTextWriter().Add("issuccessful", 0).Add("msg_type", "505").Add("thread_id", threadId.Str()).Text();
}

std::string ServerTexts::Confirmation(const char* code, const CString& msgId, const CString& publishTime,
                                      const CString& threadId) {
  return JsonTextWriter()
      .Add("issuccessful", 0)
      .Add("msg_type", code)
      .Add("msg_id", msgId.Str())
      .Add("publish_time", publishTime.Str())
      .Add("thread_id", threadId.Str())
      .Text();
}

std::string ServerTexts::GroupInfo(const CString& groupId, const CString& name, const CString& description,
                                   const CString& members) {
  return JsonTextWriter()
      .Add("issuccessful", 0)
      .Add("msg_type", "5")
      .Add("group_id", groupId.Str())
      .Add("group_name", name.Str())
      .Add("group_des", description.Str())
      .Add("members", members.Str())
      .Text();
}

std::string ServerTexts::Error(int code, const CString& info) {
  return JsonTextWriter()
      .Add("issuccessful", code)
      .Add("errorinfo", CodePage::AnsiToUtf8(info.GetString(), info.GetLength()))
      .Text();
}
