#include "Seams.h"

#include <shellapi.h>

#include <algorithm>

namespace {

struct SeamTable {
  Seams::MessageBoxFn messageBox;
  Seams::PopupMenuFn popupMenu;
  Seams::FileDialogFn openFile;
  Seams::FileDialogFn saveFile;
  Seams::TickCountFn tickCount;
  Seams::ModulePathFn hostPath;
  Seams::WorkAreaFn workArea;
  Seams::FontListFn fonts;
  Seams::ShellExecuteFn shell;
  Seams::DoModalFn doModal;
};

SeamTable& Table() {
  static SeamTable table;
  return table;
}

int CALLBACK CollectFont(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM param) {
  auto* names = reinterpret_cast<std::vector<CString>*>(param);
  CString name(font->lfFaceName);
  if (std::find(names->begin(), names->end(), name) == names->end()) names->push_back(name);
  return 1;
}

}  // namespace

namespace Seams {

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  if (Table().messageBox) return Table().messageBox(owner, text, caption, type);
  return ::MessageBoxA(owner, text, caption, type);
}

UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) {
  if (Table().popupMenu) return Table().popupMenu(menu, flags, x, y, owner);
  return static_cast<UINT>(::TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr));
}

bool OpenFileDialog(OPENFILENAMEA& ofn) {
  if (Table().openFile) return Table().openFile(ofn);
  return ::GetOpenFileNameA(&ofn) != FALSE;
}

bool SaveFileDialog(OPENFILENAMEA& ofn) {
  if (Table().saveFile) return Table().saveFile(ofn);
  return ::GetSaveFileNameA(&ofn) != FALSE;
}

DWORD GetTickCount() {
  if (Table().tickCount) return Table().tickCount();
  return ::GetTickCount();
}

CString GetHostExePath() {
  if (Table().hostPath) return Table().hostPath();
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) return CString(buffer.data(), static_cast<int>(n));
    buffer.resize(buffer.size() * 2);
  }
}

RECT GetWorkArea() {
  if (Table().workArea) return Table().workArea();
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

std::vector<CString> GetScreenFonts() {
  if (Table().fonts) return Table().fonts();
  std::vector<CString> names;
  HDC dc = GetDC(nullptr);
  LOGFONTA filter{};
  filter.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(dc, &filter, CollectFont, reinterpret_cast<LPARAM>(&names), 0);
  ReleaseDC(nullptr, dc);
  return names;
}

HINSTANCE RunShellExecute(HWND owner, const char* verb, const char* file, const char* params, const char* dir, int show) {
  if (Table().shell) return Table().shell(owner, verb, file, params, dir, show);
  return ::ShellExecuteA(owner, verb, file, params, dir, show);
}

void SetMessageBox(MessageBoxFn fn) { Table().messageBox = std::move(fn); }
void SetTrackPopupMenu(PopupMenuFn fn) { Table().popupMenu = std::move(fn); }
void SetOpenFileDialog(FileDialogFn fn) { Table().openFile = std::move(fn); }
void SetSaveFileDialog(FileDialogFn fn) { Table().saveFile = std::move(fn); }
void SetTickCount(TickCountFn fn) { Table().tickCount = std::move(fn); }
void SetHostExePath(ModulePathFn fn) { Table().hostPath = std::move(fn); }
void SetWorkArea(WorkAreaFn fn) { Table().workArea = std::move(fn); }
void SetScreenFonts(FontListFn fn) { Table().fonts = std::move(fn); }
void SetShellExecute(ShellExecuteFn fn) { Table().shell = std::move(fn); }
void SetDoModal(DoModalFn fn) { Table().doModal = std::move(fn); }
DoModalFn GetDoModal() { return Table().doModal; }

}  // namespace Seams
