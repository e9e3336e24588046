#pragma once
// The tree on the third tab: the communities the user belongs to under their
// categories, from CustCommunityTag and CustCommunity. Any column of those
// tables may be NULL; it then reads as empty text or 0.
#include "directory/CChatTreeBase.h"
#include "directory/TreeRecords.h"

struct tagWEB_PROTOCOL_HEAD;

class CChatCmtTreeCtrl : public CChatTreeBase {
 public:
  CChatCmtTreeCtrl() = default;
  ~CChatCmtTreeCtrl() override { FreeRecords(m_arrItemData); }

  // Categories first, each expanded; then each community under its
  // category's node (the top level when the category has none).
  void InitTree() override;

  // Opens the selected community's conversation: thread id the community
  // prefix and its id, members as the database holds them now; caption,
  // banner, group id and members are set, and it comes to the front.
  void OpenSelected() override;

  // Applies to join a community: asks for the alias, fills the registration
  // page's address template (key RegisterGroup of section orburl in the
  // host's INI file) and opens the page in the user's browser. Needs the web
  // protocol head and the server session object.
  void OnJoinCommunity();
  // Asks for the alias until the user gives one or gives up ("" then). Each
  // pass starts from the preset, the user's own alias.
  CString AskJoinAlias();
  // The template with every "$userid", "$username" and "$userflag" (written
  // exactly so) replaced by its value, each value percent-encoded as UTF-8
  // so that no character of it can end the parameter, start another one or
  // leave the address.
  static CString FillJoinTemplate(const CString& urlTemplate, const CString& userId, const CString& alias,
                                  const CString& userFlag);

  tagWEB_PROTOCOL_HEAD* m_pWebHead = nullptr;  // borrowed; may be null
  RecordArray<tag_CommunityItemData> m_arrItemData;

 protected:
  // The one command of the menu, whatever is under the cursor.
  bool PrepareMenu(CMenu& /*menu*/, HTREEITEM /*item*/) override { return true; }

  DECLARE_MESSAGE_MAP()

 private:
  void OpenCategories();
};
