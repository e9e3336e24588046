#pragma once
// A chat database made by CreateChatDatabase in a fresh test folder, with
// direct SQLite access for filling it and for checking what the file holds
// behind the component's back.
#include <sqlite3.h>

#include <string>

#include "../support/TestFolder.h"
#include "CString.h"

class CChatDb {
 public:
  explicit CChatDb(const char* fileName = "用户1001.dat");
  CChatDb(const CChatDb&) = delete;
  CChatDb& operator=(const CChatDb&) = delete;

  const CString& Path() const { return m_strPath; }
  const CTestFolder& Folder() const { return m_folder; }

  // Runs ANSI SQL (one or more statements) on a connection of its own.
  bool Exec(const char* ansiSql) const;
  // The first column of the first row as ANSI text ("<null>" for NULL,
  // "<none>" without a row, "<error>" when the statement fails).
  CString Value(const char* ansiSql) const;
  int Count(const char* table) const;

  // Opens its own connection on the file (UTF-8 path); the caller closes it.
  sqlite3* OpenRaw() const;

 private:
  CTestFolder m_folder;
  CString m_strPath;
};
