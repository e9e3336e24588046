// Members texts and the numbering of tags, categories and groups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChatDatabaseSchema.h"
#include "OrbADO.h"
#include "CTestChatDb.h"
#include "CTestFolder.h"
#include "directory/CChatDirectory.h"
#include "support/ChatDbRules.h"

namespace {
std::string Joined(const std::vector<CString>& ids) { return JoinMembers(ids).Str(); }
int AddTag(const char* path, const char* table, const char* name, int& number) {
  return CChatDirectory(path).AddTag(table, name, number);
}
int AppendGroup(const char* path, const char* name, int tag, const char* title, const char* members) {
  return CChatDirectory(path).AppendGroup(name, tag, title, members);
}
}  // namespace

TEST(Members, JoinSplitAndWholePieceMembership) {
  EXPECT_EQ(Joined({"a1001", "b1002", "c1003"}), "a1001,b1002,c1003");
  EXPECT_EQ(Joined({"x", "", "y"}), "x,y");
  EXPECT_EQ(Joined(SplitMembers("a1001,b1002,c1003,")), "a1001,b1002,c1003");  // trailing comma read alike
  EXPECT_EQ(SplitMembers("a1001,b1002,c1003,").size(), 3u);
  EXPECT_EQ(Joined(SplitMembers(",x,,y,")), "x,y");
  EXPECT_TRUE(SplitMembers(nullptr).empty());
  const struct {
    const char* members;
    const char* id;
    bool expected;
  } cases[] = {{"112,3", "12", false}, {"112,3", "11", false}, {"112,12", "12", true},
               {"112,3,", "3", true},  {"", "3", false},       {"1,,2", "", false}};
  for (const auto& c : cases) EXPECT_EQ(IsMember(c.members, c.id), c.expected) << c.members << " / " << c.id;
  EXPECT_TRUE(SameTagName("  Friends ", "friends"));
  EXPECT_FALSE(SameTagName("同事", "同学"));
}

TEST(Numbering, TagsStartAtOneFollowTheHighestAndAreNotDoubled) {
  for (const char* table : {"CustChatObjectTag", "CustChatGroupTag"}) {
    CTestFolder folder;
    const CString path = folder.File("1001.dat");
    ASSERT_TRUE(CreateChatDatabase(path));
    int number = 0;
    EXPECT_EQ(AddTag(path, table, "好友", number), 1) << table;
    EXPECT_EQ(number, 1) << table;
    EXPECT_EQ(AddTag(path, table, " 好友 ", number), 0);  // exists: nothing appended
    EXPECT_EQ(number, 1);
    EXPECT_EQ(AddTag(path, table, "   ", number), -1);
    {
      COrbADO db;  // a gap: numbers 1 and 7 in use
      ASSERT_TRUE(db.ConnectAccess(path));
      ASSERT_TRUE(db.OpenTable(CString("SELECT * FROM ") + table, adOpenKeyset, adLockOptimistic, adCmdText));
      ASSERT_TRUE(db.AppendBlank() && db.SetField("tag", 7) && db.SetField("name", "Seven") && db.Update());
    }
    EXPECT_EQ(AddTag(path, table, "Eight", number), 1);
    EXPECT_EQ(number, 8);
    COrbADO db;
    ASSERT_TRUE(db.ConnectAccess(path));
    ASSERT_TRUE(db.OpenTable(CString("SELECT * FROM ") + table));
    EXPECT_EQ(db.RecordCount(), 3) << table;
  }
  CTestFolder folder;
  const CString path = folder.File("1001.dat");
  ASSERT_TRUE(CreateChatDatabase(path));
  int number = 42;
  EXPECT_EQ(AddTag(path, "ContactList", "x", number), -1);  // only the two tag tables
  std::vector<ChatTagRow> rows{{1, 1, "stale"}};
  EXPECT_FALSE(CChatDirectory(path).ReadTags("ContactList", rows));  // the name goes into the statement
  EXPECT_FALSE(CChatDirectory(path).ReadTags("CustChatObjectTag; DROP TABLE ContactList", rows));
  EXPECT_TRUE(rows.empty());
  EXPECT_TRUE(CChatDirectory(path).ReadTags(CChatDirectory::kCommunityTags, rows));
  EXPECT_EQ(AddTag(folder.File("none.dat"), "CustChatObjectTag", "x", number), -1);
  EXPECT_EQ(number, 42);
  EXPECT_FALSE(CTestFolder::Exists(folder.File("none.dat")));
}

TEST(Numbering, GroupNumbersFollowTheHighestAndTheGroupIsStoredAsGiven) {
  CTestFolder folder;
  const CString path = folder.File("1001.dat");
  ASSERT_TRUE(CreateChatDatabase(path));
  EXPECT_EQ(AppendGroup(path, "项目组", 2, "项目讨论", "a1,b2,c3"), 1);
  EXPECT_EQ(AppendGroup(path, "second", 1, "", ""), 2);
  EXPECT_EQ(AppendGroup(folder.File("none.dat"), "x", 1, "", ""), 0);
  COrbADO db;
  ASSERT_TRUE(db.ConnectAccess(path));
  ASSERT_TRUE(db.OpenTable("SELECT * FROM CustChatGroupList where groupid=1"));
  EXPECT_STREQ(db.GetField("name").ToString() + "/" + db.GetField("tag").ToString() + "/" +
                   db.GetField("title").ToString() + "/" + db.GetField("members").ToString(),
               "项目组/2/项目讨论/a1,b2,c3");
}

TEST(DirectoryLookups, NamesSendersAndCommunitiesByIdOnly) {
  CTestChatDb db;
  ASSERT_TRUE(db.Exec("INSERT INTO ContactList (contactid, name) VALUES ('c1002', '李四');"
                      "INSERT INTO CustChatObjectList (contactid, name, alias, tag, role) "
                      "VALUES ('c1003', '王五', ' 老王 ', 3, 'c');"
                      "INSERT INTO CustCommunity (groupid, groupname, groupdes, members) "
                      "VALUES ('12', '读书会', NULL, 'c1001,c1002');"));
  const CChatDirectory directory(db.Path());
  CString alias, name;
  ASSERT_TRUE(directory.ReadChatObjectName("C1003", alias, name));  // ids compare without case
  EXPECT_EQ(alias, " 老王 ");
  EXPECT_EQ(name, "王五");
  EXPECT_FALSE(directory.ReadChatObjectName("c1002", alias, name));
  ASSERT_TRUE(directory.ReadContactName("c1002", name));
  EXPECT_EQ(name, "李四");

  // A new sender is appended with tag, role and an empty alias; a known one
  // only gets its name refreshed.
  EXPECT_TRUE(directory.RecordChatObject("p2002", "赵六", 2, "p"));
  EXPECT_TRUE(directory.RecordChatObject("c1003", "王五五", 7, "x"));
  EXPECT_EQ(db.Value("SELECT contactid || '/' || name || '/' || alias || '/' || tag || '/' || role "
                     "FROM CustChatObjectList WHERE contactid='p2002'"),
            "p2002/赵六//2/p");
  EXPECT_EQ(db.Value("SELECT name || '/' || alias || '/' || tag || '/' || role FROM CustChatObjectList "
                     "WHERE contactid='c1003'"),
            "王五五/ 老王 /3/c");

  CommunityColumns community;
  ASSERT_TRUE(directory.ReadCommunity("12", community));
  EXPECT_EQ(community.groupname.value_or("?"), "读书会");
  EXPECT_FALSE(community.groupdes.has_value()) << "NULL stays absent";
  EXPECT_EQ(community.members.value_or("?"), "c1001,c1002");
  EXPECT_FALSE(directory.ReadCommunity("1", community));

  // An id that tries to widen the statement finds nothing and changes nothing.
  EXPECT_FALSE(directory.ReadCommunity("x' OR groupid<>'", community));
  EXPECT_TRUE(directory.RecordChatObject("x' OR '1'='1", "n", 2, "c"));
  EXPECT_EQ(db.Count("CustChatObjectList"), 3);
  EXPECT_EQ(db.Value("SELECT name FROM CustChatObjectList WHERE contactid='c1003'"), "王五五");
  EXPECT_FALSE(CChatDirectory(db.Folder().File("无.dat")).RecordChatObject("c1", "n", 2, "c"));
}
