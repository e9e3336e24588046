#include "HostTestFolder.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "CodePage.h"
#include "OrbADO.h"

namespace {
std::filesystem::path Wide(const CString& path) { return std::filesystem::path(CodePage::AnsiToWide(path)); }
}  // namespace

CHostTestFolder::CHostTestFolder() {
  static int s_nNext = 0;
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  m_strPath.Format("%s演示宿主测试_%lu_%d\\", temp, ::GetCurrentProcessId(), ++s_nNext);
  std::error_code ignored;
  std::filesystem::create_directories(Wide(m_strPath), ignored);
}

CHostTestFolder::~CHostTestFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(Wide(m_strPath), ignored);
}

bool CHostTestFolder::Write(const char* name, const std::string& bytes) const {
  std::error_code ignored;
  std::filesystem::create_directories(Wide(File(name)).parent_path(), ignored);
  std::ofstream out(Wide(File(name)), std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out);
}

std::string CHostTestFolder::Read(const char* name) const {
  std::ifstream in(Wide(File(name)), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool CHostTestFolder::Exists(const char* name) const {
  std::error_code ignored;
  return std::filesystem::exists(Wide(File(name)), ignored);
}

long CountRows(const CString& dbPath, const char* table) {
  COrbADO db;
  CString sql;
  sql.Format("SELECT * FROM %s", table);
  if (!db.ConnectAccess(dbPath) || !db.OpenTable(sql, adOpenStatic, adLockReadOnly, adCmdText)) return -1;
  const long rows = db.RecordCount();
  db.DisConnect();
  return rows;
}
