#pragma once
// What the MQTT transport must not lose, in a SQLite file of the user's
// profile folder (<user id>.mqq):
//   outbox   messages not yet acknowledged by the broker (topic, payload);
//   inbox    messages received but not yet popped by the module;
//   seen     (sender, msg_id) of every message handed on, so that one the
//            broker delivers again is recognised and dropped;
//   threads  the members of each personal thread the user takes part in.
// The file runs in write-ahead-log mode, so a row is safe once the call
// returns, also when the process ends right after. Calls are safe from
// several threads (one lock).
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "CString.h"

struct sqlite3;

class MqttQueueStore {
 public:
  struct Row {
    long long seq = 0;
    std::string key;   // outbox: the topic; inbox: the answer pool
    std::string text;  // outbox: the payload; inbox: the module's text
  };
  enum class Added { Stored, Duplicate, Failed };
  // A received message to store.
  struct Incoming {
    std::string sender;
    std::string msgId;
    std::string pool;
    std::string text;
    long long seq = 0;  // the inbox row, once stored
    Added added = Added::Failed;
  };

  MqttQueueStore() = default;
  ~MqttQueueStore();
  MqttQueueStore(const MqttQueueStore&) = delete;
  MqttQueueStore& operator=(const MqttQueueStore&) = delete;

  // Opens or creates the file (path in code page 936); false with the
  // reason in error when it cannot, or when the file is another database.
  bool Open(const CString& path, CString& error);
  void Close();

  // 0 when the row could not be stored.
  long long AddOutbox(const std::string& topic, const std::string& payload);
  // Rows go in groups, one transaction each: a transaction costs more than
  // its rows.
  void RemoveOutbox(const std::vector<long long>& seqs);
  std::vector<Row> LoadOutbox();

  // Stores each received message unless (sender, msgId) was seen before,
  // and says which.
  void AddInbox(std::vector<Incoming>& messages);
  void RemoveInbox(const std::vector<long long>& seqs);
  std::vector<Row> LoadInbox();

  void SaveThread(const std::string& threadId, const std::string& members);
  std::map<std::string, std::string> LoadThreads();

  // Forgets the ids of messages seen more than maxAgeDays ago.
  void PruneSeen(int maxAgeDays);

 private:
  bool Exec(const char* sql);
  std::vector<Row> Load(const char* sql);
  void Remove(const char* sql, const std::vector<long long>& seqs);

  SRWLOCK m_lock = SRWLOCK_INIT;
  sqlite3* m_pDb = nullptr;
};
