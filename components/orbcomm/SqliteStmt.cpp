#include "SqliteStmt.h"

bool SqliteStmt::Prepare(sqlite3* db, const char* sql) {
  Finalize();
  return sqlite3_prepare_v2(db, sql, -1, &m_pStmt, nullptr) == SQLITE_OK && m_pStmt;
}

bool SqliteStmt::BindText(int index, const std::string& utf8) {
  return sqlite3_bind_text64(m_pStmt, index, utf8.data(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8) == SQLITE_OK;
}

bool SqliteStmt::BindInt64(int index, long long value) {
  return sqlite3_bind_int64(m_pStmt, index, value) == SQLITE_OK;
}

int SqliteStmt::Step() { return sqlite3_step(m_pStmt); }

void SqliteStmt::Reset() {
  sqlite3_reset(m_pStmt);
  sqlite3_clear_bindings(m_pStmt);
}

std::string SqliteStmt::ColumnText(int index) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_pStmt, index));
  int bytes = sqlite3_column_bytes(m_pStmt, index);
  return text ? std::string(text, static_cast<size_t>(bytes)) : std::string();
}

long long SqliteStmt::ColumnInt64(int index) const { return sqlite3_column_int64(m_pStmt, index); }

void SqliteStmt::Finalize() {
  sqlite3_finalize(m_pStmt);
  m_pStmt = nullptr;
}
