// Login against a profile folder (the files it creates and keeps) and the
// message store behind SaveMsgToMdb: every record kept, read back by thread
// and by search, and on disk the moment SaveMsgToMdb returns.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "COrbMsgStore.h"
#include "ChatDatabaseSchema.h"
#include "CodePage.h"
#include "OrbcommTestSupport.h"

using namespace orbtest;

namespace {

bool IsFile(const CString& path) {
  DWORD attributes = GetFileAttributesW(CodePage::AnsiToWide(path.GetString()).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadAll(const CString& path) {
  std::ifstream in(CodePage::AnsiToWide(path.GetString()).c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

InfoLoginInfoStruct Who(const CString& folder, const char* userId = "1001") {
  InfoLoginInfoStruct who;
  who.m_strUserID = userId;
  who.m_strAlias = "张三";
  who.m_strRole = "c";
  who.m_strRoleCodes = " cg ";
  who.m_strProfileDir = folder;
  return who;
}

InfoMsgStructer Record(const char* thread, const char* abstract, const char* body) {
  InfoMsgStructer msg;
  msg.abstract = abstract;
  msg.body = body;
  msg.from = "张三";
  msg.from_id = "c1001";
  msg.msg_id = "M1";
  msg.msg_type = "505";
  msg.publish_time = "20240102030405";
  msg.thread_id = thread;
  msg.thread_members = "c1001,c1002";
  msg.title = "标题";
  msg.url = "mht";
  return msg;
}

TEST(Profile, LoginCreatesTheUsersFilesInANewFolder) {
  CTestFolder scratch;
  CString folder = scratch.File("用户 资料\\张三");  // Chinese, a blank, two levels that do not exist yet
  COrbHttp_Protocol_Orb session;
  EXPECT_EQ(session.GetLoginInfo(), nullptr);
  EXPECT_STREQ(session.GetUserCustomFileName(), "");
  CString error;
  ASSERT_TRUE(session.Login(Who(folder + "\\"), error)) << error.GetString();

  InfoLoginInfoStruct* login = session.GetLoginInfo();
  ASSERT_NE(login, nullptr);
  EXPECT_EQ(login->m_strDataFilePath, folder + "\\1001.dat");
  EXPECT_EQ(login->m_strCustomFilePath, folder + "\\1001.ini");
  EXPECT_EQ(login->m_strMsgFilePath, folder + "\\1001.msg");
  EXPECT_EQ(session.GetUserCustomFileName(), login->m_strCustomFilePath);
  EXPECT_TRUE(IsChatDatabase(login->m_strDataFilePath));
  EXPECT_TRUE(IsFile(login->m_strCustomFilePath));
  EXPECT_EQ(ReadAll(login->m_strCustomFilePath), "");
  EXPECT_TRUE(IsFile(login->m_strMsgFilePath));

  EXPECT_STREQ(session.GetUserID(), "1001");
  EXPECT_STREQ(session.GetMyAlias(), "张三");
  EXPECT_STREQ(session.GetMyRole(), "c");
  EXPECT_STREQ(session.GetRoleCodes(), "cg");  // trimmed
  EXPECT_STREQ(session.GetMemberID(), "c1001");
  EXPECT_STREQ(session.GetUserIDFlag(), "c1001");
  EXPECT_STREQ(session.GetSessionID(), "");  // no server link yet

  session.Logout();
  EXPECT_EQ(session.GetLoginInfo(), nullptr);
  EXPECT_EQ(session.Push("orb.chat.req", "x"), 0u);  // nobody to push for
}

TEST(Profile, ALaterLoginKeepsTheFilesAsTheyAre) {
  CTestFolder scratch;
  CString error;
  CString iniPath;
  {
    COrbHttp_Protocol_Orb session;
    ASSERT_TRUE(session.Login(Who(scratch.Root()), error)) << error.GetString();
    iniPath = session.GetUserCustomFileName();
    InfoMsgStructer msg = Record("T1", "第一条", "<P>1</P>");
    ASSERT_TRUE(session.SaveMsgToMdb(&msg));
  }
  {
    std::ofstream ini(CodePage::AnsiToWide(iniPath.GetString()).c_str(), std::ios::binary);
    ini << "[Editor]\r\nFontSize=3\r\n";
  }
  COrbHttp_Protocol_Orb session;
  ASSERT_TRUE(session.Login(Who(scratch.Root()), error)) << error.GetString();
  EXPECT_EQ(ReadAll(iniPath), "[Editor]\r\nFontSize=3\r\n");
  COrbMsgStore store;
  ASSERT_TRUE(store.OpenReadOnly(session.GetLoginInfo()->m_strMsgFilePath));
  EXPECT_EQ(store.CountThread("T1"), 1);
}

TEST(Profile, LoginRefusesRecordsItCannotMakeFilesFor) {
  CTestFolder scratch;
  struct Row {
    const char* label;
    const char* userId;
    const char* role;
    const char* roleCodes;
    bool useFolder;
  };
  const Row rows[] = {
      {"empty user id", "", "c", "c", true},
      {"path in the user id", "..\\x", "c", "c", true},
      {"separator in the user id", "a/b", "c", "c", true},
      {"leading dot", ".hidden", "c", "c", true},
      {"device name", "con", "c", "c", true},
      {"device name with extension", "LPT1.x", "c", "c", true},
      {"blank inside", "a b", "c", "c", true},
      {"too long", "12345678901234567890123456789012345678901234567890123456789012345", "c", "c", true},
      {"role of two letters", "1001", "cc", "c", true},
      {"role not a letter", "1001", "1", "c", true},
      {"role codes not letters", "1001", "c", "c,g", true},
      {"no folder", "1001", "c", "c", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    InfoLoginInfoStruct who = Who(row.useFolder ? scratch.Root() : CString(), row.userId);
    who.m_strRole = row.role;
    who.m_strRoleCodes = row.roleCodes;
    COrbHttp_Protocol_Orb session;
    CString error;
    EXPECT_FALSE(session.Login(who, error));
    EXPECT_FALSE(error.IsEmpty());
    EXPECT_EQ(session.GetLoginInfo(), nullptr);
  }
  // A folder path that is a file cannot hold a profile.
  CString blocker = scratch.File("file");
  ASSERT_TRUE(std::ofstream(CodePage::AnsiToWide(blocker.GetString()).c_str()).good());
  COrbHttp_Protocol_Orb session;
  CString error;
  EXPECT_FALSE(session.Login(Who(blocker), error));
  EXPECT_FALSE(error.IsEmpty());
}

TEST(Profile, SaveMsgToMdbNeedsALoginAndARecord) {
  COrbHttp_Protocol_Orb session;
  InfoMsgStructer msg = Record("T1", "a", "b");
  EXPECT_FALSE(session.SaveMsgToMdb(&msg));
  CTestFolder scratch;
  CString error;
  ASSERT_TRUE(session.Login(Who(scratch.Root()), error));
  EXPECT_FALSE(session.SaveMsgToMdb(nullptr));
  EXPECT_TRUE(session.SaveMsgToMdb(&msg));
}

class MsgStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CString error;
    ASSERT_TRUE(session.Login(Who(scratch.Root()), error)) << error.GetString();
    path = session.GetLoginInfo()->m_strMsgFilePath;
  }
  CTestFolder scratch;
  COrbHttp_Protocol_Orb session;
  CString path;
};

TEST_F(MsgStoreTest, KeepsEveryFieldOfEveryRecord) {
  InfoMsgStructer msg = Record("T1", "摘要 \"引号\" \\ 50%", "<HTML>正文</HTML>");
  msg.thread_members = "";  // empty fields are kept as empty, not dropped
  ASSERT_TRUE(session.SaveMsgToMdb(&msg));
  ASSERT_TRUE(session.SaveMsgToMdb(&msg));  // the same record twice is two records

  COrbMsgStore store;
  ASSERT_TRUE(store.OpenReadOnly(path)) << store.GetLastError().GetString();
  std::vector<InfoStoredMsg> page;
  ASSERT_TRUE(store.ReadThread("T1", 0, 10, page));
  ASSERT_EQ(page.size(), 2u);
  const InfoMsgStructer& back = page[0].m_msg;
  const CString* expected[] = {&msg.abstract, &msg.body,           &msg.from,     &msg.from_id,
                               &msg.msg_id,   &msg.msg_type,       &msg.publish_time, &msg.thread_id,
                               &msg.thread_members, &msg.title,    &msg.url};
  const CString* actual[] = {&back.abstract, &back.body,           &back.from,     &back.from_id,
                             &back.msg_id,   &back.msg_type,       &back.publish_time, &back.thread_id,
                             &back.thread_members, &back.title,    &back.url};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(*actual[i], *expected[i]) << "field " << i;
  EXPECT_GT(page[0].m_nId, page[1].m_nId);
  // Stored just now: within a day of the clock, and written out in local time.
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  long long nowMs = static_cast<long long>(((static_cast<unsigned long long>(now.dwHighDateTime) << 32) |
                                            now.dwLowDateTime) / 10000ULL - 11644473600000ULL);
  EXPECT_LT(std::llabs(nowMs - page[0].m_nStoredAt), 86400000LL);
  EXPECT_EQ(page[0].m_strStoredAt.GetLength(), 19);
}

TEST_F(MsgStoreTest, ReadsThreadsNewestFirstInPages) {
  for (int i = 0; i < 25; ++i) {
    CString body;
    body.Format("消息%d", i);
    InfoMsgStructer msg = Record(i % 5 == 0 ? "T2" : "T1", "", body);
    ASSERT_TRUE(session.SaveMsgToMdb(&msg));
  }
  COrbMsgStore store;
  ASSERT_TRUE(store.OpenReadOnly(path));
  EXPECT_EQ(store.CountThread("T1"), 20);
  EXPECT_EQ(store.CountThread("T2"), 5);
  EXPECT_EQ(store.CountThread("none"), 0);

  std::vector<CString> seen;
  std::vector<InfoStoredMsg> page;
  for (int offset = 0; offset < 20; offset += 8) {
    ASSERT_TRUE(store.ReadThread("T1", offset, 8, page));
    EXPECT_EQ(page.size(), offset < 16 ? 8u : 4u);
    for (const InfoStoredMsg& row : page) seen.push_back(row.m_msg.body);
  }
  ASSERT_EQ(seen.size(), 20u);
  EXPECT_STREQ(seen.front(), "消息24");
  EXPECT_STREQ(seen.back(), "消息1");
  ASSERT_TRUE(store.ReadThread("T1", 20, 8, page));
  EXPECT_TRUE(page.empty());

  std::vector<InfoThreadSummary> threads;
  ASSERT_TRUE(store.ListThreads(threads));
  ASSERT_EQ(threads.size(), 2u);
  EXPECT_STREQ(threads[0].m_strThreadId, "T1");  // message 24 is newer than 20
  EXPECT_EQ(threads[0].m_nCount, 20);
  EXPECT_STREQ(threads[1].m_strThreadId, "T2");
  EXPECT_STREQ(threads[1].m_strTitle, "标题");
}

TEST_F(MsgStoreTest, SearchFindsTextInAbstractBodyAndSender) {
  const char* const bodies[] = {"今天下雨", "明天 Sunny", "50% off", "under_score", "无关"};
  for (const char* body : bodies) {
    InfoMsgStructer msg = Record("T1", "", body);
    ASSERT_TRUE(session.SaveMsgToMdb(&msg));
  }
  InfoMsgStructer other = Record("T2", "下雨了", "<P>x</P>");
  other.from = "王五";
  ASSERT_TRUE(session.SaveMsgToMdb(&other));

  COrbMsgStore store;
  ASSERT_TRUE(store.OpenReadOnly(path));
  struct Row {
    const char* text;
    int count;
  };
  const Row rows[] = {
      {"下雨", 2},  {"sunny", 1}, {"SUNNY", 1}, {"50%", 1}, {"%", 1},   {"_", 1},
      {"王五", 1},  {"张三", 5},  {"没有", 0},  {"", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(store.CountSearch(row.text), row.count);
    std::vector<InfoStoredMsg> page;
    ASSERT_TRUE(store.Search(row.text, 0, 10, page));
    EXPECT_EQ(static_cast<int>(page.size()), row.count);
  }
  std::vector<InfoStoredMsg> page;
  ASSERT_TRUE(store.Search("下雨", 0, 10, page));
  ASSERT_EQ(page.size(), 2u);
  EXPECT_STREQ(page[0].m_msg.from, "王五");  // newest first
  ASSERT_TRUE(store.Search("下雨", 1, 10, page));
  ASSERT_EQ(page.size(), 1u);
  EXPECT_STREQ(page[0].m_msg.body, "今天下雨");
}

TEST(MsgStore, NeverTakesAnotherFileForAStore) {
  CTestFolder scratch;
  // A chat database is a SQLite file too; it must be refused and left as it is.
  CString dat = scratch.File("x.dat");
  ASSERT_TRUE(CreateChatDatabase(dat));
  std::string before = ReadAll(dat);
  COrbMsgStore store;
  EXPECT_FALSE(store.Open(dat));
  EXPECT_FALSE(store.GetLastError().IsEmpty());
  EXPECT_TRUE(ReadAll(dat) == before);  // byte for byte

  CString text = scratch.File("notes.msg");
  { std::ofstream(CodePage::AnsiToWide(text.GetString()).c_str()) << "just some text, not a database at all"; }
  EXPECT_FALSE(store.Open(text));
  EXPECT_FALSE(store.IsOpen());
  EXPECT_FALSE(store.OpenReadOnly(scratch.File("missing.msg")));
  InfoMsgStructer msg;
  EXPECT_FALSE(store.Save(msg));
}

TEST(MsgStore, RecordsSurviveTheProgramStoppingRightAfterSaving) {
  CTestFolder scratch;
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring writer = self;
  writer = writer.substr(0, writer.find_last_of(L'\\') + 1) + L"orbcomm_store_writer.exe";
  std::wstring command = L"\"" + writer + L"\" \"" + CodePage::AnsiToWide(scratch.Root().GetString()) + L"\" 200";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(writer.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process));
  ASSERT_EQ(WaitForSingleObject(process.hProcess, 50000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  ASSERT_EQ(code, 77u);  // the writer killed itself right after its last save

  COrbMsgStore store;
  ASSERT_TRUE(store.OpenReadOnly(scratch.File("1001.msg"))) << store.GetLastError().GetString();
  EXPECT_EQ(store.CountThread("T1"), 200);
  std::vector<InfoStoredMsg> page;
  ASSERT_TRUE(store.ReadThread("T1", 0, 1, page));
  ASSERT_EQ(page.size(), 1u);
  EXPECT_STREQ(page[0].m_msg.body, "第199条");
}

}  // namespace

// A flush's records go to disk in one write, in order; a session that is not
// logged in (a stand-in) hands each to its own SaveMsgToMdb.
TEST(Profile, SeveralRecordsAreStoredTogetherInOrder) {
  CTestFolder scratch;
  CString error;
  COrbHttp_Protocol_Orb session;
  ASSERT_TRUE(session.Login(Who(scratch.Root()), error)) << error.GetString();
  InfoMsgStructer first = Record("T9", "一", "<P>1</P>"), second = Record("T9", "二", "<P>2</P>"),
                  third = Record("T8", "三", "<P>3</P>");
  InfoMsgStructer* records[] = {&first, &second, &third};
  ASSERT_TRUE(session.SaveMsgsToMdb(records, 3));
  COrbMsgStore store;
  ASSERT_TRUE(store.OpenReadOnly(session.GetLoginInfo()->m_strMsgFilePath));
  std::vector<InfoStoredMsg> rows;
  ASSERT_TRUE(store.ReadThread("T9", 0, 10, rows));
  ASSERT_EQ(rows.size(), 2u);  // newest first
  EXPECT_EQ(rows[0].m_msg.abstract, "二");
  EXPECT_EQ(rows[1].m_msg.abstract, "一");
  EXPECT_LT(rows[1].m_nId, rows[0].m_nId);
  EXPECT_EQ(store.CountThread("T8"), 1);

  struct CountingSession : COrbHttp_Protocol_Orb {
    bool SaveMsgToMdb(InfoMsgStructer* msg) override {
      saved.push_back(msg->abstract);
      return true;
    }
    std::vector<CString> saved;
  } standIn;
  EXPECT_TRUE(standIn.SaveMsgsToMdb(records, 3));
  EXPECT_EQ(standIn.saved, (std::vector<CString>{"一", "二", "三"}));
}
