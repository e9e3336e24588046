#include "directory/CChatCmtTreeCtrl.h"

#include <cctype>
#include <string>

#include "COrbHttp_Protocol_Orb.h"
#include "COrbHttp_Protocol_Web.h"
#include "CodePage.h"
#include "OrbSkin.h"
#include "Seams.h"
#include "chat/COrbChat_Mgr.h"
#include "directory/COrbChat_SetMyAlias.h"
#include "resources/resource.h"
#include "support/FileUtils.h"
#include "support/IniFile.h"

BEGIN_MESSAGE_MAP(CChatCmtTreeCtrl, CChatTreeBase)
  ON_COMMAND(ID_COMMUNITY_JOIN, OnJoinCommunity)
END_MESSAGE_MAP()

namespace {

// Every byte of the value's UTF-8 form but letters, digits and "-_.~" as %XX.
CString EncodeUrlValue(const CString& value) {
  static const char kHex[] = "0123456789ABCDEF";
  const std::string utf8 = CodePage::AnsiToUtf8(value.GetString(), value.GetLength());
  std::string out;
  for (unsigned char byte : utf8) {
    if (std::isalnum(byte) || byte == '-' || byte == '_' || byte == '.' || byte == '~') {
      out += static_cast<char>(byte);
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return CString(out);
}

}  // namespace

void CChatCmtTreeCtrl::InitTree() {
  CFillGuard guard(*this);
  if (!FillTags(CChatDirectory::kCommunityTags, "tree2.communitytag", true)) return;
  std::vector<CommunityRow> rows;
  Directory().ReadCommunities(rows);
  for (const CommunityRow& row : rows) {
    auto record = std::make_unique<tag_CommunityItemData>();
    record->groupid = row.groupid;
    record->groupname = row.groupname;
    record->tag = row.tag;
    record->groupdes = row.groupdes;
    record->members = row.members;
    AttachItem(m_arrItemData, std::move(record), row.groupname, "tree2.role.h");
  }
  OpenCategories();
}

// A category is asked to open when it is made, but a node without children
// cannot open yet; once its communities are in, it is opened again so that
// they show without a click.
void CChatCmtTreeCtrl::OpenCategories() {
  for (const auto& record : m_arrTagData)
    if (ItemHasChildren(record->hItem)) Expand(record->hItem, TVE_EXPAND);
}

void CChatCmtTreeCtrl::OpenSelected() {
  tag_CommunityItemData* record = RecordOf(m_arrItemData, GetSelectedItem());
  if (!record || !m_pProtocol || !m_pChatMgr) return;
  const CString threadId = m_pChatMgr->m_strGroupMsgHead + record->groupid;
  CommunityColumns community;
  if (Directory().ReadCommunity(record->groupid, community) && community.members) record->members = *community.members;
  COrbChat_Form* form = OpenConversation(threadId, record->members, record->groupid);
  if (!form) return;
  form->SetCaption(record->groupname);
  form->SetBannerText(record->groupdes);
  form->SetGroupId(record->groupid);
  // Setting the group id again makes the thread key from the group sender's
  // own prefix, which is empty without the INI key; the conversation's
  // thread stays the one it was opened with.
  form->SetThreadId(threadId);
  form->SetMembers(record->members);
  Present(*form);
}

CString CChatCmtTreeCtrl::FillJoinTemplate(const CString& urlTemplate, const CString& userId, const CString& alias,
                                           const CString& userFlag) {
  CString url = urlTemplate;
  url.Replace("$userid", EncodeUrlValue(userId));
  url.Replace("$username", EncodeUrlValue(alias));
  url.Replace("$userflag", EncodeUrlValue(userFlag));
  return url;
}

CString CChatCmtTreeCtrl::AskJoinAlias() {
  const CString preset = m_pProtocol ? m_pProtocol->GetMyAlias() : CString();
  COrbChat_SetMyAlias dialog;
  for (;;) {
    dialog.m_strAlias = preset;
    if (dialog.DoModal() == IDOK) {
      const CString alias = dialog.GetAlias();
      if (!alias.IsEmpty()) return alias;
      if (dsMessageBox(GetDesktopWindow(),
                       "申请加入群的别名不能为空\r\n如果继续申请, 请重新填写您的别名\r\n是否继续申请？", "提示",
                       MB_YESNO | MB_ICONSTOP) == IDNO)
        return "";
    } else if (dsMessageBox(GetDesktopWindow(),
                            "申请加入群需要您自己起一个别名, 以便群内其他人能看到您！\r\n如果放弃填写您的别名,"
                            "则退出申请加入群组\r\n是否放弃申请加入群组？",
                            "提示", MB_YESNO | MB_ICONSTOP) == IDYES) {
      return "";
    }
  }
}

void CChatCmtTreeCtrl::OnJoinCommunity() {
  if (!m_pWebHead || !m_pProtocol) return;
  const CString alias = AskJoinAlias();
  if (alias.IsEmpty()) return;
  CString urlTemplate;
  CIniFile ini;
  if (!ini.Load(ReplaceExtension(Seams::GetHostExePath(), ".ini")) ||
      !ini.GetString("orburl", "RegisterGroup", urlTemplate) || urlTemplate.IsEmpty())
    return;
  const CString filled = FillJoinTemplate(urlTemplate, m_pProtocol->GetUserID(), alias, m_pProtocol->GetUserIDFlag());
  CString url;
  {
    COrbHttp_Protocol_Web web(m_pWebHead);
    url = web.GetWebURL(filled);
  }
  // Only web addresses are ever handed to the shell; a template that makes
  // anything else is a configuration fault the user should hear about.
  if (url.IsEmpty()) {
    Notify("\n申请加入群组的网页地址配置有误，无法打开。");
    return;
  }
  const HINSTANCE result = Seams::RunShellExecute(m_hWnd, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(result) <= 32) Notify("\n无法打开浏览器，请稍后再试。");
}
