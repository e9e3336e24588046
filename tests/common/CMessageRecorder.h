#pragma once
// Records the messages one window receives, sent or posted, while the
// recorder lives, through thread hooks that leave the window's procedure
// (and whoever subclassed it) untouched. A test can then say "filling 500
// nodes sent at most N messages" or check which messages arrived in order.
#include <windows.h>

#include <vector>

class CMessageRecorder {
 public:
  struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  // Records what reaches window (or its children too, when withChildren)
  // on the calling thread.
  explicit CMessageRecorder(HWND window, bool withChildren = false);
  ~CMessageRecorder();
  CMessageRecorder(const CMessageRecorder&) = delete;
  CMessageRecorder& operator=(const CMessageRecorder&) = delete;

  const std::vector<Message>& Messages() const { return m_arrMessages; }
  size_t Count() const { return m_arrMessages.size(); }
  size_t Count(UINT message) const;
  void Clear() { m_arrMessages.clear(); }

 private:
  static LRESULT CALLBACK OnSent(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK OnPosted(int code, WPARAM wParam, LPARAM lParam);
  void Record(HWND target, UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_hWnd;
  bool m_bWithChildren;
  HHOOK m_hSent = nullptr;
  HHOOK m_hPosted = nullptr;
  CMessageRecorder* m_pOuter = nullptr;  // a recorder made earlier on this thread
  std::vector<Message> m_arrMessages;
};
