#pragma once
// The topics of the MQTT transport. Each user reads one inbox, and every
// topic of it names the sender:
//   <root>/u/<recipient>/from/<sender>    personal messages to recipient
//   <root>/g/<group id>/from/<sender>     messages of a community
// The broker's access rules let a client read only its own inbox (and the
// communities it belongs to) and write only topics whose last level is its
// own id, so the sender named by a topic is the one who published it.
// Ids in topics are member ids as the module writes them; they must be
// usable as one topic level (below).
#include <string>

#include "CString.h"

class MqttTopics {
 public:
  enum class Kind { None, Inbox, Community };
  struct Parsed {
    Kind kind = Kind::None;
    CString owner;   // the recipient (inbox) or the group id (community)
    CString sender;
  };

  explicit MqttTopics(const CString& root = "orbchat") : m_strRoot(root) {}

  // Personal messages to recipient from sender.
  CString Inbox(const CString& recipient, const CString& sender) const;
  // The subscription that reads the whole inbox of user.
  CString InboxFilter(const CString& user) const;
  CString Community(const CString& groupId, const CString& sender) const;
  CString CommunityFilter(const CString& groupId) const;
  // Kind::None for a topic that is not one of ours, or whose ids are not
  // usable (see IsUsableId).
  Parsed Parse(const std::string& topic) const;

  // An id that can stand as one topic level and as a client id: 1 to 64
  // bytes of letters, digits and "_", "-", ".", "@" (so no "/", "+", "#",
  // blank or control byte).
  static bool IsUsableId(const CString& id);

 private:
  CString m_strRoot;
};
