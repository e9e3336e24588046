#pragma once
// One prepared SQLite statement, finalized when the object goes. Every call
// returns SQLite's result code; nothing is thrown.
#include <sqlite3.h>

#include <string>

class CSqliteStatement {
 public:
  CSqliteStatement() = default;
  CSqliteStatement(const CSqliteStatement&) = delete;
  CSqliteStatement& operator=(const CSqliteStatement&) = delete;
  ~CSqliteStatement() { Finalize(); }

  // Prepares exactly one statement: text after it other than blanks and ";"
  // is refused (SQLITE_ERROR), so a second statement can never ride along.
  int Prepare(sqlite3* db, const std::string& utf8Sql);
  int BindText(int index, const std::string& utf8);
  int BindInt64(int index, sqlite3_int64 value);
  int Step();
  // Ready to run again, with every binding cleared.
  void Reset();
  void Finalize();
  bool IsPrepared() const { return m_pStmt != nullptr; }

  // A column of the current row: text as UTF-8 bytes (empty for NULL).
  std::string ColumnText(int index) const;
  sqlite3_int64 ColumnInt64(int index) const;

  sqlite3_stmt* Get() const { return m_pStmt; }
  int ColumnCount() const { return m_pStmt ? sqlite3_column_count(m_pStmt) : 0; }

 private:
  sqlite3_stmt* m_pStmt = nullptr;
};
