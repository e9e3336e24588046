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
  void Finalize();

  sqlite3_stmt* Get() const { return m_pStmt; }
  int ColumnCount() const { return m_pStmt ? sqlite3_column_count(m_pStmt) : 0; }

 private:
  sqlite3_stmt* m_pStmt = nullptr;
};
