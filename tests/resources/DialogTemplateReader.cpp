#include "DialogTemplateReader.h"

namespace {

std::string ToGbk(const std::wstring& wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// Class atoms of the predefined controls in a template.
const char* PredefinedClass(int atom) {
  switch (atom) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
    default: return "";
  }
}

}  // namespace

bool DialogTemplateReader::ReadWord(WORD& out) {
  if (m_nPos + 2 > m_nSize) return false;
  out = static_cast<WORD>(m_pData[m_nPos] | (m_pData[m_nPos + 1] << 8));
  m_nPos += 2;
  return true;
}

bool DialogTemplateReader::ReadDword(DWORD& out) {
  WORD low = 0, high = 0;
  if (!ReadWord(low) || !ReadWord(high)) return false;
  out = static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16);
  return true;
}

bool DialogTemplateReader::ReadShort(int& out) {
  WORD w = 0;
  if (!ReadWord(w)) return false;
  out = static_cast<short>(w);
  return true;
}

bool DialogTemplateReader::ReadString(std::string& out) {
  std::wstring wide;
  for (WORD ch = 0; ReadWord(ch);) {
    if (ch == 0) {
      out = ToGbk(wide);
      return true;
    }
    wide.push_back(static_cast<wchar_t>(ch));
  }
  return false;
}

bool DialogTemplateReader::ReadNameOrOrdinal(std::string& name, int& ordinal) {
  size_t start = m_nPos;
  WORD first = 0;
  if (!ReadWord(first)) return false;
  if (first == 0xFFFF) {
    WORD value = 0;
    if (!ReadWord(value)) return false;
    ordinal = value;
    name.clear();
    return true;
  }
  m_nPos = start;
  ordinal = -1;
  return ReadString(name);
}

void DialogTemplateReader::AlignToDword() { m_nPos = (m_nPos + 3) & ~static_cast<size_t>(3); }

bool DialogTemplateReader::ReadItem(TemplateItem& item) {
  AlignToDword();
  DWORD helpId = 0, id = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  if (!ReadDword(helpId) || !ReadDword(item.exStyle) || !ReadDword(item.style)) return false;
  if (!ReadShort(x) || !ReadShort(y) || !ReadShort(cx) || !ReadShort(cy) || !ReadDword(id)) return false;
  item.dlu = {x, y, cx, cy};
  item.id = static_cast<short>(static_cast<WORD>(id));
  int classAtom = -1;
  if (!ReadNameOrOrdinal(item.cls, classAtom)) return false;
  if (classAtom >= 0) item.cls = PredefinedClass(classAtom);
  if (!ReadNameOrOrdinal(item.text, item.textOrdinal)) return false;
  WORD extra = 0;
  if (!ReadWord(extra)) return false;
  m_nPos += extra;
  return m_nPos <= m_nSize;
}

bool DialogTemplateReader::Read(HMODULE module, int id, TemplateInfo& out) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
  if (!found) return false;
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  DialogTemplateReader reader(data, SizeofResource(module, found));

  WORD version = 0, signature = 0, count = 0;
  DWORD helpId = 0, exStyle = 0;
  if (!reader.ReadWord(version) || !reader.ReadWord(signature) || version != 1 || signature != 0xFFFF) return false;
  int x = 0, y = 0, ordinal = -1;
  std::string menu, windowClass;
  if (!reader.ReadDword(helpId) || !reader.ReadDword(exStyle) || !reader.ReadDword(out.style)) return false;
  if (!reader.ReadWord(count) || !reader.ReadShort(x) || !reader.ReadShort(y)) return false;
  if (!reader.ReadShort(out.cx) || !reader.ReadShort(out.cy)) return false;
  if (!reader.ReadNameOrOrdinal(menu, ordinal) || !reader.ReadNameOrOrdinal(windowClass, ordinal)) return false;
  if (!reader.ReadString(out.caption)) return false;
  if (out.style & DS_SETFONT) {
    WORD points = 0, weight = 0, italicCharset = 0;
    if (!reader.ReadWord(points) || !reader.ReadWord(weight) || !reader.ReadWord(italicCharset)) return false;
    out.points = points;
    if (!reader.ReadString(out.face)) return false;
  }
  out.items.assign(count, TemplateItem{});
  for (TemplateItem& item : out.items) {
    if (!reader.ReadItem(item)) return false;
  }
  return true;
}
