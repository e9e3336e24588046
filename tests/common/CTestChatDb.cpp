#include "CTestChatDb.h"

#include <cstdlib>

#include "ChatDatabaseSchema.h"
#include "CodePage.h"
#include "OrbADO.h"

CTestChatDb::CTestChatDb(const char* fileName) : m_strPath(m_folder.File(fileName)) {
  CreateChatDatabase(m_strPath);
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

sqlite3* CTestChatDb::OpenRaw() const {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(CodePage::AnsiToUtf8(m_strPath).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, 5000);
  return db;
}

bool CTestChatDb::Exec(const char* ansiSql) const {
  sqlite3* db = OpenRaw();
  const bool ok = db && sqlite3_exec(db, CodePage::AnsiToUtf8(ansiSql).c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

CString CTestChatDb::Value(const char* ansiSql) const {
  sqlite3* db = OpenRaw();
  sqlite3_stmt* stmt = nullptr;
  CString result = "<error>";
  if (db && sqlite3_prepare_v2(db, CodePage::AnsiToUtf8(ansiSql).c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE) result = "<none>";
    if (rc == SQLITE_ROW && sqlite3_column_type(stmt, 0) == SQLITE_NULL) result = "<null>";
    if (rc == SQLITE_ROW && sqlite3_column_type(stmt, 0) != SQLITE_NULL)
      result = CodePage::Utf8ToAnsi(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return result;
}

int CTestChatDb::Count(const char* table) const {
  return std::atoi(Value(CString("SELECT count(*) FROM ") + table));
}
