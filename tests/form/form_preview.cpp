// form_preview: a conversation window of OrbChat's own code with a personal
// conversation of a few messages (another user's, the user's own, a system
// notice), the members pane and the toolbar, for screenshots. Not a test; it
// quits by itself after a few seconds.
//   form_preview.exe [seconds] [colours|faces]
// With "colours" the text colour list is dropped down (red chosen) for the
// picture; with "faces" the emoticon picker is opened at the face button, a
// picture hovered (the pictures of Images\Face\ beside the executable).
// When ORB_READY_FILE is set, that file is created once the messages are shown.
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "COrbHttp_Protocol_Orb.h"
#include "CWnd.h"
#include "Seams.h"
#include "chat/COrbChat_Mgr.h"
#include "chat/ModuleHandle.h"
#include "form/CFaceDialog.h"
#include "form/COrbChat_Form.h"
#include "resources/resource.h"

namespace {

// The user c1001 "张三", storing nothing.
class CPreviewSession : public COrbHttp_Protocol_Orb {
 public:
  CString GetUserID() const override { return "c1001"; }
  CString GetMyAlias() const override { return "张三"; }
  CString GetMyRole() const override { return "c"; }
  CString GetRoleCodes() const override { return "cs"; }
  bool SaveMsgToMdb(InfoMsgStructer*) override { return true; }
};

std::unique_ptr<InfoMsgStructer> Record(const char* from, const char* fromId, const char* body, const char* stamp) {
  auto record = std::make_unique<InfoMsgStructer>();
  record->from = from;
  record->from_id = fromId;
  record->body = body;
  record->publish_time = stamp;
  return record;
}

void SignalReady() {
  const char* path = std::getenv("ORB_READY_FILE");
  if (!path || !*path) return;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

// Runs the loop as a host does, until the time is up.
void RunFor(DWORD ms, COrbChat_Form& form, bool& signalled, bool dropColours, bool openFaces) {
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  bool dropped = !dropColours;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!CWnd::WalkPreTranslateTree(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    if (!signalled && form.GetPendingCount() == 0) {
      form.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
      if (openFaces) {
        // The picker opens at the cursor and signals once it is shown.
        signalled = true;
        RECT button{};
        ::GetWindowRect(::GetDlgItem(form.m_hWnd, IDC_FORM_FACE), &button);
        ::SetCursorPos(button.left + 4, button.bottom + 2);
        form.PostMessage(WM_COMMAND, MAKEWPARAM(IDC_FORM_FACE, BN_CLICKED),
                         reinterpret_cast<LPARAM>(::GetDlgItem(form.m_hWnd, IDC_FORM_FACE)));
        continue;
      }
      if (!dropped) {
        dropped = true;
        form.m_cboForeColor.SetFocus();
        form.m_cboForeColor.ShowDropDown(TRUE);
        form.m_cboForeColor.SetCurSel(13);
        form.m_cboForeColor.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        continue;  // one more round of messages paints the list
      }
      signalled = true;
      SignalReady();
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 6;
  const std::string mode = argc > 2 ? argv[2] : "";
  const bool dropColours = mode == "colours";
  const bool openFaces = mode == "faces";
  if (openFaces) {
    Seams::SetDoModal([](CDialog& dialog) {
      return dialog.RunModal([](CDialog& shown) {
        auto* picker = dynamic_cast<CFaceDialog*>(&shown);
        if (!picker) return;
        picker->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW);
        if (picker->m_arrFaces.size() > 12) {
          const CRect cell = picker->m_arrFaces[12]->rcCell;
          picker->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
        }
        SignalReady();
      });
    });
  }
  HMODULE module = LoadLibraryA("OrbChat.dll");
  if (!module) return 1;
  SetOrbChatModuleHandle(module);
  Seams::SetWorkArea([] { return RECT{0, 0, 1023, 767}; });

  CPreviewSession session;
  COrbChat_Mgr manager(&session);
  bool signalled = false;
  {
    COrbChat_Form form("", &session, &manager);
    form.SetDisplayNameLookup([](const CString& id) {
      if (id == "c1001") return CString("张三");
      if (id == "c2002") return CString("李四");
      return CString();
    });
    if (!form.Create(IDD_CHAT_FORM, nullptr)) return 2;
    form.SetTitle("与 李四 会话中");
    form.SetBannerText("李四 (c2*02)");
    form.SetThreadId("t20261208");
    form.SetMembers("c1001,c2002,s300300");
    form.ShowWindow(SW_SHOWNORMAL);
    form.ShowSystemMessage("申请会话应答：", "会话已建立，可以开始发言。");
    form.QueueMessage(Record("李四", "c2002", "<DIV>你好！明天上午十点的会议改到三楼会议室。</DIV>", "20261208093007"));
    form.QueueMessage(Record("张三", "c1001", "<DIV>收到，谢谢提醒。</DIV><DIV>我会带上项目资料。</DIV>",
                             "20261208093112"));
    form.QueueMessage(Record("李四", "c2002", "<DIV>好的，<FONT color=#0000FF>不见不散</FONT>。</DIV>",
                             "20261208093150"));
    form.ShowSystemMessage("系统错误", "服务器暂时无法送达消息，请稍后重试。");
    form.GetEditor().SetHtml("<FONT face=宋体 size=2>正在输入的内容……</FONT>");
    RunFor(static_cast<DWORD>(seconds) * 1000, form, signalled, dropColours, openFaces);
  }
  SetOrbChatModuleHandle(nullptr);
  FreeLibrary(module);
  return 0;
}
