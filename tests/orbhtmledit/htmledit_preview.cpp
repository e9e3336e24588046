// htmledit_preview: a conversation view with three Chinese messages in
// different colours and sizes (one with a picture, which travels through
// GetMHT and MhtToHtml as a sent message does) above an editor with mixed
// formatting and an inline picture, so that the control can be checked on a
// screenshot. Not a test; it quits by itself.
//   htmledit_preview.exe [seconds]
// When ORB_READY_FILE is set, that file is created once the window is drawn.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "CHtmlEdit.h"
#include "CString.h"
#include "CWnd.h"
#include "CodePage.h"

namespace {

// A 48 x 48 smiling face, written as a BMP into a folder under the
// temporary folder (where a view may show it).
CString WriteFace(const CString& folder) {
  const CString path = folder + "笑脸.bmp";
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 48, -48, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  RECT all{0, 0, 48, 48};
  HBRUSH white = ::CreateSolidBrush(RGB(255, 255, 255));
  ::FillRect(dc, &all, white);
  HBRUSH yellow = ::CreateSolidBrush(RGB(255, 204, 0));
  HPEN outline = ::CreatePen(PS_SOLID, 2, RGB(200, 120, 0));
  ::SelectObject(dc, yellow);
  ::SelectObject(dc, outline);
  ::Ellipse(dc, 2, 2, 46, 46);
  HBRUSH black = ::CreateSolidBrush(RGB(60, 40, 0));
  ::SelectObject(dc, black);
  ::Ellipse(dc, 14, 14, 20, 22);
  ::Ellipse(dc, 28, 14, 34, 22);
  ::Arc(dc, 12, 18, 36, 38, 12, 30, 36, 30);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::DeleteObject(white);
  ::DeleteObject(yellow);
  ::DeleteObject(outline);
  ::DeleteObject(black);
  BITMAPFILEHEADER file{0x4D42, 0, 0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  const DWORD size = 48 * 48 * 3;
  file.bfSize = file.bfOffBits + size;
  HANDLE out = ::CreateFileW(CodePage::AnsiToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  BITMAPINFOHEADER header = info.bmiHeader;
  header.biHeight = 48;  // bottom-up in the file
  ::WriteFile(out, &file, sizeof file, &written, nullptr);
  ::WriteFile(out, &header, sizeof header, &written, nullptr);
  for (int y = 47; y >= 0; --y) ::WriteFile(out, static_cast<BYTE*>(bits) + y * 144, 144, &written, nullptr);
  ::CloseHandle(out);
  ::DeleteObject(bitmap);
  return path;
}

class Frame : public CWnd {
 public:
  CHtmlEdit view;
  CHtmlEdit editor;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const int seconds = __argc > 1 ? std::atoi(__argv[1]) : 8;
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const CString folder = CString(temp) + "htmledit_preview\\";
  ::CreateDirectoryW(CodePage::AnsiToWide(folder).c_str(), nullptr);
  const CString face = WriteFace(folder);

  Frame frame;
  frame.CreateEx(0, nullptr, "OrbHtmlEdit 预览：对话与编辑", WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{40, 30, 720, 600},
                 nullptr, 0);
  const RECT client = frame.GetClientRect();
  const int split = (client.bottom - client.top) * 62 / 100;
  frame.view.Create(RECT{4, 4, client.right - 4, split - 4}, &frame, 22029);
  frame.view.Navigate("about:blank");
  frame.view.SetMultiSelect(TRUE);
  frame.view.SetEditMode(0);
  frame.view.SetHtml("<HTML><BODY bgColor=#ffffff>\r\n<DIV></DIV>\r\n</BODY></HTML>");
  frame.editor.Create(RECT{4, split, client.right - 4, client.bottom - 4}, &frame, 22030);
  frame.editor.SetMultiSelect(TRUE);
  frame.editor.Navigate("about:blank");
  frame.editor.SetEditMode(1);

  // Message 1: another user's, blue header, plain paragraphs.
  frame.view.AddHtml(
      "<FONT color=#0000C0 size=2>张三(13****78)&nbsp;10:01:02&nbsp;说:"
      "<DIV><FONT size=2 face=Serif>&nbsp;&nbsp;&nbsp;&nbsp;</FONT><FONT size=3 color=#000000>大家好，今天下午三点在三楼会议室开会。</FONT></DIV>"
      "<DIV><FONT size=2 face=Serif>&nbsp;&nbsp;&nbsp;&nbsp;</FONT><FONT size=3 color=#000000>请带上<U>上周的报告</U>。</FONT></DIV>"
      "</FONT><DIV></DIV>");
  // Message 2: the user's own, sent from an editor as MHT with a picture.
  {
    Frame sender;
    sender.CreateEx(0, nullptr, "", WS_POPUP, RECT{0, 0, 300, 200}, nullptr, 0);
    sender.editor.Create(RECT{0, 0, 300, 200}, &sender, 1);
    sender.editor.SetHtml("<FONT color=#C00000 size=5 face=宋体>\r\n<DIV></DIV>");
    sender.editor.PasteHTMLAtCurrentSelection("<B>收到！</B>准时到", 0);
    sender.editor.PasteHTMLAtCurrentSelection("<img src=\"" + face + "\">", 0);
    const CString body = frame.view.MhtToHtml(sender.editor.GetMHT());
    CString content = body;
    content.Replace("<DIV>", "<DIV><FONT size=2 face=Serif>&nbsp;&nbsp;&nbsp;&nbsp;</FONT>");
    frame.view.AddHtml("<FONT color=#008000 size=2> 您&nbsp;于&nbsp;10:02:10&nbsp;说:" + content + "</FONT><DIV></DIV>");
    sender.editor.DestroyWindow();
    sender.DestroyWindow();
  }
  // Message 3: a system message, orange, small and italic.
  frame.view.AddHtml(
      "<FONT color=#E07000 size=2> [10:03:00]系统消息:<DIV><FONT size=2 face=Serif>&nbsp;&nbsp;&nbsp;&nbsp;</FONT>"
      "<I>李四 已加入讨论组</I> <SPAN style=\"background-color:#FFFF99; color:#800080\">(3 人在线)</SPAN></DIV></FONT><DIV></DIV>");
  frame.view.FlushAppends();

  // The editor as the conversation window sets it up (its default font "MS
  // Sans Serif" becomes " Serif" in MakePageHtml), with mixed formatting.
  frame.editor.SetHtml(
      "<HTML><BODY bgColor=#ffffff>\r\n<FONT style=\"BACKGROUND-COLOR: #FFFFE0\" color=#000080 size=3 face= Serif>\r\n"
      "<DIV></DIV>\r\n</BODY></HTML>");
  frame.editor.PasteHTMLAtCurrentSelection(
      "这是<B>粗体</B>、<I>斜体</I>、<U>下划线</U>，<FONT color=#FF0000 size=5>大红字</FONT>和"
      "<SPAN style=\"background-color:#CCFFCC\">绿底</SPAN>，还有表情：",
      0);
  frame.editor.PasteHTMLAtCurrentSelection("<img src=\"" + face + "\">", 0);
  frame.editor.PasteHTMLAtCurrentSelection("<BR>第二行：<FONT face=Arial size=4>Arial 14 pt</FONT>", 0);
  frame.editor.Activate();

  const char* ready = std::getenv("ORB_READY_FILE");
  const UINT_PTR readyTimer = ::SetTimer(nullptr, 0, 800, nullptr);
  const UINT_PTR quitTimer = ::SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, nullptr);
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd == nullptr && msg.message == WM_TIMER && msg.wParam == readyTimer) {
      ::KillTimer(nullptr, readyTimer);
      if (ready) ::CloseHandle(::CreateFileA(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
      continue;
    }
    if (msg.hwnd == nullptr && msg.message == WM_TIMER && msg.wParam == quitTimer) break;
    if (!CWnd::WalkPreTranslateTree(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  frame.view.DestroyWindow();
  frame.editor.DestroyWindow();
  frame.DestroyWindow();
  ::DeleteFileW(CodePage::AnsiToWide(face).c_str());
  ::RemoveDirectoryW(CodePage::AnsiToWide(folder).c_str());
  return 0;
}
