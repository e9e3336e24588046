#include "COrbMsgBrowser.h"

#include "CMsgBrowserDlg.h"
#include "Seams.h"

int COrbMsgBrowser::Browser(const CString& path, const CString& text) {
  CMsgBrowserDlg dialog(path, text, CWnd::FromHandle(GetActiveWindow()));
  CString problem;
  if (!dialog.OpenStore(problem)) {
    Seams::ShowMessageBox(GetActiveWindow(), problem, "消息记录", MB_OK | MB_ICONERROR);
    return IDABORT;
  }
  return static_cast<int>(dialog.DoModal());
}
