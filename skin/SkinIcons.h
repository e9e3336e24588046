#pragma once
// The skin's icons, drawn at run time with GDI: people for roles, folders for
// tags. "tree2.role.<code>", "tree2.objecttag", "tree2.grouptag",
// "tree2.communitytag" are 16 x 16 (trees, the members list), "role.<code>"
// 20 x 20 (contact lists).
#include <windows.h>

#include <string>

class SkinIcons {
 public:
  // Edge length in pixels, 0 when the name is not an icon of the skin.
  static int SizeOf(const std::string& name);
  static bool IsIconName(const std::string& name) { return SizeOf(name) > 0; }
  // A new icon the caller destroys; null for names that are not icons.
  static HICON Create(const std::string& name);
  // The same icon kept by the skin for drawing; do not destroy it.
  static HICON Shared(const std::string& name);

 private:
  static void Paint(HDC dc, int size, const std::string& name);
  static void PaintPerson(HDC dc, int left, int top, int size, COLORREF colour);
  static void PaintFolder(HDC dc, int size, COLORREF colour);
  static COLORREF RoleColour(const std::string& code);
};
