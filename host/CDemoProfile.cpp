#include "CDemoProfile.h"

#include <windows.h>

#include <filesystem>
#include <initializer_list>
#include <system_error>

#include "ChatDatabaseSchema.h"
#include "CodePage.h"
#include "OrbADO.h"

namespace {

const char* const kTables[] = {"ContactList",      "CustChatObjectTag", "CustChatObjectList", "CustChatGroupTag",
                               "CustChatGroupList", "CustCommunityTag",  "CustCommunity"};

// The tag each person stands under in the others' trees; 9 has no tag row,
// so that person stands at the top level.
struct Placement {
  const char* memberId;
  int tag;
  const char* alias;
};
const Placement kPlacements[] = {
    {"c1001", 3, ""},      {"c1002", 1, "小李"}, {"c1003", 3, ""},  {"c1004", 1, ""},
    {"c1005", 2, "   "},   {"c1006", 2, ""},     {"t2001", 4, ""},  {"t2002", 4, "郑工程师"},
    {"s3001", 9, ""},
};

struct Cell {
  const char* column;
  COrbVariant value;
};

// Appends rows, keeping one connection open while rows go to the same
// table.
class CDbWriter {
 public:
  explicit CDbWriter(const CString& path) : m_strPath(path) {}
  ~CDbWriter() { m_db.DisConnect(); }
  CDbWriter(const CDbWriter&) = delete;
  CDbWriter& operator=(const CDbWriter&) = delete;

  bool Insert(const char* table, std::initializer_list<Cell> cells) {
    if (!Open(table)) return Fail(table);
    bool ok = m_db.AppendBlank();
    for (const Cell& cell : cells) ok = ok && m_db.SetField(cell.column, cell.value);
    ok = ok && m_db.Update();
    return ok || Fail(table);
  }
  const CString& Error() const { return m_strError; }

 private:
  bool Open(const char* table) {
    if (m_strTable == table && m_db.IsOpen()) return true;
    m_db.DisConnect();
    m_strTable = table;
    CString sql;
    sql.Format("SELECT * FROM %s", table);
    return m_db.ConnectAccess(m_strPath) && m_db.OpenTable(sql, adOpenKeyset, adLockOptimistic, adCmdText);
  }
  bool Fail(const char* table) {
    if (m_strError.IsEmpty()) m_strError.Format("写入表 %s 失败: %s", table, m_db.GetLastError().GetString());
    return false;
  }

  CString m_strPath;
  CString m_strTable;
  COrbADO m_db;
  CString m_strError;
};

// -1 when the database cannot be read, else the number of rows of all tables.
long CountRows(const CString& dbPath) {
  long rows = 0;
  for (const char* table : kTables) {
    COrbADO db;
    CString sql;
    sql.Format("SELECT * FROM %s", table);
    if (!db.ConnectAccess(dbPath) || !db.OpenTable(sql, adOpenStatic, adLockReadOnly, adCmdText)) return -1;
    rows += db.RecordCount();
    db.DisConnect();
  }
  return rows;
}

bool SeedRows(CDbWriter& out, const DemoPerson& user) {
  bool ok = true;
  for (const DemoPerson& person : CDemoProfile::People())
    ok = ok && out.Insert("ContactList", {{"contactid", person.memberId}, {"name", person.name}, {"role", person.role}});
  int id = 0;
  for (const char* tag : {"我的好友", "陌生人", "同事", "老师"}) {
    ++id;
    ok = ok && out.Insert("CustChatObjectTag", {{"tag", id}, {"name", tag}});
  }
  for (const Placement& place : kPlacements) {
    if (CString(place.memberId) == user.memberId) continue;
    for (const DemoPerson& person : CDemoProfile::People()) {
      if (CString(person.memberId) != place.memberId) continue;
      ok = ok && out.Insert("CustChatObjectList", {{"contactid", person.memberId},
                                                   {"name", person.name},
                                                   {"alias", place.alias},
                                                   {"tag", place.tag},
                                                   {"role", person.role}});
    }
  }
  ok = ok && out.Insert("CustChatGroupTag", {{"tag", 1}, {"name", "项目讨论"}});
  ok = ok && out.Insert("CustChatGroupTag", {{"tag", 2}, {"name", "兴趣小组"}});
  ok = ok && out.Insert("CustChatGroupList", {{"groupid", 1}, {"name", "产品评审"}, {"tag", 1},
                                              {"title", "产品评审会"}, {"members", "c1001,c1002,c1003"}});
  ok = ok && out.Insert("CustChatGroupList", {{"groupid", 2}, {"name", "周末羽毛球"}, {"tag", 2},
                                              {"title", "羽毛球约起来"}, {"members", "c1001,c1004,t2001"}});
  ok = ok && out.Insert("CustChatGroupList", {{"groupid", 3}, {"name", "接口联调"}, {"tag", 1},
                                              {"title", "接口联调"}, {"members", "c1002,t2001,t2002"}});
  ok = ok && out.Insert("CustChatGroupList", {{"groupid", 4}, {"name", "临时讨论"}, {"tag", 5},
                                              {"title", "临时讨论"}, {"members", "c1001,s3001"}});
  ok = ok && out.Insert("CustCommunityTag", {{"tag", 1}, {"name", "技术交流"}});
  ok = ok && out.Insert("CustCommunityTag", {{"tag", 2}, {"name", "同城生活"}});
  for (const DemoCommunity& c : CDemoProfile::Communities()) {
    ok = ok && out.Insert("CustCommunity", {{"groupid", c.groupId},
                                            {"groupname", c.name},
                                            {"groupdes", c.description ? COrbVariant(c.description) : COrbVariant::Null()},
                                            {"tag", c.tag ? COrbVariant(c.tag) : COrbVariant::Null()},
                                            {"members", c.members}});
  }
  return ok;
}

}  // namespace

CDemoProfile::CDemoProfile(const CString& folder) : m_strFolder(folder) { m_strFolder.TrimRight("\\/"); }

const std::vector<DemoPerson>& CDemoProfile::People() {
  static const std::vector<DemoPerson> people = {
      {"c1001", "c", "张三", true},   {"c1002", "c", "李四", true},    {"c1003", "c", "王五", false},
      {"c1004", "c", "赵六", false},  {"c1005", "c", "孙七", false},   {"c1006", "c", "周八", false},
      {"t2001", "t", "吴老师", true}, {"t2002", "t", "郑工", false},   {"s3001", "s", "客服小美", false},
  };
  return people;
}

const std::vector<DemoCommunity>& CDemoProfile::Communities() {
  static const std::vector<DemoCommunity> communities = {
      {"12", "OrbChat 开发者", "OrbChat 开发与测试交流", 1, "c1001,c1002,c1003,c1004,t2001,t2002"},
      {"13", "北京同城", "周末活动与生活信息", 2, "c1001,c1002,c1004,c1006,t2001"},
      {"14", "新手村", nullptr, 0, "c1001,c1002,c1005,t2001,s3001"},
  };
  return communities;
}

const DemoPerson* CDemoProfile::FindUser(const char* userId) {
  for (const DemoPerson& person : People())
    if (person.canLogIn && CString(person.memberId).Mid(1) == userId) return &person;
  return nullptr;
}

CString CDemoProfile::DatabasePath(const DemoPerson& user) const {
  return m_strFolder + "\\" + CString(user.memberId).Mid(1) + ".dat";
}

bool CDemoProfile::Prepare(CString& error) const {
  const std::filesystem::path folder(CodePage::AnsiToWide(m_strFolder));
  std::error_code code;
  std::filesystem::create_directories(folder, code);
  if (!std::filesystem::is_directory(folder, code)) {
    error.Format("无法建立演示资料文件夹 %s。\r\n请换一个文件夹（--profile），或删除同名的文件。", m_strFolder.GetString());
    return false;
  }
  for (const DemoPerson& person : People()) {
    if (!person.canLogIn) continue;
    const CString path = DatabasePath(person);
    if (!CreateChatDatabase(path)) {
      error.Format("演示资料已损坏：%s 不是聊天数据库，或无法建立。\r\n删除该文件后重新运行即可重建演示资料。",
                   path.GetString());
      return false;
    }
    if (Seed(path, person, error) < 0) return false;
  }
  return true;
}

int CDemoProfile::Seed(const CString& dbPath, const DemoPerson& user, CString& error) {
  const long rows = CountRows(dbPath);
  if (rows < 0) {
    error.Format("演示资料已损坏：无法读取 %s。\r\n删除该文件后重新运行即可重建演示资料。", dbPath.GetString());
    return -1;
  }
  if (rows > 0) return 0;
  CDbWriter writer(dbPath);
  if (!SeedRows(writer, user)) {
    error.Format("无法写入演示资料 %s：%s", dbPath.GetString(), writer.Error().GetString());
    return -1;
  }
  return 1;
}
