#include "COrbMsgStore.h"

#include <windows.h>

#include <sqlite3.h>

#include <limits>

#include "CodePage.h"
#include "MsgSearchText.h"
#include "SqliteStatement.h"
#include "UnixClock.h"

namespace {

// Marks a file as our message store, so that no other database is ever
// taken for one and given a table of ours.
const int kApplicationId = 0x4F524D53;  // "ORMS"
// 1: the records only. 2: with the thread summary and the searchable text.
const int kSchemaVersion = 2;

const char kCreateSql[] =
    "CREATE TABLE IF NOT EXISTS messages ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " stored_at INTEGER NOT NULL,"
    " abstract TEXT NOT NULL, body TEXT NOT NULL, \"from\" TEXT NOT NULL, from_id TEXT NOT NULL,"
    " msg_id TEXT NOT NULL, msg_type TEXT NOT NULL, publish_time TEXT NOT NULL, thread_id TEXT NOT NULL,"
    " thread_members TEXT NOT NULL, title TEXT NOT NULL, url TEXT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS messages_by_thread ON messages(thread_id, id);";

// The tables the reading side keeps beside the records, in the schema %s
// ("main", or "temp" for the private copy of a file opened for reading).
const char kSummarySql[] =
    "CREATE TABLE IF NOT EXISTS %s.threads ("
    " thread_id TEXT PRIMARY KEY, names TEXT NOT NULL, members TEXT NOT NULL, title TEXT NOT NULL,"
    " last_id INTEGER NOT NULL, last_at INTEGER NOT NULL, count INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS %s.threads_by_last ON threads(last_id);"
    "CREATE TABLE IF NOT EXISTS %s.message_text (id INTEGER PRIMARY KEY, fold TEXT NOT NULL);";

const char kInsertSql[] =
    "INSERT INTO messages (stored_at, abstract, body, \"from\", from_id, msg_id, msg_type, publish_time,"
    " thread_id, thread_members, title, url) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)";

const char kInsertTextSql[] = "INSERT OR REPLACE INTO %s.message_text (id, fold) VALUES (?1, ?2)";

// A thread's summary after one more record: the newest members, the newest
// non-empty title, the sender's name added once (the list is kept short).
const char kUpsertThreadSql[] =
    "INSERT INTO %s.threads (thread_id, names, members, title, last_id, last_at, count)"
    " VALUES (?1, ?2, ?3, ?4, ?5, ?6, 1) ON CONFLICT(thread_id) DO UPDATE SET"
    " names = CASE WHEN excluded.names = '' OR length(names) > 200"
    "   OR instr('\xE3\x80\x81' || names || '\xE3\x80\x81', '\xE3\x80\x81' || excluded.names || '\xE3\x80\x81') > 0 THEN names"
    "   WHEN names = '' THEN excluded.names ELSE names || '\xE3\x80\x81' || excluded.names END,"
    " members = excluded.members,"
    " title = CASE WHEN excluded.title <> '' THEN excluded.title ELSE title END,"
    " last_id = excluded.last_id, last_at = excluded.last_at, count = count + 1";

// The columns every read selects, in this order.
#define ORB_MSG_COLUMNS                                                                                       \
  "SELECT m.id, m.stored_at, m.abstract, m.body, m.\"from\", m.from_id, m.msg_id, m.msg_type, m.publish_time," \
  " m.thread_id, m.thread_members, m.title, m.url "
const char kColumns[] = ORB_MSG_COLUMNS "FROM messages m ";

// Records whose searchable text holds ?1 (folded like the text). The small
// text rows are scanned, newest first, and only a hit's record is read.
const char kSearchColumns[] =
    ORB_MSG_COLUMNS "FROM message_text t CROSS JOIN messages m ON m.id = t.id WHERE instr(t.fold, ?1) > 0 ";

std::string Utf8(const CString& ansi) { return CodePage::AnsiToUtf8(ansi.GetString(), ansi.GetLength()); }

CString Ansi(const std::string& utf8) { return CodePage::Utf8ToAnsi(utf8.data(), static_cast<int>(utf8.size())); }

std::string InSchema(const char* format, const char* schema) {
  std::string sql = format;
  for (size_t at; (at = sql.find("%s")) != std::string::npos;) sql.replace(at, 2, schema);
  return sql;
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

bool FileExists(const CString& path) {
  return GetFileAttributesW(CodePage::AnsiToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

COrbMsgStore::Failure FailureOf(int code) {
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
      return COrbMsgStore::Failure::Locked;
    case SQLITE_NOTADB:
      return COrbMsgStore::Failure::NotAStore;
    default:
      return COrbMsgStore::Failure::Damaged;
  }
}

}  // namespace

struct COrbMsgStore::Impl {
  sqlite3* db = nullptr;
  CSqliteStatement insert;
  CSqliteStatement insertText;
  CSqliteStatement upsertThread;
  CString lastError;
  Failure failure = Failure::None;

  bool Fail(const char* what, Failure kind = Failure::None) {
    lastError = what;
    int code = SQLITE_OK;
    if (db) {
      code = sqlite3_extended_errcode(db);
      lastError += ": ";
      lastError += sqlite3_errmsg(db);
    }
    failure = kind != Failure::None ? kind : FailureOf(code);
    return false;
  }

  bool Exec(const std::string& sql) { return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK; }

  long long QueryInt(const char* sql) {
    CSqliteStatement statement;
    if (statement.Prepare(db, sql) != SQLITE_OK || statement.Step() != SQLITE_ROW) return -1;
    return statement.ColumnInt64(0);
  }

  bool HasTable(const char* schema, const char* name) {
    CSqliteStatement statement;
    std::string sql = std::string("SELECT 1 FROM ") + schema + ".sqlite_master WHERE type='table' AND name=?1";
    return statement.Prepare(db, sql) == SQLITE_OK && statement.BindText(1, name) == SQLITE_OK &&
           statement.Step() == SQLITE_ROW;
  }

  // A new, empty file may become a store; anything else must already be one,
  // of a version this code can keep. Nothing is written before this check,
  // so another database stays as it was.
  bool IsOursOrEmpty(bool& isNew) {
    long long applicationId = QueryInt("PRAGMA application_id");
    if (applicationId < 0) return Fail("not a database");
    isNew = applicationId != kApplicationId;
    if (isNew && (applicationId != 0 || QueryInt("SELECT count(*) FROM sqlite_master") != 0))
      return Fail("not a message store", Failure::NotAStore);
    if (!isNew && QueryInt("PRAGMA user_version") > kSchemaVersion)
      return Fail("made by a newer version of the message store", Failure::Newer);
    return true;
  }

  bool PrepareSchema(bool writable) {
    bool isNew = false;
    if (!IsOursOrEmpty(isNew)) return false;
    if (!writable) {
      if (isNew) return Fail("empty", Failure::Empty);
      if (!HasTable("main", "messages")) return Fail("not a message store", Failure::NotAStore);
      return PrepareReadingTables();
    }
    // Write-ahead log with a sync on every commit: a record is on disk when
    // Save returns. Where the log cannot be used the rollback journal with
    // full syncs gives the same guarantee.
    Exec("PRAGMA journal_mode=WAL");
    Exec("PRAGMA synchronous=FULL");
    if (isNew && !Exec("PRAGMA application_id=" + std::to_string(kApplicationId))) return Fail("cannot mark the store");
    if (!Exec(kCreateSql) || !HasTable("main", "messages")) return Fail("cannot create the table");
    if (!Exec(InSchema(kSummarySql, "main")) || !PrepareWriters("main")) return Fail("cannot create the summary");
    if (!CatchUp()) return false;
    return Exec("PRAGMA user_version=" + std::to_string(kSchemaVersion)) || Fail("cannot mark the store");
  }

  bool PrepareWriters(const char* schema) {
    return insertText.Prepare(db, InSchema(kInsertTextSql, schema)) == SQLITE_OK &&
           upsertThread.Prepare(db, InSchema(kUpsertThreadSql, schema)) == SQLITE_OK;
  }

  // A file whose summary is missing or behind its records is read through a
  // private copy of the summary, made in memory for this connection only.
  bool PrepareReadingTables() {
    if (HasTable("main", "threads") && HasTable("main", "message_text") && !IsBehind()) return true;
    Exec("PRAGMA temp_store=MEMORY");
    bool made = Exec(InSchema(kSummarySql, "temp")) && PrepareWriters("temp") && CatchUp();
    insertText.Finalize();
    upsertThread.Finalize();
    return made || Fail("cannot read the records");
  }

  bool IsBehind() {
    return QueryInt("SELECT coalesce(max(id), 0) FROM messages") > QueryInt("SELECT coalesce(max(id), 0) FROM message_text");
  }

  // The summary row and searchable text of one record, with the writers of
  // PrepareWriters.
  bool Summarise(long long id, long long storedAt, const InfoMsgStructer& msg) {
    CString name = msg.from;
    name.Trim();
    bool done = insertText.BindInt64(1, id) == SQLITE_OK && insertText.BindText(2, MsgSearchText::Fold(msg)) == SQLITE_OK &&
                insertText.Step() == SQLITE_DONE;
    insertText.Reset();
    done = done && upsertThread.BindText(1, Utf8(msg.thread_id)) == SQLITE_OK &&
           upsertThread.BindText(2, Utf8(name)) == SQLITE_OK && upsertThread.BindText(3, Utf8(msg.thread_members)) == SQLITE_OK &&
           upsertThread.BindText(4, Utf8(msg.title)) == SQLITE_OK && upsertThread.BindInt64(5, id) == SQLITE_OK &&
           upsertThread.BindInt64(6, storedAt) == SQLITE_OK && upsertThread.Step() == SQLITE_DONE;
    upsertThread.Reset();
    return done;
  }

  // Summarises every record newer than the newest one summarised (all of
  // them in a new summary), in one transaction.
  bool CatchUp() {
    const long long done = QueryInt("SELECT coalesce(max(id), 0) FROM message_text");
    if (done < 0) return Fail("cannot read the summary");
    CSqliteStatement rows;
    std::string sql = std::string(kColumns) + "WHERE m.id > ?1 ORDER BY m.id";
    if (rows.Prepare(db, sql) != SQLITE_OK || rows.BindInt64(1, done) != SQLITE_OK) return Fail("cannot read the records");
    if (!Exec("BEGIN")) return Fail("cannot begin");
    int result;
    bool ok = true;
    InfoStoredMsg row;
    while (ok && (result = rows.Step()) == SQLITE_ROW) {
      ReadRow(rows, row);
      ok = Summarise(row.m_nId, row.m_nStoredAt, row.m_msg);
    }
    ok = ok && result == SQLITE_DONE;
    if (!ok) {
      Fail("cannot summarise the records");
      Exec("ROLLBACK");
      return false;
    }
    return Exec("COMMIT") || Fail("cannot commit");
  }

  bool Open(const CString& path, bool writable) {
    Close();
    failure = Failure::None;
    if (!writable && !FileExists(path)) return Fail("no such file", Failure::Missing);
    int flags = writable ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
    if (sqlite3_open_v2(Utf8(path).c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
      Fail("cannot open", FileExists(path) ? Failure::Locked : Failure::Missing);
      Close();
      return false;
    }
    // A reader gives up soon, so that a viewer never hangs on a file another
    // program holds; a writer waits longer, a record must not be lost.
    sqlite3_busy_timeout(db, writable ? 5000 : 1000);
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
    insertText.Finalize();
    upsertThread.Finalize();
    if (db) sqlite3_close_v2(db);
    db = nullptr;
  }

  // One record and its summary, inside the caller's transaction.
  bool SaveOne(const InfoMsgStructer& msg) {
    const CString* fields[] = {&msg.abstract,     &msg.body,     &msg.from,         &msg.from_id,
                               &msg.msg_id,       &msg.msg_type, &msg.publish_time, &msg.thread_id,
                               &msg.thread_members, &msg.title,  &msg.url};
    const long long storedAt = UnixTimeMs();
    bool bound = insert.BindInt64(1, storedAt) == SQLITE_OK;
    for (int i = 0; i < 11 && bound; ++i) bound = insert.BindText(i + 2, Utf8(*fields[i])) == SQLITE_OK;
    bool stored = bound && insert.Step() == SQLITE_DONE;
    insert.Reset();
    return stored && Summarise(sqlite3_last_insert_rowid(db), storedAt, msg);
  }

  bool SaveAll(const InfoMsgStructer* const* msgs, size_t count) {
    if (!db || !insert.IsPrepared()) return Fail("not open for writing");
    if (!Exec("BEGIN IMMEDIATE")) return Fail("cannot store");
    bool ok = true;
    for (size_t i = 0; i < count && ok; ++i) ok = SaveOne(*msgs[i]);
    if (ok && Exec("COMMIT")) return true;
    Fail("cannot store");
    Exec("ROLLBACK");
    return false;
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

  // Runs sql with the text ?1 and the integers ?2 and ?3 and reads its rows.
  bool ReadRecords(const std::string& sql, const std::string& text, long long second, long long third,
                   std::vector<InfoStoredMsg>& page) {
    page.clear();
    CSqliteStatement statement;
    if (!db || statement.Prepare(db, sql) != SQLITE_OK || statement.BindText(1, text) != SQLITE_OK ||
        statement.BindInt64(2, second) != SQLITE_OK || statement.BindInt64(3, third) != SQLITE_OK)
      return Fail("cannot read");
    return ReadPage(statement, page);
  }

  int Count(const std::string& sql, const std::string& argument) {
    CSqliteStatement statement;
    if (!db || statement.Prepare(db, sql) != SQLITE_OK || statement.BindText(1, argument) != SQLITE_OK ||
        statement.Step() != SQLITE_ROW) {
      Fail("cannot count");
      return -1;
    }
    return static_cast<int>(statement.ColumnInt64(0));
  }
};

namespace {
// Keyset bound for "older than": 0 means from the newest.
long long Before(long long id) { return id > 0 ? id : std::numeric_limits<long long>::max(); }
std::string Query(const CString& text) { return MsgSearchText::FoldQuery(Utf8(text)); }
}  // namespace

COrbMsgStore::COrbMsgStore() : m_pImpl(std::make_unique<Impl>()) {}

COrbMsgStore::~COrbMsgStore() { m_pImpl->Close(); }

bool COrbMsgStore::Open(const CString& path) { return m_pImpl->Open(path, true); }

bool COrbMsgStore::OpenReadOnly(const CString& path) { return m_pImpl->Open(path, false); }

void COrbMsgStore::Close() { m_pImpl->Close(); }

bool COrbMsgStore::IsOpen() const { return m_pImpl->db != nullptr; }

CString COrbMsgStore::GetLastError() const { return m_pImpl->lastError; }

COrbMsgStore::Failure COrbMsgStore::GetLastFailure() const { return m_pImpl->failure; }

bool COrbMsgStore::Save(const InfoMsgStructer& msg) {
  const InfoMsgStructer* one = &msg;
  return m_pImpl->SaveAll(&one, 1);
}

bool COrbMsgStore::SaveAll(const std::vector<InfoMsgStructer>& msgs) {
  std::vector<const InfoMsgStructer*> pointers;
  pointers.reserve(msgs.size());
  for (const InfoMsgStructer& msg : msgs) pointers.push_back(&msg);
  return m_pImpl->SaveAll(pointers.data(), pointers.size());
}

bool COrbMsgStore::SaveAll(const InfoMsgStructer* const* msgs, size_t count) {
  return m_pImpl->SaveAll(msgs, count);
}

bool COrbMsgStore::ListThreads(std::vector<InfoThreadSummary>& threads) { return ListThreads(0, -1, threads); }

namespace {
const char kThreadColumns[] = "SELECT thread_id, members, names, title, last_at, last_id, count FROM threads ";

InfoThreadSummary ReadSummary(const CSqliteStatement& statement) {
  InfoThreadSummary summary;
  summary.m_strThreadId = Ansi(statement.ColumnText(0));
  summary.m_strMembers = Ansi(statement.ColumnText(1));
  summary.m_strNames = Ansi(statement.ColumnText(2));
  summary.m_strTitle = Ansi(statement.ColumnText(3));
  summary.m_nLastStoredAt = statement.ColumnInt64(4);
  summary.m_strLastStoredAt = LocalTimeText(summary.m_nLastStoredAt);
  summary.m_nLastId = statement.ColumnInt64(5);
  summary.m_nCount = static_cast<int>(statement.ColumnInt64(6));
  return summary;
}
}  // namespace

bool COrbMsgStore::ListThreads(int offset, int limit, std::vector<InfoThreadSummary>& threads) {
  threads.clear();
  Impl& impl = *m_pImpl;
  CSqliteStatement statement;
  const std::string sql = std::string(kThreadColumns) + "ORDER BY last_id DESC LIMIT ?1 OFFSET ?2";
  if (!impl.db || statement.Prepare(impl.db, sql) != SQLITE_OK || statement.BindInt64(1, limit) != SQLITE_OK ||
      statement.BindInt64(2, offset < 0 ? 0 : offset) != SQLITE_OK)
    return impl.Fail("cannot list threads");
  int result;
  while ((result = statement.Step()) == SQLITE_ROW) threads.push_back(ReadSummary(statement));
  return result == SQLITE_DONE || impl.Fail("cannot list threads");
}

bool COrbMsgStore::GetThread(const CString& threadId, InfoThreadSummary& thread) {
  Impl& impl = *m_pImpl;
  CSqliteStatement statement;
  const std::string sql = std::string(kThreadColumns) + "WHERE thread_id = ?1";
  if (!impl.db || statement.Prepare(impl.db, sql) != SQLITE_OK || statement.BindText(1, Utf8(threadId)) != SQLITE_OK)
    return impl.Fail("cannot read the thread");
  if (statement.Step() != SQLITE_ROW) return false;
  thread = ReadSummary(statement);
  return true;
}

int COrbMsgStore::CountThreads() {
  Impl& impl = *m_pImpl;
  const long long count = impl.db ? impl.QueryInt("SELECT count(*) FROM threads") : -1;
  if (count < 0) impl.Fail("cannot count");
  return static_cast<int>(count);
}

int COrbMsgStore::CountThread(const CString& threadId) {
  return m_pImpl->Count("SELECT count FROM threads WHERE thread_id = ?1 UNION ALL SELECT 0 LIMIT 1", Utf8(threadId));
}

bool COrbMsgStore::ReadThread(const CString& threadId, int offset, int limit, std::vector<InfoStoredMsg>& page) {
  page.clear();
  if (limit <= 0) return m_pImpl->db != nullptr;
  const std::string sql = std::string(kColumns) + "WHERE m.thread_id = ?1 ORDER BY m.id DESC LIMIT ?2 OFFSET ?3";
  return m_pImpl->ReadRecords(sql, Utf8(threadId), limit, offset < 0 ? 0 : offset, page);
}

bool COrbMsgStore::ReadThreadBefore(const CString& threadId, long long beforeId, int limit,
                                    std::vector<InfoStoredMsg>& page) {
  page.clear();
  if (limit <= 0) return m_pImpl->db != nullptr;
  const std::string sql = std::string(kColumns) + "WHERE m.thread_id = ?1 AND m.id < ?3 ORDER BY m.id DESC LIMIT ?2";
  return m_pImpl->ReadRecords(sql, Utf8(threadId), limit, Before(beforeId), page);
}

int COrbMsgStore::CountSearch(const CString& text) {
  if (text.IsEmpty()) return m_pImpl->db ? 0 : -1;
  return m_pImpl->Count("SELECT count(*) FROM message_text WHERE instr(fold, ?1) > 0", Query(text));
}

bool COrbMsgStore::Search(const CString& text, int offset, int limit, std::vector<InfoStoredMsg>& page) {
  page.clear();
  if (text.IsEmpty() || limit <= 0) return m_pImpl->db != nullptr;
  const std::string sql = std::string(kSearchColumns) + "ORDER BY t.id DESC LIMIT ?2 OFFSET ?3";
  return m_pImpl->ReadRecords(sql, Query(text), limit, offset < 0 ? 0 : offset, page);
}

bool COrbMsgStore::SearchBefore(const CString& text, long long beforeId, int limit, std::vector<InfoStoredMsg>& page) {
  page.clear();
  if (text.IsEmpty() || limit <= 0) return m_pImpl->db != nullptr;
  const std::string sql = std::string(kSearchColumns) + "AND t.id < ?3 ORDER BY t.id DESC LIMIT ?2";
  return m_pImpl->ReadRecords(sql, Query(text), limit, Before(beforeId), page);
}
