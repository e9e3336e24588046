#pragma once
// What the received-message dispatcher does to one conversation window. The
// conversation window implements it; tests give a fake.
#include <memory>

#include "CString.h"

struct InfoMsgStructer;

class IChatWindow {
 public:
  virtual ~IChatWindow() = default;

  // True for a group conversation (the window has a group id).
  virtual bool IsGroup() const = 0;
  // The personal sender's application push id (0 when it applied for none)
  // and its session state (2: session established).
  virtual unsigned GetApplyPushId() const = 0;
  virtual int GetSessionState() const = 0;
  virtual void SetSessionState(int state) = 0;
  virtual void MarkSessionEstablished() = 0;

  virtual CString GetThreadId() const = 0;
  virtual void SetThreadId(const char* threadId) = 0;
  virtual CString GetMembers() const = 0;
  virtual void SetMembers(const char* members) = 0;
  virtual void SetGroupId(const char* groupId) = 0;

  // The conversation's title (m_strTitle), the call that changes title and
  // caption together, and the caption alone.
  virtual CString GetTitle() const = 0;
  virtual void SetTitle(const char* title) = 0;
  virtual void SetCaption(const char* caption) = 0;
  virtual void SetBannerText(const char* text) = 0;

  virtual void ShowSystemMessage(const char* name, const char* text) = 0;
  // The window takes the record, stores it and shows it.
  virtual void QueueMessage(std::unique_ptr<InfoMsgStructer> record) = 0;
};
