// How statements written for Access become SQLite statements.
#include <gtest/gtest.h>

#include "AccessStatement.h"
#include "CodePage.h"

TEST(AccessStatement, TranslatesTopBindsFinalIdsAndKnowsTheTable) {
  const struct {
    const char* input;
    const char* text;          // as read
    const char* keyedText;     // with the row key, as changed
    bool hasValue;
    const char* value;
    const char* table;
  } cases[] = {
      {"select top 300 * FROM ContactList", "select * FROM ContactList LIMIT 300",
       "select _rowid_, * FROM ContactList LIMIT 300", false, "", "ContactList"},
      {"SELECT TOP 5 name FROM ContactList order by name", "SELECT name FROM ContactList order by name LIMIT 5",
       "SELECT name FROM ContactList order by name LIMIT 5", false, "", ""},
      {"SELECT * FROM CustChatObjectTag order by tag", "SELECT * FROM CustChatObjectTag order by tag",
       "SELECT _rowid_, * FROM CustChatObjectTag order by tag", false, "", "CustChatObjectTag"},
      {"SELECT * FROM CustChatObjectTag where id=12", "SELECT * FROM CustChatObjectTag where id=12",
       "SELECT _rowid_, * FROM CustChatObjectTag where id=12", false, "", "CustChatObjectTag"},
      {"SELECT * FROM CustChatObjectList where contactid='c1001'", "SELECT * FROM CustChatObjectList where contactid=?",
       "SELECT _rowid_, * FROM CustChatObjectList where contactid=?", true, "c1001", "CustChatObjectList"},
      {"SELECT * FROM CustCommunity WHERE groupid = '88' ;", "SELECT * FROM CustCommunity WHERE groupid =?",
       "SELECT _rowid_, * FROM CustCommunity WHERE groupid =?", true, "88", "CustCommunity"},
      // Whatever the id holds stays one value.
      {"SELECT * FROM ContactList where contactid='a' OR '1'='1'", "SELECT * FROM ContactList where contactid=?",
       "SELECT _rowid_, * FROM ContactList where contactid=?", true, "a' OR '1'='1", "ContactList"},
      {"SELECT * FROM ContactList where contactid='x'; DROP TABLE ContactList; --'",
       "SELECT * FROM ContactList where contactid=?", "SELECT _rowid_, * FROM ContactList where contactid=?", true,
       "x'; DROP TABLE ContactList; --", "ContactList"},
      {"SELECT * FROM ContactList where contactid=''", "SELECT * FROM ContactList where contactid=?",
       "SELECT _rowid_, * FROM ContactList where contactid=?", true, "", "ContactList"},
      // A quote doubled by a careful caller stands for one quote.
      {"SELECT * FROM ContactList where contactid='o''brien'", "SELECT * FROM ContactList where contactid=?",
       "SELECT _rowid_, * FROM ContactList where contactid=?", true, "o'brien", "ContactList"},
      {"SELECT * FROM [Contact List] where [contact id]='张三'", "SELECT * FROM [Contact List] where [contact id]=?",
       "SELECT _rowid_, * FROM [Contact List] where [contact id]=?", true, "张三", "Contact List"},
      {"select count(*) from ContactList", "select count(*) from ContactList", "select count(*) from ContactList",
       false, "", ""},
      {"SELECT DISTINCT * FROM ContactList", "SELECT DISTINCT * FROM ContactList", "SELECT DISTINCT * FROM ContactList",
       false, "", ""},
      // A literal that does not close the statement is left to SQLite.
      {"SELECT * FROM ContactList where name='a' order by name", "SELECT * FROM ContactList where name='a' order by name",
       "SELECT _rowid_, * FROM ContactList where name='a' order by name", false, "", "ContactList"},
  };
  for (const auto& c : cases) {
    const CAccessStatement statement(c.input);
    EXPECT_EQ(statement.Text(false), CodePage::AnsiToUtf8(c.text)) << c.input;
    EXPECT_EQ(statement.Text(true), CodePage::AnsiToUtf8(c.keyedText)) << c.input;
    EXPECT_EQ(statement.HasValue(), c.hasValue) << c.input;
    EXPECT_EQ(statement.Value(), CodePage::AnsiToUtf8(c.value)) << c.input;
    EXPECT_EQ(statement.Table(), CodePage::AnsiToUtf8(c.table)) << c.input;
  }
}

TEST(AccessStatement, EmptyTextsAreEmpty) {
  EXPECT_TRUE(CAccessStatement(nullptr).IsEmpty());
  EXPECT_TRUE(CAccessStatement("  ; ").IsEmpty());
  EXPECT_FALSE(CAccessStatement("select 1").IsEmpty());
}
