#pragma once
// Creates a discussion group (name, title, category, members) or manages the
// title and members of one: up to 300 contacts of ContactList, moved between
// the contact list on the left and the member list on the right, and one
// CustChatGroupList row written on OK.
//
// Without a group (or with one whose groupid is 0 or less) a new group is
// made and the dialog keeps its record; with one, the caller's record holds
// the saved values after IDOK.
#include <memory>
#include <vector>

#include "CComboBox.h"
#include "CDialog.h"
#include "CEdit.h"
#include "CListCtrl.h"
#include "CString.h"
#include "directory/CChatDirectory.h"
#include "directory/InfoContactStru.h"

class COrbHttp_Protocol_Orb;

class COrbChat_GroupManage : public CDialog {
 public:
  static constexpr int kMaxContacts = 300;

  COrbChat_GroupManage(CWnd* parent, COrbHttp_Protocol_Orb* protocol, ChatGroupRow* group);
  ~COrbChat_GroupManage() override;

  // The group as saved: the caller's record or the one made for a new
  // group; null before a save.
  const ChatGroupRow* GetSaved() const { return m_bSaved ? Group() : nullptr; }

  // ">>" and "<<": the first selected row goes to the other list.
  void OnAddMember();
  void OnRemoveMember();

  CListCtrl m_listContacts;
  CListCtrl m_listMembers;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnContactsClick(NMHDR* header, LRESULT* result);
  void OnMembersClick(NMHDR* header, LRESULT* result);

  DECLARE_MESSAGE_MAP()

 private:
  const ChatGroupRow* Group() const { return m_pGroup ? m_pGroup : m_pCreated.get(); }
  bool IsManaging() const { return m_pGroup && m_pGroup->groupid > 0; }
  void Skin();
  static void SetUpList(CListCtrl& list, CWnd* font);
  void FillCategories();
  void FillContacts();
  void AppendRow(CListCtrl& list, InfoContactStru& record);
  void MoveRow(CListCtrl& from, CListCtrl& to);
  void ShowPosition(CListCtrl& list, int counterId, const NMHDR* header);
  // The member ids in row order joined with ",".
  CString MemberIds() const;
  // False, with the error shown and the focus on the field, when a field
  // is empty.
  bool Validate(const CString& name, const CString& title);
  void Error(const char* text);

  COrbHttp_Protocol_Orb* m_pProtocol;
  CString m_strDBPath;
  ChatGroupRow* m_pGroup;                   // the caller's; may be null
  std::unique_ptr<ChatGroupRow> m_pCreated;  // a new group's record
  bool m_bSaved = false;
  CString m_strOkText = "添加";
  std::vector<int> m_arrTags;  // one category number per combo box entry
  std::vector<std::unique_ptr<InfoContactStru>> m_arrContacts;
  CComboBox m_comboCategory;
  CEdit m_editName;
  CEdit m_editTitle;
};
