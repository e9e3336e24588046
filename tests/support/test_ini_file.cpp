// The INI class: how sections, keys and comments are matched, where new keys
// go, and that writing back never loses the file.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CTestFolder.h"
#include "support/IniFile.h"

namespace {

std::string Joined(const std::vector<std::string>& lines, const char* end = "\r\n") {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

std::vector<std::string> LinesOf(const CIniFile& ini) {
  std::vector<std::string> lines;
  for (const CString& line : ini.Lines()) lines.push_back(line.Str());
  return lines;
}

// Loads the given lines (written with LF ends) into ini from a file in folder.
void LoadLines(CIniFile& ini, const CTestFolder& folder, const std::vector<std::string>& lines) {
  const CString path = folder.File("settings.ini");
  ASSERT_TRUE(CTestFolder::WriteBytes(path, Joined(lines, "\n")));
  ASSERT_EQ(ini.Load(path), 1);
}

const std::vector<std::string> kSample = {
    "; host settings",
    "[System]",
    "GroupMsgHead = g   // prefix of community threads",
    "[Editor]",
    "// font settings",
    ";Commented=1",
    "//Hidden=1",
    "Fontname=宋体 //the face",
    "  SendKeyMode = 1",
    "Url=http://host/reg?u=$userid // join page",
    "Tabbed=abc\t//tab comment",
    "Semi=abc;//semi",
    "Leading=//kept",
    "Link=http://a/[b]",
    "After=2",
    "",
    "[Chat]",
    "defaultObjTag=5",
    "[Next]",
    "OnlyHere=1",
    "[Last]",
    "k=v",
};

struct ReadCase {
  const char* section;
  const char* key;
  bool found;
  const char* value;
};

}  // namespace

TEST(IniFileRead, SectionsKeysAndCommentsMatchAsTheFormatSays) {
  const ReadCase cases[] = {
      {"System", "GroupMsgHead", true, "g"},
      {"Editor", "Fontname", true, "宋体"},
      {"Editor", "fontname", true, "宋体"},       // keys ignore case
      {"editor", "Fontname", false, ""},          // section names do not
      {"Editor", "SendKeyMode", true, "1"},       // blanks around the key
      {"Editor", "Url", true, "http://host/reg?u=$userid"},  // "//" after ":" stays, the comment goes
      {"Editor", "Tabbed", true, "abc"},
      {"Editor", "Semi", true, "abc;"},
      {"Editor", "Leading", true, "//kept"},      // "//" at the very start is the value
      {"Editor", "After", true, "2"},             // a "[" inside a value does not end the section
      {"Editor", "Commented", false, ""},
      {"Editor", "Hidden", false, ""},
      {"Chat", "defaultObjTag", true, "5"},
      {"Chat", "OnlyHere", false, ""},            // stands only in the next section
      {"Missing", "k", false, ""},
      {"Editor", "", false, ""},
  };
  CTestFolder folder;
  CIniFile ini;
  LoadLines(ini, folder, kSample);
  for (const ReadCase& c : cases) {
    CString value("untouched");
    EXPECT_EQ(ini.GetString(c.section, c.key, value), c.found ? 1 : 0) << c.section << "/" << c.key;
    EXPECT_STREQ(value, c.found ? c.value : "untouched") << c.section << "/" << c.key;
  }
}

TEST(IniFileRead, KeyLinesNumbersAndLineEnds) {
  CTestFolder folder;
  CIniFile ini;
  LoadLines(ini, folder, kSample);
  EXPECT_EQ(ini.FindKeyLine("Editor", "Fontname"), 8);
  EXPECT_EQ(ini.FindKeyLine("Chat", "OnlyHere"), -2);  // the section ended first
  EXPECT_EQ(ini.FindKeyLine("Last", "zzz"), -1);
  EXPECT_EQ(ini.FindKeyLine("Nowhere", "k"), -1);

  ASSERT_TRUE(CTestFolder::WriteBytes(folder.File("n.ini"), "[A]\r\nA=42\nB=  7 // c\r\nC=-3\nD=abc\nE=99999999999"));
  ASSERT_EQ(ini.Load(folder.File("n.ini")), 1);
  EXPECT_EQ(LinesOf(ini), (std::vector<std::string>{"[A]", "A=42", "B=  7 // c", "C=-3", "D=abc", "E=99999999999"}));
  const struct {
    const char* key;
    int expected;
  } cases[] = {{"A", 42}, {"B", 7}, {"C", -3}, {"D", 0}, {"E", 2147483647}};
  for (const auto& c : cases) {
    int value = -99;
    EXPECT_EQ(ini.GetInt("A", c.key, value), 1) << c.key;
    EXPECT_EQ(value, c.expected) << c.key;
  }
  int value = 2;
  EXPECT_EQ(ini.GetInt("A", "Missing", value), 0);
  EXPECT_EQ(value, 2);
}

namespace {
struct SetCase {
  const char* name;
  std::vector<std::string> before;
  const char* section;
  const char* key;
  const char* value;
  std::vector<std::string> after;
};
}  // namespace

TEST(IniFileWrite, KeysGoWhereTheReaderFindsThem) {
  const SetCase cases[] = {
      {"empty file", {}, "Editor", "SendKeyMode", "1", {"[Editor]", "SendKeyMode=1"}},
      {"header only", {"[Editor]"}, "Editor", "SendKeyMode", "1", {"[Editor]", "SendKeyMode=1"}},
      {"replace keeps key text and blanks, drops comment",
       {"[Editor]", " Fontname =Arial // c"}, "Editor", "fontname", "宋体",
       {"[Editor]", " Fontname =宋体"}},
      {"insert before the next section",
       {"[Editor]", "A=1", "", "[Chat]", "x=1"}, "Editor", "B", "2",
       {"[Editor]", "A=1", "", "B=2", "[Chat]", "x=1"}},
      {"append when the section runs to the end", {"[Editor]", "A=1"}, "Editor", "B", "2",
       {"[Editor]", "A=1", "B=2"}},
      {"new section at the end", {"[System]", "A=1"}, "Editor", "B", "2",
       {"[System]", "A=1", "[Editor]", "B=2"}},
      {"a section whose name only contains the wanted one is not it",
       {"[EditorOld]", "B=0", "[Editor]", "A=1"}, "Editor", "B", "2",
       {"[EditorOld]", "B=0", "[Editor]", "A=1", "B=2"}},
      {"a [ inside a value is not a header", {"[Editor]", "Link=a[b]", "B=1"}, "Editor", "B", "2",
       {"[Editor]", "Link=a[b]", "B=2"}},
      {"comments stay", {"[Editor]", ";B=1", "//B=1", "B=1"}, "Editor", "B", "2",
       {"[Editor]", ";B=1", "//B=1", "B=2"}},
      {"section names keep their case", {"[Editor]", "B=1"}, "editor", "B", "2",
       {"[Editor]", "B=1", "[editor]", "B=2"}},
  };
  for (const SetCase& c : cases) {
    CTestFolder folder;
    CIniFile ini;
    LoadLines(ini, folder, c.before);
    EXPECT_EQ(ini.SetString(c.section, c.key, c.value), 1) << c.name;
    EXPECT_EQ(LinesOf(ini), c.after) << c.name;
    CString read;
    EXPECT_EQ(ini.GetString(c.section, c.key, read), 1) << c.name;
    EXPECT_STREQ(read, c.value) << c.name;
  }
}

TEST(IniFileWrite, TextsWithLineBreaksAreRefused) {
  CTestFolder folder;
  CIniFile ini;
  LoadLines(ini, folder, {"[Editor]", "Fontname=Arial"});
  EXPECT_EQ(ini.SetString("Editor", "Fontname", "x\r\n[System]\r\nGroupMsgHead=evil"), 0);
  EXPECT_EQ(ini.SetString("Editor", "A\nB", "1"), 0);
  EXPECT_EQ(ini.SetString("Edi\ntor", "A", "1"), 0);
  EXPECT_EQ(LinesOf(ini), (std::vector<std::string>{"[Editor]", "Fontname=Arial"}));
}

TEST(IniFileDisk, MissingFileIsNeverCreatedAndUnchangedFileNotRewritten) {
  CTestFolder folder;
  const CString missing = folder.File("missing.ini"), host = folder.File("host.ini");
  ASSERT_TRUE(CTestFolder::WriteBytes(host, "[System]\nGroupMsgHead=g"));
  {
    CIniFile ini;
    EXPECT_EQ(ini.Load(missing), 0);
    EXPECT_EQ(ini.SetString("Editor", "SendKeyMode", "1"), 0);
    CString value("default");
    EXPECT_EQ(ini.GetString("Editor", "SendKeyMode", value), 0);
    EXPECT_STREQ(value, "default");
    CIniFile read;
    ASSERT_EQ(read.Load(host), 1);
    EXPECT_EQ(read.GetString("System", "GroupMsgHead", value), 1);
  }
  EXPECT_FALSE(CTestFolder::Exists(missing));
  std::string bytes;
  ASSERT_TRUE(CTestFolder::ReadBytes(host, bytes));
  EXPECT_EQ(bytes, "[System]\nGroupMsgHead=g");
}

TEST(IniFileDisk, ChangesAreWrittenWithCrLfAndSeenByTheNextObject) {
  CTestFolder folder;
  const CString path = folder.File("用户设置.ini");
  ASSERT_TRUE(CTestFolder::WriteBytes(path, "[Editor]\n"));
  {
    CIniFile ini;
    ASSERT_EQ(ini.Load(path), 1);
    EXPECT_EQ(ini.SetInt("Editor", "SendKeyMode", 1), 1);
    EXPECT_EQ(ini.SetString("Editor", "Fontname", "宋体"), 1);
  }
  std::string bytes;
  ASSERT_TRUE(CTestFolder::ReadBytes(path, bytes));
  EXPECT_EQ(bytes, "[Editor]\r\nSendKeyMode=1\r\nFontname=宋体\r\n");
  CIniFile again;
  ASSERT_EQ(again.Load(path), 1);
  CString font;
  EXPECT_EQ(again.GetString("Editor", "Fontname", font), 1);
  EXPECT_STREQ(font, "宋体");
}

TEST(IniFileDisk, FileThatCannotBeWrittenIsLeftAsItWas) {
  const std::string original = "[Editor]\r\nFontname=Arial\r\n";
  for (bool readOnly : {true, false}) {  // read-only, or held open by someone who shares nothing
    CTestFolder folder;
    const CString path = folder.File("settings.ini");
    ASSERT_TRUE(CTestFolder::WriteBytes(path, original));
    HANDLE holder = INVALID_HANDLE_VALUE;
    {
      CIniFile ini;
      ASSERT_EQ(ini.Load(path), 1);
      if (!readOnly) holder = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_TRUE(readOnly ? SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY) : holder != INVALID_HANDLE_VALUE);
      EXPECT_EQ(ini.SetString("Editor", "Fontname", "宋体"), 1);
    }
    if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
    std::string bytes;
    ASSERT_TRUE(CTestFolder::ReadBytes(path, bytes));
    EXPECT_EQ(bytes, original) << readOnly;
    EXPECT_FALSE(CTestFolder::Exists(path + ".new")) << readOnly;
  }
}

TEST(IniFileDisk, FileHeldOpenWithoutDeleteSharingIsRewrittenInPlace) {
  // Another program reads the file and lets others write but not delete it,
  // so the file cannot be replaced by a new one: it is rewritten in place.
  CTestFolder folder;
  const CString path = folder.File("settings.ini");
  ASSERT_TRUE(CTestFolder::WriteBytes(path, "[Editor]\r\nFontname=Arial\r\nFontsize=5\r\n"));
  HANDLE holder = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  {
    CIniFile ini;
    ASSERT_EQ(ini.Load(path), 1);
    EXPECT_EQ(ini.SetString("Editor", "Fontname", "宋体"), 1);
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(ini.SetInt("Editor", "SendKeyMode", 1), 1);
  }
  CloseHandle(holder);
  std::string bytes;
  ASSERT_TRUE(CTestFolder::ReadBytes(path, bytes));
  EXPECT_EQ(bytes, "[Editor]\r\nFontname=宋体\r\nFontsize=5\r\nSendKeyMode=1\r\n");
  EXPECT_FALSE(CTestFolder::Exists(path + ".new"));
  EXPECT_FALSE(CTestFolder::Exists(path + ".pending"));

  // Held by someone who shares nothing, nothing can be written: Save says so.
  holder = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  CIniFile ini;
  ASSERT_EQ(ini.Load(path), 0);  // not even readable
  CloseHandle(holder);
  ASSERT_EQ(ini.Load(path), 1);
  holder = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(ini.SetInt("Editor", "Fontsize", 9), 1);
  EXPECT_FALSE(ini.Save());
  CloseHandle(holder);
  EXPECT_TRUE(ini.Save());  // the change is still held and goes out now
  ASSERT_TRUE(CTestFolder::ReadBytes(path, bytes));
  EXPECT_EQ(bytes, "[Editor]\r\nFontname=宋体\r\nFontsize=9\r\nSendKeyMode=1\r\n");
}

TEST(IniFileDisk, AnInterruptedRewriteInPlaceIsFinishedByTheNextLoad) {
  // A rewrite in place first leaves the whole new text beside the file; when
  // the writer died halfway, the next load finishes the job from it.
  CTestFolder folder;
  const CString path = folder.File("settings.ini");
  ASSERT_TRUE(CTestFolder::WriteBytes(path, "[Editor]\r\nFontname=Ar"));  // cut short
  ASSERT_TRUE(CTestFolder::WriteBytes(path + ".pending", "[Editor]\r\nFontname=Arial\r\nFontsize=7\r\n"));
  CIniFile ini;
  ASSERT_EQ(ini.Load(path), 1);
  CString font;
  EXPECT_EQ(ini.GetString("Editor", "Fontname", font), 1);
  EXPECT_STREQ(font, "Arial");
  std::string bytes;
  ASSERT_TRUE(CTestFolder::ReadBytes(path, bytes));
  EXPECT_EQ(bytes, "[Editor]\r\nFontname=Arial\r\nFontsize=7\r\n");
  EXPECT_FALSE(CTestFolder::Exists(path + ".pending"));
}

TEST(IniFileDisk, LoadingAnotherFileSavesTheFirstAndMixesNothing) {
  CTestFolder folder;
  const CString first = folder.File("a.ini"), second = folder.File("b.ini");
  ASSERT_TRUE(CTestFolder::WriteBytes(first, "[A]\r\n") && CTestFolder::WriteBytes(second, "[B]\r\n"));
  {
    CIniFile ini;
    ASSERT_EQ(ini.Load(first), 1);
    ini.SetString("A", "x", "1");
    ASSERT_EQ(ini.Load(second), 1);
    ini.SetString("B", "y", "2");
  }
  std::string a, b;
  ASSERT_TRUE(CTestFolder::ReadBytes(first, a) && CTestFolder::ReadBytes(second, b));
  EXPECT_EQ(a, "[A]\r\nx=1\r\n");
  EXPECT_EQ(b, "[B]\r\ny=2\r\n");
}
