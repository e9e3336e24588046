// File dialogs: the module's filters become the dialog's list with bars that
// are characters of their own (not GBK trail bytes); the open and save seams
// answer; paths with trail bytes 0x5C split into name and extension correctly;
// a reply filling the whole buffer is cut safely.
#include <gtest/gtest.h>

#include <string>

#include "CFileDialog.h"
#include "ScopedSeam.h"
#include "Seams.h"

namespace {

using OrbTesting::ScopedSeam;

TEST(FileDialogFilter, BarsBecomeSeparatorsOnlyAsCharacters) {
  struct Row {
    const char* filter;
    std::string expected;
  };
  const Row rows[] = {
      {"Web档案 单个文件 (*.mht)|*.mht|所有文件 (*.*)|*.*||",
       std::string("Web档案 单个文件 (*.mht)\0*.mht\0所有文件 (*.*)\0*.*\0\0", 51)},
      {"GIF 图像互换 (*.gif)|*.gif", std::string("GIF 图像互换 (*.gif)\0*.gif\0\0", 28)},
      {"皘|*.a||", std::string("皘\0*.a\0\0", 8)},  // 皘 is B0 7C: its 7C is no bar
      {"", std::string()},
      {nullptr, std::string()},
  };
  for (const Row& row : rows)
    EXPECT_EQ(CFileDialog::ConvertFilter(row.filter), row.expected) << (row.filter ? row.filter : "(null)");
}

TEST(FileDialog, OpenAnsweredThroughTheSeam) {
  OPENFILENAMEA asked{};
  std::string filterSeen;
  ScopedSeam open(Seams::SetOpenFileDialog, [&](OPENFILENAMEA& ofn) {
    asked = ofn;
    filterSeen.assign(ofn.lpstrFilter, 21);
    lstrcpynA(ofn.lpstrFile, "C:\\图片\\誠\\照片.Jpeg", static_cast<int>(ofn.nMaxFile));
    return true;
  });
  ScopedSeam save(Seams::SetSaveFileDialog, [](OPENFILENAMEA&) {
    ADD_FAILURE() << "the open dialog must not ask the save seam";
    return false;
  });
  CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "BMP 位图格式 (*.bmp)|*.bmp||");
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_TRUE(asked.Flags & OFN_FILEMUSTEXIST);
  EXPECT_TRUE(asked.Flags & OFN_NOCHANGEDIR);
  EXPECT_EQ(asked.lpstrDefExt, nullptr);
  EXPECT_GE(asked.nMaxFile, 1024u);
  EXPECT_EQ(filterSeen.substr(0, 21), std::string("BMP 位图格式 (*.bmp)\0*.bmp", 21));
  EXPECT_EQ(dialog.GetPathName(), "C:\\图片\\誠\\照片.Jpeg");
  EXPECT_EQ(dialog.GetFileName(), "照片.Jpeg");
  EXPECT_EQ(dialog.GetFileTitle(), "照片");
  EXPECT_EQ(dialog.GetFileExt(), "Jpeg");
}

TEST(FileDialog, NameEndingInATrailByteBackslashIsNotCut) {
  ScopedSeam open(Seams::SetOpenFileDialog, [](OPENFILENAMEA& ofn) {
    lstrcpynA(ofn.lpstrFile, "D:\\备份\\誠", static_cast<int>(ofn.nMaxFile));  // 誠 ends in 5C
    return true;
  });
  CFileDialog dialog(TRUE);
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.GetFileName(), "誠");
  EXPECT_TRUE(dialog.GetFileExt().IsEmpty());
}

TEST(FileDialog, SaveCancelledGivesCancel) {
  bool asked = false;
  ScopedSeam save(Seams::SetSaveFileDialog, [&](OPENFILENAMEA& ofn) {
    asked = true;
    EXPECT_EQ(ofn.Flags & ~(OFN_EXPLORER | OFN_NOCHANGEDIR), 0u);
    return false;
  });
  CFileDialog dialog(FALSE, nullptr, nullptr, 0, "Web档案 单个文件 (*.mht)|*.mht|所有文件 (*.*)|*.*||");
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(asked);
}

TEST(FileDialog, ReplyFillingTheWholeBufferIsTerminated) {
  ScopedSeam save(Seams::SetSaveFileDialog, [](OPENFILENAMEA& ofn) {
    std::fill(ofn.lpstrFile, ofn.lpstrFile + ofn.nMaxFile, 'a');
    return true;
  });
  CFileDialog dialog(FALSE, "mht", "初始.mht");
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.GetPathName().GetLength(), static_cast<int>(dialog.m_ofn.nMaxFile) - 1);
}

TEST(FileDialog, InitialNameAndDefaultExtensionReachTheDialog) {
  CString initial;
  CString ext;
  ScopedSeam save(Seams::SetSaveFileDialog, [&](OPENFILENAMEA& ofn) {
    initial = ofn.lpstrFile;
    ext = ofn.lpstrDefExt ? ofn.lpstrDefExt : "";
    return false;
  });
  CFileDialog dialog(FALSE, "mht", "初始.mht");
  dialog.DoModal();
  EXPECT_EQ(initial, "初始.mht");
  EXPECT_EQ(ext, "mht");
}

}  // namespace
