#include "ChatServerCore.h"

#include <utility>

#include "CodePage.h"
#include "JsonTextWriter.h"
#include "SrwGuard.h"

namespace {

const char kCodeSystem[] = "5";
const char kCodePersonal[] = "505";
const char kCodeGroup[] = "506";
const char kGroupInfoPool[] = "GetGroupInfo";

// The pairs of each request, in the order the client writes them.
const RequestField kApplicationFields[] = {
    {"flag", false, false}, {"thread_id", false, false}, {"thread_members", false, false}, {"from", true, true}};
const RequestField kPersonalFields[] = {{"flag", false, false},  {"thread_id", false, false},
                                        {"body", true, false},   {"abstract", true, true},
                                        {"body_type", false, false}, {"from", true, true}};
const RequestField kGroupFields[] = {{"flag", false, false},  {"group_id", false, false},
                                     {"body", true, false},   {"abstract", true, true},
                                     {"body_type", false, false}, {"from", true, true}};

// Most members one thread may have.
const int kMaxThreadMembers = 1000;

bool ParseAs(const CString& body, const RequestField (&fields)[4], RequestParser::Values& values, const char* flag) {
  return RequestParser::Parse(body.Str(), fields, 4, values) && values["flag"] == flag;
}

bool ParseAs(const CString& body, const RequestField (&fields)[6], RequestParser::Values& values, const char* flag) {
  return RequestParser::Parse(body.Str(), fields, 6, values) && values["flag"] == flag;
}

std::string Utf8(const CString& ansi) { return CodePage::AnsiToUtf8(ansi.GetString(), ansi.GetLength()); }

// Text a peer puts into an HTML body.
CString EscapeHtml(const CString& text) {
  CString out = text;
  out.Replace("&", "&amp;");
  out.Replace("<", "&lt;");
  out.Replace(">", "&gt;");
  return out;
}

}  // namespace

ChatServerCore::ChatServerCore() : m_nStamp(GetTickCount()) {
  m_mapPools[kCodeSystem] = {"", "orb.sys.ans"};
  m_mapPools[kCodePersonal] = {"orb.chat.req", "orb.chat.ans"};
  m_mapPools[kCodeGroup] = {"orb.group.req", "orb.group.ans"};
}

ChatServerCore::~ChatServerCore() {
  ExclusiveGuard guard(m_lock);
  for (auto& [key, user] : m_mapUsers) {
    if (user.link) user.link->alive = false;
  }
}

void ChatServerCore::SetPool(const CString& code, const CString& reqPool, const CString& ansPool) {
  ExclusiveGuard guard(m_lock);
  auto& pools = m_mapPools[code];
  if (!reqPool.IsEmpty()) pools.first = reqPool;
  if (!ansPool.IsEmpty()) pools.second = ansPool;
}

CString ChatServerCore::GetRequestPool(const CString& code) const {
  SharedGuard guard(m_lock);
  auto found = m_mapPools.find(code);
  return found == m_mapPools.end() ? CString() : found->second.first;
}

CString ChatServerCore::GetAnswerPool(const CString& code) const {
  SharedGuard guard(m_lock);
  auto found = m_mapPools.find(code);
  return found == m_mapPools.end() ? CString() : found->second.second;
}

void ChatServerCore::SetGroupMsgHead(const CString& head) {
  ExclusiveGuard guard(m_lock);
  m_strGroupMsgHead = head;
}

CString ChatServerCore::GetGroupMsgHead() const {
  SharedGuard guard(m_lock);
  return m_strGroupMsgHead;
}

bool ChatServerCore::AddCommunity(const CString& groupId, const CString& name, const CString& description,
                                  const CString& members) {
  CString id = groupId;
  id.Trim();
  if (!IsSafeId(id)) return false;
  ExclusiveGuard guard(m_lock);
  Community& community = m_mapCommunities[id];
  community.name = name;
  community.description = description;
  community.members = MemberList(members);
  return true;
}

bool ChatServerCore::AddPeer(const CString& memberId, const CString& alias, bool groupPeer) {
  if (!IsSafeId(memberId) || memberId.Find(',') >= 0) return false;
  std::string key = MemberList::KeyOf(memberId).Str();
  ExclusiveGuard guard(m_lock);
  auto user = m_mapUsers.find(key);
  if (m_mapPeers.count(key) || (user != m_mapUsers.end() && user->second.link)) return false;
  m_mapPeers[key] = {memberId, alias, groupPeer ? PeerKind::Group : PeerKind::Echo};
  return true;
}

void ChatServerCore::SetMailboxLimit(int limit) {
  ExclusiveGuard guard(m_lock);
  m_nMailboxLimit = limit > 0 ? limit : 1;
}

bool ChatServerCore::IsOnline(const CString& memberId) const {
  std::string key = MemberList::KeyOf(memberId).Str();
  SharedGuard guard(m_lock);
  if (m_mapPeers.count(key)) return true;
  auto found = m_mapUsers.find(key);
  return found != m_mapUsers.end() && found->second.link && found->second.link->alive;
}

int ChatServerCore::GetQueuedCount(const CString& memberId) const {
  SharedGuard guard(m_lock);
  auto found = m_mapUsers.find(MemberList::KeyOf(memberId).Str());
  return found == m_mapUsers.end() ? 0 : found->second.mailbox.Count();
}

bool ChatServerCore::HasThread(const CString& threadId) const {
  SharedGuard guard(m_lock);
  return m_mapThreads.count(threadId.Str()) > 0;
}

CString ChatServerCore::GetThreadMembers(const CString& threadId) const {
  SharedGuard guard(m_lock);
  auto found = m_mapThreads.find(threadId.Str());
  return found == m_mapThreads.end() ? CString() : found->second.members.Text();
}

std::shared_ptr<ServerLink> ChatServerCore::Attach(const CString& memberId, const CString& alias, CString& error) {
  if (!IsSafeId(memberId) || memberId.Find(',') >= 0) {
    error = "用户编号无效";
    return nullptr;
  }
  CString key = MemberList::KeyOf(memberId);
  ExclusiveGuard guard(m_lock);
  if (m_mapPeers.count(key.Str())) {
    error.Format("用户编号 %s 已被模拟用户使用", memberId.GetString());
    return nullptr;
  }
  User& user = UserOf(memberId);
  if (user.link) user.link->alive = false;  // the newer login takes the mailbox over
  user.memberId = memberId;
  user.alias = alias;
  user.mailbox.DropAnswers();
  auto link = std::make_shared<ServerLink>();
  link->memberKey = key;
  link->sessionId.Format("S%08lX%04X", static_cast<unsigned long>(m_nStamp), ++m_nSessionCount & 0xFFFF);
  user.link = link;
  return link;
}

void ChatServerCore::Detach(const std::shared_ptr<ServerLink>& link) {
  ExclusiveGuard guard(m_lock);
  if (User* user = LinkedUser(link)) user->link.reset();
  if (link) link->alive = false;
}

void ChatServerCore::Submit(const std::shared_ptr<ServerLink>& link, const CString& pool, const CString& body,
                            unsigned pushId) {
  ExclusiveGuard guard(m_lock);
  User* user = LinkedUser(link);
  if (!user) return;
  HandleRequest({user->memberId, user->alias, user, pushId}, pool, body);
  RunPeerTasks();
}

bool ChatServerCore::Take(const std::shared_ptr<ServerLink>& link, const CString& pool, unsigned& pushId,
                          CString& text) {
  ExclusiveGuard guard(m_lock);
  User* user = LinkedUser(link);
  return user && user->mailbox.Take(pool.Str(), pushId, text);
}

void ChatServerCore::HandleRequest(const Sender& sender, const CString& pool, const CString& body) {
  if (pool == kGroupInfoPool) {
    HandleGroupInfo(sender, body);
    return;
  }
  bool personal = pool == m_mapPools[kCodePersonal].first;
  bool group = pool == m_mapPools[kCodeGroup].first;
  if (pool.IsEmpty() || (!personal && !group)) {
    CString info;
    info.Format("服务器不提供这个服务: %s", pool.GetString());
    AnswerError(sender, kCodeSystem, ORB_ERR_UNKNOWN_POOL, info);
    return;
  }
  const char* code = personal ? kCodePersonal : kCodeGroup;
  if (static_cast<size_t>(body.GetLength()) > kMaxBodyBytes) {
    AnswerError(sender, code, ORB_ERR_TOO_LARGE, "请求内容太长");
    return;
  }
  RequestParser::Values values;
  if (personal && ParseAs(body, kApplicationFields, values, "i")) {
    HandleApplication(sender, values);
  } else if (personal && ParseAs(body, kPersonalFields, values, "d")) {
    HandlePersonal(sender, values);
  } else if (group && ParseAs(body, kGroupFields, values, "d")) {
    HandleGroup(sender, values);
  } else {
    AnswerError(sender, code, ORB_ERR_MALFORMED, "请求格式错误");
  }
}

void ChatServerCore::HandleApplication(const Sender& sender, const RequestParser::Values& values) {
  CString threadId = RawOf(values, "thread_id");
  MemberList members(RawOf(values, "thread_members"));
  CString from;
  bool valid = IsSafeId(threadId) && !members.IsEmpty() && members.GetCount() <= kMaxThreadMembers &&
               TextOf(values, "from", from);
  for (const CString& id : members.Ids()) valid = valid && IsSafeId(id);
  if (!valid) {
    AnswerError(sender, kCodePersonal, ORB_ERR_MALFORMED, "会话申请格式错误");
    return;
  }
  auto existing = m_mapThreads.find(threadId.Str());
  if (existing != m_mapThreads.end() && !existing->second.members.Contains(sender.memberId)) {
    CString info;
    info.Format("会话编号已被占用: %s", threadId.GetString());
    AnswerError(sender, kCodePersonal, ORB_ERR_THREAD_TAKEN, info);
    return;
  }
  // The applicant always belongs to the thread, also when its list leaves it out.
  members.PutFirst(sender.memberId);
  m_mapThreads[threadId.Str()].members = members;
  Answer(sender, kCodePersonal,
         JsonTextWriter()
             .Add("issuccessful", 0)
             .Add("msg_type", kCodePersonal)
             .Add("thread_id", threadId.Str())
             .Text());
}

void ChatServerCore::HandlePersonal(const Sender& sender, const RequestParser::Values& values) {
  CString threadId = RawOf(values, "thread_id");
  auto thread = m_mapThreads.find(threadId.Str());
  if (thread == m_mapThreads.end()) {
    CString info;
    info.Format("会话不存在: %s", threadId.GetString());
    AnswerError(sender, kCodePersonal, ORB_ERR_NO_THREAD, info);
    return;
  }
  if (!thread->second.members.Contains(sender.memberId)) {
    AnswerError(sender, kCodePersonal, ORB_ERR_NOT_MEMBER, "您不是这个会话的成员");
    return;
  }
  Message message;
  if (!TextOf(values, "body", message.body) || !TextOf(values, "abstract", message.abstract)) {
    AnswerError(sender, kCodePersonal, ORB_ERR_MALFORMED, "消息内容不是有效的 UTF-8 文本");
    return;
  }
  if (message.body.IsEmpty()) {
    AnswerError(sender, kCodePersonal, ORB_ERR_MALFORMED, "消息内容为空");
    return;
  }
  message.code = kCodePersonal;
  message.threadId = threadId;
  message.memberText = thread->second.members.Text();
  message.url = RawOf(values, "body_type");
  message.fromId = sender.memberId;
  message.fromName = DisplayName(sender, values);
  if (!Deliver(sender, message, thread->second.members)) return;
  Answer(sender, kCodePersonal,
         JsonTextWriter()
             .Add("issuccessful", 0)
             .Add("msg_type", kCodePersonal)
             .Add("msg_id", message.msgId.Str())
             .Add("publish_time", message.publishTime.Str())
             .Add("thread_id", threadId.Str())
             .Text());
}

void ChatServerCore::HandleGroup(const Sender& sender, const RequestParser::Values& values) {
  CString groupId = RawOf(values, "group_id");
  auto community = m_mapCommunities.find(groupId);
  if (community == m_mapCommunities.end()) {
    CString info;
    info.Format("群组不存在: %s", groupId.GetString());
    AnswerError(sender, kCodeGroup, ORB_ERR_NO_GROUP, info);
    return;
  }
  if (!community->second.members.Contains(sender.memberId)) {
    AnswerError(sender, kCodeGroup, ORB_ERR_NOT_MEMBER, "您不是这个群组的成员");
    return;
  }
  Message message;
  if (!TextOf(values, "body", message.body) || !TextOf(values, "abstract", message.abstract)) {
    AnswerError(sender, kCodeGroup, ORB_ERR_MALFORMED, "消息内容不是有效的 UTF-8 文本");
    return;
  }
  if (message.body.IsEmpty()) {
    AnswerError(sender, kCodeGroup, ORB_ERR_MALFORMED, "消息内容为空");
    return;
  }
  // A community message carries the community's thread key as its thread id
  // and as its member list; the client looks the members up itself.
  message.code = kCodeGroup;
  message.threadId = m_strGroupMsgHead + groupId;
  message.memberText = message.threadId;
  message.title = community->second.name;
  message.url = RawOf(values, "body_type");
  message.groupId = groupId;
  message.fromId = sender.memberId;
  message.fromName = DisplayName(sender, values);
  if (!Deliver(sender, message, community->second.members)) return;
  Answer(sender, kCodeGroup,
         JsonTextWriter()
             .Add("issuccessful", 0)
             .Add("msg_type", kCodeGroup)
             .Add("msg_id", message.msgId.Str())
             .Add("publish_time", message.publishTime.Str())
             .Add("thread_id", message.threadId.Str())
             .Text());
}

void ChatServerCore::HandleGroupInfo(const Sender& sender, const CString& body) {
  CString groupId = body;
  groupId.Trim();
  if (!IsSafeId(groupId)) {
    AnswerError(sender, kCodeSystem, ORB_ERR_MALFORMED, "群组编号无效");
    return;
  }
  auto community = m_mapCommunities.find(groupId);
  if (community == m_mapCommunities.end()) {
    CString info;
    info.Format("群组不存在: %s", groupId.GetString());
    AnswerError(sender, kCodeSystem, ORB_ERR_NO_GROUP, info);
    return;
  }
  if (!community->second.members.Contains(sender.memberId)) {
    AnswerError(sender, kCodeSystem, ORB_ERR_NOT_MEMBER, "您不是这个群组的成员");
    return;
  }
  // No thread_members: the client must not take this for a chat message.
  Answer(sender, kCodeSystem,
         JsonTextWriter()
             .Add("issuccessful", 0)
             .Add("msg_type", kCodeSystem)
             .Add("group_id", groupId.Str())
             .Add("group_name", community->second.name.Str())
             .Add("group_des", community->second.description.Str())
             .Add("members", community->second.members.Text().Str())
             .Text());
}

bool ChatServerCore::Deliver(const Sender& sender, Message& message, const MemberList& recipients) {
  std::vector<User*> users;
  std::vector<const Peer*> peers;
  for (const CString& id : recipients.Ids()) {
    if (id.CompareNoCase(sender.memberId) == 0) continue;
    if (const Peer* peer = PeerOf(id)) {
      peers.push_back(peer);
      continue;
    }
    User& user = UserOf(id);
    if (user.mailbox.Count() >= m_nMailboxLimit) {
      CString info;
      info.Format("对方的消息箱已满: %s", id.GetString());
      AnswerError(sender, message.code, ORB_ERR_MAILBOX_FULL, info);
      return false;
    }
    users.push_back(&user);
  }
  message.msgId = NextMessageId();
  message.publishTime = Now();
  std::string json = JsonTextWriter()
                         .Add("issuccessful", 0)
                         .Add("msg_id", message.msgId.Str())
                         .Add("msg_type", message.code.Str())
                         .Add("publish_time", message.publishTime.Str())
                         .Add("thread_id", message.threadId.Str())
                         .Add("thread_members", message.memberText.Str())
                         .Add("from_id", message.fromId.Str())
                         .Add("from", message.fromName.Str())
                         .AddIfNotEmpty("title", message.title.Str())
                         .AddIfNotEmpty("abstract", message.abstract.Str())
                         .Add("body", message.body.Str())
                         .AddIfNotEmpty("url", message.url.Str())
                         .Text();
  CString text(json);
  const std::string& pool = m_mapPools[message.code].second.Str();
  for (User* user : users) user->mailbox.Put(pool, 0, text);
  // Peers answer people, never each other, so a peer's answer ends the chain.
  bool answerable = sender.user != nullptr;
  for (const Peer* peer : peers) {
    bool wanted = (peer->kind == PeerKind::Echo) == (message.code == kCodePersonal);
    if (answerable && wanted) m_arrPeerTasks.push_back({peer, message});
  }
  return true;
}

void ChatServerCore::RunPeerTasks() {
  std::vector<PeerTask> tasks;
  tasks.swap(m_arrPeerTasks);
  for (const PeerTask& task : tasks) PeerReply(task);
  m_arrPeerTasks.clear();
}

void ChatServerCore::PeerReply(const PeerTask& task) {
  Sender sender{task.peer->memberId, task.peer->alias, nullptr, 0};
  const Message& received = task.received;
  Message reply;
  reply.code = received.code;
  reply.fromId = sender.memberId;
  reply.fromName = sender.alias.IsEmpty() ? sender.memberId : sender.alias;
  if (task.peer->kind == PeerKind::Echo) {
    auto thread = m_mapThreads.find(received.threadId.Str());
    if (thread == m_mapThreads.end()) return;
    reply.threadId = received.threadId;
    reply.memberText = thread->second.members.Text();
    reply.abstract = received.abstract;
    reply.body = received.body;
    reply.url = received.url;
    Deliver(sender, reply, thread->second.members);
    return;
  }
  auto community = m_mapCommunities.find(received.groupId);
  if (community == m_mapCommunities.end()) return;
  CString what = received.abstract.IsEmpty() ? CString("（图片或其他内容）") : received.abstract;
  reply.threadId = received.threadId;
  reply.memberText = received.memberText;
  reply.title = community->second.name;
  reply.groupId = received.groupId;
  reply.abstract = "收到 " + received.fromName + " 的消息：" + what;
  reply.body = "<DIV>" + EscapeHtml(reply.abstract) + "</DIV>";
  Deliver(sender, reply, community->second.members);
}

void ChatServerCore::Answer(const Sender& sender, const CString& code, const std::string& json) {
  if (!sender.user) return;  // peers read no answers
  sender.user->mailbox.Put(m_mapPools[code].second.Str(), sender.pushId, CString(json));
}

void ChatServerCore::AnswerError(const Sender& sender, const CString& code, OrbServerError error,
                                 const CString& info) {
  Answer(sender, code, JsonTextWriter().Add("issuccessful", static_cast<int>(error)).Add("errorinfo", Utf8(info)).Text());
}

bool ChatServerCore::TextOf(const RequestParser::Values& values, const char* key, CString& text) {
  text.Empty();
  auto found = values.find(key);
  if (found == values.end() || found->second.empty()) return true;
  const std::string& utf8 = found->second;
  if (utf8.size() > 0x7FFFFFFF) return false;
  int length = static_cast<int>(utf8.size());
  int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
  if (wide <= 0) return false;
  std::wstring buffer(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, buffer.data(), wide);
  text = CodePage::WideToAnsi(buffer.data(), wide);
  return true;
}

CString ChatServerCore::RawOf(const RequestParser::Values& values, const char* key) {
  auto found = values.find(key);
  return found == values.end() ? CString() : CString(found->second);
}

CString ChatServerCore::DisplayName(const Sender& sender, const RequestParser::Values& values) const {
  CString from;
  TextOf(values, "from", from);
  if (!from.IsEmpty()) return from;
  // Without a display name the sender's id stands in, which lets the receiving
  // client look the name up in its own directory.
  return sender.alias.IsEmpty() ? sender.memberId : sender.alias;
}

CString ChatServerCore::NextMessageId() {
  CString id;
  id.Format("M%08lX%010llu", static_cast<unsigned long>(m_nStamp), ++m_nMessageCount);
  return id;
}

CString ChatServerCore::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  CString stamp;
  stamp.Format("%04u%02u%02u%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
  return stamp;
}

bool ChatServerCore::IsSafeId(const CString& id) {
  if (id.IsEmpty() || id.GetLength() > 256) return false;
  for (char ch : id.Str()) {
    if (static_cast<unsigned char>(ch) < 0x20) return false;
  }
  return true;
}

ChatServerCore::User& ChatServerCore::UserOf(const CString& memberId) {
  auto [entry, inserted] = m_mapUsers.try_emplace(MemberList::KeyOf(memberId).Str());
  if (inserted) entry->second.memberId = memberId;
  return entry->second;
}

const ChatServerCore::Peer* ChatServerCore::PeerOf(const CString& memberId) const {
  auto found = m_mapPeers.find(MemberList::KeyOf(memberId).Str());
  return found == m_mapPeers.end() ? nullptr : &found->second;
}

ChatServerCore::User* ChatServerCore::LinkedUser(const std::shared_ptr<ServerLink>& link) {
  if (!link || !link->alive) return nullptr;
  auto found = m_mapUsers.find(link->memberKey.Str());
  if (found == m_mapUsers.end() || found->second.link != link) return nullptr;
  return &found->second;
}
