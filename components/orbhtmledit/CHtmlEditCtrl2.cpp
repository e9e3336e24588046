#include "CHtmlEditCtrl2.h"

#include <richedit.h>
#include <richole.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <string>
#include <unordered_map>
#include <vector>

#include "CBitmap.h"
#include "CClipboard.h"
#include "CImage.h"
#include "CodePage.h"
#include "HtmlModel.h"
#include "HtmlReader.h"
#include "HtmlWriter.h"
#include "MimeText.h"
#include "PictureObject.h"
#include "PictureSources.h"
#include "RtfReader.h"

namespace {

using HtmlModel::Document;
using HtmlModel::Format;
using HtmlModel::Item;

// Posted to the control at the first append of a burst; ends the burst.
constexpr UINT kFlushAppends = WM_APP + 0x3A7;
// Pictures read from one MHT at most; parts beyond are left out.
constexpr std::size_t kMaxMhtPictures = 256;
constexpr std::size_t kMaxPictureBytes = 16u * 1024u * 1024u;

// One picture the control was given: the source as written, and whether
// its file is shown (otherwise a placeholder is).
struct Record {
  std::wstring source;
  std::wstring path;  // the local path when shown
  bool embed = false;
  bool shown = false;
};

// The last Copy of any control of this process: the clipboard text it put
// there and the same content as HTML, so that pasting that text back brings
// formatting and pictures along.
struct LastCopy {
  CString text;
  CString html;
  unsigned long long bitmap = 0;  // digest of the bitmap when one was copied
};
LastCopy g_lastCopy;

CHARFORMAT2W ToCharFormat(const Format& format) {
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_BACKCOLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_CHARSET |
              CFM_WEIGHT | CFM_UNDERLINETYPE;
  const std::wstring face = format.face.empty() ? HtmlModel::DefaultFace() : format.face;
  std::wcsncpy(cf.szFaceName, face.c_str(), LF_FACESIZE - 1);
  cf.yHeight = format.twips ? format.twips : HtmlModel::kDefaultTwips;
  if (format.bold) cf.dwEffects |= CFE_BOLD;
  if (format.italic) cf.dwEffects |= CFE_ITALIC;
  if (format.underline) cf.dwEffects |= CFE_UNDERLINE;
  if (format.hasColor)
    cf.crTextColor = format.color;
  else
    cf.dwEffects |= CFE_AUTOCOLOR;
  if (format.hasBack)
    cf.crBackColor = format.back;
  else
    cf.dwEffects |= CFE_AUTOBACKCOLOR;
  cf.wWeight = static_cast<WORD>(format.bold ? FW_BOLD : FW_NORMAL);
  cf.bCharSet = DEFAULT_CHARSET;
  cf.bUnderlineType = CFU_UNDERLINE;
  return cf;
}

Format FromCharFormat(const CHARFORMAT2W& cf) {
  Format format;
  if ((cf.dwMask & CFM_FACE) && std::wcscmp(cf.szFaceName, HtmlModel::DefaultFace()) != 0) format.face = cf.szFaceName;
  if ((cf.dwMask & CFM_SIZE) && cf.yHeight != HtmlModel::kDefaultTwips) format.twips = static_cast<int>(cf.yHeight);
  if ((cf.dwMask & CFM_COLOR) && !(cf.dwEffects & CFE_AUTOCOLOR)) format.hasColor = true, format.color = cf.crTextColor;
  if ((cf.dwMask & CFM_BACKCOLOR) && !(cf.dwEffects & CFE_AUTOBACKCOLOR))
    format.hasBack = true, format.back = cf.crBackColor;
  format.bold = (cf.dwMask & CFM_BOLD) && (cf.dwEffects & CFE_BOLD);
  format.italic = (cf.dwMask & CFM_ITALIC) && (cf.dwEffects & CFE_ITALIC);
  format.underline = (cf.dwMask & CFM_UNDERLINE) && (cf.dwEffects & CFE_UNDERLINE);
  return format;
}

DWORD CALLBACK CollectStream(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* written) {
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(size));
  *written = size;
  return 0;
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return text;
}

std::wstring LowerWide(std::wstring text) {
  if (!text.empty()) ::CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// A picture reference in a comparable form: lower case, percent escapes
// decoded, "file:" and leading slashes dropped, backslashes for slashes.
std::wstring NormaliseReference(std::wstring text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%' && i + 2 < text.size() && iswxdigit(text[i + 1]) && iswxdigit(text[i + 2])) {
      out += static_cast<wchar_t>(std::wcstol(text.substr(i + 1, 2).c_str(), nullptr, 16));
      i += 2;
    } else {
      out += text[i] == L'/' ? L'\\' : text[i];
    }
  }
  out = LowerWide(out);
  while (!out.empty() && (out.back() == L' ' || out.back() == L'\t')) out.pop_back();
  std::size_t start = 0;
  while (start < out.size() && (out[start] == L' ' || out[start] == L'\t')) ++start;
  out.erase(0, start);
  if (out.rfind(L"file:", 0) == 0) out.erase(0, 5);
  while (!out.empty() && out[0] == L'\\') out.erase(0, 1);
  if (out.rfind(L".\\", 0) == 0) out.erase(0, 2);
  return out;
}

std::wstring LastSegment(const std::wstring& normalised) {
  const std::size_t slash = normalised.rfind(L'\\');
  return slash == std::wstring::npos ? normalised : normalised.substr(slash + 1);
}

// The bytes of an MHT part's text as UTF-8.
std::string TextAsUtf8(const std::string& bytes, const std::string& charset) {
  const std::string name = Lower(charset);
  if (name == "utf-8" || name == "utf8") return bytes;
  if (name == "iso-8859-1" || name == "latin1" || name == "windows-1252") {
    const int size = ::MultiByteToWideChar(1252, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) ::MultiByteToWideChar(1252, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
    return CodePage::WideToUtf8(wide.c_str(), static_cast<int>(wide.size()));
  }
  // gb2312, gbk, gb18030, us-ascii or none given: code page 936. A page
  // without a charset header that declares UTF-8 itself is read as UTF-8.
  if (name.empty()) {
    const std::string lower = Lower(bytes.substr(0, 4096));
    if (lower.find("charset=utf-8") != std::string::npos || lower.find("charset=\"utf-8\"") != std::string::npos)
      return bytes;
  }
  return CodePage::AnsiToUtf8(bytes.data(), static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX)));
}

// Removes the paragraph ends at the end of a document; returns how many.
// A block's end only separates it from what follows: at the end of what is
// inserted it would leave an empty paragraph behind.
int StripTrailingBreaks(Document& document) {
  int count = 0;
  while (!document.items.empty() && document.items.back().kind == Item::Kind::Break) {
    document.items.pop_back();
    ++count;
  }
  return count;
}

// Width, height and a hash of the pixels, to recognise a bitmap copied here.
unsigned long long BitmapDigest(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !::GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0) return 0;
  const int width = info.bmWidth, height = std::abs(info.bmHeight);
  BITMAPINFO header{};
  header.bmiHeader = TopDownDibHeader(width, height, 32);
  std::vector<DWORD> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  HDC screen = ::GetDC(nullptr);
  const int rows = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &header, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  if (rows != height) return 0;
  unsigned long long hash = 1469598103934665603ull ^ (static_cast<unsigned long long>(width) << 32 | height);
  for (DWORD pixel : pixels) hash = (hash ^ (pixel & 0xFFFFFF)) * 1099511628211ull;
  return hash;
}

std::wstring DecodeHeader(const std::string& bytes, bool utf8) {
  return utf8 ? CodePage::Utf8ToWide(bytes.c_str(), static_cast<int>(bytes.size()))
              : CodePage::AnsiToWide(bytes.c_str(), static_cast<int>(bytes.size()));
}

}  // namespace

struct CHtmlEditCtrl2::Impl {
  int editMode = 1;
  BOOL multiSelect = FALSE;
  IRichEditOle* ole = nullptr;
  std::vector<Record> records;
  // A burst of appends: redraw is off until it ends.
  bool burst = false;
  bool burstAtEnd = true;
  POINT burstScroll{0, 0};
  CHARRANGE burstSelection{0, 0};
  bool burstCaretAtEnd = true;
  // Whether the document ends at the start of a line; -1 unknown.
  int endsAtLineStart = -1;
  // The view's last append ended with a block: the next content starts a
  // new paragraph.
  bool pendingBreak = false;
  // Undo steps of the last operation of this class; Undo takes them back
  // together. 0 after anything the user did in the control.
  int undoSteps = 0;

  ~Impl() {
    if (ole) ole->Release();
  }
};

CHtmlEditCtrl2::CHtmlEditCtrl2() : m_pImpl(std::make_unique<Impl>()) {}
CHtmlEditCtrl2::~CHtmlEditCtrl2() = default;

// The output is sized from the conversion itself: a Chinese character takes
// two bytes in code page 936, so a buffer of one byte per wide character
// would cut the text short.
void CHtmlEditCtrl2::BSTR2CString(BSTR bstr, CString& out) {
  out.Empty();
  if (!bstr) return;
  const int length = static_cast<int>(std::wcslen(bstr));
  if (length == 0) return;
  const int size = ::WideCharToMultiByte(CP_ACP, 0, bstr, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  char* buffer = out.GetBufferSetLength(size);
  const int written = ::WideCharToMultiByte(CP_ACP, 0, bstr, length, buffer, size, nullptr, nullptr);
  out.ReleaseBuffer(written > 0 ? written : 0);
}

// ---------------------------------------------------------------------------
// The RichEdit window as a document: helpers of the operations below.

namespace {

class Rich {
 public:
  Rich(HWND wnd, CHtmlEditCtrl2::Impl& impl) : m_wnd(wnd), m_impl(impl) {}

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(m_wnd, message, wParam, lParam);
  }

  int Length() const {
    GETTEXTLENGTHEX how{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LRESULT length = Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    return length > 0 ? static_cast<int>(length) : 0;
  }

  CHARRANGE Selection() const {
    CHARRANGE range{0, 0};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
  }
  void Select(LONG from, LONG to) const {
    CHARRANGE range{from, to};
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  }
  // The caret at the end, without walking the document.
  void SelectEnd() const { Select(-1, -1); }

  std::wstring Text(LONG from, LONG to) const {
    if (to <= from) return std::wstring();
    std::wstring text(static_cast<std::size_t>(to - from) + 1, L'\0');
    TEXTRANGEW range{{from, to}, text.data()};
    const LRESULT copied = Send(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
  }

  bool AtLineStart(LONG cp) const {
    if (cp <= 0) return true;
    const std::wstring before = Text(cp - 1, cp);
    return before.empty() || before[0] == L'\r' || before[0] == L'\n' || before[0] == L'\v';
  }

  Format InsertionFormat() const {
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return FromCharFormat(cf);
  }

  void SetFormat(WPARAM which, const Format& format) const {
    CHARFORMAT2W cf = ToCharFormat(format);
    Send(EM_SETCHARFORMAT, which, reinterpret_cast<LPARAM>(&cf));
  }

  // Replaces the selection with text in the format set for the selection.
  void ReplaceSelection(const std::wstring& text, bool keepUndo) const {
    SETTEXTEX how{static_cast<DWORD>(ST_SELECTION | (keepUndo ? ST_KEEPUNDO : 0)), 1200};
    Send(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.c_str()));
  }

  // Empties the document. Wine deletes text front to back and moves every
  // later run at each step, so a long document goes in pieces from its end.
  void Clear() const {
    constexpr LONG kPiece = 8192;
    for (LONG length = Length(); length > kPiece; length -= kPiece) {
      Select(length - kPiece, length);
      ReplaceSelection(L"", false);
    }
    SETTEXTEX clear{ST_DEFAULT, 1200};
    Send(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&clear), reinterpret_cast<LPARAM>(L""));
  }

  // A record for a picture source, shown when the rule allows it.
  DWORD AddRecord(const std::wstring& source, bool embed, PictureSources::Trust trust,
                  std::shared_ptr<const PictureObject::Display>& display) const {
    Record record;
    record.source = source;
    record.embed = embed;
    const std::wstring path = PictureSources::LocalPath(source);
    if (!path.empty() && PictureSources::MayShow(path, trust)) display = PictureObject::Load(path);
    if (display) {
      record.shown = true;
      record.path = path;
      if (trust == PictureSources::Trust::Editor) PictureSources::RegisterUserPicture(path);
    } else {
      display = PictureObject::Placeholder();
    }
    m_impl.records.push_back(std::move(record));
    return static_cast<DWORD>(m_impl.records.size() - 1);
  }

  // Inserts an object at the caret.
  bool InsertPicture(std::shared_ptr<const PictureObject::Display> display, DWORD index) const {
    if (!m_impl.ole || !display) return false;
    IOleObject* object = PictureObject::Create(display, index);
    if (!object) return false;
    IOleClientSite* site = nullptr;
    m_impl.ole->GetClientSite(&site);
    if (site) object->SetClientSite(site);
    SIZEL size{};
    object->GetExtent(DVASPECT_CONTENT, &size);
    REOBJECT reo{};
    reo.cbStruct = sizeof reo;
    reo.cp = REO_CP_SELECTION;
    reo.clsid = CLSID_NULL;
    reo.poleobj = object;
    reo.pstg = nullptr;
    reo.polesite = site;
    reo.sizel = size;
    reo.dvaspect = DVASPECT_CONTENT;
    reo.dwFlags = 0;
    reo.dwUser = index;
    const HRESULT inserted = m_impl.ole->InsertObject(&reo);
    object->Release();
    if (site) site->Release();
    return SUCCEEDED(inserted);
  }

  // Inserts the items at the caret (the selection must be empty); the caret
  // ends after them.
  // Returns the number of undo steps it made.
  int Insert(const Document& document, PictureSources::Trust trust, bool keepUndo) const {
    int steps = 0;
    std::wstring pending;
    Format pendingFormat;
    bool havePending = false;
    Format last = InsertionFormat();
    const auto flush = [&] {
      if (!havePending) return;
      SetFormat(SCF_SELECTION, pendingFormat);
      ReplaceSelection(pending, keepUndo);
      ++steps;
      pending.clear();
      havePending = false;
    };
    for (const Item& item : document.items) {
      switch (item.kind) {
        case Item::Kind::Text:
          if (havePending && !(item.format == pendingFormat)) flush();
          if (!havePending) pendingFormat = item.format, havePending = true;
          // A no-break space stays one: a line that starts with ordinary
          // blanks (the conversation's paragraph indent) is never broken by
          // Wine's RichEdit, so a long Chinese line would not wrap. Reading
          // the text back gives blanks; the writer gives &nbsp; again.
          pending += item.text;
          last = item.format;
          break;
        case Item::Kind::Break:
          if (!havePending) pendingFormat = last, havePending = true;
          pending += L'\r';
          break;
        case Item::Kind::Picture: {
          flush();
          std::shared_ptr<const PictureObject::Display> display;
          const DWORD index = AddRecord(item.text, item.embed, trust, display);
          if (InsertPicture(display, index)) ++steps;
          break;
        }
      }
    }
    flush();
    if (!document.items.empty())
      m_impl.endsAtLineStart = document.items.back().kind == Item::Kind::Break ? 1 : 0;
    return steps;
  }

  // The document (or the selection) read back through RTF; pictures carry
  // their source again.
  Document Read(bool selectionOnly) const {
    std::string rtf;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, &CollectStream};
    Send(EM_STREAMOUT, SF_RTF | (selectionOnly ? SFF_SELECTION : 0), reinterpret_cast<LPARAM>(&stream));
    Document document = RtfReader::Read(rtf, HtmlModel::DefaultFace(), HtmlModel::kDefaultTwips);
    auto& items = document.items;
    items.erase(std::remove_if(items.begin(), items.end(),
                               [&](const Item& item) {
                                 return item.kind == Item::Kind::Picture &&
                                        (item.record < 0 ||
                                         static_cast<std::size_t>(item.record) >= m_impl.records.size());
                               }),
                items.end());
    for (Item& item : items) {
      if (item.kind != Item::Kind::Picture) continue;
      const Record& record = m_impl.records[static_cast<std::size_t>(item.record)];
      item.text = record.source;
      item.embed = record.embed;
    }
    // The paragraph mark that ends every RichEdit document is not content.
    if (!selectionOnly && !items.empty() && items.back().kind == Item::Kind::Break) items.pop_back();
    return document;
  }

  // The objects' positions and records, in document order.
  std::vector<std::pair<LONG, DWORD>> Objects() const {
    std::vector<std::pair<LONG, DWORD>> objects;
    if (!m_impl.ole) return objects;
    const LONG count = m_impl.ole->GetObjectCount();
    for (LONG i = 0; i < count; ++i) {
      REOBJECT reo{};
      reo.cbStruct = sizeof reo;
      if (SUCCEEDED(m_impl.ole->GetObject(i, &reo, REO_GETOBJ_NO_INTERFACES))) objects.emplace_back(reo.cp, reo.dwUser);
    }
    return objects;
  }

  bool ScrolledToEnd() const {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!::GetScrollInfo(m_wnd, SB_VERT, &info)) return true;
    if (info.nPage == 0 || static_cast<int>(info.nPage) > info.nMax - info.nMin) return true;
    return info.nPos + static_cast<int>(info.nPage) + 2 >= info.nMax;
  }

 private:
  HWND m_wnd;
  CHtmlEditCtrl2::Impl& m_impl;
};

}  // namespace

// ---------------------------------------------------------------------------

void CHtmlEditCtrl2::InitControl() {
  if (!m_hWnd) return;
  Rich rich(m_hWnd, *m_pImpl);
  if (!m_pImpl->ole) rich.Send(EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&m_pImpl->ole));
  rich.Send(EM_EXLIMITTEXT, 0, 0x7FFFFFF0);
  rich.Send(EM_AUTOURLDETECT, FALSE, 0);
  rich.Send(EM_SETBKGNDCOLOR, 0, RGB(255, 255, 255));
  // Wine's default character format is the bold System font.
  rich.SetFormat(SCF_DEFAULT, Format{});
  rich.SetFormat(SCF_ALL, Format{});
  SetEditMode(m_pImpl->editMode);
}

HRESULT CHtmlEditCtrl2::Navigate(const char* url) {
  if (!m_hWnd) return E_FAIL;
  CString target(url ? url : "");
  target.Trim();
  if (target.CompareNoCase("about:blank") != 0) return E_ACCESSDENIED;
  return SetHtml("");
}

HRESULT CHtmlEditCtrl2::SetMultiSelect(BOOL multiSelect) {
  m_pImpl->multiSelect = multiSelect;
  return S_OK;
}

BOOL CHtmlEditCtrl2::GetMultiSelect() const { return m_pImpl->multiSelect; }

HRESULT CHtmlEditCtrl2::SetEditMode(int mode) {
  if (mode != 0 && mode != 1) return E_INVALIDARG;
  m_pImpl->editMode = mode;
  if (!m_hWnd) return S_OK;
  Rich rich(m_hWnd, *m_pImpl);
  rich.Send(EM_SETREADONLY, mode == 0, 0);
  // A view keeps no undo history: it only grows, and would keep every
  // append in memory otherwise.
  rich.Send(EM_SETUNDOLIMIT, mode == 0 ? 0 : 100, 0);
  return S_OK;
}

int CHtmlEditCtrl2::GetEditMode() const { return m_pImpl->editMode; }

HRESULT CHtmlEditCtrl2::SetHtml(const char* html) {
  if (!m_hWnd) return E_FAIL;
  FlushAppends();
  Rich rich(m_hWnd, *m_pImpl);
  HtmlReader::Options options;
  Document document = HtmlReader::ReadAnsi(html ? html : "", SIZE_MAX, options);
  StripTrailingBreaks(document);
  rich.Clear();
  m_pImpl->records.clear();
  const Format start = document.HasContent() || !document.hasTypingFormat ? Format{} : document.typingFormat;
  rich.SetFormat(SCF_ALL, start);
  rich.Select(0, 0);
  rich.SetFormat(SCF_SELECTION, start);
  const PictureSources::Trust trust =
      m_pImpl->editMode == 1 ? PictureSources::Trust::Editor : PictureSources::Trust::View;
  rich.Insert(document, trust, false);
  m_pImpl->endsAtLineStart = document.HasContent() ? 0 : 1;
  m_pImpl->pendingBreak = false;
  rich.Send(EM_EMPTYUNDOBUFFER);
  rich.Send(EM_SETMODIFY, FALSE);
  if (m_pImpl->editMode == 0) rich.Select(0, 0);
  return S_OK;
}

HRESULT CHtmlEditCtrl2::AddHtml(const char* fragment) {
  if (!m_hWnd) return E_FAIL;
  Rich rich(m_hWnd, *m_pImpl);
  Impl& impl = *m_pImpl;
  if (!impl.burst) {
    impl.burst = true;
    impl.burstAtEnd = rich.ScrolledToEnd();
    rich.Send(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&impl.burstScroll));
    impl.burstSelection = rich.Selection();
    impl.burstCaretAtEnd =
        impl.burstSelection.cpMin == impl.burstSelection.cpMax && impl.burstSelection.cpMax >= rich.Length();
    rich.Send(WM_SETREDRAW, FALSE);
    ::PostMessageW(m_hWnd, kFlushAppends, 0, 0);
  }
  if (impl.endsAtLineStart < 0) impl.endsAtLineStart = rich.AtLineStart(rich.Length()) ? 1 : 0;
  HtmlReader::Options options;
  options.atLineStart = impl.pendingBreak || impl.endsAtLineStart == 1;
  Document document = HtmlReader::ReadAnsi(fragment ? fragment : "", SIZE_MAX, options);
  // A fragment that ends with a block leaves its paragraph end pending: it is
  // put in before the next content, so the view never ends with an empty line.
  const bool endsWithBreak = StripTrailingBreaks(document) > 0;
  if (!document.HasContent()) {
    impl.pendingBreak = impl.pendingBreak || endsWithBreak;
    return S_OK;
  }
  if (impl.pendingBreak) document.items.insert(document.items.begin(), Item{Item::Kind::Break, {}, {}, false, -1});
  impl.pendingBreak = endsWithBreak;
  rich.SelectEnd();
  rich.Insert(document, impl.editMode == 1 ? PictureSources::Trust::Editor : PictureSources::Trust::View,
              impl.editMode == 1);
  return S_OK;
}

void CHtmlEditCtrl2::FlushAppends() {
  Impl& impl = *m_pImpl;
  if (!impl.burst || !m_hWnd) return;
  impl.burst = false;
  Rich rich(m_hWnd, impl);
  if (impl.burstCaretAtEnd)
    rich.SelectEnd();
  else
    rich.Select(impl.burstSelection.cpMin, impl.burstSelection.cpMax);
  if (impl.burstAtEnd) {
    rich.Send(WM_VSCROLL, SB_BOTTOM, 0);
  } else {
    rich.Send(EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&impl.burstScroll));
  }
  rich.Send(WM_SETREDRAW, TRUE);
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

CString CHtmlEditCtrl2::GetText(int) const {
  if (!m_hWnd) return CString();
  const_cast<CHtmlEditCtrl2*>(this)->FlushAppends();
  Rich rich(m_hWnd, *m_pImpl);
  const int length = rich.Length();
  std::wstring text = rich.Text(0, length);
  // Objects show as a blank (Wine) or U+FFFC (Windows): they are not text.
  std::vector<bool> isObject(text.size(), false);
  for (const auto& object : rich.Objects())
    if (object.first >= 0 && static_cast<std::size_t>(object.first) < text.size()) isObject[object.first] = true;
  std::wstring out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (isObject[i] || c == 0xFFFC) continue;
    if (c == L'\r' || c == L'\v') {
      out += L"\r\n";
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else if (c == 0xA0) {
      out += L' ';
    } else {
      out += c;
    }
  }
  return CodePage::WideToAnsi(out.c_str(), static_cast<int>(out.size()));
}

CString CHtmlEditCtrl2::GetHtml() const {
  if (!m_hWnd) return CString();
  const_cast<CHtmlEditCtrl2*>(this)->FlushAppends();
  return HtmlWriter::WriteBodyAnsi(Rich(m_hWnd, *m_pImpl).Read(false));
}

CString CHtmlEditCtrl2::GetMHT() const {
  if (!m_hWnd) return CString();
  const_cast<CHtmlEditCtrl2*>(this)->FlushAppends();
  Document document = Rich(m_hWnd, *m_pImpl).Read(false);
  std::vector<MimeText::Picture> pictures;
  std::unordered_map<std::wstring, std::string> embedded;  // lower-case path -> location
  for (Item& item : document.items) {
    if (item.kind != Item::Kind::Picture) continue;
    const Record& record = m_pImpl->records[static_cast<std::size_t>(item.record)];
    if (!record.shown) continue;
    const std::wstring key = LowerWide(record.path);
    auto found = embedded.find(key);
    if (found == embedded.end()) {
      MimeText::Picture picture;
      if (!PictureSources::ReadFile(record.path, picture.bytes, kMaxPictureBytes)) continue;
      const std::string extension = MimeText::PictureExtension(picture.bytes);
      if (extension.empty()) continue;
      picture.contentType = MimeText::ContentTypeOf(extension);
      // The location is the path itself; a path that code page 936 cannot
      // hold is written as a file URL with UTF-8 escapes instead.
      const CString ansi = CodePage::WideToAnsi(record.path.c_str(), static_cast<int>(record.path.size()));
      if (CodePage::AnsiToWide(ansi) == record.path) {
        picture.location = ansi.Str();
      } else {
        std::string url = "file:///";
        for (unsigned char c : CodePage::WideToUtf8(record.path.c_str(), static_cast<int>(record.path.size()))) {
          char escaped[4];
          if (c == '\\') url += '/';
          else if (c < 0x80 && c > 0x20 && c != '%' && c != '"') url += static_cast<char>(c);
          else std::snprintf(escaped, sizeof escaped, "%%%02X", c), url += escaped;
        }
        picture.location = url;
      }
      found = embedded.emplace(key, picture.location).first;
      pictures.push_back(std::move(picture));
    }
    item.text = CodePage::AnsiToWide(found->second.c_str(), static_cast<int>(found->second.size()));
  }
  const CString page = HtmlWriter::WritePage(HtmlWriter::WriteBodyAnsi(document));
  return CString(MimeText::Build(page.Str(), pictures));
}

CString CHtmlEditCtrl2::MhtToHtml(const char* mht) const {
  std::vector<MimeText::Part> parts;
  if (!mht || !MimeText::Parse(mht, parts)) return CString();
  const MimeText::Part* html = nullptr;
  for (const MimeText::Part& part : parts)
    if (part.contentType == "text/html") {
      html = &part;
      break;
    }
  if (!html)
    for (const MimeText::Part& part : parts)
      if (part.contentType.rfind("text/", 0) == 0) {
        html = &part;
        break;
      }
  if (!html) return CString();
  const bool utf8 = Lower(html->charset) == "utf-8";
  // Every picture part is written under a name of our own; its references
  // (location, its normalised form, cid: and the bare file name when no other
  // part shares it) lead to that file.
  std::unordered_map<std::wstring, std::wstring> byReference;
  std::unordered_map<std::wstring, std::wstring> byName;
  std::unordered_map<std::wstring, int> nameCount;
  std::size_t stored = 0;
  for (const MimeText::Part& part : parts) {
    if (&part == html || stored >= kMaxMhtPictures) continue;
    const std::string extension = MimeText::PictureExtension(part.body);
    if (extension.empty()) continue;
    const std::wstring path =
        PictureSources::StorePicture(part.body, std::wstring(extension.begin(), extension.end()));
    if (path.empty()) continue;
    ++stored;
    if (!part.location.empty()) {
      const std::wstring location = DecodeHeader(part.location, utf8);
      byReference.emplace(location, path);
      const std::wstring normalised = NormaliseReference(location);
      byReference.emplace(normalised, path);
      const std::wstring name = LastSegment(normalised);
      byName.emplace(name, path);
      ++nameCount[name];
    }
    if (!part.contentId.empty()) byReference.emplace(L"cid:" + LowerWide(DecodeHeader(part.contentId, utf8)), path);
  }
  HtmlReader::Options options;
  Document document = HtmlReader::ReadUtf8(TextAsUtf8(html->body, html->charset), options);
  for (Item& item : document.items) {
    if (item.kind != Item::Kind::Picture) continue;
    auto found = byReference.find(item.text);
    if (found == byReference.end()) found = byReference.find(NormaliseReference(item.text));
    if (found == byReference.end()) {
      const std::wstring normalised = NormaliseReference(item.text);
      if (normalised.rfind(L"cid:", 0) == 0) found = byReference.find(normalised);
    }
    if (found != byReference.end()) {
      item.text = found->second;
      continue;
    }
    const std::wstring name = LastSegment(NormaliseReference(item.text));
    const auto named = byName.find(name);
    if (named != byName.end() && nameCount[name] == 1) item.text = named->second;
  }
  return HtmlWriter::WriteBodyAnsi(document);
}

HRESULT CHtmlEditCtrl2::SaveToMHT(const char* path) const {
  if (!m_hWnd) return E_FAIL;
  if (!path || !*path) return E_INVALIDARG;
  const std::wstring target = CodePage::AnsiToWide(path);
  const CString mht = GetMHT();
  const std::wstring temporary = target + L".~" + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
  HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
  if (file == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(::GetLastError());
  DWORD written = 0;
  const bool wrote = ::WriteFile(file, mht.GetString(), static_cast<DWORD>(mht.GetLength()), &written, nullptr) &&
                     written == static_cast<DWORD>(mht.GetLength()) && ::FlushFileBuffers(file);
  const DWORD error = wrote ? 0 : ::GetLastError();
  ::CloseHandle(file);
  if (!wrote || !::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD failure = wrote ? ::GetLastError() : error;
    ::DeleteFileW(temporary.c_str());
    return HRESULT_FROM_WIN32(failure ? failure : ERROR_WRITE_FAULT);
  }
  return S_OK;
}

HRESULT CHtmlEditCtrl2::PasteHTMLAtCurrentSelection(const char* html, BOOL caretAtStart) {
  if (!m_hWnd) return E_FAIL;
  FlushAppends();
  Rich rich(m_hWnd, *m_pImpl);
  const bool keepUndo = m_pImpl->editMode == 1;
  const CHARRANGE selection = rich.Selection();
  const LONG start = std::min(selection.cpMin, selection.cpMax);
  HtmlReader::Options options;
  options.atLineStart = rich.AtLineStart(start);
  options.base = rich.InsertionFormat();
  Document document = HtmlReader::ReadAnsi(html ? html : "", SIZE_MAX, options);
  StripTrailingBreaks(document);
  const Format typing = options.base;
  int steps = 0;
  if (selection.cpMin != selection.cpMax) rich.ReplaceSelection(L"", keepUndo), ++steps;
  rich.Select(start, start);
  rich.SetFormat(SCF_SELECTION, typing);
  steps += rich.Insert(document,
                       m_pImpl->editMode == 1 ? PictureSources::Trust::Editor : PictureSources::Trust::View, keepUndo);
  m_pImpl->endsAtLineStart = -1;
  m_pImpl->pendingBreak = false;
  m_pImpl->undoSteps = steps;
  if (caretAtStart) rich.Select(start, start);
  return S_OK;
}

namespace {

// The format change of one Font* call: on the selection, or for what is typed
// next; an empty document keeps it also when the caret is placed again.
HRESULT ApplyFormat(HWND wnd, CHtmlEditCtrl2::Impl& impl, DWORD mask, const Format& format) {
  if (!wnd) return E_FAIL;
  Rich rich(wnd, impl);
  CHARFORMAT2W cf = ToCharFormat(format);
  cf.dwMask = mask;
  const CHARRANGE selection = rich.Selection();
  rich.Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  impl.undoSteps = selection.cpMin != selection.cpMax ? 1 : 0;
  if (rich.Length() == 0) rich.Send(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
  return S_OK;
}

}  // namespace

HRESULT CHtmlEditCtrl2::FontName(const char* face) {
  if (!face || !*face) return E_INVALIDARG;
  std::wstring name = CodePage::AnsiToWide(face);
  if (name.size() > LF_FACESIZE - 1) return E_INVALIDARG;
  FlushAppends();
  Format format;
  format.face = name;
  return ApplyFormat(m_hWnd, *m_pImpl, CFM_FACE | CFM_CHARSET, format);
}

HRESULT CHtmlEditCtrl2::FontSize(int size) {
  if (size < 1 || size > 7) return E_INVALIDARG;
  FlushAppends();
  Format format;
  format.twips = HtmlModel::HtmlSizeToTwips(size);
  return ApplyFormat(m_hWnd, *m_pImpl, CFM_SIZE, format);
}

HRESULT CHtmlEditCtrl2::FontForeColor(COLORREF colour) {
  FlushAppends();
  Format format;
  format.hasColor = true;
  format.color = colour & 0xFFFFFF;
  return ApplyFormat(m_hWnd, *m_pImpl, CFM_COLOR, format);
}

HRESULT CHtmlEditCtrl2::FontBackColor(COLORREF colour) {
  FlushAppends();
  Format format;
  format.hasBack = true;
  format.back = colour & 0xFFFFFF;
  return ApplyFormat(m_hWnd, *m_pImpl, CFM_BACKCOLOR, format);
}

HRESULT CHtmlEditCtrl2::Copy() {
  if (!m_hWnd) return E_FAIL;
  FlushAppends();
  Rich rich(m_hWnd, *m_pImpl);
  const CHARRANGE selection = rich.Selection();
  if (selection.cpMin == selection.cpMax) return S_FALSE;
  Document document = rich.Read(true);
  StripTrailingBreaks(document);
  std::wstring text;
  int pictures = 0;
  const Item* lonePicture = nullptr;
  for (const Item& item : document.items) {
    if (item.kind == Item::Kind::Text) {
      for (wchar_t c : item.text) text += c == 0xA0 ? L' ' : c;
    } else if (item.kind == Item::Kind::Break) {
      text += L"\r\n";
    } else {
      ++pictures;
      lonePicture = &item;
    }
  }
  CClipboardLock clipboard(m_hWnd);
  if (!clipboard.IsOpen()) return E_ACCESSDENIED;
  g_lastCopy = LastCopy{};
  bool done = false;
  if (text.empty() && pictures == 1) {
    const Record& record = m_pImpl->records[static_cast<std::size_t>(lonePicture->record)];
    if (record.shown)
      if (auto display = PictureObject::Load(record.path)) {
        done = clipboard->SetBitmap(display->bitmap);
        if (done) g_lastCopy.bitmap = BitmapDigest(display->bitmap);
      }
  }
  if (!done) {
    g_lastCopy.text = CodePage::WideToAnsi(text.c_str(), static_cast<int>(text.size()));
    done = clipboard->SetText(g_lastCopy.text);
  }
  if (done) g_lastCopy.html = HtmlWriter::WriteBodyAnsi(document);
  return done ? S_OK : E_FAIL;
}

HRESULT CHtmlEditCtrl2::Cut() {
  if (!m_hWnd) return E_FAIL;
  if (m_pImpl->editMode == 0) return E_ACCESSDENIED;
  const HRESULT copied = Copy();
  if (copied != S_OK) return copied;
  Rich(m_hWnd, *m_pImpl).ReplaceSelection(L"", true);
  m_pImpl->endsAtLineStart = -1;
  m_pImpl->undoSteps = 1;
  return S_OK;
}

HRESULT CHtmlEditCtrl2::Paste() {
  if (!m_hWnd) return E_FAIL;
  if (m_pImpl->editMode == 0) return E_ACCESSDENIED;
  FlushAppends();
  CString html;
  {
    CClipboardLock clipboard(m_hWnd);
    if (!clipboard.IsOpen()) return E_ACCESSDENIED;
    if (clipboard->HasText()) {
      const CString text = clipboard->GetText();
      if (!g_lastCopy.html.IsEmpty() && !g_lastCopy.bitmap && text == g_lastCopy.text) {
        html = g_lastCopy.html;
      } else {
        // Plain text: escaped, each line a paragraph.
        const std::wstring wide = CodePage::AnsiToWide(text);
        std::wstring escaped;
        for (std::size_t i = 0; i < wide.size(); ++i) {
          const wchar_t c = wide[i];
          if (c == L'\r') {
            if (i + 1 < wide.size() && wide[i + 1] == L'\n') ++i;
            escaped += L"<BR>";
          } else if (c == L'\n') {
            escaped += L"<BR>";
          } else if (c == L' ') {
            escaped += L"&nbsp;";
          } else {
            escaped += HtmlWriter::Escape(std::wstring(1, c));
          }
        }
        html = CodePage::WideToAnsi(escaped.c_str(), static_cast<int>(escaped.size()));
      }
    } else if (clipboard->HasBitmap()) {
      if (g_lastCopy.bitmap && !g_lastCopy.html.IsEmpty() && BitmapDigest(clipboard->GetBitmap()) == g_lastCopy.bitmap) {
        html = g_lastCopy.html;
      } else {
        const std::wstring folder = PictureSources::ProcessFolder();
        if (folder.empty()) return E_FAIL;
        static LONG counter = 0;
        const std::wstring path = folder + L"paste-" + std::to_wstring(::GetTickCount()) + L"-" +
                                  std::to_wstring(::InterlockedIncrement(&counter)) + L".png";
        CImage image;
        image.Attach(clipboard->GetBitmap());
        const CString ansi = CodePage::WideToAnsi(path.c_str(), static_cast<int>(path.size()));
        const HRESULT saved = image.Save(ansi);
        image.Detach();
        if (FAILED(saved)) return saved;
        html = "<IMG src=\"" + ansi + "\">";
      }
    } else {
      return S_FALSE;
    }
  }
  return PasteHTMLAtCurrentSelection(html, FALSE);
}

HRESULT CHtmlEditCtrl2::Delete() {
  if (!m_hWnd) return E_FAIL;
  if (m_pImpl->editMode == 0) return E_ACCESSDENIED;
  FlushAppends();
  Rich rich(m_hWnd, *m_pImpl);
  CHARRANGE selection = rich.Selection();
  if (selection.cpMin == selection.cpMax) {
    if (selection.cpMin >= rich.Length()) return S_FALSE;
    rich.Select(selection.cpMin, selection.cpMin + 1);
  }
  rich.ReplaceSelection(L"", true);
  m_pImpl->endsAtLineStart = -1;
  m_pImpl->undoSteps = 1;
  return S_OK;
}

HRESULT CHtmlEditCtrl2::SelectAll() {
  if (!m_hWnd) return E_FAIL;
  FlushAppends();
  Rich(m_hWnd, *m_pImpl).Select(0, -1);
  return S_OK;
}

HRESULT CHtmlEditCtrl2::Undo() {
  if (!m_hWnd) return E_FAIL;
  if (m_pImpl->editMode == 0) return E_ACCESSDENIED;
  FlushAppends();
  Rich rich(m_hWnd, *m_pImpl);
  if (!rich.Send(EM_CANUNDO)) return S_FALSE;
  for (int step = std::max(1, m_pImpl->undoSteps); step > 0 && rich.Send(EM_CANUNDO); --step) rich.Send(EM_UNDO);
  m_pImpl->undoSteps = 0;
  m_pImpl->endsAtLineStart = -1;
  return S_OK;
}

HRESULT CHtmlEditCtrl2::Activate() {
  if (!m_hWnd) return E_FAIL;
  FlushAppends();
  ::SetFocus(m_hWnd);
  return ::GetFocus() == m_hWnd ? S_OK : S_FALSE;
}

int CHtmlEditCtrl2::GetPictureCount() const {
  if (!m_hWnd) return 0;
  return static_cast<int>(Rich(m_hWnd, *m_pImpl).Objects().size());
}

int CHtmlEditCtrl2::GetPlaceholderCount() const {
  if (!m_hWnd) return 0;
  int count = 0;
  for (const auto& object : Rich(m_hWnd, *m_pImpl).Objects())
    if (object.second < m_pImpl->records.size() && !m_pImpl->records[object.second].shown) ++count;
  return count;
}

CString CHtmlEditCtrl2::GetPictureFolder() {
  const std::wstring folder = PictureSources::ProcessFolder();
  return CodePage::WideToAnsi(folder.c_str(), static_cast<int>(folder.size()));
}

LRESULT CHtmlEditCtrl2::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kFlushAppends:
      FlushAppends();
      return 0;
    case WM_COPY:
      Copy();
      return 0;
    case WM_CUT:
      Cut();
      return 0;
    case WM_PASTE:
      Paste();
      return 0;
    case WM_CHAR:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
      m_pImpl->undoSteps = 0;
      break;
    case WM_KEYDOWN: {
      m_pImpl->undoSteps = 0;
      // The control's own clipboard keys go through the seam as well.
      const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
      const bool shift = ::GetKeyState(VK_SHIFT) < 0;
      if ((ctrl && wParam == 'C') || (ctrl && wParam == VK_INSERT)) {
        Copy();
        return 0;
      }
      if ((ctrl && wParam == 'X') || (shift && wParam == VK_DELETE)) {
        Cut();
        return 0;
      }
      if ((ctrl && wParam == 'V') || (shift && wParam == VK_INSERT)) {
        Paste();
        return 0;
      }
      break;
    }
    case WM_DESTROY:
      if (m_pImpl->ole) {
        m_pImpl->ole->Release();
        m_pImpl->ole = nullptr;
      }
      m_pImpl->burst = false;
      break;
    default:
      break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

void CHtmlEditCtrl2::PostNcDestroy() { m_pImpl->records.clear(); }
