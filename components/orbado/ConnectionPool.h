#pragma once
// Connections to database files kept between a DisConnect and the next
// ConnectAccess of the same file, as OLE DB session pooling does: the chat
// module opens and closes the database for every statement, and opening a
// SQLite file costs several times the statement itself.
//
// A connection goes back to the pool only without a transaction or a
// statement left open, so other processes see every change it made. While a
// connection is pooled the file stays open, and Windows lets no one delete or
// replace an open file; so an idle connection is closed after kIdleMs by a
// timer of the system's thread pool, and ReleaseIdle closes all of them at
// once. A connection whose file was deleted or replaced meanwhile (the file
// it holds has no name any more) is closed instead of handed out.
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

struct sqlite3;

class CConnectionPool {
 public:
  static constexpr ULONGLONG kIdleMs = 1000;
  static constexpr size_t kMaxIdlePerFile = 2;
  static constexpr size_t kMaxIdle = 8;

  // The one pool of the process. It is never destroyed, and once its timer
  // runs the DLL stays loaded until the process ends, so the timer can never
  // fire into a pool or code that is gone.
  static CConnectionPool& Instance();

  // The key of a file: its full path, upper case.
  static std::wstring KeyOf(const std::wstring& path);
  // An idle connection to the file, or null.
  sqlite3* Take(const std::wstring& key);
  // Takes a connection back, or closes it when it cannot be reused.
  void Give(const std::wstring& key, sqlite3* db);
  // Closes every idle connection now.
  void ReleaseIdle();
  // Stops the expiry timer without waiting for it and closes every idle
  // connection: at process exit, when the timer's thread may be gone.
  void Shutdown();
  size_t IdleCount();

 private:
  struct Idle {
    std::wstring key;
    sqlite3* db;
    ULONGLONG since;
  };
  CConnectionPool() = default;
  static void CALLBACK OnTimer(PVOID pool, BOOLEAN fired);
  static bool IsReusable(sqlite3* db);
  static bool StillNamed(sqlite3* db);
  void CloseExpired(ULONGLONG now);
  void EnsureTimer();

  std::mutex m_mutex;
  std::vector<Idle> m_arrIdle;
  HANDLE m_hTimer = nullptr;
};
