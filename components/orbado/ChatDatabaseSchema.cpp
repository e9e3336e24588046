#include "ChatDatabaseSchema.h"

#include <windows.h>
#include <sqlite3.h>

#include <string>

#include "CodePage.h"
#include "SqliteStatement.h"

namespace {

// The seven tables. Ids compare without case, as they did in the Access file
// the module was written for; the lookups by contact id and group id have
// indexes, and a contact is a chat object at most once, a group number is
// used once.
const char* const kSchema = R"sql(
CREATE TABLE ContactList (contactid TEXT COLLATE NOCASE, name TEXT, role TEXT);
CREATE INDEX ContactList_contactid ON ContactList (contactid);
CREATE TABLE CustChatObjectTag (id INTEGER PRIMARY KEY, tag INTEGER, name TEXT);
CREATE TABLE CustChatObjectList (id INTEGER PRIMARY KEY, contactid TEXT COLLATE NOCASE, name TEXT, alias TEXT,
                                 tag INTEGER, role TEXT);
CREATE UNIQUE INDEX CustChatObjectList_contactid ON CustChatObjectList (contactid);
CREATE TABLE CustChatGroupTag (id INTEGER PRIMARY KEY, tag INTEGER, name TEXT);
CREATE TABLE CustChatGroupList (id INTEGER PRIMARY KEY, groupid INTEGER, name TEXT, tag INTEGER, title TEXT,
                                members TEXT);
CREATE UNIQUE INDEX CustChatGroupList_groupid ON CustChatGroupList (groupid);
CREATE TABLE CustCommunityTag (id INTEGER PRIMARY KEY, tag INTEGER, name TEXT);
CREATE TABLE CustCommunity (id INTEGER PRIMARY KEY, groupid TEXT COLLATE NOCASE, groupname TEXT, tag INTEGER,
                            groupdes TEXT, members TEXT);
CREATE INDEX CustCommunity_groupid ON CustCommunity (groupid);
)sql";

const char* const kTables[] = {"ContactList",      "CustChatObjectTag", "CustChatObjectList", "CustChatGroupTag",
                               "CustChatGroupList", "CustCommunityTag",  "CustCommunity"};

// Closes a SQLite connection when it goes out of scope.
struct CConnection {
  sqlite3* db = nullptr;
  CConnection() = default;
  CConnection(const CConnection&) = delete;
  CConnection& operator=(const CConnection&) = delete;
  ~CConnection() {
    if (db) sqlite3_close_v2(db);
  }
};

bool HasAllTables(sqlite3* db) {
  for (const char* table : kTables) {
    CSqliteStatement statement;
    if (statement.Prepare(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE") !=
            SQLITE_OK ||
        statement.BindText(1, table) != SQLITE_OK || statement.Step() != SQLITE_ROW)
      return false;
  }
  return true;
}

bool CreateTables(const std::wstring& path) {
  CConnection connection;
  const std::string utf8 = CodePage::WideToUtf8(path.c_str());
  if (sqlite3_open_v2(utf8.c_str(), &connection.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
    return false;
  const std::string script = std::string("BEGIN;") + kSchema + "COMMIT;";
  return sqlite3_exec(connection.db, script.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace

bool IsChatDatabase(const char* path) {
  if (!path || !*path) return false;
  const std::wstring wide = CodePage::AnsiToWide(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  CConnection connection;
  if (sqlite3_open_v2(CodePage::AnsiToUtf8(path).c_str(), &connection.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
    return false;
  sqlite3_busy_timeout(connection.db, 2000);
  return HasAllTables(connection.db);
}

bool CreateChatDatabase(const char* path) {
  if (!path || !*path) return false;
  const std::wstring target = CodePage::AnsiToWide(path);
  if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) return IsChatDatabase(path);

  // Build the file under another name and move it into place only when it is
  // complete, so no half-made database is ever found under the real name,
  // and a file that appeared meanwhile (another process creating it too) is
  // not replaced.
  const std::wstring building = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".new";
  DeleteFileW(building.c_str());
  const bool built = CreateTables(building);
  DeleteFileW((building + L"-journal").c_str());
  if (built && MoveFileExW(building.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
  DeleteFileW(building.c_str());
  return GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES && IsChatDatabase(path);
}
