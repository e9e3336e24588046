// Benchmarks of the HTML editor control (`make bench`):
//  - 10,000 message fragments appended to one view the way the conversation
//    window does it (a header line and two paragraphs each, every tenth with
//    a picture; 100 appends per timer tick, then the message queue runs):
//    the time per append over the first and the last 100, their ratio, and
//    the process's working set at the end;
//  - GetMHT and MhtToHtml of a message with a 1 MiB picture, in MB/s.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "BenchClock.h"
#include "CHtmlEdit.h"
#include "HtmlEditTestSupport.h"
#include "OrbTesting.h"

using HtmlEditTest::Folder;
using HtmlEditTest::Host;

namespace {

CString Fragment(int n, const CString& picture) {
  CString text;
  text.Format(
      "<FONT color=#0000FF size=2>张三(13****78)&nbsp;12:%02d:%02d&nbsp;说:"
      "<DIV><FONT size=2 face=Serif>&nbsp;&nbsp;&nbsp;&nbsp;</FONT>第 %d 条消息的第一段：今天的会议改到下午三点。</DIV>"
      "<DIV><FONT size=2 face=Serif>&nbsp;&nbsp;&nbsp;&nbsp;</FONT><FONT color=#FF0000>第二段</FONT>，请大家准时参加%s</DIV>"
      "</FONT><DIV></DIV>",
      (n / 60) % 60, n % 60, n, n % 10 == 9 ? ("<IMG src=\"" + picture + "\">").GetString() : "");
  return text;
}

// Appends in ticks of 100, as the conversation window's 300 ms timer renders
// what arrived since its last run: the view is drawn once per tick (the
// control draws a burst of appends once, when the message queue next runs),
// the same batching as in the measurement of the platform notes. The time
// per append of the first and of the last tick is the tick's time over 100.
void BenchAppends(const CString& picture) {
  Host host;
  CHtmlEdit& view = host.View();
  view.SetHtml("<HTML><BODY bgColor=#ffffff><DIV></DIV></BODY></HTML>");
  constexpr int kTotal = 10000, kPerTick = 100;
  double first = 0, last = 0;
  for (int tick = 0; tick < kTotal / kPerTick; ++tick) {
    const double start = MicrosecondsNow();
    for (int i = 0; i < kPerTick; ++i) view.AddHtml(Fragment(tick * kPerTick + i, picture));
    OrbTesting::PumpPending();
    const double perAppend = (MicrosecondsNow() - start) / kPerTick / 1000;
    if (tick == 0) first = perAppend;
    last = perAppend;
  }
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
  std::printf("append 10000 fragments: first 100 %.3f ms/append, last 100 %.3f ms/append, ratio %.2f (at most 1.5)\n",
              first, last, last / first);
  std::printf("append: %d pictures, %d characters of text; working set at the end %.1f MiB\n",
              view.GetPictureCount(), view.GetText(1).GetLength(),
              static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0));
}

void BenchMht(const Folder& folder) {
  // A 1 MiB picture: a BMP of 512 x 512 (GDI+ writes it with 32 bits a pixel).
  const CString path = folder.File("大图.bmp");
  HtmlEditTest::WritePicture(path, 512, 512, RGB(40, 120, 200));
  const double megabytes = static_cast<double>(HtmlEditTest::ReadBytes(path).size()) / (1024.0 * 1024.0);
  Host host;
  CHtmlEdit& editor = host.Editor();
  editor.SetHtml("<FONT color=#000000 size=3 face=宋体>\r\n<DIV></DIV>");
  editor.PasteHTMLAtCurrentSelection("一张大图：", 0);
  editor.PasteHTMLAtCurrentSelection("<img src=\"" + path + "\">", 0);
  constexpr int kRounds = 10;
  CString mht;
  double start = MicrosecondsNow();
  for (int i = 0; i < kRounds; ++i) mht = editor.GetMHT();
  const double getSeconds = (MicrosecondsNow() - start) / 1e6;
  CString html;
  start = MicrosecondsNow();
  for (int i = 0; i < kRounds; ++i) html = host.View().MhtToHtml(mht);
  const double readSeconds = (MicrosecondsNow() - start) / 1e6;
  const double mhtMegabytes = static_cast<double>(mht.GetLength()) / (1024.0 * 1024.0);
  std::printf("GetMHT of a message with a %.2f MiB picture: %.1f MB/s of MHT written (%.2f MiB, %.1f ms each)\n",
              megabytes, mhtMegabytes * kRounds / getSeconds, mhtMegabytes, getSeconds * 1000 / kRounds);
  std::printf("MhtToHtml of the same: %.1f MB/s of MHT read (%.1f ms each, %s)\n", mhtMegabytes * kRounds / readSeconds,
              readSeconds * 1000 / kRounds, html.Find("<IMG") >= 0 ? "picture found" : "PICTURE MISSING");
}

}  // namespace

int main() {
  Folder folder;
  const CString picture = folder.File("表情.png");
  HtmlEditTest::WritePicture(picture, 24, 24, RGB(250, 200, 0));
  BenchMht(folder);
  BenchAppends(picture);
  return 0;
}
