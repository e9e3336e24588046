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

// True unless the process is known to have ended; a process that cannot be
// asked about counts as running, so its file is left alone.
bool IsRunning(DWORD processId) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

// Removes "<target>.<process id>.new" and its journal left by processes that
// were killed while they built the file; those of processes that still run
// (and are building it right now) stay.
void RemoveLeftovers(const std::wstring& target) {
  const size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
  const std::wstring name = target.substr(folder.size());
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((target + L".*.new*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    // The part between "<name>." and ".new" must be a process id, and the
    // rest exactly ".new" or ".new-journal".
    const std::wstring file = found.cFileName;
    if (file.size() <= name.size() + 1 || file.compare(0, name.size() + 1, name + L".") != 0) continue;
    const size_t digits = file.find_first_not_of(L"0123456789", name.size() + 1);
    if (digits == name.size() + 1 || digits == std::wstring::npos || digits - name.size() - 1 > 10) continue;
    const std::wstring rest = file.substr(digits);
    if (rest != L".new" && rest != L".new-journal") continue;
    const unsigned long long id = std::stoull(file.substr(name.size() + 1, digits - name.size() - 1));
    if (id > 0xFFFFFFFFull || id == GetCurrentProcessId() || IsRunning(static_cast<DWORD>(id))) continue;
    DeleteFileW((folder + file).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
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
  RemoveLeftovers(target);
  if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) return IsChatDatabase(path);

  // Build the file under another name and move it into place only when it is
  // complete, so no half-made database is ever found under the real name,
  // and a file that appeared meanwhile (another process creating it too) is
  // not replaced.
  const std::wstring building = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".new";
  // A file of that name and its journal can only be left from an earlier
  // process with the same id; a stale journal would be rolled into the new
  // file, so both go first.
  DeleteFileW(building.c_str());
  DeleteFileW((building + L"-journal").c_str());
  const bool built = CreateTables(building);
  DeleteFileW((building + L"-journal").c_str());
  if (built && MoveFileExW(building.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
  DeleteFileW(building.c_str());
  return GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES && IsChatDatabase(path);
}
