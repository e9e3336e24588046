#pragma once
// The state and the request handling of the embedded chat server: pools,
// users and their mailboxes, threads, communities and simulated peers. One
// lock guards the state, so sessions on several threads may use it; it is
// held only to look state up, change it and queue texts. Parsing a request,
// decoding its texts and writing the JSON of a message run outside it, so
// threads do not wait on each other's work.
#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "CString.h"
#include "Mailbox.h"
#include "MemberList.h"
#include "OrbServerError.h"
#include "RequestParser.h"
#include "ServerLink.h"

class ChatServerCore {
 public:
  ChatServerCore();
  ~ChatServerCore();
  ChatServerCore(const ChatServerCore&) = delete;
  ChatServerCore& operator=(const ChatServerCore&) = delete;

  void SetPool(const CString& code, const CString& reqPool, const CString& ansPool);
  CString GetRequestPool(const CString& code) const;
  CString GetAnswerPool(const CString& code) const;
  void SetGroupMsgHead(const CString& head);
  CString GetGroupMsgHead() const;
  bool AddCommunity(const CString& groupId, const CString& name, const CString& description, const CString& members);
  bool AddPeer(const CString& memberId, const CString& alias, bool groupPeer);
  void SetMailboxLimit(int limit);
  void SetMailboxByteLimit(size_t bytes);
  static constexpr size_t kDefaultMailboxBytes = size_t{128} << 20;

  bool IsOnline(const CString& memberId) const;
  int GetQueuedCount(const CString& memberId) const;
  bool HasThread(const CString& threadId) const;
  CString GetThreadMembers(const CString& threadId) const;

  // A session of memberId comes online; sessionKey tells session objects
  // apart (answers queued for another session object are dropped). Null with
  // a message in error when the member id is not one a user can have.
  std::shared_ptr<ServerLink> Attach(const CString& memberId, const CString& alias, unsigned long long sessionKey,
                                     CString& error);
  void Detach(const std::shared_ptr<ServerLink>& link);
  // One request of a linked session, answered into mailboxes before it returns.
  void Submit(const std::shared_ptr<ServerLink>& link, const CString& pool, const CString& body, unsigned pushId);
  // The next text of the session's pool; false when there is none.
  bool Take(const std::shared_ptr<ServerLink>& link, const CString& pool, unsigned& pushId, CString& text);

  // Longest request body accepted (bytes).
  static constexpr size_t kMaxBodyBytes = 8u << 20;

 private:
  struct User {
    CString memberId;
    CString alias;
    std::shared_ptr<ServerLink> link;  // null while offline
    unsigned long long sessionKey = 0; // the session object the answers in the mailbox are for
    Mailbox mailbox;
  };
  struct Thread {
    MemberList members;
  };
  struct Community {
    CString name;
    CString description;
    MemberList members;
  };
  enum class PeerKind { Echo, Group };
  struct Peer {
    CString memberId;
    CString alias;
    PeerKind kind;
  };
  // Who sent the request being handled. Users are never removed, so the
  // pointer stays valid; the link tells whether the session still owns the
  // mailbox when its answer is queued.
  struct Sender {
    CString memberId;
    CString alias;
    User* user = nullptr;  // null for a peer
    unsigned pushId = 0;
    std::shared_ptr<ServerLink> link;
  };
  // One message for delivery, code page 936 texts. Deliver fills the id and
  // the time.
  struct Message {
    CString code;  // "505" or "506"
    CString threadId;
    CString memberText;
    CString title;
    CString abstract;
    CString body;
    CString url;
    CString groupId;  // group messages only
    CString fromId;
    CString fromName;
    CString msgId;
    CString publishTime;
  };
  // A message that reached a peer, which answers it once the request that
  // brought it is done.
  struct PeerTask {
    const Peer* peer;
    Message received;
  };

  using PeerTasks = std::vector<PeerTask>;
  // Buffers one request is parsed and decoded into. They are kept between
  // requests, in a pool of their own, so that a long body does not cost
  // fresh allocations every time.
  struct Scratch {
    RequestParser::Values values;
    std::wstring wide;
  };
  std::unique_ptr<Scratch> TakeScratch();
  void GiveScratch(std::unique_ptr<Scratch> scratch);

  // These run without the lock and take it for each look-up or change.
  bool SenderOf(const std::shared_ptr<ServerLink>& link, unsigned pushId, Sender& sender);
  void HandleRequest(const Sender& sender, const CString& pool, const CString& body, Scratch& scratch,
                     PeerTasks& tasks);
  void HandleApplication(const Sender& sender, Scratch& scratch);
  void HandlePersonal(const Sender& sender, Scratch& scratch, PeerTasks& tasks);
  void HandleGroup(const Sender& sender, Scratch& scratch, PeerTasks& tasks);
  void HandleGroupInfo(const Sender& sender, const CString& body);
  // Delivers to every member but the sender; false (and an error answer) when
  // a mailbox is full, then nobody receives it. Peers that received it are
  // added to tasks.
  bool Deliver(const Sender& sender, Message& message, const MemberList& recipients, PeerTasks& tasks);
  void RunPeerTasks(PeerTasks& tasks);
  void PeerReply(const PeerTask& task);

  void Answer(const Sender& sender, const CString& code, const std::string& json);
  void AnswerError(const Sender& sender, const CString& code, OrbServerError error, const CString& info);
  // The same with the lock held.
  void AnswerLocked(const Sender& sender, const CString& code, const std::string& json);
  const std::string& AnswerPoolLocked(const CString& code) const;
  // Decodes the UTF-8 value of key to code page 936; false when not valid UTF-8.
  static bool TextOf(Scratch& scratch, const char* key, CString& text);
  // body, abstract and from of a message request.
  static bool ReadTexts(Scratch& scratch, Message& message);
  static CString DefaultName(const Sender& sender);
  CString NextMessageId();
  // YYYYMMDDHHMMSS, local time.
  CString Now();

  User& UserOf(const CString& memberId);
  const Peer* PeerOf(const CString& memberId) const;
  User* LinkedUser(const std::shared_ptr<ServerLink>& link);

  mutable SRWLOCK m_lock = SRWLOCK_INIT;
  std::map<CString, std::pair<CString, CString>> m_mapPools;  // code -> (request pool, answer pool)
  CString m_strGroupMsgHead = "g";
  std::unordered_map<std::string, User> m_mapUsers;           // by member key
  std::unordered_map<std::string, Thread> m_mapThreads;       // by thread id
  std::map<CString, Community> m_mapCommunities;              // by group id
  std::unordered_map<std::string, Peer> m_mapPeers;           // by member key
  int m_nMailboxLimit = 1000000;
  size_t m_nMailboxByteLimit = kDefaultMailboxBytes;
  std::atomic<unsigned long long> m_nMessageCount{0};
  unsigned m_nSessionCount = 0;
  DWORD m_nStamp;
  CString m_strIdPrefix;
  SRWLOCK m_scratchLock = SRWLOCK_INIT;
  std::vector<std::unique_ptr<Scratch>> m_arrScratch;
  // The time text of the current second, under a lock of its own.
  SRWLOCK m_timeLock = SRWLOCK_INIT;
  unsigned long long m_nNowSecond = 0;
  CString m_strNow;
};
