// How long the chat manager takes for one poll tick of 100 received texts
// for 20 open conversation windows (parsing, look-ups, recording senders,
// queueing; the goal is 30 ms, a tenth of the 300 ms tick), and how long the
// three trees, skinned as in the panel, take to fill from a large local chat
// database:
// 100 tags with 5,000 chat objects, 50 categories with 2,000 discussion
// groups, 20 categories with 500 communities. Rows are written straight
// through SQLite in one transaction; the trees read them through the
// database component as the panel does.
// Then the contact browser over 100,000 contacts: the first page (the dialog
// opened, the table read, the page filled and shown) and each later page.
#include <windows.h>
#include <commctrl.h>
#include <sqlite3.h>

#include <cstdio>
#include <algorithm>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "CFakeSession.h"
#include "CTestFolder.h"
#include "ModalAnswers.h"
#include "chat/ModuleHandle.h"
#include "directory/COrbChat_ContactBrowser.h"
#include "ChatDatabaseSchema.h"
#include "CodePage.h"
#include "OrbSkin.h"
#include "chat/COrbChat_Mgr.h"
#include "chat/ModuleHandle.h"
#include "directory/CChatCmtTreeCtrl.h"
#include "directory/CChatGrpTreeCtrl.h"
#include "directory/CChatObjTreeCtrl.h"
#include "resources/resource.h"

namespace {

bool FillDatabase(const CString& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open(CodePage::AnsiToUtf8(path).c_str(), &db) != SQLITE_OK) return false;
  std::string sql = "BEGIN;";
  char row[256];
  for (int i = 1; i <= 100; ++i) {
    std::snprintf(row, sizeof row, "INSERT INTO CustChatObjectTag(tag,name) VALUES(%d,'标签%d');", i, i);
    sql += row;
  }
  for (int i = 1; i <= 5000; ++i) {
    std::snprintf(row, sizeof row,
                  "INSERT INTO CustChatObjectList(contactid,name,alias,tag,role) VALUES('c%d','联系人%d','',%d,'c');",
                  10000 + i, i, 1 + i % 100);
    sql += row;
  }
  for (int i = 1; i <= 50; ++i) {
    std::snprintf(row, sizeof row, "INSERT INTO CustChatGroupTag(tag,name) VALUES(%d,'分类%d');", i, i);
    sql += row;
  }
  for (int i = 1; i <= 2000; ++i) {
    std::snprintf(row, sizeof row,
                  "INSERT INTO CustChatGroupList(groupid,name,tag,title,members) VALUES(%d,'讨论组%d',%d,'标题',"
                  "'c10001,c10002,c10003');",
                  i, i, 1 + i % 50);
    sql += row;
  }
  for (int i = 1; i <= 20; ++i) {
    std::snprintf(row, sizeof row, "INSERT INTO CustCommunityTag(tag,name) VALUES(%d,'社区分类%d');", i, i);
    sql += row;
  }
  for (int i = 1; i <= 500; ++i) {
    std::snprintf(row, sizeof row,
                  "INSERT INTO CustCommunity(groupid,groupname,tag,groupdes,members) VALUES('%d','社区%d',%d,'简介',"
                  "'c10001,c10002');",
                  i, i, 1 + i % 20);
    sql += row;
  }
  sql += "COMMIT;";
  const std::string utf8 = CodePage::AnsiToUtf8(sql.c_str());
  const bool ok = sqlite3_exec(db, utf8.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

template <class Tree>
double FillMs(const CString& dbPath, CWnd& parent, unsigned& nodes) {
  Tree tree;
  tree.CreateEx(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, CRect(0, 0, 300, 500),
                &parent, 1);
  dsSkinWindow(tree, DSK_TREE, "TreeCtrlChat", 0);  // as the panel skins it
  tree.SetDBPath(dbPath);
  LARGE_INTEGER frequency{}, start{}, end{};
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  tree.InitTree();
  ::QueryPerformanceCounter(&end);
  nodes = tree.GetCount();
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One tick of the manager's polling: 100 texts, five for each of 20 open
// windows, each from a sender the database knows; the median of 5 ticks.
double PollTickMs(const CString& dbPath) {
  CFakeSession session(dbPath);
  COrbChat_Mgr manager(&session);
  if (!manager.Create(IDD_CHAT_MANAGER, nullptr)) return -1;
  constexpr int kWindows = 20;
  for (int w = 0; w < kWindows; ++w) {
    CString thread, members;
    thread.Format("S%d", w);
    members.Format("c1001,c%d", 10001 + w);
    manager.OpenForm(thread, members, "");
  }
  std::vector<double> ticks;
  for (int round = 0; round < 5; ++round) {
    for (int i = 0; i < COrbChat_Mgr::kMaxTextsPerTick; ++i) {
      const int w = i % kWindows;
      CString text;
      text.Format("{\"thread_id\":\"S%d\",\"thread_members\":\"c1001,c%d\",\"from_id\":\"c%d\","
                  "\"from\":\"联系人%d\",\"body\":\"第%d条消息，你好！\",\"msg_type\":\"505\","
                  "\"publish_time\":\"20261208103000\"}",
                  w, 10001 + w, 10001 + w, w, i);
      session.m_mapInbox["bench.pool"].push_back({text, 0});
    }
    const double start = MicrosecondsNow();
    manager.PollPool("bench.pool");
    ticks.push_back((MicrosecondsNow() - start) / 1000);
  }
  size_t queued = 0;
  for (const auto& form : manager.m_arrForms) queued += form->GetPendingCount();
  manager.DestroyWindow();
  if (queued != 500 || manager.m_arrForms.size() != kWindows) return -1;
  std::sort(ticks.begin(), ticks.end());
  return ticks[ticks.size() / 2];
}

bool FillContacts(const CString& path, int count) {
  sqlite3* db = nullptr;
  if (sqlite3_open(CodePage::AnsiToUtf8(path).c_str(), &db) != SQLITE_OK) return false;
  char sql[512];
  std::snprintf(sql, sizeof sql,
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %d) "
                "INSERT INTO ContactList(contactid, name, role) SELECT 'c' || (100000 + i), '%s' || i, 'c' FROM n",
                count, CodePage::AnsiToUtf8("联系人").c_str());
  const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

// The browser with the time its opening (the table counted, the first page
// filled, the controls laid out) took.
class CTimedBrowser : public COrbChat_ContactBrowser {
 public:
  using COrbChat_ContactBrowser::COrbChat_ContactBrowser;
  double m_nInitMs = 0;

 protected:
  BOOL OnInitDialog() override {
    const double begin = MicrosecondsNow();
    const BOOL result = COrbChat_ContactBrowser::OnInitDialog();
    m_nInitMs = (MicrosecondsNow() - begin) / 1000.0;
    return result;
  }
};

void BenchContactBrowser(const CString& path, CWnd& parent) {
  const int contacts = 100000;
  if (!FillContacts(path, contacts)) {
    std::printf("contact browser: could not fill ContactList\n");
    return;
  }
  CFakeSession session(path);
  session.m_login.m_strCustomFilePath = path;
  {
    // The table alone: opened and read whole, then one page taken.
    CContactPager pager;
    double begin = MicrosecondsNow();
    pager.Open(path);
    const double openMs = (MicrosecondsNow() - begin) / 1000.0;
    begin = MicrosecondsNow();
    const size_t rows = pager.ReadPage(50001, COrbChat_ContactBrowser::kPageSize).size();
    std::printf("ContactList of %ld rows: opened in %.1f ms; %zu rows of a page read in %.2f ms\n",
                pager.RecordCount(), openMs, rows, (MicrosecondsNow() - begin) / 1000.0);
  }
  OrbTesting::ModalAnswers modal;
  double firstMs = 0, worstMs = 0, totalMs = 0;
  int pages = 0, lastPage = 0;
  double start = MicrosecondsNow();
  modal.Drive([&](CDialog& dialog) {
    firstMs = (MicrosecondsNow() - start) / 1000.0;
    auto& browser = dynamic_cast<COrbChat_ContactBrowser&>(dialog);
    auto timed = [&](void (COrbChat_ContactBrowser::*page)()) {
      const double begin = MicrosecondsNow();
      (browser.*page)();
      dialog.UpdateWindow();
      const double ms = (MicrosecondsNow() - begin) / 1000.0;
      worstMs = ms > worstMs ? ms : worstMs;
      totalMs += ms;
      ++pages;
    };
    for (int i = 0; i < 20; ++i) timed(&COrbChat_ContactBrowser::OnNextPage);
    timed(&COrbChat_ContactBrowser::OnLastPage);
    timed(&COrbChat_ContactBrowser::OnPrevPage);
    timed(&COrbChat_ContactBrowser::OnFirstPage);
    lastPage = browser.GetPageCount();
    dialog.PostMessage(WM_COMMAND, IDCANCEL);
  });
  CTimedBrowser browser(&parent, &session, nullptr);
  start = MicrosecondsNow();
  browser.DoModal();
  std::printf("contact browser, %d contacts (%d pages): opened with its first page in %.1f ms, on screen after "
              "%.1f ms; %d later pages, %.1f ms each on average, %.1f ms at most\n",
              contacts, lastPage, browser.m_nInitMs, firstMs, pages, pages ? totalMs / pages : 0.0, worstMs);
}

}  // namespace

int main() {
  HMODULE module = ::LoadLibraryA("OrbChat.dll");  // the dialogs' and windows' templates
  SetOrbChatModuleHandle(module);
  CTestFolder folder;
  const CString path = folder.File("bench_chat.dat");
  if (!CreateChatDatabase(path) || !FillDatabase(path)) {
    std::printf("bench_chat: could not build the database\n");
    return 1;
  }
  const double tick = PollTickMs(path);
  if (tick < 0) {
    std::printf("bench_chat: the poll tick did not queue every text\n");
    return 1;
  }
  std::printf("poll tick: 100 texts for 20 windows in %.1f ms (goal 30 ms; median of 5)\n", tick);
  CWnd frame;
  frame.CreateEx(0, nullptr, "bench", WS_OVERLAPPEDWINDOW, CRect(0, 0, 320, 540), nullptr, 0);
  unsigned nodes = 0;
  double ms = FillMs<CChatObjTreeCtrl>(path, frame, nodes);
  std::printf("chat object tree: %u nodes in %.1f ms\n", nodes, ms);
  ms = FillMs<CChatGrpTreeCtrl>(path, frame, nodes);
  std::printf("discussion group tree: %u nodes in %.1f ms\n", nodes, ms);
  ms = FillMs<CChatCmtTreeCtrl>(path, frame, nodes);
  std::printf("community tree: %u nodes in %.1f ms\n", nodes, ms);
  if (module) BenchContactBrowser(path, frame);
  frame.DestroyWindow();
  return 0;
}
