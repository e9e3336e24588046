#include "COrbMsgStore.h"

#include <windows.h>

#include <sqlite3.h>

#include "CodePage.h"
#include "SqliteStatement.h"

namespace {

// Marks a file as our message store, so that no other database is ever
// taken for one and given a table of ours.
const int kApplicationId = 0x4F524D53;  // "ORMS"
const int kSchemaVersion = 1;

const char kCreateSql[] =
    "CREATE TABLE IF NOT EXISTS messages ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " stored_at INTEGER NOT NULL,"
    " abstract TEXT NOT NULL, body TEXT NOT NULL, \"from\" TEXT NOT NULL, from_id TEXT NOT NULL,"
    " msg_id TEXT NOT NULL, msg_type TEXT NOT NULL, publish_time TEXT NOT NULL, thread_id TEXT NOT NULL,"
    " thread_members TEXT NOT NULL, title TEXT NOT NULL, url TEXT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS messages_by_thread ON messages(thread_id, id);";

const char kInsertSql[] =
    "INSERT INTO messages (stored_at, abstract, body, \"from\", from_id, msg_id, msg_type, publish_time,"
    " thread_id, thread_members, title, url) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)";

// The columns every read selects, in this order.
const char kColumns[] =
    "SELECT id, stored_at, abstract, body, \"from\", from_id, msg_id, msg_type, publish_time, thread_id,"
    " thread_members, title, url FROM messages ";

std::string Utf8(const CString& ansi) { return CodePage::AnsiToUtf8(ansi.GetString(), ansi.GetLength()); }

CString Ansi(const std::string& utf8) { return CodePage::Utf8ToAnsi(utf8.data(), static_cast<int>(utf8.size())); }

long long NowMs() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER value;
  value.LowPart = now.dwLowDateTime;
  value.HighPart = now.dwHighDateTime;
  return static_cast<long long>((value.QuadPart - 116444736000000000ULL) / 10000ULL);
}

CString LocalTimeText(long long ms) {
  ULARGE_INTEGER value;
  value.QuadPart = static_cast<ULONGLONG>(ms) * 10000ULL + 116444736000000000ULL;
  FILETIME utc{value.LowPart, value.HighPart};
  FILETIME local;
  SYSTEMTIME time;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time)) return "";
  CString text;
  text.Format("%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
              time.wSecond);
  return text;
}

// A LIKE pattern that finds text anywhere, with the pattern characters of
// text itself taken literally.
std::string ContainsPattern(const CString& text) {
  std::string pattern = "%";
  for (char ch : Utf8(text)) {
    if (ch == '%' || ch == '_' || ch == '\\') pattern += '\\';
    pattern += ch;
  }
  pattern += '%';
  return pattern;
}

const char kSearchWhere[] =
    "WHERE abstract LIKE ?1 ESCAPE '\\' OR body LIKE ?1 ESCAPE '\\' OR \"from\" LIKE ?1 ESCAPE '\\' ";

}  // namespace

struct COrbMsgStore::Impl {
  sqlite3* db = nullptr;
  CSqliteStatement insert;
  CString lastError;

  bool Fail(const char* what) {
    lastError = what;
    if (db) {
      lastError += ": ";
      lastError += sqlite3_errmsg(db);
    }
    return false;
  }

  bool Exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

  int PragmaInt(const char* sql) {
    CSqliteStatement statement;
    if (statement.Prepare(db, sql) != SQLITE_OK || statement.Step() != SQLITE_ROW) return -1;
    return static_cast<int>(statement.ColumnInt64(0));
  }

  bool HasMessagesTable() {
    CSqliteStatement statement;
    return statement.Prepare(db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name='messages'") == SQLITE_OK &&
           statement.Step() == SQLITE_ROW;
  }

  // A new, empty file may become a store; anything else must already be one.
  // Nothing is written before this check, so another database stays as it was.
  bool IsOursOrEmpty(bool& isNew) {
    int applicationId = PragmaInt("PRAGMA application_id");
    if (applicationId < 0) return Fail("not a database");
    isNew = applicationId != kApplicationId;
    if (isNew && (applicationId != 0 || PragmaInt("SELECT count(*) FROM sqlite_master") != 0))
      return Fail("not a message store");
    return true;
  }

  bool PrepareSchema(bool writable) {
    bool isNew = false;
    if (!IsOursOrEmpty(isNew)) return false;
    if (!writable) return !isNew && (HasMessagesTable() || Fail("not a message store"));
    // Write-ahead log with a sync on every commit: a record is on disk when
    // Save returns. Where the log cannot be used the rollback journal with
    // full syncs gives the same guarantee.
    Exec("PRAGMA journal_mode=WAL");
    Exec("PRAGMA synchronous=FULL");
    if (isNew) {
      char sql[96];
      wsprintfA(sql, "PRAGMA application_id=%d; PRAGMA user_version=%d;", kApplicationId, kSchemaVersion);
      if (!Exec(sql)) return Fail("cannot mark the store");
    }
    return (Exec(kCreateSql) && HasMessagesTable()) || Fail("cannot create the table");
  }

  bool Open(const CString& path, bool writable) {
    Close();
    int flags = writable ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
    if (sqlite3_open_v2(Utf8(path).c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
      Fail("cannot open");
      Close();
      return false;
    }
    sqlite3_busy_timeout(db, 5000);
    bool ready = PrepareSchema(writable) && (!writable || insert.Prepare(db, kInsertSql) == SQLITE_OK || Fail("cannot prepare"));
    if (!ready) {
      Close();
      return false;
    }
    lastError.Empty();
    return true;
  }

  void Close() {
    insert.Finalize();
    if (db) sqlite3_close_v2(db);
    db = nullptr;
  }

  void ReadRow(const CSqliteStatement& statement, InfoStoredMsg& row) {
    row.m_nId = statement.ColumnInt64(0);
    row.m_nStoredAt = statement.ColumnInt64(1);
    row.m_strStoredAt = LocalTimeText(row.m_nStoredAt);
    InfoMsgStructer& msg = row.m_msg;
    CString* fields[] = {&msg.abstract,     &msg.body,      &msg.from,           &msg.from_id,
                         &msg.msg_id,       &msg.msg_type,  &msg.publish_time,   &msg.thread_id,
                         &msg.thread_members, &msg.title,   &msg.url};
    for (int i = 0; i < 11; ++i) *fields[i] = Ansi(statement.ColumnText(i + 2));
  }

  bool ReadPage(CSqliteStatement& statement, std::vector<InfoStoredMsg>& page) {
    page.clear();
    int result;
    while ((result = statement.Step()) == SQLITE_ROW) {
      page.emplace_back();
      ReadRow(statement, page.back());
    }
    return result == SQLITE_DONE || Fail("cannot read");
  }

  int Count(const char* sql, const std::string& argument) {
    CSqliteStatement statement;
    if (!db || statement.Prepare(db, sql) != SQLITE_OK || statement.BindText(1, argument) != SQLITE_OK || statement.Step() != SQLITE_ROW) {
      Fail("cannot count");
      return -1;
    }
    return static_cast<int>(statement.ColumnInt64(0));
  }
};

COrbMsgStore::COrbMsgStore() : m_pImpl(std::make_unique<Impl>()) {}

COrbMsgStore::~COrbMsgStore() { m_pImpl->Close(); }

bool COrbMsgStore::Open(const CString& path) { return m_pImpl->Open(path, true); }

bool COrbMsgStore::OpenReadOnly(const CString& path) { return m_pImpl->Open(path, false); }

void COrbMsgStore::Close() { m_pImpl->Close(); }

bool COrbMsgStore::IsOpen() const { return m_pImpl->db != nullptr; }

CString COrbMsgStore::GetLastError() const { return m_pImpl->lastError; }

bool COrbMsgStore::Save(const InfoMsgStructer& msg) {
  Impl& impl = *m_pImpl;
  if (!impl.db || !impl.insert.IsPrepared()) return impl.Fail("not open for writing");
  const CString* fields[] = {&msg.abstract,     &msg.body,     &msg.from,         &msg.from_id,
                             &msg.msg_id,       &msg.msg_type, &msg.publish_time, &msg.thread_id,
                             &msg.thread_members, &msg.title,  &msg.url};
  bool bound = impl.insert.BindInt64(1, NowMs()) == SQLITE_OK;
  for (int i = 0; i < 11 && bound; ++i) bound = impl.insert.BindText(i + 2, Utf8(*fields[i])) == SQLITE_OK;
  // One statement outside any transaction commits on its own.
  bool stored = bound && impl.insert.Step() == SQLITE_DONE;
  impl.insert.Reset();
  return stored || impl.Fail("cannot store");
}

bool COrbMsgStore::ListThreads(std::vector<InfoThreadSummary>& threads) {
  threads.clear();
  Impl& impl = *m_pImpl;
  CSqliteStatement statement;
  const char sql[] =
      "SELECT m.thread_id, m.thread_members, m.stored_at, t.cnt, t.last_id,"
      " (SELECT title FROM messages WHERE thread_id = m.thread_id AND title <> '' ORDER BY id DESC LIMIT 1)"
      " FROM (SELECT thread_id, COUNT(*) AS cnt, MAX(id) AS last_id FROM messages GROUP BY thread_id) t"
      " JOIN messages m ON m.id = t.last_id ORDER BY t.last_id DESC";
  if (!impl.db || statement.Prepare(impl.db, sql) != SQLITE_OK) return impl.Fail("cannot list threads");
  int result;
  while ((result = statement.Step()) == SQLITE_ROW) {
    InfoThreadSummary summary;
    summary.m_strThreadId = Ansi(statement.ColumnText(0));
    summary.m_strMembers = Ansi(statement.ColumnText(1));
    summary.m_strLastStoredAt = LocalTimeText(statement.ColumnInt64(2));
    summary.m_nCount = static_cast<int>(statement.ColumnInt64(3));
    summary.m_nLastId = statement.ColumnInt64(4);
    summary.m_strTitle = Ansi(statement.ColumnText(5));
    threads.push_back(summary);
  }
  return result == SQLITE_DONE || impl.Fail("cannot list threads");
}

int COrbMsgStore::CountThread(const CString& threadId) {
  return m_pImpl->Count("SELECT count(*) FROM messages WHERE thread_id = ?1", Utf8(threadId));
}

bool COrbMsgStore::ReadThread(const CString& threadId, int offset, int limit, std::vector<InfoStoredMsg>& page) {
  page.clear();
  Impl& impl = *m_pImpl;
  if (limit <= 0) return impl.db != nullptr;
  CSqliteStatement statement;
  std::string sql = std::string(kColumns) + "WHERE thread_id = ?1 ORDER BY id DESC LIMIT ?2 OFFSET ?3";
  if (!impl.db || statement.Prepare(impl.db, sql.c_str()) != SQLITE_OK || statement.BindText(1, Utf8(threadId)) != SQLITE_OK ||
      statement.BindInt64(2, limit) != SQLITE_OK || statement.BindInt64(3, offset < 0 ? 0 : offset) != SQLITE_OK)
    return impl.Fail("cannot read the thread");
  return impl.ReadPage(statement, page);
}

int COrbMsgStore::CountSearch(const CString& text) {
  if (text.IsEmpty()) return m_pImpl->db ? 0 : -1;
  std::string sql = std::string("SELECT count(*) FROM messages ") + kSearchWhere;
  return m_pImpl->Count(sql.c_str(), ContainsPattern(text));
}

bool COrbMsgStore::Search(const CString& text, int offset, int limit, std::vector<InfoStoredMsg>& page) {
  page.clear();
  Impl& impl = *m_pImpl;
  if (text.IsEmpty() || limit <= 0) return impl.db != nullptr;
  CSqliteStatement statement;
  std::string sql = std::string(kColumns) + kSearchWhere + "ORDER BY id DESC LIMIT ?2 OFFSET ?3";
  if (!impl.db || statement.Prepare(impl.db, sql.c_str()) != SQLITE_OK || statement.BindText(1, ContainsPattern(text)) != SQLITE_OK ||
      statement.BindInt64(2, limit) != SQLITE_OK || statement.BindInt64(3, offset < 0 ? 0 : offset) != SQLITE_OK)
    return impl.Fail("cannot search");
  return impl.ReadPage(statement, page);
}
