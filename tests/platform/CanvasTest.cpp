#include "platform/Canvas.h"

#include <gtest/gtest.h>

#include <QRect>

#include <array>
#include <functional>
#include <vector>

namespace vorlan {
namespace {

constexpr TColor white = 0xFFFFFF;
constexpr TColor black = 0;
constexpr TColor red = RGB(255, 0, 0);

TColor at(const QImage& image, int x, int y) {
  return toTColor(image.pixel(x, y));
}

// The smallest rectangle holding every pixel that is not white; null when there is none.
QRect inkBox(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (at(image, x, y) != white) box |= QRect(x, y, 1, 1);
  return box;
}

int countOf(const QImage& image, TColor color, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      n += at(image, x, y) == color;
  return n;
}

// A white bitmap with what `draw` puts on it.
QImage drawn(int width, int height, const std::function<void(Canvas&)>& draw) {
  QImage image = newBitmap(width, height);
  {
    Canvas c(image);
    draw(c);
  }
  return image;
}

// Every pixel different, so that a wrong inversion or a pixel drawn twice shows.
QImage motley(int width, int height) {
  QImage image = newBitmap(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, qRgb(x * 7 % 256, y * 11 % 256, (x * y) % 256));
  return image;
}

struct Probe {
  int x, y;
  TColor colour;
};

struct FigureCase {
  const char* name;
  std::function<void(Canvas&)> draw;
  QRect ink;
  std::vector<Probe> probes;
};

// Closed figures leave out their right column and bottom row; without a pen they fill one pixel less.
TEST(Canvas, ClosedFiguresCoverTheirBoxButItsRightColumnAndBottomRow) {
  const FigureCase cases[] = {
      {"rectangle",
       [](Canvas& c) {
         c.brush.color = red;
         c.rectangle(0, 0, 10, 10);
       },
       {0, 0, 10, 10},
       {{9, 9, black}, {9, 0, black}, {1, 1, red}, {8, 8, red}, {10, 10, white}}},
      {"rectangle given backwards",
       [](Canvas& c) { c.rectangle(10, 10, 0, 0); },
       {0, 0, 10, 10},
       {{9, 9, black}}},
      {"rectangle, clear pen of any width",
       [](Canvas& c) {
         c.pen.style = PenStyle::Clear;
         c.pen.width = 5;
         c.brush.color = red;
         c.rectangle(0, 0, 10, 10);
       },
       {0, 0, 9, 9},
       {{8, 8, red}}},
      {"rectangle, clear brush",
       [](Canvas& c) {
         c.brush.style = BrushStyle::Clear;
         c.rectangle(2, 2, 12, 12);
       },
       {2, 2, 10, 10},
       {{2, 2, black}, {7, 7, white}}},
      {"rectangle, wide inside-frame pen",
       [](Canvas& c) {
         c.pen.style = PenStyle::InsideFrame;
         c.pen.width = 5;
         c.rectangle(5, 5, 15, 15);
       },
       {5, 5, 10, 10},
       {{10, 5, black}, {15, 15, white}}},
      {"fillRect ignores the pen; an inverted one paints nothing",
       [](Canvas& c) {
         c.brush.color = red;
         c.pen.mode = PenMode::NotXor;
         c.fillRect({2, 3, 7, 9});
         c.fillRect({11, 11, 5, 5});
       },
       {2, 3, 5, 6},
       {{2, 3, red}, {6, 8, red}}},
      {"ellipse, corners of the box outside",
       [](Canvas& c) {
         c.brush.color = red;
         c.ellipse(0, 0, 11, 9);
       },
       {0, 0, 11, 9},
       {{5, 4, red}, {0, 0, white}, {10, 8, white}}},
      {"ellipse without pen",
       [](Canvas& c) {
         c.pen.style = PenStyle::Clear;
         c.brush.color = red;
         c.ellipse(2, 2, 12, 12);
       },
       {2, 2, 9, 9},
       {{6, 6, red}}},
  };
  for (const FigureCase& k : cases) {
    SCOPED_TRACE(k.name);
    const QImage image = drawn(20, 20, k.draw);
    EXPECT_EQ(inkBox(image), k.ink);
    for (auto [x, y, colour] : k.probes)
      EXPECT_EQ(at(image, x, y), colour) << x << "," << y;
  }
}

TEST(Canvas, LineToDrawsItsStartAndLeavesOutItsEnd) {
  struct LineCase {
    const char* name;
    QPoint from, to;
  };
  for (auto [name, from, to] : {LineCase{"right", {2, 5}, {12, 5}},
                                {"up", {5, 12}, {5, 2}},
                                {"down right", {1, 2}, {13, 8}},
                                {"steep up right", {3, 14}, {7, 1}},
                                {"diagonal up left", {10, 10}, {2, 2}}}) {
    SCOPED_TRACE(name);
    QImage image = newBitmap(16, 16);
    {
      Canvas c(image);
      c.moveTo(from.x(), from.y());
      c.lineTo(to.x(), to.y());
      EXPECT_EQ(c.penPos(), to);
    }
    EXPECT_EQ(at(image, from.x(), from.y()), black);
    EXPECT_EQ(at(image, to.x(), to.y()), white);
    const int length = std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
    EXPECT_EQ(countOf(image, black, image.rect()), length);
  }
}

TEST(Canvas, NotXorInvertsEachPixelOnceSoDrawingTwiceRestoresThePicture) {
  QImage image = motley(40, 40);
  const QImage before = image;
  const std::vector<QPoint> outline{{2, 2}, {15, 2}, {15, 15}, {2, 15}, {2, 3}};
  const std::vector<QPoint> triangle{{3, 30}, {20, 5}, {36, 33}};
  auto drawAll = [&] {
    Canvas c(image);
    c.pen.mode = PenMode::NotXor;
    c.brush.style = BrushStyle::Clear;
    for (PenStyle style : {PenStyle::Solid, PenStyle::Dot, PenStyle::DashDot}) {
      c.pen.style = style;
      c.rectangle(2, 2, 30, 25);
      c.moveTo(0, 39);
      c.lineTo(39, 1);
      c.ellipse(5, 5, 35, 35);
      c.arc(1, 1, 39, 39, 39, 20, 1, 20);
      c.polygon(triangle);
      c.polyline(outline);
    }
  };
  drawAll();
  EXPECT_NE(image, before);
  drawAll();
  EXPECT_EQ(image, before);

  QImage joints = before;
  {
    Canvas c(joints);
    c.pen.mode = PenMode::NotXor;
    c.polyline(outline);
  }
  // Each joint is inverted once, not twice; the last point is left out.
  for (QPoint p : {QPoint(2, 2), QPoint(15, 2), QPoint(15, 15), QPoint(2, 15), QPoint(2, 4)})
    EXPECT_EQ(joints.pixel(p) & 0xFFFFFF, ~before.pixel(p) & 0xFFFFFF) << p.x() << "," << p.y();
  EXPECT_EQ(joints.pixel(2, 3), before.pixel(2, 3));
}

// Black pixels of each quadrant around the centre of a 41 x 41 box, leaving out the axes: upper
// right, upper left, lower left, lower right.
std::array<int, 4> quadrantsOf(const QImage& image) {
  return {countOf(image, black, QRect(22, 0, 19, 19)), countOf(image, black, QRect(0, 0, 19, 19)),
          countOf(image, black, QRect(0, 22, 19, 19)), countOf(image, black, QRect(22, 22, 19, 19))};
}

TEST(Canvas, ArcRunsCounterClockwiseFromStartRayToEndRay) {
  struct Case {
    const char* name;
    int y1, y2, x3, y3, x4, y4;
    std::array<bool, 4> inked;
  };
  // The last row is a flat ellipse whose rays are given by points far outside it: its 45-degree ray
  // meets the ellipse at x = 28.9, where the ellipse's own parameter of 45 degrees is at x = 34.1.
  const Case cases[] = {
      {"right to top", 0, 41, 40, 20, 20, 0, {true, false, false, false}},
      {"top to right goes the long way round", 0, 41, 20, 0, 40, 20, {false, true, true, true}},
      {"equal rays give the whole ellipse", 0, 41, 40, 20, 40, 20, {true, true, true, true}},
      {"rays are directions", 10, 31, 1020, -980, 20, -1000, {true, false, false, false}}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const QImage image = drawn(41, 41, [&](Canvas& c) { c.arc(0, k.y1, 41, k.y2, k.x3, k.y3, k.x4, k.y4); });
    const auto q = quadrantsOf(image);
    for (int i = 0; i < 4; ++i)
      EXPECT_TRUE(k.inked[i] ? q[i] > 5 : q[i] == 0) << "quadrant " << i << ": " << q[i];
  }
  const QImage flat = drawn(41, 41, [&](Canvas& c) { c.arc(0, 10, 41, 31, 1020, -980, 20, -1000); });
  EXPECT_EQ(countOf(flat, black, QRect(31, 0, 10, 41)), 0);
  EXPECT_GT(countOf(flat, black, QRect(27, 0, 4, 41)), 0);
}

TEST(Canvas, CopyRectCopiesPixelsExactlyEvenWithinItsOwnBitmap) {
  const QImage source = motley(30, 30);
  const QImage image = drawn(20, 20, [&](Canvas& c) {
    c.copyRect({4, 5, 14, 12}, source, {10, 11, 20, 18});
  });
  EXPECT_EQ(inkBox(image), QRect(4, 5, 10, 7));
  EXPECT_EQ(image.copy(4, 5, 10, 7), source.copy(10, 11, 10, 7));

  QImage shifted = motley(20, 20);
  {
    Canvas c(shifted);
    c.copyRect({2, 0, 12, 10}, *c.image(), {0, 0, 10, 10}); // overlapping shift right
  }
  EXPECT_EQ(shifted.copy(2, 0, 10, 10), motley(20, 20).copy(0, 0, 10, 10));
}

} // namespace
} // namespace vorlan
