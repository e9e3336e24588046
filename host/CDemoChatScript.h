#pragma once
// The scripted run of two demo hosts on different "machines" (processes)
// against one MQTT broker, one role per run:
//   send-offline  张三 opens the conversation with 李四 (not running) from
//                 the contact tree, sends a message and waits until the
//                 broker has it
//   reply         李四 starts, the message that waited for him opens its
//                 window; he answers and waits for 张三's next message
//   answer        张三 again: 李四's answer opens its window; he answers it
// Every role checks what its window shows, waits (bounded) for what the
// other host should bring, and pictures its conversation window.
#include <windows.h>

#include <functional>
#include <vector>

#include "CDemoRun.h"
#include "CString.h"

class COrbHttp_Protocol_Orb;

class CDemoChatScript : public CDemoRun {
 public:
  CDemoChatScript(HWND panel, const CString& shotsDir, COrbHttp_Protocol_Orb& session, const CString& role);

  // Runs the next step; true once the sequence is complete.
  bool Step();
  bool IsDone() const override { return PhasesDone(); }

  // The texts the two hosts exchange.
  static const char* const kOffline;
  static const char* const kReply;
  static const char* const kAnswer;

 private:
  void AddOpenFromTree(const char* node);
  void AddWaitForWindow(const char* caption, const char* text);
  void AddSend(const char* caption, const char* text, const char* shot);
  void AddWaitForText(const char* caption, const char* text, const char* shot);
  void Shot(const char* caption, const char* name);
  void Place(HWND form) const;

  static HWND FindConversation(const char* caption);

  // Where this host puts its conversation window, so that the two hosts'
  // windows stand side by side on a shared screen.
  int m_nLeft = 10;
  HWND m_hPanel;
  CString m_strShotsDir;  // with a trailing backslash
  COrbHttp_Protocol_Orb& m_session;
};
