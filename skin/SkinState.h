#pragma once
// What the skin keeps for one window: its kind and item, whether it paints
// itself, the mouse-over state of buttons, its draw values and, for trees,
// the image list of node icons. The state hangs on the window as a property
// and lives until the window is destroyed.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>

#include "DrawValueTable.h"

class SkinState {
 public:
  // The window classes whose messages the skin follows or draws.
  enum class Control { Other, Button, Static, Edit, ListBox, ListView, ComboBox, Tree };

  // The state of a window, null when it has none.
  static SkinState* Find(HWND wnd);
  // The state of a window, made (with kind 0, not skinned) when missing; the
  // window is subclassed so that the skin follows its messages.
  static SkinState& Attach(HWND wnd);

  SkinState(const SkinState&) = delete;
  SkinState& operator=(const SkinState&) = delete;

  HWND Window() const { return m_hWnd; }
  Control ControlClass() const { return m_eControl; }
  int Kind() const { return m_nKind; }
  const std::string& Item() const { return m_strItem; }
  void SetSkin(int kind, const std::string& item);
  bool SelfPaint() const { return m_bSelfPaint; }
  void SetSelfPaint(bool selfPaint) { m_bSelfPaint = selfPaint; }
  bool Hot() const { return m_bHot; }
  void SetHot(bool hot) { m_bHot = hot; }
  DrawValueTable& Values() { return m_values; }

  // Index of a named icon in the tree's image list (added on first use);
  // index 0 is a blank icon, given to names that are not icons.
  int TreeImage(const std::string& iconName);

  // Called from the window's subclass when it is destroyed.
  static void Detach(HWND wnd);

 private:
  explicit SkinState(HWND wnd);
  ~SkinState();

  HWND m_hWnd;
  Control m_eControl;
  int m_nKind = 0;
  std::string m_strItem;
  bool m_bSelfPaint = false;
  bool m_bHot = false;
  DrawValueTable m_values;
  HIMAGELIST m_hTreeImages = nullptr;
  std::map<std::string, int> m_mapTreeImages;
};
