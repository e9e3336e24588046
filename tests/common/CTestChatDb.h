#pragma once
// A local chat database made by the profile code's function in a fresh test
// folder. Rows go in through the database component (Insert) or straight
// through SQLite (Exec); Value, Count and OpenRaw check what the file holds
// behind the component's back (own connection, UTF-8).
#include <sqlite3.h>

#include <initializer_list>

#include "CString.h"
#include "CTestFolder.h"
#include "OrbVariant.h"

// One value of a row to insert; a column left out stays NULL.
struct DbCell {
  const char* column;
  COrbVariant value;
};

class CTestChatDb {
 public:
  explicit CTestChatDb(const char* fileName = "用户1001.dat");
  const CString& Path() const { return m_strPath; }
  const CTestFolder& Folder() const { return m_folder; }

  // Appends one row through the database component; false when it fails.
  bool Insert(const char* table, std::initializer_list<DbCell> cells) const;
  // Runs statements (code page 936 text) straight through SQLite.
  bool Exec(const char* ansiSql) const;
  // First column of the first row as ANSI text; "<null>", "<none>", "<error>".
  CString Value(const char* ansiSql) const;
  int Count(const char* table) const;
  sqlite3* OpenRaw() const;  // the caller closes it

 private:
  CTestFolder m_folder;
  CString m_strPath;
};
