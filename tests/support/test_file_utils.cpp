// FileExists, GetTempDir and ReplaceExtension.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "CodePage.h"
#include "CTestFolder.h"
#include "support/FileUtils.h"

TEST(FileExists, FindsFilesAndRefusesPatternsAndMissingPaths) {
  CTestFolder folder;
  const CString file = folder.File("图片a.txt");
  ASSERT_TRUE(CTestFolder::WriteBytes(file, "x"));
  CString upper(file);
  upper.MakeUpper();
  const struct {
    CString path;
    bool expected;
  } cases[] = {
      {file, true},
      {upper, true},                          // names compare without case
      {folder.Root(), true},                  // a folder is found too
      {folder.File("missing.txt"), false},
      {folder.File("*.txt"), false},          // a pattern finds 图片a.txt, which is not the path
      {folder.File("图片?.txt"), false},
      {CString(""), false},
  };
  for (const auto& c : cases) EXPECT_EQ(FileExists(c.path), c.expected) << c.path.GetString();
  EXPECT_FALSE(FileExists(nullptr));
}

TEST(FileExists, WorksBeyondTheClassicPathLength) {
  CTestFolder folder;
  // Build a folder chain longer than 260 characters through the long form.
  CString deep = folder.Root();
  while (deep.GetLength() < 300) {
    deep += "\\长目录名称abcdefghij";
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + CodePage::AnsiToWide(deep)).c_str(), nullptr));
  }
  const CString file = deep + "\\表情.gif";
  ASSERT_TRUE(CTestFolder::WriteBytes(file, "gif"));
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists(deep + "\\missing.gif"));
  // Far beyond any buffer a fixed-size implementation would have.
  EXPECT_FALSE(FileExists(CString('a', 5000)));
  EXPECT_FALSE(FileExists("C:\\" + CString('b', 40000) + "\\c.txt"));
}

TEST(GetTempDir, IsTheSystemTemporaryFolder) {
  char expected[MAX_PATH + 1] = {};
  ASSERT_GT(GetTempPathA(MAX_PATH, expected), 0u);
  const CString dir = GetTempDir();
  EXPECT_STREQ(dir, expected);
  ASSERT_FALSE(dir.IsEmpty());
  EXPECT_EQ(dir.GetAt(dir.GetLength() - 1), '\\');
  EXPECT_TRUE(FileExists(dir.Left(dir.GetLength() - 1)));
}

TEST(ReplaceExtension, CutsTheFileNameAtItsLastDot) {
  const struct {
    const char* path;
    const char* ext;
    const char* expected;
  } cases[] = {
      {"C:\\Orb\\OrbHost.exe", ".ini", "C:\\Orb\\OrbHost.ini"},
      {"C:\\Orb\\OrbHost.exe", ".xml", "C:\\Orb\\OrbHost.xml"},
      {"C:\\Users\\u\\1001.cfg", ".dat", "C:\\Users\\u\\1001.dat"},
      {"C:\\Users\\u\\1001.cfg", ".msg", "C:\\Users\\u\\1001.msg"},
      {"C:\\a\\user.data.cfg", ".dat", "C:\\a\\user.data.dat"},
      {"C:\\a\\user", ".dat", "C:\\a\\user.dat"},
      {"C:\\john.smith\\user", ".dat", "C:\\john.smith\\user.dat"},  // a dot in a folder is no extension
      {"C:/john.smith/user", ".dat", "C:/john.smith/user.dat"},
      {"C:\\用户\\张三.cfg", ".dat", "C:\\用户\\张三.dat"},
      {"C:\\a\\file.俓", ".ini", "C:\\a\\file.ini"},  // 俓 ends in the byte of "\"
      {"user.", ".dat", "user.dat"},
      {"", ".dat", ".dat"},
  };
  for (const auto& c : cases) EXPECT_STREQ(ReplaceExtension(c.path, c.ext), c.expected) << c.path;
}
