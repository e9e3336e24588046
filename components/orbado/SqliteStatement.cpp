#include "SqliteStatement.h"

#include <cctype>

int CSqliteStatement::Prepare(sqlite3* db, const std::string& utf8Sql) {
  Finalize();
  if (!db) return SQLITE_MISUSE;
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(db, utf8Sql.c_str(), static_cast<int>(utf8Sql.size() + 1), &m_pStmt, &tail);
  if (rc != SQLITE_OK) {
    Finalize();
    return rc;
  }
  if (!m_pStmt) return SQLITE_ERROR;  // only blanks or a comment
  for (; tail && *tail; ++tail) {
    if (*tail != ';' && !std::isspace(static_cast<unsigned char>(*tail))) {
      Finalize();
      return SQLITE_ERROR;
    }
  }
  return SQLITE_OK;
}

int CSqliteStatement::BindText(int index, const std::string& utf8) {
  if (!m_pStmt) return SQLITE_MISUSE;
  return sqlite3_bind_text(m_pStmt, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

int CSqliteStatement::BindInt64(int index, sqlite3_int64 value) {
  if (!m_pStmt) return SQLITE_MISUSE;
  return sqlite3_bind_int64(m_pStmt, index, value);
}

int CSqliteStatement::Step() { return m_pStmt ? sqlite3_step(m_pStmt) : SQLITE_MISUSE; }

void CSqliteStatement::Finalize() {
  if (m_pStmt) sqlite3_finalize(m_pStmt);
  m_pStmt = nullptr;
}
