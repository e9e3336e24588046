#include "ConnectionPool.h"

#include <sqlite3.h>

#include <algorithm>

CConnectionPool& CConnectionPool::Instance() {
  static CConnectionPool* pool = new CConnectionPool;
  return *pool;
}

std::wstring CConnectionPool::KeyOf(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length + 1);
    length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  full.resize(length > 0 && length < full.size() ? length : 0);
  if (full.empty()) full = path;
  CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
  return full;
}

sqlite3* CConnectionPool::Take(const std::wstring& key) {
  CloseExpired(GetTickCount64());  // also when the timer could not be started
  std::vector<sqlite3*> stale;
  sqlite3* found = nullptr;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_arrIdle.begin(); it != m_arrIdle.end();) {
      if (it->key != key) {
        ++it;
        continue;
      }
      sqlite3* db = it->db;
      it = m_arrIdle.erase(it);
      if (StillNamed(db)) {
        found = db;
        break;
      }
      stale.push_back(db);
    }
  }
  for (sqlite3* db : stale) sqlite3_close_v2(db);
  return found;
}

void CConnectionPool::Give(const std::wstring& key, sqlite3* db) {
  if (!db) return;
  if (!IsReusable(db)) {
    sqlite3_close_v2(db);
    return;
  }
  std::vector<sqlite3*> surplus;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    const size_t forFile = static_cast<size_t>(
        std::count_if(m_arrIdle.begin(), m_arrIdle.end(), [&](const Idle& idle) { return idle.key == key; }));
    if (forFile >= kMaxIdlePerFile || m_arrIdle.size() >= kMaxIdle) {
      surplus.push_back(db);
    } else {
      m_arrIdle.push_back({key, db, GetTickCount64()});
      EnsureTimer();
    }
  }
  for (sqlite3* extra : surplus) sqlite3_close_v2(extra);
}

void CConnectionPool::ReleaseIdle() {
  std::vector<Idle> idle;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    idle.swap(m_arrIdle);
  }
  for (const Idle& entry : idle) sqlite3_close_v2(entry.db);
}

void CConnectionPool::Shutdown() {
  HANDLE timer = nullptr;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::swap(timer, m_hTimer);
  }
  if (timer) DeleteTimerQueueTimer(nullptr, timer, nullptr);
  ReleaseIdle();
}

size_t CConnectionPool::IdleCount() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_arrIdle.size();
}

void CALLBACK CConnectionPool::OnTimer(PVOID pool, BOOLEAN /*fired*/) {
  static_cast<CConnectionPool*>(pool)->CloseExpired(GetTickCount64());
}

void CConnectionPool::CloseExpired(ULONGLONG now) {
  std::vector<sqlite3*> expired;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto keep = std::stable_partition(m_arrIdle.begin(), m_arrIdle.end(),
                                      [now](const Idle& idle) { return now - idle.since < kIdleMs; });
    for (auto it = keep; it != m_arrIdle.end(); ++it) expired.push_back(it->db);
    m_arrIdle.erase(keep, m_arrIdle.end());
  }
  for (sqlite3* db : expired) sqlite3_close_v2(db);
}

// One periodic timer for the pool's whole life, started with the first idle
// connection; it ticks at half the idle limit, so no connection stays more
// than one and a half limits. The DLL is pinned first: unloading it under a
// running timer would leave the timer calling into nothing, and waiting for
// the timer inside the DLL's detach could deadlock on the loader lock.
void CConnectionPool::EnsureTimer() {
  if (m_hTimer) return;
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                          reinterpret_cast<LPCWSTR>(&CConnectionPool::OnTimer), &self))
    return;  // without the pin no timer; idle connections then go at the next ReleaseIdle or exit
  const DWORD period = static_cast<DWORD>(kIdleMs / 2);
  if (!CreateTimerQueueTimer(&m_hTimer, nullptr, &OnTimer, this, period, period, WT_EXECUTEDEFAULT))
    m_hTimer = nullptr;
}

bool CConnectionPool::IsReusable(sqlite3* db) {
  if (sqlite3_next_stmt(db, nullptr)) return false;  // a statement still open
  if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  return sqlite3_get_autocommit(db) != 0;
}

// The pooled connection keeps its file open; when that file lost its last
// name (deleted, or another file put in its place), the path now means a
// different file or none, and the connection must not be used for it.
bool CConnectionPool::StillNamed(sqlite3* db) {
  HANDLE file = nullptr;
  if (sqlite3_file_control(db, "main", SQLITE_FCNTL_WIN32_GET_HANDLE, &file) != SQLITE_OK || !file ||
      file == INVALID_HANDLE_VALUE)
    return false;
  FILE_STANDARD_INFO info{};
  return GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof info) && info.NumberOfLinks > 0 &&
         !info.DeletePending;
}
