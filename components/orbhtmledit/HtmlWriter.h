#pragma once
// The document model as HTML in the form MSHTML gave it: upper-case tag
// names, one DIV per paragraph (an empty one as <DIV>&nbsp;</DIV>), runs in
// FONT (face, size, color, style BACKGROUND-COLOR) and B, I, U, pictures as
// <IMG src="..."> or <EMBED src="...">. Blanks that HTML would collapse are
// written as &nbsp;; characters that code page 936 cannot hold as &#N;.
#include <string>

#include "CString.h"
#include "HtmlModel.h"

namespace HtmlWriter {

// The body's content.
std::wstring WriteBody(const HtmlModel::Document& document);
// The same in code page 936.
CString WriteBodyAnsi(const HtmlModel::Document& document);
// A whole page around a body (code page 936), as the MHT's HTML part.
CString WritePage(const CString& body);
// "&", "<", ">" and '"' escaped, for attribute values and text.
std::wstring Escape(const std::wstring& text);
// Whether code page 936 holds the character.
bool IsAnsiCharacter(wchar_t c);

}  // namespace HtmlWriter
