// Throughput of the two hot paths of server messaging: building the request
// of a 1 MiB message (code page 936 to UTF-8, percent-encoding, assembly) and
// reading received texts of typical size into their fields.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "messaging/MessageBodies.h"
#include "messaging/ReceivedText.h"

namespace {

constexpr double kEncodeGoalMBps = 50.0;
constexpr double kParseGoalPerSecond = 20000.0;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A message body of about one mebibyte: MHT-like lines of Chinese and ASCII.
CString MakeBody() {
  const std::string line = "Content-Type: text/html; charset=\"gb2312\"\r\n<P>你好，这是一条测试消息 hello =3D&nbsp;</P>\r\n";
  std::string body;
  while (body.size() + line.size() <= 1024 * 1024) body += line;
  body.append(1024 * 1024 - body.size(), 'x');
  return CString(body);
}

// A received message of about 1 KiB, as the server delivers it.
std::string MakeText(int i) {
  std::string body;
  while (body.size() < 760) body += "<P>你好 hello \\\"world\\\" \\r\\n</P>";
  char head[512];
  std::snprintf(head, sizeof head,
                "{\"msg_id\":\"%d\",\"msg_type\":\"505\",\"from_id\":\"c1002\",\"from\":\"李四\",\"thread_id\":"
                "\"S1234567\",\"thread_members\":\"c1001,c1002\",\"publish_time\":\"20240102030405\","
                "\"title\":\"问候\",\"url\":\"mht\",\"abstract\":\"你好 hello\",\"body\":\"",
                i);
  return std::string(head) + body + "\"}";
}

bool BenchEncode() {
  const CString body = MakeBody();
  const int kRounds = 20;
  size_t total = 0;
  LARGE_INTEGER start, stop;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < kRounds; ++i) {
    total += static_cast<size_t>(MessageBodies::PersonalMessage("S1234567", "hello", body, "mht", "张三").GetLength());
  }
  QueryPerformanceCounter(&stop);
  const double mbps = kRounds * (body.GetLength() / 1048576.0) / Seconds(start, stop);
  std::printf("personal request of a 1 MiB body: %.1f MB/s of body (goal %.0f), %zu bytes per request\n", mbps,
              kEncodeGoalMBps, total / kRounds);
  return mbps >= kEncodeGoalMBps;
}

bool BenchParse() {
  const int kTexts = 10000;
  std::vector<CString> texts;
  texts.reserve(kTexts);
  size_t bytes = 0;
  for (int i = 0; i < kTexts; ++i) {
    texts.emplace_back(MakeText(i));
    bytes += static_cast<size_t>(texts.back().GetLength());
  }
  int records = 0;
  LARGE_INTEGER start, stop;
  QueryPerformanceCounter(&start);
  for (const CString& text : texts) {
    const CReceivedText parsed = CReceivedText::Parse(text);
    if (parsed.IsJson() && !parsed.Get(ReceivedKey::ThreadMembers).IsEmpty()) ++records;
  }
  QueryPerformanceCounter(&stop);
  const double perSecond = kTexts / Seconds(start, stop);
  std::printf("received texts of %zu bytes on average: %.0f texts/s (goal %.0f), %d records\n", bytes / kTexts,
              perSecond, kParseGoalPerSecond, records);
  return records == kTexts && perSecond >= kParseGoalPerSecond;
}

}  // namespace

int main() {
  const bool encode = BenchEncode();
  const bool parse = BenchParse();
  if (!encode || !parse) std::printf("below goal\n");
  return encode && parse ? 0 : 1;
}
