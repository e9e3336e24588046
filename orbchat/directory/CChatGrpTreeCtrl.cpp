#include "directory/CChatGrpTreeCtrl.h"

#include "OrbADO.h"

namespace {
constexpr const char* kCategoryIcon = "tree2.grouptag";
constexpr const char* kGroupIcon = "tree2.role.b";
}  // namespace

CChatGrpTreeCtrl::~CChatGrpTreeCtrl() {
  FreeRecords(m_arrItemData);
  FreeRecords(m_arrTagData);
}

void CChatGrpTreeCtrl::InitTree() {
  CFillGuard guard(*this);
  if (FillCategories()) FillGroups();
}

bool CChatGrpTreeCtrl::FillCategories() {
  COrbADO db;
  if (!OpenForReading(db, "SELECT * FROM CustChatGroupTag")) return false;
  for (db.First(); !db.isEOF(); db.Next()) {
    auto record = std::make_unique<tag_GroupTagData>();
    record->id = ReadInt(db, "id");
    record->tag = ReadInt(db, "tag");
    record->name = ReadText(db, "name");
    const CString text = record->name;
    AttachRecord(m_arrTagData, std::move(record), nullptr, text, kCategoryIcon);
  }
  db.DisConnect();
  return true;
}

void CChatGrpTreeCtrl::FillGroups() {
  COrbADO db;
  if (!OpenForReading(db, "SELECT * FROM CustChatGroupList")) return;
  for (db.First(); !db.isEOF(); db.Next()) {
    auto record = std::make_unique<tag_GroupItemData>();
    record->groupid = ReadInt(db, "groupid");
    record->name = ReadText(db, "name");
    record->tag = ReadInt(db, "tag");
    record->title = ReadText(db, "title");
    record->members = ReadText(db, "members");
    record->hTagItem = FindTagItem(record->tag);
    const CString text = record->name;
    const HTREEITEM parent = record->hTagItem;
    AttachRecord(m_arrItemData, std::move(record), parent, text, kGroupIcon);
  }
  db.DisConnect();
}

HTREEITEM CChatGrpTreeCtrl::FindTagItemByName(const char* name) const {
  for (const auto& record : m_arrTagData)
    if (record->name == name) return record->hItem;
  return nullptr;
}
