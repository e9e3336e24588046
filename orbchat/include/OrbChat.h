#pragma once
// OrbChat.dll as a host sees it: the chat module's one class.
//
// A host constructs COrbChat with the protocol objects it owns (each may be
// null), calls Init with its own window as parent, shows and moves the panel
// with ShowWindow and MoveWindow as it likes, and calls Free before it
// destroys the object:
//
//   COrbChat chat(&webHead, &protoHead, &session);
//   chat.Init(&frame, 0, 0, 260, 560);
//   chat.ShowWindow(SW_SHOW, 0, 0, 0, 0);
//   ...  chat.MoveWindow(0, 0, cx, cy, TRUE) on every resize of the frame
//   chat.Free();
//
// The layout of COrbChat is part of the contract: hosts compile against this
// declaration, so its members and their order never change. Every call runs
// on the host's user-interface thread.
#include <windows.h>
#include <oleauto.h>

#include "CHtmlEditCtrl2.h"  // CHtmlEditCtrl2::BSTR2CString, from OrbHtmlEdit.dll
#include "CObject.h"
#include "CString.h"
#include "OrbChatApi.h"

class CWnd;
class COrbChat_Dlg;
class COrbHttp_Protocol_Orb;
struct ProtoHead_Orb;
struct tagWEB_PROTOCOL_HEAD;

class ORBCHAT_API COrbChat : public CObject {
 public:
  COrbChat(tagWEB_PROTOCOL_HEAD* pWebHead = nullptr, ProtoHead_Orb* pProtoHead = nullptr,
           COrbHttp_Protocol_Orb* pProtocol = nullptr);
  // Frees nothing: the host calls Free first.
  ~COrbChat() override;
  COrbChat(const COrbChat&) = delete;
  COrbChat& operator=(const COrbChat&) = delete;

  // Creates the panel as a child of pParent at 0,0 in it with the size cx x cy
  // (x and y are kept but do not move it), with the chat manager and the three
  // filled trees. A second Init replaces the first panel. Without a parent
  // window, or when the panel cannot be created, no panel exists afterwards.
  void Init(CWnd* pParent, int x, int y, int cx, int cy);
  // Destroys the panel (and with it the chat manager and every conversation
  // window); nothing without a panel.
  void Free();
  // nCmdShow 5 (SW_SHOW): when any of x, y, cx, cy is non-zero the panel is
  // first put at 0,0 with the size cx x cy; then it is shown and repainted.
  // nCmdShow 0 (SW_HIDE) hides it; other values do nothing.
  void ShowWindow(int nCmdShow, int x, int y, int cx, int cy);
  // Moves the panel to x, y with the size cx x cy.
  void MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint);

  bool m_bShown;                      // set when ShowWindow shows the panel
  COrbChat_Dlg* m_pDlg;               // the panel, owned; null before Init and after Free
  tagWEB_PROTOCOL_HEAD* m_pWebHead;   // borrowed from the host
  ProtoHead_Orb* m_pProtoHead;        // borrowed from the host
  COrbHttp_Protocol_Orb* m_pProtocol; // borrowed from the host
  CWnd* m_pParent;                    // the parent given to Init
};
