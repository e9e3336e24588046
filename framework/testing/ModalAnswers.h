#pragma once
// Answers CDialog::DoModal calls in order while it lives (Seams::SetDoModal),
// and records which dialogs were asked for.
//
//   OrbTesting::ModalAnswers modal;
//   modal.Answer(IDOK, [](CDialog& d) { dynamic_cast<CMyDlg&>(d).m_strText = "x"; });  // no window
//   modal.Drive([](CDialog& d) {                        // the real dialog, driven inside its loop
//     d.SetDlgItemText(IDC_NAME, "abc");
//     d.PostMessage(WM_COMMAND, IDOK);
//   });
//
// A DoModal with no answer left returns IDCANCEL and counts as unexpected. A
// driven dialog still open after its time limit is ended with IDABORT and
// counts as timed out, so a test never hangs on a dialog nobody closes.
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class CDialog;

namespace OrbTesting {

class ModalAnswers {
 public:
  using ActFn = std::function<void(CDialog& dialog)>;
  struct AskedDialog {
    UINT templateId;
    std::string className;  // the dialog object's type name (typeid)
  };

  ModalAnswers();
  ~ModalAnswers();
  ModalAnswers(const ModalAnswers&) = delete;
  ModalAnswers& operator=(const ModalAnswers&) = delete;

  // The next DoModal calls act (if any) on the dialog object and returns code
  // without creating a window.
  void Answer(INT_PTR code, ActFn act = {});
  // The next DoModal runs the real dialog; script runs inside its modal loop
  // once it is initialised and shown, and should end it.
  void Drive(ActFn script, DWORD timeoutMs = 10000);

  const std::vector<AskedDialog>& Asked() const { return m_asked; }
  int Unexpected() const { return m_nUnexpected; }
  int TimedOut() const { return m_nTimedOut; }
  size_t Pending() const { return m_answers.size(); }

 private:
  struct Step {
    bool drive;
    INT_PTR code;
    ActFn act;
    DWORD timeoutMs;
  };
  INT_PTR Respond(CDialog& dialog);
  static void CALLBACK OnTimeout(HWND wnd, UINT, UINT_PTR id, DWORD);

  std::deque<Step> m_answers;
  std::vector<AskedDialog> m_asked;
  int m_nUnexpected = 0;
  int m_nTimedOut = 0;
};

}  // namespace OrbTesting
