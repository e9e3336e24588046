#pragma once
// What the conversation view shows, as text: the page the view and the editor
// start from, the fragment of one notice, and the fragment of one stored
// record with its header. No window is needed; the conversation window
// (COrbChat_Form) queues records and appends these fragments to its view.
#include <windows.h>

#include <functional>

#include "CString.h"
#include "InfoMsgStructer.h"

// "RRGGBB" (upper-case hexadecimal) of a colour value 0x00BBGGRR.
CString ColorHex(COLORREF color);
// "#RRGGBB".
CString HtmlColor(COLORREF color);
// The text with <, >, & and " written as entities, so that text from other
// users cannot add markup to a page.
CString EscapeHtml(const char* text);
// Plain text as HTML that shows it as it is: escaped, each line break a <BR>,
// each blank a &nbsp; (so runs of blanks stay).
CString TextAsHtml(const char* text);

// The whole page (23 lines, each ended by CR LF). With a font name, its body
// opens a FONT tag with the background colour, text colour, size and the part
// of the name from its last blank on; with an empty name there is no FONT tag.
CString MakePageHtml(const char* fontName, int fontSize, COLORREF foreColor, COLORREF backColor);
// "HH:MM:SS" from a stamp of 14 (YYYYMMDDHHMMSS) or 6 (HHMMSS) characters;
// "" for any other length.
CString FormatClockTime(const char* stamp);
// The id with its middle hidden by "*": "*" for 0 or 1 characters, then the
// last one or two characters, from 4 on also the first one or two.
CString MaskMemberId(const char* id);
// The current local time as YYYYMMDDHHMMSS; "" when it cannot be converted.
CString LocalTimeStamp();

// The body of a notice line: "" for an empty text. Plain text (first
// character after leading blanks is not "<") is wrapped in a division in the
// colour borderHex (six hexadecimal digits), after the name when there is one;
// HTML text gets the name in front, or stays as it is without a name.
CString NoticeFragment(const CString& name, const CString& text, const CString& borderHex);
// A queued notice record: publish_time = stamp, body = the fragment; without a
// name it carries the user's alias and id, so it renders as the user's own
// message, with a name it has no sender and renders as a system message.
InfoMsgStructer MakeNoticeRecord(const CString& name, const CString& fragment, const CString& stamp,
                                 const CString& myAlias, const CString& myUserId);

// Colours of the three kinds of record (from the skin in the window).
struct ViewColors {
  COLORREF own;     // "system.border": the user's own messages and notices
  COLORREF other;   // "system.font": other people's messages
  COLORREF system;  // "system.warning": records without a sender
};
// Turns an MHT document into HTML (the view control's MhtToHtml).
using MhtToHtmlFn = std::function<CString(const CString& mht)>;

// How much of one record's content the view shows, in bytes of HTML. The
// view lays a paragraph out again for every piece added to it, so its cost
// grows with the square of a paragraph's length (20 KB of text in one
// paragraph took 5 s under Wine): a longer content is cut, at a character
// and tag boundary, and kContentCutNote follows it. The record is stored
// whole all the same.
constexpr int kMaxShownContent = 8192;
extern const char kContentCutNote[];
// content itself when it is at most maxBytes long; otherwise its longest
// start of at most maxBytes that ends neither inside a double-byte character
// nor inside a tag or an entity, followed by kContentCutNote.
CString CutLongContent(const CString& content, int maxBytes);

// The header of a record: system message (no sender id), the user's own
// (sender id equals myUserId exactly) or another sender's name and masked id.
// Name, id and clock time are written HTML-escaped.
CString MessageHeader(const InfoMsgStructer& record, const CString& myUserId);
// The fragment a record appends to the view: the header and the content (the
// longer of abstract and body, MHT converted, trimmed, cut to
// kMaxShownContent, every "<DIV>" indented) in the record's colour, then an
// empty division. "" when the content is empty.
CString RenderRecord(const InfoMsgStructer& record, const CString& myUserId, const ViewColors& colors,
                     const MhtToHtmlFn& mhtToHtml);
