#include "include/OrbChat.h"

#include <memory>

#include "chat/COrbChat_Dlg.h"
#include "resources/resource.h"

COrbChat::COrbChat(tagWEB_PROTOCOL_HEAD* pWebHead, ProtoHead_Orb* pProtoHead, COrbHttp_Protocol_Orb* pProtocol)
    : m_bShown(false),
      m_pDlg(nullptr),
      m_pWebHead(pWebHead),
      m_pProtoHead(pProtoHead),
      m_pProtocol(pProtocol),
      m_pParent(nullptr) {}

// The panel is the host's to free through Free: a host that destroys its
// frame first has already taken the panel's window with it.
COrbChat::~COrbChat() = default;

void COrbChat::Init(CWnd* pParent, int x, int y, int cx, int cy) {
  // A second Init must not leak the first panel and its chat manager.
  Free();
  auto panel = std::make_unique<COrbChat_Dlg>(pParent, x, y, cx, cy, m_pWebHead, m_pProtoHead, m_pProtocol);
  m_pParent = pParent;
  // A panel without a window would make every later call act on nothing;
  // keep none instead, so that the calls stay the no-ops they are before Init.
  if (!pParent || !pParent->GetSafeHwnd() || !panel->Create(IDD_CHAT_PANEL, pParent)) return;
  m_pDlg = panel.release();
}

void COrbChat::Free() {
  if (!m_pDlg) return;
  if (m_pDlg->GetSafeHwnd()) m_pDlg->DestroyWindow();
  delete m_pDlg;
  m_pDlg = nullptr;
}

void COrbChat::ShowWindow(int nCmdShow, int x, int y, int cx, int cy) {
  if (!m_pDlg || !m_pDlg->GetSafeHwnd()) return;
  if (nCmdShow == SW_SHOW) {
    if (x != 0 || y != 0 || cx != 0 || cy != 0) m_pDlg->MoveWindow(0, 0, cx, cy, TRUE);
    m_pDlg->ShowWindow(SW_SHOW);
    m_pDlg->InvalidateRect(nullptr, TRUE);
    m_pDlg->UpdateWindow();
    m_bShown = true;
  } else if (nCmdShow == SW_HIDE) {
    m_pDlg->ShowWindow(SW_HIDE);
  }
}

void COrbChat::MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint) {
  if (!m_pDlg || !m_pDlg->GetSafeHwnd()) return;
  m_pDlg->MoveWindow(x, y, cx, cy, bRepaint);
}
