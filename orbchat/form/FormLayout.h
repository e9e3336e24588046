#pragma once
// Where the controls of a conversation window go, computed from the client
// rectangle and a few sizes, without any window: the window reads the sizes,
// calls these functions and moves its controls to the results. All
// rectangles are in the form's client coordinates.
#include <windows.h>

#include "CRect.h"

// The sizes the layout keeps from the controls themselves.
struct FormLayoutSizes {
  int bannerHeight = 0;      // own height of the banner 22011
  int adWidth = 0;           // own width of the placeholder 22016
  int captureWidth = 0;      // own width of the capture button 22083
  int membersPaneWidth = 0;  // width of the right-hand pane 22046 as the template laid it out
  int editAreaHeight = 0;    // height of the editor area 22030 as the template laid it out
};

// One rectangle per laid-out control of the form.
struct FormLayout {
  CRect ad;            // 22016
  CRect banner;        // 22011
  CRect infoHost;      // 22046, the info pane fills it
  CRect editor;        // 22030, the editor control fills it
  CRect fontName;      // 22037
  CRect fontSize;      // 22038
  CRect foreColor;     // 22040
  CRect backColor;     // 22041
  CRect face;          // 22033
  CRect picture;       // 22032
  CRect capture;       // 22083
  CRect splitRight;    // 22025
  CRect splitMsgEdit;  // 22026
  CRect view;          // 22029, the view control fills it
  CRect close;         // 1
  CRect send;          // 22042
  CRect sendMode;      // 22085
};

// The whole layout for the skin's client rectangle of the form (the top 8
// pixels stay free). Nothing is clamped: a form smaller than the fixed
// margins gives overlapping or inverted rectangles.
FormLayout ComputeFormLayout(const RECT& skinClient, const FormLayoutSizes& sizes);

// The rectangle of an HTML control inside its area, in the area's client
// coordinates: 2 pixels larger on every side, so its own border lies outside.
CRect HostedControlRect(const CRect& area);

// The horizontal splitter (between view and editor) now lies at splitter:
// the view ends above it, the toolbar row sits one pixel below it and the
// editor area starts below the toolbar; nothing else changes.
void FollowSplitMsgEdit(FormLayout& layout, const CRect& splitter);
// The vertical splitter (before the right-hand pane) now lies at splitter:
// the view, the horizontal splitter and the editor end before it and the
// right-hand pane starts after it.
void FollowSplitRight(FormLayout& layout, const CRect& splitter);
