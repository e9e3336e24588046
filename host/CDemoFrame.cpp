#include "CDemoFrame.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "CDemoApp.h"
#include "CDemoProfile.h"
#include "CDemoSession.h"
#include "InfoLoginInfoStruct.h"
#include "CPaintDC.h"
#include "CodePage.h"
#include "DemoOptions.h"

namespace {

constexpr UINT_PTR kTimerExitAfter = 1;
constexpr UINT_PTR kTimerScript = 2;
constexpr UINT_PTR kTimerHold = 3;
constexpr UINT_PTR kTimerStatus = 4;
// Time the windows get to paint between two steps of the script.
constexpr UINT kScriptTickMs = 250;
constexpr int kFrameWidth = 300;
constexpr int kFrameHeight = 620;

}  // namespace

BEGIN_MESSAGE_MAP(CDemoFrame, CWnd)
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_WM_TIMER()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CDemoFrame::CDemoFrame(CDemoSession& session, const CDemoOptions& options, const CString& shotsDir)
    : m_session(session), m_options(options), m_strShotsDir(shotsDir) {}

CDemoFrame::~CDemoFrame() {
  if (m_hWnd) DestroyWindow();
}

bool CDemoFrame::Open(const DemoPerson& user, CString& error) {
  CString title;
  title.Format("OrbChat 演示 - %s", user.name);
  m_strStatus.Format("%s（%s）已登录，本地服务器在线", user.name, user.memberId);
  m_strUserLine.Format("%s（%s）已登录", user.name, user.memberId);
  UpdateStatus();
  if (!CreateEx(0, nullptr, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                CRect(40, 40, 40 + kFrameWidth, 40 + kFrameHeight), nullptr, 0)) {
    error = "无法建立演示窗口";
    return false;
  }
  // The frame is up before the module comes in, as a host's main window is;
  // a child dialog made inside a hidden frame leaves the frame's caption
  // drawn inactive once it shows.
  ShowWindow(SW_SHOW);
  SetForegroundWindow();
  m_pChat = std::make_unique<COrbChat>(&m_session.WebHead(), &m_session.ProtoHead(), &m_session.Session());
  const CRect client = GetClientRect();
  m_pChat->Init(this, 0, 0, client.Width(), client.Height() - kStatusHeight);
  if (!m_pChat->m_pDlg) {
    error = "聊天模块无法建立它的面板（OrbChat.dll 的资源缺失？）";
    return false;
  }
  m_pChat->ShowWindow(SW_SHOW, 0, 0, 0, 0);
  if (m_options.m_nExitAfterMs) SetTimer(kTimerExitAfter, m_options.m_nExitAfterMs);
  if (m_session.IsMqtt()) SetTimer(kTimerStatus, 500);
  UpdateWindow();
  return true;
}

void CDemoFrame::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  if (type != SIZE_MINIMIZED && m_pChat) m_pChat->MoveWindow(0, 0, cx, cy > kStatusHeight ? cy - kStatusHeight : 0, TRUE);
  InvalidateRect(nullptr, TRUE);
}

void CDemoFrame::OnPaint() {
  CPaintDC dc(this);
  CRect status = GetClientRect();
  status.top = status.bottom - kStatusHeight;
  dc.FillSolidRect(status, ::GetSysColor(COLOR_BTNFACE));
  HGDIOBJ oldFont = dc.SelectObject(::GetStockObject(DEFAULT_GUI_FONT));
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(::GetSysColor(COLOR_BTNTEXT));
  CRect text = status;
  text.DeflateRect(6, 0);
  dc.DrawText(m_strStatus, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  dc.SelectObject(oldFont);
  if (m_bPainted) return;
  m_bPainted = true;
  if (m_options.m_bScripted)
    StartScript();
  else
    SignalReady();
}

void CDemoFrame::OnTimer(UINT_PTR id) {
  switch (id) {
    case kTimerScript:
      if (ScriptStep()) FinishScript();
      break;
    case kTimerHold:
      Close(ScriptPassed() ? kDemoExitOk : kDemoExitCheckFailed);
      break;
    case kTimerExitAfter:
      // In the scripted run a time limit that comes first is a failure.
      Close(m_options.m_bScripted && !ScriptDone() ? kDemoExitTimeLimit : m_nExitCode);
      break;
    case kTimerStatus:
      UpdateStatus();
      break;
    default:
      CWnd::OnTimer(id);
  }
}

void CDemoFrame::OnDestroy() {
  // The panel goes before the frame that is its parent.
  if (m_pChat) m_pChat->Free();
  CWnd::OnDestroy();
  ::PostQuitMessage(m_nExitCode);
}

HWND CDemoFrame::FindPanel() const {
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char cls[32] = {};
    ::GetClassNameA(child, cls, sizeof cls);
    if (CString(cls) == "#32770") return child;
  }
  return nullptr;
}

void CDemoFrame::StartScript() {
  if (!m_options.m_strChatRole.IsEmpty()) {
    m_pChatScript = std::make_unique<CDemoChatScript>(FindPanel(), m_strShotsDir, m_session.Session(),
                                                       m_options.m_strChatRole);
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(CodePage::AnsiToWide(m_strShotsDir)), ignored);
    SetTimer(kTimerScript, kScriptTickMs);
    return;
  }
  const InfoLoginInfoStruct* login = m_session.Session().GetLoginInfo();
  m_pScript = std::make_unique<CDemoScript>(m_hWnd, FindPanel(), m_strShotsDir,
                                            login ? login->m_strDataFilePath : CString(), m_session.RemoteUser());
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(CodePage::AnsiToWide(m_strShotsDir)), ignored);
  SetTimer(kTimerScript, kScriptTickMs);
}

void CDemoFrame::FinishScript() {
  KillTimer(kTimerScript);
  const CString report = ScriptReport();
  std::ofstream out(std::filesystem::path(CodePage::AnsiToWide(m_strShotsDir + "\\demo-report.txt")),
                    std::ios::binary | std::ios::trunc);
  out << CodePage::AnsiToUtf8(report);
  CDemoApp::Log(report);
  SignalReady();
  SetTimer(kTimerHold, m_options.m_nHoldMs ? m_options.m_nHoldMs : 1);
}

bool CDemoFrame::ScriptStep() {
  if (m_pChatScript) return m_pChatScript->Step();
  return m_pScript && m_pScript->Step();
}

bool CDemoFrame::ScriptDone() const {
  return m_pChatScript ? m_pChatScript->IsDone() : m_pScript && m_pScript->IsDone();
}

bool CDemoFrame::ScriptPassed() const {
  return m_pChatScript ? m_pChatScript->Passed() : m_pScript && m_pScript->Passed();
}

CString CDemoFrame::ScriptReport() const {
  return m_pChatScript ? m_pChatScript->Report() : m_pScript ? m_pScript->Report() : CString();
}

void CDemoFrame::UpdateStatus() {
  if (!m_session.IsMqtt()) return;
  COrbHttp_Protocol_Orb& session = m_session.Session();
  for (CString notice; session.PopNotice(notice);) {
    m_strNotice = notice;
    CDemoApp::Log(notice);
  }
  const COrbMqttServer& broker = m_session.Broker();
  CString status;
  status.Format("%s，%s %s:%d", m_strUserLine.GetString(), session.IsServerConnected() ? "已连接" : "正在连接",
                broker.GetHost().GetString(), broker.GetPort());
  if (!session.IsServerConnected() && !m_strNotice.IsEmpty()) status += "：" + m_strNotice;
  if (status == m_strStatus) return;
  m_strStatus = status;
  if (m_hWnd) InvalidateRect(nullptr, FALSE);
}

void CDemoFrame::SignalReady() {
  if (m_bReadySignalled) return;
  m_bReadySignalled = true;
  const char* ready = std::getenv("ORB_READY_FILE");
  if (!ready || !*ready) return;
  HANDLE file = ::CreateFileA(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
}

void CDemoFrame::Close(int exitCode) {
  m_nExitCode = exitCode;
  KillTimer(kTimerExitAfter);
  KillTimer(kTimerScript);
  KillTimer(kTimerHold);
  KillTimer(kTimerStatus);
  DestroyWindow();
}
