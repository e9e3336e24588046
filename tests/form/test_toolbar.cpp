// The formatting toolbar: the colour lists, the settings of
// section "Editor" with the values a damaged file may hold, the list search
// that looks at entry 0 last, each choice applied to the editor at once, and
// the send-mode menu.
#include <gtest/gtest.h>

#include "CTestFolder.h"
#include "FormTestSupport.h"
#include "OrbTesting.h"
#include "form/COrbChat_Form.h"
#include "form/EditorSettings.h"
#include "resources/resource.h"
#include "support/IniFile.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

TEST(ColorComboBox, EntryZeroIsASystemColourTheRestTheDefaultPalette) {
  PALETTEENTRY stock[20] = {};
  ASSERT_EQ(::GetPaletteEntries(static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), 0, 20, stock), 20u);
  CFormFixture fixture;
  CColorComboBox& text = fixture.m_pForm->m_cboForeColor;
  CColorComboBox& back = fixture.m_pForm->m_cboBackColor;
  ASSERT_EQ(text.GetCount(), 20);
  for (int i = 1; i < 20; ++i) {
    EXPECT_EQ(RGB(stock[i].peRed, stock[i].peGreen, stock[i].peBlue), CColorComboBox::kDefaultPalette[i]) << i;
    EXPECT_EQ(text.ColourOf(i), CColorComboBox::kDefaultPalette[i]) << i;
    EXPECT_EQ(text.GetItemData(i), static_cast<DWORD_PTR>(i)) << "the sorted list keeps the order of insertion";
  }
  EXPECT_EQ(text.ColourOf(0), ::GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(back.ColourOf(0), ::GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(text.GetItemHeight(0), 20);
  // Black is entry 0 of the text list only (palette entry 0 is not shown);
  // white is entry 0 of the background list and entry 19 of the text list.
  ASSERT_EQ(::GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
  EXPECT_EQ(text.IndexOf(RGB(0, 0, 0)), 0);
  EXPECT_EQ(back.IndexOf(RGB(0, 0, 0)), 20);
  EXPECT_EQ(text.IndexOf(RGB(255, 255, 255)), 19);
  EXPECT_EQ(back.IndexOf(RGB(255, 255, 255)), 0);
  EXPECT_EQ(text.IndexOf(kRed), 13);
  EXPECT_EQ(text.IndexOf(RGB(255, 0, 1)), 20);
  EXPECT_EQ(text.IndexOf(0xFFFFFFFF), 20);
}

TEST(ColorComboBox, TheClosedFieldFramesItsSwatchTheOpenListDoesNot) {
  CFormFixture fixture;
  HDC dc = ::CreateCompatibleDC(nullptr);
  HBITMAP bitmap = ::CreateBitmap(40, 20, 1, 32, nullptr);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
  for (UINT state : {0u, static_cast<UINT>(ODS_COMBOBOXEDIT)}) {
    RECT all{0, 0, 40, 20};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    DRAWITEMSTRUCT item{ODT_COMBOBOX, IDC_FORE_COLOR, 13, ODA_DRAWENTIRE, state, nullptr, dc, all, 0};
    fixture.m_pForm->m_cboForeColor.DrawItem(&item);
    EXPECT_EQ(::GetPixel(dc, 3, 3), state ? RGB(0, 0, 0) : RGB(255, 255, 255));  // the frame, 3 pixels in
    EXPECT_EQ(::GetPixel(dc, 4, 4), kRed);                                       // the swatch, one more in
    EXPECT_EQ(::GetPixel(dc, 35, 15), kRed);
  }
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
}

TEST(FindPrefixEntry, LooksAtEntryZeroLastAndIgnoresCase) {
  const std::vector<CString> fonts{"Arial", "Courier", "Fixedsys", "MS Sans Serif", "Tahoma", "宋体", "",
                                   "ms sans serif bold", "arial narrow"};
  EXPECT_EQ(FindPrefixEntry(fonts, "ms SANS"), 3);  // entries 3 and 7: the first
  EXPECT_EQ(FindPrefixEntry(fonts, "Arial"), 8);    // entries 0 and 8: entry 0 last
  EXPECT_EQ(FindPrefixEntry(fonts, "Cour"), 1);
  EXPECT_EQ(FindPrefixEntry(fonts, "宋"), 5);
  EXPECT_EQ(FindPrefixEntry(std::vector<CString>(fonts.begin(), fonts.begin() + 3), "arial"), 0);
  EXPECT_EQ(FindPrefixEntry(fonts, "Arial Black"), -1);
  EXPECT_EQ(FindPrefixEntry(fonts, ""), -1);
}

TEST(EditorSettings, BadValuesNeverReachTheEditorAndMissingColoursGiveBlackOnWhite) {
  const struct {
    const char* file;
    int size;
    COLORREF fore, back;
    const char* font;
    int mode;
  } rows[] = {
      {"Fontname=宋体\r\n[Other]\r\nForeColor=255\r\n", 5, 0, 0xFFFFFF, "宋体", 0},
      {"Fontsize=0\r\nForeColor=-1\r\nBackColor=4294967296\r\nFontname=\r\nSendKeyMode=2\r\n", 1, 0, 0xFFFFFF,
       "MS Sans Serif", 2},
      {"Fontsize=99\r\nForeColor=16777216\r\nBackColor=abc\r\nFontname=<b>\r\nSendKeyMode=x\r\n", 7, 0, 0xFFFFFF,
       "MS Sans Serif", 0},
      {"Fontsize=text\r\nForeColor=255 // red\r\nBackColor=0\r\nFontname=一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二\r\n", 5,
       255, 0, "MS Sans Serif", 0},
  };
  for (const auto& row : rows) {
    CTestFolder folder;
    folder.Write("user.ini", std::string("[Editor]\r\n") + row.file);
    EditorSettings settings;
    ASSERT_TRUE(ReadEditorSettings(folder.File("user.ini"), settings));
    EXPECT_EQ(settings.fontSize, row.size) << row.file;
    EXPECT_EQ(settings.foreColor, row.fore) << row.file;
    EXPECT_EQ(settings.backColor, row.back) << row.file;
    EXPECT_EQ(settings.fontName, row.font) << row.file;
    EXPECT_EQ(settings.sendKeyMode, row.mode) << row.file;
    EXPECT_FALSE(ReadEditorSettings(folder.File("none.ini"), settings));
    EXPECT_FALSE(WriteEditorSettings(folder.File("none.ini"), settings));
    EXPECT_FALSE(folder.Has("none.ini"));
  }
}

// A form on a settings file; Choose acts as the user picking an entry.
class ToolbarTest : public ::testing::Test {
 protected:
  void Open(const char* settings) {
    m_folder.Write("user.ini", settings);
    m_fixture = std::make_unique<CFormFixture>(nullptr, m_folder.File("user.ini"));
  }
  COrbChat_Form& Form() { return *m_fixture->m_pForm; }
  void Choose(int id, int index) {
    const HWND list = ::GetDlgItem(Form().m_hWnd, id);
    ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Form().SendMessage(WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  }
  // The file's value of a key, "-" without one.
  CString Setting(const char* key) {
    CString value = "-";
    CIniFile ini;
    if (ini.Load(m_folder.File("user.ini"))) ini.GetString("Editor", key, value);
    return value;
  }
  std::vector<UINT> Checked() {
    std::vector<UINT> ids;
    for (UINT id : {ID_SENDMODE_ENTER, ID_SENDMODE_CTRL_ENTER, ID_SENDMODE_BUTTON})
      if (Form().m_pSendModePopup->GetMenuState(id, MF_BYCOMMAND) & MF_CHECKED) ids.push_back(id);
    return ids;
  }
  CTestFolder m_folder;
  std::unique_ptr<CFormFixture> m_fixture;
};

TEST_F(ToolbarTest, TheFileChoosesTheEntriesAndModeTwoSendsOnlyWithTheButton) {
  Open("[Editor]\r\nSendKeyMode=2\r\nFontname=ar\r\nFontsize=99\r\nForeColor=-1\r\nBackColor=255\r\n");
  COrbChat_Form& form = Form();
  EXPECT_EQ(form.m_cboFontName.GetLBText(form.m_cboFontName.GetCurSel()), "Arial");
  EXPECT_EQ(form.m_strFontName, "ar");
  EXPECT_EQ(form.m_cboFontSize.GetCurSel(), 6);
  EXPECT_EQ(form.m_cboForeColor.GetCurSel(), 0);
  EXPECT_EQ(form.m_cboBackColor.GetCurSel(), 13);
  EXPECT_EQ(Checked(), std::vector<UINT>{ID_SENDMODE_BUTTON});
  EXPECT_EQ(EditorKeyAction(form.GetSendKeyMode(), VK_RETURN, false), EditorKey::None);
  EXPECT_EQ(EditorKeyAction(form.GetSendKeyMode(), VK_RETURN, true), EditorKey::None);
  Open("[Editor]\r\nForeColor=12345\r\n");
  EXPECT_EQ(Form().m_cboFontName.GetCurSel(), -1);  // "MS Sans Serif" is not among the fixture's fonts
  EXPECT_EQ(Form().m_cboForeColor.GetCurSel(), -1);
  EXPECT_EQ(Form().m_crForeColor, 12345u);           // still what the page is built with
  EXPECT_EQ(Checked(), std::vector<UINT>{ID_SENDMODE_ENTER});
}

TEST_F(ToolbarTest, EachChoiceAppliesToTheEditorAtOnceAndTheEndWritesEveryKey) {
  Open("[Editor]\r\n");
  COrbChat_Form& form = Form();
  form.GetEditor().SetHtml("<html><body>abc</body></html>");
  form.GetEditor().SelectAll();
  Choose(IDC_FONT_SIZE, 6);
  Choose(IDC_FORE_COLOR, 13);
  Choose(IDC_BACK_COLOR, 16);
  Choose(IDC_FONT_NAME, form.m_cboFontName.FindStringExact(-1, "Arial"));
  Choose(IDC_FONT_SIZE, -1);  // no selection changes nothing
  const CString html = form.GetEditor().GetHtml();
  for (const char* part : {"size=7", "color=#FF0000", "BACKGROUND-COLOR: #0000FF", "face=Arial"})
    EXPECT_NE(html.Find(part), -1) << part << " in " << html.GetString();
  EXPECT_EQ(Setting("Fontsize"), "-");  // nothing is written before the form's end
  m_fixture.reset();
  EXPECT_EQ(Setting("Fontsize"), "7");
  EXPECT_EQ(Setting("ForeColor"), "255");
  EXPECT_EQ(Setting("BackColor"), "16711680");
  EXPECT_EQ(Setting("Fontname"), "Arial");
  EXPECT_EQ(Setting("SendKeyMode"), "0");
  // A form whose window never opened has read nothing and writes nothing.
  m_folder.Write("user.ini", "[Editor]\r\nFontsize=2\r\n");
  CRecordingSession session;
  session.m_login.m_strCustomFilePath = m_folder.File("user.ini");
  { COrbChat_Form never("", &session, nullptr); }
  EXPECT_EQ(m_folder.Read("user.ini"), "[Editor]\r\nFontsize=2\r\n");
}

TEST_F(ToolbarTest, TheSendModeIsWrittenAtOnceWithExactlyOneItemChecked) {
  Open("[Editor]\r\n");
  COrbChat_Form& form = Form();
  OrbTesting::PopupMenuRecorder menus;
  menus.Choose(ID_SENDMODE_CTRL_ENTER);
  const HWND button = ::GetDlgItem(form.m_hWnd, IDC_SEND_MODE);
  form.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SEND_MODE, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  ASSERT_EQ(menus.Count(), 1u);
  const CRect rect = CWnd::FromHandle(button)->GetWindowRect();
  EXPECT_EQ(menus.Last().x, rect.left);
  EXPECT_EQ(menus.Last().y, rect.bottom + 1);
  EXPECT_TRUE(menus.Last().Find(ID_SENDMODE_ENTER)->checked);
  OrbTesting::PumpPending();
  EXPECT_EQ(Setting("SendKeyMode"), "1");
  EXPECT_EQ(Checked(), std::vector<UINT>{ID_SENDMODE_CTRL_ENTER});
  form.SendMessage(WM_COMMAND, ID_SENDMODE_BUTTON);
  EXPECT_EQ(Setting("SendKeyMode"), "3");
  EXPECT_EQ(Checked(), std::vector<UINT>{ID_SENDMODE_BUTTON});
  form.SendMessage(WM_COMMAND, ID_SENDMODE_ENTER);
  EXPECT_EQ(Setting("SendKeyMode"), "0");
  EXPECT_EQ(Checked(), std::vector<UINT>{ID_SENDMODE_ENTER});
}

}  // namespace
