#include "MessageBoxRecorder.h"

#include "Seams.h"

namespace OrbTesting {

namespace {

int FirstButton(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
      return IDYES;
    case MB_RETRYCANCEL:
      return IDRETRY;
    case MB_ABORTRETRYIGNORE:
      return IDABORT;
    default:
      return IDOK;
  }
}

}  // namespace

MessageBoxRecorder::MessageBoxRecorder() {
  Seams::SetMessageBox([this](HWND owner, const char* text, const char* caption, UINT type) {
    return Respond(owner, text, caption, type);
  });
}

MessageBoxRecorder::~MessageBoxRecorder() { Seams::SetMessageBox(nullptr); }

int MessageBoxRecorder::Respond(HWND owner, const char* text, const char* caption, UINT type) {
  m_asked.push_back(AskedMessageBox{owner, CString(text), CString(caption), type});
  if (m_answers.empty()) return FirstButton(type);
  const int answer = m_answers.front();
  m_answers.pop_front();
  return answer;
}

}  // namespace OrbTesting
