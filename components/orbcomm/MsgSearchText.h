#pragma once
// The searchable text of a stored record: what the reader sees of it, with
// the markup left out. The message store keeps it beside each record so that a
// search looks at words, not at tag names, style values or the headers and
// base64 of a single-file web page.
#include <string>

#include "InfoMsgStructer.h"
#include "OrbcommApi.h"

namespace MsgSearchText {

// The plain text of an HTML fragment (UTF-8 in and out): tags dropped, the
// text of SCRIPT and STYLE dropped, entities (&lt; &gt; &amp; &quot; &apos;
// &nbsp; and numeric ones) turned into their characters, runs of white space
// made one blank. With keepBreaks, BR and the starts and ends of DIV, P and LI
// become line breaks (never two in a row) instead of blanks.
ORBCOMM_API std::string PlainText(const std::string& html, bool keepBreaks = false);

// The searchable text of a record (UTF-8): the sender's name, the abstract and
// the body as plain text, separated by a line break; a body that is a MIME
// document (a single-file web page) is left out, its text is the abstract's.
// Letters A-Z are folded to lower case.
ORBCOMM_API std::string Fold(const InfoMsgStructer& msg);

// A search text folded the same way (UTF-8).
ORBCOMM_API std::string FoldQuery(const std::string& utf8);

}  // namespace MsgSearchText
