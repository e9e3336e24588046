#include "chat/CReceivedDispatch.h"

#include <memory>
#include <vector>

#include "InfoMsgStructer.h"
#include "chat/IChatLookups.h"
#include "chat/IChatWindow.h"
#include "chat/IChatWindowRegistry.h"
#include "messaging/ReceivedText.h"
#include "support/ChatDbRules.h"

namespace {

constexpr unsigned kNoPushId = 0;
constexpr unsigned kUnsolicited = 0xFFFFFFFF;
constexpr int kSessionEstablished = 2;

void CopyIfPresent(const CReceivedText& parsed, ReceivedKey key, CString& field) {
  if (parsed.Has(key)) field = parsed.Get(key);
}

CString Lower(const CString& text) {
  CString lower(text);
  lower.MakeLower();
  return lower;
}

}  // namespace

void CReceivedDispatch::Dispatch(const CString& text, unsigned pushId) {
  IChatWindow* owner = pushId != kNoPushId && pushId != kUnsolicited ? m_windows.FindByPushId(pushId) : nullptr;
  const CReceivedText parsed = CReceivedText::Parse(text);
  if (owner && ConsumeAnswer(*owner, text, parsed, pushId)) return;
  if (!parsed.IsJson()) return;

  auto record = std::make_unique<InfoMsgStructer>();
  CopyIfPresent(parsed, ReceivedKey::Abstract, record->abstract);
  CopyIfPresent(parsed, ReceivedKey::Body, record->body);
  CopyIfPresent(parsed, ReceivedKey::FromId, record->from_id);
  CopyIfPresent(parsed, ReceivedKey::From, record->from);
  CopyIfPresent(parsed, ReceivedKey::MsgId, record->msg_id);
  CopyIfPresent(parsed, ReceivedKey::MsgType, record->msg_type);
  CopyIfPresent(parsed, ReceivedKey::PublishTime, record->publish_time);
  CopyIfPresent(parsed, ReceivedKey::ThreadId, record->thread_id);
  if (record->from_id == record->from) record->from = m_lookups.GetDisplayName(record->from_id);

  CString groupId, groupName, groupDes;
  bool isCommunity = false;
  if (parsed.Has(ReceivedKey::ThreadMembers)) {
    CString members = parsed.Get(ReceivedKey::ThreadMembers);
    isCommunity = m_lookups.LookupCommunity(record->thread_id, members, groupId, groupName, groupDes);
    record->thread_members = members;
  }
  CopyIfPresent(parsed, ReceivedKey::Title, record->title);
  CopyIfPresent(parsed, ReceivedKey::Url, record->url);
  // Delivery confirmations and other answers carry no member list.
  if (record->thread_members.IsEmpty()) return;
  // A message without a sender id has no sender to record: a chat object
  // with an empty id would show in the tree as a contact named "*".
  if (!record->from.IsEmpty() && !record->from_id.IsEmpty()) m_lookups.RecordChatObject(record->from_id, record->from);

  IChatWindow* window = owner;
  if (!window) {
    window = m_windows.OpenForm(record->thread_id, record->thread_members, groupId);
    if (!window) return;
    if (isCommunity) {
      window->SetCaption(groupName);
      window->SetBannerText(groupDes);
      window->SetGroupId(groupId);
    }
  }
  if (window->GetThreadId() != record->thread_id) window->SetThreadId(record->thread_id);
  if (window->GetMembers() != record->thread_members) window->SetMembers(record->thread_members);
  if (window->IsGroup() || window->GetSessionState() != kSessionEstablished) window->MarkSessionEstablished();
  UpdateCaption(*window, *record);
  window->QueueMessage(std::move(record));
}

// The answer to the window's own session application is shown whatever it
// says; a failure answer shows its code and message. Both are used up, so a
// failure never becomes a chat record.
bool CReceivedDispatch::ConsumeAnswer(IChatWindow& owner, const CString& text, const CReceivedText& parsed,
                                      unsigned pushId) {
  bool consumed = false;
  if (!owner.IsGroup() && owner.GetApplyPushId() != 0 && owner.GetApplyPushId() == pushId) {
    owner.SetSessionState(kSessionEstablished);
    owner.ShowSystemMessage("申请会话应答：", text);
    consumed = true;
  }
  if (parsed.IsJson() && parsed.IsFailure()) {
    if (parsed.HasErrorInfo()) owner.ShowSystemMessage("系统错误", parsed.FormatFailureLine());
    consumed = true;
  }
  return consumed;
}

void CReceivedDispatch::UpdateCaption(IChatWindow& window, InfoMsgStructer& record) {
  record.thread_members.Trim();
  const CString& members = record.thread_members;
  CString other;
  if (OneOtherMember(members, m_strOwnMemberId, other)) {
    const CString name = m_lookups.GetDisplayName(other);
    if (!members.IsEmpty() && window.GetTitle() != name) window.SetTitle(name);
  }
  // A conversation of three or more carries its title.
  if (!members.IsEmpty() && members.Find(',') >= 2 && window.GetTitle() != record.title &&
      record.title.GetLength() >= 2)
    window.SetTitle(record.title);
}

// The user's own id is taken out as a whole member and without regard to
// case, so the id c1001 is not cut out of c10011; what is left is one other
// member when it holds no ",".
bool CReceivedDispatch::OneOtherMember(const CString& members, const CString& ownMemberId, CString& other) {
  const CString own = Lower(ownMemberId);
  const CString lower = Lower(members);
  std::vector<CString> rest;
  int start = 0;
  while (start <= lower.GetLength()) {
    int comma = lower.Find(',', start);
    if (comma < 0) comma = lower.GetLength();
    const CString piece = lower.Mid(start, comma - start);
    if (piece != own || own.IsEmpty()) rest.push_back(piece);
    start = comma + 1;
  }
  CString left;
  for (size_t i = 0; i < rest.size(); ++i) left += (i ? "," : "") + rest[i];
  if (left.Find(',') >= 0) return false;
  other = left;
  return true;
}
