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
constexpr TColor green = RGB(0, 255, 0);
constexpr TColor blue = RGB(0, 0, 255);

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
      if (at(image, x, y) == color) ++n;
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

TEST(Canvas, StoredStyleCodesOutsideTheirRangeAreRefused) {
  EXPECT_EQ(penStyleFromCode(6), PenStyle::InsideFrame);
  EXPECT_EQ(penStyleFromCode(7), std::nullopt);
  EXPECT_EQ(penStyleFromCode(-1), std::nullopt);
  EXPECT_EQ(brushStyleFromCode(6), BrushStyle::Cross);
  EXPECT_EQ(brushStyleFromCode(8), std::nullopt);
}

TEST(Canvas, ColoursKeepRedInTheLowByte) {
  EXPECT_EQ(toQColor(RGB(10, 20, 30)), QColor(10, 20, 30));
  EXPECT_EQ(toTColor(qRgb(10, 20, 30)), RGB(10, 20, 30));
}

TEST(Canvas, FontSizeInPointsFollowsTheResolution) {
  Font font;
  font.setSize(10);
  EXPECT_EQ(font.height, -13); // 10 * 96 / 72 = 13.33
  EXPECT_EQ(font.size(), 10);
  font.pixelsPerInch = 600;
  font.setSize(10);
  EXPECT_EQ(font.height, -83);
}

TEST(Canvas, NewBitmapIsWhite) {
  const QImage bitmap = newBitmap(3, 2);
  EXPECT_EQ(bitmap.size(), QSize(3, 2));
  EXPECT_EQ(at(bitmap, 2, 1), white);
}

TEST(Canvas, RectangleLeavesOutTheRightColumnAndBottomRow) {
  const QImage image = drawn(20, 20, [&](Canvas& c) {
    c.brush.color = red;
    c.rectangle(0, 0, 10, 10);
  });
  EXPECT_EQ(at(image, 0, 0), black);
  EXPECT_EQ(at(image, 9, 0), black);
  EXPECT_EQ(at(image, 0, 9), black);
  EXPECT_EQ(at(image, 9, 9), black);
  EXPECT_EQ(at(image, 5, 5), red);
  EXPECT_EQ(at(image, 1, 1), red);
  EXPECT_EQ(at(image, 10, 10), white);
  EXPECT_EQ(at(image, 10, 5), white);
  EXPECT_EQ(at(image, 5, 10), white);
  EXPECT_EQ(inkBox(image), QRect(0, 0, 10, 10));
}

TEST(Canvas, RectangleGivenBackwardsIsTheSame) {
  QImage forward = newBitmap(20, 20);
  QImage backward = newBitmap(20, 20);
  Canvas(forward).rectangle(2, 3, 12, 15);
  Canvas(backward).rectangle(12, 15, 2, 3);
  EXPECT_EQ(forward, backward);
}

TEST(Canvas, ClearPenDrawsNothingWhateverItsWidthAndRectangleFillsOnePixelLess) {
  const QImage image = drawn(20, 20, [&](Canvas& c) {
    c.pen.style = PenStyle::Clear;
    c.moveTo(15, 15);
    c.lineTo(2, 5);
    c.pen.width = 5;
    c.lineTo(15, 15);
    c.brush.color = red;
    c.rectangle(0, 0, 10, 10);
  });
  EXPECT_EQ(inkBox(image), QRect(0, 0, 9, 9));
  EXPECT_EQ(at(image, 8, 8), red);
}

TEST(Canvas, RectangleWithClearBrushKeepsItsInside) {
  const QImage image = drawn(20, 20, [&](Canvas& c) {
    c.brush.style = BrushStyle::Clear;
    c.rectangle(2, 2, 12, 12);
  });
  EXPECT_EQ(at(image, 2, 2), black);
  EXPECT_EQ(at(image, 7, 7), white);
}

TEST(Canvas, InsideFramePenStaysInsideTheBox) {
  QImage centred = newBitmap(30, 30);
  QImage inside = newBitmap(30, 30);
  for (auto [image, style] : {std::pair{&centred, PenStyle::Solid}, {&inside, PenStyle::InsideFrame}}) {
    Canvas c(*image);
    c.pen.style = style;
    c.pen.width = 5;
    c.rectangle(10, 10, 20, 20);
  }
  EXPECT_EQ(inkBox(inside), QRect(10, 10, 10, 10));
  EXPECT_TRUE(inkBox(centred).contains(QRect(8, 8, 14, 14)));
}

TEST(Canvas, FillRectPaintsExactlyItsPixels) {
  const QImage image = drawn(12, 12, [&](Canvas& c) {
    c.brush.color = blue;
    c.pen.mode = PenMode::NotXor; // ignored by FillRect
    c.fillRect({2, 3, 7, 9});
    c.fillRect({11, 11, 5, 5}); // inverted: nothing
  });
  EXPECT_EQ(inkBox(image), QRect(2, 3, 5, 6));
  EXPECT_EQ(countOf(image, blue, image.rect()), 30);
}

struct LineCase {
  const char* name;
  QPoint from, to;
};

TEST(Canvas, LineToDrawsItsStartAndLeavesOutItsEnd) {
  for (auto [name, from, to] : {LineCase{"right", {2, 5}, {12, 5}},
                                {"left", {12, 5}, {2, 5}},
                                {"down", {5, 2}, {5, 12}},
                                {"up", {5, 12}, {5, 2}},
                                {"down right", {1, 2}, {13, 8}},
                                {"up left", {13, 8}, {1, 2}},
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

TEST(Canvas, LineBackwardsCoversTheSameRowsShiftedByItsEnds) {
  // Drawn either way, the line from A to B and from B to A share every pixel but their ends.
  const auto line = [](int x1, int y1, int x2, int y2) {
    return drawn(20, 20, [&](Canvas& c) {
      c.moveTo(x1, y1);
      c.lineTo(x2, y2);
    });
  };
  const QImage forward = line(1, 2, 17, 9), backward = line(17, 9, 1, 2);
  for (int y = 0; y < 20; ++y)
    for (int x = 2; x < 17; ++x)
      EXPECT_EQ(at(forward, x, y), at(backward, x, y)) << x << "," << y;
}

TEST(Canvas, PolylineDrawsEachJointOnce) {
  QImage image = motley(20, 20);
  const QImage before = image;
  const std::vector<QPoint> points{{2, 2}, {15, 2}, {15, 15}, {2, 15}, {2, 3}};
  {
    Canvas c(image);
    c.pen.mode = PenMode::NotXor;
    c.pen.color = black;
    c.polyline(points);
  }
  // Each pixel of the outline is inverted exactly once; the last point is left out.
  for (QPoint p : {QPoint(2, 2), QPoint(15, 2), QPoint(15, 15), QPoint(2, 15), QPoint(2, 4)})
    EXPECT_EQ(image.pixel(p) & 0xFFFFFF, ~before.pixel(p) & 0xFFFFFF) << p.x() << "," << p.y();
  EXPECT_EQ(image.pixel(2, 3), before.pixel(2, 3));
}

TEST(Canvas, NotXorDrawnTwiceRestoresThePicture) {
  QImage image = motley(40, 40);
  const QImage before = image;
  const std::vector<QPoint> triangle{{3, 30}, {20, 5}, {36, 33}};
  auto drawAll = [&](Canvas& c) {
    c.pen.mode = PenMode::NotXor;
    for (PenStyle style : {PenStyle::Solid, PenStyle::Dot, PenStyle::DashDot}) {
      c.pen.style = style;
      c.brush.style = BrushStyle::Clear;
      c.rectangle(2, 2, 30, 25);
      c.moveTo(0, 39);
      c.lineTo(39, 1);
      c.ellipse(5, 5, 35, 35);
      c.arc(1, 1, 39, 39, 39, 20, 1, 20);
      c.polygon(triangle);
    }
  };
  {
    Canvas c(image);
    drawAll(c);
  }
  EXPECT_NE(image, before);
  {
    Canvas c(image);
    drawAll(c);
  }
  EXPECT_EQ(image, before);
}

TEST(Canvas, NotXorRectangleInvertsEveryOutlinePixelOnce) {
  const QImage image = drawn(20, 20, [&](Canvas& c) {
    c.pen.mode = PenMode::NotXor;
    c.pen.color = black;
    c.brush.style = BrushStyle::Clear;
    c.rectangle(1, 1, 11, 11);
  });
  EXPECT_EQ(countOf(image, black, image.rect()), 36);
  EXPECT_EQ(inkBox(image), QRect(1, 1, 10, 10));
}

TEST(Canvas, DottedThinPenHasGaps) {
  const QImage image = drawn(30, 3, [&](Canvas& c) {
    c.pen.style = PenStyle::Dot;
    c.moveTo(0, 1);
    c.lineTo(30, 1);
  });
  const int inked = countOf(image, black, image.rect());
  EXPECT_GT(inked, 5);
  EXPECT_LT(inked, 25);
}

TEST(Canvas, WidePenIsSolidWhateverItsStyle) {
  const QImage image = drawn(40, 20, [&](Canvas& c) {
    c.pen.style = PenStyle::Dot;
    c.pen.width = 5;
    c.moveTo(5, 10);
    c.lineTo(35, 10);
  });
  // Five rows centred on the line's row, from end to end.
  for (int x = 5; x <= 35; ++x)
    for (int y = 8; y <= 12; ++y)
      EXPECT_EQ(at(image, x, y), black) << x << "," << y;
  EXPECT_EQ(at(image, 20, 7), white);
  EXPECT_EQ(at(image, 20, 13), white);
}

TEST(Canvas, EllipseStaysInsideItsBoxAndTouchesEachSide) {
  const QImage image = drawn(20, 20, [&](Canvas& c) {
    c.brush.color = red;
    c.ellipse(0, 0, 11, 9);
  });
  EXPECT_EQ(inkBox(image), QRect(0, 0, 11, 9));
  EXPECT_EQ(at(image, 5, 4), red);
  EXPECT_EQ(at(image, 0, 0), white); // corners of the box are outside the ellipse
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 11; ++x)
      EXPECT_EQ(at(image, x, y), at(image, 10 - x, y)) << x << "," << y;
}

TEST(Canvas, EllipseWithoutPenFillsOnePixelLess) {
  const QImage image = drawn(20, 20, [&](Canvas& c) {
    c.pen.style = PenStyle::Clear;
    c.brush.color = red;
    c.ellipse(2, 2, 12, 12);
  });
  EXPECT_EQ(inkBox(image), QRect(2, 2, 9, 9));
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
    int x3, y3, x4, y4;
    std::array<bool, 4> inked;
  };
  const Case cases[] = {{"right to top", 40, 20, 20, 0, {true, false, false, false}},
                        {"top to right goes the long way round", 20, 0, 40, 20, {false, true, true, true}},
                        {"equal rays give the whole ellipse", 40, 20, 40, 20, {true, true, true, true}}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const auto q =
        quadrantsOf(drawn(41, 41, [&](Canvas& c) { c.arc(0, 0, 41, 41, k.x3, k.y3, k.x4, k.y4); }));
    for (int i = 0; i < 4; ++i)
      EXPECT_TRUE(k.inked[i] ? q[i] > 10 : q[i] == 0) << "quadrant " << i << ": " << q[i];
  }
  const QImage whole = drawn(41, 41, [](Canvas& c) { c.arc(0, 0, 41, 41, 40, 20, 40, 20); });
  const QImage ellipse = drawn(41, 41, [](Canvas& c) {
    c.brush.style = BrushStyle::Clear;
    c.ellipse(0, 0, 41, 41);
  });
  EXPECT_EQ(inkBox(whole), inkBox(ellipse));
}

TEST(Canvas, ArcRaysAreDirectionsNotPointsOnTheEllipse) {
  // A flat ellipse 40 x 20 around (20, 20), from the ray at 45 degrees to the ray straight up,
  // both given by points far outside it. The 45-degree ray meets the ellipse at x = 28.9; the
  // ellipse's own parameter of 45 degrees would be at x = 34.1.
  const QImage image = drawn(41, 41, [&](Canvas& c) { c.arc(0, 10, 41, 31, 1020, -980, 20, -1000); });
  const auto q = quadrantsOf(image);
  EXPECT_GT(q[0], 5);
  EXPECT_EQ(q[1] + q[2] + q[3], 0);
  EXPECT_EQ(countOf(image, black, QRect(31, 0, 10, 41)), 0);
  EXPECT_GT(countOf(image, black, QRect(27, 0, 4, 41)), 0);
}

TEST(Canvas, PieFillsItsSectorAndChordItsSegment) {
  const QImage pie = drawn(41, 41, [](Canvas& c) {
    c.brush.color = red;
    c.pie(0, 0, 41, 41, 40, 20, 20, 0);
  });
  const QImage chord = drawn(41, 41, [](Canvas& c) {
    c.brush.color = red;
    c.chord(0, 0, 41, 41, 40, 20, 20, 0);
  });
  EXPECT_EQ(at(pie, 26, 14), red);   // inside the sector, near the centre
  EXPECT_EQ(at(pie, 14, 26), white); // opposite quadrant
  EXPECT_EQ(at(chord, 33, 7), red);  // between the arc and its chord
  EXPECT_EQ(at(chord, 24, 16), white);
}

TEST(Canvas, PolygonIsFilledAndOutlined) {
  QImage image = newBitmap(30, 30);
  const std::vector<QPoint> points{{2, 2}, {25, 2}, {25, 25}};
  {
    Canvas c(image);
    c.brush.color = green;
    c.polygon(points);
  }
  EXPECT_EQ(at(image, 2, 2), black);
  EXPECT_EQ(at(image, 25, 25), black);
  EXPECT_EQ(at(image, 20, 8), green);
  EXPECT_EQ(at(image, 8, 20), white);
}

TEST(Canvas, HatchesDrawLinesInTheirDirectionAndKeepTheGaps) {
  struct HatchCase {
    BrushStyle style;
    QPoint repeatStep; // the pattern is the same one step along its lines
  };
  for (auto [style, step] : {HatchCase{BrushStyle::Horizontal, {1, 0}},
                             {BrushStyle::Vertical, {0, 1}},
                             {BrushStyle::FDiagonal, {1, 1}},
                             {BrushStyle::BDiagonal, {1, -1}}}) {
    SCOPED_TRACE(static_cast<int>(style));
    QImage image = newBitmap(32, 32);
    image.fill(QColor(0, 255, 0));
    {
      Canvas c(image);
      c.brush.style = style;
      c.brush.color = red;
      c.fillRect({0, 0, 32, 32});
    }
    const QRect inner(2, 2, 28, 28);
    EXPECT_GT(countOf(image, red, inner), 28);
    EXPECT_GT(countOf(image, green, inner), 28 * 14);
    for (int y = 2; y < 30; ++y)
      for (int x = 2; x < 30; ++x)
        ASSERT_EQ(at(image, x, y), at(image, x + step.x(), y + step.y()));
  }
}

TEST(Canvas, CrossHatchesCrossEachOther) {
  for (BrushStyle style : {BrushStyle::Cross, BrushStyle::DiagCross}) {
    QImage image = newBitmap(32, 32);
    {
      Canvas c(image);
      c.pen.style = PenStyle::Clear;
      c.brush.style = style;
      c.brush.color = red;
      c.rectangle(0, 0, 33, 33);
    }
    const int inked = countOf(image, red, image.rect());
    EXPECT_GT(inked, 2 * 32 * 3);
    EXPECT_LT(inked, 32 * 32 / 2);
  }
}

TEST(Canvas, TextWidthGrowsWithTheTextAndHeightWithTheFont) {
  QImage image = newBitmap(10, 10);
  Canvas c(image);
  c.font.height = -12;
  const int one = c.textWidth("W");
  EXPECT_GT(one, 0);
  EXPECT_GT(c.textWidth("WW"), one);
  EXPECT_GT(c.textWidth("Wide text"), c.textWidth("Wide"));
  const int small = c.textHeight("W");
  EXPECT_GT(small, 12); // the cell holds the character height and more
  c.font.height = -24;
  EXPECT_GT(c.textHeight("W"), small);
  EXPECT_GT(c.textWidth("W"), one);
}

TEST(Canvas, PositiveFontHeightIsTheCellHeight) {
  QImage image = newBitmap(10, 10);
  Canvas c(image);
  for (int cell : {12, 20, 40}) {
    c.font.height = cell;
    EXPECT_NEAR(c.textHeight("x"), cell, 1) << cell;
  }
}

TEST(Canvas, ArialResolvesToAMetricCompatibleFace) {
  // Liberation Sans has Arial's widths: "i" is much narrower than "W" and digits share a width.
  QImage image = newBitmap(10, 10);
  Canvas c(image);
  c.font.height = -40;
  EXPECT_LT(c.textWidth("i") * 3, c.textWidth("W"));
  EXPECT_EQ(c.textWidth("1"), c.textWidth("8"));
}

TEST(Canvas, TextCellHangsDownAndRightOfItsPoint) {
  QImage image = newBitmap(120, 60);
  int width = 0, height = 0;
  {
    Canvas c(image);
    c.brush.style = BrushStyle::Clear;
    c.font.height = -20;
    c.font.color = red;
    c.textOut(10, 15, "Hello");
    width = c.textWidth("Hello");
    height = c.textHeight("Hello");
  }
  const QRect ink = inkBox(image);
  ASSERT_FALSE(ink.isNull());
  EXPECT_TRUE(QRect(10, 15, width, height).contains(ink)) << ink.x() << "," << ink.y();
  EXPECT_LT(ink.top(), 15 + height / 2);
  EXPECT_GT(ink.width(), width / 2);
  int reddish = 0;
  for (int y = ink.top(); y <= ink.bottom(); ++y)
    for (int x = ink.left(); x <= ink.right(); ++x) {
      const TColor p = at(image, x, y);
      if (p != white && GetRValue(p) > 200 && GetGValue(p) < 60) ++reddish;
    }
  EXPECT_GT(reddish, 10);
}

TEST(Canvas, SolidBrushGivesTheTextAnOpaqueCell) {
  for (bool solid : {true, false}) {
    QImage image = newBitmap(120, 60);
    int width = 0, height = 0;
    {
      Canvas c(image);
      c.brush.style = solid ? BrushStyle::Solid : BrushStyle::Clear;
      c.brush.color = green;
      c.textOut(10, 15, "x");
      width = c.textWidth("x");
      height = c.textHeight("x");
    }
    // The top-left corner of the cell holds no ink of an "x".
    EXPECT_EQ(at(image, 10, 15), solid ? green : white);
    EXPECT_EQ(at(image, 10 + width - 1, 15 + height - 1), solid ? green : white);
    EXPECT_EQ(at(image, 10 + width, 15 + height), white);
  }
}

TEST(Canvas, EscapementTurnsTextCounterClockwise) {
  QImage image = newBitmap(100, 200);
  int width = 0, height = 0;
  {
    Canvas c(image);
    c.brush.style = BrushStyle::Clear;
    c.font.height = -20;
    c.font.escapement = 900;
    c.textOut(40, 180, "Rotated");
    width = c.textWidth("Rotated");
    height = c.textHeight("Rotated");
  }
  const QRect ink = inkBox(image);
  ASSERT_FALSE(ink.isNull());
  EXPECT_GT(ink.height(), 2 * ink.width());
  // Reading upwards from the point, the cell's top edge on the left.
  EXPECT_TRUE(QRect(40, 180 - width, height, width).adjusted(-1, -1, 1, 1).contains(ink));
}

TEST(Canvas, FontStylesChangeTheInk) {
  auto inkOf = [](auto setStyle) {
    QImage image = newBitmap(120, 40);
    Canvas c(image);
    c.font.height = -20;
    setStyle(c.font);
    c.textOut(5, 5, "Tall");
    return image;
  };
  const QImage plain = inkOf([](Font&) {});
  EXPECT_NE(inkOf([](Font& f) { f.bold = true; }), plain);
  EXPECT_NE(inkOf([](Font& f) { f.italic = true; }), plain);
  const QImage underlined = inkOf([](Font& f) { f.underline = true; });
  EXPECT_GT(inkBox(underlined).bottom(), inkBox(plain).bottom());
  EXPECT_NE(inkOf([](Font& f) { f.strikeOut = true; }), plain);
}

TEST(Canvas, PixelsAreReadAndWrittenOnlyInsideAnImage) {
  QImage image = newBitmap(5, 5);
  Canvas c(image);
  c.setPixel(2, 3, RGB(1, 2, 3));
  c.setPixel(7, 7, black);
  EXPECT_EQ(c.pixel(2, 3), RGB(1, 2, 3));
  EXPECT_EQ(c.pixel(0, 0), white);
  EXPECT_EQ(c.pixel(5, 0), clrInvalid);
  EXPECT_EQ(c.pixel(-1, 0), clrInvalid);
}

TEST(Canvas, CopyRectCopiesPixelsExactly) {
  const QImage source = motley(30, 30);
  const QImage image = drawn(20, 20, [&](Canvas& c) {
    c.copyRect({4, 5, 14, 12}, source, {10, 11, 20, 18});
  });
  EXPECT_EQ(inkBox(image), QRect(4, 5, 10, 7));
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 10; ++x)
      ASSERT_EQ(image.pixel(4 + x, 5 + y), source.pixel(10 + x, 11 + y));
}

TEST(Canvas, CopyRectWithinItsOwnBitmap) {
  QImage image = motley(20, 20);
  const QImage before = image;
  {
    Canvas c(image);
    c.copyRect({2, 0, 12, 10}, *c.image(), {0, 0, 10, 10}); // overlapping shift right
  }
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      ASSERT_EQ(image.pixel(2 + x, y), before.pixel(x, y));
}

TEST(Canvas, StretchDrawScalesAndMirrors) {
  QImage picture(2, 2, QImage::Format_RGB32);
  picture.setPixel(0, 0, qRgb(255, 0, 0));
  picture.setPixel(1, 0, qRgb(0, 255, 0));
  picture.setPixel(0, 1, qRgb(0, 0, 255));
  picture.setPixel(1, 1, qRgb(0, 0, 0));
  const QImage image = drawn(24, 12, [&](Canvas& c) {
    c.stretchDraw({0, 0, 10, 10}, picture);
    c.stretchDraw({23, 0, 13, 10}, picture); // right to left
  });
  EXPECT_EQ(at(image, 0, 0), red);
  EXPECT_EQ(at(image, 4, 4), red);
  EXPECT_EQ(at(image, 5, 4), green);
  EXPECT_EQ(at(image, 4, 5), blue);
  EXPECT_EQ(at(image, 9, 9), black);
  EXPECT_EQ(at(image, 10, 9), white);
  EXPECT_EQ(at(image, 9, 10), white);
  EXPECT_EQ(at(image, 13, 0), green);
  EXPECT_EQ(at(image, 22, 0), red);
  EXPECT_EQ(at(image, 23, 0), white);
}

} // namespace
} // namespace vorlan
