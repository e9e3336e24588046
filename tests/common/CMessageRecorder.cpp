#include "CMessageRecorder.h"

#include <algorithm>

namespace {
// Hooks carry no context, so the innermost recorder of the thread is kept
// here; each one hands on to the recorder made before it.
thread_local CMessageRecorder* t_pRecorder = nullptr;
}  // namespace

CMessageRecorder::CMessageRecorder(HWND window, bool withChildren)
    : m_hWnd(window), m_bWithChildren(withChildren), m_pOuter(t_pRecorder) {
  t_pRecorder = this;
  m_hSent = SetWindowsHookExW(WH_CALLWNDPROC, &OnSent, nullptr, GetCurrentThreadId());
  m_hPosted = SetWindowsHookExW(WH_GETMESSAGE, &OnPosted, nullptr, GetCurrentThreadId());
}

CMessageRecorder::~CMessageRecorder() {
  if (m_hSent) UnhookWindowsHookEx(m_hSent);
  if (m_hPosted) UnhookWindowsHookEx(m_hPosted);
  t_pRecorder = m_pOuter;
}

size_t CMessageRecorder::Count(UINT message) const {
  return static_cast<size_t>(std::count_if(m_arrMessages.begin(), m_arrMessages.end(),
                                           [message](const Message& m) { return m.message == message; }));
}

void CMessageRecorder::Record(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
  for (CMessageRecorder* recorder = this; recorder; recorder = recorder->m_pOuter) {
    const bool mine = target == recorder->m_hWnd || (recorder->m_bWithChildren && IsChild(recorder->m_hWnd, target));
    if (mine) recorder->m_arrMessages.push_back({message, wParam, lParam});
  }
}

LRESULT CALLBACK CMessageRecorder::OnSent(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && t_pRecorder) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    t_pRecorder->Record(sent->hwnd, sent->message, sent->wParam, sent->lParam);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CMessageRecorder::OnPosted(int code, WPARAM wParam, LPARAM lParam) {
  // A message looked at without removal comes again when it is taken.
  if (code == HC_ACTION && wParam == PM_REMOVE && t_pRecorder) {
    const auto* posted = reinterpret_cast<const MSG*>(lParam);
    t_pRecorder->Record(posted->hwnd, posted->message, posted->wParam, posted->lParam);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
