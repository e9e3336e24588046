#include "ModalAnswers.h"

#include <typeinfo>

#include "CDialog.h"
#include "Seams.h"

namespace OrbTesting {

namespace {

const UINT_PTR kTimeoutTimer = 0x7AB0;
int* g_timedOut = nullptr;

}  // namespace

ModalAnswers::ModalAnswers() {
  g_timedOut = &m_nTimedOut;
  Seams::SetDoModal([this](CDialog& dialog) { return Respond(dialog); });
}

ModalAnswers::~ModalAnswers() {
  Seams::SetDoModal(nullptr);
  if (g_timedOut == &m_nTimedOut) g_timedOut = nullptr;
}

void ModalAnswers::Answer(INT_PTR code, ActFn act) { m_answers.push_back(Step{false, code, std::move(act), 0}); }

void ModalAnswers::Drive(ActFn script, DWORD timeoutMs) {
  m_answers.push_back(Step{true, IDABORT, std::move(script), timeoutMs});
}

void CALLBACK ModalAnswers::OnTimeout(HWND wnd, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(wnd, id);
  auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(wnd));
  if (!dialog) return;
  if (g_timedOut) ++*g_timedOut;
  dialog->EndDialog(IDABORT);
}

INT_PTR ModalAnswers::Respond(CDialog& dialog) {
  m_asked.push_back(AskedDialog{dialog.GetTemplateId(), typeid(dialog).name()});
  if (m_answers.empty()) {
    ++m_nUnexpected;
    return IDCANCEL;
  }
  Step step = std::move(m_answers.front());
  m_answers.pop_front();
  if (!step.drive) {
    if (step.act) step.act(dialog);
    return step.code;
  }
  return dialog.RunModal([step](CDialog& shown) {
    ::SetTimer(shown.m_hWnd, kTimeoutTimer, step.timeoutMs, &ModalAnswers::OnTimeout);
    if (step.act) step.act(shown);
  });
}

}  // namespace OrbTesting
