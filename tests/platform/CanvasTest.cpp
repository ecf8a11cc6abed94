#include "platform/Canvas.h"

#include <gtest/gtest.h>

#include <QRect>

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
