#include "COrbHttp_Protocol_Web.h"

#include <cctype>
#include <string>

#include "CodePage.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool IsHexDigit(char ch) { return std::isxdigit(static_cast<unsigned char>(ch)) != 0; }

// "http" or "https" for an address with that scheme, "" for a relative text,
// "?" for any other scheme (file:, javascript:, a drive letter...).
std::string SchemeOf(const std::string& url) {
  size_t colon = url.find(':');
  if (colon == std::string::npos || colon == 0) return "";
  for (size_t i = 0; i < colon; ++i) {
    auto ch = static_cast<unsigned char>(url[i]);
    bool allowed = std::isalpha(ch) || (i > 0 && (std::isdigit(ch) || ch == '+' || ch == '-' || ch == '.'));
    if (!allowed) return "";  // a colon later in a relative path
  }
  std::string scheme = url.substr(0, colon);
  for (char& ch : scheme) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  bool web = (scheme == "http" || scheme == "https") && url.compare(colon + 1, 2, "//") == 0 &&
             url.size() > colon + 3 && url[colon + 3] != '/';
  return web ? scheme : "?";
}

// The relative text resolved against an absolute base address.
std::string Resolve(const std::string& base, const std::string& relative) {
  size_t hostStart = base.find("//") + 2;
  size_t pathStart = base.find('/', hostStart);
  std::string origin = pathStart == std::string::npos ? base : base.substr(0, pathStart);
  if (relative[0] == '/') return origin + relative;
  std::string directory = pathStart == std::string::npos ? origin + "/" : base.substr(0, base.rfind('/') + 1);
  return directory + relative;
}

// Writes every byte that may not stand in an address as %XX; an existing
// escape is kept.
std::string EscapeUnsafe(const std::string& url) {
  static const std::string kUnsafe = "\"<>\\^`{|} ";
  std::string out;
  for (size_t i = 0; i < url.size(); ++i) {
    auto byte = static_cast<unsigned char>(url[i]);
    bool keptEscape = byte == '%' && i + 2 < url.size() && IsHexDigit(url[i + 1]) && IsHexDigit(url[i + 2]);
    if (byte < 0x21 || byte > 0x7E || kUnsafe.find(static_cast<char>(byte)) != std::string::npos ||
        (byte == '%' && !keptEscape)) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += static_cast<char>(byte);
    }
  }
  return out;
}

}  // namespace

COrbHttp_Protocol_Web::COrbHttp_Protocol_Web(tagWEB_PROTOCOL_HEAD* head) : m_pHead(head) {}

CString COrbHttp_Protocol_Web::GetWebURL(const CString& text) const {
  CString trimmed = text;
  trimmed.Trim();
  if (trimmed.IsEmpty()) return "";
  std::string url = CodePage::AnsiToUtf8(trimmed.GetString(), trimmed.GetLength());
  std::string scheme = SchemeOf(url);
  if (scheme == "?") return "";
  if (scheme.empty()) {
    CString base = m_pHead ? m_pHead->m_strBaseURL : CString();
    base.Trim();
    std::string baseUrl = base.Str();
    std::string baseScheme = SchemeOf(baseUrl);
    if (baseScheme != "http" && baseScheme != "https") return "";
    url = Resolve(baseUrl, url);
  }
  return CString(EscapeUnsafe(url));
}
