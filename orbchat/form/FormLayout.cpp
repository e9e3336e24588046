#include "form/FormLayout.h"

namespace {

CRect Sized(int x, int y, int width, int height) { return CRect(x, y, x + width, y + height); }

// The toolbar row: font name, size, text colour, background colour, emoticon,
// picture and capture buttons, each one pixel right of the previous one.
void PlaceToolbar(FormLayout& layout, int left, int top, int captureWidth) {
  layout.fontName = Sized(left, top, 100, 20);
  layout.fontSize = Sized(layout.fontName.right + 1, top, 40, 20);
  layout.foreColor = Sized(layout.fontSize.right + 1, top, 40, 18);
  layout.backColor = Sized(layout.foreColor.right + 1, top, 40, 18);
  layout.face = Sized(layout.backColor.right + 1, top, 20, 20);
  layout.picture = Sized(layout.face.right + 1, top, 20, 20);
  layout.capture = Sized(layout.picture.right + 1, top, captureWidth, 20);
}

}  // namespace

FormLayout ComputeFormLayout(const RECT& skinClient, const FormLayoutSizes& sizes) {
  CRect c(skinClient);
  c.top += 8;
  const int b = sizes.bannerHeight;
  FormLayout layout;
  layout.ad = CRect(c.right - sizes.adWidth, c.top, c.right, c.top + b);
  layout.banner = CRect(c.left, c.top, c.right - sizes.adWidth, c.top + b);

  layout.infoHost.top = c.top + b + 1;
  layout.infoHost.bottom = c.bottom - 33;
  layout.infoHost.right = c.right - 1;
  layout.infoHost.left = layout.infoHost.right - sizes.membersPaneWidth;

  layout.editor.bottom = c.bottom - 32;
  layout.editor.top = layout.editor.bottom - sizes.editAreaHeight;
  layout.editor.left = c.left;
  layout.editor.right = layout.infoHost.left - 4;

  PlaceToolbar(layout, c.left + 1, layout.editor.top - 24, sizes.captureWidth);

  layout.splitRight = CRect(layout.infoHost.left - 5, c.top + b + 1, layout.infoHost.left - 1, c.bottom - 32);
  layout.splitMsgEdit = CRect(c.left + 1, layout.editor.top - 30, layout.editor.right, layout.editor.top - 26);
  layout.view = CRect(c.left + 1, c.top + b + 1, layout.editor.right, layout.splitMsgEdit.top - 1);

  layout.close = CRect(c.right - 180, c.bottom - 24, c.right - 100, c.bottom - 2);
  layout.send = Sized(layout.close.right + 1, layout.close.top, 80, layout.close.Height());
  layout.sendMode = Sized(layout.send.right - 2, layout.close.top, 16, layout.close.Height());
  return layout;
}

CRect HostedControlRect(const CRect& area) { return Sized(-2, -2, area.Width() + 4, area.Height() + 4); }

void FollowSplitMsgEdit(FormLayout& layout, const CRect& splitter) {
  layout.splitMsgEdit = splitter;
  layout.view.bottom = splitter.top - 1;
  const int fontNameHeight = layout.fontName.Height();
  for (CRect* tool : {&layout.fontName, &layout.fontSize, &layout.foreColor, &layout.backColor, &layout.face,
                      &layout.picture, &layout.capture})
    tool->MoveToY(splitter.bottom + 1);
  layout.editor.top = splitter.bottom + fontNameHeight + 1;
}

void FollowSplitRight(FormLayout& layout, const CRect& splitter) {
  layout.splitRight = splitter;
  layout.view.right = splitter.left - 1;
  layout.splitMsgEdit.right = splitter.left - 1;
  layout.editor.right = splitter.left - 1;
  layout.infoHost.left = splitter.right + 1;
}
