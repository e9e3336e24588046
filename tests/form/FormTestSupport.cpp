#include "FormTestSupport.h"

#include <gtest/gtest.h>

#include "form/COrbChat_Form.h"
#include "resources/resource.h"

std::unique_ptr<InfoMsgStructer> IncomingRecord(const char* from, const char* fromId, const char* body,
                                                const char* stamp) {
  auto record = std::make_unique<InfoMsgStructer>();
  record->from = from;
  record->from_id = fromId;
  record->body = body;
  record->publish_time = stamp;
  return record;
}

CFormFixture::CFormFixture(COrbChat_Mgr* chatMgr, const char* settingsFile)
    : m_workArea(Seams::SetWorkArea, [] { return RECT{0, 0, 1279, 999}; }),
      m_fonts(Seams::SetScreenFonts, [] { return std::vector<CString>{"宋体", "Arial", "黑体"}; }),
      m_pForm(std::make_unique<COrbChat_Form>("", &m_session, chatMgr)) {
  if (settingsFile) m_session.m_login.m_strCustomFilePath = settingsFile;
  EXPECT_TRUE(m_pForm->Create(IDD_CHAT_FORM, nullptr)) << m_pForm->GetError().GetString();
  m_pForm->ShowWindow(SW_SHOWNORMAL);
}

CFormFixture::~CFormFixture() { m_pForm.reset(); }

CRect RectInParent(HWND control) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}
