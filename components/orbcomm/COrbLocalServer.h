#pragma once
// The embedded chat server: several session objects (several users) of one
// process share it. It serves session applications, personal and group
// messages and community information requests, queues every answer and message
// in the recipient's mailbox (also while the recipient is offline) and hands
// them out through the sessions' Pop. See README.md for the protocol.
//
// All calls are safe from several threads; each returns at once. The server's
// lock is held only for look-ups, changes and queueing, never while a
// request is parsed or a message written.
#include <cstddef>
#include <memory>

#include "CString.h"
#include "OrbServerError.h"
#include "OrbcommApi.h"

class COrbHttp_Protocol_Orb;

class ORBCOMM_API COrbLocalServer {
 public:
  COrbLocalServer();
  ~COrbLocalServer();  // unlinks every session still linked
  COrbLocalServer(const COrbLocalServer&) = delete;
  COrbLocalServer& operator=(const COrbLocalServer&) = delete;

  // Pool names. Defaults: code "5" answers "orb.sys.ans"; "505" requests
  // "orb.chat.req", answers "orb.chat.ans"; "506" requests "orb.group.req",
  // answers "orb.group.ans". Community information requests come on the
  // literal pool "GetGroupInfo". An empty name leaves that direction unchanged.
  void SetPool(const CString& code, const CString& reqPool, const CString& ansPool);
  CString GetRequestPool(const CString& code) const;
  CString GetAnswerPool(const CString& code) const;
  // Takes the pool names of the codes "5", "505" and "506" from a host XML
  // text (layout in README.md); names it does not find keep their value.
  // False when the text gives none.
  bool LoadPools(const CString& xmlText);
  // The host XML text for the current pool names.
  CString MakePoolXml() const;

  // Prefix of community thread keys ("g" by default).
  void SetGroupMsgHead(const CString& head);
  CString GetGroupMsgHead() const;

  // Registers or replaces a community; members are member ids joined by ",".
  // False for an empty or unsafe id.
  bool AddCommunity(const CString& groupId, const CString& name, const CString& description,
                    const CString& members);

  // Simulated peers, users that live inside the server. The echo peer answers
  // every personal message with the same content on the same thread; the group
  // peer answers every group message in the communities it belongs to. Peers
  // never answer peers. False for an empty member id or one already taken.
  bool AddEchoPeer(const CString& memberId, const CString& alias);
  bool AddGroupPeer(const CString& memberId, const CString& alias);

  // Most texts (default 1,000,000) and most bytes of texts (default 128 MiB)
  // one mailbox holds; a message that would overflow a recipient is refused
  // for everyone with ORB_ERR_MAILBOX_FULL to the sender, and what the full
  // mailbox holds stays.
  void SetMailboxLimit(int limit);
  void SetMailboxByteLimit(size_t bytes);

  // Observation for hosts and tests.
  bool IsOnline(const CString& memberId) const;
  int GetQueuedCount(const CString& memberId) const;
  bool HasThread(const CString& threadId) const;
  // The thread's members as the server keeps them, "" for an unknown thread.
  CString GetThreadMembers(const CString& threadId) const;

 private:
  friend class COrbHttp_Protocol_Orb;
  struct Impl;
  std::unique_ptr<Impl> m_pImpl;
};
