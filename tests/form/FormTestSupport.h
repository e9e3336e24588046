#pragma once
// Shared pieces of the conversation window's tests: OrbChat.dll's resources
// for the module code linked into the test, a server session object that
// keeps every stored record, and a form created and shown on a fixed work
// area with a fixed font list.
#include <windows.h>

#include <memory>
#include <vector>

#include "CFakeSession.h"
#include "CRect.h"
#include "CString.h"
#include "InfoMsgStructer.h"
#include "ScopedSeam.h"
#include "Seams.h"

class COrbChat_Form;
class COrbChat_Mgr;

// The user c1001 "张三" (role codes "cs"); SaveMsgToMdb keeps a copy of every
// record.
class CRecordingSession : public CFakeSession {
 public:
  CRecordingSession() {
    m_strUserId = "c1001";
    m_strAlias = "张三";
    m_strRoleCodes = "cs";
  }
  bool SaveMsgToMdb(InfoMsgStructer* msg) override {
    m_arrSaved.push_back(*msg);
    return true;
  }
  std::vector<InfoMsgStructer> m_arrSaved;
};

// A record of an incoming message.
std::unique_ptr<InfoMsgStructer> IncomingRecord(const char* from, const char* fromId, const char* body,
                                                const char* stamp = "20261208093007");

// A form with its window (created, shown, on a 1280 x 1000 work area); with a
// settings file, the session names it as the user's settings file before the
// form reads it.
class CFormFixture {
 public:
  explicit CFormFixture(COrbChat_Mgr* chatMgr = nullptr, const char* settingsFile = nullptr);
  ~CFormFixture();
  CFormFixture(const CFormFixture&) = delete;
  CFormFixture& operator=(const CFormFixture&) = delete;

  CRecordingSession m_session;
  OrbTesting::ScopedSeam<Seams::WorkAreaFn> m_workArea;
  OrbTesting::ScopedSeam<Seams::FontListFn> m_fonts;
  std::unique_ptr<COrbChat_Form> m_pForm;
};

// The rectangle of a control in its parent's client coordinates.
CRect RectInParent(HWND control);
