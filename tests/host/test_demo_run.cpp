// The demo host run in-process from start to end: the scripted sequence with
// its pictures, report and ready signal; its time limit; and startup
// failures reported as clear messages with a status, not a crash.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "CDemoApp.h"
#include "CodePage.h"
#include "CTestFolder.h"
#include "MessageBoxRecorder.h"
#include "ScopedSeam.h"
#include "Seams.h"

namespace {

class DemoRunTest : public ::testing::Test {
 protected:
  DemoRunTest() : m_exePath(Seams::SetHostExePath, [this] { return m_folder.File("bin\\演示.exe"); }) {}
  void SetUp() override {
    m_options.m_strProfileDir = m_folder.File("资料");
    m_options.m_strShotsDir = m_folder.File("截图");
    m_options.m_nHoldMs = 0;
    m_options.m_nExitAfterMs = 30000;
    ASSERT_TRUE(m_folder.Write("bin\\placeholder", ""));
    // The faces the build puts beside the executables go beside the demo's.
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::error_code error;
    for (const auto& face : std::filesystem::directory_iterator(
             std::filesystem::path(exe).parent_path() / "Images" / "Face", error)) {
      std::ifstream in(face.path(), std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      ASSERT_TRUE(m_folder.Write(CString("bin\\Images\\Face\\") + face.path().filename().string().c_str(), bytes));
    }
  }
  void TearDown() override { _putenv_s("ORB_READY_FILE", ""); }

  CTestFolder m_folder;
  OrbTesting::ScopedSeam<Seams::ModulePathFn> m_exePath;
  CDemoOptions m_options;
};

bool IsPng(const std::string& bytes) { return bytes.size() > 100 && bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0; }

TEST_F(DemoRunTest, ScriptedRunShowsEveryTabSavesPicturesAndSignalsReady) {
  m_options.m_bScripted = true;
  _putenv_s("ORB_READY_FILE", m_folder.File("ready"));
  EXPECT_EQ(CDemoApp(m_options).Run(), kDemoExitOk);
  for (const char* shot : {"截图\\demo-objects.png", "截图\\demo-groups.png", "截图\\demo-communities.png",
                           "截图\\demo-chat-peer.png", "截图\\demo-chat-new.png", "截图\\demo-chat-community.png",
                           "截图\\demo-edit-2-add-contact.png", "截图\\demo-edit-7-delete-tag.png",
                           "截图\\demo-face-picker.png", "截图\\demo-chat-face.png"})
    EXPECT_TRUE(IsPng(m_folder.Read(shot))) << shot;
  // The report is UTF-8, for reading on the build machine.
  const std::string report = CodePage::Utf8ToAnsi(m_folder.Read("截图\\demo-report.txt").c_str()).Str();
  EXPECT_NE(report.find("结果：通过"), std::string::npos) << report;
  EXPECT_NE(report.find("从联系人浏览添加"), std::string::npos) << report;
  EXPECT_EQ(report.find("失败"), std::string::npos) << report;
  EXPECT_NE(report.find("本周六上午九点在奥林匹克公园集合。"), std::string::npos) << "the community message was shown";
  EXPECT_TRUE(m_folder.Has("ready"));
  EXPECT_TRUE(m_folder.Has("bin\\演示.xml"));
  EXPECT_TRUE(m_folder.Has("bin\\演示.ini"));
  EXPECT_TRUE(m_folder.Has("资料\\1001.dat"));
  // The conversation windows wrote their editor settings when they went (the
  // last one destroyed wins, so the values are not checked here).
  const std::string settings = m_folder.Read("资料\\1001.ini");
  EXPECT_NE(settings.find("[Editor]\r\nSendKeyMode="), std::string::npos) << settings;
  EXPECT_NE(settings.find("Fontsize="), std::string::npos) << settings;
}

TEST_F(DemoRunTest, ATimeLimitBeforeTheScriptEndsIsAFailureStatus) {
  m_options.m_bScripted = true;
  m_options.m_nExitAfterMs = 1;
  EXPECT_EQ(CDemoApp(m_options).Run(), kDemoExitTimeLimit);
}

TEST_F(DemoRunTest, TheInteractiveRunEndsWithItsTimeLimit) {
  _putenv_s("ORB_READY_FILE", m_folder.File("ready"));
  m_options.m_nExitAfterMs = 300;
  EXPECT_EQ(CDemoApp(m_options).Run(), kDemoExitOk);
  EXPECT_TRUE(m_folder.Has("ready")) << "ready after the first paint";
  EXPECT_FALSE(m_folder.Has("截图\\demo-objects.png"));
}

TEST_F(DemoRunTest, StartupFailuresAreClearMessagesWithAStatus) {
  OrbTesting::MessageBoxRecorder boxes;
  m_options.m_strUserId = "9999";
  EXPECT_EQ(CDemoApp(m_options).Run(), kDemoExitUsage);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_NE(boxes.Last().text.Find("9999"), -1) << boxes.Last().text.GetString();

  m_options.m_strUserId = "1001";
  ASSERT_TRUE(m_folder.Write("资料\\1001.dat", "damaged"));
  EXPECT_EQ(CDemoApp(m_options).Run(), kDemoExitStartup);
  ASSERT_EQ(boxes.Count(), 2u);
  EXPECT_NE(boxes.Last().text.Find("1001.dat"), -1) << boxes.Last().text.GetString();
  EXPECT_NE(boxes.Last().type & MB_ICONERROR, 0u);

  // The scripted run reports on its error output only: nobody answers a box.
  m_options.m_bScripted = true;
  EXPECT_EQ(CDemoApp(m_options).Run(), kDemoExitStartup);
  EXPECT_EQ(boxes.Count(), 2u);
}

}  // namespace
