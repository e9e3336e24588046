// OrbChatDemo.exe: a host program for the chat module. See CDemoApp.h for
// what it does and DemoOptions.h for its command line.
#include <windows.h>

#include <vector>

#include "CDemoApp.h"
#include "DemoOptions.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::vector<CString> args;
  for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);
  CDemoOptions options;
  CString error;
  if (!options.Parse(args, error)) {
    CDemoApp::ShowError(error + "\r\n" + CDemoOptions::Usage(), options.m_bScripted);
    return kDemoExitUsage;
  }
  if (options.m_bHelp) {
    CDemoApp::Log(CDemoOptions::Usage());
    return kDemoExitOk;
  }
  return CDemoApp(options).Run();
}
