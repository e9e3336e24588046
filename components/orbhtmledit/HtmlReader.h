#pragma once
// HTML (a whole page or a fragment) into the document model, through
// libxml2's HTML parser, which is tolerant of any markup. What is mapped:
// FONT (color, size, face, style), B/STRONG, I/EM, U, the style attribute of
// any element (color, background-color, background, font-family, font-size,
// font-weight, font-style, text-decoration), block elements (DIV, P, lists,
// tables, headings...) as paragraph boundaries, BR, PRE, entities, IMG and
// EMBED with a src. SCRIPT, STYLE, HEAD, TITLE and the like show nothing;
// the text of any other element is kept and its tag ignored. White space
// collapses as in a browser.
#include <cstddef>
#include <string>

#include "HtmlModel.h"

namespace HtmlReader {

struct Options {
  // Whether the insertion point is at the start of a line (a leading block
  // element then adds no paragraph end, and leading blanks are dropped).
  bool atLineStart = true;
  // The format in effect where the content goes.
  HtmlModel::Format base;
  // Limits that keep hostile content from stalling the control (RichEdit
  // rewraps a paragraph after each run put into it): at most this many
  // characters and pictures are read, the rest is dropped (a partial
  // document); after this many differently formatted runs the text keeps the
  // last format; a paragraph longer than this is ended and a new one begun.
  std::size_t maxCharacters = 256u * 1024u;
  std::size_t maxPictures = 1000;
  std::size_t maxRuns = 2000;
  std::size_t maxParagraph = 1024;
};

// html is code page 936 text (up to its first NUL, or length bytes).
HtmlModel::Document ReadAnsi(const char* html, std::size_t length, const Options& options);
// html is UTF-8 text.
HtmlModel::Document ReadUtf8(const std::string& html, const Options& options);

// CSS and attribute values, also used by the writer's tests: a colour as
// "#RGB", "#RRGGBB", "RRGGBB", a name or rgb(r, g, b); false when not one.
bool ParseColour(const std::wstring& text, COLORREF& colour);

}  // namespace HtmlReader
