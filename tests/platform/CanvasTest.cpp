#include "platform/Canvas.h"

#include <gtest/gtest.h>

#include <QRect>

#include <array>
#include <functional>
#include <tuple>
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

using Probe = std::tuple<int, int, TColor>;

enum class Figure { Rectangle, Ellipse, FilledRect };

// Each case draws a figure in the box (left, top, right, bottom), with a red brush unless it is clear.
// Closed figures leave out their right column and bottom row; without a pen they fill one pixel less.
// fillRect ignores the pen (even an inverting one) and paints nothing for a box given backwards.
TEST(Canvas, ClosedFiguresCoverTheirBoxButItsRightColumnAndBottomRow) {
  using enum Figure;
  constexpr BrushStyle Solid = BrushStyle::Solid;
  constexpr PenStyle Pen = PenStyle::Solid, Clear = PenStyle::Clear;
  // clang-format off
  struct FigureCase {
    const char* name; Figure figure; std::array<int, 4> box; PenStyle pen; int penWidth; BrushStyle brush; QRect ink;
    std::vector<Probe> probes; };
  const FigureCase cases[] = {
      {"rectangle", Rectangle, {0, 0, 10, 10}, Pen, 1, Solid, {0, 0, 10, 10},
       {{9, 9, black}, {9, 0, black}, {1, 1, red}, {8, 8, red}, {10, 10, white}}},
      {"rectangle given backwards", Rectangle, {10, 10, 0, 0}, Pen, 1, Solid, {0, 0, 10, 10}, {{9, 9, black}}},
      {"rectangle, clear pen of any width", Rectangle, {0, 0, 10, 10}, Clear, 5, Solid, {0, 0, 9, 9}, {{8, 8, red}}},
      {"rectangle, clear brush", Rectangle, {2, 2, 12, 12}, Pen, 1, BrushStyle::Clear, {2, 2, 10, 10}, {{2, 2, black}, {7, 7, white}}},
      {"rectangle, wide inside-frame pen", Rectangle, {5, 5, 15, 15}, PenStyle::InsideFrame, 5, Solid,
       {5, 5, 10, 10}, {{10, 5, black}, {15, 15, white}}},
      {"fillRect", FilledRect, {2, 3, 7, 9}, Pen, 5, Solid, {2, 3, 5, 6}, {{2, 3, red}, {6, 8, red}}},
      {"fillRect given backwards", FilledRect, {16, 16, 11, 11}, Pen, 1, Solid, {}, {}},
      {"ellipse, corners of the box outside", Ellipse, {0, 0, 11, 9}, Pen, 1, Solid, {0, 0, 11, 9}, {{5, 4, red}, {0, 0, white}, {10, 8, white}}},
      {"ellipse without pen", Ellipse, {2, 2, 12, 12}, Clear, 1, Solid, {2, 2, 9, 9}, {{6, 6, red}}},
  };
  // clang-format on
  for (const FigureCase& k : cases) {
    SCOPED_TRACE(k.name);
    const QImage image = drawn(20, 20, [&](Canvas& c) {
      c.pen.style = k.pen;
      c.pen.width = k.penWidth;
      if (k.figure == FilledRect) c.pen.mode = PenMode::NotXor;
      c.brush = Brush{k.brush, red};
      const auto [left, top, right, bottom] = k.box;
      if (k.figure == Rectangle) c.rectangle(left, top, right, bottom);
      if (k.figure == Ellipse) c.ellipse(left, top, right, bottom);
      if (k.figure == FilledRect) c.fillRect({left, top, right, bottom});
    });
    EXPECT_EQ(inkBox(image), k.ink);
    for (auto [x, y, colour] : k.probes)
      EXPECT_EQ(at(image, x, y), colour) << x << "," << y;
  }
}

TEST(Canvas, LineToDrawsItsStartAndLeavesOutItsEnd) {
  // clang-format off
  for (const auto& [name, from, to] : {std::tuple{"right", QPoint{2, 5}, QPoint{12, 5}}, {"up", {5, 12}, {5, 2}},
                                       {"down right", {1, 2}, {13, 8}}, {"steep up right", {3, 14}, {7, 1}},
                                       {"diagonal up left", {10, 10}, {2, 2}}}) {
    // clang-format on
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
