#include "chat/COrbChat_Mgr.h"

#include <algorithm>

#include "COrbHttp_Protocol_Orb.h"
#include "InfoLoginInfoStruct.h"
#include "Seams.h"
#include "chat/CReceivedDispatch.h"
#include "chat/ModuleHandle.h"
#include "directory/CChatDirectory.h"
#include "form/ViewHtml.h"
#include "messaging/MessageBodies.h"
#include "messaging/PoolLookup.h"
#include "resources/resource.h"
#include "support/FileUtils.h"
#include "support/ChatDbRules.h"
#include "support/IniFile.h"

namespace {

constexpr UINT_PTR kTimerAnswers = 1;   // pool of code "5"
constexpr UINT_PTR kTimerMessages = 2;  // pools of codes "505" and "506"
constexpr int kSlowPoll = 1000;         // without the host's XML file
constexpr int kFastPoll = 300;
constexpr UINT kSessionDelay = 1000;    // a new window applies for a session after this
constexpr int kDefaultObjectTag = 2;

CString Lower(const char* text) {
  CString lower(text ? text : "");
  lower.MakeLower();
  return lower;
}

// The member list in lower case with the user's own id in front when it is
// not one of its members.
std::vector<CString> MemberSet(const char* members, const CString& ownLower) {
  const CString lower = Lower(members);
  if (IsMember(lower, ownLower)) return SplitMembers(lower);
  return SplitMembers(lower.IsEmpty() ? ownLower : ownLower + "," + lower);
}

// Same count, and every target member among the window's (looked up in a
// sorted copy, so lists of thousands stay cheap).
bool SameMembers(const std::vector<CString>& target, std::vector<CString> window) {
  if (target.size() != window.size()) return false;
  std::sort(window.begin(), window.end());
  for (const CString& id : target)
    if (!std::binary_search(window.begin(), window.end(), id)) return false;
  return true;
}

}  // namespace

COrbChat_Mgr::COrbChat_Mgr(COrbHttp_Protocol_Orb* pProtocol)
    : CDialog(OrbChatModuleHandle(), IDD_CHAT_MANAGER, nullptr), m_pProtocol(pProtocol) {
  if (m_pProtocol) {
    m_strMyRole = m_pProtocol->GetMyRole();
    m_strRoleCodes = m_pProtocol->GetRoleCodes();
    m_strRoleCodes.Trim();
  }
}

BEGIN_MESSAGE_MAP(COrbChat_Mgr, CDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()

COrbChat_Mgr::~COrbChat_Mgr() {
  if (m_hWnd) KillTimer(kTimerAnswers);
  for (std::unique_ptr<COrbChat_Form>& form : m_arrForms) {
    if (form->m_hWnd) form->DestroyWindow();
    form.reset();
  }
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
  m_pDispatch = std::make_unique<CReceivedDispatch>(*this, *this, GetOwnMemberId());
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

CString COrbChat_Mgr::GetOwnMemberId() const { return m_strMyRole + (m_pProtocol ? m_pProtocol->GetUserID() : CString()); }

void COrbChat_Mgr::OnTimer(UINT_PTR id) {
  if (id == kTimerAnswers) PollPool(m_strPool5);
  if (id == kTimerMessages) {
    PollPool(m_strPool505);
    if (!m_strPool505.IsEmpty()) PollPool(m_strPool506);
  }
  Default();
}

void COrbChat_Mgr::PollPool(const CString& pool) {
  if (!m_pProtocol || pool.IsEmpty() || !m_pDispatch) return;
  m_bInTick = true;
  for (int i = 0; i < kMaxTextsPerTick; ++i) {
    unsigned pushId = 0;
    const CString text = m_pProtocol->Pop(pool, pushId);
    if (text.IsEmpty()) break;
    m_pDispatch->Dispatch(text, pushId);
  }
  m_bInTick = false;
  m_mapTickNames.clear();
  m_setTickRecorded.clear();
}

COrbChat_Form* COrbChat_Mgr::FindForm(const char* threadId, const char* members) const {
  if (m_arrForms.empty()) return nullptr;
  const CString ownLower = Lower(GetOwnMemberId());
  if (members && *members) {
    const std::vector<CString> target = MemberSet(members, ownLower);
    for (auto it = m_arrForms.rbegin(); it != m_arrForms.rend(); ++it)
      if (SameMembers(target, MemberSet((*it)->GetMembers(), ownLower))) return it->get();
  }
  // An empty thread id names no conversation: every window still waiting
  // for its session has one, and a new target must not land in it.
  const CString thread(threadId ? threadId : "");
  if (thread.IsEmpty()) return nullptr;
  for (auto it = m_arrForms.rbegin(); it != m_arrForms.rend(); ++it)
    if ((*it)->GetThreadId() == thread) return it->get();
  return nullptr;
}

COrbChat_Form* COrbChat_Mgr::OpenForm(const char* threadId, const char* members, const char* groupId) {
  COrbChat_Form* form = FindForm(threadId, members);
  if (!form) {
    auto made = std::make_unique<COrbChat_Form>(CString(), m_pProtocol, this);
    if (!made->Create(IDD_CHAT_FORM, nullptr)) return nullptr;
    made->SetDisplayNameLookup([this](const CString& id) { return GetDisplayName(id); });
    made->SetMembers(members ? members : "");
    // Minimised without taking the focus from what the user is doing.
    made->ShowWindow(SW_SHOWMINNOACTIVE);
    form = made.get();
    m_arrForms.push_back(std::move(made));
  }
  if (groupId && *groupId) form->SetGroupId(groupId);
  if (!threadId || !*threadId)
    form->SetTimer(COrbChat_Form::kTimerSession, kSessionDelay);
  else
    form->SetThreadId(threadId);
  return form;
}

IChatWindow* COrbChat_Mgr::FindByPushId(unsigned pushId) {
  for (auto it = m_arrForms.rbegin(); it != m_arrForms.rend(); ++it)
    if ((*it)->OwnsPushId(pushId)) return it->get();
  return nullptr;
}

CString COrbChat_Mgr::GetDisplayName(const char* contactId) {
  const CString key(contactId ? contactId : "");
  if (m_bInTick) {
    auto found = m_mapTickNames.find(key);
    if (found != m_mapTickNames.end()) return found->second;
  }
  const CString name = ReadDisplayName(key);
  if (m_bInTick) m_mapTickNames[key] = name;
  return name;
}

CString COrbChat_Mgr::ReadDisplayName(const char* contactId) const {
  const CString masked = MaskMemberId(contactId);
  const CString dbPath = GetDBPath();
  if (dbPath.IsEmpty()) return masked;
  const CString id(contactId ? contactId : "");
  const CChatDirectory directory(dbPath);
  CString alias, name;
  if (directory.ReadChatObjectName(id, alias, name)) {
    alias.Trim();
    name.Trim();
    if (!alias.IsEmpty()) return alias;
    if (!name.IsEmpty() && name != id) return name;
  }
  if (directory.ReadContactName(id, name) && !name.IsEmpty()) return name;
  return masked;
}

void COrbChat_Mgr::RecordChatObject(const char* contactId, const char* name) {
  if (!m_pProtocol) return;
  const std::pair<CString, CString> sender(contactId ? contactId : "", name ? name : "");
  if (m_bInTick && !m_setTickRecorded.insert(sender).second) return;
  m_mapTickNames.erase(sender.first);  // the name may change
  int tag = kDefaultObjectTag;
  CIniFile ini;
  if (ini.Load(ReplaceExtension(Seams::GetHostExePath(), ".ini"))) ini.GetInt("Chat", "defaultObjTag", tag);
  const CString dbPath = GetDBPath();
  if (dbPath.IsEmpty()) return;
  const CString id(contactId ? contactId : "");
  CString role = m_strMyRole;
  if (!id.IsEmpty()) {
    const CString first = Lower(id.Left(1));
    if (m_strRoleCodes.Find(first) >= 0) role = first;
  }
  CChatDirectory(dbPath).RecordChatObject(id, name, tag, role);
}

bool COrbChat_Mgr::LookupCommunity(const char* threadId, CString& members, CString& groupId, CString& groupName,
                                   CString& groupDes) {
  const CString dbPath = GetDBPath();
  if (dbPath.IsEmpty()) return false;
  members.TrimLeft();
  // The whole prefix is compared, so a prefix of several letters ("grp_")
  // works as well as the default "g".
  const int prefix = m_strGroupMsgHead.GetLength();
  if (prefix == 0 || members.Left(prefix) != m_strGroupMsgHead || CString(threadId ? threadId : "") != members)
    return false;
  CommunityColumns community;
  if (!CChatDirectory(dbPath).ReadCommunity(members.Mid(prefix), community)) return false;
  if (community.groupid) groupId = *community.groupid;
  if (community.groupname) groupName = *community.groupname;
  if (community.groupdes) groupDes = *community.groupdes;
  if (community.members) members = *community.members;
  return true;
}
