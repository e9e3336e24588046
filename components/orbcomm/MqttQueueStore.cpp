#include "MqttQueueStore.h"

#include <sqlite3.h>

#include "CodePage.h"
#include "SqliteStatement.h"
#include "SrwGuard.h"
#include "UnixClock.h"

namespace {

// Marks the file as this transport's queue, so that no other database is
// taken for one.
const int kApplicationId = 0x4F524D51;  // "ORMQ"

const char kSchema[] =
    "CREATE TABLE IF NOT EXISTS outbox (seq INTEGER PRIMARY KEY AUTOINCREMENT, topic TEXT NOT NULL,"
    " payload TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS inbox (seq INTEGER PRIMARY KEY AUTOINCREMENT, pool TEXT NOT NULL,"
    " text TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS seen (sender TEXT NOT NULL, msg_id TEXT NOT NULL, seen_at INTEGER NOT NULL,"
    " PRIMARY KEY (sender, msg_id)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS threads (thread_id TEXT PRIMARY KEY, members TEXT NOT NULL) WITHOUT ROWID;";

long long NowSeconds() { return UnixTimeMs() / 1000; }

}  // namespace

MqttQueueStore::~MqttQueueStore() { Close(); }

bool MqttQueueStore::Open(const CString& path, CString& error) {
  Close();
  ExclusiveGuard guard(m_lock);
  const std::string utf8 = CodePage::AnsiToUtf8(path.GetString(), path.GetLength());
  if (sqlite3_open_v2(utf8.c_str(), &m_pDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    error.Format("无法打开消息队列文件 %s", path.GetString());
    sqlite3_close_v2(m_pDb);
    m_pDb = nullptr;
    return false;
  }
  sqlite3_busy_timeout(m_pDb, 5000);
  CSqliteStatement id;
  int applicationId = -1;
  if (id.Prepare(m_pDb, "PRAGMA application_id") == SQLITE_OK && id.Step() == SQLITE_ROW)
    applicationId = static_cast<int>(id.ColumnInt64(0));
  id.Finalize();
  CSqliteStatement tables;
  long long count = -1;
  if (tables.Prepare(m_pDb, "SELECT count(*) FROM sqlite_master") == SQLITE_OK && tables.Step() == SQLITE_ROW)
    count = tables.ColumnInt64(0);
  tables.Finalize();
  const bool ours = applicationId == kApplicationId || (applicationId == 0 && count == 0);
  // Only this connection uses the file, so it keeps the lock for good:
  // taking and giving it back for every row (system calls, and round trips
  // to the server under Wine) cost more than the row. The log keeps every
  // committed row across a crash of the process; a sync per commit (which
  // only a power failure needs) would slow each message.
  if (!ours || !Exec("PRAGMA locking_mode=EXCLUSIVE") || !Exec("PRAGMA journal_mode=WAL") || !Exec("PRAGMA synchronous=NORMAL") ||
      !Exec("PRAGMA application_id=1330793809") || !Exec(kSchema)) {
    error.Format("消息队列文件 %s 已损坏或不是 OrbChat 的队列文件", path.GetString());
    sqlite3_close_v2(m_pDb);
    m_pDb = nullptr;
    return false;
  }
  return true;
}

void MqttQueueStore::Close() {
  ExclusiveGuard guard(m_lock);
  if (m_pDb) sqlite3_close_v2(m_pDb);
  m_pDb = nullptr;
}

bool MqttQueueStore::Exec(const char* sql) {
  return m_pDb && sqlite3_exec(m_pDb, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

long long MqttQueueStore::AddOutbox(const std::string& topic, const std::string& payload) {
  ExclusiveGuard guard(m_lock);
  CSqliteStatement insert;
  if (!m_pDb || insert.Prepare(m_pDb, "INSERT INTO outbox (topic, payload) VALUES (?, ?)") != SQLITE_OK ||
      insert.BindText(1, topic) != SQLITE_OK || insert.BindText(2, payload) != SQLITE_OK ||
      insert.Step() != SQLITE_DONE)
    return 0;
  return sqlite3_last_insert_rowid(m_pDb);
}

void MqttQueueStore::RemoveOutbox(const std::vector<long long>& seqs) {
  Remove("DELETE FROM outbox WHERE seq = ?", seqs);
}

std::vector<MqttQueueStore::Row> MqttQueueStore::LoadOutbox() {
  return Load("SELECT seq, topic, payload FROM outbox ORDER BY seq");
}

void MqttQueueStore::AddInbox(std::vector<Incoming>& messages) {
  ExclusiveGuard guard(m_lock);
  for (Incoming& message : messages) message.added = Added::Failed;
  if (messages.empty() || !Exec("BEGIN IMMEDIATE")) return;
  CSqliteStatement mark, insert;
  bool ok = mark.Prepare(m_pDb, "INSERT OR IGNORE INTO seen (sender, msg_id, seen_at) VALUES (?, ?, ?)") == SQLITE_OK &&
            insert.Prepare(m_pDb, "INSERT INTO inbox (pool, text) VALUES (?, ?)") == SQLITE_OK;
  const long long now = NowSeconds();
  for (Incoming& message : messages) {
    if (!ok) break;
    ok = mark.BindText(1, message.sender) == SQLITE_OK && mark.BindText(2, message.msgId) == SQLITE_OK &&
         mark.BindInt64(3, now) == SQLITE_OK && mark.Step() == SQLITE_DONE;
    mark.Reset();
    if (ok && sqlite3_changes(m_pDb) == 0) {
      message.added = Added::Duplicate;
      continue;
    }
    ok = ok && insert.BindText(1, message.pool) == SQLITE_OK && insert.BindText(2, message.text) == SQLITE_OK &&
         insert.Step() == SQLITE_DONE;
    insert.Reset();
    if (ok) {
      message.seq = sqlite3_last_insert_rowid(m_pDb);
      message.added = Added::Stored;
    }
  }
  mark.Finalize();
  insert.Finalize();
  if (!ok || !Exec("COMMIT")) {
    Exec("ROLLBACK");
    for (Incoming& message : messages) {
      message.added = Added::Failed;
      message.seq = 0;
    }
  }
}

void MqttQueueStore::RemoveInbox(const std::vector<long long>& seqs) { Remove("DELETE FROM inbox WHERE seq = ?", seqs); }

std::vector<MqttQueueStore::Row> MqttQueueStore::LoadInbox() {
  return Load("SELECT seq, pool, text FROM inbox ORDER BY seq");
}

void MqttQueueStore::SaveThread(const std::string& threadId, const std::string& members) {
  ExclusiveGuard guard(m_lock);
  CSqliteStatement save;
  if (m_pDb && save.Prepare(m_pDb, "INSERT OR REPLACE INTO threads (thread_id, members) VALUES (?, ?)") == SQLITE_OK &&
      save.BindText(1, threadId) == SQLITE_OK && save.BindText(2, members) == SQLITE_OK)
    save.Step();
}

std::map<std::string, std::string> MqttQueueStore::LoadThreads() {
  std::map<std::string, std::string> threads;
  for (const Row& row : Load("SELECT 0, thread_id, members FROM threads")) threads[row.key] = row.text;
  return threads;
}

void MqttQueueStore::PruneSeen(int maxAgeDays) {
  ExclusiveGuard guard(m_lock);
  CSqliteStatement prune;
  if (m_pDb && prune.Prepare(m_pDb, "DELETE FROM seen WHERE seen_at < ?") == SQLITE_OK &&
      prune.BindInt64(1, NowSeconds() - static_cast<long long>(maxAgeDays) * 86400) == SQLITE_OK)
    prune.Step();
}

std::vector<MqttQueueStore::Row> MqttQueueStore::Load(const char* sql) {
  ExclusiveGuard guard(m_lock);
  std::vector<Row> rows;
  CSqliteStatement select;
  if (!m_pDb || select.Prepare(m_pDb, sql) != SQLITE_OK) return rows;
  while (select.Step() == SQLITE_ROW) rows.push_back({select.ColumnInt64(0), select.ColumnText(1), select.ColumnText(2)});
  return rows;
}

void MqttQueueStore::Remove(const char* sql, const std::vector<long long>& seqs) {
  ExclusiveGuard guard(m_lock);
  CSqliteStatement remove;
  if (seqs.empty() || !m_pDb || remove.Prepare(m_pDb, sql) != SQLITE_OK || !Exec("BEGIN IMMEDIATE")) return;
  for (long long seq : seqs) {
    if (remove.BindInt64(1, seq) == SQLITE_OK) remove.Step();
    remove.Reset();
  }
  remove.Finalize();
  if (!Exec("COMMIT")) Exec("ROLLBACK");
}
