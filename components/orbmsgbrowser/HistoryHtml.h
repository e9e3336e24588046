#pragma once
// What the history viewer writes, as text: one stored record as a fragment of
// the view (with the words of a search marked), and the page an exported
// conversation is saved as. No window is needed.
#include <functional>
#include <vector>

#include "CString.h"
#include "InfoStoredMsg.h"
#include "OrbMsgBrowserApi.h"

namespace HistoryHtml {

// Turns a single-file web page body into HTML (the view control's MhtToHtml).
using MhtToHtmlFn = std::function<CString(const CString& mht)>;

// The text with <, >, & and " written as entities.
ORBMSGBROWSER_API CString Escape(const CString& text);

// html with every occurrence of word in its text (not in its tags; letters
// A-Z in either case; an entity counts as the character it stands for) put
// into a yellow marker. html unchanged when word is empty.
ORBMSGBROWSER_API CString Highlight(const CString& html, const CString& word);

// How much of a record's content the view shows, in bytes: a longer content
// is shown as the start of its plain text, with a note.
constexpr int kMaxShownContent = 8192;

// A record as the view shows it: a header with the sender (or "系统消息"),
// the stored time and, with a conversation name, that name; then the content
// (the longer of abstract and body, a web-page body converted), the search
// word marked.
ORBMSGBROWSER_API CString RecordFragment(const InfoStoredMsg& row, const CString& conversation, const CString& word,
                                         const MhtToHtmlFn& mhtToHtml);

// The record's content as plain text, line breaks kept (exports: no markup of
// another sender's message ever reaches the saved page).
ORBMSGBROWSER_API CString PlainContent(const InfoMsgStructer& msg);

// A whole page (charset gb2312) with the records in the order given: title,
// then each record's sender, time and text.
ORBMSGBROWSER_API CString ExportPage(const CString& title, const std::vector<InfoStoredMsg>& oldestFirst);

}  // namespace HistoryHtml
