#include "directory/COrbChat_GroupManage.h"

#include <commctrl.h>

#include <set>
#include <string>

#include "COrbHttp_Protocol_Orb.h"
#include "OrbSkin.h"
#include "chat/ModuleHandle.h"
#include "resources/resource.h"
#include "support/FileUtils.h"

namespace {
constexpr int kRowHeight = 25;
constexpr const char* kTextStyle = "textdefault";

// The ids of a member list ("a,b,c," or "a,b,c"), without empty entries.
std::set<std::string> SplitIds(const CString& members) {
  std::set<std::string> ids;
  std::string text = members.GetString();
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = text.find(',', start);
    const std::string id = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!id.empty()) ids.insert(id);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return ids;
}

// A role code is one letter of the known codes.
bool IsKnownRole(const CString& role, const CString& codes) {
  return role.GetLength() == 1 && role != " " && codes.Find(role) >= 0;
}
}  // namespace

BEGIN_MESSAGE_MAP(COrbChat_GroupManage, CDialog)
  ON_BN_CLICKED(IDC_MEMBER_ADD, &COrbChat_GroupManage::OnAddMember)
  ON_BN_CLICKED(IDC_MEMBER_REMOVE, &COrbChat_GroupManage::OnRemoveMember)
  ON_NOTIFY(NM_CLICK, IDC_CONTACT_LIST, &COrbChat_GroupManage::OnContactsClick)
  ON_NOTIFY(NM_CLICK, IDC_GROUP_MEMBER_LIST, &COrbChat_GroupManage::OnMembersClick)
END_MESSAGE_MAP()

COrbChat_GroupManage::COrbChat_GroupManage(CWnd* parent, COrbHttp_Protocol_Orb* protocol, ChatGroupRow* group)
    : CDialog(OrbChatModuleHandle(), IDD_GROUP_MANAGE, parent), m_pProtocol(protocol), m_pGroup(group) {
  if (m_pProtocol) m_strDBPath = ReplaceExtension(m_pProtocol->GetUserCustomFileName(), ".dat");
}

COrbChat_GroupManage::~COrbChat_GroupManage() = default;

void COrbChat_GroupManage::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_GROUP_CATEGORY, m_comboCategory);
  DDX_Control(dx, IDC_GROUP_NAME, m_editName);
  DDX_Control(dx, IDC_GROUP_TITLE, m_editTitle);
  DDX_Control(dx, IDC_CONTACT_LIST, m_listContacts);
  DDX_Control(dx, IDC_GROUP_MEMBER_LIST, m_listMembers);
}

BOOL COrbChat_GroupManage::OnInitDialog() {
  if (!CDialog::OnInitDialog()) return FALSE;
  SetUpList(m_listContacts, this);
  SetUpList(m_listMembers, this);
  Skin();
  FillCategories();
  FillContacts();
  const char* caption = "新建群组";
  if (m_pGroup) {
    m_editName.SetWindowText(m_pGroup->name);
    m_editTitle.SetWindowText(m_pGroup->title);
    m_comboCategory.EnableWindow(FALSE);
    m_editName.EnableWindow(FALSE);
    if (m_pGroup->groupid > 0) {
      m_strOkText = "保存";
      caption = "群组成员管理";
    }
  }
  SetDlgItemText(IDOK, m_strOkText);
  SetWindowText(caption);
  return TRUE;
}

// Three columns (role icon, id, name) and rows 25 pixels high (the height of
// the list's small image list).
void COrbChat_GroupManage::SetUpList(CListCtrl& list, CWnd* font) {
  if (CWnd* header = list.GetHeaderCtrl()) header->SetFont(font->GetFont());
  list.InsertColumn(0, "", LVCFMT_LEFT, 24);
  list.InsertColumn(1, "联系人id", LVCFMT_LEFT, 80);
  list.InsertColumn(2, "联系人名称", LVCFMT_LEFT, 150);
  list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
  // The list destroys its image list with itself.
  list.SetImageList(ImageList_Create(1, kRowHeight, ILC_COLOR, 1, 0), LVSIL_SMALL);
}

void COrbChat_GroupManage::Skin() {
  m_listContacts.SetProp(DS_NO_SKIN_PROPERTY, reinterpret_cast<HANDLE>(1));
  m_listMembers.SetProp(DS_NO_SKIN_PROPERTY, reinterpret_cast<HANDLE>(1));
  dsSkinWindow(m_hWnd, DSK_DIALOG, nullptr, 1);
  dsSkinWindow(m_comboCategory.m_hWnd, DSK_COMBOBOX, "combobox", 0);
  dsSkinWindow(m_editName.m_hWnd, DSK_EDIT, "edit", 0);
  dsSkinWindow(m_listContacts.m_hWnd, DSK_LISTVIEW, "listcontact", 0);
  dsSkinWindow(m_listMembers.m_hWnd, DSK_LISTVIEW, "listcontact", 0);
  // The first label of the template: "群组分类".
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char name[16] = {};
    ::GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "Static") == 0) {
      dsSkinWindow(child, DSK_STATIC, "static", 0);
      break;
    }
  }
  m_listContacts.RemoveProp(DS_NO_SKIN_PROPERTY);
  m_listMembers.RemoveProp(DS_NO_SKIN_PROPERTY);
}

void COrbChat_GroupManage::FillCategories() {
  std::vector<ChatTagRow> rows;
  if (!CChatDirectory(m_strDBPath).ReadTagsByNumber(CChatDirectory::kGroupTags, rows)) return;
  int selected = -1;
  for (const ChatTagRow& row : rows) {
    if (m_comboCategory.AddString(row.name) < 0) break;
    if (selected < 0 && m_pGroup && row.tag == m_pGroup->tag) selected = static_cast<int>(m_arrTags.size());
    m_arrTags.push_back(row.tag);
  }
  if (!m_arrTags.empty()) m_comboCategory.SetCurSel(selected < 0 ? 0 : selected);
}

void COrbChat_GroupManage::FillContacts() {
  std::vector<ContactRow> rows;
  CChatDirectory(m_strDBPath).ReadContacts(kMaxContacts, rows);
  const std::set<std::string> members = SplitIds(m_pGroup ? m_pGroup->members : CString());
  const CString codes = m_pProtocol ? m_pProtocol->GetRoleCodes() : CString();
  const CString myRole = m_pProtocol ? m_pProtocol->GetMyRole() : CString();
  for (const ContactRow& row : rows) {
    auto record = std::make_unique<InfoContactStru>();
    record->contactid = row.contactid;
    record->name = row.name;
    record->role = row.role;
    record->role.Trim();
    if (!IsKnownRole(record->role, codes)) record->role = myRole;
    const bool member = members.count(record->contactid.GetString()) > 0;
    AppendRow(member ? m_listMembers : m_listContacts, *record);
    m_arrContacts.push_back(std::move(record));
  }
  for (CListCtrl* list : {&m_listContacts, &m_listMembers})
    if (list->GetItemCount() > 0) list->SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void COrbChat_GroupManage::AppendRow(CListCtrl& list, InfoContactStru& record) {
  const int index = list.InsertItem(list.GetItemCount(), record.contactid);
  if (index < 0) return;
  list.SetItemText(index, 1, record.contactid);
  list.SetItemText(index, 2, record.name);
  list.SetItemData(index, reinterpret_cast<DWORD_PTR>(&record));
  CString icon;
  icon.Format("role.%s", record.role.GetString());
  dsSetItemStyle(list.m_hWnd, static_cast<UINT_PTR>(index), 0, icon);
  dsSetItemStyle(list.m_hWnd, static_cast<UINT_PTR>(index), 1, kTextStyle);
  dsSetItemStyle(list.m_hWnd, static_cast<UINT_PTR>(index), 2, kTextStyle);
}

void COrbChat_GroupManage::OnAddMember() { MoveRow(m_listContacts, m_listMembers); }

void COrbChat_GroupManage::OnRemoveMember() { MoveRow(m_listMembers, m_listContacts); }

void COrbChat_GroupManage::MoveRow(CListCtrl& from, CListCtrl& to) {
  const int index = from.GetNextItem(-1, LVNI_SELECTED);
  if (index < 0) return;
  auto* record = reinterpret_cast<InfoContactStru*>(from.GetItemData(index));
  if (!record) return;
  AppendRow(to, *record);
  to.EnsureVisible(to.GetItemCount() - 1, FALSE);
  from.DeleteItem(index);
  // The next row takes the selection, so ">>" can be pressed again.
  const int next = index < from.GetItemCount() ? index : from.GetItemCount() - 1;
  if (next >= 0) from.SetItemState(next, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  from.Invalidate();
  to.Invalidate();
}

void COrbChat_GroupManage::OnContactsClick(NMHDR* header, LRESULT* result) {
  *result = 0;
  ShowPosition(m_listContacts, IDC_CONTACT_POSITION, header);
}

void COrbChat_GroupManage::OnMembersClick(NMHDR* header, LRESULT* result) {
  *result = 0;
  ShowPosition(m_listMembers, IDC_MEMBER_POSITION, header);
}

void COrbChat_GroupManage::ShowPosition(CListCtrl& list, int counterId, const NMHDR* header) {
  const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(header);
  const int index = list.HitTest(activate->ptAction);
  if (index < 0) return;
  CString text;
  text.Format("%d/%d", index + 1, list.GetItemCount());
  SetDlgItemText(counterId, text);
}

CString COrbChat_GroupManage::MemberIds() const {
  CString ids;
  for (int i = 0; i < m_listMembers.GetItemCount(); ++i) {
    const auto* record = reinterpret_cast<const InfoContactStru*>(m_listMembers.GetItemData(i));
    if (!record) continue;
    if (!ids.IsEmpty()) ids += ",";
    ids += record->contactid;
  }
  return ids;
}

void COrbChat_GroupManage::Error(const char* text) { dsMessageBox(m_hWnd, text, "错误", MB_OK | MB_ICONERROR); }

bool COrbChat_GroupManage::Validate(const CString& name, const CString& title) {
  if (name.IsEmpty()) {
    Error("群组名称不能为空！");
    GotoDlgCtrl(&m_editName);
    return false;
  }
  if (title.IsEmpty()) {
    Error("群组标题不能为空！");
    GotoDlgCtrl(&m_editTitle);
    return false;
  }
  if (m_listMembers.GetItemCount() == 0) {
    Error("群组成员不能为空！");
    GotoDlgCtrl(&m_listMembers);
    return false;
  }
  return true;
}

// A managed group keeps its own name and category: both fields are
// disabled, and the combo box may show another category when the group's
// has no row. Without categories a new group stands under none (number 0).
void COrbChat_GroupManage::OnOK() {
  ChatGroupRow row;
  const int index = m_comboCategory.GetCurSel();
  CString category;
  if (index >= 0 && static_cast<size_t>(index) < m_arrTags.size()) {
    row.tag = m_arrTags[static_cast<size_t>(index)];
    category = m_comboCategory.GetLBText(index);
  }
  row.name = m_editName.GetWindowText();
  row.title = m_editTitle.GetWindowText();
  if (!Validate(row.name, row.title)) return;
  row.members = MemberIds();
  const bool create = !IsManaging();
  if (!create) {
    row.groupid = m_pGroup->groupid;
    row.name = m_pGroup->name;
    row.tag = m_pGroup->tag;
  }
  CString question;
  question.Format("群组分类:%s(%d)\n    名称:%s\n    标题:%s\n    共 %d 人\n 请确认 %s群组内容是否正确？",
                  category.GetString(), row.tag, row.name.GetString(), row.title.GetString(),
                  m_listMembers.GetItemCount(), m_strOkText.GetString());
  if (dsMessageBox(m_hWnd, question, "提示", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  switch (CChatDirectory(m_strDBPath).SaveGroup(row, create)) {
    case GroupSave::NoDatabase:
      Error("本地数据库打开失败无法保存！");
      return;
    case GroupSave::NoTable:
      Error("群组列表打开失败无法保存！");
      return;
    case GroupSave::Failed:
      Error("本地数据库无法写入，群组没有保存！");
      return;
    case GroupSave::Saved:
    case GroupSave::NoRow:
      break;
  }
  if (create && !m_pGroup)
    m_pCreated = std::make_unique<ChatGroupRow>(row);
  else
    *m_pGroup = row;
  m_bSaved = true;
  EndDialog(IDOK);
}
