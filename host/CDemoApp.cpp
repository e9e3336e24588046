#include "CDemoApp.h"

#include <windows.h>

#include <cstdio>

#include "CDemoFrame.h"
#include "CDemoProfile.h"
#include "CDemoSession.h"
#include "CodePage.h"
#include "Seams.h"

namespace {

// In the scripted run 周八 is a person on another machine who writes first.
constexpr const char* kRemotePerson = "c1006";

// The folder of the host executable, with its trailing backslash.
CString ExeFolder() {
  const CString exe = Seams::GetHostExePath();
  return exe.Left(exe.ReverseFind('\\') + 1);
}

}  // namespace

CString CDemoApp::DefaultProfileDir() { return ExeFolder() + "DemoProfile"; }

CString CDemoApp::DefaultShotsDir() {
  CString folder = ExeFolder();
  folder.TrimRight('\\');
  return folder.Left(folder.ReverseFind('\\') + 1) + "shots";
}

void CDemoApp::Log(const CString& text) {
  std::fprintf(stderr, "OrbChatDemo: %s\n", CodePage::AnsiToUtf8(text).c_str());
  std::fflush(stderr);
}

void CDemoApp::ShowError(const CString& text, bool scripted) {
  Log(text);
  if (!scripted) Seams::ShowMessageBox(nullptr, text, "OrbChat 演示", MB_OK | MB_ICONERROR);
}

int CDemoApp::Run() {
  const DemoPerson* user = CDemoProfile::FindUser(m_options.m_strUserId);
  if (!user) {
    CString text;
    text.Format("没有演示用户 %s。可以登录的演示用户是 1001、1002 和 2001。", m_options.m_strUserId.GetString());
    ShowError(text, m_options.m_bScripted);
    return kDemoExitUsage;
  }
  const CString profileDir = m_options.m_strProfileDir.IsEmpty() ? DefaultProfileDir() : m_options.m_strProfileDir;
  const CString shotsDir = m_options.m_strShotsDir.IsEmpty() ? DefaultShotsDir() : m_options.m_strShotsDir;

  CDemoSession session;
  CDemoProfile profile(profileDir);
  CString error;
  // An MQTT broker when the command line or the host INI file names one,
  // else the embedded server with its simulated peers.
  CString server = m_options.m_strServer;
  if (!session.PrepareHostFiles(error) || !profile.Prepare(error)) {
    ShowError(error, m_options.m_bScripted);
    return kDemoExitStartup;
  }
  if (server.IsEmpty()) server = CDemoSession::ConfiguredServer();
  if (!m_options.m_strChatRole.IsEmpty() && server.IsEmpty()) {
    ShowError("参数 --chat 需要 MQTT 服务器（--server mqtt://主机:端口）", true);
    return kDemoExitUsage;
  }
  const bool started = server.IsEmpty()
                           ? session.Start(profile.Folder(), *user, error, m_options.m_bScripted ? kRemotePerson : nullptr)
                           : session.StartMqtt(server, profile.Folder(), *user, error);
  if (!started) {
    ShowError(error, m_options.m_bScripted);
    return kDemoExitStartup;
  }
  CDemoFrame frame(session, m_options, shotsDir);
  if (!frame.Open(*user, error)) {
    ShowError(error, m_options.m_bScripted);
    return kDemoExitStartup;
  }
  MSG msg{};
  int status = kDemoExitOk;
  for (;;) {
    const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      status = static_cast<int>(msg.wParam);
      break;
    }
    if (got == -1) break;
    if (!CWnd::WalkPreTranslateTree(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  return status;
}
