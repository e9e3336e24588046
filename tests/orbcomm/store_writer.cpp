// Helper of the durability test: logs user 1001 in against the folder given,
// saves the given number of records, and stops the process at once, without
// closing anything, right after the last SaveMsgToMdb returns.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>

#include "COrbHttp_Protocol_Orb.h"
#include "CodePage.h"

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc != 3) return 2;
  InfoLoginInfoStruct who;
  who.m_strUserID = "1001";
  who.m_strProfileDir = CodePage::WideToAnsi(argv[1]);
  int count = _wtoi(argv[2]);
  auto* session = new COrbHttp_Protocol_Orb;  // never deleted: the process dies with it open
  CString error;
  if (!session->Login(who, error)) return 3;
  for (int i = 0; i < count; ++i) {
    InfoMsgStructer msg;
    msg.thread_id = "T1";
    msg.body.Format("第%d条", i);
    if (!session->SaveMsgToMdb(&msg)) return 4;
  }
  TerminateProcess(GetCurrentProcess(), 77);
  return 5;
}
