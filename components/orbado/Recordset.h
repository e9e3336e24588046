#pragma once
// The result of one statement, read whole when it is opened (a static
// snapshot: RecordCount, End and Move work on every result, and no read lock
// is held while the caller walks it). A changeable recordset also knows each
// row's key in its table, so the current row can be changed and saved, and new
// rows appended; a change is written when Update is called, or before the
// cursor leaves the row, as ADO does.
#include <sqlite3.h>

#include <string>
#include <vector>

#include "DbValue.h"
#include "SqliteStatement.h"

class CRecordset {
 public:
  // table: the table the rows come from (UTF-8), for changes; empty when the
  // recordset is read-only.
  CRecordset(sqlite3* db, std::string table);

  // Reads every row of a prepared statement; with a table, column 0 holds the
  // row key. Returns SQLite's result code.
  int Load(CSqliteStatement& statement);

  long Count() const { return static_cast<long>(m_arrRows.size()); }
  bool HasCurrent() const { return m_nCurrent >= 0 && m_nCurrent < Count(); }
  bool IsChangeable() const { return !m_strTable.empty(); }

  bool First();
  bool Next();
  bool End();
  // 1-based record number; a number outside the result leaves no current row.
  bool Move(long number);

  // The current row's field, null when there is no current row or no such
  // column (names match without case).
  const CDbValue* Field(const char* utf8Name) const;
  bool SetField(const char* utf8Name, const CDbValue& value);
  bool AppendBlank();
  // Writes the current row's changes; true when there was nothing to write.
  int Update();
  // Drops unsaved changes of the current row (an unsaved new row goes away).
  void CancelUpdate();

 private:
  struct CRow {
    sqlite3_int64 key = 0;
    bool isNew = false;
    std::vector<CDbValue> values;
  };

  int ColumnIndex(const char* utf8Name) const;
  bool HasPendingChanges() const;
  // Saves pending changes before the cursor moves; a change that cannot be
  // saved is dropped so the snapshot keeps showing what the file holds.
  void LeaveRow();
  int Insert(CRow& row);
  int Change(CRow& row);
  int Reload(CRow& row);
  std::string QuotedName(const std::string& name) const;

  sqlite3* m_pDb;
  std::string m_strTable;
  std::vector<std::string> m_arrColumns;
  std::vector<CRow> m_arrRows;
  long m_nCurrent = 0;
  std::vector<bool> m_arrDirty;
  CRow m_backup;
};
