// Shows the history viewer over a made-up store of 20 conversations, for
// pictures: scripts/screenshot.sh out.png -- msgbrowser_preview.exe [WORD]
// With WORD the viewer opens with a search for it. When ORB_READY_FILE is set,
// that file is created once the window is drawn; the viewer closes by itself
// a few seconds later.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "CMsgBrowserDlg.h"
#include "CTestFolder.h"
#include "HistoryFixture.h"

int main(int argc, char** argv) {
  LoadLibraryA("msftedit.dll");
  CTestFolder folder;
  const CString path = folder.File("history.msg");
  if (!WriteHistory(path, 20, 2000)) return 1;
  CMsgBrowserDlg dialog(path, argc > 1 ? argv[1] : "", nullptr);
  CString problem;
  if (!dialog.OpenStore(problem) || !dialog.Create()) return 1;
  dialog.MoveWindow(20, 20, 960, 600);
  dialog.ShowWindow(SW_SHOW);
  dialog.UpdateWindow();
  const DWORD start = GetTickCount();
  bool ready = false;
  MSG msg;
  while (GetTickCount() - start < 6000 && IsWindow(dialog.GetSafeHwnd())) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!IsDialogMessageA(dialog.GetSafeHwnd(), &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    if (!ready && GetTickCount() - start > 800) {
      ready = true;
      if (const char* file = std::getenv("ORB_READY_FILE")) {
        if (FILE* out = std::fopen(file, "w")) std::fclose(out);
      }
    }
    Sleep(20);
  }
  if (IsWindow(dialog.GetSafeHwnd())) dialog.DestroyWindow();
  return 0;
}
