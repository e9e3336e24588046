#include "CDemoEditScript.h"

#include <fstream>
#include <iterator>
#include <string>

#include "CDialog.h"
#include "CodePage.h"
#include "OrbADO.h"
#include "Seams.h"

namespace {

// Commands of the chat object tree's menu.
constexpr UINT kAddContact = 32789, kEditRemark = 32834, kDeleteContact = 32795, kMove = 32816, kAddTag = 32814,
               kRenameTag = 32837, kDeleteTag = 32824;
// Dialog templates and controls the edits fill in.
constexpr UINT kBrowser = 22013, kSelectTag = 22014, kEditTag = 22015, kRename = 22017;
constexpr int kContactList = 22053, kTagCombo = 22055, kTagName = 22058, kRenameText = 22059;

// A person of the host's address book who is not yet a chat object.
constexpr const char* kContactId = "c1010";
constexpr const char* kContactName = "孙十";
constexpr const char* kTag = "演示分组";
constexpr const char* kRenamedTag = "演示分组（改名）";
constexpr const char* kOtherTag = "同事";
constexpr const char* kRemark = "小孙";

HTREEITEM Next(HWND tree, HTREEITEM item, UINT how) {
  return reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

}  // namespace

CDemoEditScript::CDemoEditScript(HWND tree, const CString& dbPath, LogFn log, ShotFn shot)
    : m_hTree(tree), m_strDBPath(dbPath), m_fnLog(std::move(log)), m_fnShot(std::move(shot)),
      m_fnOldDoModal(Seams::GetDoModal()) {
  Seams::SetDoModal([this](CDialog& dialog) { return AnswerDialog(dialog); });
  Seams::SetMessageBox([this](HWND, const char* text, const char*, UINT type) {
    CString line = CString("提示框：") + (text ? text : "");
    line.Replace("\r", "");
    line.Replace("\n", " ");
    m_fnLog(line, false);
    return (type & MB_YESNO) ? IDYES : IDOK;
  });
}

CDemoEditScript::~CDemoEditScript() {
  Seams::SetDoModal(m_fnOldDoModal);
  Seams::SetMessageBox(nullptr);
}

INT_PTR CDemoEditScript::AnswerDialog(CDialog& dialog) {
  return dialog.RunModal([this](CDialog& shown) { Act(shown); });
}

// Fills in the dialog the way the user would and closes it.
void CDemoEditScript::Act(CDialog& dialog) {
  HWND wnd = dialog.m_hWnd;
  switch (dialog.GetTemplateId()) {
    case kEditTag:
      ::SetDlgItemTextA(wnd, kTagName, m_strText);
      break;
    case kRename:
      ::SetDlgItemTextA(wnd, kRenameText, m_strText);
      break;
    case kSelectTag: {
      HWND combo = ::GetDlgItem(wnd, kTagCombo);
      const LRESULT index = ::SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(m_strText.GetString()));
      ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
      break;
    }
    case kBrowser: {
      // Double-clicks the contact's row: the browser then asks for its tag.
      HWND list = ::GetDlgItem(wnd, kContactList);
      const int rows = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
      for (int row = 0; row < rows; ++row) {
        char id[64] = {};
        LVITEMA item{};
        item.iSubItem = 2;
        item.pszText = id;
        item.cchTextMax = sizeof id;
        ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        if (CString(id) != kContactId) continue;
        RECT rect{LVIR_BOUNDS, 0, 0, 0};
        ::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
        NMITEMACTIVATE activate{};
        activate.hdr.hwndFrom = list;
        activate.hdr.idFrom = kContactList;
        activate.hdr.code = NM_DBLCLK;
        activate.iItem = row;
        activate.ptAction = POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        m_strText = kTag;
        ::SendMessageA(wnd, WM_NOTIFY, kContactList, reinterpret_cast<LPARAM>(&activate));
        return;  // the pick has closed the browser
      }
      Expect(false, CString("联系人浏览中没有 ") + kContactId);
      break;
    }
    default:
      break;
  }
  dialog.PostMessage(WM_COMMAND, IDOK);
}

bool CDemoEditScript::Step() {
  CString what;
  switch (m_nStep) {
    case 0: {
      // The tree as the previous run left it, when there was one.
      std::ifstream in(CodePage::AnsiToWide(StoredOutlinePath()).c_str(), std::ios::binary);
      if (in) {
        const std::string stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Expect(CString(stored.c_str()) == Outline(), "再次启动后的联系人树与上次结束时保存的相同");
      }
      Expect(EnsureAddressBookContact(), CString("通讯录中有 ") + kContactName);
      m_strText = kTag;
      Command(nullptr, kAddTag);
      Expect(FindNode(kTag) != nullptr, CString("添加分组 ") + kTag);
      m_fnShot("demo-edit-1-add-tag.png");
      break;
    }
    case 1:
      Command(FindNode(kTag), kAddContact);
      Expect(Parent(FindNode(kContactName)) == FindNode(kTag), CString("从联系人浏览添加 ") + kContactName + " 到 " + kTag);
      m_fnShot("demo-edit-2-add-contact.png");
      break;
    case 2:
      m_strText = kOtherTag;
      Command(FindNode(kContactName), kMove);
      Expect(Parent(FindNode(kContactName)) == FindNode(kOtherTag), CString("移到分组 ") + kOtherTag);
      m_fnShot("demo-edit-3-move.png");
      break;
    case 3:
      m_strText = kRemark;
      Command(FindNode(kContactName), kEditRemark);
      Expect(FindNode(kRemark) != nullptr, CString("备注 ") + kRemark);
      m_fnShot("demo-edit-4-remark.png");
      break;
    case 4:
      m_strText = kRenamedTag;
      Command(FindNode(kTag), kRenameTag);
      Expect(FindNode(kRenamedTag) != nullptr, CString("分组改名为 ") + kRenamedTag);
      m_fnShot("demo-edit-5-rename-tag.png");
      break;
    case 5:
      Command(FindNode(kRemark), kDeleteContact);
      Expect(FindNode(kRemark) == nullptr, CString("删除联系人 ") + kRemark);
      m_fnShot("demo-edit-6-delete-contact.png");
      break;
    case 6: {
      Command(FindNode(kRenamedTag), kDeleteTag);
      Expect(FindNode(kRenamedTag) == nullptr, CString("删除分组 ") + kRenamedTag);
      m_fnShot("demo-edit-7-delete-tag.png");
      std::ofstream out(CodePage::AnsiToWide(StoredOutlinePath()).c_str(), std::ios::binary | std::ios::trunc);
      const CString outline = Outline();
      out.write(outline.GetString(), static_cast<std::streamsize>(outline.GetLength()));
      break;
    }
    default:
      return true;
  }
  ++m_nStep;
  return m_nStep >= 7;
}

void CDemoEditScript::Command(HTREEITEM select, UINT id) {
  if (select) ::SendMessageA(m_hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(select));
  ::SendMessageA(m_hTree, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  for (HTREEITEM top = Next(m_hTree, nullptr, TVGN_ROOT); top; top = Next(m_hTree, top, TVGN_NEXT))
    ::SendMessageA(m_hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(top));
  ::RedrawWindow(::GetAncestor(m_hTree, GA_ROOT), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CDemoEditScript::Expect(bool ok, const CString& what) { m_fnLog(ok ? what : "失败：" + what, !ok); }

CString CDemoEditScript::TextOf(HTREEITEM item) const {
  char text[1024] = {};
  TVITEMA tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = sizeof text;
  ::SendMessageA(m_hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  return text;
}

HTREEITEM CDemoEditScript::Parent(HTREEITEM item) const { return item ? Next(m_hTree, item, TVGN_PARENT) : nullptr; }

HTREEITEM CDemoEditScript::FindNode(const char* text) const {
  for (HTREEITEM top = Next(m_hTree, nullptr, TVGN_ROOT); top; top = Next(m_hTree, top, TVGN_NEXT)) {
    if (TextOf(top) == text) return top;
    for (HTREEITEM child = Next(m_hTree, top, TVGN_CHILD); child; child = Next(m_hTree, child, TVGN_NEXT))
      if (TextOf(child) == text) return child;
  }
  return nullptr;
}

CString CDemoEditScript::Outline() const {
  CString outline;
  for (HTREEITEM top = Next(m_hTree, nullptr, TVGN_ROOT); top; top = Next(m_hTree, top, TVGN_NEXT)) {
    outline += TextOf(top);
    HTREEITEM child = Next(m_hTree, top, TVGN_CHILD);
    if (child) {
      outline += "(";
      for (bool first = true; child; child = Next(m_hTree, child, TVGN_NEXT), first = false)
        outline += (first ? "" : ",") + TextOf(child);
      outline += ")";
    }
    outline += " ";
  }
  return outline;
}

// The host keeps the address book: a person who is not yet a chat object is
// put into it when missing.
bool CDemoEditScript::EnsureAddressBookContact() {
  COrbADO db;
  if (!db.ConnectAccess(m_strDBPath)) return false;
  CString sql;
  sql.Format("SELECT * FROM ContactList where contactid='%s'", kContactId);
  bool ok = db.OpenTable(sql, adOpenKeyset, adLockOptimistic, adCmdText);
  if (ok && !db.First())
    ok = db.AppendBlank() && db.SetField("contactid", kContactId) && db.SetField("name", kContactName) &&
         db.SetField("role", "c") && db.Update();
  db.DisConnect();
  return ok;
}

CString CDemoEditScript::StoredOutlinePath() const { return m_strDBPath + ".demo-tree.txt"; }
