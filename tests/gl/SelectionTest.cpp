#include "ViewTestHost.h"

#include <QOpenGLContext>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <iterator>

namespace vorlan {
namespace {

using Events = std::vector<std::string>;
using Names = std::vector<std::int32_t>;

Names namesOf(const TObjectSelect& record) {
  return Names(record.Names.begin(), record.Names.begin() + record.NameCount.toInt());
}

// "11.12" for the names 11 and 12.
std::string describe(const TObjectSelect& record) {
  std::string text;
  for (std::int32_t name : namesOf(record))
    text += (text.empty() ? "" : ".") + std::to_string(name);
  return text;
}

Events describe(const TObjectSelectList& list) {
  Events described;
  std::ranges::transform(list, std::back_inserter(described), [](auto& r) { return describe(r); });
  return described;
}

TEST(SelectionHitRecords, WalkKeepsHitsOfOneToThirtyNamesAndStopsAtADeeperOne) {
  struct Case {
    const char* name;
    std::vector<GLuint> buffer;
    int hits;
    std::vector<Names> records;
  };
  std::vector<GLuint> thirty{30, 0, 0};
  for (GLuint i = 1; i <= 30; ++i)
    thirty.push_back(i);
  std::vector<GLuint> deep{1, 0, 0, 20, 31, 0, 0};
  deep.insert(deep.end(), 31, 5);
  deep.insert(deep.end(), {1, 0, 0, 21});
  const Case cases[] = {
      {"a hit without names is stepped over", {0, 5, 9, 2, 5, 9, 7, 8}, 2, {{7, 8}}},
      {"thirty names fill the record", thirty, 1, {Names(thirty.begin() + 3, thirty.end())}},
      {"names read as signed", {1, 0, 0, 0x80000000u}, 1, {{INT_MIN}}},
      {"31 names end the walk", deep, 3, {{20}}},
      {"overflowed buffer", {1, 0, 0, 7}, -1, {}},
      {"hit count beyond the buffer", {1, 0, 0, 7, 2, 0, 0}, 2, {{7}}},
  };
  for (const auto& [name, buffer, hits, records] : cases) {
    SCOPED_TRACE(name);
    TObjectSelectList list;
    int afterEach = 0;
    WalkHitRecords(buffer, hits, list, [&] { ++afterEach; });
    ASSERT_EQ(list.size(), records.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
      EXPECT_EQ(namesOf(list[i]), records[i]);
      EXPECT_TRUE(std::all_of(list[i].Names.begin() + records[i].size(), list[i].Names.end(),
                              [](std::int32_t unused) { return unused == -1; }));
    }
    EXPECT_EQ(afterEach, std::max(hits, 0)) << "once per hit, kept or not";
  }
}

struct NamedSquare {
  Names names;
  double x, y, z;
};

const NamedSquare squareA{{1}, -250, 0, -10};
const NamedSquare squareB{{2}, 250, 0, -10};
const NamedSquare stack[] = {{{10}, 0, 250, -10}, {{11, 12}, 0, 250, -20}, {{13}, 0, 250, -30}};

// A host drawing named squares in the top view, in SELECT mode, recording the selection events.
class Selection : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(host.showActive());
    host.useTopView();
    host.view->Initialisation();
    host.view->SetDrawMode(CViewMode::SELECT);
    host.view->OnSelectRedraw = [this](TGL_VIEW&) {
      ++selectionPasses;
      drawNamed();
    };
    host.view->OnRedraw = [this](TGL_VIEW&) { drawNamed(); };
    host.view->OnSortSelectionList = [this](TGL_VIEW& view, TObjectSelectList&) { host.note(view, "Sort"); };
    host.view->OnDeselectAll = [this](TGL_VIEW& view, TObjectSelectList& list) {
      host.note(view, "DeselectAll(" + std::to_string(list.size()) + ")");
    };
    host.view->OnSelectObject = [this](TGL_VIEW& view, const TObjectSelect& object) {
      host.note(view, "Select " + describe(object));
    };
    host.view->OnSelectTempObject = [this](TGL_VIEW& view, const TObjectSelect& object) {
      host.note(view, "Temp " + describe(object));
    };
  }

  void drawNamed() {
    glColor3d(1, 0, 0);
    for (const NamedSquare& square : squares) {
      for (std::int32_t name : square.names)
        glPushName(name);
      test::drawSquare(square.x, square.y, square.z, 50);
      for (std::size_t i = 0; i < square.names.size(); ++i)
        glPopName();
    }
  }

  // The selection events of one press, without the sorting ones.
  Events click(QPoint at, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {}) {
    host.takeEvents();
    host.press(at, button, keys);
    Events events = host.takeEvents();
    std::erase(events, "Sort");
    host.release(at, button, keys);
    host.takeEvents();
    return events;
  }

  static QPoint at(const NamedSquare& square) { return test::pixelOf(square.x, square.y); }

  test::ViewHost host;
  std::vector<NamedSquare> squares{squareA, squareB, stack[0], stack[1], stack[2]};
  int selectionPasses = 0;
  const QPoint emptySpot = test::pixelOf(400, -400);
};

TEST_F(Selection, PickFindsTheNamedObjectsUnderTheCursorAndLeavesThePictureAlone) {
  host.view->Redraw();
  EXPECT_TRUE(host.view->Pick(at(squareA).x(), at(squareA).y()));
  ASSERT_EQ(host.view->PickList().size(), 1u);
  EXPECT_EQ(host.view->PickList()[0].NameCount, "1");
  // Reordered after each record: [10], then [11.12, 10], then [13, 10, 11.12].
  host.view->OnSortSelectionList = [](TGL_VIEW&, TObjectSelectList& list) {
    std::reverse(list.begin(), list.end());
  };
  EXPECT_TRUE(host.view->Pick(at(stack[0]).x(), at(stack[0]).y()));
  EXPECT_EQ(describe(host.view->PickList()), (Events{"13", "10", "11.12"}));
  EXPECT_FALSE(host.view->Pick(emptySpot.x(), emptySpot.y()));
  EXPECT_TRUE(host.view->PickList().empty());

  ASSERT_TRUE(host.view->makeContextCurrent());
  GLubyte pixel[4] = {};
  glReadPixels(at(squareA).x(), test::viewSide - 1 - at(squareA).y(), 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  host.view->releaseContext();
  EXPECT_GT(pixel[0], 200) << "the frame on show still holds the object after the picks";
  host.view->SetCamera(nullptr);
  const int passes = selectionPasses;
  EXPECT_FALSE(host.view->Pick(at(squareA).x(), at(squareA).y())) << "no camera, no pick";
  EXPECT_EQ(selectionPasses, passes);
}

// A throwing handler must not leave the view picking, its pick region on the stack or its context
// current: the next pass would draw into the wrong mode.
TEST_F(Selection, HandlersThatThrowLeaveTheViewRenderingAndItsContextReleased) {
  host.view->OnSelectRedraw = [](TGL_VIEW&) { throw std::runtime_error("selection handler"); };
  EXPECT_THROW(host.view->Pick(at(squareA).x(), at(squareA).y()), std::runtime_error);
  host.view->OnRedraw = [](TGL_VIEW&) { throw std::runtime_error("redraw handler"); };
  EXPECT_THROW(host.view->Redraw(), std::runtime_error);
  EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
  ASSERT_TRUE(host.view->makeContextCurrent());
  GLint mode = 0, projections = 0;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projections);
  host.view->releaseContext();
  EXPECT_EQ(std::pair(mode, projections), std::pair(GL_RENDER, 1)) << "the pick region is off the stack";
}

TEST_F(Selection, LeftClicksSelectToggleWithCtrlAndDeselectOnEmptySpace) {
  struct Step {
    QPoint where;
    Qt::KeyboardModifiers keys;
    Events events;
    Events selected;
  };
  const Step steps[] = {
      {at(squareA), {}, {"DeselectAll(0)", "Select 1"}, {"1"}},
      {at(squareB), Qt::ControlModifier, {"Select 2"}, {"1", "2"}},
      {at(squareA), Qt::ControlModifier, {"Select 1"}, {"2"}},
      {at(squareA), Qt::ControlModifier, {"Select 1"}, {"2", "1"}},
      // Several objects with Ctrl: a provisional choice that keeps the selection, then appended.
      {at(stack[0]), Qt::ControlModifier, {"Temp 10"}, {"2", "1"}},
      {emptySpot, Qt::ControlModifier, {"Temp 10", "Select 10"}, {"2", "1", "10"}},
      {emptySpot, {}, {"DeselectAll(3)"}, {}},
      {emptySpot, {}, {"DeselectAll(0)"}, {}},
  };
  for (int step = 0; const auto& [where, keys, events, selected] : steps) {
    SCOPED_TRACE(++step);
    EXPECT_EQ(click(where, Qt::LeftButton, keys), events);
    EXPECT_EQ(describe(host.view->SelectedList()), selected);
  }
  EXPECT_EQ(host.view->beeps, 1);
}

TEST_F(Selection, StackedObjectsBeepAndCycleWithTheRightButtonUntilALeftClickConfirms) {
  const QPoint onStack = at(stack[0]);
  click(at(squareA));
  EXPECT_EQ(click(onStack), (Events{"DeselectAll(1)", "Temp 10"}));
  EXPECT_EQ(host.view->beeps, 1);
  for (const auto& [index, events] : {std::pair{1, Events{"Temp 10", "Temp 11.12"}},
                                      {2, {"Temp 11.12", "Temp 13"}},
                                      {0, {"Temp 13", "Temp 10"}},
                                      {1, {"Temp 10", "Temp 11.12"}}}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(click(onStack, Qt::RightButton), events);
    EXPECT_EQ(host.view->PickCycle(), index);
  }
  const int passes = selectionPasses;
  EXPECT_EQ(click(emptySpot), (Events{"Temp 11.12", "DeselectAll(0)", "Select 11.12"}));
  EXPECT_EQ(selectionPasses, passes) << "the confirming click picks nothing";
  EXPECT_EQ(describe(host.view->SelectedList()), Events{"11.12"});
  EXPECT_EQ(click(onStack, Qt::RightButton), Events{}) << "no provisional choice left to cycle";
}

} // namespace
} // namespace vorlan
