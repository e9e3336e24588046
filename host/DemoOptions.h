#pragma once
// The demo host's command line.
//
//   OrbChatDemo.exe [--script] [--user ID] [--profile DIR] [--shots DIR]
//                   [--hold MS] [--exit-after MS] [--server URL] [--chat ROLE]
//
//   --script      run the scripted sequence (switch the tabs, save a picture
//                 of each, check what is shown) and exit with its status
//   --user        the demo user to log in: 1001 (default), 1002 or 2001
//   --profile     the folder of the demo users' files (default: DemoProfile
//                 beside the executable); made and filled on first use
//   --shots       where the scripted run saves its pictures (default: shots
//                 beside the executable's folder)
//   --hold        how long the scripted run keeps its last picture on screen
//                 before it exits (default 2000)
//   --exit-after  close the frame after this many milliseconds in any mode
//   --server      an MQTT broker instead of the embedded server:
//                 mqtt://host:port (this machine only) or mqtts://host:port
//   --chat        with --server, the scripted run of two demo hosts against
//                 one broker: send-offline, reply or answer (CDemoChatScript)
#include <windows.h>

#include <vector>

#include "CString.h"

struct CDemoOptions {
  bool m_bScripted = false;
  bool m_bHelp = false;
  CString m_strUserId = "1001";
  CString m_strProfileDir;  // empty: the default
  CString m_strShotsDir;    // empty: the default
  UINT m_nHoldMs = 2000;
  UINT m_nExitAfterMs = 0;  // 0: no time limit
  CString m_strServer;      // empty: the host INI's [Server] Address, else the embedded server
  CString m_strChatRole;    // empty: the demo's own scripted run

  // Reads the arguments (without the program name); false with a message in
  // error for an unknown option, a missing value or a value that is not a
  // number.
  bool Parse(const std::vector<CString>& args, CString& error);
  static const char* Usage();
};
