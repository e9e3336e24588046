#pragma once
// The two colour lists of the conversation window's toolbar (22040 text
// colour, 22041 background colour): an owner-drawn fixed, sorted drop-down
// list of 20 entries without text, each drawn as a swatch of its colour.
//
// Entry 0 is the platform's window-text colour (text list) or window colour
// (background list); entries 1 to 19 are the entries of the stock default
// palette (the 20 static colours of the Windows default palette). Each
// entry's item data is its index.
#include <windows.h>

#include "CComboBox.h"

class CColorComboBox : public CComboBox {
 public:
  static constexpr int kEntryCount = 20;
  static constexpr int kEntryHeight = 20;
  // Variants of Fill.
  static constexpr int kBackColours = 0;
  static constexpr int kTextColours = 1;

  // The 20 static colours of the Windows default palette, as red, green,
  // blue (0x00BBGGRR); what GetStockObject(DEFAULT_PALETTE) holds on Windows
  // and under Wine.
  static const COLORREF kDefaultPalette[kEntryCount];

  // Stores the variant, empties the list and adds the 20 entries 0 to 19.
  void Fill(int variant);
  // Colour of entry index (see above). An index outside 0 to 19 gives the
  // colour of entry 0, so a bad index never yields a colour that is not on
  // the list.
  COLORREF ColourOf(int index) const;
  // The first entry whose colour is colour; kEntryCount when none is.
  int IndexOf(COLORREF colour) const;

  int GetVariant() const { return m_nVariant; }
  int GetEntryCount() const { return m_nCount; }

  void DrawItem(LPDRAWITEMSTRUCT item) override;
  void MeasureItem(LPMEASUREITEMSTRUCT item) override;
  int CompareItem(LPCOMPAREITEMSTRUCT item) override;

 private:
  int m_nVariant = kTextColours;  // 1 text colours, 0 background colours
  int m_nReserved = 0;
  int m_nCount = 0;               // kEntryCount once filled
};
