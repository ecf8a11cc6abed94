#include "graphic_viewer/GvDocument.h"
#include "graphic_viewer/GvEntities.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace vorlan {
namespace {

using Box = std::array<double, 4>;

Box BoxOf(const TGV_ENTITY& e) {
  return {e.XMin, e.YMin, e.XMax, e.YMax};
}

void ExpectBox(const TGV_ENTITY& e, Box expected) {
  const Box box = BoxOf(e);
  for (int i = 0; i < 4; ++i)
    EXPECT_NEAR(box[static_cast<std::size_t>(i)], expected[static_cast<std::size_t>(i)], 1e-9)
        << "bound " << i;
}

std::unique_ptr<TGV_POLYGONE> Triangle() {
  auto polygon = std::make_unique<TGV_POLYGONE>();
  polygon->AddVertex(0, 0);
  polygon->AddVertex(40, 0);
  polygon->AddVertex(0, 30);
  return polygon;
}

// The user's locale (the tests run with a decimal comma) never reaches the dimension text.
TEST(Entity, DimensionTextIsTheLengthInFiveSignificantDigits) {
  for (auto [x2, y2, text] : {std::tuple{3.0, 4.0, "5"},
                              {1.0, 1.0, "1.4142"},
                              {12345.678, 0.0, "12346"},
                              {123456.7, 0.0, "1.2346e+05"}}) {
    SCOPED_TRACE(text);
    const TGV_COTE dimension(0, 0, x2, y2);
    EXPECT_EQ(dimension.Text, text);
  }
}

TEST(Entity, ExtentsByClass) {
  struct Case {
    const char* name;
    std::unique_ptr<TGV_ENTITY> entity;
    Box box;
  };
  Case cases[] = {
      {"line", std::make_unique<TGV_LINE>(5, 9, -1, 2), {-1, 2, 5, 9}},
      {"point", std::make_unique<TGV_Point>(5, 5, 2), {3, 3, 7, 7}},
      {"circle", std::make_unique<TGV_CERCLE>(10, 20, 5), {5, 15, 15, 25}},
      {"quarter arc", std::make_unique<TGV_ARC>(0, 0, 10, 10, 0, 0, 10), {0, 0, 10, 10}},
      {"three-quarter arc", std::make_unique<TGV_ARC>(0, 0, 10, 0, 10, 10, 0), {-10, -10, 10, 10}},
      {"arc across the +x axis", std::make_unique<TGV_ARC>(0, 0, 10, 0, -10, 0, 10), {0, -10, 10, 10}},
      {"polygon", Triangle(), {0, 0, 40, 30}},
      {"dimension", std::make_unique<TGV_COTE>(10, 0, 0, 4), {0, 0, 10, 4}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.entity->CalcExtents();
    ExpectBox(*c.entity, c.box);
  }
}

TEST(Entity, AGroupMergesItsChildrenAndLeavesOutNonFiniteOnes) {
  TGV_GROUPE group;
  ExpectBox(group, {999999, 999999, -999999, -999999});
  const double nan = std::numeric_limits<double>::quiet_NaN();
  group.Add(std::make_unique<TGV_LINE>(0, 0, 1, 1));
  group.Add(std::make_unique<TGV_LINE>(nan, 0, 1e9, 1e9));
  group.Add(std::make_unique<TGV_CERCLE>(10, 10, std::numeric_limits<double>::infinity()));
  auto inner = std::make_unique<TGV_GROUPE>();
  inner->Add(std::make_unique<TGV_CERCLE>(10, 10, 5));
  group.Add(std::move(inner));
  ExpectBox(group, {0, 0, 15, 15});
  group.CalcExtents();
  ExpectBox(group, {0, 0, 15, 15});
  EXPECT_FALSE(group.Children[1]->IsInWindow(-1e10, -1e10, 1e10, 1e10));

  // A text's box comes from its last measuring; recomputing the group keeps it.
  TGV_ENTITY& text = group.Add(std::make_unique<TGV_TEXTE>(5, 5, "wide", 10));
  text.XMin = -20, text.XMax = 30;
  group.CalcExtents();
  ExpectBox(group, {-20, 0, 30, 15});
  EXPECT_FALSE(group.Children[1]->HitTest(0, 0, GvTransform{}));
}

// At one pixel per unit with the window's origin at pixel (0, 200): world (x, y) is pixel (x, 200 - y).
TEST(Entity, HitTestsAllowFivePixels) {
  GvTransform t;
  t.OffsetY = 200;
  const TGV_CERCLE circle(100, 100, 50);
  const TGV_LINE line(0, 0, 100, 0);
  const TGV_ARC arc(100, 100, 50, 150, 100, 100, 150);
  TGV_GROUPE group;
  group.Add(std::make_unique<TGV_LINE>(0, 0, 100, 0));
  const auto polygon = Triangle();
  // clang-format off
  struct Case { const char* name; const TGV_ENTITY& entity; int x, y; bool hit; };
  const Case cases[] = {
      {"circle, 4 px outside", circle, 154, 100, true}, {"circle, 5 px outside", circle, 155, 100, false},
      {"circle, 4 px inside", circle, 146, 100, true},  {"circle centre", circle, 100, 100, false},
      {"line, 5 px above", line, 50, 195, true},        {"line, 6 px above", line, 50, 194, false},
      {"line, past its end", line, 107, 200, false},    {"arc, on its sweep", arc, 135, 65, true},
      {"arc, off its sweep", arc, 65, 135, false},      {"group, through its line", group, 50, 198, true},
      {"group, away", group, 50, 150, false},           {"polygon, inside", *polygon, 5, 195, true},
      {"polygon, outside", *polygon, 35, 170, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.entity.HitTest(c.x, c.y, t), c.hit);
  }
}

TEST(Entity, WindowTests) {
  const TGV_LINE crossing(-50, 5, 50, 5), outside(-50, 20, -10, 30), inside(1, 1, 9, 9);
  TGV_GROUPE group;
  group.Add(std::make_unique<TGV_LINE>(-50, 20, -10, 30));
  group.Add(std::make_unique<TGV_CERCLE>(5, 5, 1));
  const TGV_CERCLE wide(5, 5, 6);
  EXPECT_TRUE(crossing.IsInWindow(0, 0, 10, 10)) << "a line crossing an edge";
  EXPECT_FALSE(outside.IsInWindow(0, 0, 10, 10));
  EXPECT_TRUE(inside.IsInWindow(1, 1, 9, 9)) << "bounds are inclusive";
  EXPECT_TRUE(group.IsInWindow(0, 0, 10, 10)) << "any child";
  EXPECT_FALSE(wide.IsInWindow(0, 0, 10, 10)) << "only lines are taken when they cross";
}

class FixedMeasurer : public TGV_TextMeasurer {
public:
  QSize TextExtent(const Font& font, const QString& text) override {
    lastSize = font.size();
    return {static_cast<int>(text.size()) * 10, 12};
  }
  int lastSize = 0;
};

class MeasuringViewer : public TGV_ViewerLink {
public:
  const GvTransform& Transform() const override { return transform; }
  TGV_TextMeasurer& Measurer() override { return measurer; }
  const TGV_DOCUMENT* ShownDocument() const override { return nullptr; }
  void AppendToDisplayList(TGV_ENTITY&) override {}
  void RebuildDisplayList() override {}
  void Redraw() override {}
  void DrawDisplayList(Canvas&, int, int) override {}

  GvTransform transform;
  FixedMeasurer measurer;
};

// A text's box is its measured extent centred on (X, Y) and turned with it; without a viewer to
// measure on it is the point.
TEST(Entity, TextBoxesAreMeasuredOnTheFirstViewer) {
  TGV_DOCUMENT document;
  TGV_TEXTE alone(100, 50, "abc", 10, &document);
  ExpectBox(alone, {100, 50, 100, 50});
  EXPECT_FALSE(alone.GripsShown);

  MeasuringViewer viewer;
  viewer.transform.Scale = 2;
  document.AttachViewer(viewer);
  TGV_TEXTE text(100, 50, "abc", 10, &document);
  EXPECT_EQ(viewer.measurer.lastSize, 20) << "measured at the scaled size";
  ExpectBox(text, {100 - 7.5, 50 - 3, 100 + 7.5, 50 + 3});
  text.Angle = std::numbers::pi / 2;
  text.CalcExtents();
  ExpectBox(text, {100 - 3, 50 - 7.5, 100 + 3, 50 + 7.5});
  viewer.transform.Scale = 0.1;
  text.CalcExtents();
  EXPECT_EQ(text.XMin, 100) << "a text drawn at 1 point or less is not measured";
}

} // namespace
} // namespace vorlan
