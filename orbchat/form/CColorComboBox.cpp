#include "form/CColorComboBox.h"

#include "CDC.h"
#include "CRect.h"

const COLORREF CColorComboBox::kDefaultPalette[kEntryCount] = {
    RGB(0x00, 0x00, 0x00), RGB(0x80, 0x00, 0x00), RGB(0x00, 0x80, 0x00), RGB(0x80, 0x80, 0x00),
    RGB(0x00, 0x00, 0x80), RGB(0x80, 0x00, 0x80), RGB(0x00, 0x80, 0x80), RGB(0xC0, 0xC0, 0xC0),
    RGB(0xC0, 0xDC, 0xC0), RGB(0xA6, 0xCA, 0xF0), RGB(0xFF, 0xFB, 0xF0), RGB(0xA0, 0xA0, 0xA4),
    RGB(0x80, 0x80, 0x80), RGB(0xFF, 0x00, 0x00), RGB(0x00, 0xFF, 0x00), RGB(0xFF, 0xFF, 0x00),
    RGB(0x00, 0x00, 0xFF), RGB(0xFF, 0x00, 0xFF), RGB(0x00, 0xFF, 0xFF), RGB(0xFF, 0xFF, 0xFF),
};

void CColorComboBox::Fill(int variant) {
  m_nVariant = variant;
  m_nReserved = 0;
  m_nCount = kEntryCount;
  if (!m_hWnd) return;
  ResetContent();
  // Without CBS_HASSTRINGS the "string" of CB_ADDSTRING is the entry's item
  // data, so each entry carries its index from the start (also while the
  // sorted list compares it with the others).
  for (int i = 0; i < kEntryCount; ++i) SendMessage(CB_ADDSTRING, 0, static_cast<LPARAM>(i));
}

COLORREF CColorComboBox::ColourOf(int index) const {
  if (index <= 0 || index >= kEntryCount)
    return ::GetSysColor(m_nVariant == kTextColours ? COLOR_WINDOWTEXT : COLOR_WINDOW);
  PALETTEENTRY entry{};
  const auto palette = static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE));
  if (!palette || ::GetPaletteEntries(palette, static_cast<UINT>(index), 1, &entry) != 1)
    return ::GetSysColor(COLOR_WINDOWTEXT);
  return RGB(entry.peRed, entry.peGreen, entry.peBlue);
}

int CColorComboBox::IndexOf(COLORREF colour) const {
  for (int i = 0; i < kEntryCount; ++i)
    if (ColourOf(i) == colour) return i;
  return kEntryCount;
}

void CColorComboBox::MeasureItem(LPMEASUREITEMSTRUCT item) {
  if (m_hWnd) item->itemWidth = static_cast<UINT>(GetClientRect().Width());
  item->itemHeight = kEntryHeight;
}

// The entries keep the order of their indexes, which is the order Fill adds
// them in. (Answering "equal" would not do it: the list's binary search puts
// an equal entry in the middle of those it was compared with.)
int CColorComboBox::CompareItem(LPCOMPAREITEMSTRUCT item) {
  if (item->itemData1 < item->itemData2) return -1;
  return item->itemData1 > item->itemData2 ? 1 : 0;
}

void CColorComboBox::DrawItem(LPDRAWITEMSTRUCT item) {
  CDC dc(item->hDC);
  const CRect row(item->rcItem);
  if (item->itemID == static_cast<UINT>(-1)) {
    // No selection (a colour that is not on the list): an empty field.
    dc.FillSolidRect(row, ::GetSysColor(COLOR_WINDOW));
    return;
  }
  const int index = static_cast<int>(item->itemID);
  CRect swatch = row;
  swatch.DeflateRect(3, 3);
  const COLORREF colour = ColourOf(index);
  // A hollow rectangle with the current pen: the 1-pixel frame.
  auto frame = [&dc](const CRect& rect) {
    const HGDIOBJ old = dc.SelectStockObject(NULL_BRUSH);
    dc.Rectangle(rect);
    dc.SelectObject(old);
  };
  if ((item->itemAction & ODA_SELECT) && (item->itemState & ODS_SELECTED)) {
    if (index != 0) {
      CRect first = row;
      first.OffsetRect(0, -index * row.Height());
      dc.FillSolidRect(first, ::GetSysColor(COLOR_WINDOW));
      first.DeflateRect(4, 4);
      dc.FillSolidRect(first, ColourOf(0));
    }
    frame(swatch);
  }
  if (item->itemState & ODS_COMBOBOXEDIT) frame(swatch);
  swatch.DeflateRect(1, 1);
  dc.FillSolidRect(swatch, colour);
}
