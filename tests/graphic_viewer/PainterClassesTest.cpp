#include "graphic_viewer/GvPainter.h"

#include "graphic_viewer/GvDocument.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <set>

namespace vorlan {
namespace {

using test::rgbAt;

constexpr std::uint32_t WhitePixel = 0xFFFFFF;
constexpr TColor Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255);

// 0xRRGGBB of a colour value 0x00BBGGRR.
std::uint32_t Rgb(TColor c) {
  return (std::uint32_t(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// One drawing unit per pixel, y up: the world point (x, y) is the pixel (x, 200 - y).
GvTransform UnitTransform() {
  GvTransform t;
  t.Xmin = 0, t.Ymin = 0, t.Xmax = 200, t.Ymax = 200;
  t.Scale = 1, t.OffsetX = 0, t.OffsetY = 200, t.Width = 200, t.Height = 200;
  return t;
}

QImage Drawn(TGV_ENTITY& entity, const GvTransform& transform = UnitTransform()) {
  QImage image = newBitmap(transform.Width, transform.Height);
  Canvas canvas(image);
  GvPainter(canvas, transform).Draw(entity);
  return image;
}

int CountColour(const QImage& image, std::uint32_t rgb, QRect area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.valid(x, y) && rgbAt(image, x, y) == rgb) ++count;
  return count;
}

// The pixels close to the text colour (glyph edges are anti-aliased).
std::set<std::pair<int, int>> TextPixels(const QImage& image, std::uint32_t textRgb) {
  std::set<std::pair<int, int>> pixels;
  const QColor text(textRgb);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c(image.pixel(x, y));
      const int distance = std::abs(c.red() - text.red()) + std::abs(c.green() - text.green()) +
                           std::abs(c.blue() - text.blue());
      if (distance < 150) pixels.insert({x, y});
    }
  return pixels;
}

QRect TextBox(const QImage& image, std::uint32_t textRgb) {
  QRect box;
  for (const auto& [x, y] : TextPixels(image, textRgb))
    box |= QRect(x, y, 1, 1);
  return box;
}

// The same glyphs, up to a pixel away (a half-pixel origin may round either way).
bool SameGlyphs(const std::set<std::pair<int, int>>& a, const std::set<std::pair<int, int>>& b) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      std::set<std::pair<int, int>> moved;
      for (const auto& [x, y] : b)
        moved.insert({x + dx, y + dy});
      if (moved == a) return true;
    }
  return false;
}

QImage TwoByTwoPicture() {
  QImage picture(2, 2, QImage::Format_RGB32);
  picture.setPixel(0, 0, 0xFF0000), picture.setPixel(1, 0, 0x00FF00);
  picture.setPixel(0, 1, 0x0000FF), picture.setPixel(1, 1, 0x123456);
  return picture;
}

// Pixels that show where each kind of entity lands: ends (the last pixel left out), quadrants, the
// sweep direction, the corners of a stretched picture, the axis icon's arms.
TEST(Painter, PixelProbes) {
  using Probes = std::vector<std::pair<QPoint, std::uint32_t>>;
  // clang-format off
  struct Case { const char* name; std::function<QImage()> draw; Probes probes; };
  const Case cases[] = {
      {"line", [] { TGV_LINE line(10, 10, 100, 10); return Drawn(line); },
       {{{10, 190}, 0}, {{99, 190}, 0}, {{100, 190}, WhitePixel}, {{50, 189}, WhitePixel}}},
      {"circle outline", [] { TGV_CERCLE circle(100, 100, 50); return Drawn(circle); },
       {{{50, 100}, 0}, {{149, 100}, 0}, {{100, 50}, 0}, {{100, 149}, 0}, {{100, 100}, WhitePixel}}},
      {"arc right to left, counter-clockwise: the upper half",
       [] { TGV_ARC arc(100, 100, 50, 150, 100, 50, 100); return Drawn(arc); },
       {{{100, 50}, 0}, {{100, 149}, WhitePixel}}},
      {"bitmap corners",
       [] {
         TGV_BITMAP bitmap;
         bitmap.Bitmap = TwoByTwoPicture();
         bitmap.X = 20, bitmap.Y = 20, bitmap.Width = 100, bitmap.Height = 100;
         return Drawn(bitmap);
       },
       {{{20, 80}, 0xFF0000}, {{119, 80}, 0x00FF00}, {{20, 179}, 0x0000FF}, {{119, 179}, 0x123456},
        {{120, 179}, WhitePixel}}},
      {"axis icon: arms of min(200, 400) / 20 from (10, 190)",
       [] { QImage image = newBitmap(400, 200); Canvas canvas(image); GvPainter::DrawAxisIcon(canvas, 400, 200); return image; },
       {{{15, 190}, 0x0000FF}, {{10, 185}, 0xFF0000}, {{21, 190}, WhitePixel}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QImage image = c.draw();
    for (const auto& [p, rgb] : c.probes)
      EXPECT_EQ(rgbAt(image, p.x(), p.y()), rgb) << p.x() << ", " << p.y();
  }
}

TEST(Painter, PolygonTakesItsLayersHatchAndDrawsEveryVertex) {
  TGV_DOCUMENT document;
  auto layer = std::make_unique<TGV_Layer>();
  layer->Id = 1, layer->BrushStyle = BrushStyle::Horizontal, layer->BrushColor = Blue, layer->PenColor = Red;
  document.AppendLayer(std::move(layer));

  // 700 vertices along the bottom edge, then the two top corners: only all of them enclose an area.
  TGV_POLYGONE polygon(&document, 1);
  for (int i = 0; i < 700; ++i)
    polygon.AddVertex(20 + i * 160.0 / 699, 20);
  polygon.AddVertex(180, 180);
  polygon.AddVertex(20, 180);
  const QImage image = Drawn(polygon);
  const QRect inside(40, 40, 120, 120);
  EXPECT_GT(CountColour(image, Rgb(Blue), inside), 100) << "hatch lines inside";
  EXPECT_GT(CountColour(image, WhitePixel, inside), 100) << "a hatch leaves gaps";
  EXPECT_EQ(rgbAt(image, 100, 180), Rgb(Red)) << "outline in the layer's pen";
}

TEST(Painter, TextIsCentredOnItsPointAtItsAngle) {
  for (const double degrees : {0.0, 90.0}) {
    SCOPED_TRACE(degrees);
    TGV_TEXTE text(100, 100, "HHHHHH", 20);
    text.Font.color = Blue;
    text.Angle = degrees * std::numbers::pi / 180;
    const QRect box = TextBox(Drawn(text), Rgb(Blue));
    ASSERT_FALSE(box.isEmpty());
    EXPECT_NEAR(box.center().x(), 100, 3);
    EXPECT_NEAR(box.center().y(), 100, 3);
    EXPECT_EQ(box.width() > box.height(), degrees == 0);
    EXPECT_NEAR(text.XMin + text.XMax, 200, 2) << "the box it was drawn with";
  }
}

// Both directions give the same upright text in the middle of the dimension.
TEST(Painter, DimensionTextReadsUprightWhicheverWayItIsDrawn) {
  QRect boxes[2];
  QImage images[2];
  int i = 0;
  for (const auto& [x1, x2] : {std::pair{20.0, 180.0}, {180.0, 20.0}}) {
    TGV_COTE dimension(x1, 100, x2, 100);
    dimension.TextSize = 12;
    dimension.Font.color = Blue;
    dimension.PenColor = Red;
    dimension.PenStyle = PenStyle::Dot;
    const QImage image = Drawn(dimension);
    EXPECT_EQ(dimension.PenStyle, PenStyle::Solid);
    EXPECT_EQ(dimension.Text, "160");
    images[i] = image;
    boxes[i++] = TextBox(image, Rgb(Blue));
    EXPECT_EQ(rgbAt(image, 60, 100), Rgb(Red)) << "solid line";
  }
  ASSERT_FALSE(boxes[0].isEmpty());
  EXPECT_NEAR(boxes[0].center().x(), 100, 2);
  EXPECT_LT(boxes[0].top(), 100);
  EXPECT_GT(boxes[0].bottom(), 100) << "a text that fits straddles its line";
  EXPECT_LE((boxes[0].center() - boxes[1].center()).manhattanLength(), 2);
  EXPECT_EQ(boxes[0].size(), boxes[1].size());
  // Upside-down text would fill the same box: the glyphs themselves must match.
  EXPECT_TRUE(SameGlyphs(TextPixels(images[0], Rgb(Blue)), TextPixels(images[1], Rgb(Blue))));
}

TEST(Painter, ADimensionTextWiderThanItsLengthMovesOffTheLine) {
  TGV_COTE dimension(95, 100, 105, 100);
  dimension.TextSize = 12;
  dimension.Font.color = Blue;
  const QRect box = TextBox(Drawn(dimension), Rgb(Blue));
  ASSERT_FALSE(box.isEmpty());
  EXPECT_LT(box.bottom(), 100);
}

TEST(Painter, AngularDimensionTextSitsOnTheMiddleOfItsArc) {
  TGV_COTEA angle;
  angle.CX = 100, angle.CY = 100, angle.Radius = 60;
  angle.X1 = 160, angle.Y1 = 100, angle.X2 = 100, angle.Y2 = 160;
  angle.Text = "90", angle.TextSize = 10, angle.Font.color = Blue;
  const QRect box = TextBox(Drawn(angle), Rgb(Blue));
  ASSERT_FALSE(box.isEmpty());
  // The arc's middle is at 45 degrees: (142, 142), the pixel (142, 58).
  EXPECT_NEAR(box.center().x(), 142, 3);
  EXPECT_NEAR(box.center().y(), 58, 3);
}

TEST(Painter, ArrowHeadStyles) {
  // Start at the pixel (50, 100), end at (150, 100), heads 20 units.
  // clang-format off
  struct Case { int style; bool atEnd; QPoint probe; bool coloured; };
  const Case cases[] = {
      {0, false, {56, 97}, false}, {1, false, {65, 97}, true},   {1, true, {135, 97}, true},
      {1, true, {65, 97}, false},  {2, false, {50, 90}, true},   {2, false, {50, 88}, false},
      {3, false, {47, 105}, true}, {3, false, {56, 104}, false}, {4, false, {53, 93}, true},
      {5, false, {50, 93}, true},  {5, false, {53, 93}, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << c.style << (c.atEnd ? " at the end" : " at the start"));
    TGV_ARROW arrow(50, 100, 150, 100);
    arrow.PenColor = Red;
    arrow.HeadSize = 20;
    (c.atEnd ? arrow.EndHead : arrow.StartHead) = c.style;
    const QImage image = Drawn(arrow);
    EXPECT_EQ(rgbAt(image, c.probe.x(), c.probe.y()) == Rgb(Red), c.coloured);
  }
}
TEST(Painter, ColourRules) {
  struct Case {
    const char* name;
    bool circle, selectable, selected, marked, highlighted, picked;
    TColor expected;
  };
  const TColor pen = RGB(10, 20, 30);
  const Case cases[] = {
      {"selected line", false, true, true, false, false, false, SelectedColor},
      {"marked line", false, true, false, true, false, false, MarkedColor},
      {"selected beats marked", false, true, true, true, false, false, SelectedColor},
      {"unselectable selected line", false, false, true, true, false, false, pen},
      {"highlighted line", false, true, true, false, true, false, HighlightColor},
      {"marked circle", true, true, false, true, false, false, pen},
      {"selected circle", true, true, true, false, false, false, SelectedColor},
      {"picked polygon", false, true, false, false, false, true, PickedColor},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<TGV_ENTITY> entity;
    QPoint probe;
    if (c.picked) {
      auto polygon = std::make_unique<TGV_POLYGONE>();
      for (const auto& [x, y] : {std::pair{20, 20}, {180, 20}, {180, 180}, {20, 180}})
        polygon->AddVertex(x, y);
      entity = std::move(polygon), probe = QPoint(100, 100);
    } else if (c.circle) {
      entity = std::make_unique<TGV_CERCLE>(100, 100, 50), probe = QPoint(50, 100);
    } else {
      entity = std::make_unique<TGV_LINE>(20, 100, 180, 100), probe = QPoint(30, 100);
    }
    entity->PenColor = pen, entity->BrushStyle = BrushStyle::Solid;
    entity->Selectable = c.selectable, entity->Selected = c.selected, entity->Marked = c.marked;
    entity->Highlighted = c.highlighted, entity->Picked = c.picked;
    EXPECT_EQ(rgbAt(Drawn(*entity), probe.x(), probe.y()), Rgb(c.expected));
  }
}

TEST(Painter, GripsShowOnlyOnSelectableSelectedVisibleEntities) {
  for (const auto& [selectable, gripsShown, visible, grips] : {std::array{true, true, true, true},
                                                               {false, true, true, false},
                                                               {true, false, true, false},
                                                               {true, true, false, false}}) {
    SCOPED_TRACE(testing::Message() << selectable << gripsShown << visible);
    TGV_LINE line(20, 100, 180, 100);
    line.Selected = true, line.Selectable = selectable, line.GripsShown = gripsShown, line.Visible = visible;
    EXPECT_EQ(rgbAt(Drawn(line), 15, 97) == Rgb(HighlightColor), grips) << "left side of the first grip";
  }
}

TEST(Painter, HiddenNonFiniteAndTinyEntitiesDrawNothing) {
  GvTransform small = UnitTransform();
  small.Scale = 0.07; // 20 units make 1.4 points: rounded to 1
  TGV_TEXTE tiny(100, 100, "HHHH", 20);
  tiny.Selected = true, tiny.GripsShown = true;
  TGV_LINE hidden(20, 100, 180, 100), notANumber(20, 100, std::nan(""), 100);
  hidden.Visible = false;
  TGV_CERCLE endless(std::numeric_limits<double>::infinity(), 100, 10);
  for (const QImage& image : {Drawn(tiny, small), Drawn(hidden), Drawn(notANumber), Drawn(endless)})
    EXPECT_EQ(CountColour(image, WhitePixel, QRect(0, 0, 200, 200)), 200 * 200);
}

TEST(Painter, NonPrintableEntitiesAndGroupsAreSkippedOnlyWhilePrinting) {
  for (const bool printing : {false, true}) {
    SCOPED_TRACE(printing);
    GvTransform transform = UnitTransform();
    transform.Printing = printing;
    TGV_GROUPE group;
    group.Add(std::make_unique<TGV_LINE>(20, 100, 180, 100));
    group.Printable = false;
    EXPECT_EQ(rgbAt(Drawn(group, transform), 50, 100) == 0, !printing);
  }
}

// The group's pen width goes down to its children: a loaded drawing draws one pixel wide.
TEST(Painter, AGroupHandsItsPenWidthAndStateToItsChildren) {
  for (const int width : {1, 5}) {
    SCOPED_TRACE(width);
    TGV_GROUPE group;
    TGV_ENTITY& child = group.Add(std::make_unique<TGV_LINE>(20, 100, 180, 100));
    child.PenWidth = 9, child.Selected = true;
    group.PenWidth = width;
    group.Selectable = false;
    const QImage image = Drawn(group);
    EXPECT_EQ(CountColour(image, 0, QRect(60, 80, 1, 40)), width);
    EXPECT_FALSE(child.Selected);
    EXPECT_FALSE(child.Selectable);
  }
}

// Children of a group are culled against the surface; whatever reaches into it must still show,
// exactly as if each child were drawn on its own.
TEST(Painter, CullingAGroupsChildrenHidesNothingThatReachesTheSurface) {
  TGV_GROUPE group;
  group.Add(std::make_unique<TGV_TEXTE>(-40, 100, "HHHHHHHHHHHH", 20));
  group.Add(std::make_unique<TGV_CERCLE>(210, 100, 30));
  auto arrow = std::make_unique<TGV_ARROW>(100, 230, 100, 206);
  arrow->StartHead = 1, arrow->HeadSize = 20;
  group.Add(std::move(arrow));
  group.Add(std::make_unique<TGV_LINE>(-50, -50, 300, 300));
  auto dimension = std::make_unique<TGV_COTE>(95, -6, 105, -6);
  dimension->TextSize = 30;
  group.Add(std::move(dimension));
  group.Add(std::make_unique<TGV_LINE>(500, 500, 600, 600));

  QImage separately = newBitmap(200, 200);
  {
    Canvas canvas(separately);
    GvPainter painter(canvas, UnitTransform());
    for (const auto& child : group.Children)
      painter.Draw(*child);
  }
  const QImage together = Drawn(group);
  EXPECT_LT(CountColour(together, WhitePixel, QRect(0, 0, 200, 200)), 200 * 200 - 400) << "the children show";
  EXPECT_EQ(together, separately);
}
} // namespace
} // namespace vorlan
