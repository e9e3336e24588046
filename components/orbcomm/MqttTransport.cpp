#include "MqttTransport.h"

#include <sqlite3.h>

#include <algorithm>

#include "CodePage.h"
#include "MqttRecord.h"
#include "RequestFields.h"
#include "ServerTexts.h"
#include "SqliteStatement.h"
#include "SrwGuard.h"

namespace {

const char kCodeSystem[] = "5";
const char kCodePersonal[] = "505";
const char kCodeGroup[] = "506";
const int kMaxThreadMembers = ServerTexts::kMaxThreadMembers;
// Ids of messages handed on are remembered this long.
const int kSeenDays = 30;

std::string Utf8(const CString& ansi) { return CodePage::AnsiToUtf8(ansi.GetString(), ansi.GetLength()); }

CString Ansi(const std::string& utf8) { return CodePage::Utf8ToAnsi(utf8.data(), static_cast<int>(utf8.size())); }

CString RawOf(const RequestParser::Values& values, const char* key) { return ServerTexts::RawOf(values, key); }

bool IsSafeId(const CString& id) { return ServerTexts::IsSafeId(id); }

bool AllUsable(const MemberList& members) {
  return std::all_of(members.Ids().begin(), members.Ids().end(), MqttTopics::IsUsableId);
}

bool IsTimeStamp(const CString& text) {
  return text.GetLength() == 14 && text.SpanIncluding("0123456789").GetLength() == 14;
}

CString Now() {
  SYSTEMTIME local;
  GetLocalTime(&local);
  CString text;
  text.Format("%04u%02u%02u%02u%02u%02u", local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
              local.wSecond);
  return text;
}

unsigned long long NowMs() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return ((static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 10000ULL;
}

OrbServerError ErrorOfReason(int reason) {
  switch (reason) {
    case 0x87: return ORB_ERR_NOT_MEMBER;      // not authorised by the broker's rules
    case 0x97: return ORB_ERR_MAILBOX_FULL;    // quota exceeded
    case 0x95: case 0x83: case -1: return ORB_ERR_TOO_LARGE;
    default: return ORB_ERR_MALFORMED;
  }
}

}  // namespace

MqttTransport::MqttTransport(const Options& options)
    : m_options(options), m_topics(options.topicRoot), m_connection(*this) {}

MqttTransport::~MqttTransport() { Stop(); }

bool MqttTransport::Start(const Identity& who, const MqttConnectionSettings& settings, CString& error) {
  Stop();
  if (!MqttTopics::IsUsableId(who.memberId)) {
    error.Format("用户编号 %s 不能用作 MQTT 的客户端编号", who.memberId.GetString());
    return false;
  }
  m_who = who;
  if (!m_store.Open(who.queuePath, error)) return false;
  m_store.PruneSeen(kSeenDays);
  const unsigned long long stamp = NowMs();
  m_strSessionId.Format("S%08llX%s", stamp & 0xFFFFFFFFull, who.memberId.GetString());
  m_strMsgIdPrefix.Format("%s-%011llX-", who.memberId.GetString(), stamp);
  {
    ExclusiveGuard guard(m_lock);
    m_mapQueues.clear();
    m_mapThreads.clear();
    m_mapSending.clear();
    m_mapSeqToMessage.clear();
    m_listNotices.clear();
    m_mapSubscribed.clear();
    for (const auto& [id, members] : m_store.LoadThreads()) m_mapThreads[id] = MemberList(CString(members));
    for (const MqttQueueStore::Row& row : m_store.LoadInbox())
      m_mapQueues[row.key].push_back({0, row.seq, row.text});
  }
  MqttConnectionSettings connection = settings;
  connection.clientId = who.memberId.Str();
  connection.username = who.memberId.Str();
  // The communities are known before anything can arrive from them.
  const std::vector<CString> communities = MemberCommunities();
  if (!m_connection.Start(connection, error)) return false;
  m_connection.Subscribe(m_topics.InboxFilter(who.memberId).Str());
  for (const CString& groupId : communities) m_connection.Subscribe(m_topics.CommunityFilter(groupId).Str());
  // What an earlier run could not send goes out now; nobody waits for its
  // confirmation any more.
  std::vector<MqttQueueStore::Row> unsent = m_store.LoadOutbox();
  {
    ExclusiveGuard guard(m_lock);
    m_nUnsent = static_cast<int>(unsent.size());
  }
  for (const MqttQueueStore::Row& row : unsent) m_connection.Publish(row.seq, row.key, row.text);
  return true;
}

void MqttTransport::Stop() {
  m_connection.Stop();
  ForgetPopped();
  m_store.Close();
}

int MqttTransport::GetUnsentCount() const {
  SharedGuard guard(m_lock);
  return m_nUnsent;
}

void MqttTransport::Push(const CString& pool, const CString& body, unsigned pushId) {
  if (pool == RequestFields::kGroupInfoPool) {
    HandleGroupInfo(body, pushId);
    return;
  }
  const CString code = m_options.pools.CodeOfRequest(pool);
  if (code != kCodePersonal && code != kCodeGroup) {
    CString info;
    info.Format("服务器不提供这个服务: %s", pool.GetString());
    AnswerError(kCodeSystem, pushId, ORB_ERR_UNKNOWN_POOL, info);
    return;
  }
  const bool personal = code == kCodePersonal;
  if (static_cast<size_t>(body.GetLength()) > kMaxBodyBytes) {
    AnswerError(code, pushId, ORB_ERR_TOO_LARGE, "请求内容太长");
    return;
  }
  RequestParser::Values values;
  switch (ServerTexts::Read(body, personal, !personal, values)) {
    case ServerTexts::Request::Application:
      HandleApplication(values, pushId);
      break;
    case ServerTexts::Request::Personal:
      HandlePersonal(values, pushId);
      break;
    case ServerTexts::Request::Group:
      HandleGroup(values, pushId);
      break;
    case ServerTexts::Request::Malformed:
      AnswerError(code, pushId, ORB_ERR_MALFORMED, "请求格式错误");
  }
}

bool MqttTransport::Pop(const CString& pool, unsigned& pushId, CString& text) {
  pushId = 0;
  Entry entry;
  {
    ExclusiveGuard guard(m_lock);
    auto queue = m_mapQueues.find(pool.Str());
    if (queue == m_mapQueues.end() || queue->second.empty()) return false;
    entry = std::move(queue->second.front());
    queue->second.pop_front();
  }
  pushId = entry.pushId;
  text = CString(std::move(entry.text));
  // The popped rows leave the file together when the pool is read empty
  // (the module reads its pools in bursts), or every hundred.
  if (entry.inboxSeq) m_arrPopped.push_back(entry.inboxSeq);
  bool drained = false;
  {
    SharedGuard guard(m_lock);
    auto queue = m_mapQueues.find(pool.Str());
    drained = queue == m_mapQueues.end() || queue->second.empty();
  }
  if (drained || m_arrPopped.size() >= 100) ForgetPopped();
  return true;
}

void MqttTransport::ForgetPopped() {
  m_store.RemoveInbox(m_arrPopped);
  m_arrPopped.clear();
}

bool MqttTransport::PopNotice(CString& text) {
  ExclusiveGuard guard(m_lock);
  if (m_listNotices.empty()) return false;
  text = m_listNotices.front();
  m_listNotices.pop_front();
  return true;
}

void MqttTransport::HandleApplication(const RequestParser::Values& values, unsigned pushId) {
  const CString threadId = RawOf(values, "thread_id");
  MemberList members(RawOf(values, "thread_members"));
  if (!IsSafeId(threadId) || members.IsEmpty() || members.GetCount() > kMaxThreadMembers || !AllUsable(members)) {
    AnswerError(kCodePersonal, pushId, ORB_ERR_MALFORMED, "会话申请格式错误");
    return;
  }
  // The applicant always belongs to the thread; applying again may add
  // members, never drop one.
  members.PutFirst(m_who.memberId);
  std::string kept;
  {
    ExclusiveGuard guard(m_lock);
    auto existing = m_mapThreads.find(threadId.Str());
    if (existing != m_mapThreads.end() && !existing->second.Contains(m_who.memberId)) {
      CString info;
      info.Format("会话编号已被占用: %s", threadId.GetString());
      m_mapQueues[m_options.pools.Answer(kCodePersonal).Str()].push_back(
          {pushId, 0, ServerTexts::Error(ORB_ERR_THREAD_TAKEN, info)});
      return;
    }
    MemberList& thread = m_mapThreads[threadId.Str()];
    for (const CString& id : members.Ids()) thread.Add(id);
    kept = thread.Text().Str();
  }
  m_store.SaveThread(threadId.Str(), kept);
  Answer(kCodePersonal, pushId, ServerTexts::ApplicationAnswer(threadId));
}

bool MqttTransport::ReadTexts(const RequestParser::Values& values, const char* code, unsigned pushId,
                              InfoMsgStructer& record) {
  const char* keys[] = {"body", "abstract", "from"};
  CString* fields[] = {&record.body, &record.abstract, &record.from};
  for (int i = 0; i < 3; ++i) {
    const std::string* utf8 = values.Find(keys[i]);
    if (!utf8) continue;
    if (!MqttRecord::IsUtf8(*utf8)) {
      AnswerError(code, pushId, ORB_ERR_MALFORMED, "消息内容不是有效的 UTF-8 文本");
      return false;
    }
    *fields[i] = Ansi(*utf8);
  }
  if (record.body.IsEmpty()) {
    AnswerError(code, pushId, ORB_ERR_MALFORMED, "消息内容为空");
    return false;
  }
  if (record.from.IsEmpty()) record.from = m_who.alias.IsEmpty() ? m_who.memberId : m_who.alias;
  record.from_id = m_who.memberId;
  record.msg_type = code;
  record.msg_id = NextMessageId();
  record.publish_time = Now();
  record.url = RawOf(values, "body_type");
  return true;
}

void MqttTransport::HandlePersonal(const RequestParser::Values& values, unsigned pushId) {
  const CString threadId = RawOf(values, "thread_id");
  MemberList members;
  bool known = false;
  {
    SharedGuard guard(m_lock);
    auto thread = m_mapThreads.find(threadId.Str());
    known = thread != m_mapThreads.end();
    if (known) members = thread->second;
  }
  if (!known) {
    CString info;
    info.Format("会话不存在: %s", threadId.GetString());
    AnswerError(kCodePersonal, pushId, ORB_ERR_NO_THREAD, info);
    return;
  }
  if (!members.Contains(m_who.memberId)) {
    AnswerError(kCodePersonal, pushId, ORB_ERR_NOT_MEMBER, "您不是这个会话的成员");
    return;
  }
  InfoMsgStructer record;
  if (!ReadTexts(values, kCodePersonal, pushId, record)) return;
  record.thread_id = threadId;
  record.thread_members = members.Text();
  std::vector<CString> topics;
  for (const CString& id : members.Ids())
    if (id.CompareNoCase(m_who.memberId) != 0) topics.push_back(m_topics.Inbox(id, m_who.memberId));
  Send(kCodePersonal, pushId, record, topics);
}

bool MqttTransport::MemberCommunity(const CString& groupId, const char* code, unsigned pushId, Community& community) {
  if (!MqttTopics::IsUsableId(groupId) || !ReadCommunity(groupId, community)) {
    CString info;
    info.Format("群组不存在: %s", groupId.GetString());
    AnswerError(code, pushId, ORB_ERR_NO_GROUP, info);
    return false;
  }
  if (!community.members.Contains(m_who.memberId)) {
    AnswerError(code, pushId, ORB_ERR_NOT_MEMBER, "您不是这个群组的成员");
    return false;
  }
  return true;
}

void MqttTransport::HandleGroup(const RequestParser::Values& values, unsigned pushId) {
  const CString groupId = RawOf(values, "group_id");
  Community community;
  if (!MemberCommunity(groupId, kCodeGroup, pushId, community)) return;
  InfoMsgStructer record;
  if (!ReadTexts(values, kCodeGroup, pushId, record)) return;
  record.thread_id = m_options.groupMsgHead + groupId;
  record.thread_members = record.thread_id;
  record.title = community.name;
  Send(kCodeGroup, pushId, record, {m_topics.Community(groupId, m_who.memberId)});
}

void MqttTransport::Send(const char* code, unsigned pushId, InfoMsgStructer& record, const std::vector<CString>& topics) {
  const std::string payload = MqttRecord::Payload(record);
  if (payload.size() > MqttRecord::kMaxPayloadBytes) {
    AnswerError(code, pushId, ORB_ERR_TOO_LARGE, "消息太长");
    return;
  }
  std::vector<long long> seqs;
  for (const CString& topic : topics) {
    const long long seq = m_store.AddOutbox(topic.Str(), payload);
    if (seq == 0) {
      m_store.RemoveOutbox(seqs);
      AnswerError(code, pushId, ORB_ERR_NO_MEMORY, "无法保存待发的消息（消息队列文件无法写入）");
      return;
    }
    seqs.push_back(seq);
  }
  const std::string confirmation =
      ServerTexts::Confirmation(code, record.msg_id, record.publish_time, record.thread_id);
  if (seqs.empty()) {
    Answer(code, pushId, confirmation);  // nobody else in the thread
    return;
  }
  {
    ExclusiveGuard guard(m_lock);
    const long long key = m_nNextMessageKey++;
    Sending& sending = m_mapSending[key];
    sending.pushId = pushId;
    sending.code = code;
    sending.remaining = static_cast<int>(seqs.size());
    sending.confirmation = confirmation;
    for (long long seq : seqs) m_mapSeqToMessage[seq] = key;
    m_nUnsent += static_cast<int>(seqs.size());
  }
  for (size_t i = 0; i < seqs.size(); ++i) m_connection.Publish(seqs[i], topics[i].Str(), payload);
}

void MqttTransport::HandleGroupInfo(const CString& body, unsigned pushId) {
  CString groupId = body;
  groupId.Trim();
  if (!MqttTopics::IsUsableId(groupId)) {
    AnswerError(kCodeSystem, pushId, ORB_ERR_MALFORMED, "群组编号无效");
    return;
  }
  Community community;
  if (!MemberCommunity(groupId, kCodeSystem, pushId, community)) return;
  bool subscribe = false;
  {
    ExclusiveGuard guard(m_lock);
    subscribe = m_mapSubscribed.count(groupId) == 0;
    m_mapSubscribed[groupId] = community.name;
  }
  if (subscribe) m_connection.Subscribe(m_topics.CommunityFilter(groupId).Str());
  // No thread_members: the module must not take this for a chat message.
  Answer(kCodeSystem, pushId,
         ServerTexts::GroupInfo(groupId, community.name, community.description, community.members.Text()));
}

void MqttTransport::OnConnected() {
  ExclusiveGuard guard(m_lock);
  if (!m_strLastConnectionNotice.IsEmpty()) m_listNotices.push_back("已重新连接服务器");
  m_strLastConnectionNotice.Empty();
  m_bWasConnected = true;
}

void MqttTransport::OnConnectionLost(const CString& notice) {
  ExclusiveGuard guard(m_lock);
  // Every failed attempt reports; the user hears of each new reason once.
  if (notice == m_strLastConnectionNotice) return;
  m_strLastConnectionNotice = notice;
  m_listNotices.push_back(notice + "；消息会保存下来，连接恢复后发出");
}

void MqttTransport::OnPublished(long long seq, int reason, const CString& why) {
  m_arrAcked.push_back(seq);
  ExclusiveGuard guard(m_lock);
  if (m_nUnsent > 0) --m_nUnsent;
  auto link = m_mapSeqToMessage.find(seq);
  if (link == m_mapSeqToMessage.end()) return;  // sent for an earlier run
  const long long key = link->second;
  m_mapSeqToMessage.erase(link);
  Sending& sending = m_mapSending[key];
  const std::string pool = m_options.pools.Answer(sending.code).Str();
  if (reason != 0 && !sending.failed) {
    sending.failed = true;
    m_mapQueues[pool].push_back(
        {sending.pushId, 0, ServerTexts::Error(ErrorOfReason(reason), why)});
  }
  if (--sending.remaining > 0) return;
  if (!sending.failed) m_mapQueues[pool].push_back({sending.pushId, 0, sending.confirmation});
  m_mapSending.erase(key);
}

void MqttTransport::OnMessage(const std::string& topic, const std::string& payload) {
  const MqttTopics::Parsed from = m_topics.Parse(topic);
  CString notice;
  InfoMsgStructer record;
  bool taken = false;
  if (from.kind == MqttTopics::Kind::None) {
    notice.Format("收到主题无法识别的消息（%s），已丢弃", Ansi(topic.substr(0, 200)).GetString());
  } else if (from.sender.CompareNoCase(m_who.memberId) == 0) {
    return;  // the user's own message to a community
  } else if (!MqttRecord::Read(payload, record, notice)) {
    notice = "来自 " + from.sender + " 的消息无法读取：" + notice;
  } else {
    if (!record.from_id.IsEmpty() && record.from_id.CompareNoCase(from.sender) != 0) {
      // Whoever published the message is the sender, whatever it claims;
      // the name it gave is not believed either.
      notice.Format("来自 %s 的消息自称来自 %s，已按实际发送者显示", from.sender.GetString(),
                    record.from_id.Left(64).GetString());
      record.from = from.sender;
    }
    record.from_id = from.sender;
    if (record.from.IsEmpty()) record.from = from.sender;
    if (!IsTimeStamp(record.publish_time)) record.publish_time = Now();
    CString refusal;
    taken = from.kind == MqttTopics::Kind::Inbox ? TakeInbox(from, record, refusal) : TakeCommunity(from, record, refusal);
    if (!taken) notice = refusal;
  }
  if (!taken) {
    if (!notice.IsEmpty()) Notice(notice);
    return;
  }
  if (!notice.IsEmpty()) Notice(notice);
  MqttQueueStore::Incoming incoming;
  incoming.sender = from.sender.Str();
  incoming.msgId = record.msg_id.Str();
  incoming.pool = m_options.pools.Answer(record.msg_type).Str();
  incoming.text = MqttRecord::ModuleText(record);
  m_arrIncoming.push_back(std::move(incoming));
}

void MqttTransport::OnTurnEnd() {
  if (!m_arrAcked.empty()) {
    m_store.RemoveOutbox(m_arrAcked);
    m_arrAcked.clear();
  }
  if (m_arrIncoming.empty()) return;
  m_store.AddInbox(m_arrIncoming);
  bool failed = false;
  {
    ExclusiveGuard guard(m_lock);
    for (MqttQueueStore::Incoming& message : m_arrIncoming) {
      if (message.added == MqttQueueStore::Added::Duplicate) continue;  // handed on before
      failed = failed || message.added == MqttQueueStore::Added::Failed;
      m_mapQueues[message.pool].push_back({0, message.seq, std::move(message.text)});
    }
  }
  m_arrIncoming.clear();
  if (failed) Notice("收到的消息无法写入消息队列文件；程序关闭前请先阅读");
}

bool MqttTransport::TakeInbox(const MqttTopics::Parsed& from, InfoMsgStructer& record, CString& notice) {
  if (from.owner.CompareNoCase(m_who.memberId) != 0) {
    notice.Format("收到发给 %s 的消息，已丢弃", from.owner.GetString());
    return false;
  }
  record.msg_type = kCodePersonal;
  MemberList members(record.thread_members);
  if (!IsSafeId(record.thread_id) || members.GetCount() > kMaxThreadMembers || !AllUsable(members) ||
      !members.Contains(from.sender) || !members.Contains(m_who.memberId)) {
    notice = "来自 " + from.sender + " 的消息没有有效的会话编号或成员列表，已丢弃";
    return false;
  }
  std::string kept;
  {
    ExclusiveGuard guard(m_lock);
    auto thread = m_mapThreads.find(record.thread_id.Str());
    if (thread != m_mapThreads.end() && !thread->second.Contains(from.sender)) {
      notice = "来自 " + from.sender + " 的消息使用了别人的会话，已丢弃";
      return false;
    }
    MemberList& known = m_mapThreads[record.thread_id.Str()];
    bool changed = thread == m_mapThreads.end();
    for (const CString& id : members.Ids()) changed = known.Add(id) || changed;
    record.thread_members = known.Text();
    if (changed) kept = known.Text().Str();
  }
  if (!kept.empty()) m_store.SaveThread(record.thread_id.Str(), kept);
  return true;
}

bool MqttTransport::TakeCommunity(const MqttTopics::Parsed& from, InfoMsgStructer& record, CString& notice) {
  CString name;
  {
    SharedGuard guard(m_lock);
    auto found = m_mapSubscribed.find(from.owner);
    if (found == m_mapSubscribed.end()) {
      notice.Format("收到群组 %s 的消息，但您不在这个群组中，已丢弃", from.owner.GetString());
      return false;
    }
    name = found->second;
  }
  record.msg_type = kCodeGroup;
  record.thread_id = m_options.groupMsgHead + from.owner;
  record.thread_members = record.thread_id;
  if (!name.IsEmpty()) record.title = name;
  return true;
}

void MqttTransport::Answer(const char* code, unsigned pushId, const std::string& json) {
  ExclusiveGuard guard(m_lock);
  m_mapQueues[m_options.pools.Answer(code).Str()].push_back({pushId, 0, json});
}

void MqttTransport::AnswerError(const char* code, unsigned pushId, OrbServerError error, const CString& info) {
  Answer(code, pushId, ServerTexts::Error(error, info));
}

void MqttTransport::Notice(const CString& text) {
  ExclusiveGuard guard(m_lock);
  if (m_listNotices.size() < 1000) m_listNotices.push_back(text);
}

bool MqttTransport::ReadCommunity(const CString& groupId, Community& community) const {
  sqlite3* db = nullptr;
  const std::string path = Utf8(m_who.databasePath);
  bool found = false;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK) {
    sqlite3_busy_timeout(db, 2000);
    CSqliteStatement select;
    if (select.Prepare(db, "SELECT groupname, groupdes, members FROM CustCommunity WHERE groupid = ?") == SQLITE_OK &&
        select.BindText(1, Utf8(groupId)) == SQLITE_OK && select.Step() == SQLITE_ROW) {
      community.name = Ansi(select.ColumnText(0));
      community.description = Ansi(select.ColumnText(1));
      community.members = MemberList(Ansi(select.ColumnText(2)));
      found = true;
    }
  }
  sqlite3_close_v2(db);
  return found;
}

std::vector<CString> MqttTransport::MemberCommunities() {
  sqlite3* db = nullptr;
  const std::string path = Utf8(m_who.databasePath);
  std::vector<CString> groups;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK) {
    CSqliteStatement select;
    if (select.Prepare(db, "SELECT groupid FROM CustCommunity") == SQLITE_OK)
      while (select.Step() == SQLITE_ROW) groups.push_back(Ansi(select.ColumnText(0)));
  }
  sqlite3_close_v2(db);
  std::vector<CString> member;
  for (CString& groupId : groups) {
    groupId.Trim();
    Community community;
    if (!MqttTopics::IsUsableId(groupId) || !ReadCommunity(groupId, community) ||
        !community.members.Contains(m_who.memberId))
      continue;
    ExclusiveGuard guard(m_lock);
    m_mapSubscribed[groupId] = community.name;
    member.push_back(groupId);
  }
  return member;
}

CString MqttTransport::NextMessageId() {
  CString id;
  id.Format("%s%llu", m_strMsgIdPrefix.GetString(), ++m_nMessageCount);
  return id;
}
