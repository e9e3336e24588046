#pragma once
// The conversation windows as the received-message dispatcher finds and
// opens them. The chat manager implements it over its window registry; the
// windows stay the registry's.
class IChatWindow;

class IChatWindowRegistry {
 public:
  virtual ~IChatWindowRegistry() = default;
  // The newest window whose senders pushed pushId, or null.
  virtual IChatWindow* FindByPushId(unsigned pushId) = 0;
  // The window for a target, found by members then thread id, or opened;
  // null only when no window could be made.
  virtual IChatWindow* OpenForm(const char* threadId, const char* members, const char* groupId) = 0;
};
