#include "ChatServerCore.h"

#include <algorithm>
#include <new>
#include <utility>

#include "CodePage.h"
#include "JsonTextWriter.h"
#include "RequestFields.h"
#include "ServerTexts.h"
#include "SrwGuard.h"

namespace {

const char kCodeSystem[] = "5";
const char kCodePersonal[] = "505";
const char kCodeGroup[] = "506";
const char* const kGroupInfoPool = RequestFields::kGroupInfoPool;
const int kMaxThreadMembers = ServerTexts::kMaxThreadMembers;

bool IsSafeId(const CString& id) { return ServerTexts::IsSafeId(id); }

CString RawOf(const RequestParser::Values& values, const char* key) { return ServerTexts::RawOf(values, key); }

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
  m_strIdPrefix.Format("M%08lX", static_cast<unsigned long>(m_nStamp));
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

void ChatServerCore::SetMailboxByteLimit(size_t bytes) {
  ExclusiveGuard guard(m_lock);
  m_nMailboxByteLimit = bytes > 0 ? bytes : 1;
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

std::shared_ptr<ServerLink> ChatServerCore::Attach(const CString& memberId, const CString& alias,
                                                   unsigned long long sessionKey, CString& error) {
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
  // Answers to another session object's push ids would be taken for answers
  // to this one's; a session that links again keeps its own.
  if (user.sessionKey != sessionKey) user.mailbox.DropAnswers();
  user.sessionKey = sessionKey;
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
  Sender sender;
  if (!SenderOf(link, pushId, sender)) return;
  PeerTasks tasks;
  try {
    std::unique_ptr<Scratch> scratch = TakeScratch();
    HandleRequest(sender, pool, body, *scratch, tasks);
    GiveScratch(std::move(scratch));
    RunPeerTasks(tasks);
  } catch (const std::bad_alloc&) {
    // A request too big for the memory left is refused (without a
    // confirmation), and the failure must not reach the caller of Push.
    const char* code = pool == GetRequestPool(kCodePersonal) ? kCodePersonal
                       : pool == GetRequestPool(kCodeGroup)  ? kCodeGroup
                                                             : kCodeSystem;
    try {
      AnswerError(sender, code, ORB_ERR_NO_MEMORY, "服务器内存不足");
    } catch (const std::bad_alloc&) {
    }
  }
}

bool ChatServerCore::Take(const std::shared_ptr<ServerLink>& link, const CString& pool, unsigned& pushId,
                          CString& text) {
  ExclusiveGuard guard(m_lock);
  User* user = LinkedUser(link);
  return user && user->mailbox.Take(pool.Str(), pushId, text);
}

std::unique_ptr<ChatServerCore::Scratch> ChatServerCore::TakeScratch() {
  {
    ExclusiveGuard guard(m_scratchLock);
    if (!m_arrScratch.empty()) {
      std::unique_ptr<Scratch> scratch = std::move(m_arrScratch.back());
      m_arrScratch.pop_back();
      return scratch;
    }
  }
  return std::make_unique<Scratch>();
}

void ChatServerCore::GiveScratch(std::unique_ptr<Scratch> scratch) {
  // Buffers grown by a huge request are not kept.
  size_t bytes = scratch->wide.capacity() * sizeof(wchar_t);
  for (const std::string& value : scratch->values.value) bytes += value.capacity();
  if (bytes > (1u << 20)) return;
  ExclusiveGuard guard(m_scratchLock);
  if (m_arrScratch.size() < 8) m_arrScratch.push_back(std::move(scratch));
}

bool ChatServerCore::SenderOf(const std::shared_ptr<ServerLink>& link, unsigned pushId, Sender& sender) {
  SharedGuard guard(m_lock);
  User* user = LinkedUser(link);
  if (!user) return false;
  sender = {user->memberId, user->alias, user, pushId, link};
  return true;
}

void ChatServerCore::HandleRequest(const Sender& sender, const CString& pool, const CString& body,
                                   Scratch& scratch, PeerTasks& tasks) {
  if (pool == kGroupInfoPool) {
    HandleGroupInfo(sender, body);
    return;
  }
  bool personal = false;
  bool group = false;
  {
    SharedGuard guard(m_lock);
    personal = pool == m_mapPools.at(kCodePersonal).first;
    group = pool == m_mapPools.at(kCodeGroup).first;
  }
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
  switch (ServerTexts::Read(body, personal, group, scratch.values)) {
    case ServerTexts::Request::Application:
      HandleApplication(sender, scratch);
      break;
    case ServerTexts::Request::Personal:
      HandlePersonal(sender, scratch, tasks);
      break;
    case ServerTexts::Request::Group:
      HandleGroup(sender, scratch, tasks);
      break;
    case ServerTexts::Request::Malformed:
      AnswerError(sender, code, ORB_ERR_MALFORMED, "请求格式错误");
  }
}

void ChatServerCore::HandleApplication(const Sender& sender, Scratch& scratch) {
  const RequestParser::Values& values = scratch.values;
  CString threadId = RawOf(values, "thread_id");
  MemberList members(RawOf(values, "thread_members"));
  CString from;
  bool valid = IsSafeId(threadId) && !members.IsEmpty() && members.GetCount() <= kMaxThreadMembers &&
               TextOf(scratch, "from", from);
  for (const CString& id : members.Ids()) valid = valid && IsSafeId(id);
  if (!valid) {
    AnswerError(sender, kCodePersonal, ORB_ERR_MALFORMED, "会话申请格式错误");
    return;
  }
  // The applicant always belongs to the thread, also when its list leaves it
  // out. Applying again for a known thread may add members, never drop one.
  members.PutFirst(sender.memberId);
  std::string answer = ServerTexts::ApplicationAnswer(threadId);
  {
    ExclusiveGuard guard(m_lock);
    auto existing = m_mapThreads.find(threadId.Str());
    if (existing == m_mapThreads.end() || existing->second.members.Contains(sender.memberId)) {
      MemberList& kept = m_mapThreads[threadId.Str()].members;
      for (const CString& id : members.Ids()) kept.Add(id);
      AnswerLocked(sender, kCodePersonal, answer);
      return;
    }
  }
  CString info;
  info.Format("会话编号已被占用: %s", threadId.GetString());
  AnswerError(sender, kCodePersonal, ORB_ERR_THREAD_TAKEN, info);
}

void ChatServerCore::HandlePersonal(const Sender& sender, Scratch& scratch, PeerTasks& tasks) {
  const RequestParser::Values& values = scratch.values;
  CString threadId = RawOf(values, "thread_id");
  // The members as they are now; a member added meanwhile gets the next one.
  MemberList members;
  bool known = false;
  {
    SharedGuard guard(m_lock);
    auto thread = m_mapThreads.find(threadId.Str());
    known = thread != m_mapThreads.end();
    if (known) members = thread->second.members;
  }
  if (!known) {
    CString info;
    info.Format("会话不存在: %s", threadId.GetString());
    AnswerError(sender, kCodePersonal, ORB_ERR_NO_THREAD, info);
    return;
  }
  if (!members.Contains(sender.memberId)) {
    AnswerError(sender, kCodePersonal, ORB_ERR_NOT_MEMBER, "您不是这个会话的成员");
    return;
  }
  Message message;
  if (!ReadTexts(scratch, message)) {
    AnswerError(sender, kCodePersonal, ORB_ERR_MALFORMED, "消息内容不是有效的 UTF-8 文本");
    return;
  }
  if (message.body.IsEmpty()) {
    AnswerError(sender, kCodePersonal, ORB_ERR_MALFORMED, "消息内容为空");
    return;
  }
  message.code = kCodePersonal;
  message.threadId = threadId;
  message.memberText = members.Text();
  message.url = RawOf(values, "body_type");
  message.fromId = sender.memberId;
  if (message.fromName.IsEmpty()) message.fromName = DefaultName(sender);
  if (!Deliver(sender, message, members, tasks)) return;
  Answer(sender, kCodePersonal, ServerTexts::Confirmation(kCodePersonal, message.msgId, message.publishTime, threadId));
}

void ChatServerCore::HandleGroup(const Sender& sender, Scratch& scratch, PeerTasks& tasks) {
  const RequestParser::Values& values = scratch.values;
  CString groupId = RawOf(values, "group_id");
  Community community;
  CString head;
  bool known = false;
  {
    SharedGuard guard(m_lock);
    auto found = m_mapCommunities.find(groupId);
    known = found != m_mapCommunities.end();
    if (known) community = found->second;
    head = m_strGroupMsgHead;
  }
  if (!known) {
    CString info;
    info.Format("群组不存在: %s", groupId.GetString());
    AnswerError(sender, kCodeGroup, ORB_ERR_NO_GROUP, info);
    return;
  }
  if (!community.members.Contains(sender.memberId)) {
    AnswerError(sender, kCodeGroup, ORB_ERR_NOT_MEMBER, "您不是这个群组的成员");
    return;
  }
  Message message;
  if (!ReadTexts(scratch, message)) {
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
  message.threadId = head + groupId;
  message.memberText = message.threadId;
  message.title = community.name;
  message.url = RawOf(values, "body_type");
  message.groupId = groupId;
  message.fromId = sender.memberId;
  if (message.fromName.IsEmpty()) message.fromName = DefaultName(sender);
  if (!Deliver(sender, message, community.members, tasks)) return;
  Answer(sender, kCodeGroup,
         ServerTexts::Confirmation(kCodeGroup, message.msgId, message.publishTime, message.threadId));
}

void ChatServerCore::HandleGroupInfo(const Sender& sender, const CString& body) {
  CString groupId = body;
  groupId.Trim();
  if (!IsSafeId(groupId)) {
    AnswerError(sender, kCodeSystem, ORB_ERR_MALFORMED, "群组编号无效");
    return;
  }
  Community community;
  bool known = false;
  {
    SharedGuard guard(m_lock);
    auto found = m_mapCommunities.find(groupId);
    known = found != m_mapCommunities.end();
    if (known) community = found->second;
  }
  if (!known) {
    CString info;
    info.Format("群组不存在: %s", groupId.GetString());
    AnswerError(sender, kCodeSystem, ORB_ERR_NO_GROUP, info);
    return;
  }
  if (!community.members.Contains(sender.memberId)) {
    AnswerError(sender, kCodeSystem, ORB_ERR_NOT_MEMBER, "您不是这个群组的成员");
    return;
  }
  // No thread_members: the client must not take this for a chat message.
  Answer(sender, kCodeSystem,
         ServerTexts::GroupInfo(groupId, community.name, community.description, community.members.Text()));
}

bool ChatServerCore::Deliver(const Sender& sender, Message& message, const MemberList& recipients,
                             PeerTasks& tasks) {
  message.msgId = NextMessageId();
  message.publishTime = Now();
  auto json = std::make_shared<std::string>(
      JsonTextWriter(message.body.GetLength() + message.abstract.GetLength() + 384)
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
          .Text());
  // Peers answer people, never each other, so a peer's answer ends the chain.
  const bool answerable = sender.user != nullptr;
  std::vector<User*> users;
  PeerTasks received;
  ExclusiveGuard guard(m_lock);
  for (const CString& id : recipients.Ids()) {
    if (id.CompareNoCase(sender.memberId) == 0) continue;
    if (const Peer* peer = PeerOf(id)) {
      bool wanted = (peer->kind == PeerKind::Echo) == (message.code == kCodePersonal);
      if (answerable && wanted) received.push_back({peer, message});
      continue;
    }
    // Every mailbox must have room before anyone receives the message; what
    // a full mailbox holds stays, and the sender is told.
    User& user = UserOf(id);
    if (user.mailbox.Count() >= m_nMailboxLimit || user.mailbox.Bytes() + json->size() > m_nMailboxByteLimit) {
      CString info;
      info.Format("对方的消息箱已满: %s", id.GetString());
      AnswerLocked(sender, message.code, ServerTexts::Error(ORB_ERR_MAILBOX_FULL, info));
      return false;
    }
    users.push_back(&user);
  }
  const std::string& pool = AnswerPoolLocked(message.code);
  // One copy serves every recipient of a message to several.
  if (users.size() > 1) {
    std::shared_ptr<const std::string> shared = std::move(json);
    for (User* user : users) user->mailbox.PutShared(pool, shared);
  } else if (!users.empty()) {
    users.front()->mailbox.Put(pool, 0, *json);
  }
  tasks.insert(tasks.end(), received.begin(), received.end());
  return true;
}

void ChatServerCore::RunPeerTasks(PeerTasks& tasks) {
  // A peer's reply comes from a peer and starts no tasks of its own.
  for (const PeerTask& task : tasks) PeerReply(task);
  tasks.clear();
}

void ChatServerCore::PeerReply(const PeerTask& task) {
  Sender sender{task.peer->memberId, task.peer->alias, nullptr, 0, nullptr};
  const Message& received = task.received;
  Message reply;
  reply.code = received.code;
  reply.fromId = sender.memberId;
  reply.fromName = sender.alias.IsEmpty() ? sender.memberId : sender.alias;
  PeerTasks none;
  if (task.peer->kind == PeerKind::Echo) {
    MemberList members;
    {
      SharedGuard guard(m_lock);
      auto thread = m_mapThreads.find(received.threadId.Str());
      if (thread == m_mapThreads.end()) return;
      members = thread->second.members;
    }
    reply.threadId = received.threadId;
    reply.memberText = members.Text();
    reply.abstract = received.abstract;
    reply.body = received.body;
    reply.url = received.url;
    Deliver(sender, reply, members, none);
    return;
  }
  Community community;
  {
    SharedGuard guard(m_lock);
    auto found = m_mapCommunities.find(received.groupId);
    if (found == m_mapCommunities.end()) return;
    community = found->second;
  }
  CString what = received.abstract.IsEmpty() ? CString("（图片或其他内容）") : received.abstract;
  reply.threadId = received.threadId;
  reply.memberText = received.memberText;
  reply.title = community.name;
  reply.groupId = received.groupId;
  reply.abstract = "收到 " + received.fromName + " 的消息：" + what;
  reply.body = "<DIV>" + EscapeHtml(reply.abstract) + "</DIV>";
  Deliver(sender, reply, community.members, none);
}

void ChatServerCore::Answer(const Sender& sender, const CString& code, const std::string& json) {
  if (!sender.user) return;  // peers read no answers
  ExclusiveGuard guard(m_lock);
  AnswerLocked(sender, code, json);
}

void ChatServerCore::AnswerLocked(const Sender& sender, const CString& code, const std::string& json) {
  // An answer for a session that lost the mailbox to a newer login would be
  // taken by that login for an answer to its own push id.
  if (!sender.user || sender.user->link != sender.link) return;
  sender.user->mailbox.Put(AnswerPoolLocked(code), sender.pushId, json);
}

const std::string& ChatServerCore::AnswerPoolLocked(const CString& code) const {
  static const std::string none;
  auto found = m_mapPools.find(code);
  return found == m_mapPools.end() ? none : found->second.second.Str();
}

void ChatServerCore::AnswerError(const Sender& sender, const CString& code, OrbServerError error,
                                 const CString& info) {
  Answer(sender, code, ServerTexts::Error(error, info));
}

bool ChatServerCore::TextOf(Scratch& scratch, const char* key, CString& text) {
  text.Empty();
  const std::string* utf8 = scratch.values.Find(key);
  if (!utf8 || utf8->empty()) return true;
  if (utf8->size() > 0x7FFFFFFF) return false;
  // Plain ASCII reads the same in UTF-8 and in code page 936.
  bool ascii = std::all_of(utf8->begin(), utf8->end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
  if (ascii) {
    text = CString(*utf8);
    return true;
  }
  int length = static_cast<int>(utf8->size());
  std::wstring& wide = scratch.wide;
  if (wide.size() < utf8->size()) wide.resize(utf8->size());
  int converted = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8->data(), length, wide.data(),
                                      static_cast<int>(wide.size()));
  if (converted <= 0) return false;
  text = CodePage::WideToAnsi(wide.data(), converted);
  return true;
}

bool ChatServerCore::ReadTexts(Scratch& scratch, Message& message) {
  return TextOf(scratch, "body", message.body) && TextOf(scratch, "abstract", message.abstract) &&
         TextOf(scratch, "from", message.fromName);
}

CString ChatServerCore::DefaultName(const Sender& sender) {
  // Without a display name the sender's id stands in, which lets the receiving
  // client look the name up in its own directory.
  return sender.alias.IsEmpty() ? sender.memberId : sender.alias;
}

CString ChatServerCore::NextMessageId() {
  // "M", the server's stamp in hex, and a ten-digit sequence number.
  char digits[10];
  unsigned long long number = ++m_nMessageCount;
  for (int i = 9; i >= 0; --i, number /= 10) digits[i] = static_cast<char>('0' + number % 10);
  CString id = m_strIdPrefix;
  id.Append(digits, 10);
  return id;
}

CString ChatServerCore::Now() {
  // The local time is formatted once per second; messages of the same second
  // share the text.
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  unsigned long long second = ((static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime) /
                              10000000ULL;
  ExclusiveGuard guard(m_timeLock);
  if (second != m_nNowSecond || m_strNow.IsEmpty()) {
    SYSTEMTIME local;
    GetLocalTime(&local);
    m_strNow.Format("%04u%02u%02u%02u%02u%02u", local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                    local.wSecond);
    m_nNowSecond = second;
  }
  return m_strNow;
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
