// The conversation window's layout as numbers: a known client rectangle and
// control sizes give known rectangles, and the splitters move their
// neighbours only.
#include <gtest/gtest.h>

#include "form/FormLayout.h"

namespace {

// The skin's client rectangle of a 640 x 480 client area (4-pixel margin).
constexpr RECT kClient{4, 4, 636, 476};
constexpr FormLayoutSizes kSizes{15, 122, 24, 110, 73};

void ExpectRect(const CRect& actual, int l, int t, int r, int b, const char* what) {
  EXPECT_EQ(actual, CRect(l, t, r, b)) << what << ": " << actual.left << "," << actual.top << "," << actual.right
                                       << "," << actual.bottom;
}

TEST(FormLayout, KnownClientRectangle) {
  const FormLayout l = ComputeFormLayout(kClient, kSizes);
  ExpectRect(l.ad, 514, 12, 636, 27, "ad");
  ExpectRect(l.banner, 4, 12, 514, 27, "banner");
  ExpectRect(l.infoHost, 525, 28, 635, 443, "info host");
  ExpectRect(l.editor, 4, 371, 521, 444, "editor");
  ExpectRect(l.fontName, 5, 347, 105, 367, "font name");
  ExpectRect(l.fontSize, 106, 347, 146, 367, "font size");
  ExpectRect(l.foreColor, 147, 347, 187, 365, "text colour");
  ExpectRect(l.backColor, 188, 347, 228, 365, "background colour");
  ExpectRect(l.face, 229, 347, 249, 367, "emoticons");
  ExpectRect(l.picture, 250, 347, 270, 367, "picture");
  ExpectRect(l.capture, 271, 347, 295, 367, "capture");
  ExpectRect(l.splitRight, 520, 28, 524, 444, "vertical splitter");
  ExpectRect(l.splitMsgEdit, 5, 341, 521, 345, "horizontal splitter");
  ExpectRect(l.view, 5, 28, 521, 340, "view");
  ExpectRect(l.close, 456, 452, 536, 474, "close");
  ExpectRect(l.send, 537, 452, 617, 474, "send");
  ExpectRect(l.sendMode, 615, 452, 631, 474, "send mode");
}

TEST(FormLayout, HorizontalSplitterMovesViewToolbarAndEditorOnly) {
  FormLayout l = ComputeFormLayout(kClient, kSizes);
  const FormLayout before = l;
  FollowSplitMsgEdit(l, CRect(5, 301, 521, 305));
  ExpectRect(l.splitMsgEdit, 5, 301, 521, 305, "horizontal splitter");
  ExpectRect(l.view, 5, 28, 521, 300, "view");
  for (const CRect* tool : {&l.fontName, &l.fontSize, &l.foreColor, &l.backColor, &l.face, &l.picture, &l.capture})
    EXPECT_EQ(tool->top, 306);
  EXPECT_EQ(l.capture.Width(), 24);
  EXPECT_EQ(l.foreColor.Height(), 18);
  ExpectRect(l.editor, 4, 326, 521, 444, "editor");
  EXPECT_EQ(l.infoHost, before.infoHost);
  EXPECT_EQ(l.splitRight, before.splitRight);
  EXPECT_EQ(l.send, before.send);
}

TEST(FormLayout, VerticalSplitterMovesTheLeftColumnsRightEdgeAndThePane) {
  FormLayout l = ComputeFormLayout(kClient, kSizes);
  const FormLayout before = l;
  FollowSplitRight(l, CRect(480, 28, 484, 444));
  ExpectRect(l.view, 5, 28, 479, 340, "view");
  ExpectRect(l.splitMsgEdit, 5, 341, 479, 345, "horizontal splitter");
  ExpectRect(l.editor, 4, 371, 479, 444, "editor");
  ExpectRect(l.infoHost, 485, 28, 635, 443, "info host");
  EXPECT_EQ(l.fontName, before.fontName);
  EXPECT_EQ(l.banner, before.banner);
}

}  // namespace
