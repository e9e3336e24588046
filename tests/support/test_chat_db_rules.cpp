// Members texts and the numbering of tags, categories and groups.
#include <gtest/gtest.h>

#include <vector>

#include "ChatDatabaseSchema.h"
#include "OrbADO.h"
#include "TestFolder.h"
#include "support/ChatDbRules.h"

namespace {

std::vector<std::string> Strings(const std::vector<CString>& ids) {
  std::vector<std::string> out;
  for (const CString& id : ids) out.push_back(id.Str());
  return out;
}

// Every (tag, name) of a tag table in tag order.
std::vector<std::pair<int, std::string>> Tags(const char* dbPath, const char* table) {
  std::vector<std::pair<int, std::string>> rows;
  COrbADO db;
  CString sql;
  sql.Format("SELECT * FROM %s order by tag", table);
  if (!db.ConnectAccess(dbPath) || !db.OpenTable(sql, adOpenStatic, adLockReadOnly, adCmdText)) return rows;
  for (db.First(); !db.isEOF(); db.Next())
    rows.emplace_back(db.GetField("tag").ToInt(), db.GetField("name").ToString().Str());
  return rows;
}

}  // namespace

TEST(Members, ThreeMembersJoinWithTwoCommasAndReadBackWithOrWithoutATrailingComma) {
  const std::vector<CString> three = {"a1001", "b1002", "c1003"};
  const CString joined = JoinMembers(three);
  EXPECT_STREQ(joined, "a1001,b1002,c1003");
  EXPECT_EQ(Strings(SplitMembers(joined)), Strings(three));
  EXPECT_EQ(Strings(SplitMembers(joined + ",")), Strings(three));
  EXPECT_TRUE(SplitMembers("").empty());
  EXPECT_TRUE(SplitMembers(nullptr).empty());
  EXPECT_EQ(Strings(SplitMembers(",x,,y,")), (std::vector<std::string>{"x", "y"}));
  EXPECT_STREQ(JoinMembers({"x", "", "y"}), "x,y");
}

TEST(Members, AContactIsAMemberOnlyWhenItsIdIsAWholePiece) {
  const struct {
    const char* members;
    const char* id;
    bool expected;
  } cases[] = {
      {"112,3", "12", false},  // the tail of another id
      {"112,3", "11", false},  // its head
      {"112,12", "12", true},
      {"112,3,", "3", true},   // trailing comma
      {"3", "3", true},
      {"", "3", false},
      {"1,,2", "", false},     // an empty piece is nobody
  };
  for (const auto& c : cases) EXPECT_EQ(IsMember(c.members, c.id), c.expected) << c.members << " / " << c.id;
}

TEST(TagNames, CompareTrimmedWithoutCase) {
  EXPECT_TRUE(SameTagName("  Friends ", "friends"));
  EXPECT_TRUE(SameTagName("同事", " 同事"));
  EXPECT_FALSE(SameTagName("同事", "同学"));
  EXPECT_FALSE(SameTagName("a b", "ab"));
}

TEST(AddTag, NumbersStartAtOneAndFollowTheHighestInUse) {
  for (const char* table : {"CustChatObjectTag", "CustChatGroupTag"}) {
    CTestFolder folder;
    const CString path = folder.Path("1001.dat");
    ASSERT_TRUE(CreateChatDatabase(path));
    int number = 0;
    EXPECT_EQ(AddTag(path, table, "好友", number), 1) << table;
    EXPECT_EQ(number, 1) << table;
    EXPECT_EQ(AddTag(path, table, "同事", number), 1);
    EXPECT_EQ(number, 2);
    // The same name, other case and blanks: nothing appended, its number given.
    EXPECT_EQ(AddTag(path, table, " 好友 ", number), 0);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(AddTag(path, table, "   ", number), -1);
    EXPECT_EQ(Tags(path, table), (std::vector<std::pair<int, std::string>>{{1, "好友"}, {2, "同事"}})) << table;
  }
}

TEST(AddTag, AfterAGapTheNextNumberIsAboveTheHighest) {
  CTestFolder folder;
  const CString path = folder.Path("1001.dat");
  ASSERT_TRUE(CreateChatDatabase(path));
  {
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(path));
    ASSERT_TRUE(db.OpenTable("SELECT * FROM CustChatObjectTag order by tag", adOpenKeyset, adLockOptimistic, adCmdText));
    for (int tag : {7, 3}) {
      ASSERT_TRUE(db.AppendBlank());
      ASSERT_TRUE(db.SetField("tag", tag));
      ASSERT_TRUE(db.SetField("name", tag == 7 ? "Seven" : "Three"));
      ASSERT_TRUE(db.Update());
    }
  }
  int number = 0;
  EXPECT_EQ(AddTag(path, "CustChatObjectTag", "seven", number), 0);
  EXPECT_EQ(number, 7);
  EXPECT_EQ(AddTag(path, "CustChatObjectTag", "Eight", number), 1);
  EXPECT_EQ(number, 8);
}

TEST(AddTag, RefusesOtherTablesAndMissingFiles) {
  CTestFolder folder;
  const CString path = folder.Path("1001.dat");
  ASSERT_TRUE(CreateChatDatabase(path));
  int number = 42;
  EXPECT_EQ(AddTag(path, "ContactList", "x", number), -1);
  EXPECT_EQ(AddTag(path, "CustChatObjectTag; DROP TABLE ContactList", "x", number), -1);
  EXPECT_EQ(AddTag(folder.Path("none.dat"), "CustChatObjectTag", "x", number), -1);
  EXPECT_EQ(number, 42);
  EXPECT_FALSE(CTestFolder::Exists(folder.Path("none.dat")));
}

TEST(AppendGroup, GroupNumbersFollowTheHighestAndMembersAreStoredAsGiven) {
  CTestFolder folder;
  const CString path = folder.Path("1001.dat");
  ASSERT_TRUE(CreateChatDatabase(path));
  EXPECT_EQ(AppendGroup(path, "项目组", 2, "项目讨论", "a1,b2,c3"), 1);
  EXPECT_EQ(AppendGroup(path, "second", 1, "", ""), 2);
  COrbADO db;
  ASSERT_TRUE(db.ConnectAccess(path));
  ASSERT_TRUE(db.OpenTable("SELECT * FROM CustChatGroupList where groupid=1", adOpenStatic, adLockReadOnly, adCmdText));
  ASSERT_FALSE(db.isEOF());
  EXPECT_STREQ(db.GetField("name").ToString(), "项目组");
  EXPECT_EQ(db.GetField("tag").ToInt(), 2);
  EXPECT_STREQ(db.GetField("title").ToString(), "项目讨论");
  EXPECT_STREQ(db.GetField("members").ToString(), "a1,b2,c3");
  EXPECT_EQ(AppendGroup(folder.Path("none.dat"), "x", 1, "", ""), 0);
}
