#pragma once
// One prepared SQLite statement, finalized when it goes. Every call reports
// SQLite's result code; texts are bound and read as UTF-8.
#include <sqlite3.h>

#include <string>

class SqliteStmt {
 public:
  SqliteStmt() = default;
  ~SqliteStmt() { sqlite3_finalize(m_pStmt); }
  SqliteStmt(const SqliteStmt&) = delete;
  SqliteStmt& operator=(const SqliteStmt&) = delete;

  bool Prepare(sqlite3* db, const char* sql);
  void Finalize();
  bool IsPrepared() const { return m_pStmt != nullptr; }
  bool BindText(int index, const std::string& utf8);
  bool BindInt64(int index, long long value);
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step();
  void Reset();
  std::string ColumnText(int index) const;
  long long ColumnInt64(int index) const;

 private:
  sqlite3_stmt* m_pStmt = nullptr;
};
