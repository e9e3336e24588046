// How long the conversation window takes to show what arrives:
//  1. one flush (timer 1's tick) of 100 queued records, each stored in the
//     user's real message store and appended to the view;
//  2. a conversation growing to 10,000 messages in flushes of 100: the time
//     per record of the last ten flushes against that of the first ten.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "BenchClock.h"
#include "COrbHttp_Protocol_Orb.h"
#include "chat/ModuleHandle.h"
#include "form/COrbChat_Form.h"
#include "resources/resource.h"

namespace {

std::unique_ptr<InfoMsgStructer> Incoming(int n) {
  auto record = std::make_unique<InfoMsgStructer>();
  record->from = "李四";
  record->from_id = "c2002";
  record->body.Format("<DIV>第 %d 条消息：明天上午十点开会，请带上资料。</DIV><DIV>第二段文字。</DIV>", n);
  record->abstract = "明天上午十点开会";
  record->publish_time = "20261208093007";
  record->msg_type = "505";
  record->thread_id = "t1";
  record->thread_members = "c1001,c2002";
  return record;
}

// Queues 100 records and flushes them; microseconds.
double TimedFlush(COrbChat_Form& form, int& next) {
  for (int i = 0; i < 100; ++i) form.QueueMessage(Incoming(next++));
  const double start = MicrosecondsNow();
  form.FlushPendingMessages();
  return MicrosecondsNow() - start;
}

}  // namespace

int main() {
  HMODULE module = LoadLibraryA("OrbChat.dll");
  if (!module) return 1;
  SetOrbChatModuleHandle(module);

  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  char folder[MAX_PATH];
  std::snprintf(folder, sizeof folder, "%sbench_form_%lu", temp, GetCurrentProcessId());
  COrbHttp_Protocol_Orb session;
  InfoLoginInfoStruct who;
  who.m_strUserID = "1001";
  who.m_strAlias = "张三";
  who.m_strProfileDir = folder;
  CString error;
  if (!session.Login(who, error)) {
    std::printf("login failed\n");
    return 1;
  }
  {
    COrbChat_Form form("", &session, nullptr);
    if (!form.Create(IDD_CHAT_FORM, nullptr)) return 2;
    form.ShowWindow(SW_SHOWNORMAL);
    int next = 0;
    const double one = TimedFlush(form, next);
    std::printf("form: one flush of 100 queued records (stored and shown): %.1f ms (goal <= 100 ms)\n", one / 1000);

    double first = 0, last = 0;
    for (int flush = 1; flush < 100; ++flush) {
      const double time = TimedFlush(form, next);
      if (flush <= 10) first += time;
      if (flush >= 90) last += time;
    }
    const double ratio = last / first;
    std::printf("form: per record at 100-1,100 messages %.3f ms, at 9,000-10,000 %.3f ms, ratio %.2f (goal <= 1.5)\n",
                first / 1000 / 1000, last / 1000 / 1000, ratio);
  }
  session.Logout();
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  SetOrbChatModuleHandle(nullptr);
  FreeLibrary(module);
  return 0;
}
