// The history viewer's window over real stores: the conversation list, the
// newest page first and older pages above it without moving the reader's
// place, the search over the text of every message, the export, and every
// kind of file that cannot be shown. Also the store's summary tables on a
// file written before they existed or behind its records.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <richedit.h>

#include <functional>
#include <memory>

#include "CMsgBrowserDlg.h"
#include "COrbMsgBrowser.h"
#include "COrbMsgStore.h"
#include "CTestFolder.h"
#include "CodePage.h"
#include "HistoryFixture.h"
#include "MessageBoxRecorder.h"
#include "ModalAnswers.h"

namespace {

// Runs sql on the file with SQLite directly (what another program might do).
bool RawSql(const CString& path, const char* sql) {
  sqlite3* db = nullptr;
  bool ok = sqlite3_open(CodePage::AnsiToUtf8(path).c_str(), &db) == SQLITE_OK &&
            sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

class BrowserTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { LoadLibraryA("msftedit.dll"); }
  void SetUp() override { path = folder.File("历史.msg"); }
  // A viewer window over the file, created modeless so the test can look.
  std::unique_ptr<CMsgBrowserDlg> OpenViewer(const char* search = "") {
    auto dialog = std::make_unique<CMsgBrowserDlg>(path, search, nullptr);
    CString problem;
    EXPECT_TRUE(dialog->OpenStore(problem)) << problem.GetString();
    EXPECT_TRUE(dialog->Create());
    return dialog;
  }
  CString ViewText(CMsgBrowserDlg& dialog) { return dialog.View().GetText(); }

  CTestFolder folder;
  CString path;
};

TEST_F(BrowserTest, ListsConversationsAndPagesOlderRecordsInAbove) {
  ASSERT_TRUE(WriteHistory(path, 3, 300));  // 100 records each; T0002 wrote last
  auto dialog = OpenViewer();
  EXPECT_EQ(dialog->GetThreadCount(), 3);
  EXPECT_EQ(dialog->ThreadList().GetItemCount(), 3);
  EXPECT_STREQ(dialog->ThreadCellText(0, 2), "100");
  EXPECT_NE(dialog->ThreadCellText(0, 0).Find("、"), -1);  // the senders' names
  EXPECT_EQ(dialog->ThreadCellText(0, 1).GetLength(), 19);

  // The most recent conversation, newest page, scrolled to its end.
  EXPECT_EQ(dialog->GetShownCount(), int{CMsgBrowserDlg::kPageSize});
  CString text = ViewText(*dialog);
  EXPECT_NE(text.Find("会话2 第99条"), -1);
  EXPECT_NE(text.Find("会话2 第70条"), -1);
  EXPECT_EQ(text.Find("会话2 第69条"), -1);
  EXPECT_EQ(text.Find("会话1 "), -1);
  EXPECT_LT(text.Find("第70条"), text.Find("第99条"));  // oldest at the top
  EXPECT_TRUE(dialog->HasOlder());

  ASSERT_TRUE(dialog->LoadOlderPage());
  // The page came in above and the reader still looks at what was there.
  EXPECT_GT(dialog->View().SendMessage(EM_GETFIRSTVISIBLELINE), 0);
  text = ViewText(*dialog);
  EXPECT_LT(text.Find("第40条"), text.Find("第69条"));
  EXPECT_LT(text.Find("第69条"), text.Find("第70条"));
  while (dialog->LoadOlderPage()) {
  }
  EXPECT_EQ(dialog->GetShownCount(), 100);
  EXPECT_FALSE(dialog->HasOlder());
  text = ViewText(*dialog);
  EXPECT_LT(text.Find("第0条"), text.Find("第1条"));
  EXPECT_NE(dialog->GetStatusText().Find("共 100 条消息"), -1);

  dialog->SelectThread(2);  // the conversation written least recently
  EXPECT_NE(ViewText(*dialog).Find("会话0 第99条"), -1);
  EXPECT_EQ(dialog->GetShownCount(), int{CMsgBrowserDlg::kPageSize});
  dialog->DestroyWindow();
}

TEST_F(BrowserTest, SearchFindsWordsOfEveryConversationAndMarksThem) {
  ASSERT_TRUE(WriteHistory(path, 3, 300));  // every tenth record is about 西瓜 (Melon)
  auto dialog = OpenViewer();
  struct Case {
    const char* text;
    int hits;
  };
  const Case cases[] = {{"西瓜", 30}, {"  melon ", 30}, {"MELON", 30}, {"会话1 第13条", 1}, {"it's", 0},
                        {"div", 0},   {"font", 0},      {"gb2312", 0}, {"%", 0},           {"张三", 300 / 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    dialog->Search(c.text);
    EXPECT_EQ(dialog->GetShownCount(), std::min(c.hits, int{CMsgBrowserDlg::kPageSize}));
    EXPECT_NE(dialog->GetStatusText().Find(c.hits ? "找到" : "没有找到"), -1);
  }
  dialog->Search("西瓜");
  CString html = dialog->View().GetHtml();
  EXPECT_NE(html.Find("BACKGROUND-COLOR"), -1);
  EXPECT_NE(ViewText(*dialog).Find("[张三、"), -1);  // each hit names its conversation
  // Hits of all three conversations, newest first: conversation 2's last one is shown.
  EXPECT_NE(ViewText(*dialog).Find("会话2 第93条"), -1);
  EXPECT_FALSE(dialog->LoadOlderPage());

  // A long search text, quotes included, finds nothing and breaks nothing.
  dialog->Search(CString('\'', 1000));
  EXPECT_EQ(dialog->GetShownCount(), 0);

  // Choosing a conversation during a search shows it with the word marked.
  dialog->Search("西瓜");
  dialog->SelectThread(1);
  EXPECT_NE(dialog->View().GetHtml().Find("BACKGROUND-COLOR"), -1);
  EXPECT_NE(dialog->GetStatusText().Find("已用黄色标出"), -1);
  dialog->ClearSearch();
  EXPECT_EQ(dialog->View().GetHtml().Find("BACKGROUND-COLOR"), -1);
  EXPECT_NE(ViewText(*dialog).Find("会话1 第99条"), -1);
  dialog->DestroyWindow();
}

TEST_F(BrowserTest, ExportWritesTheWholeConversationOldestFirst) {
  ASSERT_TRUE(WriteHistory(path, 2, 100));
  auto dialog = OpenViewer();
  const CString target = folder.File("导出.html");
  ASSERT_TRUE(folder.Write("导出.html", "old"));
  ASSERT_TRUE(dialog->ExportTo(target));
  const std::string page = folder.Read("导出.html");
  const CString first = "会话1 第0条", last = "会话1 第49条";
  ASSERT_NE(page.find(first.Str()), std::string::npos);
  EXPECT_LT(page.find(first.Str()), page.find(last.Str()));
  EXPECT_EQ(page.find(CString("会话0 ").Str()), std::string::npos);
  EXPECT_EQ(page.find("MIME-Version"), std::string::npos);  // the text, not the web-page source
  // A folder that does not exist: false, nothing written, no stray file.
  EXPECT_FALSE(dialog->ExportTo(folder.File("没有\\x.html")));
  EXPECT_FALSE(folder.Has("没有"));
  dialog->DestroyWindow();
}

TEST_F(BrowserTest, FilesThatCannotBeShownAreExplained) {
  OrbTesting::MessageBoxRecorder boxes;
  COrbMsgBrowser browser;
  struct Case {
    const char* label;
    std::function<bool()> make;
    const char* words;
  };
  const Case cases[] = {
      {"text file", [&] { return folder.Write("历史.msg", "just some notes, not a database"); }, "不是消息记录文件"},
      {"other database", [&] { return RawSql(path, "CREATE TABLE other(x)"); }, "不是消息记录文件"},
      {"newer version",
       [&] { return WriteHistory(path, 1, 3) && RawSql(path, "PRAGMA user_version=99"); }, "较新版本"},
      {"damaged",
       [&] {
         if (!WriteHistory(path, 50, 3000) || !RawSql(path, "PRAGMA wal_checkpoint(TRUNCATE); PRAGMA journal_mode=DELETE"))
           return false;
         std::string bytes = folder.Read("历史.msg");
         for (size_t i = 8192; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
         return folder.Write("历史.msg", bytes);
       },
       "损坏"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    DeleteFileW(CodePage::AnsiToWide(path).c_str());
    DeleteFileW(CodePage::AnsiToWide(path + "-wal").c_str());
    DeleteFileW(CodePage::AnsiToWide(path + "-shm").c_str());
    ASSERT_TRUE(c.make());
    boxes.Clear();
    EXPECT_EQ(browser.Browser(path, ""), IDABORT);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_NE(boxes.Last().text.Find(c.words), -1) << boxes.Last().text.GetString();
    EXPECT_NE(boxes.Last().text.Find(path), -1);
  }
  // Held by another program that shares it with nobody.
  DeleteFileW(CodePage::AnsiToWide(path).c_str());
  ASSERT_TRUE(WriteHistory(path, 1, 3));
  HANDLE held = CreateFileW(CodePage::AnsiToWide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  boxes.Clear();
  EXPECT_EQ(browser.Browser(path, ""), IDABORT);
  CloseHandle(held);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_NE(boxes.Last().text.Find("占用"), -1) << boxes.Last().text.GetString();
}

TEST_F(BrowserTest, AMissingOrEmptyFileIsAnEmptyHistory) {
  for (bool create : {false, true}) {
    if (create) {
      ASSERT_TRUE(folder.Write("历史.msg", ""));
    }
    auto dialog = OpenViewer("西瓜");
    EXPECT_EQ(dialog->GetThreadCount(), 0);
    EXPECT_EQ(dialog->GetShownCount(), 0);
    EXPECT_STREQ(dialog->GetStatusText(), "还没有消息记录。");
    EXPECT_FALSE(dialog->ExportTo(folder.File("x.html")));
    dialog->DestroyWindow();
  }
  EXPECT_EQ(folder.Read("历史.msg"), "");  // a viewer never writes the file
}

// A store written before the summary existed is read through a private copy
// of it (the file stays as it was); opened for writing it gets the summary.
// Records another program added behind the summary's back are caught up.
TEST_F(BrowserTest, OlderStoresAndStoresBehindTheirSummaryAreReadWhole) {
  ASSERT_TRUE(WriteHistory(path, 2, 20));
  ASSERT_TRUE(RawSql(path, "DROP TABLE threads; DROP TABLE message_text; PRAGMA user_version=1;"));
  ASSERT_TRUE(RawSql(path, "PRAGMA wal_checkpoint(TRUNCATE)"));
  const std::string before = folder.Read("历史.msg");
  {
    auto dialog = OpenViewer();
    EXPECT_EQ(dialog->GetThreadCount(), 2);
    dialog->Search("西瓜");
    EXPECT_EQ(dialog->GetShownCount(), 2);
    dialog->DestroyWindow();
  }
  EXPECT_TRUE(folder.Read("历史.msg") == before);
  {
    COrbMsgStore store;
    ASSERT_TRUE(store.Open(path)) << store.GetLastError().GetString();
    EXPECT_EQ(store.CountThreads(), 2);
  }
  ASSERT_TRUE(RawSql(path,
                     "INSERT INTO messages (stored_at, abstract, body, \"from\", from_id, msg_id, msg_type, publish_time,"
                     " thread_id, thread_members, title, url) VALUES (1, 'late melon', '', 'x', 'x', '', '', '', 'T9', '', '', '')"));
  COrbMsgStore reader;
  ASSERT_TRUE(reader.OpenReadOnly(path));
  EXPECT_EQ(reader.CountThreads(), 3);
  EXPECT_EQ(reader.CountSearch("MELON"), 3);
  COrbMsgStore writer;
  ASSERT_TRUE(writer.Open(path));
  EXPECT_EQ(writer.CountThread("T9"), 1);
}

TEST_F(BrowserTest, BrowserRunsModallyAndReturnsWhenClosed) {
  ASSERT_TRUE(WriteHistory(path, 2, 40));
  OrbTesting::ModalAnswers modal;
  int shown = -1;
  CString status;
  modal.Drive([&](CDialog& d) {
    auto& dialog = dynamic_cast<CMsgBrowserDlg&>(d);
    shown = dialog.GetShownCount();
    status = dialog.GetStatusText();
    d.PostMessage(WM_COMMAND, IDCANCEL);
  });
  COrbMsgBrowser browser;
  EXPECT_EQ(browser.Browser(path, "Melon"), IDCANCEL);
  EXPECT_EQ(shown, 4);  // started with the search it was given
  EXPECT_NE(status.Find("Melon"), -1);
}

}  // namespace
