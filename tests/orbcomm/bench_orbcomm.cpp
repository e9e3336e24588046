// 100,000 personal messages pushed by one user and popped by another through
// the embedded server, as the chat module would: bodies built and encoded the
// module's way, the receiver and the sender (its confirmations) popping their
// answer pools. Two runs: everything pushed before anything is popped (the
// worst case for memory), and the module's pace of at most 100 per pool per
// tick. Then the same paced traffic from 1, 2 and 4 threads at once, each
// thread with its own pair of users on one shared server: more threads must
// be at least as fast as one. Prints messages per second and the peak memory
// of the process.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "COrbHttp_Protocol_Orb.h"
#include "COrbLocalServer.h"
#include "CTestFolder.h"
#include "CodePage.h"
#include "PercentCodec.h"

namespace {

int g_nMessages = 100000;  // a first argument changes it
const char kReq[] = "orb.chat.req";
const char kAns[] = "orb.chat.ans";

std::string Encoded(const CString& ansi) {
  return PercentCodec::Encode(CodePage::AnsiToUtf8(ansi.GetString(), ansi.GetLength()));
}

CString PersonalBody(const CString& threadId, int n, int repeat = 1) {
  CString line;
  line.Format("你好，这是第 %d 条消息 hello", n);
  CString abstract;
  for (int i = 0; i < repeat; ++i) abstract += line;
  CString body = "MIME-Version: 1.0\r\nContent-Type: text/html; charset=\"gb2312\"\r\n\r\n<HTML><BODY><DIV>" +
                 abstract + "</DIV></BODY></HTML>";
  std::string text = "flag=d&thread_id=" + threadId.Str() + "&body=" + Encoded(body) + "&abstract=" +
                     Encoded(abstract) + "&body_type=mht&from=" + Encoded("张三");
  return CString(text);
}

// Processor time of the process so far (user and kernel), in seconds: the
// machine may be busy with other work, which stretches the wall-clock time.
double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto value = [](const FILETIME& time) {
    return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
  };
  return value(kernel) + value(user);
}

double Seconds(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One sender and one receiver on a server, with their thread.
struct Pair {
  COrbHttp_Protocol_Orb sender;
  COrbHttp_Protocol_Orb receiver;
  CString threadId;
};

bool Setup(Pair& users, COrbLocalServer& server, const CString& folder, int number) {
  CString error;
  InfoLoginInfoStruct who;
  who.m_strProfileDir = folder;
  who.m_strUserID.Format("%d", 1001 + 2 * number);
  who.m_strAlias = "张三";
  if (!users.sender.Login(who, error) || !users.sender.Link(&server, error)) return false;
  CString receiverId;
  receiverId.Format("%d", 1002 + 2 * number);
  who.m_strUserID = receiverId;
  who.m_strAlias = "李四";
  if (!users.receiver.Login(who, error) || !users.receiver.Link(&server, error)) return false;
  users.threadId = users.sender.GetSessionID() + "100";
  users.sender.Push(kReq, "flag=i&thread_id=" + users.threadId + "&thread_members=c" + receiverId);
  unsigned id = 0;
  return !users.sender.Pop(kAns, id).IsEmpty();
}

// Pops at most limit texts; returns how many.
int Drain(COrbHttp_Protocol_Orb& session, int limit) {
  unsigned id = 0;
  int count = 0;
  while (count < limit && !session.Pop(kAns, id).IsEmpty()) ++count;
  return count;
}

bool Run(const char* name, const CString& folder, int batch) {
  COrbLocalServer server;
  Pair users;
  if (!Setup(users, server, folder, 0)) {
    std::printf("bench_orbcomm: %s: setup failed\n", name);
    return false;
  }
  // The bodies are made beforehand (a thousand different ones, used in turn):
  // what is measured is the way through the server, not the client's encoder.
  std::vector<CString> bodies;
  for (int i = 0; i < 1000; ++i) bodies.push_back(PersonalBody(users.threadId, i));
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  double cpuStart = CpuSeconds();
  int received = 0;
  int confirmed = 0;
  for (int sent = 0; sent < g_nMessages;) {
    for (int i = 0; i < batch && sent < g_nMessages; ++i, ++sent) users.sender.Push(kReq, bodies[sent % 1000]);
    received += Drain(users.receiver, batch);
    confirmed += Drain(users.sender, batch);
  }
  received += Drain(users.receiver, g_nMessages);
  confirmed += Drain(users.sender, g_nMessages);
  double seconds = Seconds(start);
  double cpu = CpuSeconds() - cpuStart;
  std::printf("bench_orbcomm: %-32s %d messages in %.2f s = %.0f messages/s; processor time %.2f s = %.0f messages/s"
              " (received %d, confirmed %d)\n",
              name, g_nMessages, seconds, g_nMessages / seconds, cpu, g_nMessages / cpu, received, confirmed);
  return received == g_nMessages && confirmed == g_nMessages;
}

// Pushes count messages at the module's pace and pops what comes back; returns
// the texts received plus the confirmations.
int Talk(Pair& users, int count) {
  std::vector<CString> bodies;
  // Longer texts than in the runs above (about 2 KB of Chinese, as a message
  // with some formatting is): decoding each request is the work several
  // threads would wait on if it ran under the server's lock.
  for (int i = 0; i < 100; ++i) bodies.push_back(PersonalBody(users.threadId, i, 80));
  int popped = 0;
  for (int sent = 0; sent < count;) {
    for (int i = 0; i < 100 && sent < count; ++i, ++sent) users.sender.Push(kReq, bodies[sent % 100]);
    popped += Drain(users.receiver, 100);
    popped += Drain(users.sender, 100);
  }
  popped += Drain(users.receiver, count);
  return popped + Drain(users.sender, count);
}

// The paced traffic split over threads, each with its own pair of users.
bool RunThreads(const CString& folder, int threadCount) {
  COrbLocalServer server;
  std::vector<std::unique_ptr<Pair>> pairs;
  for (int i = 0; i < threadCount; ++i) {
    pairs.push_back(std::make_unique<Pair>());
    if (!Setup(*pairs.back(), server, folder, i)) {
      std::printf("bench_orbcomm: %d threads: setup failed\n", threadCount);
      return false;
    }
  }
  const int share = g_nMessages / threadCount;
  std::vector<int> popped(static_cast<size_t>(threadCount), 0);
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  double cpuStart = CpuSeconds();
  std::vector<std::thread> threads;
  for (int i = 0; i < threadCount; ++i)
    threads.emplace_back([&, i] { popped[static_cast<size_t>(i)] = Talk(*pairs[static_cast<size_t>(i)], share); });
  for (std::thread& thread : threads) thread.join();
  double seconds = Seconds(start);
  double cpu = CpuSeconds() - cpuStart;
  int total = share * threadCount;
  int texts = 0;
  for (int count : popped) texts += count;
  std::printf("bench_orbcomm: %d thread%s (paced, own users each):  %d messages in %.2f s = %.0f messages/s; processor "
              "time %.2f s = %.0f messages/s\n",
              threadCount, threadCount == 1 ? " " : "s", total, seconds, total / seconds, cpu, total / cpu);
  return texts == 2 * total;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::atoi(argv[1]) > 0) g_nMessages = std::atoi(argv[1]);
  CTestFolder folder;
  const CString ansiFolder = folder.Root();

  PROCESS_MEMORY_COUNTERS before{};
  GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
  bool ok = Run("paced (100 per pool per tick):", ansiFolder, 100);
  PROCESS_MEMORY_COUNTERS paced{};
  GetProcessMemoryInfo(GetCurrentProcess(), &paced, sizeof paced);
  ok = Run("burst (all pushed, then popped):", ansiFolder, g_nMessages) && ok;
  PROCESS_MEMORY_COUNTERS burst{};
  GetProcessMemoryInfo(GetCurrentProcess(), &burst, sizeof burst);
  std::printf("bench_orbcomm: peak working set %.1f MB at start, %.1f MB after the paced run, %.1f MB after the "
              "burst run\n",
              before.PeakWorkingSetSize / 1048576.0, paced.PeakWorkingSetSize / 1048576.0,
              burst.PeakWorkingSetSize / 1048576.0);

  for (int threadCount : {1, 2, 4}) ok = RunThreads(ansiFolder, threadCount) && ok;
  return ok ? 0 : 1;
}
