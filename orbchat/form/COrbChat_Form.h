#pragma once
// One conversation window: a modeless, resizable top-level dialog (template
// 22004) with the conversation in an HTML view, an HTML editor below it, a
// toolbar row between them, the close and send buttons, and the members of
// the conversation in a pane on the right. The chat manager creates one per
// target (contact, discussion group or community), feeds it messages and
// notices through its queue, and destroys it when the module shuts down;
// closing it only minimises and hides it.
//
// A form is personal while its group id is empty and a group conversation
// once the manager gives it one; every operation that uses a sender looks at
// the group id each time it runs.
//
// Everything shown in the view goes through the queue: QueueMessage and
// ShowSystemMessage append records, and timer 1 (300 ms) stores each record
// with the server session object and appends its fragment to the view, oldest
// first. While the form is minimised the records wait and the caption flashes.
#include <windows.h>

#include <list>
#include <memory>

#include "CButton.h"
#include "CComboBox.h"
#include "CDialog.h"
#include "CHtmlEdit.h"
#include "CMenu.h"
#include "CStatic.h"
#include "CString.h"
#include "InfoMsgStructer.h"
#include "chat/IChatWindow.h"
#include "form/CColorComboBox.h"
#include "form/COrbChat_Form_SplitMsgEdit.h"
#include "form/COrbChat_Form_SplitRight.h"
#include "form/FormLayout.h"
#include "form/MemberEntries.h"

class COrbChat_Form_InfoWin;
class COrbChat_Mgr;
class COrbChat_SendGroupMsg;
class COrbChat_SendPersonalMsg;
class COrbHttp_Protocol_Orb;

// What a key pressed inside the editor asks for.
enum class EditorKey { None, Send, SelectAll, Copy, Paste, Undo, Cut, Delete };
// sendMode: 0 Enter sends, 1 Ctrl+Enter sends, 3 only the send button sends.
// An Enter that does not send gives None (the editor inserts a line break).
EditorKey EditorKeyAction(int sendMode, UINT key, bool ctrlHeld);

class COrbChat_Form : public CDialog, public IChatWindow {
 public:
  static constexpr UINT_PTR kTimerFlush = 1;    // drains the queue, 300 ms, whole life
  static constexpr UINT_PTR kTimerSession = 2;  // first-tick session check, set by the manager
  static constexpr UINT kFlushPeriod = 300;
  static constexpr size_t kMaxRecordsPerTick = 100;
  static constexpr int kSendOnEnter = 0;
  static constexpr int kSendOnCtrlEnter = 1;
  static constexpr int kSendOnButtonOnly = 3;

  // Template 22004, no parent; both senders are made with protocol. An empty
  // title leaves the caption to a later SetTitle.
  COrbChat_Form(const CString& title, COrbHttp_Protocol_Orb* protocol, COrbChat_Mgr* chatMgr);
  ~COrbChat_Form() override;

  // --- What the chat manager and its dispatcher call ---------------------
  // An empty text changes nothing; otherwise title and caption.
  void SetTitle(const char* text) override;
  CString GetTitle() const override { return m_strTitle; }
  // The caption alone (the title stays).
  void SetCaption(const char* caption) override;
  void SetBannerText(const char* text) override;
  // Personal: the personal sender's thread id; group: the group's thread key.
  void SetThreadId(const char* id) override;
  CString GetThreadId() const override;
  // The active sender's member list; setting it refills the members pane.
  void SetMembers(const char* list) override;
  CString GetMembers() const override;
  // Makes the form a group conversation (the group sender's id and thread key).
  void SetGroupId(const char* id) override;
  CString GetGroupId() const { return m_strGroupId; }
  bool IsGroup() const override { return !m_strGroupId.IsEmpty(); }
  // Whether the active sender pushed the request with this id.
  bool OwnsPushId(unsigned pushId) const;
  // The personal sender's session application and state.
  unsigned GetApplyPushId() const override;
  int GetSessionState() const override;
  void SetSessionState(int state) override;
  // Personal forms: the session counts as established; group forms: nothing.
  void MarkSessionEstablished() override;
  // Queues one notice line: with a name a system message, without one the
  // user's own (a sender's notice, the echo of a sent message). An empty text
  // queues nothing.
  void ShowSystemMessage(const char* name, const char* text) override;
  // Appends a record to the queue; the form owns it from now on.
  void QueueMessage(std::unique_ptr<InfoMsgStructer> record) override;
  // Gives the editor the input focus again.
  void ActivateEditor();
  // The send mode (commands 32851 to 32853): stored in the user's settings
  // file at once, and exactly one of the three menu items checked.
  void SetSendKeyMode(int mode);
  int GetSendKeyMode() const { return m_nSendKeyMode; }
  // Sends what the editor holds, after the gates that refuse an empty, a
  // repeated, a too fast or a too long message (each with its message box).
  void SendComposed();
  // The open dialog for a picture file: its full path, "" when cancelled.
  CString ChooseImageFile();
  // The clipboard's bitmap as a new JPEG file of the temporary folder, put
  // into the editor as a picture; false when nothing was inserted.
  bool InsertClipboardPicture();
  // The clipboard's text put into the editor as text, the caret before it.
  bool InsertClipboardText();
  static constexpr DWORD kMinSendIntervalMs = 500;
  static constexpr int kMaxMhtLength = 0x100000;
  static constexpr size_t kTitleChars = 80;

  // Where the members pane takes display names from (the chat manager's
  // look-up); without one it shows masked ids.
  void SetDisplayNameLookup(DisplayNameFn lookup);

  // --- Run by the window's own messages, public for tests and tools -------
  // Timer 1: stores and shows the queued records (up to kMaxRecordsPerTick,
  // oldest first), or flashes the caption while the form is minimised.
  void FlushPendingMessages();
  // Centres the form horizontally on the work area, 654 pixels wide and half
  // the work area high, a quarter of the height from the top.
  void PlaceOnWorkArea();
  // Lays every control out from the client rectangle (skipped until every
  // control, both HTML controls and the info pane exist).
  void RecalcLayout();
  // The horizontal or vertical splitter now lies at splitter: its neighbours follow.
  void FollowSplitMsgEdit(const CRect& splitter);
  void FollowSplitRight(const CRect& splitter);
  size_t GetPendingCount() const { return m_listPending.size(); }
  CHtmlEdit& GetView() { return m_htmlView; }
  CHtmlEdit& GetEditor() { return m_htmlEdit; }
  COrbChat_Form_InfoWin* GetInfoWin() { return m_pInfoWin.get(); }

  BOOL DestroyWindow() override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  // Members in declaration order.
  CString m_strTitle;
  CStatic m_stcBanner;    // 22011
  CStatic m_stcView;      // 22029, host of the conversation view
  CStatic m_stcEditor;    // 22030, host of the editor
  CStatic m_stcAd;        // 22016, empty placeholder
  CStatic m_stcInfoHost;  // 22046, host of the info pane
  COrbChat_Form_SplitMsgEdit m_splitMsgEdit;  // 22026
  COrbChat_Form_SplitRight m_splitRight;      // 22025
  CComboBox m_cboFontName;                    // 22037
  CComboBox m_cboFontSize;                    // 22038
  CColorComboBox m_cboForeColor;              // 22040, text colours
  CColorComboBox m_cboBackColor;              // 22041, background colours
  CMenu m_menuEdit;                           // 22009
  CMenu* m_pEditPopup = nullptr;              // its first popup: the editor's context menu
  CMenu m_menuSendMode;                       // 22012
  CMenu* m_pSendModePopup = nullptr;          // its first popup
  CMenu m_menuCapture;                        // 22011
  COrbHttp_Protocol_Orb* m_pProtocol;         // borrowed, may be null
  COrbChat_Mgr* m_pChatMgr;                   // borrowed, may be null
  std::unique_ptr<COrbChat_SendPersonalMsg> m_pPersonalSender;
  std::unique_ptr<COrbChat_SendGroupMsg> m_pGroupSender;
  int m_nSendKeyMode = kSendOnEnter;
  std::list<std::unique_ptr<InfoMsgStructer>> m_listPending;  // oldest first
  CHtmlEdit m_htmlView;                       // browse mode, inside 22029
  CHtmlEdit m_htmlEdit;                       // edit mode, inside 22030
  std::unique_ptr<COrbChat_Form_InfoWin> m_pInfoWin;
  CButton m_btnSend;                          // 22042
  CString m_strLastSentHtml;
  DWORD m_dwLastSendTick = 0;
  CString m_strFontName = "MS Sans Serif";
  int m_nFontSize = 5;
  COLORREF m_crForeColor = 0;
  COLORREF m_crBackColor = 0xFFFFFF;
  int m_nMembersPaneWidth = 0;
  int m_nEditAreaHeight = 0;
  CString m_strGroupId;
  int m_bFlashing = 0;
  UINT_PTR m_nTimerId = 0;

 protected:
  void DoDataExchange(CDataExchange* dx) override;

  void OnSize(UINT type, int cx, int cy);
  void OnTimer(UINT_PTR id);
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  // Composing and sending, the formatting toolbar, emoticons, pictures,
  // screen capture and the edit menu.
  void ApplySessionOnFirstTick();
  void LoadEditorSettings();
  void SaveEditorSettings();
  void FillColorLists();
  void OnFontNameChanged();
  void OnFontSizeChanged();
  void OnForeColorChanged();
  void OnBackColorChanged();
  void OnEmoticons();
  void OnInsertPicture();
  void OnSendButton();
  void OnSendModeButton();
  void OnCaptureButton();
  void OnCaptureRegion();
  void OnCaptureFullScreen();
  void OnEditorSaveMht();
  void OnEditorCut();
  void OnEditorCopy();
  void OnEditorPaste();
  void OnEditorUndo();
  void OnSendModeEnter();
  void OnSendModeCtrlEnter();
  void OnSendModeButtonOnly();
  DECLARE_MESSAGE_MAP()

 private:
  bool LayoutReady() const;
  void RefuseSend(const char* message);
  InfoMsgStructer SentRecord(const CString& text, const CString& mht) const;
  FormLayoutSizes MeasureLayoutSizes() const;
  // The rectangles the controls have now (form client coordinates).
  FormLayout ReadLayout() const;
  void ApplyLayout(const FormLayout& layout);
  void MoveControl(int id, const CRect& rect);
  void MoveHtmlControl(CWnd& control, const CRect& area);
  void SkinControls();
  void CreateHtmlControls();
  // The keyboard rules of the editor; true when the key was taken.
  bool HandleEditorKey(MSG* msg);
  // Ctrl+Alt+S (region) and Ctrl+Alt+Q (full screen); true when it captured.
  bool HandleCaptureKey(const MSG* msg);
  CString MyUserId() const;
  // The user's settings file (GetUserCustomFileName); empty without a session.
  CString SettingsFile() const;
  // Checks the item of m_nSendKeyMode in the send-mode menu, unchecks the others.
  void CheckSendModeItem();

  bool m_bSettingsLoaded = false;

  DisplayNameFn m_fnDisplayName;
};
