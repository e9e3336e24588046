#include "HistoryFixture.h"

#include <vector>

#include "COrbMsgStore.h"

namespace {
const char* const kNames[] = {"张三", "李四", "王五", "赵六", "钱七"};
}

InfoMsgStructer HistoryRecord(int thread, int n) {
  InfoMsgStructer msg;
  msg.thread_id.Format("T%04d", thread);
  msg.thread_members.Format("c1001,c%d", 2000 + thread);
  const int sender = (thread + n) % 5;
  msg.from = kNames[sender];
  msg.from_id.Format("%d", sender == 0 ? 1001 : 2000 + thread);
  msg.msg_id.Format("M%d-%d", thread, n);
  msg.msg_type = "505";
  msg.publish_time = "20261208120000";
  CString text;
  text.Format("会话%d 第%d条 %s", thread, n, n % 10 == 3 ? "今天的西瓜很甜 Melon" : "明天见 hello");
  msg.abstract = text;
  if (n % 2 == 0) {
    msg.body = "MIME-Version: 1.0\r\nContent-Type: multipart/related; boundary=\"b1\"\r\n\r\n--b1\r\n"
               "Content-Type: text/html; charset=\"gb2312\"\r\nContent-Transfer-Encoding: 8bit\r\n\r\n"
               "<HTML><BODY><DIV><FONT color=#0000FF>" + text + "</FONT></DIV></BODY></HTML>\r\n--b1--\r\n";
    msg.url = "mht";
  } else {
    msg.body = "<DIV><FONT color=#800000>" + text + "</FONT></DIV>";
  }
  return msg;
}

bool WriteHistory(const CString& path, int threads, int messages) {
  COrbMsgStore store;
  if (!store.Open(path)) return false;
  std::vector<InfoMsgStructer> batch;
  for (int i = 0; i < messages; ++i) {
    batch.push_back(HistoryRecord(i % threads, i / threads));
    if (batch.size() == 5000 || i + 1 == messages) {
      if (!store.SaveAll(batch)) return false;
      batch.clear();
    }
  }
  return true;
}
