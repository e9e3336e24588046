#pragma once
// Answers every message box asked through Seams::ShowMessageBox while it
// lives, and records what was asked. Answers come from a queue; when it is
// empty the box's first button is pressed (OK, Yes, Retry or Abort).
#include <windows.h>

#include <deque>
#include <vector>

#include "CString.h"

namespace OrbTesting {

struct AskedMessageBox {
  HWND owner;
  CString text;
  CString caption;
  UINT type;
};

class MessageBoxRecorder {
 public:
  MessageBoxRecorder();
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  // The answer to give to the next box not yet answered (IDYES, IDNO, ...).
  void Answer(int button) { m_answers.push_back(button); }
  const std::vector<AskedMessageBox>& Asked() const { return m_asked; }
  size_t Count() const { return m_asked.size(); }
  // The last box asked; check Count() first.
  const AskedMessageBox& Last() const { return m_asked.back(); }
  void Clear() { m_asked.clear(); }

 private:
  int Respond(HWND owner, const char* text, const char* caption, UINT type);
  std::deque<int> m_answers;
  std::vector<AskedMessageBox> m_asked;
};

}  // namespace OrbTesting
