// The rules of choosing a rectangle, without a window: what a press, a drag,
// a release, a double click, Enter and a cancel do in every state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RegionSelection.h"
#include "ScrCapTestSupport.h"

namespace {

using State = CRegionSelection::State;

// One event: D press, M move, U release, C double click, E Enter, X cancel.
struct Event {
  char kind;
  int x = 0;
  int y = 0;
};

struct Row {
  const char* label;
  std::vector<Event> events;
  State state;
  CRect rect;
};

void Apply(CRegionSelection& selection, const Event& event) {
  const CPoint at(event.x, event.y);
  switch (event.kind) {
    case 'D': selection.ButtonDown(at); break;
    case 'M': selection.MoveTo(at); break;
    case 'U': selection.ButtonUp(at); break;
    case 'C': selection.DoubleClick(at); break;
    case 'E': selection.Confirm(); break;
    case 'X': selection.Cancel(); break;
    default: FAIL() << "unknown event " << event.kind;
  }
}

TEST(RegionSelection, FollowsPressDragReleaseAndConfirm) {
  // Bounds of 100 x 80 pixels; a kept rectangle (10,10)-(50,40) to start from.
  const std::vector<Event> kept = {{'D', 10, 10}, {'M', 30, 20}, {'U', 50, 40}};
  auto after = [&](std::vector<Event> more) {
    std::vector<Event> all = kept;
    all.insert(all.end(), more.begin(), more.end());
    return all;
  };
  const Row rows[] = {
      {"drag and release keeps the rectangle", kept, State::Selected, CRect(10, 10, 50, 40)},
      {"Enter confirms a kept rectangle", after({{'E'}}), State::Confirmed, CRect(10, 10, 50, 40)},
      {"a drag up and left is normalised", {{'D', 50, 40}, {'U', 10, 10}}, State::Selected, CRect(10, 10, 50, 40)},
      {"a click without a drag keeps nothing", {{'D', 20, 20}, {'U', 20, 20}}, State::Idle, CRect()},
      {"Enter after a mere click confirms nothing", {{'D', 20, 20}, {'U', 20, 20}, {'E'}}, State::Idle, CRect()},
      {"a line without width keeps nothing", {{'D', 20, 20}, {'U', 20, 70}}, State::Idle, CRect()},
      {"Enter while still dragging does nothing", {{'D', 10, 10}, {'M', 50, 50}, {'E'}}, State::Dragging,
       CRect(10, 10, 50, 50)},
      {"a double click inside confirms without moving the rectangle",
       after({{'D', 30, 30}, {'U', 30, 30}, {'C', 30, 30}}), State::Confirmed, CRect(10, 10, 50, 40)},
      {"a double click outside starts a new rectangle", after({{'D', 80, 70}, {'U', 80, 70}, {'C', 80, 70}}),
       State::Dragging, CRect(80, 70, 80, 70)},
      {"a press outside starts over", after({{'D', 60, 60}, {'M', 65, 65}, {'U', 70, 75}}), State::Selected,
       CRect(60, 60, 70, 75)},
      {"a drag past the edges stays on the screen", {{'D', 90, 70}, {'M', 500, -300}, {'U', 500, -300}},
       State::Selected, CRect(90, 0, 100, 70)},
      {"the whole screen can be chosen", {{'D', -5, -5}, {'U', 100, 80}}, State::Selected, CRect(0, 0, 100, 80)},
      {"a cancel drops the rectangle", after({{'X'}}), State::Cancelled, CRect()},
      {"a cancel after the confirmation changes nothing", after({{'E'}, {'X'}}), State::Confirmed,
       CRect(10, 10, 50, 40)},
      {"input after a cancel is ignored", {{'X'}, {'D', 10, 10}, {'U', 50, 40}, {'E'}}, State::Cancelled, CRect()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    CRegionSelection selection(CRect(0, 0, 100, 80));
    for (const Event& event : row.events) Apply(selection, event);
    EXPECT_EQ(selection.GetState(), row.state);
    EXPECT_EQ(selection.GetRect(), row.rect);
  }
}

}  // namespace
