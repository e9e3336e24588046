#include "OrbADO.h"

#include <sqlite3.h>

#include <atomic>

#include "AccessStatement.h"
#include "CodePage.h"
#include "ConnectionPool.h"
#include "Recordset.h"
#include "SqliteStatement.h"

namespace {

bool IsExistingFile(const char* path) {
  const DWORD attributes = GetFileAttributesW(CodePage::AnsiToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ToUtf8(const char* ansi) { return CodePage::AnsiToUtf8(ansi ? ansi : ""); }

std::atomic<long> g_nOpened{0};

}  // namespace

COrbADO::COrbADO() = default;

COrbADO::~COrbADO() { DisConnect(); }

bool COrbADO::Fail(const char* what) {
  m_strLastError = what;
  if (m_pDb && sqlite3_errcode(m_pDb) != SQLITE_OK) {
    m_strLastError += ": ";
    m_strLastError += CodePage::Utf8ToAnsi(sqlite3_errmsg(m_pDb));
  }
  return false;
}

bool COrbADO::ConnectAccess(const char* path) {
  DisConnect();
  m_strLastError.Empty();
  // Without this test SQLite would open "" or ":memory:" as a database
  // that exists only in memory.
  if (!path || !*path) return Fail("no database file");
  // A pooled connection still holds its file under this name, so it needs no
  // look at the file system first.
  m_strPoolKey = CConnectionPool::KeyOf(CodePage::AnsiToWide(path));
  m_pDb = CConnectionPool::Instance().Take(m_strPoolKey);
  if (m_pDb) {
    sqlite3_busy_timeout(m_pDb, m_nBusyTimeout);
    return true;
  }
  if (!IsExistingFile(path)) return Fail("no database file");
  ++g_nOpened;
  if (sqlite3_open_v2(ToUtf8(path).c_str(), &m_pDb, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    Fail("cannot open the database file");
    Drop();
    return false;
  }
  sqlite3_busy_timeout(m_pDb, m_nBusyTimeout);
  // Reading the schema proves the file is a database and is readable now.
  CSqliteStatement probe;
  int rc = probe.Prepare(m_pDb, "SELECT count(*) FROM sqlite_master");
  if (rc == SQLITE_OK) rc = probe.Step();
  if (rc != SQLITE_ROW) {
    Fail("the file is not a readable database");
    probe.Finalize();
    Drop();
    return false;
  }
  return true;
}

bool COrbADO::OpenTable(const char* sql, CursorTypeEnum /*cursor*/, LockTypeEnum lock, long options) {
  CloseRecordset();
  m_strLastError.Empty();
  if (!m_pDb) return Fail("not connected");
  CString text(sql ? sql : "");
  if (options == adCmdTable) text = "SELECT * FROM [" + text + "]";
  const CAccessStatement statement(text);
  if (statement.IsEmpty()) return Fail("empty statement");
  if (statement.HasSeveralValues()) return Fail("more than one quoted value: compare one column with a quoted value");
  const bool changeable = lock != adLockReadOnly;
  if (changeable && statement.Table().empty()) return Fail("only SELECT * FROM a table can be changed");

  CSqliteStatement prepared;
  int rc = prepared.Prepare(m_pDb, statement.Text(changeable));
  if (rc == SQLITE_OK && statement.HasValue()) rc = prepared.BindText(1, statement.Value());
  if (rc != SQLITE_OK) return Fail("the statement cannot run");
  auto recordset = std::make_unique<CRecordset>(m_pDb, changeable ? statement.Table() : std::string());
  if (recordset->Load(prepared) != SQLITE_OK) return Fail("the statement failed");
  m_pRecordset = std::move(recordset);
  return true;
}

bool COrbADO::OpenTable(const char* sql, int cursor, int lock, long options) {
  return OpenTable(sql, static_cast<CursorTypeEnum>(cursor), static_cast<LockTypeEnum>(lock), options);
}

bool COrbADO::First() { return m_pRecordset && m_pRecordset->First(); }
bool COrbADO::Next() { return m_pRecordset && m_pRecordset->Next(); }
bool COrbADO::End() { return m_pRecordset && m_pRecordset->End(); }
bool COrbADO::Move(long n) { return m_pRecordset && m_pRecordset->Move(n); }
int COrbADO::isEOF() const { return m_pRecordset && m_pRecordset->HasCurrent() ? 0 : 1; }
long COrbADO::RecordCount() const { return m_pRecordset ? m_pRecordset->Count() : 0; }

COrbVariant COrbADO::GetField(const char* name) const {
  if (!m_pRecordset) return COrbVariant();
  const CDbValue* value = m_pRecordset->Field(ToUtf8(name).c_str());
  return value ? value->ToVariant() : COrbVariant();
}

bool COrbADO::SetField(const char* name, const COrbVariant& value) {
  if (!m_pRecordset) return Fail("no result");
  CDbValue stored;
  if (!CDbValue::FromVariant(value, stored)) return Fail("the value cannot be stored");
  if (!m_pRecordset->SetField(ToUtf8(name).c_str(), stored)) return Fail("no such field in a changeable record");
  return true;
}

bool COrbADO::AppendBlank() {
  if (!m_pRecordset || !m_pRecordset->AppendBlank()) return Fail("the result cannot be changed");
  return true;
}

bool COrbADO::Update() {
  if (!m_pRecordset) return Fail("no result");
  if (m_pRecordset->Update() != SQLITE_OK) return Fail("the record could not be saved");
  m_strLastError.Empty();
  return true;
}

void COrbADO::CancelUpdate() {
  if (m_pRecordset) m_pRecordset->CancelUpdate();
}

void COrbADO::CloseRecordset() { m_pRecordset.reset(); }

void COrbADO::DisConnect() {
  CloseRecordset();
  if (m_pDb) CConnectionPool::Instance().Give(m_strPoolKey, m_pDb);
  m_pDb = nullptr;
}

void COrbADO::Drop() {
  CloseRecordset();
  if (m_pDb) sqlite3_close_v2(m_pDb);
  m_pDb = nullptr;
}

void COrbADO::ReleaseIdleConnections() { CConnectionPool::Instance().ReleaseIdle(); }

size_t COrbADO::IdleConnectionCount() { return CConnectionPool::Instance().IdleCount(); }

long COrbADO::ConnectionsOpened() { return g_nOpened; }
