#pragma once
// The directory look-ups the received-message dispatcher needs. The chat
// manager implements them over the local chat database; tests give a fake.
#include "CString.h"

class IChatLookups {
 public:
  virtual ~IChatLookups() = default;
  // The name to show for a member id: never empty for a non-empty id.
  virtual CString GetDisplayName(const char* contactId) = 0;
  // Records a message's sender as a chat object (or refreshes its name).
  virtual void RecordChatObject(const char* contactId, const char* name) = 0;
  // True when the thread is a known community; members (in and out) then
  // holds the community's members and the last three its id, name and
  // description.
  virtual bool LookupCommunity(const char* threadId, CString& members, CString& groupId, CString& groupName,
                               CString& groupDes) = 0;
};
