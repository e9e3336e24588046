// The formatting toolbar (Part 3.4): the colour lists, the settings of
// section "Editor" with the values a damaged file may hold, the list search
// that looks at entry 0 last, each selection applied to the editor at once,
// and the send-mode menu.
#include <gtest/gtest.h>

#include "CTestFolder.h"
#include "FormTestSupport.h"
#include "OrbTesting.h"
#include "form/COrbChat_Form.h"
#include "form/EditorSettings.h"
#include "resources/resource.h"

namespace {

// --- The colour lists ------------------------------------------------------

TEST(ColorComboBox, TheStockPaletteIsTheWindowsDefaultPalette) {
  PALETTEENTRY entries[20] = {};
  ASSERT_EQ(::GetPaletteEntries(static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), 0, 20, entries), 20u);
  for (int i = 0; i < 20; ++i)
    EXPECT_EQ(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue), CColorComboBox::kDefaultPalette[i]) << i;
}

TEST(ColorComboBox, EntryZeroComesFromTheSystemColoursTheRestFromThePalette) {
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  CColorComboBox& text = form.m_cboForeColor;
  CColorComboBox& back = form.m_cboBackColor;
  EXPECT_EQ(text.GetVariant(), 1);
  EXPECT_EQ(back.GetVariant(), 0);
  EXPECT_EQ(text.ColourOf(0), ::GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(back.ColourOf(0), ::GetSysColor(COLOR_WINDOW));
  ASSERT_EQ(text.GetCount(), 20);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(text.GetItemData(i), static_cast<DWORD_PTR>(i)) << "the sorted list keeps the order of insertion";
    if (i == 0) continue;
    EXPECT_EQ(text.ColourOf(i), CColorComboBox::kDefaultPalette[i]) << i;
    EXPECT_EQ(back.ColourOf(i), CColorComboBox::kDefaultPalette[i]) << i;
  }
  EXPECT_EQ(text.GetItemHeight(0), 20);
  EXPECT_EQ(text.GetCurSel(), 0);
  EXPECT_EQ(back.GetCurSel(), 0);
}

TEST(ColorComboBox, IndexOfFindsTheFirstEntryOfAColour) {
  CFormFixture fixture;
  CColorComboBox& text = fixture.m_pForm->m_cboForeColor;
  CColorComboBox& back = fixture.m_pForm->m_cboBackColor;
  // Black is the window-text colour (entry 0) and palette entry 0, which the
  // list does not show; white is palette entry 19 and the window colour.
  ASSERT_EQ(::GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
  ASSERT_EQ(::GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(text.IndexOf(RGB(0, 0, 0)), 0);
  EXPECT_EQ(text.IndexOf(RGB(255, 255, 255)), 19);
  EXPECT_EQ(back.IndexOf(RGB(255, 255, 255)), 0);
  EXPECT_EQ(back.IndexOf(RGB(0, 0, 0)), 20);
  EXPECT_EQ(text.IndexOf(RGB(255, 0, 0)), 13);
  EXPECT_EQ(text.IndexOf(RGB(0xA6, 0xCA, 0xF0)), 9);
  EXPECT_EQ(text.IndexOf(RGB(255, 0, 1)), 20);
  EXPECT_EQ(text.IndexOf(0xFFFFFFFF), 20);
  EXPECT_EQ(text.ColourOf(20), text.ColourOf(0));
  EXPECT_EQ(text.ColourOf(-1), text.ColourOf(0));
}

// Draws one entry into a white 40 x 60 picture and reads pixels back.
class DrawnEntry {
 public:
  DrawnEntry(CColorComboBox& list, int index, RECT rect, UINT action, UINT state) {
    m_dc = ::CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 40;
    info.bmiHeader.biHeight = -60;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_old = ::SelectObject(m_dc, m_bitmap);
    RECT all{0, 0, 40, 60};
    ::FillRect(m_dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SelectObject(m_dc, ::GetStockObject(BLACK_PEN));
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_COMBOBOX;
    item.itemID = static_cast<UINT>(index);
    item.itemAction = action;
    item.itemState = state;
    item.hDC = m_dc;
    item.rcItem = rect;
    item.hwndItem = list.m_hWnd;
    list.DrawItem(&item);
  }
  ~DrawnEntry() {
    ::SelectObject(m_dc, m_old);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_dc);
  }
  COLORREF At(int x, int y) const { return ::GetPixel(m_dc, x, y); }

 private:
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_old;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

TEST(ColorComboBox, EntriesAreSwatchesFramedInTheFieldAndWhenChosen) {
  CFormFixture fixture;
  CColorComboBox& text = fixture.m_pForm->m_cboForeColor;
  {  // In the open list: the swatch 4 pixels in, no frame.
    DrawnEntry entry(text, 13, RECT{0, 0, 40, 20}, ODA_DRAWENTIRE, 0);
    EXPECT_EQ(entry.At(3, 3), kWhite);
    EXPECT_EQ(entry.At(4, 4), kRed);
    EXPECT_EQ(entry.At(35, 15), kRed);
    EXPECT_EQ(entry.At(36, 16), kWhite);
  }
  {  // In the closed box's field: a 1-pixel frame 3 pixels in.
    DrawnEntry entry(text, 13, RECT{0, 0, 40, 20}, ODA_DRAWENTIRE, ODS_COMBOBOXEDIT);
    EXPECT_EQ(entry.At(2, 2), kWhite);
    EXPECT_EQ(entry.At(3, 3), kBlack);
    EXPECT_EQ(entry.At(36, 16), kBlack);
    EXPECT_EQ(entry.At(4, 4), kRed);
  }
  {  // Entry 2 chosen in the list: entry 0's row is drawn again, then the frame.
    DrawnEntry entry(text, 2, RECT{0, 40, 40, 60}, ODA_SELECT, ODS_SELECTED);
    EXPECT_EQ(entry.At(1, 1), ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(entry.At(4, 4), text.ColourOf(0));
    EXPECT_EQ(entry.At(35, 15), text.ColourOf(0));
    EXPECT_EQ(entry.At(3, 43), kBlack);
    EXPECT_EQ(entry.At(4, 44), text.ColourOf(2));
  }
}

// --- The list search -----------------------------------------------------------

TEST(FindPrefixEntry, LooksAtEntryZeroLastAndIgnoresCase) {
  const std::vector<CString> fonts{"Arial", "Courier", "Fixedsys", "MS Sans Serif", "Tahoma",
                                   "Verdana", "宋体", "ms sans serif bold"};
  EXPECT_EQ(FindPrefixEntry(fonts, "MS Sans"), 3);            // entries 3 and 7: the first
  EXPECT_EQ(FindPrefixEntry(fonts, "ms SANS serif"), 3);
  EXPECT_EQ(FindPrefixEntry(fonts, "宋"), 6);
  EXPECT_EQ(FindPrefixEntry(fonts, "Arial"), 0);             // only entry 0 begins with it
  EXPECT_EQ(FindPrefixEntry(fonts, "Arial Black"), -1);
  EXPECT_EQ(FindPrefixEntry(fonts, ""), -1);
  EXPECT_EQ(FindPrefixEntry({}, "A"), -1);
  const std::vector<CString> twice{"Arial", "Courier", "Fixedsys", "Tahoma", "Verdana", "arial narrow"};
  EXPECT_EQ(FindPrefixEntry(twice, "arial"), 5);            // entries 0 and 5: entry 0 last
  const std::vector<CString> sizes{"1", "2", "3", "4", "5", "6", "7"};
  EXPECT_EQ(FindPrefixEntry(sizes, "1"), 0);
  EXPECT_EQ(FindPrefixEntry(sizes, "7"), 6);
  EXPECT_EQ(FindPrefixEntry(sizes, "8"), -1);
}

// --- The settings file -------------------------------------------------------

TEST(EditorSettings, MissingKeysKeepBlackOnWhiteAndAMissingFileReadsNothing) {
  CTestFolder folder;
  folder.Write("user.ini", "[Editor]\r\nFontname=宋体\r\n[Other]\r\nForeColor=255\r\n");
  EditorSettings settings;
  EXPECT_TRUE(ReadEditorSettings(folder.File("user.ini"), settings));
  EXPECT_EQ(settings.fontName, "宋体");
  EXPECT_EQ(settings.foreColor, 0u);
  EXPECT_EQ(settings.backColor, 0xFFFFFFu);
  EXPECT_EQ(settings.fontSize, 5);
  EXPECT_EQ(settings.sendKeyMode, 0);
  EditorSettings untouched;
  untouched.fontSize = 3;
  EXPECT_FALSE(ReadEditorSettings(folder.File("none.ini"), untouched));
  EXPECT_FALSE(WriteEditorSettings(folder.File("none.ini"), untouched));
  EXPECT_FALSE(folder.Has("none.ini"));
  EXPECT_EQ(untouched.fontSize, 3);
}

TEST(EditorSettings, ValuesOutOfRangeNeverReachTheEditor) {
  const struct {
    const char* fontSize;
    int size;
    const char* colour;
    COLORREF fore;
    const char* name;
    const char* font;
    const char* mode;
    int sendMode;
  } rows[] = {
      {"0", 1, "-1", 0, "", "MS Sans Serif", "2", 2},
      {"99", 7, "4294967296", 0, "<b>", "MS Sans Serif", "abc", 0},
      {"text", 5, "16777216", 0, "a=b", "MS Sans Serif", "-7", -7},
      {" 7 // comment", 7, "16777215", 0xFFFFFF, "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二",
       "MS Sans Serif", "1", 1},
      {"-2147483649", 1, "255", 255, "Tahoma", "Tahoma", "99999999999", 2147483647},
  };
  for (const auto& row : rows) {
    CTestFolder folder;
    folder.Write("user.ini", std::string("[Editor]\r\nFontsize=") + row.fontSize + "\r\nForeColor=" + row.colour +
                                 "\r\nBackColor=" + row.colour + "\r\nFontname=" + row.name +
                                 "\r\nSendKeyMode=" + row.mode + "\r\n");
    EditorSettings settings;
    ASSERT_TRUE(ReadEditorSettings(folder.File("user.ini"), settings));
    EXPECT_EQ(settings.fontSize, row.size) << row.fontSize;
    EXPECT_EQ(settings.foreColor, row.fore) << row.colour;
    EXPECT_EQ(settings.backColor, row.fore == 0 ? 0xFFFFFFu : row.fore) << row.colour;
    EXPECT_EQ(settings.fontName, row.font) << row.name;
    EXPECT_EQ(settings.sendKeyMode, row.sendMode) << row.mode;
  }
}

// --- The toolbar on a real form ------------------------------------------------------

class ToolbarTest : public ::testing::Test {
 protected:
  explicit ToolbarTest(const char* settings = "[Editor]\r\n") : m_written(m_folder.Write("user.ini", settings)) {}
  COrbChat_Form& Form() { return *m_fixture->m_pForm; }
  void Open() { m_fixture = std::make_unique<CFormFixture>(nullptr, m_folder.File("user.ini")); }
  // The user chooses entry index of a toolbar list.
  void Choose(int id, int index) {
    CComboBox* list = static_cast<CComboBox*>(CWnd::FromHandle(::GetDlgItem(Form().m_hWnd, id)));
    list->SetCurSel(index);
    Form().SendMessage(WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list->m_hWnd));
  }
  // The value of a key line of the settings file as written, "(missing)" without one.
  CString Setting(const char* key) {
    const std::string bytes = "\n" + m_folder.Read("user.ini");
    const std::string wanted = std::string("\n") + key + "=";
    const size_t at = bytes.find(wanted);
    if (at == std::string::npos) return "(missing)";
    const size_t begin = at + wanted.size();
    return bytes.substr(begin, bytes.find_first_of("\r\n", begin) - begin).c_str();
  }
  // The checked items of the send-mode menu.
  std::vector<UINT> Checked() {
    std::vector<UINT> ids;
    for (UINT id : {ID_SENDMODE_ENTER, ID_SENDMODE_CTRL_ENTER, ID_SENDMODE_BUTTON})
      if (Form().m_pSendModePopup->GetMenuState(id, MF_BYCOMMAND) & MF_CHECKED) ids.push_back(id);
    return ids;
  }

  CTestFolder m_folder;
  bool m_written;
  std::unique_ptr<CFormFixture> m_fixture;
};

class StoredSettingsTest : public ToolbarTest {
 protected:
  StoredSettingsTest()
      : ToolbarTest("[Editor]\r\nSendKeyMode=2\r\nFontname=ar\r\nFontsize=99\r\nForeColor=-1\r\nBackColor=255\r\n") {}
};

TEST_F(StoredSettingsTest, TheFileChoosesTheEntriesAndModeTwoSendsOnlyWithTheButton) {
  Open();
  COrbChat_Form& form = Form();
  EXPECT_EQ(form.m_cboFontName.GetLBText(form.m_cboFontName.GetCurSel()), "Arial");
  EXPECT_EQ(form.m_strFontName, "ar");
  EXPECT_EQ(form.m_nFontSize, 7);
  EXPECT_EQ(form.m_cboFontSize.GetCurSel(), 6);
  EXPECT_EQ(form.m_crForeColor, 0u);
  EXPECT_EQ(form.m_cboForeColor.GetCurSel(), 0);
  EXPECT_EQ(form.m_crBackColor, RGB(255, 0, 0));
  EXPECT_EQ(form.m_cboBackColor.GetCurSel(), 13);
  EXPECT_EQ(form.GetSendKeyMode(), 2);
  EXPECT_EQ(Checked(), std::vector<UINT>{ID_SENDMODE_BUTTON});
  EXPECT_EQ(EditorKeyAction(form.GetSendKeyMode(), VK_RETURN, false), EditorKey::None);
  EXPECT_EQ(EditorKeyAction(form.GetSendKeyMode(), VK_RETURN, true), EditorKey::None);
}

TEST_F(ToolbarTest, DefaultsSelectNoFontAndEntryZeroOfEachColourList) {
  Open();
  COrbChat_Form& form = Form();
  EXPECT_EQ(form.m_cboFontName.GetCurSel(), -1);  // "MS Sans Serif" is not among the fixture's fonts
  EXPECT_EQ(form.m_cboFontSize.GetCurSel(), 4);
  EXPECT_EQ(form.m_cboForeColor.GetCurSel(), 0);
  EXPECT_EQ(form.m_cboBackColor.GetCurSel(), 0);
  EXPECT_EQ(Checked(), std::vector<UINT>{ID_SENDMODE_ENTER});
}

TEST_F(ToolbarTest, EachChoiceAppliesToTheEditorAtOnce) {
  Open();
  COrbChat_Form& form = Form();
  form.GetEditor().SetHtml("<html><body>abc</body></html>");
  form.GetEditor().SelectAll();
  Choose(IDC_FONT_SIZE, 6);
  EXPECT_EQ(form.m_nFontSize, 7);
  Choose(IDC_FORE_COLOR, 13);
  EXPECT_EQ(form.m_crForeColor, RGB(255, 0, 0));
  Choose(IDC_BACK_COLOR, 14);
  EXPECT_EQ(form.m_crBackColor, RGB(0, 255, 0));
  const int arial = form.m_cboFontName.FindStringExact(-1, "Arial");
  Choose(IDC_FONT_NAME, arial);
  EXPECT_EQ(form.m_strFontName, "Arial");
  const CString html = form.GetEditor().GetHtml();
  EXPECT_NE(html.Find("size=7"), -1) << html.GetString();
  EXPECT_NE(html.Find("color=#FF0000"), -1) << html.GetString();
  EXPECT_NE(html.Find("BACKGROUND-COLOR: #00FF00"), -1) << html.GetString();
  EXPECT_NE(html.Find("face=Arial"), -1) << html.GetString();
  // No selection changes nothing.
  Choose(IDC_FONT_SIZE, -1);
  EXPECT_EQ(form.m_nFontSize, 7);
}

TEST_F(ToolbarTest, TheSendModeIsWrittenAtOnceWithExactlyOneItemChecked) {
  Open();
  COrbChat_Form& form = Form();
  OrbTesting::PopupMenuRecorder menus;
  menus.Choose(ID_SENDMODE_CTRL_ENTER);
  form.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SEND_MODE, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(form.m_hWnd, IDC_SEND_MODE)));
  ASSERT_EQ(menus.Count(), 1u);
  RECT button{};
  ::GetWindowRect(::GetDlgItem(form.m_hWnd, IDC_SEND_MODE), &button);
  EXPECT_EQ(menus.Last().x, button.left);
  EXPECT_EQ(menus.Last().y, button.bottom + 1);
  EXPECT_EQ(menus.Last().owner, form.m_hWnd);
  ASSERT_NE(menus.Last().Find(ID_SENDMODE_ENTER), nullptr);
  EXPECT_TRUE(menus.Last().Find(ID_SENDMODE_ENTER)->checked);
  OrbTesting::PumpPending();
  EXPECT_EQ(form.GetSendKeyMode(), 1);
  EXPECT_EQ(Setting("SendKeyMode"), "1");
  EXPECT_EQ(Checked(), std::vector<UINT>{ID_SENDMODE_CTRL_ENTER});
  form.SendMessage(WM_COMMAND, ID_SENDMODE_BUTTON);
  EXPECT_EQ(Setting("SendKeyMode"), "3");
  EXPECT_EQ(Checked(), std::vector<UINT>{ID_SENDMODE_BUTTON});
  form.SendMessage(WM_COMMAND, ID_SENDMODE_ENTER);
  EXPECT_EQ(Setting("SendKeyMode"), "0");
  EXPECT_EQ(Checked(), std::vector<UINT>{ID_SENDMODE_ENTER});
  EXPECT_EQ(Setting("Fontsize"), "(missing)");  // the rest waits for the form's end
}

TEST_F(ToolbarTest, TheFormsEndWritesEveryKeyAndAFormWithoutWindowWritesNothing) {
  Open();
  Choose(IDC_FONT_SIZE, 2);
  Choose(IDC_FORE_COLOR, 16);
  m_fixture.reset();
  EXPECT_EQ(Setting("SendKeyMode"), "0");
  EXPECT_EQ(Setting("Fontname"), "MS Sans Serif");
  EXPECT_EQ(Setting("Fontsize"), "3");
  EXPECT_EQ(Setting("ForeColor"), "16711680");
  EXPECT_EQ(Setting("BackColor"), "16777215");

  m_folder.Write("user.ini", "[Editor]\r\nFontsize=2\r\n");
  CRecordingSession session;
  session.m_login.m_strCustomFilePath = m_folder.File("user.ini");
  { COrbChat_Form never("", &session, nullptr); }
  EXPECT_EQ(m_folder.Read("user.ini"), "[Editor]\r\nFontsize=2\r\n");
}

}  // namespace
