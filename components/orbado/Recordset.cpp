#include "Recordset.h"

#include <utility>

namespace {

bool SameName(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size(); ++i) {
    if (!b[i]) return false;
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return b[i] == '\0';
}

}  // namespace

CRecordset::CRecordset(sqlite3* db, std::string table) : m_pDb(db), m_strTable(std::move(table)) {}

int CRecordset::Load(CSqliteStatement& statement) {
  const int first = IsChangeable() ? 1 : 0;
  const int columns = statement.ColumnCount();
  m_arrColumns.clear();
  for (int i = first; i < columns; ++i) {
    const char* name = sqlite3_column_name(statement.Get(), i);
    m_arrColumns.emplace_back(name ? name : "");
  }
  m_arrRows.clear();
  int rc;
  while ((rc = statement.Step()) == SQLITE_ROW) {
    CRow row;
    if (IsChangeable()) row.key = sqlite3_column_int64(statement.Get(), 0);
    row.values.reserve(m_arrColumns.size());
    for (int i = first; i < columns; ++i) row.values.push_back(CDbValue::FromColumn(statement.Get(), i));
    m_arrRows.push_back(std::move(row));
  }
  m_nCurrent = 0;
  m_arrDirty.assign(m_arrColumns.size(), false);
  return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

bool CRecordset::First() {
  LeaveRow();
  m_nCurrent = 0;
  return HasCurrent();
}

bool CRecordset::Next() {
  LeaveRow();
  if (m_nCurrent < Count()) ++m_nCurrent;
  return HasCurrent();
}

bool CRecordset::End() {
  LeaveRow();
  m_nCurrent = Count() > 0 ? Count() - 1 : 0;
  return HasCurrent();
}

bool CRecordset::Move(long number) {
  LeaveRow();
  m_nCurrent = number >= 1 && number <= Count() ? number - 1 : Count();
  return HasCurrent();
}

int CRecordset::ColumnIndex(const char* utf8Name) const {
  if (!utf8Name) return -1;
  for (size_t i = 0; i < m_arrColumns.size(); ++i)
    if (SameName(m_arrColumns[i], utf8Name)) return static_cast<int>(i);
  return -1;
}

const CDbValue* CRecordset::Field(const char* utf8Name) const {
  const int column = ColumnIndex(utf8Name);
  if (!HasCurrent() || column < 0) return nullptr;
  return &m_arrRows[static_cast<size_t>(m_nCurrent)].values[static_cast<size_t>(column)];
}

bool CRecordset::HasPendingChanges() const {
  if (!HasCurrent()) return false;
  if (m_arrRows[static_cast<size_t>(m_nCurrent)].isNew) return true;
  for (bool dirty : m_arrDirty)
    if (dirty) return true;
  return false;
}

bool CRecordset::SetField(const char* utf8Name, const CDbValue& value) {
  const int column = ColumnIndex(utf8Name);
  if (!IsChangeable() || !HasCurrent() || column < 0) return false;
  CRow& row = m_arrRows[static_cast<size_t>(m_nCurrent)];
  if (!HasPendingChanges()) m_backup = row;
  row.values[static_cast<size_t>(column)] = value;
  m_arrDirty[static_cast<size_t>(column)] = true;
  return true;
}

bool CRecordset::AppendBlank() {
  if (!IsChangeable()) return false;
  LeaveRow();
  CRow row;
  row.isNew = true;
  row.values.resize(m_arrColumns.size());
  m_arrRows.push_back(std::move(row));
  m_nCurrent = Count() - 1;
  m_arrDirty.assign(m_arrColumns.size(), false);
  return true;
}

int CRecordset::Update() {
  if (!IsChangeable()) return SQLITE_READONLY;
  if (!HasCurrent()) return SQLITE_MISUSE;
  if (!HasPendingChanges()) return SQLITE_OK;
  CRow& row = m_arrRows[static_cast<size_t>(m_nCurrent)];
  int rc = row.isNew ? Insert(row) : Change(row);
  if (rc == SQLITE_OK) m_arrDirty.assign(m_arrColumns.size(), false);
  return rc;
}

void CRecordset::CancelUpdate() {
  if (!HasPendingChanges()) return;
  CRow& row = m_arrRows[static_cast<size_t>(m_nCurrent)];
  if (row.isNew)
    m_arrRows.erase(m_arrRows.begin() + m_nCurrent);
  else
    row = m_backup;
  m_arrDirty.assign(m_arrColumns.size(), false);
}

void CRecordset::LeaveRow() {
  if (HasPendingChanges() && Update() != SQLITE_OK) CancelUpdate();
}

std::string CRecordset::QuotedName(const std::string& name) const {
  std::string quoted = "\"";
  for (char ch : name) {
    if (ch == '"') quoted += '"';
    quoted += ch;
  }
  return quoted + "\"";
}

int CRecordset::Insert(CRow& row) {
  std::string columns, marks;
  std::vector<size_t> changed;
  for (size_t i = 0; i < m_arrColumns.size(); ++i) {
    if (!m_arrDirty[i]) continue;
    columns += (changed.empty() ? "" : ", ") + QuotedName(m_arrColumns[i]);
    marks += changed.empty() ? "?" : ", ?";
    changed.push_back(i);
  }
  std::string sql = "INSERT INTO " + QuotedName(m_strTable) +
                    (changed.empty() ? " DEFAULT VALUES" : " (" + columns + ") VALUES (" + marks + ")");
  CSqliteStatement statement;
  int rc = statement.Prepare(m_pDb, sql);
  for (size_t i = 0; rc == SQLITE_OK && i < changed.size(); ++i)
    rc = row.values[changed[i]].Bind(statement.Get(), static_cast<int>(i) + 1);
  if (rc == SQLITE_OK) rc = statement.Step();
  if (rc != SQLITE_DONE) return rc == SQLITE_OK ? SQLITE_ERROR : rc;
  row.key = sqlite3_last_insert_rowid(m_pDb);
  row.isNew = false;
  // Read the row back for the values the file filled in (its record number).
  Reload(row);
  return SQLITE_OK;
}

int CRecordset::Change(CRow& row) {
  std::string assignments;
  std::vector<size_t> changed;
  for (size_t i = 0; i < m_arrColumns.size(); ++i) {
    if (!m_arrDirty[i]) continue;
    assignments += (changed.empty() ? "" : ", ") + QuotedName(m_arrColumns[i]) + " = ?";
    changed.push_back(i);
  }
  CSqliteStatement statement;
  int rc = statement.Prepare(m_pDb, "UPDATE " + QuotedName(m_strTable) + " SET " + assignments + " WHERE _rowid_ = ?");
  for (size_t i = 0; rc == SQLITE_OK && i < changed.size(); ++i)
    rc = row.values[changed[i]].Bind(statement.Get(), static_cast<int>(i) + 1);
  if (rc == SQLITE_OK) rc = statement.BindInt64(static_cast<int>(changed.size()) + 1, row.key);
  if (rc == SQLITE_OK) rc = statement.Step();
  if (rc != SQLITE_DONE) return rc == SQLITE_OK ? SQLITE_ERROR : rc;
  // Optimistic locking: the row may have gone since it was read.
  return sqlite3_changes(m_pDb) == 1 ? SQLITE_OK : SQLITE_NOTFOUND;
}

int CRecordset::Reload(CRow& row) {
  CSqliteStatement statement;
  int rc = statement.Prepare(m_pDb, "SELECT * FROM " + QuotedName(m_strTable) + " WHERE _rowid_ = ?");
  if (rc == SQLITE_OK) rc = statement.BindInt64(1, row.key);
  if (rc == SQLITE_OK) rc = statement.Step();
  if (rc != SQLITE_ROW || statement.ColumnCount() != static_cast<int>(m_arrColumns.size())) return SQLITE_ERROR;
  for (size_t i = 0; i < m_arrColumns.size(); ++i) row.values[i] = CDbValue::FromColumn(statement.Get(), static_cast<int>(i));
  return SQLITE_OK;
}
