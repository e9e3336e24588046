#pragma once
// Reads an extended dialog template (DIALOGEX) from a module's resources, so
// that tests see the styles, rectangles and texts exactly as written, before
// the controls adjust their own styles at creation.
#include <windows.h>

#include <string>
#include <vector>

struct TemplateItem {
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT dlu{};        // x, y, width, height in dialog units, as written
  int id = 0;        // sign-extended from 16 bits, so IDC_STATIC reads -1
  std::string cls;   // class name; the predefined atoms read as their names
  std::string text;  // code page 936
  int textOrdinal = -1;  // resource id when the text is an ordinal (pictures)
};

struct TemplateInfo {
  DWORD style = 0;
  int cx = 0, cy = 0;
  std::string caption;  // code page 936
  std::string face;
  int points = 0;
  std::vector<TemplateItem> items;
};

class DialogTemplateReader {
 public:
  // False when the resource is missing or is not a well-formed DIALOGEX.
  static bool Read(HMODULE module, int id, TemplateInfo& out);

 private:
  explicit DialogTemplateReader(const BYTE* data, size_t size) : m_pData(data), m_nSize(size) {}
  bool ReadWord(WORD& out);
  bool ReadDword(DWORD& out);
  bool ReadShort(int& out);
  bool ReadString(std::string& out);
  bool ReadNameOrOrdinal(std::string& name, int& ordinal);
  void AlignToDword();
  bool ReadItem(TemplateItem& item);

  const BYTE* m_pData;
  size_t m_nSize;
  size_t m_nPos = 0;
};
