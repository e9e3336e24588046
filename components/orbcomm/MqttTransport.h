#pragma once
// The chat server's side of the session object, when the session talks MQTT
// to a broker instead of the embedded server: it reads the module's requests
// and publishes their messages, answers what the broker has no part in
// (session applications, community information, delivery confirmations)
// itself, and turns received messages into the texts the module pops, in
// the same shapes the embedded server gives.
//
//   session application   the thread and its members are remembered here;
//                         answered at once to the push id
//   personal message      one copy to the inbox of every other member of
//                         the thread; confirmed to the push id once the
//                         broker has acknowledged every copy
//   group message         one copy to the community's topic; confirmed the
//                         same way
//   GetGroupInfo          answered from the user's local chat database,
//                         which also makes the session read the community
//
// A received message's sender is the one its topic names (the broker lets
// nobody write a topic that names somebody else); what the payload says
// about the sender is not believed. Every message is kept in the queue file
// from the moment it is pushed until the broker has it, and from the moment
// it arrives until the module pops it; a message that arrives again (QoS 1
// may repeat) is recognised by its sender and message id and dropped.
//
// Push, Pop and PopNotice run on the caller's thread and return at once;
// the connection's thread calls the listener functions. One lock guards
// what both touch.
#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "CString.h"
#include "InfoMsgStructer.h"
#include "MemberList.h"
#include "MqttConnection.h"
#include "MqttQueueStore.h"
#include "MqttTopics.h"
#include "OrbServerError.h"
#include "PoolNames.h"
#include "RequestParser.h"

class MqttTransport : private MqttConnection::Listener {
 public:
  struct Identity {
    CString memberId;      // role code and user id: client id, user name, sender in topics
    CString alias;         // display name, "" allowed
    CString databasePath;  // the local chat database (communities)
    CString queuePath;     // the queue file
  };
  struct Options {
    PoolNames pools;
    CString groupMsgHead = "g";
    CString topicRoot = "orbchat";
  };

  MqttTransport(const Options& options);
  ~MqttTransport() override;
  MqttTransport(const MqttTransport&) = delete;
  MqttTransport& operator=(const MqttTransport&) = delete;

  // Opens the queue file, takes up what it holds (messages still to send
  // are sent, messages still to pop are popped) and starts the connection.
  // False with a message in error when the queue file cannot be used.
  bool Start(const Identity& who, const MqttConnectionSettings& settings, CString& error);
  void Stop();

  void Push(const CString& pool, const CString& body, unsigned pushId);
  bool Pop(const CString& pool, unsigned& pushId, CString& text);
  // The next notice for the user (code page 936): a lost or refused
  // connection, a message that could not be taken. False when none.
  bool PopNotice(CString& text);
  bool IsConnected() const { return m_connection.IsConnected(); }
  // Messages the broker has not acknowledged yet.
  int GetUnsentCount() const;
  const CString& SessionId() const { return m_strSessionId; }

  // The longest request body taken, as the embedded server.
  static constexpr size_t kMaxBodyBytes = 8u << 20;

 private:
  struct Entry {
    unsigned pushId;
    long long inboxSeq;  // 0: not in the queue file (answers)
    std::string text;
  };
  // A message being sent: confirmed once every copy is acknowledged.
  struct Sending {
    unsigned pushId = 0;
    CString code;
    int remaining = 0;
    bool failed = false;
    std::string confirmation;
  };
  struct Community {
    CString name;
    CString description;
    MemberList members;
  };

  void OnConnected() override;
  void OnConnectionLost(const CString& notice) override;
  void OnPublished(long long seq, int reason, const CString& why) override;
  void OnMessage(const std::string& topic, const std::string& payload) override;
  void OnTurnEnd() override;
  // Removes the popped messages from the queue file.
  void ForgetPopped();

  void HandleApplication(const RequestParser::Values& values, unsigned pushId);
  void HandlePersonal(const RequestParser::Values& values, unsigned pushId);
  void HandleGroup(const RequestParser::Values& values, unsigned pushId);
  void HandleGroupInfo(const CString& body, unsigned pushId);
  // Fills the texts of a message request; false with an error answer sent.
  bool ReadTexts(const RequestParser::Values& values, const char* code, unsigned pushId, InfoMsgStructer& record);
  // Stores and publishes record to every topic; the confirmation follows
  // the last acknowledgement.
  void Send(const char* code, unsigned pushId, InfoMsgStructer& record, const std::vector<CString>& topics);
  bool TakeInbox(const MqttTopics::Parsed& from, InfoMsgStructer& record, CString& notice);
  bool TakeCommunity(const MqttTopics::Parsed& from, InfoMsgStructer& record, CString& notice);

  void Answer(const char* code, unsigned pushId, const std::string& json);
  void AnswerError(const char* code, unsigned pushId, OrbServerError error, const CString& info);
  void Notice(const CString& text);
  bool ReadCommunity(const CString& groupId, Community& community) const;
  // The community of the local chat database with the user as a member;
  // otherwise false with the error answer (406 or 403) sent.
  bool MemberCommunity(const CString& groupId, const char* code, unsigned pushId, Community& community);
  // The communities of the local chat database that list the user, now
  // taken as the ones the session reads.
  std::vector<CString> MemberCommunities();
  CString NextMessageId();

  const Options m_options;
  const MqttTopics m_topics;
  Identity m_who;
  CString m_strSessionId;
  CString m_strMsgIdPrefix;
  unsigned long long m_nMessageCount = 0;
  MqttQueueStore m_store;
  MqttConnection m_connection;

  mutable SRWLOCK m_lock = SRWLOCK_INIT;
  std::map<std::string, std::deque<Entry>> m_mapQueues;  // by answer pool
  std::deque<CString> m_listNotices;
  CString m_strLastConnectionNotice;
  bool m_bWasConnected = false;
  std::map<std::string, MemberList> m_mapThreads;  // by thread id
  std::map<long long, Sending> m_mapSending;       // by message key
  std::map<long long, long long> m_mapSeqToMessage;
  long long m_nNextMessageKey = 1;
  int m_nUnsent = 0;
  std::map<CString, CString> m_mapSubscribed;  // group id -> community name

  // The connection thread's own: acknowledged copies and received messages
  // of the current turn, stored at its end.
  std::vector<long long> m_arrAcked;
  std::vector<MqttQueueStore::Incoming> m_arrIncoming;
  // The caller's own: popped messages still in the queue file.
  std::vector<long long> m_arrPopped;
};
