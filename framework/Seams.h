#pragma once
// One replaceable entry point for each call that a test must be able to answer
// or observe: message boxes, modal dialogs, popup menus, file dialogs, the
// clock, the host executable's path, the work area, the screen's font list and
// the shell. The clipboard has its own seam (Clipboard.h).
// Each defaults to the real call; a test installs its own answer with the Set
// function and restores the default by passing an empty function.
#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <vector>

#include "CString.h"
#include "FrameworkApi.h"

class CDialog;

namespace Seams {

using MessageBoxFn = std::function<int(HWND owner, const char* text, const char* caption, UINT type)>;
// flags as for TrackPopupMenu; returns the chosen command with TPM_RETURNCMD,
// otherwise non-zero on success (the command is then posted to owner).
using PopupMenuFn = std::function<UINT(HMENU menu, UINT flags, int x, int y, HWND owner)>;
using FileDialogFn = std::function<bool(OPENFILENAMEA& ofn)>;
using TickCountFn = std::function<DWORD()>;
using ModulePathFn = std::function<CString()>;
using WorkAreaFn = std::function<RECT()>;
using FontListFn = std::function<std::vector<CString>()>;
// Answers CDialog::DoModal: returns the result DoModal gives. It may act on
// the dialog object (set its members) or run the real dialog with
// dialog.RunModal(...), which does not come back to this seam for that dialog.
using DoModalFn = std::function<INT_PTR(CDialog& dialog)>;
using ShellExecuteFn = std::function<HINSTANCE(HWND owner, const char* verb, const char* file, const char* params,
                                               const char* dir, int show)>;

ORBFW_API int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);
ORBFW_API UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner);
ORBFW_API bool OpenFileDialog(OPENFILENAMEA& ofn);
ORBFW_API bool SaveFileDialog(OPENFILENAMEA& ofn);
ORBFW_API DWORD GetTickCount();
// Full path of the host executable (GetModuleFileNameA of the process).
ORBFW_API CString GetHostExePath();
// The primary monitor's work area (SPI_GETWORKAREA).
ORBFW_API RECT GetWorkArea();
// Face names of the screen's fonts, in enumeration order, without duplicates.
ORBFW_API std::vector<CString> GetScreenFonts();
ORBFW_API HINSTANCE RunShellExecute(HWND owner, const char* verb, const char* file, const char* params, const char* dir,
                                 int show);

ORBFW_API void SetMessageBox(MessageBoxFn fn);
ORBFW_API void SetTrackPopupMenu(PopupMenuFn fn);
ORBFW_API void SetOpenFileDialog(FileDialogFn fn);
ORBFW_API void SetSaveFileDialog(FileDialogFn fn);
ORBFW_API void SetTickCount(TickCountFn fn);
ORBFW_API void SetHostExePath(ModulePathFn fn);
ORBFW_API void SetWorkArea(WorkAreaFn fn);
ORBFW_API void SetScreenFonts(FontListFn fn);
ORBFW_API void SetShellExecute(ShellExecuteFn fn);
ORBFW_API void SetDoModal(DoModalFn fn);
// The installed DoModal answer; empty when dialogs run for real.
ORBFW_API DoModalFn GetDoModal();

}  // namespace Seams
