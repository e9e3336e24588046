#include "CDemoScript.h"

#include <commctrl.h>

#include "OrbSkin.h"
#include "WindowShot.h"

namespace {

// Control ids of the chat panel.
constexpr int kTabIds[] = {22000, 22001, 22081};
constexpr int kTreeIds[] = {22007, 22008, 22082};
const char* const kTabNames[] = {"联系人", "讨论组", "群社区"};
const char* const kShotNames[] = {"demo-objects.png", "demo-groups.png", "demo-communities.png"};

// A picture with fewer colours than this shows an empty or unpainted window.
constexpr int kPaintedColours = 8;

bool IsVisible(HWND window) { return (::GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0; }

int CountNodes(HWND tree) { return static_cast<int>(::SendMessageA(tree, TVM_GETCOUNT, 0, 0)); }

HTREEITEM NextNode(HWND tree, HTREEITEM item, UINT how) {
  return reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

bool HasIcon(HWND tree, HTREEITEM item) {
  char icon[64] = {};
  return dsGetDrawItemValue(tree, item, 0, "treeitemicon", icon, sizeof icon) > 0;
}

// Nodes of the tree (two levels) without an icon value.
int NodesWithoutIcon(HWND tree) {
  int missing = 0;
  for (HTREEITEM top = NextNode(tree, nullptr, TVGN_ROOT); top; top = NextNode(tree, top, TVGN_NEXT)) {
    if (!HasIcon(tree, top)) ++missing;
    for (HTREEITEM child = NextNode(tree, top, TVGN_CHILD); child; child = NextNode(tree, child, TVGN_NEXT))
      if (!HasIcon(tree, child)) ++missing;
  }
  return missing;
}

}  // namespace

CDemoScript::CDemoScript(HWND frame, HWND panel, const CString& shotsDir, const CString& dbPath)
    : m_hFrame(frame), m_hPanel(panel), m_strShotsDir(shotsDir), m_strDBPath(dbPath) {
  if (!m_strShotsDir.IsEmpty() && m_strShotsDir.Right(1) != "\\") m_strShotsDir += "\\";
}

CDemoScript::~CDemoScript() = default;

int CDemoScript::TabId(int tab) { return kTabIds[tab]; }
int CDemoScript::TreeId(int tab) { return kTreeIds[tab]; }

// Each step checks and pictures what the previous step's click showed, after
// the frame has had time to paint it.
bool CDemoScript::Step() {
  switch (m_nStep) {
    case 0:
      OpenAllNodes();
      ClickTab(1);
      break;
    case 1:
      CheckTab(1);
      SaveShot(kShotNames[1]);
      ClickTab(2);
      break;
    case 2:
      CheckTab(2);
      SaveShot(kShotNames[2]);
      ClickTab(0);
      break;
    case 3:
      CheckTab(0);
      SaveShot(kShotNames[0]);
      if (m_strDBPath.IsEmpty()) ++m_nStep;  // nothing to edit
      break;
    case 4:
      if (!m_pEdits)
        m_pEdits = std::make_unique<CDemoEditScript>(
            ::GetDlgItem(m_hPanel, kTreeIds[0]), m_strDBPath,
            [this](const CString& line, bool failed) {
              if (failed)
                Fail(line);
              else
                m_arrLog.push_back(line);
            },
            [this](const char* name) { SaveShot(name); });
      if (!m_pEdits->Step()) return false;
      m_pEdits.reset();
      break;
    default:
      return true;
  }
  ++m_nStep;
  return IsDone();
}

void CDemoScript::OpenAllNodes() {
  for (int id : kTreeIds) {
    HWND tree = ::GetDlgItem(m_hPanel, id);
    for (HTREEITEM top = NextNode(tree, nullptr, TVGN_ROOT); top; top = NextNode(tree, top, TVGN_NEXT))
      ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(top));
  }
}

void CDemoScript::ClickTab(int tab) {
  HWND button = ::GetDlgItem(m_hPanel, kTabIds[tab]);
  if (!button) {
    Fail(CString("没有标签按钮 ") + kTabNames[tab]);
    return;
  }
  ::SendMessageA(button, BM_CLICK, 0, 0);
  ::RedrawWindow(m_hFrame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  m_arrLog.push_back(CString("点击标签 ") + kTabNames[tab]);
}

void CDemoScript::CheckTab(int tab) {
  CString what;
  for (int i = 0; i < 3; ++i) {
    HWND button = ::GetDlgItem(m_hPanel, kTabIds[i]);
    HWND tree = ::GetDlgItem(m_hPanel, kTreeIds[i]);
    const bool checked = ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (checked != (i == tab)) {
      what.Format("标签 %s 的按钮%s选中", kTabNames[i], i == tab ? "未被" : "不应");
      Fail(what);
    }
    if (IsVisible(tree) != (i == tab)) {
      what.Format("标签 %s 的树%s显示", kTabNames[i], i == tab ? "没有" : "不应");
      Fail(what);
    }
  }
  HWND tree = ::GetDlgItem(m_hPanel, kTreeIds[tab]);
  const int nodes = CountNodes(tree);
  const int withoutIcon = NodesWithoutIcon(tree);
  if (nodes == 0) Fail(CString("标签 ") + kTabNames[tab] + " 的树是空的");
  if (withoutIcon > 0) {
    what.Format("标签 %s 的树有 %d 个节点没有图标", kTabNames[tab], withoutIcon);
    Fail(what);
  }
  what.Format("标签 %s：%d 个节点", kTabNames[tab], nodes);
  m_arrLog.push_back(what);
}

void CDemoScript::SaveShot(const char* name) {
  const CString path = m_strShotsDir + name;
  const WindowShotResult shot = SaveWindowShot(m_hFrame, path);
  CString what;
  if (!shot.saved) {
    what.Format("截图 %s 失败：%s", name, shot.error.GetString());
    Fail(what);
    return;
  }
  if (shot.colours < kPaintedColours) {
    what.Format("截图 %s 几乎是空白（%d 种颜色）", name, shot.colours);
    Fail(what);
  }
  m_arrShots.push_back(path);
  what.Format("截图 %s（%d x %d）", path.GetString(), shot.width, shot.height);
  m_arrLog.push_back(what);
}

void CDemoScript::Fail(const CString& what) {
  m_arrFailures.push_back(what);
  m_arrLog.push_back("失败：" + what);
}

CString CDemoScript::Report() const {
  CString text;
  for (const CString& line : m_arrLog) text += line + "\r\n";
  text += Passed() ? "结果：通过\r\n" : "结果：未通过\r\n";
  return text;
}
