// How long the chat module's database uses take over a user's database of
// 10,000 chat objects and 10,000 contacts:
//   1. one lookup by contact id as the chat manager does it for each message
//      (connect, open, read, disconnect);
//   2. the same statement through one kept connection;
//   3. the contact browser's whole-table result paged with Move to row 9,901.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ChatDb.h"
#include "OrbADO.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

bool Fill(const CChatDb& file) {
  std::string sql = "BEGIN;";
  for (int i = 1; i <= 10000; ++i) {
    const std::string id = "c" + std::to_string(100000 + i);
    sql += "INSERT INTO ContactList VALUES ('" + id + "', '联系人" + std::to_string(i) + "', 'c');";
    sql += "INSERT INTO CustChatObjectList (contactid, name, alias, tag, role) VALUES ('" + id + "', '联系人" +
           std::to_string(i) + "', '', " + std::to_string(i % 7 + 1) + ", 'c');";
  }
  return file.Exec((sql + "COMMIT;").c_str());
}

CString LookupSql(int n) {
  CString sql;
  sql.Format("SELECT * FROM CustChatObjectList where contactid='c%d'", 100000 + (n * 7919) % 10000 + 1);
  return sql;
}

// Reads what the chat manager reads; returns false when the row is missing.
bool ReadOne(COrbADO& db, int n) {
  if (!db.OpenTable(LookupSql(n), adOpenStatic, adLockReadOnly, adCmdText)) return false;
  db.First();
  if (db.isEOF()) return false;
  CString alias = db.GetField("alias").ToString();
  CString name = db.GetField("name").ToString();
  return !name.IsEmpty();
}

}  // namespace

int main() {
  CChatDb file("bench.dat");
  if (!Fill(file)) {
    std::printf("could not fill the benchmark database\n");
    return 1;
  }
  const int lookups = 2000;

  // Warm the file cache once, as a running client would have it.
  {
    COrbADO db;
    if (!db.ConnectAccess(file.Path()) || !ReadOne(db, 0)) {
      std::printf("lookup failed\n");
      return 1;
    }
  }

  double start = Now();
  for (int n = 0; n < lookups; ++n) {
    COrbADO db;
    if (!db.ConnectAccess(file.Path()) || !ReadOne(db, n)) {
      std::printf("lookup %d failed\n", n);
      return 1;
    }
    db.DisConnect();
  }
  const double perOpen = (Now() - start) / lookups;

  COrbADO kept;
  if (!kept.ConnectAccess(file.Path())) return 1;
  start = Now();
  for (int n = 0; n < lookups; ++n) {
    if (!ReadOne(kept, n)) {
      std::printf("kept lookup %d failed\n", n);
      return 1;
    }
  }
  const double perKept = (Now() - start) / lookups;
  kept.DisConnect();

  const int pagings = 20;
  start = Now();
  for (int n = 0; n < pagings; ++n) {
    COrbADO db;
    if (!db.ConnectAccess(file.Path()) || !db.OpenTable("select * from ContactList", adOpenStatic, adLockReadOnly,
                                                        adCmdText)) {
      std::printf("paging failed\n");
      return 1;
    }
    db.First();
    if (db.RecordCount() != 10000 || !db.Move(9901) || db.GetField("contactid").ToString() != "c109901") {
      std::printf("paging read the wrong row\n");
      return 1;
    }
    db.DisConnect();
  }
  const double perPaging = (Now() - start) / pagings;

  std::printf("lookup by contact id, connect..disconnect: %8.1f us per lookup (%d runs)\n", perOpen, lookups);
  std::printf("lookup by contact id, kept connection:    %8.1f us per lookup (%d runs)\n", perKept, lookups);
  std::printf("ratio connect-per-lookup / kept:          %8.1f\n", perOpen / perKept);
  std::printf("select * from ContactList, Move(9901):    %8.1f us per open+move (%d runs)\n", perPaging, pagings);
  std::printf("goal (whole lookup under 1000 us):        %s\n", perOpen < 1000.0 ? "met" : "MISSED");
  return 0;
}
