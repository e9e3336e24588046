#include "directory/CChatCmtTreeCtrl.h"

#include "OrbADO.h"

namespace {
constexpr const char* kCategoryIcon = "tree2.communitytag";
constexpr const char* kCommunityIcon = "tree2.role.h";
}  // namespace

CChatCmtTreeCtrl::~CChatCmtTreeCtrl() {
  FreeRecords(m_arrItemData);
  FreeRecords(m_arrTagData);
}

void CChatCmtTreeCtrl::InitTree() {
  CFillGuard guard(*this);
  if (!FillCategories()) return;
  FillCommunities();
  OpenCategories();
}

bool CChatCmtTreeCtrl::FillCategories() {
  COrbADO db;
  if (!OpenForReading(db, "SELECT * FROM CustCommunityTag")) return false;
  for (db.First(); !db.isEOF(); db.Next()) {
    auto record = std::make_unique<tag_CommunityTagData>();
    record->id = ReadInt(db, "id");
    record->tag = ReadInt(db, "tag");
    record->name = ReadText(db, "name");
    const CString text = record->name;
    if (HTREEITEM item = AttachRecord(m_arrTagData, std::move(record), nullptr, text, kCategoryIcon))
      Expand(item, TVE_EXPAND);
  }
  db.DisConnect();
  return true;
}

void CChatCmtTreeCtrl::FillCommunities() {
  COrbADO db;
  if (!OpenForReading(db, "SELECT * FROM CustCommunity")) return;
  for (db.First(); !db.isEOF(); db.Next()) {
    auto record = std::make_unique<tag_CommunityItemData>();
    record->groupid = ReadText(db, "groupid");
    record->groupname = ReadText(db, "groupname");
    record->tag = ReadInt(db, "tag");
    record->groupdes = ReadText(db, "groupdes");
    record->members = ReadText(db, "members");
    record->hTagItem = FindTagItem(record->tag);
    const CString text = record->groupname;
    const HTREEITEM parent = record->hTagItem;
    AttachRecord(m_arrItemData, std::move(record), parent, text, kCommunityIcon);
  }
  db.DisConnect();
}

// A category is asked to open when it is made, but a node without children
// cannot open yet; once its communities are in, it is opened again so that
// they show without a click.
void CChatCmtTreeCtrl::OpenCategories() {
  for (const auto& record : m_arrTagData)
    if (ItemHasChildren(record->hItem)) Expand(record->hItem, TVE_EXPAND);
}
