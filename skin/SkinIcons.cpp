#include "SkinIcons.h"
#include "CBrush.h"
#include "CPen.h"
#include "CBitmap.h"
#include "CSelectObjectGuard.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>


namespace {

// Pixels of this colour become transparent; nothing is drawn in it.
constexpr COLORREF kKey = RGB(255, 0, 255);

const char kTreeRole[] = "tree2.role.";
const char kRole[] = "role.";

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

COLORREF Darker(COLORREF c) { return RGB(GetRValue(c) * 3 / 5, GetGValue(c) * 3 / 5, GetBValue(c) * 3 / 5); }

// The code of a role icon name, empty when the name is not one.
std::string RoleCode(const std::string& name) {
  if (StartsWith(name, kTreeRole)) return name.substr(sizeof kTreeRole - 1);
  if (StartsWith(name, kRole)) return name.substr(sizeof kRole - 1);
  return {};
}

struct IconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};

}  // namespace

int SkinIcons::SizeOf(const std::string& name) {
  if (name == "tree2.objecttag" || name == "tree2.grouptag" || name == "tree2.communitytag") return 16;
  if (StartsWith(name, kTreeRole)) return name.size() > sizeof kTreeRole - 1 ? 16 : 0;
  if (StartsWith(name, kRole)) return name.size() > sizeof kRole - 1 ? 20 : 0;
  return 0;
}

COLORREF SkinIcons::RoleColour(const std::string& code) {
  static constexpr COLORREF kRoles[] = {
      RGB(52, 120, 200), RGB(46, 150, 80),  RGB(210, 120, 30), RGB(150, 70, 170),
      RGB(200, 60, 60),  RGB(30, 140, 150), RGB(120, 110, 40), RGB(90, 90, 200),
  };
  unsigned sum = 0;
  for (char c : code) sum = sum * 31 + static_cast<unsigned char>(c);
  // 'a' (a contact) gets the first colour.
  return kRoles[(sum + 8 - 'a' % 8) % 8];
}

void SkinIcons::PaintPerson(HDC dc, int left, int top, int size, COLORREF colour) {
  CBrush fill(colour);
  CPen edge(PS_SOLID, 1, Darker(colour));
  CSelectObjectGuard brush(dc, fill.GetSafeHandle());
  CSelectObjectGuard pen(dc, edge.GetSafeHandle());
  // Shoulders: a rounded block cut at the bottom of the person's square,
  // drawn first so that the head's outline stays whole.
  int saved = SaveDC(dc);
  IntersectClipRect(dc, left, top, left + size, top + size);
  RoundRect(dc, left + size / 10, top + size * 11 / 20, left + size - size / 10, top + size + size / 3, size * 3 / 5,
            size * 3 / 5);
  RestoreDC(dc, saved);
  const int head = size * 9 / 20;
  const int headLeft = left + (size - head) / 2;
  Ellipse(dc, headLeft, top + size / 20, headLeft + head + 1, top + size / 20 + head + 1);
}

void SkinIcons::PaintFolder(HDC dc, int size, COLORREF colour) {
  CBrush fill(colour);
  CPen edge(PS_SOLID, 1, Darker(colour));
  CSelectObjectGuard brush(dc, fill.GetSafeHandle());
  CSelectObjectGuard pen(dc, edge.GetSafeHandle());
  Rectangle(dc, 1, size / 5, size * 9 / 20, size / 5 + size / 4);  // the tab
  Rectangle(dc, 1, size * 7 / 20, size - 1, size - 2);            // the body
  CPen shine(PS_SOLID, 1, RGB(255, 255, 240));
  CSelectObjectGuard light(dc, shine.GetSafeHandle());
  MoveToEx(dc, 3, size * 7 / 20 + 2, nullptr);
  LineTo(dc, size - 3, size * 7 / 20 + 2);
}

void SkinIcons::Paint(HDC dc, int size, const std::string& name) {
  if (name == "tree2.objecttag") return PaintFolder(dc, size, RGB(238, 178, 58));
  if (name == "tree2.grouptag") return PaintFolder(dc, size, RGB(96, 172, 96));
  if (name == "tree2.communitytag") return PaintFolder(dc, size, RGB(84, 140, 212));
  const std::string code = RoleCode(name);
  const COLORREF colour = RoleColour(code);
  if (code == "b") {  // a discussion group: two people
    PaintPerson(dc, size / 4, 0, size * 3 / 4, RGB(150, 180, 220));
    PaintPerson(dc, 0, size / 4, size * 3 / 4, colour);
  } else if (code == "h") {  // a community: three people, one in front
    PaintPerson(dc, 0, size / 8, size * 5 / 8, RGB(150, 190, 150));
    PaintPerson(dc, size * 3 / 8, size / 8, size * 5 / 8, RGB(150, 190, 150));
    PaintPerson(dc, size / 5, size * 3 / 10, size * 7 / 10, colour);
  } else {
    PaintPerson(dc, 0, 0, size, colour);
  }
}

HICON SkinIcons::Create(const std::string& name) {
  const int size = SizeOf(name);
  if (size == 0) return nullptr;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  CBitmap colour(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  HDC dc = CreateCompatibleDC(nullptr);
  if (colour.IsNull() || !dc) {
    if (dc) DeleteDC(dc);
    return nullptr;
  }
  {
    CSelectObjectGuard select(dc, colour.GetSafeHandle());
    RECT all{0, 0, size, size};
    CBrush key(kKey);
    FillRect(dc, &all, key);
    Paint(dc, size, name);
    GdiFlush();
  }
  DeleteDC(dc);

  // Key-coloured pixels become transparent: alpha 0 and a set mask bit.
  const int maskStride = (size + 15) / 16 * 2;
  std::vector<BYTE> mask(static_cast<size_t>(maskStride * size), 0);
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      std::uint32_t& p = pixels[y * size + x];
      if ((p & 0xFFFFFF) == 0xFF00FF) {
        p = 0;
        mask[static_cast<size_t>(y * maskStride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
      } else {
        p |= 0xFF000000;
      }
    }
  }
  CBitmap maskBitmap(CreateBitmap(size, size, 1, 1, mask.data()));
  ICONINFO icon{TRUE, 0, 0, maskBitmap, colour};
  return CreateIconIndirect(&icon);
}

HICON SkinIcons::Shared(const std::string& name) {
  static std::map<std::string, std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>> cache;
  auto found = cache.find(name);
  if (found != cache.end()) return found->second.get();
  HICON icon = Create(name);
  if (icon) cache[name].reset(icon);
  return icon;
}
