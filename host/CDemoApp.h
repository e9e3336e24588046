#pragma once
// The demo host program: prepares the host files beside the executable and
// the demo profile, starts the local chat server with simulated peers, logs
// a demo user in, opens the frame with the chat panel and runs the message
// loop. Every failure before the loop is reported as a clear message (a
// message box, and a line on the error output) and ends the run with a
// status instead of a crash.
#include "CString.h"
#include "DemoOptions.h"

enum DemoExitCode {
  kDemoExitOk = 0,
  kDemoExitUsage = 1,         // bad command line
  kDemoExitStartup = 2,       // files, profile, login or panel could not be made
  kDemoExitCheckFailed = 3,   // the scripted run saw something wrong
  kDemoExitTimeLimit = 4,     // --exit-after came before the script finished
};

class CDemoApp {
 public:
  explicit CDemoApp(const CDemoOptions& options) : m_options(options) {}

  // Runs the demo to its end and returns the exit status.
  int Run();

  // The default folders: the profile beside the executable, the pictures in
  // "shots" beside the executable's folder.
  static CString DefaultProfileDir();
  static CString DefaultShotsDir();

  // A clear message for the user: a message box in the interactive run, and
  // always a line on the error output.
  static void ShowError(const CString& text, bool scripted);
  static void Log(const CString& text);

 private:
  const CDemoOptions& m_options;
};
