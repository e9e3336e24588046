// The history viewer over a store of 100,000 messages in 1,000 conversations:
// how long it takes from opening the file to the newest page of the most
// recent conversation shown in the window, and how long a search for a word
// takes until the newest hits are shown. Both are measured five times on a
// fresh dialog; the median is printed, with the goal of 200 ms each.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "CMsgBrowserDlg.h"
#include "CTestFolder.h"
#include "HistoryFixture.h"

namespace {

double Ms(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int messages = argc > 1 ? std::max(1000, atoi(argv[1])) : 100000;
  const int threads = 1000;
  LoadLibraryA("msftedit.dll");
  CTestFolder folder;
  const CString path = folder.File("history.msg");
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!WriteHistory(path, threads, messages)) {
    std::printf("bench_msgbrowser: cannot write the store\n");
    return 1;
  }
  std::printf("store of %d messages in %d conversations written in %.0f ms\n", messages, threads, Ms(start));

  std::vector<double> opens, searches;
  int hits = 0, shown = 0;
  for (int run = 0; run < 5; ++run) {
    CMsgBrowserDlg dialog(path, "", nullptr);
    CString problem;
    QueryPerformanceCounter(&start);
    if (!dialog.OpenStore(problem) || !dialog.Create()) {
      std::printf("bench_msgbrowser: the viewer does not open: %s\n", problem.GetString());
      return 1;
    }
    dialog.ShowWindow(SW_SHOW);
    dialog.UpdateWindow();
    opens.push_back(Ms(start));
    shown = dialog.GetShownCount();
    Pump();
    QueryPerformanceCounter(&start);
    dialog.Search("西瓜");
    dialog.UpdateWindow();
    searches.push_back(Ms(start));
    hits = dialog.GetShownCount();
    Pump();
    dialog.DestroyWindow();
  }
  std::printf("open and show the newest page (%d records): %.1f ms (median of 5; goal < 200 ms)\n", shown,
              Median(opens));
  std::printf("search for a word and show the newest hits (%d shown): %.1f ms (median of 5; goal < 200 ms)\n", hits,
              Median(searches));
  return 0;
}
