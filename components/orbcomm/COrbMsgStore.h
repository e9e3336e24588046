#pragma once
// The user's message store, the ".msg" file: an SQLite database with one row
// per stored InfoMsgStructer (all eleven fields, UTF-8 in the file) and the
// time it was stored. Each Save is its own transaction, committed to disk
// before Save returns, so a record is never lost when the program stops right
// after. The reading side serves the history viewer: the thread list, a
// thread's records newest first in pages, and a text search.
//
// Beside the records the file keeps two tables the reading side needs to stay
// quick with a large history: one summary row per thread (count, last record,
// senders' names) and the searchable text of every record. Save keeps them in
// step in the record's own transaction; a file written before they existed,
// or by a program that does not know them, is brought up to date when it is
// opened for writing, and read through a private in-memory copy of them when
// it is opened for reading only.
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

  // Why the last Open, OpenReadOnly or read failed.
  enum class Failure {
    None,
    Missing,    // there is no file at the path
    Empty,      // the file holds no database yet (read only: nothing to show)
    NotAStore,  // another kind of file or database
    Newer,      // written by a newer version of the store
    Locked,     // another program holds the file
    Damaged,    // the file is a store but cannot be read
  };
  Failure GetLastFailure() const;

  // Stores one record; true once it is on disk.
  bool Save(const InfoMsgStructer& msg);
  // Stores the records in one transaction: all of them or none.
  bool SaveAll(const std::vector<InfoMsgStructer>& msgs);
  bool SaveAll(const InfoMsgStructer* const* msgs, size_t count);

  // Threads, the most recently active first: all, or a page of them.
  bool ListThreads(std::vector<InfoThreadSummary>& threads);
  bool ListThreads(int offset, int limit, std::vector<InfoThreadSummary>& threads);
  int CountThreads();
  // The summary of one thread; false when the store has none of that id.
  bool GetThread(const CString& threadId, InfoThreadSummary& thread);
  int CountThread(const CString& threadId);
  // The thread's records newest first, skipping offset of them, at most limit.
  bool ReadThread(const CString& threadId, int offset, int limit, std::vector<InfoStoredMsg>& page);
  // The thread's records older than the record beforeId (0: from the
  // newest), newest first, at most limit. Each page costs the same however
  // deep in the thread it lies.
  bool ReadThreadBefore(const CString& threadId, long long beforeId, int limit, std::vector<InfoStoredMsg>& page);
  // Records whose text, as the reader sees it, or sender name contains text
  // (letters A-Z match either case; markup and the headers of web-page bodies
  // are not searched), newest first, paged like ReadThread.
  int CountSearch(const CString& text);
  bool Search(const CString& text, int offset, int limit, std::vector<InfoStoredMsg>& page);
  // The same, older than the record beforeId (0: from the newest).
  bool SearchBefore(const CString& text, long long beforeId, int limit, std::vector<InfoStoredMsg>& page);

 private:
  struct Impl;
  std::unique_ptr<Impl> m_pImpl;
};
