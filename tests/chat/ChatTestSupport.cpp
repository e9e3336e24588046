#include "ChatTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ChatDatabaseSchema.h"
#include "CodePage.h"
#include "OrbADO.h"
#include "chat/ModuleHandle.h"

namespace {

// The module code linked into the test loads its templates and menus from
// the real OrbChat.dll beside the test.
class COrbChatResources : public ::testing::Environment {
 public:
  void SetUp() override {
    m_hModule = ::LoadLibraryA("OrbChat.dll");
    ASSERT_NE(m_hModule, nullptr) << "OrbChat.dll must lie beside the test";
    SetOrbChatModuleHandle(m_hModule);
  }
  void TearDown() override {
    SetOrbChatModuleHandle(nullptr);
    if (m_hModule) ::FreeLibrary(m_hModule);
  }

 private:
  HMODULE m_hModule = nullptr;
};

[[maybe_unused]] ::testing::Environment* const g_resources =
    ::testing::AddGlobalTestEnvironment(new COrbChatResources);

std::filesystem::path WidePath(const CString& path) { return std::filesystem::path(CodePage::AnsiToWide(path)); }

}  // namespace

CTestFolder::CTestFolder() {
  static int s_nNext = 0;
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  m_strPath.Format("%s聊天测试_%lu_%d\\", temp, ::GetCurrentProcessId(), ++s_nNext);
  std::error_code ignored;
  std::filesystem::create_directories(WidePath(m_strPath), ignored);
}

CTestFolder::~CTestFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(WidePath(m_strPath), ignored);
}

bool CTestFolder::Write(const char* name, const char* bytes) const {
  std::ofstream out(WidePath(File(name)), std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out);
}

CTestChatDb::CTestChatDb() : m_strPath(m_folder.File("用户1001.dat")) {
  EXPECT_TRUE(CreateChatDatabase(m_strPath)) << m_strPath.GetString();
}

bool CTestChatDb::Insert(const char* table, std::initializer_list<DbCell> cells) const {
  COrbADO db;
  if (!db.ConnectAccess(m_strPath)) return false;
  CString sql;
  sql.Format("SELECT * FROM %s", table);
  bool ok = db.OpenTable(sql, adOpenKeyset, adLockOptimistic, adCmdText) && db.AppendBlank();
  for (const DbCell& cell : cells) ok = ok && db.SetField(cell.column, cell.value);
  ok = ok && db.Update();
  db.DisConnect();
  return ok;
}

CTestSession::CTestSession(const char* dataFilePath) {
  if (!dataFilePath) return;
  m_bLoggedIn = true;
  m_login.m_strUserID = m_strUserId;
  m_login.m_strDataFilePath = dataFilePath;
}

unsigned CTestSession::Push(const CString& pool, const CString& body) {
  m_arrPushed.push_back({pool, body});
  return static_cast<unsigned>(m_arrPushed.size()) + 100;
}

CTestFrame::CTestFrame(int width, int height) {
  EXPECT_TRUE(CreateEx(0, nullptr, "聊天模块测试", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                       CRect(30, 30, 30 + width, 30 + height), nullptr, 0));
  ShowWindow(SW_SHOW);
  UpdateWindow();
}

CTestFrame::~CTestFrame() {
  if (m_hWnd) DestroyWindow();
}

namespace {
struct CaptionCount {
  const char* caption;
  int count;
};
BOOL CALLBACK CountIfCaption(HWND wnd, LPARAM param) {
  auto* state = reinterpret_cast<CaptionCount*>(param);
  char text[256] = {};
  ::GetWindowTextA(wnd, text, sizeof text);
  if (CString(text) == state->caption) ++state->count;
  return TRUE;
}
}  // namespace

int CountThreadWindows(const char* caption) {
  CaptionCount state{caption, 0};
  ::EnumThreadWindows(::GetCurrentThreadId(), &CountIfCaption, reinterpret_cast<LPARAM>(&state));
  return state.count;
}
