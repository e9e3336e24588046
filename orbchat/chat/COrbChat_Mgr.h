#pragma once
// The chat manager: a hidden dialog window, created with the host panel and
// living as long as it does. It reads the answer pool names from the host's
// XML file and the community thread prefix from the host's INI file, asks the
// server once for information on every community of the local database, and
// polls the answer pools on two timers, handing every text to the received-
// message dispatcher. It owns every conversation window, finds or opens the
// window of a target, and answers the directory look-ups.
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "CDialog.h"
#include "CString.h"
#include "chat/IChatLookups.h"
#include "chat/IChatWindowRegistry.h"
#include "form/COrbChat_Form.h"

class CReceivedDispatch;
class COrbHttp_Protocol_Orb;

class COrbChat_Mgr : public CDialog, public IChatWindowRegistry, public IChatLookups {
 public:
  static constexpr int kMaxTextsPerTick = 100;

  // pProtocol may be null; then nothing is ever polled or looked up.
  explicit COrbChat_Mgr(COrbHttp_Protocol_Orb* pProtocol);
  // Destroys and deletes every conversation window, first to last.
  ~COrbChat_Mgr() override;

  BOOL OnInitDialog() override;
  // The manager's window is never shown; keys that reach it change nothing.
  void OnOK() override {}
  void OnCancel() override {}

  // The conversation window of a target: found by members, then thread id,
  // or made (hidden, then shown minimised) and appended to the registry. A
  // group id makes it a group conversation; without a thread id it applies
  // for a session one second later. Null only when no window could be made.
  COrbChat_Form* OpenForm(const char* threadId, const char* members, const char* groupId) override;
  // The newest window whose member set equals members (the user's own member
  // id counted in, letter case ignored), else the newest whose thread id is
  // threadId (an empty one matches nothing); null when none.
  COrbChat_Form* FindForm(const char* threadId, const char* members) const;
  IChatWindow* FindByPushId(unsigned pushId) override;

  // Directory look-ups over the local chat database (each opens and closes
  // it). The name to show for a member id: the chat object's alias or name,
  // else the contact's name, else the masked id.
  CString GetDisplayName(const char* contactId) override;
  // Appends the sender as a chat object (tag from the host INI file, role
  // from the id's first letter) or refreshes its name.
  void RecordChatObject(const char* contactId, const char* name) override;
  // True when threadId and the member text both name a community of the
  // database (the group prefix and its id); members then become its members.
  bool LookupCommunity(const char* threadId, CString& members, CString& groupId, CString& groupName,
                       CString& groupDes) override;
  // Pushes one "GetGroupInfo" request per community in the local database
  // (its trimmed id as the body); the push ids are not kept.
  void RequestCommunityInfo();
  // The local chat database: the login record's data file with ".dat"; ""
  // without a server session object or login record.
  CString GetDBPath() const;
  // The user's role code followed by the user id.
  CString GetOwnMemberId() const;

  // Pops up to kMaxTextsPerTick texts of the pool and dispatches each;
  // nothing without a session object or a pool name.
  void PollPool(const CString& pool);

  COrbHttp_Protocol_Orb* m_pProtocol;
  CString m_strType5;
  CString m_strType505;
  CString m_strType506;
  CString m_strPool5;
  CString m_strPool505;
  CString m_strPool506;
  int m_nPollInterval = 0;  // milliseconds; set when the window is created
  std::vector<std::unique_ptr<COrbChat_Form>> m_arrForms;  // creation order
  CString m_strGroupMsgHead = "g";
  CString m_strRoleCodes;
  CString m_strMyRole;

 protected:
  void OnTimer(UINT_PTR id);
  DECLARE_MESSAGE_MAP()

 private:
  void ReadPoolNames();
  void ReadGroupMsgHead();
  CString ReadDisplayName(const char* contactId) const;

  std::unique_ptr<CReceivedDispatch> m_pDispatch;
  // During one poll tick the same senders come again and again: their
  // display names and recordings are looked up once per tick. Nothing is
  // kept between ticks, so a change in the database shows at the next one.
  bool m_bInTick = false;
  std::map<CString, CString> m_mapTickNames;
  std::set<std::pair<CString, CString>> m_setTickRecorded;
};
