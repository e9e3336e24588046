#pragma once
// The server session object of one logged-in user: it pushes requests to the
// chat server and pops the texts the server has queued for the user, holds the
// login record and the user's profile files, and stores every chat message in
// the user's message store.
//
// How a host (or a test) gets a working session:
//
//   COrbLocalServer server;                  // the embedded chat server
//   COrbHttp_Protocol_Orb session;
//   InfoLoginInfoStruct who;
//   who.m_strUserID = "1001"; who.m_strAlias = "张三"; who.m_strRole = "c";
//   who.m_strRoleCodes = "c"; who.m_strProfileDir = "C:\\users\\demo";
//   CString error;
//   session.Login(who, error);    // creates the .dat, .ini and .msg files when missing
//   session.Link(&server, error); // from now on GetSessionID() is not empty
//
// Every call returns at once. The object is not copyable. The server must
// outlive the link (destroying the server unlinks its sessions).
#include <memory>

#include "CString.h"
#include "InfoLoginInfoStruct.h"
#include "InfoMsgStructer.h"
#include "OrbcommApi.h"

class COrbLocalServer;
class COrbMqttServer;

class ORBCOMM_API COrbHttp_Protocol_Orb {
 public:
  COrbHttp_Protocol_Orb();
  virtual ~COrbHttp_Protocol_Orb();
  COrbHttp_Protocol_Orb(const COrbHttp_Protocol_Orb&) = delete;
  COrbHttp_Protocol_Orb& operator=(const COrbHttp_Protocol_Orb&) = delete;

  // Logs the user in against the profile folder of who: checks the user id
  // (letters, digits, "_", "-", ".", "@"; at most 64) and the role code (one
  // letter), creates the folder and the missing files (local chat database,
  // empty settings file, empty message store) and opens the message store.
  // False with a message in error (code page 936) when anything fails; the
  // session is then not logged in. A second login logs the first one out.
  bool Login(const InfoLoginInfoStruct& who, CString& error);
  // Unlinks and forgets the login; the files stay.
  void Logout();
  bool IsLoggedIn() const;

  // Links the logged-in session to a server, which gives it a session id and
  // delivers what waited for the user while offline. Requests pushed before
  // the link are sent now, in order. A later link of the same user to the same
  // server takes the mailbox over from this one.
  bool Link(COrbLocalServer* server, CString& error);
  // Links the session to an MQTT broker instead: the session connects as
  // its member id with the login record's password, on a thread of its own,
  // and keeps trying (with growing pauses) while the broker cannot be
  // reached. It is linked from the start, with a session id: messages
  // pushed meanwhile wait in the user's queue file (<user id>.mqq) and go
  // out when the connection is made. False with a message in error only
  // when the settings or the queue file cannot be used.
  bool Link(COrbMqttServer* server, CString& error);
  void Unlink();
  bool IsLinked() const;
  // MQTT: whether the connection to the broker is up now. The embedded
  // server is always reachable while linked.
  bool IsServerConnected() const;
  // The next notice for the user about the link (code page 936): a lost or
  // refused connection, a received message that could not be taken. False
  // when there is none.
  bool PopNotice(CString& text);

  // Queues the request body for the named request pool and returns its push
  // id: never 0 and never 0xFFFFFFFF, unique within this object. Answers to it
  // come back from Pop with this id. Without a link the request waits and is
  // sent when the link is made; without a login it is refused with 0.
  virtual unsigned Push(const CString& pool, const CString& body);
  // The next text of the named answer pool, "" when there is none. pushId is
  // set to the push id the text answers, 0 for unsolicited texts.
  virtual CString Pop(const CString& pool, unsigned& pushId);

  // "" while no server link exists.
  virtual CString GetSessionID() const;
  virtual CString GetUserID() const;
  virtual CString GetMyAlias() const;
  virtual CString GetUserIDFlag() const;
  // The user's role code (one letter) and the known role codes.
  virtual CString GetMyRole() const;
  virtual CString GetRoleCodes() const;
  // Null before login. The record belongs to this object.
  virtual InfoLoginInfoStruct* GetLoginInfo();
  // The user settings file; "" before login.
  virtual CString GetUserCustomFileName() const;
  // Stores one record in the message store; the record stays the caller's.
  // True once the record is safely on disk.
  virtual bool SaveMsgToMdb(InfoMsgStructer* msg);
  // Stores several records, in order, with one write to disk (a transaction
  // per call rather than per record); true once all are on disk. A session
  // that is not logged in here (a stand-in that answers SaveMsgToMdb itself)
  // hands each record to SaveMsgToMdb.
  virtual bool SaveMsgsToMdb(InfoMsgStructer* const* msgs, size_t count);

  // The member id: role code followed by the user id ("" before login).
  CString GetMemberID() const;
  // Requests waiting for a link, and with MQTT the messages the broker has
  // not acknowledged yet.
  int GetUnsentCount() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> m_pImpl;
};
