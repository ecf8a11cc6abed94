#include "widgets/KX_BUTTONS.h"

#include "platform/Canvas.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <ostream>
#include <vector>

namespace vorlan {

void PrintTo(const TReflect& r, std::ostream* out) {
  *out << "{" << r.centreX << ", " << r.centreY << ", " << r.radius << ", " << r.rings << "}";
}

namespace {

constexpr TColor white = 0xFFFFFF;
constexpr TColor grey = 0x808080;

TColor at(const QImage& image, int x, int y) {
  return toTColor(image.pixel(x, y));
}

// Steps: red +5 (and clamped at 255), green -2 (125 / 50 = 2.5 rounds to even), blue +4.
constexpr TColor up = RGB(20, 125, 0);
constexpr TColor down = RGB(255, 0, 200);
TColor colorIndex(int k) {
  return RGB(std::min(255, 20 + 5 * k), 125 - 2 * k, 4 * k);
}

// A colour panel without bevel.
void setColors(TKXPanel& panel, TGradientType type, int width, int height, TColor top = up,
               TColor bottom = down) {
  panel.resize(width, height);
  panel.setStyle(TPanelStyle::Colors);
  panel.setGradientType(type);
  panel.setBevel(TPanelBevel::bvNone);
  panel.setColorUp(top);
  panel.setColorDown(bottom);
}

// Every pixel of row (or column) `at` has `color`.
bool lineIs(const QImage& image, bool row, int at, TColor color) {
  for (int i = 0; i < (row ? image.width() : image.height()); ++i)
    if ((row ? toTColor(image.pixel(i, at)) : toTColor(image.pixel(at, i))) != color) return false;
  return true;
}

// Bands of Round(size / 51) pixels (or 50 for horizontal ones), the last taking the rest; cylinders
// go out to the second colour and back.
TEST(TKXPanel, GradientsAreBandsOfRoundedSizeAndTheLastTakesTheRest) {
  struct Case {
    const char* what;
    TGradientType type;
    int width, height;
    std::vector<std::pair<int, int>> bands; // row or column, colour index
  };
  using enum TGradientType;
  // clang-format off
  const Case cases[] = {
      {"horizontal bands of Round(4.2) = 4 rows", GTHorizontal, 30, 210,
       {{0, 0}, {3, 0}, {4, 1}, {195, 48}, {196, 49}, {209, 49}}},
      {"low horizontal: Round(0.4) = 0, one band", GTHorizontal, 30, 20, {{0, 49}, {19, 49}}},
      {"narrow vertical: Round(25 / 51) = 0, colour index 50", GTVertical, 25, 40, {{0, 50}, {24, 50}}},
      {"vertical stripes of Round(3.14) = 3, then 150..159", GTVertical, 160, 10,
       {{0, 0}, {2, 0}, {3, 1}, {149, 49}, {150, 50}, {159, 50}}},
      {"horizontal cylinder, bands of 2", GTHorizontalCylindre, 20, 105,
       {{0, 0}, {49, 48}, {50, 50}, {52, 48}, {98, 2}, {104, 2}}},
      {"vertical cylinder, bands of 2", GTVerticalCylindre, 105, 20,
       {{0, 0}, {49, 48}, {50, 50}, {52, 48}, {98, 2}, {104, 2}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TKXPanel panel;
    setColors(panel, c.type, c.width, c.height);
    const QImage bitmap = panel.renderBitmap();
    const bool rows = c.type == TGradientType::GTHorizontal || c.type == TGradientType::GTHorizontalCylindre;
    for (const auto& [position, index] : c.bands)
      EXPECT_TRUE(lineIs(bitmap, rows, position, colorIndex(index))) << position;
  }
}

// Painted as rendered off screen.
TEST(TKXPanel, ReflectDiscsCentreOnTheUpperLeftQuarter) {
  TKXPanel panel;
  setColors(panel, TGradientType::GTReflect, 100, 100);
  const QImage bitmap = panel.renderBitmap();
  EXPECT_EQ(panel.grab().toImage().convertToFormat(QImage::Format_RGB32), bitmap);
  // Radius Round(141.42 * 3 / 4) = 106, 49 rings below 200 pixels: the smallest disc, radius
  // 106 - Round(49 * 106 / 50) = 2, darkened by Round(200 / 106) = 2.
  EXPECT_EQ(at(bitmap, 25, 25), RGB(253, 253, 253));
  // The far corner, 105.4 pixels out, is only inside the largest disc: darkened by 100.
  EXPECT_EQ(at(bitmap, 99, 99), RGB(155, 155, 155));
  // Brighter towards the highlight along the diagonal.
  for (int i = 30; i < 99; ++i)
    EXPECT_GE(GetRValue(at(bitmap, i - 1, i - 1)), GetRValue(at(bitmap, i, i)));
}

TEST(TKXPanel, NestedReflectContinuesTheOuterPatternShiftedByItsBevel) {
  struct NestCase {
    TPanelBevel bevel;
    int shift;
  };
  for (auto [bevel, shift] :
       {NestCase{TPanelBevel::bvNone, 0}, {TPanelBevel::bvRaised, 10}, {TPanelBevel::bvLowered, -10}}) {
    SCOPED_TRACE(shift);
    TKXPanel outer;
    setColors(outer, TGradientType::GTReflect, 300, 200);
    auto* inner = new TKXPanel(&outer);
    setColors(*inner, TGradientType::GTReflect, 100, 80);
    inner->move(40, 30);
    inner->setBevel(bevel);
    const QImage outside = outer.renderBitmap();
    const QImage inside = inner->renderBitmap();
    EXPECT_EQ(inner->Reflect(), (TReflect{75 - 40 + shift, 50 - 30 + shift, 270, 99}));
    for (int y = 1; y < 79; ++y)
      for (int x = 1; x < 99; ++x)
        ASSERT_EQ(at(inside, x, y), at(outside, x + 40 - shift, y + 30 - shift)) << x << "," << y;
  }
}

// 8 x 4 pixels, every one different.
QImage smallWallPaper() {
  QImage picture(8, 4, QImage::Format_RGB32);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x)
      picture.setPixel(x, y, qRgb(30 * x, 60 * y, 100));
  return picture;
}

TEST(TKXPanel, WallPaperIsTiledOverTheWholePanelAndScrolledTilesStillReachBothEdges) {
  const QImage picture = smallWallPaper();
  // The animation moves the tiles one pixel left a tick and starts over after a picture's width.
  for (const int ticks : {0, 7, 8}) {
    SCOPED_TRACE(ticks);
    TKXPanel panel;
    panel.resize(30, 10);
    panel.setBevel(TPanelBevel::bvNone);
    panel.setStyle(TPanelStyle::WallPapers);
    panel.setWallPaper(picture);
    panel.setAnimation(ticks > 0);
    for (int i = 0; i < ticks; ++i)
      panel.animationTick(); // offset 1: the first column starts at -7
    const QImage bitmap = panel.renderBitmap();
    EXPECT_EQ(panel.ScrollOffset(), ticks ? 8 - ticks % 8 : 0); // no animation: back to the start
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 30; ++x)
        ASSERT_EQ(bitmap.pixel(x, y), picture.pixel((x + ticks) % 8, y % 4)) << x << "," << y;
  }
}

TEST(TKXPanel, BevelRaisedIsLightTopLeftAndGreyBottomRight) {
  struct BevelCase {
    TPanelBevel bevel;
    TColor topLeft, bottomRight;
  };
  for (auto [bevel, light, dark] :
       {BevelCase{TPanelBevel::bvRaised, white, grey}, {TPanelBevel::bvLowered, grey, white}}) {
    SCOPED_TRACE(static_cast<int>(bevel));
    TKXPanel panel;
    setColors(panel, TGradientType::GTHorizontal, 20, 10, RGB(255, 0, 0), RGB(255, 0, 0));
    panel.setBevel(bevel);
    const QImage bitmap = panel.renderBitmap();
    EXPECT_TRUE(lineIs(bitmap, true, 0, light)); // (19, 0) too: end pixel left out
    for (int y = 0; y < 9; ++y)
      EXPECT_EQ(at(bitmap, 0, y), light) << y;
    EXPECT_TRUE(lineIs(bitmap, true, 9, dark));
    for (int y = 1; y < 10; ++y)
      EXPECT_EQ(at(bitmap, 19, y), dark) << y;
    EXPECT_EQ(at(bitmap, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(at(bitmap, 18, 8), RGB(255, 0, 0));
  }
}

TEST(TKXPanel, LeftClickIsReported) {
  TKXPanel panel;
  QSignalSpy spy(&panel, &TKXPanel::clicked);
  QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseClick(&panel, Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_EQ(spy.count(), 1);
}

} // namespace
} // namespace vorlan
