#pragma once
// The demo host's main window. It hosts the chat module the way a real host
// does: constructs COrbChat with the protocol objects, calls Init with
// itself as parent, ShowWindow, MoveWindow on every resize, and Free when it
// is destroyed. A status line at the bottom names the logged-in user.
//
// It signals readiness (the file named by ORB_READY_FILE) after its first
// paint, or, in the scripted run, once the script has saved its pictures;
// it then closes itself after the hold time, ending the message loop with
// the run's exit status.
#include <memory>

#include "CDemoChatScript.h"
#include "CDemoScript.h"
#include "CString.h"
#include "CWnd.h"
#include "OrbChat.h"

class CDemoSession;
struct CDemoOptions;
struct DemoPerson;

class CDemoFrame : public CWnd {
 public:
  CDemoFrame(CDemoSession& session, const CDemoOptions& options, const CString& shotsDir);
  ~CDemoFrame() override;

  // Creates and shows the frame with the chat panel inside; false with a
  // message when the window or the panel cannot be made.
  bool Open(const DemoPerson& user, CString& error);
  COrbChat* Chat() const { return m_pChat.get(); }
  const CDemoScript* Script() const { return m_pScript.get(); }

  static constexpr int kStatusHeight = 24;

 protected:
  void OnPaint();
  void OnSize(UINT type, int cx, int cy);
  void OnTimer(UINT_PTR id);
  void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  void SignalReady();
  void StartScript();
  // The running script, whichever it is.
  bool ScriptStep();
  bool ScriptDone() const;
  bool ScriptPassed() const;
  CString ScriptReport() const;
  // With MQTT: the connection's state and its latest notice.
  void UpdateStatus();
  void FinishScript();
  void Close(int exitCode);
  HWND FindPanel() const;

  CDemoSession& m_session;
  const CDemoOptions& m_options;
  CString m_strShotsDir;
  CString m_strStatus;
  std::unique_ptr<COrbChat> m_pChat;
  std::unique_ptr<CDemoScript> m_pScript;
  std::unique_ptr<CDemoChatScript> m_pChatScript;
  CString m_strUserLine;
  CString m_strNotice;
  bool m_bPainted = false;
  bool m_bReadySignalled = false;
  int m_nExitCode = 0;
};
