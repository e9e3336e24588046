#include "directory/CChatObjTreeCtrl.h"

#include "OrbADO.h"

namespace {
constexpr const char* kTagIcon = "tree2.objecttag";
}  // namespace

CChatObjTreeCtrl::~CChatObjTreeCtrl() {
  FreeRecords(m_arrItemData);
  FreeRecords(m_arrTagData);
}

void CChatObjTreeCtrl::InitTree() {
  CFillGuard guard(*this);
  if (FillTags()) FillObjects();
}

bool CChatObjTreeCtrl::FillTags() {
  COrbADO db;
  if (!OpenForReading(db, "SELECT * FROM CustChatObjectTag")) return false;
  for (db.First(); !db.isEOF(); db.Next()) {
    auto record = std::make_unique<tag_ChatTagData>();
    record->id = ReadInt(db, "id");
    record->tag = ReadInt(db, "tag");
    record->name = ReadText(db, "name");
    const CString text = record->name;
    AttachRecord(m_arrTagData, std::move(record), nullptr, text, kTagIcon);
  }
  db.DisConnect();
  return true;
}

void CChatObjTreeCtrl::FillObjects() {
  COrbADO db;
  if (!OpenForReading(db, "SELECT * FROM CustChatObjectList")) return;
  for (db.First(); !db.isEOF(); db.Next()) {
    auto record = std::make_unique<tag_ChatItemData>();
    record->contactid = ReadText(db, "contactid");
    CString alias = ReadText(db, "alias");
    alias.Trim();
    record->name = alias.IsEmpty() ? ReadText(db, "name") : alias;
    record->tag = ReadInt(db, "tag");
    record->role = ReadText(db, "role");
    record->hTagItem = FindTagItem(record->tag);
    CString icon;
    icon.Format("tree2.role.%s", record->role.GetString());
    const CString text = record->name;
    const HTREEITEM parent = record->hTagItem;
    AttachRecord(m_arrItemData, std::move(record), parent, text, icon);
  }
  db.DisConnect();
}

HTREEITEM CChatObjTreeCtrl::FindTagItemByName(const char* name) const {
  for (const auto& record : m_arrTagData)
    if (record->name == name) return record->hItem;
  return nullptr;
}

HTREEITEM CChatObjTreeCtrl::FindContactItem(const char* contactid) const {
  for (const auto& record : m_arrItemData)
    if (record->contactid == contactid) return record->hItem;
  return nullptr;
}
