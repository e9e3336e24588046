// The editor's context menu, pictures from files and from the clipboard, and
// the two capture commands: what goes into the editor, which files are
// written, and that refused input leaves the editor and the disk as they were.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "CImage.h"
#include "CTestFolder.h"
#include "FakeClipboard.h"
#include "FormTestSupport.h"
#include "MessageBoxRecorder.h"
#include "MessagePump.h"
#include "PopupMenuRecorder.h"
#include "ScopedSeam.h"
#include "ScreenCapture.h"
#include "form/COrbChat_Form.h"
#include "form/ClipboardPicture.h"
#include "resources/resource.h"
#include "support/FileUtils.h"

namespace {

// A dialog answer that names path, or cancels for an empty path.
Seams::FileDialogFn Choose(const CString& path) {
  return [path](OPENFILENAMEA& ofn) {
    if (path.IsEmpty()) return false;
    lstrcpynA(ofn.lpstrFile, path, static_cast<int>(ofn.nMaxFile));
    return true;
  };
}

// A picture file of the given size, written by extension.
CString WritePicture(const CTestFolder& folder, const char* name, int width = 24, int height = 16) {
  CImage image;
  image.Create(width, height, 24);
  image.SetPixel(1, 1, RGB(200, 0, 0));
  const CString path = folder.File(name);
  return SUCCEEDED(image.Save(path)) ? path : CString();
}

// Every picture source of the editor's HTML, in order.
std::vector<std::string> PictureSources(const CString& html) {
  static const std::regex source("<IMG src=\"([^\"]*)\"", std::regex::icase);
  std::vector<std::string> found;
  const std::string text(html.GetString());
  for (auto it = std::sregex_iterator(text.begin(), text.end(), source); it != std::sregex_iterator(); ++it)
    found.push_back((*it)[1].str());
  return found;
}

class EditMenuTest : public ::testing::Test {
 protected:
  EditMenuTest() : m_clock(Seams::SetTickCount, [this] { return m_dwNow; }) {}
  ~EditMenuTest() override {
    for (const CString& path : m_arrWritten) ::DeleteFileW(ToWidePath(path).c_str());
  }
  COrbChat_Form& Form() { return *m_fixture.m_pForm; }
  CHtmlEdit& Editor() { return Form().GetEditor(); }
  void Command(UINT id) { Form().SendMessage(WM_COMMAND, id); }
  // The pictures now in the editor; each is removed when the test ends.
  std::vector<std::string> Pictures() {
    const std::vector<std::string> sources = PictureSources(Editor().GetHtml());
    for (const std::string& source : sources) m_arrWritten.push_back(source.c_str());
    return sources;
  }
  static HBITMAP MakeBitmap(CImage& image, int width, int height) {
    image.Create(width, height, 24);
    return image;
  }
  // What another program copied.
  void Put(HBITMAP bitmap) {
    m_clipboard.Open(nullptr);
    m_clipboard.SetBitmap(bitmap);
    m_clipboard.Close();
  }
  void Put(const char* text) {
    m_clipboard.Open(nullptr);
    m_clipboard.SetText(text);
    m_clipboard.Close();
  }
  CString ClipboardText() {
    m_clipboard.Open(nullptr);
    const CString text = m_clipboard.GetText();
    m_clipboard.Close();
    return text;
  }

  CFormFixture m_fixture;
  DWORD m_dwNow = 0x7FFFFF00;
  OrbTesting::ScopedSeam<Seams::TickCountFn> m_clock;
  OrbTesting::FakeClipboard m_clipboard;
  OrbTesting::MessageBoxRecorder m_boxes;
  CTestFolder m_folder;
  std::vector<CString> m_arrWritten;
};

TEST_F(EditMenuTest, PastedBitmapsOfTheSameTickGetFilesOfTheirOwn) {
  CImage first, second;
  Put(MakeBitmap(first, 40, 30));
  Command(ID_EDITOR_PASTE);
  Put(MakeBitmap(second, 50, 20));
  Command(ID_EDITOR_PASTE);
  const std::vector<std::string> sources = Pictures();
  ASSERT_EQ(sources.size(), 2u);
  EXPECT_NE(sources[0], sources[1]) << "a second picture in the same tick must not replace the first";
  const std::regex numbered(std::regex_replace(std::string(GetTempDir().GetString()), std::regex(R"([\\.^$|()\[\]{}*+?])"),
                                               R"(\$&)") + R"(-?\d+\.jpg)");
  for (const std::string& source : sources) EXPECT_TRUE(std::regex_match(source, numbered)) << source;
  CImage reread;
  ASSERT_TRUE(SUCCEEDED(reread.Load(sources[0].c_str())));
  EXPECT_EQ(reread.GetWidth(), 40);
  ASSERT_TRUE(SUCCEEDED(reread.Load(sources[1].c_str())));
  EXPECT_EQ(reread.GetWidth(), 50);
  EXPECT_EQ(m_clipboard.Opens(), m_clipboard.Closes());
  EXPECT_TRUE(m_clipboard.HasBitmap()) << "the clipboard keeps its bitmap";
}

TEST_F(EditMenuTest, UnusableClipboardPicturesInsertNothing) {
  const int pending = static_cast<int>(Form().GetPendingCount());
  // 16,000 x 16,000 pixels (a monochrome bitmap, so the test itself stays small).
  HBITMAP huge = ::CreateBitmap(16000, 16000, 1, 1, nullptr);
  ASSERT_NE(huge, nullptr);
  Put(huge);
  ::DeleteObject(huge);
  EXPECT_FALSE(Form().InsertClipboardPicture());
  EXPECT_EQ(Editor().GetPictureCount(), 0);
  EXPECT_EQ(static_cast<int>(Form().GetPendingCount()), pending + 1) << "the user is told why";

  CImage small;
  Put(MakeBitmap(small, 8, 8));
  m_clipboard.SetBusy(true);
  EXPECT_FALSE(Form().InsertClipboardPicture());
  m_clipboard.SetBusy(false);
  Put("");
  EXPECT_FALSE(Form().InsertClipboardPicture());
  EXPECT_EQ(Editor().GetPictureCount(), 0);

  // A folder that cannot be written: no picture, and no empty file left.
  Put(small);
  CString path;
  EXPECT_EQ(SaveClipboardPicture(Form().m_hWnd, m_folder.File("无此文件夹\\"), 5, path), ClipboardPicture::NotSaved);
  EXPECT_TRUE(path.IsEmpty());
  EXPECT_EQ(SaveClipboardPicture(Form().m_hWnd, m_folder.Path(), 5, path), ClipboardPicture::Saved);
  EXPECT_EQ(path, m_folder.File("5.jpg"));
  EXPECT_EQ(SaveClipboardPicture(Form().m_hWnd, m_folder.Path(), 5, path), ClipboardPicture::Saved);
  EXPECT_EQ(path, m_folder.File("6.jpg"));
}

TEST_F(EditMenuTest, PastedTextStaysTextAndTheOtherCommandsReachTheEditor) {
  Put("a<b>粗</b> & <img src=\"C:\\秘密.jpg\">\r\n第二行");
  Command(ID_EDITOR_PASTE);
  const CString text = Editor().GetText(1);
  EXPECT_NE(text.Find("a<b>粗</b> & <img src=\"C:\\秘密.jpg\">"), -1) << text.GetString();
  EXPECT_NE(text.Find("第二行"), -1);
  EXPECT_EQ(Editor().GetPictureCount(), 0) << "copied markup never pulls a local file into the message";

  Editor().SelectAll();
  Command(ID_EDITOR_CUT);
  EXPECT_EQ(CString(Editor().GetText(1)).Trim(), "");
  EXPECT_NE(ClipboardText().Find("第二行"), -1);
  Command(ID_EDITOR_UNDO);
  EXPECT_NE(Editor().GetText(1).Find("第二行"), -1);
  Put("别的");
  Editor().SelectAll();
  Command(ID_EDITOR_COPY);
  EXPECT_NE(ClipboardText().Find("第二行"), -1);
}

TEST_F(EditMenuTest, SavingAsWebPageAddsTheExtensionAndOverwritesOnlyOnYes) {
  Editor().SetHtml("<html><body>存档内容</body></html>");
  {
    OrbTesting::ScopedSeam<Seams::FileDialogFn> dialog(Seams::SetSaveFileDialog, Choose(m_folder.File("存档")));
    Command(ID_EDITOR_SAVE_MHT);
  }
  const std::string saved = m_folder.Read("存档.mht");
  EXPECT_NE(saved.find("Content-Type: multipart/related"), std::string::npos);
  EXPECT_EQ(m_boxes.Count(), 0u);

  m_folder.Write("旧.mht", "旧的内容");
  OrbTesting::ScopedSeam<Seams::FileDialogFn> dialog(Seams::SetSaveFileDialog, Choose(m_folder.File("旧.mht")));
  m_boxes.Answer(IDNO);
  Command(ID_EDITOR_SAVE_MHT);
  ASSERT_EQ(m_boxes.Count(), 1u);
  EXPECT_EQ(m_boxes.Last().text, m_folder.File("旧.mht") + " 文件已存在！\r\n是否覆盖(是/否)？");
  EXPECT_EQ(m_boxes.Last().caption, "提示");
  EXPECT_EQ(m_boxes.Last().type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(m_folder.Read("旧.mht"), "旧的内容");
  m_boxes.Answer(IDYES);
  Command(ID_EDITOR_SAVE_MHT);
  EXPECT_EQ(m_folder.Read("旧.mht"), saved);
}

TEST_F(EditMenuTest, ASaveThatCannotBeWrittenSaysSoAndLeavesNothing) {
  OrbTesting::ScopedSeam<Seams::FileDialogFn> dialog(Seams::SetSaveFileDialog,
                                                     Choose(m_folder.File("没有的文件夹\\存档.mht")));
  Command(ID_EDITOR_SAVE_MHT);
  ASSERT_EQ(m_boxes.Count(), 1u);
  EXPECT_NE(m_boxes.Last().text.Find("文件保存失败"), -1);
  EXPECT_FALSE(m_folder.Has("没有的文件夹"));
}

TEST_F(EditMenuTest, APictureFileGoesInByItsPathAndANonPictureIsRefused) {
  const CString png = WritePicture(m_folder, "图 1.png");
  const CString tiff = WritePicture(m_folder, "扫描.tiff");
  ASSERT_FALSE(png.IsEmpty());
  ASSERT_FALSE(tiff.IsEmpty());
  m_folder.Write("假图.jpg", "这不是图片");
  {
    OrbTesting::ScopedSeam<Seams::FileDialogFn> dialog(Seams::SetOpenFileDialog, Choose(png));
    Form().SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FORM_PICTURE, BN_CLICKED));
  }
  {
    OrbTesting::ScopedSeam<Seams::FileDialogFn> dialog(Seams::SetOpenFileDialog, Choose(tiff));
    Form().SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FORM_PICTURE, BN_CLICKED));
  }
  EXPECT_EQ(PictureSources(Editor().GetHtml()), (std::vector<std::string>{png.GetString(), tiff.GetString()}));
  EXPECT_EQ(m_boxes.Count(), 0u);
  {
    OrbTesting::ScopedSeam<Seams::FileDialogFn> dialog(Seams::SetOpenFileDialog, Choose(m_folder.File("假图.jpg")));
    Form().SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FORM_PICTURE, BN_CLICKED));
  }
  EXPECT_EQ(m_boxes.Count(), 1u);
  {
    OrbTesting::ScopedSeam<Seams::FileDialogFn> dialog(Seams::SetOpenFileDialog, Choose(""));
    Form().SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FORM_PICTURE, BN_CLICKED));
  }
  EXPECT_EQ(Editor().GetPictureCount(), 2);
}

// Both capture types, through the button's menu, with the region chosen by
// the test and the screen cut down to a small area.
TEST_F(EditMenuTest, CaptureCommandsInsertTheCapturedPicture) {
  CScreenCapture::SetScreenArea([] { return CRect(0, 0, 120, 90); });
  bool choose = true;
  CScreenCapture::SetRegionChooser([&choose](HWND, HBITMAP, const CRect&, CRect& region) {
    region = CRect(10, 10, 60, 40);
    return choose;
  });
  OrbTesting::PopupMenuRecorder menus;
  menus.Choose(ID_CAPTURE_REGION);
  const HWND button = ::GetDlgItem(Form().m_hWnd, IDC_SCREEN_CAPTURE);
  Form().SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SCREEN_CAPTURE, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  ASSERT_EQ(menus.Count(), 1u);
  const CRect rect = CWnd::FromHandle(button)->GetWindowRect();
  EXPECT_NE(menus.Last().flags & TPM_RIGHTBUTTON, 0u);
  EXPECT_EQ(menus.Last().x, rect.left);
  EXPECT_EQ(menus.Last().y, rect.bottom + 1);
  OrbTesting::PumpPending();
  std::vector<std::string> sources = Pictures();
  ASSERT_EQ(sources.size(), 1u);
  CImage region;
  ASSERT_TRUE(SUCCEEDED(region.Load(sources[0].c_str())));
  EXPECT_EQ(region.GetWidth(), 50);
  EXPECT_EQ(region.GetHeight(), 30);

  choose = false;
  Put("");
  Command(ID_CAPTURE_REGION);
  EXPECT_EQ(Editor().GetPictureCount(), 1) << "a cancelled region inserts nothing";

  Command(ID_CAPTURE_FULL_SCREEN);
  sources = Pictures();
  ASSERT_EQ(sources.size(), 2u);
  CImage screen;
  ASSERT_TRUE(SUCCEEDED(screen.Load(sources[1].c_str())));
  EXPECT_EQ(screen.GetWidth(), 120);
  CScreenCapture::SetScreenArea({});
  CScreenCapture::SetRegionChooser({});
}

// Holds Ctrl and Alt down for this thread while it lives.
class CtrlAltHeld {
 public:
  CtrlAltHeld() {
    ::GetKeyboardState(m_saved);
    BYTE state[256];
    ::GetKeyboardState(state);
    state[VK_CONTROL] = state[VK_MENU] = 0x80;
    ::SetKeyboardState(state);
  }
  ~CtrlAltHeld() { ::SetKeyboardState(m_saved); }

 private:
  BYTE m_saved[256] = {};
};

TEST_F(EditMenuTest, CtrlAltSAndQCaptureFromAnywhereInTheForm) {
  CScreenCapture::SetScreenArea([] { return CRect(0, 0, 64, 48); });
  CScreenCapture::SetRegionChooser([](HWND, HBITMAP, const CRect&, CRect& region) {
    region = CRect(0, 0, 20, 10);
    return true;
  });
  {
    CtrlAltHeld held;
    MSG region{Editor().m_hWnd, WM_KEYDOWN, 'S', 0, 0, {}};
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(&region));
    MSG full{Form().GetView().m_hWnd, WM_KEYDOWN, 'Q', 0, 0, {}};
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(&full));
  }
  MSG plain{Editor().m_hWnd, WM_KEYDOWN, 'S', 0, 0, {}};
  CWnd::WalkPreTranslateTree(&plain);
  const std::vector<std::string> sources = Pictures();
  ASSERT_EQ(sources.size(), 2u) << "one region, one full screen, nothing for a plain S";
  CImage picture;
  ASSERT_TRUE(SUCCEEDED(picture.Load(sources[0].c_str())));
  EXPECT_EQ(picture.GetWidth(), 20);
  ASSERT_TRUE(SUCCEEDED(picture.Load(sources[1].c_str())));
  EXPECT_EQ(picture.GetWidth(), 64);
  CScreenCapture::SetScreenArea({});
  CScreenCapture::SetRegionChooser({});
}

}  // namespace
