#include "HistoryHtml.h"

#include <cwctype>
#include <string>

#include "CodePage.h"
#include "MsgSearchText.h"

namespace HistoryHtml {
namespace {

constexpr char kMarkOpen[] = "<FONT style=\"BACKGROUND-COLOR: #FFFF00\">";
constexpr char kMarkClose[] = "</FONT>";
constexpr char kCutNote[] = " ……（内容过长，只显示开头）";

// One character of a text run and the HTML it was written as (itself, or an
// entity).
struct Unit {
  wchar_t ch;
  std::wstring source;
};

wchar_t Fold(wchar_t ch) { return ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch - L'A' + L'a') : ch; }

// The character an entity source ("&amp;") stands for; 0 when unknown.
wchar_t EntityChar(const std::wstring& entity) {
  static const struct {
    const wchar_t* name;
    wchar_t ch;
  } kNamed[] = {{L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&amp;", L'&'}, {L"&quot;", L'"'}, {L"&apos;", L'\''}, {L"&nbsp;", L' '}};
  for (const auto& named : kNamed)
    if (entity == named.name) return named.ch;
  if (entity.size() > 3 && entity[1] == L'#') {
    const bool hex = entity[2] == L'x' || entity[2] == L'X';
    const unsigned long code = std::wcstoul(entity.c_str() + (hex ? 3 : 2), nullptr, hex ? 16 : 10);
    return code > 0 && code < 0xD800 ? static_cast<wchar_t>(code) : 0;
  }
  return 0;
}

std::vector<Unit> Units(const std::wstring& run) {
  std::vector<Unit> units;
  for (size_t i = 0; i < run.size();) {
    if (run[i] == L'&') {
      const size_t end = run.find(L';', i);
      if (end != std::wstring::npos && end - i <= 10) {
        const std::wstring entity = run.substr(i, end - i + 1);
        if (const wchar_t ch = EntityChar(entity)) {
          units.push_back({ch, entity});
          i = end + 1;
          continue;
        }
      }
    }
    units.push_back({run[i], std::wstring(1, run[i])});
    ++i;
  }
  return units;
}

std::wstring MarkRun(const std::wstring& run, const std::wstring& word) {
  const std::vector<Unit> units = Units(run);
  const std::wstring markOpen = CodePage::AnsiToWide(kMarkOpen);
  const std::wstring markClose = CodePage::AnsiToWide(kMarkClose);
  std::wstring out;
  for (size_t i = 0; i < units.size();) {
    bool match = i + word.size() <= units.size();
    for (size_t k = 0; match && k < word.size(); ++k) match = Fold(units[i + k].ch) == word[k];
    if (!match) {
      out += units[i++].source;
      continue;
    }
    out += markOpen;
    for (size_t k = 0; k < word.size(); ++k) out += units[i + k].source;
    out += markClose;
    i += word.size();
  }
  return out;
}

CString Utf8ToAnsi(const std::string& utf8) { return CodePage::Utf8ToAnsi(utf8.data(), static_cast<int>(utf8.size())); }
std::string AnsiToUtf8(const CString& ansi) { return CodePage::AnsiToUtf8(ansi.GetString(), ansi.GetLength()); }

bool IsMht(const InfoMsgStructer& msg, const CString& content) {
  CString url = msg.url;
  url.Trim();
  // A "Content-Type:" at the very start is not taken as a web-page document.
  return url == "mht" || content.Find("Content-Type:", 1) >= 1;
}

// Plain text, escaped, with its line breaks as BR.
CString TextAsHtml(const CString& text) {
  CString html = Escape(text);
  html.Replace("\r\n", "\n");
  html.Replace("\n", "<BR>");
  return html;
}

// The start of text, at most maxBytes long, never ending inside a double-byte
// character.
CString CutText(const CString& text, int maxBytes) {
  std::wstring wide = CodePage::AnsiToWide(text);
  while (!wide.empty() && CodePage::WideToAnsi(wide.c_str()).GetLength() > maxBytes) wide.resize(wide.size() * 3 / 4);
  return CodePage::WideToAnsi(wide.c_str());
}

}  // namespace

CString Escape(const CString& text) {
  CString out;
  for (int i = 0; i < text.GetLength(); ++i) {
    const char ch = text[i];
    switch (ch) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += ch;
    }
  }
  return out;
}

CString Highlight(const CString& html, const CString& word) {
  std::wstring target = CodePage::AnsiToWide(word);
  if (target.empty()) return html;
  for (wchar_t& ch : target) ch = Fold(ch);
  const std::wstring source = CodePage::AnsiToWide(html);
  std::wstring out;
  size_t i = 0;
  while (i < source.size()) {
    if (source[i] == L'<') {
      const size_t close = source.find(L'>', i);
      const size_t end = close == std::wstring::npos ? source.size() : close + 1;
      out.append(source, i, end - i);
      i = end;
      continue;
    }
    const size_t next = source.find(L'<', i);
    const size_t end = next == std::wstring::npos ? source.size() : next;
    out += MarkRun(source.substr(i, end - i), target);
    i = end;
  }
  return CodePage::WideToAnsi(out.c_str());
}

CString PlainContent(const InfoMsgStructer& msg) {
  // A web-page body's text is the abstract; the longer of the two otherwise.
  // The abstract is plain text already.
  const bool useBody = msg.body.GetLength() > msg.abstract.GetLength() && !IsMht(msg, msg.body);
  return useBody ? Utf8ToAnsi(MsgSearchText::PlainText(AnsiToUtf8(msg.body), true)) : msg.abstract;
}

CString RecordFragment(const InfoStoredMsg& row, const CString& conversation, const CString& word,
                       const MhtToHtmlFn& mhtToHtml) {
  const InfoMsgStructer& msg = row.m_msg;
  CString content = msg.abstract.GetLength() > msg.body.GetLength() ? msg.abstract : msg.body;
  if (IsMht(msg, content)) content = mhtToHtml ? mhtToHtml(content) : TextAsHtml(PlainContent(msg));
  content.Trim();
  if (content.GetLength() > kMaxShownContent) content = TextAsHtml(CutText(PlainContent(msg), kMaxShownContent)) + kCutNote;
  CString sender = msg.from;
  sender.Trim();
  const bool system = msg.from_id.IsEmpty();
  if (system) sender = "系统消息";
  CString header = "<FONT color=" + CString(system ? "#808080" : "#007040") + " size=2><B>";
  if (!conversation.IsEmpty()) header += "[" + Escape(conversation) + "]&nbsp;";
  header += Escape(sender) + "</B>&nbsp;&nbsp;" + Escape(row.m_strStoredAt) + "</FONT>";
  return Highlight(header, word) + "<DIV>" + Highlight(content, word) + "</DIV><DIV></DIV>";
}

CString ExportPage(const CString& title, const std::vector<InfoStoredMsg>& oldestFirst) {
  CString page =
      "<HTML><HEAD><META http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\r\n<TITLE>" +
      Escape(title) + "</TITLE></HEAD>\r\n<BODY style=\"font-family: SimSun; font-size: 10pt\">\r\n<H3>" + Escape(title) +
      "</H3>\r\n";
  for (const InfoStoredMsg& row : oldestFirst) {
    const InfoMsgStructer& msg = row.m_msg;
    CString sender = msg.from;
    sender.Trim();
    if (msg.from_id.IsEmpty()) sender = "系统消息";
    page += "<P><FONT color=#0060C0>" + Escape(sender) + "&nbsp;&nbsp;" + Escape(row.m_strStoredAt) + "</FONT><BR>\r\n" +
            TextAsHtml(PlainContent(msg)) + "</P>\r\n";
  }
  return page + "</BODY></HTML>\r\n";
}

}  // namespace HistoryHtml
