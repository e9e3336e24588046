// The seams: each defaults to the real call, a scoped answer replaces it and
// puts the real call back, and the recorders answer message boxes by the
// box's buttons or from their queue.
#include <gtest/gtest.h>

#include "MessageBoxRecorder.h"
#include "ScopedSeam.h"
#include "Seams.h"

namespace {

using OrbTesting::ScopedSeam;

TEST(Seams, ScopedAnswerIsRemovedAtTheEndOfItsScope) {
  {
    ScopedSeam clock(Seams::SetTickCount, [] { return DWORD{42}; });
    EXPECT_EQ(Seams::GetTickCount(), 42u);
  }
  const DWORD real = Seams::GetTickCount();
  const DWORD system = ::GetTickCount();
  EXPECT_LE(system - real, 1000u);  // back to the system's clock
}

TEST(Seams, RealDefaultsAnswerSensibly) {
  const CString exe = Seams::GetHostExePath();
  EXPECT_EQ(exe.Right(18).CompareNoCase("test_framework.exe"), 0) << exe.GetString();
  const RECT area = Seams::GetWorkArea();
  EXPECT_GT(area.right - area.left, 0);
  EXPECT_GT(area.bottom - area.top, 0);
  const std::vector<CString> fonts = Seams::GetScreenFonts();
  ASSERT_FALSE(fonts.empty());
  for (size_t i = 0; i < fonts.size(); ++i)
    for (size_t j = i + 1; j < fonts.size(); ++j) ASSERT_NE(fonts[i], fonts[j]) << "listed twice";
}

TEST(MessageBoxRecorder, AnswersByButtonsOrQueueAndRecords) {
  OrbTesting::MessageBoxRecorder boxes;
  struct Row {
    UINT type;
    int expected;
  };
  const Row rows[] = {{MB_OK | MB_ICONEXCLAMATION, IDOK},
                      {MB_OKCANCEL | MB_ICONQUESTION, IDOK},
                      {MB_YESNO | MB_ICONQUESTION, IDYES},
                      {MB_YESNOCANCEL, IDYES},
                      {MB_RETRYCANCEL, IDRETRY},
                      {MB_ABORTRETRYIGNORE, IDABORT}};
  for (const Row& row : rows) EXPECT_EQ(Seams::ShowMessageBox(nullptr, "问", "提示", row.type), row.expected);
  boxes.Answer(IDNO);
  EXPECT_EQ(Seams::ShowMessageBox(nullptr, "是否覆盖(是/否)？", "提示", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(Seams::ShowMessageBox(nullptr, "again", "提示", MB_YESNO), IDYES);  // queue used up
  ASSERT_EQ(boxes.Count(), 8u);
  EXPECT_EQ(boxes.Asked()[6].text, "是否覆盖(是/否)？");
  EXPECT_EQ(boxes.Asked()[6].caption, "提示");
  EXPECT_EQ(boxes.Asked()[6].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
}

}  // namespace
