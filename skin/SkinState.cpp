#include "SkinState.h"
#include "CBitmap.h"

#include <vector>

#include "SkinIcons.h"
#include "SkinWindow.h"

namespace {
const char kStateProperty[] = "OrbSkin.State";
constexpr int kTreeIconSize = 16;
}  // namespace

SkinState::SkinState(HWND wnd) : m_hWnd(wnd), m_eControl(Control::Other) {
  char name[64] = {};
  GetClassNameA(wnd, name, sizeof name);
  static const struct {
    const char* name;
    Control control;
  } kClasses[] = {
      {"Button", Control::Button},         {"Static", Control::Static},
      {"Edit", Control::Edit},             {"ListBox", Control::ListBox},
      {WC_LISTVIEWA, Control::ListView},   {"ComboBox", Control::ComboBox},
      {WC_TREEVIEWA, Control::Tree},
  };
  for (const auto& entry : kClasses) {
    if (lstrcmpiA(name, entry.name) == 0) m_eControl = entry.control;
  }
}

SkinState* SkinState::Find(HWND wnd) {
  if (!wnd || !IsWindow(wnd)) return nullptr;
  return static_cast<SkinState*>(GetPropA(wnd, kStateProperty));
}

SkinState& SkinState::Attach(HWND wnd) {
  if (SkinState* existing = Find(wnd)) return *existing;
  auto* state = new SkinState(wnd);
  SetPropA(wnd, kStateProperty, state);
  SkinWindow::Subclass(wnd, state);
  return *state;
}

void SkinState::Detach(HWND wnd) {
  auto* state = static_cast<SkinState*>(RemovePropA(wnd, kStateProperty));
  delete state;
}

SkinState::~SkinState() {
  if (m_hTreeImages) ImageList_Destroy(m_hTreeImages);
}

void SkinState::SetSkin(int kind, const std::string& item) {
  m_nKind = kind;
  m_strItem = item;
}

int SkinState::TreeImage(const std::string& iconName) {
  if (!m_hTreeImages) {
    m_hTreeImages = ImageList_Create(kTreeIconSize, kTreeIconSize, ILC_COLOR32 | ILC_MASK, 8, 8);
    if (!m_hTreeImages) return 0;
    // Index 0 stays blank (an all-transparent mask): nodes without an icon
    // of their own show nothing.
    HDC screen = GetDC(nullptr);
    CBitmap image(CreateCompatibleBitmap(screen, kTreeIconSize, kTreeIconSize));
    ReleaseDC(nullptr, screen);
    std::vector<BYTE> transparent(2 * kTreeIconSize, 0xFF);
    CBitmap mask(CreateBitmap(kTreeIconSize, kTreeIconSize, 1, 1, transparent.data()));
    ImageList_Add(m_hTreeImages, image, mask);
    SendMessageA(m_hWnd, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(m_hTreeImages));
  }
  if (!SkinIcons::IsIconName(iconName)) return 0;
  auto found = m_mapTreeImages.find(iconName);
  if (found != m_mapTreeImages.end()) return found->second;
  int index = ImageList_AddIcon(m_hTreeImages, SkinIcons::Shared(iconName));
  if (index < 0) return 0;
  m_mapTreeImages[iconName] = index;
  return index;
}
