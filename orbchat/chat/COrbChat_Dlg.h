#pragma once
// The host panel: a borderless child dialog inside the host's window with
// three push-like tab buttons over three trees (chat objects, discussion
// groups, communities), one visible at a time. The panel owns the chat
// manager, which it creates with itself, and hands the trees their menus,
// the borrowed protocol objects, the chat manager and the database path.
#include <memory>

#include "CBrush.h"
#include "CButton.h"
#include "CDialog.h"
#include "CMenu.h"
#include "chat/COrbChat_Mgr.h"
#include "directory/CChatCmtTreeCtrl.h"
#include "directory/CChatGrpTreeCtrl.h"
#include "directory/CChatObjTreeCtrl.h"

class COrbHttp_Protocol_Orb;
struct ProtoHead_Orb;
struct tagWEB_PROTOCOL_HEAD;

class COrbChat_Dlg : public CDialog {
 public:
  // Creates the chat manager and its hidden window at once and wires the
  // trees; the panel's own window comes with Create.
  COrbChat_Dlg(CWnd* pParent, int x, int y, int cx, int cy, tagWEB_PROTOCOL_HEAD* pWebHead,
               ProtoHead_Orb* pProtoHead, COrbHttp_Protocol_Orb* pProtocol);
  // Deletes the chat manager first, then the members in reverse order.
  ~COrbChat_Dlg() override;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  // Enter and Esc inside the panel must not hide it: it is the host's pane,
  // not a dialog to be closed.
  void OnOK() override {}
  void OnCancel() override {}

  // Selects a tab: 0 chat objects, 1 discussion groups, 2 communities.
  void SelectTab(int tab);
  // Places the tabs in a row at the top and the trees below them.
  void LayoutControls();

  std::unique_ptr<COrbChat_Mgr> m_pChatMgr;
  tagWEB_PROTOCOL_HEAD* m_pWebHead;
  ProtoHead_Orb* m_pProtoHead;
  COrbHttp_Protocol_Orb* m_pProtocol;
  int m_nX;
  int m_nY;
  int m_nWidth;
  int m_nHeight;
  int m_nCurTab = 0;
  CMenu m_menuObject;
  CMenu m_menuGroup;
  CMenu m_menuCommunity;
  CButton m_btnTabObject;
  CButton m_btnTabGroup;
  CButton m_btnTabCommunity;
  CChatObjTreeCtrl m_treeObject;
  CChatGrpTreeCtrl m_treeGroup;
  CChatCmtTreeCtrl m_treeCommunity;
  CBrush m_brushBk;

 protected:
  BOOL OnEraseBkgnd(CDC* pDC);
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  void OnSize(UINT nType, int cx, int cy);
  void OnTabObject() { SelectTab(0); }
  void OnTabGroup() { SelectTab(1); }
  void OnTabCommunity() { SelectTab(2); }

  DECLARE_MESSAGE_MAP()

 private:
  void SkinControls();
  void LoadMenus();
  void FillTrees();
};
