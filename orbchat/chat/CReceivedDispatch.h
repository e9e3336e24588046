#pragma once
// Hands one text popped from an answer pool to the conversation it belongs
// to, without any window of its own: answers to a window's session
// application and failure answers become notice lines in that window; chat
// messages become records, their senders are recorded as chat objects, and
// the owning window (found by push id, or by members and thread id, or
// opened) gets its thread id, members and caption brought up to date before
// it takes the record.
#include "CString.h"

class IChatLookups;
class IChatWindow;
class IChatWindowRegistry;
class CReceivedText;
struct InfoMsgStructer;

class CReceivedDispatch {
 public:
  // ownMemberId: the user's role code followed by the user id.
  CReceivedDispatch(IChatWindowRegistry& windows, IChatLookups& lookups, const char* ownMemberId)
      : m_windows(windows), m_lookups(lookups), m_strOwnMemberId(ownMemberId ? ownMemberId : "") {}

  void Dispatch(const CString& text, unsigned pushId);

  // True when the member list names one member besides the user (or none:
  // other is then empty); false when it names two or more.
  static bool OneOtherMember(const CString& members, const CString& ownMemberId, CString& other);

 private:
  // Session and failure answers to the owner window; true when consumed.
  bool ConsumeAnswer(IChatWindow& owner, const CString& text, const CReceivedText& parsed, unsigned pushId);
  // Trims the record's member list and sets the title from it or from the
  // record's title.
  void UpdateCaption(IChatWindow& window, InfoMsgStructer& record);

  IChatWindowRegistry& m_windows;
  IChatLookups& m_lookups;
  CString m_strOwnMemberId;
};
