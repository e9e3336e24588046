#include "ChatDb.h"

#include "ChatDatabaseSchema.h"
#include "CodePage.h"

CChatDb::CChatDb(const char* fileName) : m_strPath(m_folder.Path(fileName)) { CreateChatDatabase(m_strPath); }

sqlite3* CChatDb::OpenRaw() const {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(CodePage::AnsiToUtf8(m_strPath).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, 5000);
  return db;
}

bool CChatDb::Exec(const char* ansiSql) const {
  sqlite3* db = OpenRaw();
  const bool ok = db && sqlite3_exec(db, CodePage::AnsiToUtf8(ansiSql).c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

CString CChatDb::Value(const char* ansiSql) const {
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
