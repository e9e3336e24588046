#pragma once
// A chat database made by CreateChatDatabase in a fresh test folder, with
// direct SQLite access (own connection, UTF-8) to fill it and to check what
// the file holds behind the component's back.
#include <sqlite3.h>

#include "../support/TestFolder.h"
#include "CString.h"

class CChatDb {
 public:
  explicit CChatDb(const char* fileName = "用户1001.dat");
  const CString& Path() const { return m_strPath; }
  const CTestFolder& Folder() const { return m_folder; }
  bool Exec(const char* ansiSql) const;
  // First column of the first row as ANSI text; "<null>", "<none>", "<error>".
  CString Value(const char* ansiSql) const;
  int Count(const char* table) const { return atoi(Value(CString("SELECT count(*) FROM ") + table)); }
  sqlite3* OpenRaw() const;  // the caller closes it

 private:
  CTestFolder m_folder;
  CString m_strPath;
};
