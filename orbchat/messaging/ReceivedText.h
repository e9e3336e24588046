#pragma once
// One text popped from an answer pool, read into what it holds: whether it is
// a JSON object at all, the failure code and message of a failure answer, and
// the message fields. It decides nothing: the chat manager chooses what to do
// with each kind of text.
//
// Reading rules: the text is trimmed and must be an object in braces that
// parses completely (comments allowed); a key whose value is null counts as
// absent. A known key of the wrong type never throws: a number or a boolean
// where text is expected is taken as its JSON text, an array or object is
// left out and its key listed in GetIgnoredKeys(). NUL bytes inside values are
// removed, so a value never ends early when handed on as a C string.
#include <array>
#include <vector>

#include "CString.h"

namespace Json {
class Value;
}

// The message fields, in the order of the stored message record.
enum class ReceivedKey { Abstract, Body, From, FromId, MsgId, MsgType, PublishTime, ThreadId, ThreadMembers, Title, Url };

// Why a text is not a JSON object.
enum class ReceivedError { None, TooLong, NotBraced, ParseFailed };

class CReceivedText {
 public:
  static constexpr int kKeyCount = 11;
  // Texts longer than this are refused unread; a message body is at most one
  // megabyte, so no real message comes near it.
  static constexpr int kMaxTextLength = 16 * 1024 * 1024;
  // Objects nested deeper than this are refused (the reader recurses).
  static constexpr int kMaxDepth = 256;
  // Failure code given to an "issuccessful" whose value cannot be read as an
  // integer (text that is not a number, an array, an object, a number out of
  // range): the answer is not a success, but its code is unknown.
  static constexpr int kUnreadableCode = -1;

  static CReceivedText Parse(const CString& text);
  static const char* KeyName(ReceivedKey key);

  // False when the text is not a JSON object; GetError() then says why and
  // GetErrorDetail() gives the reader's own words, for diagnostics.
  bool IsJson() const { return m_nError == ReceivedError::None; }
  ReceivedError GetError() const { return m_nError; }
  const CString& GetErrorDetail() const { return m_strErrorDetail; }

  // "issuccessful" present (and not null).
  bool HasStatus() const { return m_bHasStatus; }
  // 0 when absent or 0; otherwise the failure code.
  int GetErrorCode() const { return m_nErrorCode; }
  bool IsFailure() const { return m_bHasStatus && m_nErrorCode != 0; }
  // "errorinfo", converted from UTF-8 to code page 936.
  bool HasErrorInfo() const { return m_bHasErrorInfo; }
  const CString& GetErrorInfo() const { return m_strErrorInfo; }
  // "[code]:message", the line shown for a failure answer.
  CString FormatFailureLine() const;

  bool Has(ReceivedKey key) const { return m_arrPresent[Index(key)]; }
  // "" when absent.
  const CString& Get(ReceivedKey key) const { return m_arrValues[Index(key)]; }

  // Known keys whose value had a type that could not be read.
  const std::vector<CString>& GetIgnoredKeys() const { return m_arrIgnoredKeys; }

 private:
  static size_t Index(ReceivedKey key) { return static_cast<size_t>(key); }

  ReceivedError m_nError = ReceivedError::ParseFailed;
  CString m_strErrorDetail;
  bool m_bHasStatus = false;
  int m_nErrorCode = 0;
  bool m_bHasErrorInfo = false;
  CString m_strErrorInfo;
  std::array<bool, kKeyCount> m_arrPresent{};
  std::array<CString, kKeyCount> m_arrValues;
  std::vector<CString> m_arrIgnoredKeys;

  void ReadObject(const Json::Value& root);
};
