#pragma once
// The HTML editor control's document and editing operations: one RichEdit 4.1
// window ("RICHEDIT50W") that reads and writes HTML and single-file web pages
// (MHT), pictures included. The same class serves as the read-only
// conversation view (edit mode 0) and as the editor (edit mode 1); CHtmlEdit
// (CHtmlEdit.h) adds the child-window creation the conversation window uses.
//
// Every text at this interface is a code page 936 CString (or a const char*
// in code page 936); inside, the control works in UTF-16. Characters that
// code page 936 cannot hold are written into HTML as numeric character
// references (&#N;), so no text is lost on a round trip.
//
// HTML read: FONT (color, size 1 to 7, face, style BACKGROUND-COLOR), B,
// STRONG, I, EM, U, SPAN with colour, background and font styles, DIV, P, BR,
// entities, IMG and EMBED. The text of any other element is kept and its tag
// ignored; SCRIPT, STYLE, HEAD and TITLE show nothing. Nothing is ever fetched
// from the network, no script runs and no link is followed. Which IMG sources
// are shown is the rule in README.md; any other source shows a placeholder.
//
// Operations that return HRESULT give S_OK on success, E_ACCESSDENIED for an
// operation the mode refuses (a change to a read-only view by the user's
// commands, a URL other than about:blank), E_INVALIDARG for a bad argument,
// and E_FAIL before the window exists. All calls run on the window's thread.
#include <windows.h>
#include <oleauto.h>

#include <memory>

#include "CString.h"
#include "CWnd.h"
#include "OrbHtmlEditApi.h"

class ORBHTMLEDIT_API CHtmlEditCtrl2 : public CWnd {
 public:
  CHtmlEditCtrl2();
  ~CHtmlEditCtrl2() override;
  CHtmlEditCtrl2(const CHtmlEditCtrl2&) = delete;
  CHtmlEditCtrl2& operator=(const CHtmlEditCtrl2&) = delete;

  // Empties out and, when bstr is not null, sets it to bstr converted to the
  // system ANSI code page (up to bstr's first NUL). Also exported through
  // OrbChat.h, which takes this class from here.
  static void BSTR2CString(BSTR bstr, CString& out);

  // --- The document -------------------------------------------------------

  // "about:blank" (case-insensitive, surrounding blanks ignored) empties the
  // document. Any other URL is refused (E_ACCESSDENIED): nothing is fetched
  // and the document stays as it was.
  HRESULT Navigate(const char* url);
  // Accepted for compatibility; a RichEdit selection is always one range.
  HRESULT SetMultiSelect(BOOL multiSelect);
  BOOL GetMultiSelect() const;
  // 0: read-only view (the user cannot change it; SetHtml and AddHtml still
  // can). 1: editable. Other values: E_INVALIDARG.
  HRESULT SetEditMode(int mode);
  int GetEditMode() const;
  // Replaces the document with a whole page (as MakePageHtml writes it) or a
  // fragment; only the body counts. An unclosed FONT at the start of an
  // otherwise empty body sets the format of what is typed next. Clears the
  // undo history.
  HRESULT SetHtml(const char* html);
  // Appends a fragment at the end of the body. The view scrolls to the end
  // only when the reader was already at the end; the user's selection is
  // kept. Appends in a burst are drawn once, when the message queue next runs
  // (or at FlushAppends).
  HRESULT AddHtml(const char* fragment);
  // Ends the current burst of appends now: redraws and scrolls once.
  void FlushAppends();
  // Plain text of the document (flags is accepted as the form passes it, 1):
  // paragraphs separated by CR LF, pictures left out, no-break spaces as
  // blanks.
  CString GetText(int flags = 1) const;
  // The body's HTML: one <DIV> per paragraph (an empty one as
  // <DIV>&nbsp;</DIV>), formatting as FONT (face, size, color, style
  // BACKGROUND-COLOR), B, I and U, pictures as <IMG src="path"> (or
  // <EMBED src="path"> when they came in as EMBED). Tag names upper case.
  CString GetHtml() const;
  // The document as a MIME multipart/related single-file web page: the HTML
  // part (a whole page with charset gb2312, quoted-printable) first, then one
  // base64 part per distinct picture file, whose Content-Location is the path
  // the HTML refers to. A picture whose file cannot be read is left out of
  // the parts (its tag stays).
  CString GetMHT() const;
  // Reads a single-file web page (ours or another program's: boundary, part
  // headers, base64, quoted-printable, 7bit/8bit; charset gb2312, GBK,
  // GB18030, UTF-8 or US-ASCII), writes its pictures into this process's
  // folder of the component under the temporary folder (names chosen here,
  // never taken from the text) and returns the body's HTML with the picture
  // references pointing at those files. A text that is not such a page gives
  // the empty string; a damaged one whatever could be read.
  CString MhtToHtml(const char* mht) const;
  // GetMHT written to path (code page 936): a new file beside it is written
  // and then replaces the old one, so a failed write leaves an old file whole.
  HRESULT SaveToMHT(const char* path) const;

  // --- Editing --------------------------------------------------------------

  // Replaces the selection with html (parsed as in SetHtml). caretAtStart
  // non-zero puts the caret before the inserted content, zero after it.
  // Pictures inserted into an editor are the local user's own (README.md).
  HRESULT PasteHTMLAtCurrentSelection(const char* html, BOOL caretAtStart);
  // Format of the selection, or of what is typed next when nothing is selected.
  HRESULT FontName(const char* face);   // a face name, not empty
  HRESULT FontSize(int size);           // HTML size 1 to 7 (8, 10, 12, 14, 18, 24, 36 pt)
  HRESULT FontForeColor(COLORREF colour);
  HRESULT FontBackColor(COLORREF colour);
  // Clipboard operations through the framework's clipboard seam
  // (Seams::GetClipboard). Copy puts the selection's plain text there (a lone
  // picture as a bitmap); pasting that text back into any control of this
  // module brings the formatting and pictures with it. Paste inserts text in
  // the current format, or a bitmap as a picture file of the component's
  // folder. Cut and Paste are refused in a read-only view.
  HRESULT Copy();
  HRESULT Cut();
  HRESULT Paste();
  // Deletes the selection, or the character after the caret when nothing is
  // selected (the Delete key). Refused in a read-only view.
  HRESULT Delete();
  HRESULT SelectAll();
  // Undoes the last change the user made (typing, paste, cut, delete, format).
  HRESULT Undo();
  // Gives the control the keyboard focus with the caret shown (what the
  // conversation window's ActivateEditor asks of it).
  HRESULT Activate();

  // --- For tests and tools --------------------------------------------------

  // Number of pictures (shown or placeholders) in the document.
  int GetPictureCount() const;
  // Number of pictures that show a placeholder instead of their file.
  int GetPlaceholderCount() const;
  // The folder of this process where MhtToHtml and Paste write pictures,
  // ending with a backslash ("<temp>\OrbHtmlEdit\<process id>\").
  static CString GetPictureFolder();

 protected:
  // Sets the control up after its window was created: default format,
  // OLE interface, edit mode.
  void InitControl();
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PostNcDestroy() override;

 public:
  // The implementation's state (CHtmlEditCtrl2.cpp).
  struct Impl;

 private:
  std::unique_ptr<Impl> m_pImpl;
};
