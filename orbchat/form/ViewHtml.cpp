#include "form/ViewHtml.h"

#include <ctime>

namespace {

const char kPageHead[] =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"
    "<HTML>\r\n"
    "<HEAD>\r\n"
    "<META http-equiv=Content-Type content=\"text/html; charset=gb2312\">\r\n"
    "<META content=\"MSHTML 6.00.2600.0\" name=GENERATOR>\r\n"
    "<STYLE>\r\n"
    "Body{\r\n"
    "      scrollbar-arrow-color: #0000CD;  \r\n"
    "      scrollbar-face-color: #ADD2E6;  \r\n"
    "      scrollbar-3dlight-color: #ABCFE1;  \r\n"
    "      scrollbar-highlight-color: #F0F8FF;  \r\n"
    "      scrollbar-shadow-color: #C4DEEB;  \r\n"
    "      scrollbar-darkshadow-color: #FEFEFE;  \r\n"
    "      scrollbar-track-color: #EBF3F6;  \r\n"
    "      scrollbar-base-color:#F0F8FF;  \r\n"
    "    }\r\n"
    "</STYLE>\r\n"
    "</HEAD>\r\n"
    "\r\n"
    "<BODY bgColor=#ffffff>\r\n";
const char kPageTail[] =
    "<DIV></DIV>\r\n"
    "</BODY>\r\n"
    "</HTML>\r\n";

const char kParagraphIndent[] = "<DIV><FONT size=2 face=Serif>&nbsp;&nbsp;&nbsp;&nbsp;</FONT>";

}  // namespace

const char kContentCutNote[] = "<DIV>……（消息太长，这里只显示开头部分；全文已保存）</DIV>";

CString ColorHex(COLORREF color) {
  CString hex;
  hex.Format("%.2X%.2X%.2X", GetRValue(color), GetGValue(color), GetBValue(color));
  return hex;
}

CString HtmlColor(COLORREF color) { return "#" + ColorHex(color); }

CString EscapeHtml(const char* text) {
  CString escaped;
  // The four characters are below 0x40, so none of them can be the trail
  // byte of a double-byte character: a byte-wise walk is safe for GBK text.
  for (const char* p = text ? text : ""; *p; ++p) {
    switch (*p) {
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '&': escaped += "&amp;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += *p; break;
    }
  }
  return escaped;
}

CString TextAsHtml(const char* text) {
  const CString escaped = EscapeHtml(text);
  CString html;
  for (const char* p = escaped.GetString(); *p; ++p) {
    if (*p == '\r') {
      if (p[1] == '\n') ++p;
      html += "<BR>";
    } else if (*p == '\n') {
      html += "<BR>";
    } else if (*p == ' ') {
      html += "&nbsp;";
    } else {
      html += *p;
    }
  }
  return html;
}

CString MakePageHtml(const char* fontName, int fontSize, COLORREF foreColor, COLORREF backColor) {
  CString fontTag;
  CString name(fontName ? fontName : "");
  if (!name.IsEmpty()) {
    const int blank = name.ReverseFind(' ');
    if (blank >= 0) name = name.Mid(blank);
    fontTag.Format("<FONT style=\"BACKGROUND-COLOR: %s\" color=%s size=%d face=%s>\r\n",
                   HtmlColor(backColor).GetString(), HtmlColor(foreColor).GetString(), fontSize, name.GetString());
  }
  return CString(kPageHead) + fontTag + kPageTail;
}

CString FormatClockTime(const char* stamp) {
  const CString text(stamp ? stamp : "");
  int first;
  if (text.GetLength() == 14) first = 8;
  else if (text.GetLength() == 6) first = 0;
  else return CString();
  return text.Mid(first, 2) + ":" + text.Mid(first + 2, 2) + ":" + text.Mid(first + 4, 2);
}

CString MaskMemberId(const char* id) {
  const CString text(id ? id : "");
  const int n = text.GetLength();
  if (n <= 1) return "*";
  if (n == 2) return "*" + text.Right(1);
  if (n == 3) return "*" + text.Right(2);
  if (n == 4) return text.Left(1) + "*" + text.Right(2);
  return text.Left(2) + CString('*', n - 4) + text.Right(2);
}

CString LocalTimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_s(&local, &now) != 0) return CString();
  char buffer[32];
  const size_t length = std::strftime(buffer, sizeof buffer, "%Y%m%d%H%M%S", &local);
  return CString(buffer, static_cast<int>(length));
}

CString NoticeFragment(const CString& name, const CString& text, const CString& borderHex) {
  if (text.IsEmpty()) return CString();
  CString body(text);
  body.TrimLeft();
  CString fragment;
  if (body.IsEmpty() || body[0] != '<') {
    if (!name.IsEmpty())
      fragment.Format("<DIV></DIV><DIV><FONT color=#%s size=2 face=serif>%s &nbsp;%s</FONT></DIV>",
                      borderHex.GetString(), name.GetString(), body.GetString());
    else
      fragment.Format("<DIV></DIV><DIV><FONT color=#%s size=2 face=serif>%s</FONT></DIV>", borderHex.GetString(),
                      body.GetString());
  } else if (!name.IsEmpty()) {
    fragment.Format("<DIV></DIV><FONT color=#%s size=2 face=serif>%s &nbsp;</FONT>%s", borderHex.GetString(),
                    name.GetString(), body.GetString());
  } else {
    fragment = body;
  }
  return fragment;
}

InfoMsgStructer MakeNoticeRecord(const CString& name, const CString& fragment, const CString& stamp,
                                 const CString& myAlias, const CString& myUserId) {
  InfoMsgStructer record;
  record.publish_time = stamp;
  record.body = fragment;
  if (name.IsEmpty()) {
    record.from = myAlias;
    record.from_id = myUserId;
  }
  return record;
}

CString CutLongContent(const CString& content, int maxBytes) {
  if (content.GetLength() <= maxBytes) return content;
  const char* text = content.GetString();
  int end = 0;
  while (end < maxBytes) {
    const int step = ::IsDBCSLeadByteEx(936, static_cast<BYTE>(text[end])) && text[end + 1] ? 2 : 1;
    if (end + step > maxBytes) break;
    end += step;
  }
  CString head = content.Left(end);
  // An unfinished tag or entity at the cut would show as text or swallow the note.
  const int tag = head.ReverseFind('<');
  if (tag > head.ReverseFind('>')) head = head.Left(tag);
  const int entity = head.ReverseFind('&');
  if (entity >= 0 && entity > head.ReverseFind(';')) head = head.Left(entity);
  return head + kContentCutNote;
}

CString MessageHeader(const InfoMsgStructer& record, const CString& myUserId) {
  const CString& id = record.from_id;
  const CString clock = EscapeHtml(FormatClockTime(record.publish_time));
  if (id.IsEmpty()) return " [" + clock + "]系统消息:";
  if (id == myUserId) return " 您&nbsp;于&nbsp;" + clock + "&nbsp;说:";
  CString name(record.from);
  name.Trim();
  return EscapeHtml(name) + "(" + EscapeHtml(MaskMemberId(id)) + ")&nbsp;" + clock + "&nbsp;说:";
}

CString RenderRecord(const InfoMsgStructer& record, const CString& myUserId, const ViewColors& colors,
                     const MhtToHtmlFn& mhtToHtml) {
  CString content = record.abstract.GetLength() > record.body.GetLength() ? record.abstract : record.body;
  CString url(record.url);
  url.Trim();
  // A "Content-Type:" at the very start is not taken as an MHT document.
  if ((url == "mht" || content.Find("Content-Type:", 1) >= 1) && mhtToHtml) content = mhtToHtml(content);
  content.Trim();
  content = CutLongContent(content, kMaxShownContent);
  content.Replace("<DIV>", kParagraphIndent);
  if (content.IsEmpty()) return CString();
  const CString& id = record.from_id;
  // The colour follows the header: a record without a sender is a system
  // message even when the user's own id is unknown (empty).
  const COLORREF color = id.IsEmpty() ? colors.system : id == myUserId ? colors.own : colors.other;
  return "<FONT color=" + HtmlColor(color) + " size=2>" + MessageHeader(record, myUserId) + content + "</FONT>" +
         "<DIV></DIV>";
}
