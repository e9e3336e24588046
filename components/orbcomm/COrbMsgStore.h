#pragma once
// The user's message store, the ".msg" file: an SQLite database with one row
// per stored InfoMsgStructer (all eleven fields, UTF-8 in the file) and the
// time it was stored. Each Save is its own transaction, committed to disk
// before Save returns, so a record is never lost when the program stops right
// after. The reading side serves the history viewer: the thread list, a
// thread's records newest first in pages, and a text search.
#include <memory>
#include <vector>

#include "CString.h"
#include "InfoMsgStructer.h"
#include "InfoStoredMsg.h"
#include "OrbcommApi.h"

class ORBCOMM_API COrbMsgStore {
 public:
  COrbMsgStore();
  ~COrbMsgStore();
  COrbMsgStore(const COrbMsgStore&) = delete;
  COrbMsgStore& operator=(const COrbMsgStore&) = delete;

  // Opens the store at path (code page 936), creating the file and its table
  // when missing. False when it cannot be opened or is not a message store.
  bool Open(const CString& path);
  // Opens an existing store for reading only (the history viewer).
  bool OpenReadOnly(const CString& path);
  void Close();
  bool IsOpen() const;
  // The last SQLite error message, for diagnostics ("" when none).
  CString GetLastError() const;

  // Stores one record; true once it is on disk.
  bool Save(const InfoMsgStructer& msg);

  // Threads, the most recently active first.
  bool ListThreads(std::vector<InfoThreadSummary>& threads);
  int CountThread(const CString& threadId);
  // The thread's records newest first, skipping offset of them, at most limit.
  bool ReadThread(const CString& threadId, int offset, int limit, std::vector<InfoStoredMsg>& page);
  // Records whose abstract, body or sender name contains text (letters A-Z
  // match either case), newest first, paged like ReadThread.
  int CountSearch(const CString& text);
  bool Search(const CString& text, int offset, int limit, std::vector<InfoStoredMsg>& page);

 private:
  struct Impl;
  std::unique_ptr<Impl> m_pImpl;
};
