// Shows one of the directory's dialogs over a small test database, for
// pictures (scripts/screenshot.sh ... -- dialog_preview.exe NAME). NAME is
// edittag, rename, selecttag, grouptag or browser. The dialog stays open
// until it is closed.
#include <windows.h>

#include <cstring>

#include "CFakeSession.h"
#include "CTestChatDb.h"
#include "chat/ModuleHandle.h"
#include "directory/COrbChat_ContactBrowser.h"
#include "directory/COrbChat_EditTag.h"
#include "directory/COrbChat_ReNameDlg.h"
#include "directory/COrbChat_SelectContactTag.h"
#include "directory/COrbChat_SelectGroupTag.h"

int main(int argc, char** argv) {
  HMODULE module = ::LoadLibraryA("OrbChat.dll");
  if (!module) return 2;
  SetOrbChatModuleHandle(module);
  CTestChatDb db;
  db.Exec("INSERT INTO CustChatObjectTag(tag, name) VALUES(2, '同事'), (1, '我的好友'), (3, '家人');"
          "INSERT INTO CustChatGroupTag(tag, name) VALUES(1, '项目组'), (2, '兴趣');"
          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 250) "
          "INSERT INTO ContactList(contactid, name, role) SELECT 'c' || (1000 + i), '联系人' || i, "
          "CASE i % 3 WHEN 0 THEN 'c' WHEN 1 THEN 's' ELSE 't' END FROM n;");
  CFakeSession session(db.Path());
  session.m_login.m_strCustomFilePath = db.Path();
  const char* name = argc > 1 ? argv[1] : "browser";
  if (std::strcmp(name, "edittag") == 0) {
    COrbChat_EditTag dialog(nullptr);
    dialog.DoModal();
  } else if (std::strcmp(name, "rename") == 0) {
    COrbChat_ReNameDlg dialog(nullptr, "我的好友");
    dialog.SetCaption("修改分组名");
    dialog.SetLabel("新的组名");
    dialog.DoModal();
  } else if (std::strcmp(name, "selecttag") == 0) {
    COrbChat_SelectContactTag dialog(nullptr, &session);
    dialog.DoModal();
  } else if (std::strcmp(name, "grouptag") == 0) {
    COrbChat_SelectGroupTag dialog(nullptr, &session);
    dialog.DoModal();
  } else {
    COrbChat_ContactBrowser dialog(nullptr, &session, nullptr);
    dialog.DoModal();
  }
  ::FreeLibrary(module);
  return 0;
}
