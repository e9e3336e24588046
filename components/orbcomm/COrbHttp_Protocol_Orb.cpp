#include "COrbHttp_Protocol_Orb.h"

#include <windows.h>

#include <atomic>
#include <deque>
#include <new>

#include "COrbMsgStore.h"
#include "CodePage.h"
#include "ChatDatabaseSchema.h"
#include "LocalServerImpl.h"
#include "MqttServerImpl.h"
#include "ProfileFolder.h"

struct COrbHttp_Protocol_Orb::Impl {
  struct Unsent {
    CString pool;
    CString body;
    unsigned pushId;
  };

  // Tells session objects apart on the server, also when one is created at
  // the address of one destroyed before.
  unsigned long long key = NextKey();
  bool loggedIn = false;
  InfoLoginInfoStruct login;
  COrbMsgStore store;
  ChatServerCore* core = nullptr;
  std::shared_ptr<ServerLink> link;
  std::unique_ptr<MqttTransport> mqtt;
  unsigned nextPushId = 1;
  std::deque<Unsent> outbox;

  static unsigned long long NextKey() {
    static std::atomic<unsigned long long> last{0};
    return ++last;
  }

  bool IsLinked() const { return mqtt || (core && link && link->alive); }

  // Push ids run 1, 2, ... 0xFFFFFFFE and start again at 1: never 0 (the id
  // of unsolicited texts) and never 0xFFFFFFFF (which callers treat as none).
  unsigned NextPushId() {
    unsigned id = nextPushId;
    nextPushId = id >= 0xFFFFFFFEu ? 1u : id + 1u;
    return id;
  }

  void Unlink() {
    if (core && link && link->alive) core->Detach(link);
    link.reset();
    core = nullptr;
    mqtt.reset();
  }

  bool CanLink(const void* server, CString& error) const {
    error = !loggedIn ? "请先登录" : !server ? "没有服务器" : "";
    return error.IsEmpty();
  }

  // Requests pushed before the link go out now, in order.
  template <typename SubmitFn>
  void SendOutbox(SubmitFn submit) {
    while (!outbox.empty() && IsLinked()) {
      Unsent unsent = outbox.front();
      outbox.pop_front();
      submit(unsent);
    }
  }
};

COrbHttp_Protocol_Orb::COrbHttp_Protocol_Orb() : m_pImpl(std::make_unique<Impl>()) {}

COrbHttp_Protocol_Orb::~COrbHttp_Protocol_Orb() { Logout(); }

bool COrbHttp_Protocol_Orb::Login(const InfoLoginInfoStruct& who, CString& error) {
  Logout();
  InfoLoginInfoStruct login = who;
  if (!ProfileFolder::CheckLogin(login, error)) return false;
  ProfileFolder folder(login.m_strProfileDir, login.m_strUserID);
  if (!folder.Create(error)) return false;
  login.m_strDataFilePath = folder.FilePath(".dat");
  login.m_strCustomFilePath = folder.FilePath(".ini");
  login.m_strMsgFilePath = folder.FilePath(".msg");
  login.m_strUserFlag = login.m_strRole + login.m_strUserID;
  if (!CreateChatDatabase(login.m_strDataFilePath)) {
    error.Format("无法建立本地数据库文件: %s", login.m_strDataFilePath.GetString());
    return false;
  }
  if (!ProfileFolder::CreateEmptyFile(login.m_strCustomFilePath)) {
    error.Format("无法建立用户设置文件: %s", login.m_strCustomFilePath.GetString());
    return false;
  }
  if (!m_pImpl->store.Open(login.m_strMsgFilePath)) {
    error.Format("无法打开消息记录文件: %s (%s)", login.m_strMsgFilePath.GetString(),
                 m_pImpl->store.GetLastError().GetString());
    return false;
  }
  m_pImpl->login = login;
  m_pImpl->loggedIn = true;
  return true;
}

void COrbHttp_Protocol_Orb::Logout() {
  m_pImpl->Unlink();
  m_pImpl->store.Close();
  m_pImpl->outbox.clear();
  m_pImpl->login = InfoLoginInfoStruct();
  m_pImpl->loggedIn = false;
}

bool COrbHttp_Protocol_Orb::IsLoggedIn() const { return m_pImpl->loggedIn; }

bool COrbHttp_Protocol_Orb::Link(COrbLocalServer* server, CString& error) {
  if (!m_pImpl->CanLink(server, error)) return false;
  m_pImpl->Unlink();
  ChatServerCore& core = server->m_pImpl->core;
  m_pImpl->link = core.Attach(GetMemberID(), m_pImpl->login.m_strAlias, m_pImpl->key, error);
  if (!m_pImpl->link) return false;
  m_pImpl->core = &core;
  m_pImpl->SendOutbox([&](const Impl::Unsent& unsent) { core.Submit(m_pImpl->link, unsent.pool, unsent.body, unsent.pushId); });
  return true;
}

bool COrbHttp_Protocol_Orb::Link(COrbMqttServer* server, CString& error) {
  if (!m_pImpl->CanLink(server, error) || !server->CheckAddress(error)) return false;
  m_pImpl->Unlink();
  const InfoLoginInfoStruct& login = m_pImpl->login;
  MqttTransport::Identity who;
  who.memberId = GetMemberID();
  who.alias = login.m_strAlias;
  who.databasePath = login.m_strDataFilePath;
  who.queuePath = ProfileFolder(login.m_strProfileDir, login.m_strUserID).FilePath(".mqq");
  MqttConnectionSettings settings = server->m_pImpl->connection;
  settings.password = CodePage::AnsiToUtf8(login.m_strPassword.GetString(), login.m_strPassword.GetLength());
  auto mqtt = std::make_unique<MqttTransport>(server->m_pImpl->options);
  if (!mqtt->Start(who, settings, error)) return false;
  MqttTransport& transport = *mqtt;
  m_pImpl->mqtt = std::move(mqtt);
  m_pImpl->SendOutbox([&](const Impl::Unsent& unsent) { transport.Push(unsent.pool, unsent.body, unsent.pushId); });
  return true;
}

void COrbHttp_Protocol_Orb::Unlink() { m_pImpl->Unlink(); }

bool COrbHttp_Protocol_Orb::IsLinked() const { return m_pImpl->IsLinked(); }

unsigned COrbHttp_Protocol_Orb::Push(const CString& pool, const CString& body) {
  if (!m_pImpl->loggedIn) return 0;
  unsigned id = m_pImpl->NextPushId();
  if (m_pImpl->mqtt) {
    m_pImpl->mqtt->Push(pool, body, id);
    return id;
  }
  if (m_pImpl->IsLinked()) {
    m_pImpl->core->Submit(m_pImpl->link, pool, body, id);
    return id;
  }
  try {
    m_pImpl->outbox.push_back({pool, body, id});
  } catch (const std::bad_alloc&) {
    return 0;  // not queued: refused like a push before login
  }
  return id;
}

CString COrbHttp_Protocol_Orb::Pop(const CString& pool, unsigned& pushId) {
  pushId = 0;
  CString text;
  try {
    if (m_pImpl->mqtt) return m_pImpl->mqtt->Pop(pool, pushId, text) ? text : CString();
    if (m_pImpl->IsLinked() && m_pImpl->core->Take(m_pImpl->link, pool, pushId, text)) return text;
  } catch (const std::bad_alloc&) {
    // The text stays queued; a later Pop, with memory to spare, gets it.
  }
  pushId = 0;
  return "";
}

CString COrbHttp_Protocol_Orb::GetSessionID() const {
  if (m_pImpl->mqtt) return m_pImpl->mqtt->SessionId();
  return m_pImpl->IsLinked() ? m_pImpl->link->sessionId : CString();
}

bool COrbHttp_Protocol_Orb::IsServerConnected() const {
  if (m_pImpl->mqtt) return m_pImpl->mqtt->IsConnected();
  return m_pImpl->IsLinked();
}

bool COrbHttp_Protocol_Orb::PopNotice(CString& text) { return m_pImpl->mqtt && m_pImpl->mqtt->PopNotice(text); }

CString COrbHttp_Protocol_Orb::GetUserID() const { return m_pImpl->login.m_strUserID; }

CString COrbHttp_Protocol_Orb::GetMyAlias() const { return m_pImpl->login.m_strAlias; }

CString COrbHttp_Protocol_Orb::GetUserIDFlag() const { return m_pImpl->login.m_strUserFlag; }

CString COrbHttp_Protocol_Orb::GetMyRole() const { return m_pImpl->loggedIn ? m_pImpl->login.m_strRole : CString(); }

CString COrbHttp_Protocol_Orb::GetRoleCodes() const {
  return m_pImpl->loggedIn ? m_pImpl->login.m_strRoleCodes : CString();
}

InfoLoginInfoStruct* COrbHttp_Protocol_Orb::GetLoginInfo() {
  return m_pImpl->loggedIn ? &m_pImpl->login : nullptr;
}

CString COrbHttp_Protocol_Orb::GetUserCustomFileName() const { return m_pImpl->login.m_strCustomFilePath; }

bool COrbHttp_Protocol_Orb::SaveMsgToMdb(InfoMsgStructer* msg) {
  if (!msg || !m_pImpl->loggedIn) return false;
  return m_pImpl->store.Save(*msg);
}

bool COrbHttp_Protocol_Orb::SaveMsgsToMdb(InfoMsgStructer* const* msgs, size_t count) {
  if (!msgs) return count == 0;
  if (!m_pImpl->loggedIn) {
    bool all = true;
    for (size_t i = 0; i < count; ++i) all = SaveMsgToMdb(msgs[i]) && all;
    return all;
  }
  if (m_pImpl->store.SaveAll(msgs, count)) return true;
  // The transaction keeps all or none: one at a time, whatever can be stored is.
  bool all = true;
  for (size_t i = 0; i < count; ++i) all = (msgs[i] && m_pImpl->store.Save(*msgs[i])) && all;
  return all;
}

CString COrbHttp_Protocol_Orb::GetMemberID() const {
  return m_pImpl->loggedIn ? m_pImpl->login.m_strRole + m_pImpl->login.m_strUserID : CString();
}

int COrbHttp_Protocol_Orb::GetUnsentCount() const {
  return static_cast<int>(m_pImpl->outbox.size()) + (m_pImpl->mqtt ? m_pImpl->mqtt->GetUnsentCount() : 0);
}
