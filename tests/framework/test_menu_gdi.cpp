// Menus loaded from the module they are asked from, with their items and
// states; popups tracked through the seam; GDI objects owned and deleted,
// selections restored; window device contexts released.
#include <gtest/gtest.h>

#include "CBitmap.h"
#include "CBrush.h"
#include "CClientDC.h"
#include "CDC.h"
#include "CFont.h"
#include "CMenu.h"
#include "CPaintDC.h"
#include "CPen.h"
#include "CSelectObjectGuard.h"
#include "CWnd.h"
#include "MessagePump.h"
#include "PopupMenuRecorder.h"
#include "framework_test_ids.h"

namespace {

HINSTANCE Exe() { return ::GetModuleHandleA(nullptr); }

TEST(Menu, LoadedWithItemsInOrder) {
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(Exe(), IDR_FW_MENU));
  CMenu* popup = menu.GetSubMenu(0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(menu.GetSubMenu(0), popup);  // the same wrapper each time
  EXPECT_EQ(menu.GetSubMenu(1), nullptr);
  CString title;
  menu.GetMenuString(0, title, MF_BYPOSITION);
  EXPECT_EQ(title, "联系人");
  struct Row {
    UINT id;
    const char* text;
  };
  const Row rows[] = {{ID_FW_SEND, "发送即时消息"}, {0, ""}, {ID_FW_ADD, "添加联系人"}, {ID_FW_RENAME, "重命名分类"}};
  ASSERT_EQ(popup->GetMenuItemCount(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(popup->GetMenuItemID(i), rows[i].id) << i;
    CString text;
    popup->GetMenuString(static_cast<UINT>(i), text, MF_BYPOSITION);
    EXPECT_EQ(text, rows[i].text) << i;
  }
}

TEST(Menu, TakenFromTheGivenModule) {
  HMODULE dll = ::LoadLibraryA("fw_test_resources.dll");
  ASSERT_NE(dll, nullptr);
  CMenu fromDll;
  ASSERT_TRUE(fromDll.LoadMenu(dll, IDR_FW_DLL_MENU));
  EXPECT_EQ(fromDll.GetSubMenu(0)->GetMenuItemID(0), 32857u);
  CMenu fromExe;
  EXPECT_FALSE(fromExe.LoadMenu(Exe(), IDR_FW_DLL_MENU));
  EXPECT_EQ(fromExe.m_hMenu, nullptr);
}

TEST(Menu, EnableGrayAndCheckStates) {
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(Exe(), IDR_FW_MENU));
  CMenu& popup = *menu.GetSubMenu(0);
  EXPECT_EQ(popup.EnableMenuItem(ID_FW_SEND, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED), static_cast<UINT>(MF_ENABLED));
  EXPECT_TRUE(popup.GetMenuState(ID_FW_SEND, MF_BYCOMMAND) & MF_GRAYED);
  popup.EnableMenuItem(ID_FW_SEND, MF_BYCOMMAND | MF_ENABLED);
  EXPECT_FALSE(popup.GetMenuState(ID_FW_SEND, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
  EXPECT_EQ(popup.EnableMenuItem(40999, MF_BYCOMMAND | MF_GRAYED), static_cast<UINT>(-1));
  popup.CheckMenuItem(ID_FW_ADD, MF_BYCOMMAND | MF_CHECKED);
  EXPECT_TRUE(popup.GetMenuState(ID_FW_ADD, MF_BYCOMMAND) & MF_CHECKED);
  popup.CheckMenuItem(ID_FW_ADD, MF_BYCOMMAND | MF_UNCHECKED);
  EXPECT_FALSE(popup.GetMenuState(ID_FW_ADD, MF_BYCOMMAND) & MF_CHECKED);
}

TEST(Menu, DestroyedWithItsOwnerButNotThroughItsSubMenus) {
  HMENU handle = nullptr;
  HMENU sub = nullptr;
  {
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(Exe(), IDR_FW_MENU));
    handle = menu.m_hMenu;
    sub = menu.GetSubMenu(0)->m_hMenu;
    {
      CMenu borrowed;  // a wrapper of a sub-menu handle it does not own
      borrowed.m_hMenu = sub;
    }
    EXPECT_TRUE(::IsMenu(sub));
  }
  EXPECT_FALSE(::IsMenu(handle));
  CMenu kept;
  ASSERT_TRUE(kept.LoadMenu(Exe(), IDR_FW_MENU));
  HMENU detached = kept.Detach();
  kept.DestroyMenu();
  EXPECT_TRUE(::IsMenu(detached));
  ::DestroyMenu(detached);
}

class MenuOwner : public CWnd {
 public:
  int sends = 0;

 protected:
  void OnSend() { ++sends; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(MenuOwner, CWnd)
  ON_COMMAND(ID_FW_SEND, &MenuOwner::OnSend)
END_MESSAGE_MAP()

TEST(Menu, PopupAnsweredThroughTheSeamReturnsOrPostsTheCommand) {
  OrbTesting::PopupMenuRecorder popups;
  MenuOwner owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 50, 50), nullptr, 0));
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(Exe(), IDR_FW_MENU));
  CMenu& popup = *menu.GetSubMenu(0);
  popup.EnableMenuItem(ID_FW_RENAME, MF_BYCOMMAND | MF_GRAYED);

  popups.Choose(ID_FW_ADD);
  EXPECT_EQ(popup.TrackPopupMenu(TPM_RETURNCMD, 10, 20, &owner), static_cast<UINT>(ID_FW_ADD));
  popups.Choose(ID_FW_SEND);
  EXPECT_NE(popup.TrackPopupMenu(TPM_RIGHTBUTTON, 30, 40, &owner), 0u);
  EXPECT_EQ(owner.sends, 0);  // posted, not sent
  OrbTesting::PumpPending();
  EXPECT_EQ(owner.sends, 1);
  EXPECT_EQ(popup.TrackPopupMenu(TPM_RETURNCMD, 0, 0, &owner), 0u);  // dismissed

  ASSERT_EQ(popups.Count(), 3u);
  const OrbTesting::TrackedMenu& second = popups.Tracked()[1];
  EXPECT_EQ(second.x, 30);
  EXPECT_EQ(second.y, 40);
  EXPECT_EQ(second.owner, owner.m_hWnd);
  EXPECT_EQ(second.flags, static_cast<UINT>(TPM_RIGHTBUTTON));
  ASSERT_EQ(second.items.size(), 4u);
  EXPECT_TRUE(second.items[1].separator);
  ASSERT_NE(second.Find(ID_FW_RENAME), nullptr);
  EXPECT_TRUE(second.Find(ID_FW_RENAME)->grayed);
  EXPECT_FALSE(second.Find(ID_FW_SEND)->grayed);
  EXPECT_EQ(second.Find(ID_FW_ADD)->text, "添加联系人");
}

bool IsLiveGdiObject(HGDIOBJ object) { return ::GetObjectType(object) != 0; }

TEST(Gdi, ObjectsAreDeletedWithTheirOwners) {
  HGDIOBJ brush = nullptr;
  HGDIOBJ pen = nullptr;
  HGDIOBJ font = nullptr;
  HGDIOBJ bitmap = nullptr;
  {
    CBrush white(RGB(255, 255, 255));
    CPen solid(PS_SOLID, 2, RGB(255, 255, 255));
    CFont song;
    ASSERT_TRUE(song.CreatePointFont(90, "宋体"));
    LOGFONTA info{};
    song.GetLogFont(&info);
    EXPECT_STREQ(info.lfFaceName, "宋体");
    CBitmap picture;
    HDC screen = ::GetDC(nullptr);
    ASSERT_TRUE(picture.CreateCompatibleBitmap(screen, 7, 5));
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(picture.GetSize(), CSize(7, 5));
    brush = white.m_hObject;
    pen = solid.m_hObject;
    font = song.m_hObject;
    bitmap = picture.m_hObject;
    EXPECT_TRUE(IsLiveGdiObject(brush) && IsLiveGdiObject(pen) && IsLiveGdiObject(font) && IsLiveGdiObject(bitmap));
  }
  EXPECT_FALSE(IsLiveGdiObject(brush));
  EXPECT_FALSE(IsLiveGdiObject(pen));
  EXPECT_FALSE(IsLiveGdiObject(font));
  EXPECT_FALSE(IsLiveGdiObject(bitmap));
  CBrush moved(RGB(1, 2, 3));
  HGDIOBJ handle = moved.m_hObject;
  CBrush target(std::move(moved));
  EXPECT_EQ(moved.m_hObject, nullptr);
  EXPECT_EQ(target.m_hObject, handle);
  HGDIOBJ detached = target.Detach();
  EXPECT_TRUE(IsLiveGdiObject(detached));
  ::DeleteObject(detached);
}

TEST(Gdi, SelectGuardRestoresAndDrawingHelpersKeepState) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap canvas;
  HDC screen = ::GetDC(nullptr);
  ASSERT_TRUE(canvas.CreateCompatibleBitmap(screen, 10, 10));
  ::ReleaseDC(nullptr, screen);
  CSelectObjectGuard keepCanvas(dc, canvas.m_hObject);
  const HGDIOBJ originalPen = ::GetCurrentObject(dc, OBJ_PEN);
  {
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CSelectObjectGuard guard(dc, red.m_hObject);
    EXPECT_TRUE(guard.Selected());
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), red.m_hObject);
  }
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), originalPen);
  dc.SetBkColor(RGB(9, 9, 9));
  dc.FillSolidRect(CRect(0, 0, 10, 10), RGB(0, 0, 255));
  EXPECT_EQ(dc.GetBkColor(), RGB(9, 9, 9));
  EXPECT_EQ(dc.GetPixel(5, 5), RGB(0, 0, 255));
  dc.FrameSolidRect(CRect(2, 2, 8, 8), RGB(0, 255, 0));
  EXPECT_EQ(dc.GetPixel(2, 5), RGB(0, 255, 0));
  EXPECT_EQ(dc.GetPixel(4, 4), RGB(0, 0, 255));
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), originalPen);
  CSize extent = dc.GetTextExtent("群组");
  EXPECT_GT(extent.cx, 0);
}

class Painter : public CWnd {
 public:
  int paints = 0;

 protected:
  void OnPaint() {
    CPaintDC dc(this);
    ++paints;
    dc.FillSolidRect(dc.m_ps.rcPaint, RGB(0, 128, 0));
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Painter, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(Gdi, PaintDcValidatesAndClientDcIsReleased) {
  Painter painter;
  ASSERT_TRUE(painter.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, CRect(0, 0, 40, 40), nullptr, 0));
  painter.Invalidate();
  painter.UpdateWindow();
  EXPECT_GE(painter.paints, 1);
  EXPECT_FALSE(::GetUpdateRect(painter.m_hWnd, nullptr, FALSE));  // EndPaint validated it
  for (int i = 0; i < 200; ++i) {
    CClientDC dc(&painter);
    ASSERT_NE(dc.m_hDC, nullptr) << "device contexts leak at round " << i;
  }
}

}  // namespace
