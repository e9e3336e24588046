#include "IniFile.h"

#include <windows.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CFileHandle.h"
#include "FileUtils.h"

namespace {

CString TrimmedLeft(const CString& line) {
  CString text(line);
  text.TrimLeft();
  return text;
}

bool IsComment(const CString& leftTrimmed) {
  return leftTrimmed.IsEmpty() || leftTrimmed.Find("//") == 0 || leftTrimmed.GetAt(0) == ';';
}

// A header starts with "[". A "[" inside a value does not end the section.
bool IsHeader(const CString& leftTrimmed) { return !leftTrimmed.IsEmpty() && leftTrimmed.GetAt(0) == '['; }

// The text before the first "=", lower-cased and trimmed; empty without "=".
CString KeyPart(const CString& leftTrimmed) {
  int equals = leftTrimmed.Find('=');
  CString key = equals < 0 ? CString() : leftTrimmed.Left(equals);
  key.MakeLower();
  key.Trim();
  return key;
}

CString Lowered(const char* text) {
  CString lower(text);
  lower.MakeLower();
  return lower;
}

bool HasLineBreak(const char* text) { return text && (std::strchr(text, '\n') || std::strchr(text, '\r')); }

std::vector<CString> SplitLines(const std::string& content) {
  std::vector<CString> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    size_t stop = end;
    if (stop > start && content[stop - 1] == '\r') --stop;
    lines.emplace_back(content.substr(start, stop - start));
    start = end + 1;
  }
  return lines;
}

bool WriteAll(HANDLE file, const std::string& content) {
  DWORD written = 0;
  return content.empty() ||
         (WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
          written == content.size());
}

}  // namespace

// Rewriting a file in place, the way left when the file cannot be replaced.
namespace {

enum class InPlace { Done, NotOpened, FailedHalfway };

// The whole new text waits here while the file is rewritten in place, so a
// writer that dies halfway never leaves the old text half overwritten: the
// next Load finishes the job.
std::wstring PendingPath(const std::wstring& path) { return path + L".pending"; }

InPlace RewriteInPlace(const std::wstring& path, const std::string& content) {
  CFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return InPlace::NotOpened;
  const bool done = WriteAll(file.Get(), content) && SetEndOfFile(file.Get()) && FlushFileBuffers(file.Get());
  return done ? InPlace::Done : InPlace::FailedHalfway;
}

// When a rewrite in place did not finish, content becomes the pending text
// and the file gets it now (or at a later Load, while it cannot be written).
void FinishRewriteInPlace(const std::wstring& path, std::string& content) {
  const std::wstring pending = PendingPath(path);
  std::string text;
  if (GetFileAttributesW(pending.c_str()) == INVALID_FILE_ATTRIBUTES || !ReadWholeFile(pending, text, INT_MAX)) return;
  content = text;
  if (RewriteInPlace(path, content) == InPlace::Done) DeleteFileW(pending.c_str());
}

}  // namespace

CIniFile::~CIniFile() {
  if (m_bLoaded && m_bModified) Save();
}

int CIniFile::Load(const char* path) {
  if (m_bLoaded && m_bModified) Save();
  m_arrLines.clear();
  m_bLoaded = false;
  m_bModified = false;
  m_strPath = path ? path : "";
  std::string content;
  if (m_strPath.IsEmpty() || !ReadWholeFile(m_strPath, content, INT_MAX)) return 0;
  FinishRewriteInPlace(ToWidePath(m_strPath), content);
  m_arrLines = SplitLines(content);
  m_bLoaded = true;
  return 1;
}

int CIniFile::FindSection(const char* section) const {
  const CString header = CString("[") + (section ? section : "") + "]";
  for (size_t i = 0; i < m_arrLines.size(); ++i) {
    CString line(m_arrLines[i]);
    if (line.Trim() == header) return static_cast<int>(i);
  }
  return -1;
}

int CIniFile::FindKeyLine(const char* section, const char* key) const {
  const int header = FindSection(section);
  if (header < 0) return -1;
  const CString wanted = Lowered(key);
  for (size_t i = static_cast<size_t>(header) + 1; i < m_arrLines.size(); ++i) {
    const CString line = TrimmedLeft(m_arrLines[i]);
    if (IsComment(line)) continue;
    if (KeyPart(line) == wanted) return static_cast<int>(i) + 1;
    if (IsHeader(line)) return -2;
  }
  return -1;
}

int CIniFile::GetString(const char* section, const char* key, CString& out) const {
  if (!m_bLoaded || !key || !*key) return 0;
  const int number = FindKeyLine(section, key);
  if (number < 1) return 0;
  const CString& line = m_arrLines[static_cast<size_t>(number - 1)];
  CString value = line.Mid(line.Find('=') + 1);
  value.Trim();
  // The first "//" that follows a blank, tab or ";" starts a comment.
  for (int at = value.Find("//"); at >= 0; at = value.Find("//", at + 1)) {
    const char before = at > 0 ? value.GetAt(at - 1) : '\0';
    if (before == ' ' || before == '\t' || before == ';') {
      value = value.Left(at);
      break;
    }
  }
  value.Trim();
  out = value;
  return 1;
}

int CIniFile::GetInt(const char* section, const char* key, int& out) const {
  CString text;
  if (!GetString(section, key, text)) return 0;
  text.TrimLeft();
  const long long number = std::strtoll(text, nullptr, 10);
  out = static_cast<int>(number > INT_MAX ? INT_MAX : (number < INT_MIN ? INT_MIN : number));
  return 1;
}

int CIniFile::SetString(const char* section, const char* key, const char* value) {
  if (!m_bLoaded || !section || !key || !*key) return 0;
  if (!value) value = "";
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return 0;
  CString keyLine;
  keyLine.Format("%s=%s", key, value);
  m_bModified = true;

  const int header = FindSection(section);
  if (header < 0) {
    m_arrLines.push_back(CString("[") + section + "]");
    m_arrLines.push_back(keyLine);
    return 1;
  }
  const CString wanted = Lowered(key);
  for (size_t i = static_cast<size_t>(header) + 1; i < m_arrLines.size(); ++i) {
    const CString line = TrimmedLeft(m_arrLines[i]);
    if (IsComment(line)) continue;
    if (KeyPart(line) == wanted) {
      // Keep the key as written, with its blanks; the old value and any
      // comment go.
      m_arrLines[i] = m_arrLines[i].Left(m_arrLines[i].Find('=') + 1) + value;
      return 1;
    }
    if (IsHeader(line)) {
      m_arrLines.insert(m_arrLines.begin() + static_cast<std::ptrdiff_t>(i), keyLine);
      return 1;
    }
  }
  m_arrLines.push_back(keyLine);
  return 1;
}

int CIniFile::SetInt(const char* section, const char* key, int value) {
  CString text;
  text.Format("%d", value);
  return SetString(section, key, text);
}

bool CIniFile::Save() {
  if (!m_bLoaded) return false;
  if (!m_bModified) return true;
  const std::wstring target = ToWidePath(m_strPath);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return false;
  std::string content;
  for (const CString& line : m_arrLines) {
    content += line.Str();
    content += "\r\n";
  }
  const std::wstring temporary = target + L".new";
  bool written = false;
  {
    CFileHandle file(
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    written = file.IsValid() && WriteAll(file.Get(), content) && FlushFileBuffers(file.Get());
    if (!file.IsValid()) return false;
  }
  if (written && MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    m_bModified = false;
    return true;
  }
  // Another program holds the file open without letting it be deleted, so it
  // cannot be replaced: it is rewritten in place, with the whole new text
  // kept beside it until that is done.
  const std::wstring pending = PendingPath(target);
  if (written &&
      MoveFileExW(temporary.c_str(), pending.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const InPlace result = RewriteInPlace(target, content);
    // A rewrite that failed halfway leaves the pending text for the next Load.
    if (result != InPlace::FailedHalfway) DeleteFileW(pending.c_str());
    m_bModified = result != InPlace::Done;
    return result == InPlace::Done;
  }
  DeleteFileW(temporary.c_str());
  return false;
}
