#include "chat/COrbChat_Mgr.h"

#include "COrbHttp_Protocol_Orb.h"
#include "InfoLoginInfoStruct.h"
#include "Seams.h"
#include "chat/ModuleHandle.h"
#include "directory/CChatDirectory.h"
#include "messaging/MessageBodies.h"
#include "messaging/PoolLookup.h"
#include "resources/resource.h"
#include "support/FileUtils.h"
#include "support/IniFile.h"

namespace {

constexpr UINT_PTR kTimerAnswers = 1;   // pool of code "5"
constexpr UINT_PTR kTimerMessages = 2;  // pools of codes "505" and "506"
constexpr int kSlowPoll = 1000;         // without the host's XML file
constexpr int kFastPoll = 300;

}  // namespace

COrbChat_Mgr::COrbChat_Mgr(COrbHttp_Protocol_Orb* pProtocol)
    : CDialog(OrbChatModuleHandle(), IDD_CHAT_MANAGER, nullptr), m_pProtocol(pProtocol) {
  if (m_pProtocol) {
    m_strMyRole = m_pProtocol->GetMyRole();
    m_strRoleCodes = m_pProtocol->GetRoleCodes();
    m_strRoleCodes.Trim();
  }
}

COrbChat_Mgr::~COrbChat_Mgr() {
  if (m_hWnd) KillTimer(kTimerAnswers);
  // Conversation windows join the registry once they can be opened; the
  // registry is freed here, the windows with it.
  m_arrForms.clear();
}

BOOL COrbChat_Mgr::OnInitDialog() {
  CDialog::OnInitDialog();
  m_strType5 = MessageBodies::kCode5;
  m_strType505 = MessageBodies::kCode505;
  m_strType506 = MessageBodies::kCode506;
  m_strPool5 = "";
  m_nPollInterval = kSlowPoll;
  ReadPoolNames();
  ReadGroupMsgHead();
  RequestCommunityInfo();
  SetTimer(kTimerAnswers, static_cast<UINT>(m_nPollInterval));
  SetTimer(kTimerMessages, static_cast<UINT>(m_nPollInterval));
  return TRUE;
}

void COrbChat_Mgr::ReadPoolNames() {
  CPoolLookup pools;
  if (!pools.Load()) return;
  m_strPool5 = pools.Get(MessageBodies::kDirectionAnswer, MessageBodies::kCode5);
  m_strPool505 = pools.Get(MessageBodies::kDirectionAnswer, MessageBodies::kCode505);
  m_strPool506 = pools.Get(MessageBodies::kDirectionAnswer, MessageBodies::kCode506);
  m_nPollInterval = kFastPoll;
}

void COrbChat_Mgr::ReadGroupMsgHead() {
  CIniFile ini;
  if (ini.Load(ReplaceExtension(Seams::GetHostExePath(), ".ini"))) ini.GetString("System", "GroupMsgHead", m_strGroupMsgHead);
}

CString COrbChat_Mgr::GetDBPath() const {
  if (!m_pProtocol) return CString();
  const InfoLoginInfoStruct* login = m_pProtocol->GetLoginInfo();
  return login ? ReplaceExtension(login->m_strDataFilePath, ".dat") : CString();
}

void COrbChat_Mgr::RequestCommunityInfo() {
  const CString dbPath = GetDBPath();
  if (dbPath.IsEmpty()) return;
  std::vector<CommunityRow> communities;
  CChatDirectory(dbPath).ReadCommunities(communities);
  for (const CommunityRow& community : communities) {
    CString groupId = community.groupid;
    groupId.Trim();
    if (!groupId.IsEmpty()) m_pProtocol->Push(MessageBodies::kGroupInfoPool, MessageBodies::GroupInfoRequest(groupId));
  }
}
