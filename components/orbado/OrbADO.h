#pragma once
// Access to the user's local chat database (a SQLite file) in the manner of
// an ADO connection and recordset: connect to the file, open one statement,
// walk its records, read and change fields as VARIANTs, disconnect.
//
// Text crosses this interface as ANSI code page 936; the file stores UTF-8.
// Statements are written as for Access: "SELECT TOP n" is understood, and an
// id put between the quotes of a final "WHERE column='...'" is bound as one
// value whatever quotes it holds (see AccessStatement.h), so callers format
// ids into the statement unchanged.
//
// No call throws and none blocks for long: a missing, locked or damaged file
// makes ConnectAccess or OpenTable return false after at most the busy
// timeout.
#include <memory>
#include <string>

#include "CString.h"
#include "OrbADOApi.h"
#include "OrbVariant.h"

struct sqlite3;
class CRecordset;

enum CursorTypeEnum { adOpenUnspecified = -1, adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockTypeEnum {
  adLockUnspecified = -1,
  adLockReadOnly = 1,
  adLockPessimistic = 2,
  adLockOptimistic = 3,
  adLockBatchOptimistic = 4
};
enum CommandTypeEnum { adCmdUnspecified = -1, adCmdText = 1, adCmdTable = 2, adCmdUnknown = 8 };

class ORBADO_API COrbADO {
 public:
  COrbADO();
  COrbADO(const COrbADO&) = delete;
  COrbADO& operator=(const COrbADO&) = delete;
  virtual ~COrbADO();

  // Opens an existing database file (ANSI path). Never creates a file: false
  // when it is missing, is not a database, or cannot be read.
  bool ConnectAccess(const char* path);
  // Runs one statement. adLockReadOnly gives a read-only result; any other
  // lock type gives a changeable one, which needs a "SELECT * FROM table ..."
  // statement. adCmdTable takes the text as a table name. On false there is
  // no result (and the connection stays open for DisConnect).
  bool OpenTable(const char* sql, CursorTypeEnum cursor = adOpenStatic, LockTypeEnum lock = adLockReadOnly,
                 long options = adCmdText);
  // The same with the option values as plain numbers (3, 1, 1 to read; 1, 3,
  // 1 to change).
  bool OpenTable(const char* sql, int cursor, int lock, long options);

  // Cursor moves; each returns true when a record is current afterwards.
  // Changes not yet saved with Update are saved before the cursor moves (a
  // change that cannot be saved then is dropped).
  bool First();
  bool Next();
  bool End();
  // Makes record number n (1-based) current; outside 1..RecordCount no record
  // is current.
  bool Move(long n);
  // Non-zero when there is no current record (also without a result).
  int isEOF() const;
  long RecordCount() const;

  // The current record's value; VT_NULL for NULL, VT_EMPTY when there is no
  // current record or no such column.
  COrbVariant GetField(const char* name) const;
  // Changes a field of the current record (saved by Update); false on a
  // read-only result, without a current record, for an unknown column or a
  // value type a table cannot hold.
  bool SetField(const char* name, const COrbVariant& value);
  // Appends an empty record and makes it current; Update inserts it.
  bool AppendBlank();
  // Saves the current record's changes; false when they could not be saved
  // (the file is locked, a unique column would repeat, the row was removed
  // meanwhile). The changes then stay pending.
  bool Update();
  // Drops the current record's unsaved changes.
  void CancelUpdate();
  // Closes the result and gives the connection back to the component's pool
  // (see ConnectionPool.h): the next ConnectAccess of the same file within a
  // second reuses it. Nothing stays uncommitted; unsaved changes are dropped.
  void DisConnect();

  bool IsConnected() const { return m_pDb != nullptr; }
  bool IsOpen() const { return m_pRecordset != nullptr; }
  // How long a statement waits for another user of the file; 2000 ms by
  // default. Takes effect at the next ConnectAccess.
  void SetBusyTimeout(int milliseconds) { m_nBusyTimeout = milliseconds; }
  // The last failure as text (for logs and tests), empty after a success.
  CString GetLastError() const { return m_strLastError; }

  // Closes every pooled connection now, so the files can be deleted or
  // replaced at once (they are closed after a second of idleness anyway).
  static void ReleaseIdleConnections();
  // Pooled connections, and connections opened since the process started.
  static size_t IdleConnectionCount();
  static long ConnectionsOpened();

 private:
  void CloseRecordset();
  bool Fail(const char* what);
  // Closes a connection that must not be reused.
  void Drop();

  sqlite3* m_pDb = nullptr;
  std::wstring m_strPoolKey;
  std::unique_ptr<CRecordset> m_pRecordset;
  int m_nBusyTimeout = 2000;
  CString m_strLastError;
};
