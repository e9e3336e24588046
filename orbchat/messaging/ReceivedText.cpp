#include "messaging/ReceivedText.h"

#include <json/json.h>

#include <climits>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "CodePage.h"

namespace {

constexpr const char* kKeyNames[CReceivedText::kKeyCount] = {
    "abstract", "body",      "from",           "from_id", "msg_id", "msg_type",
    "publish_time", "thread_id", "thread_members", "title",   "url"};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Readers are made once and lent out from a pool shared by all threads:
// building one per text costs more than a typical text takes to parse, and a
// reader kept in thread-local storage was destroyed only after the runtime
// had released that storage, which crashed (or hung) every thread that ended
// after reading a text.
class CReaderPool {
 public:
  std::unique_ptr<Json::CharReader> Take() {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (!m_arrFree.empty()) {
        std::unique_ptr<Json::CharReader> reader = std::move(m_arrFree.back());
        m_arrFree.pop_back();
        return reader;
      }
    }
    Json::CharReaderBuilder builder;
    builder["collectComments"] = true;
    builder["allowComments"] = true;
    // A second value after the object would otherwise be ignored silently.
    builder["failIfExtra"] = true;
    builder["stackLimit"] = CReceivedText::kMaxDepth;
    return std::unique_ptr<Json::CharReader>(builder.newCharReader());
  }

  void Give(std::unique_ptr<Json::CharReader> reader) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_arrFree.size() < kMaxKept) m_arrFree.push_back(std::move(reader));
  }

 private:
  static constexpr size_t kMaxKept = 16;
  std::mutex m_mutex;
  std::vector<std::unique_ptr<Json::CharReader>> m_arrFree;
};

CReaderPool& Readers() {
  static CReaderPool pool;
  return pool;
}

// A reader borrowed from the pool for one parse.
class CBorrowedReader {
 public:
  CBorrowedReader() : m_pReader(Readers().Take()) {}
  ~CBorrowedReader() {
    if (m_pReader) Readers().Give(std::move(m_pReader));
  }
  CBorrowedReader(const CBorrowedReader&) = delete;
  CBorrowedReader& operator=(const CBorrowedReader&) = delete;
  Json::CharReader& Get() { return *m_pReader; }

 private:
  std::unique_ptr<Json::CharReader> m_pReader;
};

const Json::Value* Find(const Json::Value& object, const char* key) {
  const Json::Value* value = object.find(key, key + std::strlen(key));
  return (value && !value->isNull()) ? value : nullptr;
}

CString WithoutNuls(const char* begin, const char* end) {
  const auto length = static_cast<size_t>(end - begin);
  if (!std::memchr(begin, '\0', length)) return CString(begin, static_cast<int>(length));
  std::string out;
  out.reserve(length);
  for (const char* p = begin; p != end; ++p) {
    if (*p != '\0') out += *p;
  }
  return CString(out);
}

// Text of a value expected to be a string; false for arrays and objects.
bool ReadText(const Json::Value& value, CString& out) {
  switch (value.type()) {
    case Json::stringValue: {
      const char* begin = nullptr;
      const char* end = nullptr;
      value.getString(&begin, &end);
      out = begin ? WithoutNuls(begin, end) : CString();
      return true;
    }
    case Json::intValue:
    case Json::uintValue:
    case Json::realValue:
    case Json::booleanValue:
      out = CString(value.asString());
      return true;
    default:
      return false;
  }
}

// Decimal text with an optional sign, nothing else, within int.
bool ParseDecimal(const std::string& text, int& out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long long n = std::strtoll(text.c_str(), &end, 10);
  if (end != text.c_str() + text.size() || errno != 0 || IsBlank(text[0])) return false;
  if (n < INT_MIN || n > INT_MAX) return false;
  out = static_cast<int>(n);
  return true;
}

// Integer of a status value: the reader's own integer conversion where it
// has one (numbers in range, booleans), decimal text; false otherwise.
bool ReadInteger(const Json::Value& value, int& out) {
  switch (value.type()) {
    case Json::intValue:
    case Json::uintValue:
      if (!value.isInt()) return false;
      out = value.asInt();
      return true;
    case Json::realValue: {
      const double d = value.asDouble();
      if (!(d >= static_cast<double>(INT_MIN) && d <= static_cast<double>(INT_MAX))) return false;
      out = static_cast<int>(d);
      return true;
    }
    case Json::booleanValue:
      out = value.asBool() ? 1 : 0;
      return true;
    case Json::stringValue:
      return ParseDecimal(value.asString(), out);
    default:
      return false;
  }
}

}  // namespace

const char* CReceivedText::KeyName(ReceivedKey key) { return kKeyNames[Index(key)]; }

CString CReceivedText::FormatFailureLine() const {
  CString line;
  line.Format("[%d]:%s", m_nErrorCode, m_strErrorInfo.GetString());
  return line;
}

CReceivedText CReceivedText::Parse(const CString& text) {
  CReceivedText result;
  if (text.GetLength() > kMaxTextLength) {
    result.m_nError = ReceivedError::TooLong;
    return result;
  }
  const char* begin = text.GetString();
  const char* end = begin + text.GetLength();
  while (begin != end && IsBlank(*begin)) ++begin;
  while (end != begin && IsBlank(end[-1])) --end;
  if (end - begin < 2 || *begin != '{' || end[-1] != '}') {
    result.m_nError = ReceivedError::NotBraced;
    return result;
  }
  try {
    Json::Value root;
    std::string errors;
    CBorrowedReader reader;
    if (!reader.Get().parse(begin, end, &root, &errors) || !root.isObject()) {
      result.m_nError = ReceivedError::ParseFailed;
      result.m_strErrorDetail = CString(errors);
      return result;
    }
    result.ReadObject(root);
    result.m_nError = ReceivedError::None;
  } catch (const std::exception& e) {
    // The reader throws when the nesting is too deep; memory may run out on
    // a huge text. Neither may leave this unit.
    result = CReceivedText();
    result.m_nError = ReceivedError::ParseFailed;
    result.m_strErrorDetail = e.what();
  }
  return result;
}

void CReceivedText::ReadObject(const Json::Value& root) {
  if (const Json::Value* status = Find(root, "issuccessful")) {
    m_bHasStatus = true;
    if (!ReadInteger(*status, m_nErrorCode)) m_nErrorCode = kUnreadableCode;
  }
  if (const Json::Value* info = Find(root, "errorinfo")) {
    CString utf8;
    if (ReadText(*info, utf8)) {
      m_bHasErrorInfo = true;
      m_strErrorInfo = CodePage::Utf8ToAnsi(utf8.GetString(), utf8.GetLength());
    } else {
      m_arrIgnoredKeys.emplace_back("errorinfo");
    }
  }
  for (int i = 0; i < kKeyCount; ++i) {
    const Json::Value* value = Find(root, kKeyNames[i]);
    if (!value) continue;
    const auto index = static_cast<size_t>(i);
    if (ReadText(*value, m_arrValues[index])) {
      m_arrPresent[index] = true;
    } else {
      m_arrIgnoredKeys.emplace_back(kKeyNames[i]);
    }
  }
}
