// Two users connected through the Mosquitto broker on this machine (started
// by scripts/bench.sh, its folder in ORB_MQTT_DIR), beside the same two users
// on the embedded server: messages per second one way (1,000 personal
// messages pushed by one user, popped by the other, every confirmation
// back), and the round trip of 1,000 messages one after another (one user
// sends, the other answers as soon as it pops the message): median and 99th
// percentile. Pop is called every millisecond here, not on the module's
// 300 ms timer, so the figures are the transport's own.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "COrbHttp_Protocol_Orb.h"
#include "COrbLocalServer.h"
#include "COrbMqttServer.h"
#include "CTestFolder.h"
#include "CodePage.h"
#include "PercentCodec.h"

namespace {

const int kMessages = 1000;
const char kReq[] = "orb.chat.req";
const char kAns[] = "orb.chat.ans";

std::string Encoded(const CString& ansi) {
  return PercentCodec::Encode(CodePage::AnsiToUtf8(ansi.GetString(), ansi.GetLength()));
}

CString Message(const CString& threadId, int n) {
  CString text;
  text.Format("你好，这是第 %d 条消息 hello", n);
  return CString("flag=d&thread_id=" + threadId.Str() + "&body=" + Encoded("<DIV>" + text + "</DIV>") +
                 "&abstract=" + Encoded(text) + "&body_type=mht&from=" + Encoded("张三"));
}

double Now() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Figures {
  double perSecond = 0;
  double medianMs = 0;
  double p99Ms = 0;
  bool complete = false;
};

class Users {
 public:
  virtual ~Users() = default;
  COrbHttp_Protocol_Orb zhang;
  COrbHttp_Protocol_Orb li;

  bool Login(const CString& folder, CString& error) {
    return LoginOne(zhang, folder, "1001", "张三", error) && LoginOne(li, folder, "1002", "李四", error);
  }
  virtual bool Link(CString& error) = 0;
  virtual bool Ready() { return true; }

 private:
  static bool LoginOne(COrbHttp_Protocol_Orb& who, const CString& folder, const char* id, const char* alias,
                       CString& error) {
    InfoLoginInfoStruct login;
    login.m_strUserID = id;
    login.m_strAlias = alias;
    login.m_strProfileDir = folder;
    login.m_strPassword = CString("pw-c") + id;
    return who.Login(login, error);
  }
};

class LocalUsers : public Users {
 public:
  bool Link(CString& error) override { return zhang.Link(&server, error) && li.Link(&server, error); }
  COrbLocalServer server;
};

class BrokerUsers : public Users {
 public:
  explicit BrokerUsers(int port) {
    CString address, error;
    address.Format("mqtt://127.0.0.1:%d", port);
    broker.SetAddress(address, error);
  }
  bool Link(CString& error) override { return zhang.Link(&broker, error) && li.Link(&broker, error); }
  bool Ready() override {
    for (int waited = 0; waited < 10000; waited += 10) {
      if (zhang.IsServerConnected() && li.IsServerConnected()) return true;
      Sleep(10);
    }
    return false;
  }
  COrbMqttServer broker;
};

// Waits for the next text of pool, at most timeoutMs. Between two looks it
// sleeps a millisecond: spinning would take the processor from the
// connection threads it waits for (make bench runs on one processor).
bool PopOne(COrbHttp_Protocol_Orb& who, unsigned& pushId, int timeoutMs = 10000) {
  const double until = Now() + timeoutMs / 1000.0;
  while (Now() < until) {
    if (!who.Pop(kAns, pushId).IsEmpty()) return true;
    Sleep(1);
  }
  return false;
}

CString OpenThread(COrbHttp_Protocol_Orb& who, const char* member) {
  const CString threadId = who.GetSessionID() + "1";
  who.Push(kReq, "flag=i&thread_id=" + threadId + "&thread_members=" + member);
  unsigned id = 0;
  PopOne(who, id);
  return threadId;
}

Figures Measure(Users& users) {
  Figures figures;
  CTestFolder folder;
  CString error;
  if (!users.Login(folder.Root(), error) || !users.Link(error) || !users.Ready()) {
    std::printf("  cannot connect: %s\n", CodePage::AnsiToUtf8(error).c_str());
    return figures;
  }
  const CString threadId = OpenThread(users.zhang, "c1002");
  // One way: everything pushed, then popped as it comes.
  const double start = Now();
  for (int i = 0; i < kMessages; ++i) users.zhang.Push(kReq, Message(threadId, i));
  int received = 0, confirmed = 0;
  unsigned id = 0;
  while (received < kMessages && PopOne(users.li, id)) ++received;
  const double oneWay = Now() - start;
  while (confirmed < kMessages && PopOne(users.zhang, id)) ++confirmed;
  figures.perSecond = received / oneWay;
  // Round trips, one message at a time; confirmations of the own messages
  // (with their push ids) are passed over.
  auto popMessage = [](COrbHttp_Protocol_Orb& who) {
    unsigned pushId = 0;
    while (PopOne(who, pushId))
      if (pushId == 0) return true;
    return false;
  };
  std::vector<double> trips;
  for (int i = 0; i < kMessages; ++i) {
    const double sent = Now();
    users.zhang.Push(kReq, Message(threadId, i));
    if (!popMessage(users.li)) break;
    users.li.Push(kReq, Message(threadId, i));
    if (!popMessage(users.zhang)) break;
    trips.push_back((Now() - sent) * 1000.0);
  }
  figures.complete = received == kMessages && confirmed == kMessages && trips.size() == static_cast<size_t>(kMessages);
  std::sort(trips.begin(), trips.end());
  if (!trips.empty()) {
    figures.medianMs = trips[trips.size() / 2];
    figures.p99Ms = trips[std::min(trips.size() - 1, trips.size() * 99 / 100)];
  }
  if (!figures.complete)
    std::printf("  incomplete: %d received, %d confirmed, %d round trips\n", received, confirmed,
                static_cast<int>(trips.size()));
  return figures;
}

int BrokerPort() {
  const char* dir = std::getenv("ORB_MQTT_DIR");
  if (!dir) return 0;
  std::string path = std::string("Z:") + dir + "/port";
  std::replace(path.begin(), path.end(), '/', '\\');
  std::ifstream in(path);
  int port = 0;
  in >> port;
  return port;
}

void Print(const char* name, const Figures& figures) {
  std::printf("%-22s %10.0f msg/s one way   round trip median %7.2f ms   p99 %7.2f ms%s\n", name, figures.perSecond,
              figures.medianMs, figures.p99Ms, figures.complete ? "" : "   (incomplete)");
}

}  // namespace

int main() {
  std::printf("%d personal messages, two users\n", kMessages);
  LocalUsers local;
  const Figures embedded = Measure(local);
  Print("embedded server", embedded);
  const int port = BrokerPort();
  if (port <= 0) {
    std::printf("MQTT: no broker (run through scripts/bench.sh, which starts one)\n");
    return 1;
  }
  BrokerUsers remote(port);
  const Figures mqtt = Measure(remote);
  Print("Mosquitto (loopback)", mqtt);
  return embedded.complete && mqtt.complete ? 0 : 1;
}
