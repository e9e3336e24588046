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
  return sqlite3_bind_text64(m_pStmt, index, utf8.data(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

int CSqliteStatement::BindInt64(int index, sqlite3_int64 value) {
  if (!m_pStmt) return SQLITE_MISUSE;
  return sqlite3_bind_int64(m_pStmt, index, value);
}

int CSqliteStatement::Step() { return m_pStmt ? sqlite3_step(m_pStmt) : SQLITE_MISUSE; }

void CSqliteStatement::Reset() {
  if (!m_pStmt) return;
  sqlite3_reset(m_pStmt);
  sqlite3_clear_bindings(m_pStmt);
}

std::string CSqliteStatement::ColumnText(int index) const {
  if (!m_pStmt) return std::string();
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_pStmt, index));
  const int bytes = sqlite3_column_bytes(m_pStmt, index);
  return text ? std::string(text, static_cast<size_t>(bytes)) : std::string();
}

sqlite3_int64 CSqliteStatement::ColumnInt64(int index) const {
  return m_pStmt ? sqlite3_column_int64(m_pStmt, index) : 0;
}

void CSqliteStatement::Finalize() {
  if (m_pStmt) sqlite3_finalize(m_pStmt);
  m_pStmt = nullptr;
}
