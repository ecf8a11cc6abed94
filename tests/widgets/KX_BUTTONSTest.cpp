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
TColor greyOf(int level) {
  return RGB(level, level, level);
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

bool rowIs(const QImage& image, int y, TColor color) {
  for (int x = 0; x < image.width(); ++x)
    if (at(image, x, y) != color) return false;
  return true;
}

bool columnIs(const QImage& image, int x, TColor color) {
  for (int y = 0; y < image.height(); ++y)
    if (at(image, x, y) != color) return false;
  return true;
}

TEST(TKXPanel, StartsWithItsDefaults) {
  TKXPanel panel;
  EXPECT_FALSE(panel.Animation());
  EXPECT_FALSE(panel.animationRunning());
  EXPECT_EQ(panel.ColorUp(), 0xFF0000u);
  EXPECT_EQ(panel.ColorDown(), 0xFF00FFu);
  EXPECT_TRUE(panel.WallPaper().isNull());
  EXPECT_EQ(panel.Bevel(), TPanelBevel::bvRaised);
  EXPECT_EQ(panel.Style(), TPanelStyle::Colors);
  EXPECT_EQ(panel.GradientType(), TGradientType::GTHorizontal);
  EXPECT_EQ(panel.GradientProgress(), TGradientProgress::Linear);
  EXPECT_EQ(panel.size(), QSize(100, 100));
  EXPECT_EQ(panel.ScrollOffset(), 0);
  EXPECT_EQ(panel.ScrollPeriod(), 0);
  EXPECT_EQ(panel.Reflect(), TReflect{});
  EXPECT_EQ(static_cast<int>(TGradientType::GTReflect), 5);
  EXPECT_EQ(static_cast<int>(TPanelBevel::bvRaised), 2);
  EXPECT_EQ(MetalNoise[3], -4);
  EXPECT_EQ(MetalNoise[49], 0);
}

TEST(TKXPanel, LinearFillsHave50BandsOfRoundedSizeAndTheLastTakesTheRest) {
  struct Case {
    const char* what;
    TGradientType type;
    int width, height;
    std::vector<std::pair<int, int>> bands; // row or column, colour index
  };
  const Case cases[] = {
      {"horizontal bands of Round(4.2) = 4 rows",
       TGradientType::GTHorizontal,
       30,
       210,
       {{0, 0}, {3, 0}, {4, 1}, {40, 10}, {195, 48}, {196, 49}, {209, 49}}},
      {"low horizontal: Round(0.4) = 0, one band",
       TGradientType::GTHorizontal,
       30,
       20,
       {{0, 49}, {10, 49}, {19, 49}}},
      {"narrow vertical: Round(25 / 51) = 0, colour index 50",
       TGradientType::GTVertical,
       25,
       40,
       {{0, 50}, {12, 50}, {24, 50}}},
      {"vertical stripes of Round(26 / 51) = 1",
       TGradientType::GTVertical,
       26,
       10,
       {{0, 0}, {1, 1}, {2, 2}, {25, 25}}},
      {"vertical stripes of Round(3.14) = 3, then 150..159",
       TGradientType::GTVertical,
       160,
       10,
       {{0, 0}, {2, 0}, {3, 1}, {45, 15}, {149, 49}, {150, 50}, {159, 50}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TKXPanel panel;
    setColors(panel, c.type, c.width, c.height);
    const QImage bitmap = panel.renderBitmap();
    for (const auto& [position, index] : c.bands)
      EXPECT_TRUE(c.type == TGradientType::GTHorizontal ? rowIs(bitmap, position, colorIndex(index))
                                                        : columnIs(bitmap, position, colorIndex(index)))
          << position;
  }
  EXPECT_EQ(colorIndex(49), RGB(255, 27, 196));
  EXPECT_EQ(colorIndex(50), RGB(255, 25, 200));
}

TEST(TKXPanel, CylindersGoOutAndBack) {
  for (TGradientType type : {TGradientType::GTHorizontalCylindre, TGradientType::GTVerticalCylindre}) {
    const bool horizontal = type == TGradientType::GTHorizontalCylindre;
    SCOPED_TRACE(horizontal);
    TKXPanel panel;
    if (horizontal)
      setColors(panel, type, 20, 105); // bands of Round(105 / 51) = 2, remainder 100..104
    else
      setColors(panel, type, 105, 20);
    const QImage bitmap = panel.renderBitmap();
    struct BandCase {
      int at, index;
    };
    for (auto [position, index] :
         {BandCase{0, 0}, {3, 2}, {48, 48}, {49, 48}, {50, 50}, {52, 48}, {98, 2}, {100, 2}, {104, 2}}) {
      SCOPED_TRACE(position);
      EXPECT_TRUE(horizontal ? rowIs(bitmap, position, colorIndex(index))
                             : columnIs(bitmap, position, colorIndex(index)));
    }
  }
}

TEST(TKXPanel, EqualColoursFillUniformly) {
  for (TGradientType type : {TGradientType::GTHorizontal, TGradientType::GTVertical,
                             TGradientType::GTHorizontalCylindre, TGradientType::GTVerticalCylindre}) {
    SCOPED_TRACE(static_cast<int>(type));
    TKXPanel panel;
    setColors(panel, type, 140, 130, RGB(10, 200, 30), RGB(10, 200, 30));
    const QImage bitmap = panel.renderBitmap();
    for (int y = 0; y < 130; ++y)
      ASSERT_TRUE(rowIs(bitmap, y, RGB(10, 200, 30))) << y;
  }
}

TEST(TKXPanel, ReflectRingCountGrowsWithTheWidth) {
  struct RingCase {
    int width, rings;
  };
  const RingCase cases[] = {{0, 49},     {199, 49},   {200, 99},   {399, 99},   {400, 149},  {999, 249},
                            {1000, 299}, {1399, 349}, {1400, 399}, {9999, 399}, {10000, 399}};
  for (auto [width, rings] : cases) {
    EXPECT_EQ(reflectRingCount(width), rings) << width;
  }
}

TEST(TKXPanel, ReflectDiscsCentreOnTheUpperLeftQuarter) {
  TKXPanel panel;
  setColors(panel, TGradientType::GTReflect, 100, 100);
  const QImage bitmap = panel.renderBitmap();
  // Radius Round(141.42 * 3 / 4) = 106; 49 rings below 200 pixels.
  EXPECT_EQ(panel.Reflect(), (TReflect{25, 25, 106, 49}));
  // The smallest disc, radius 106 - Round(49 * 106 / 50) = 2, darkened by Round(200 / 106) = 2.
  EXPECT_EQ(at(bitmap, 25, 25), greyOf(253));
  // The far corner, 105.4 pixels out, is only inside the largest disc: darkened by 100.
  EXPECT_EQ(at(bitmap, 99, 99), greyOf(155));
  // Brighter towards the highlight along the diagonal.
  for (int i = 30; i < 99; ++i)
    EXPECT_GE(GetRValue(at(bitmap, i - 1, i - 1)), GetRValue(at(bitmap, i, i)));
}

TEST(TKXPanel, InverseSquareReflectBrightensFaster) {
  TKXPanel linear;
  TKXPanel square;
  setColors(linear, TGradientType::GTReflect, 100, 100);
  setColors(square, TGradientType::GTReflect, 100, 100);
  square.setGradientProgress(TGradientProgress::InverseSQR);
  const QImage a = linear.renderBitmap();
  const QImage b = square.renderBitmap();
  EXPECT_EQ(at(b, 25, 25), greyOf(255));
  EXPECT_EQ(at(b, 99, 99), greyOf(155));
  EXPECT_GT(GetRValue(at(b, 60, 60)), GetRValue(at(a, 60, 60)));
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

TEST(TKXPanel, MetalPlateTopRimBrightensInTiers) {
  TKXPanel panel;
  setColors(panel, TGradientType::GTMetalPlate, 60, 40);
  const QImage bitmap = panel.renderBitmap();
  struct RimCase {
    int row, level; // 192 + table entry of the row + tier
  };
  for (auto [row, level] : {RimCase{0, 224}, {3, 218}, {4, 212}, {6, 214}, {7, 202}, {10, 201}}) {
    SCOPED_TRACE(row);
    EXPECT_EQ(at(bitmap, row + 1, row), greyOf(level));
    EXPECT_EQ(at(bitmap, 30, row), greyOf(level));
    EXPECT_EQ(at(bitmap, 60 - row - 2, row), greyOf(level));
  }
  for (int y = 11; y < 29; ++y) {
    const int level = GetRValue(at(bitmap, 30, y));
    EXPECT_GE(level, 188);
    EXPECT_LE(level, 195);
  }
  EXPECT_EQ(bitmap.pixelColor(0, 0).red(), bitmap.pixelColor(0, 0).blue());
}

// 8 x 4 pixels, every one different.
QImage smallWallPaper() {
  QImage picture(8, 4, QImage::Format_RGB32);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x)
      picture.setPixel(x, y, qRgb(30 * x, 60 * y, 100));
  return picture;
}

void setWallPaper(TKXPanel& panel, int width, int height) {
  panel.resize(width, height);
  panel.setBevel(TPanelBevel::bvNone);
  panel.setStyle(TPanelStyle::WallPapers);
  panel.setWallPaper(smallWallPaper());
}

TEST(TKXPanel, WallPaperSetsTheScrollToItsWidth) {
  TKXPanel panel;
  panel.setWallPaper(smallWallPaper());
  EXPECT_EQ(panel.ScrollOffset(), 8);
  EXPECT_EQ(panel.ScrollPeriod(), 8);
  panel.animationTick();
  panel.setStyle(TPanelStyle::WallPapers);
  EXPECT_EQ(panel.ScrollOffset(), 8);
}

TEST(TKXPanel, WallPaperIsTiledOverTheWholePanelAndScrolledTilesStillReachBothEdges) {
  const QImage picture = smallWallPaper();
  for (const int ticks : {0, 7}) {
    SCOPED_TRACE(ticks);
    TKXPanel panel;
    setWallPaper(panel, 30, 10);
    panel.setAnimation(ticks > 0);
    for (int i = 0; i < ticks; ++i)
      panel.animationTick(); // offset 1: the first column starts at -7
    const QImage bitmap = panel.renderBitmap();
    EXPECT_EQ(panel.ScrollOffset(), ticks ? 1 : 0); // no animation: back to the start
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 30; ++x)
        ASSERT_EQ(bitmap.pixel(x, y), picture.pixel((x + ticks) % 8, y % 4)) << x << "," << y;
  }
}

TEST(TKXPanel, AnimationStepMovesTheTilesOnePixelLeftAndRepeatsEachWidth) {
  TKXPanel panel;
  setWallPaper(panel, 30, 10);
  panel.setAnimation(true);
  EXPECT_TRUE(panel.animationRunning());
  const QImage start = panel.renderBitmap();
  EXPECT_EQ(panel.ScrollOffset(), 8);
  panel.animationTick();
  EXPECT_EQ(panel.ScrollOffset(), 7);
  const QImage step = panel.renderBitmap();
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 29; ++x)
      ASSERT_EQ(step.pixel(x, y), start.pixel(x + 1, y)) << x << "," << y;
  for (int offset = 6; offset >= 1; --offset) {
    panel.animationTick();
    EXPECT_EQ(panel.ScrollOffset(), offset);
  }
  panel.animationTick(); // below 1: reloaded with the period
  EXPECT_EQ(panel.ScrollOffset(), 8);
  EXPECT_EQ(panel.renderBitmap(), start);

  panel.setAnimation(false);
  EXPECT_FALSE(panel.animationRunning());
  panel.animationTick();
  panel.renderBitmap();
  EXPECT_EQ(panel.ScrollOffset(), 0);
}

TEST(TKXPanel, AnimationTimerScrollsByItself) {
  TKXPanel panel;
  setWallPaper(panel, 30, 10);
  panel.setAnimation(true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return panel.ScrollOffset() < 8; }, 2000));
}

TEST(TKXPanel, EmptyWallPaperLeavesTheBitmapWhiteInsideTheBevel) {
  TKXPanel panel;
  panel.resize(20, 10);
  panel.setStyle(TPanelStyle::WallPapers);
  panel.setBevel(TPanelBevel::bvLowered);
  const QImage bitmap = panel.renderBitmap();
  EXPECT_EQ(at(bitmap, 0, 0), grey);
  for (int y = 1; y < 9; ++y)
    for (int x = 1; x < 19; ++x)
      ASSERT_EQ(at(bitmap, x, y), white);
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
    EXPECT_TRUE(rowIs(bitmap, 0, light)); // (19, 0) too: end pixel left out
    for (int y = 0; y < 9; ++y)
      EXPECT_EQ(at(bitmap, 0, y), light) << y;
    EXPECT_TRUE(rowIs(bitmap, 9, dark));
    for (int y = 1; y < 10; ++y)
      EXPECT_EQ(at(bitmap, 19, y), dark) << y;
    EXPECT_EQ(at(bitmap, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(at(bitmap, 18, 8), RGB(255, 0, 0));
  }
}

TEST(TKXPanel, PaintFunctionNeedsNoWidget) {
  TKXPanelLook look;
  look.GradientType = TGradientType::GTVertical;
  look.ColorUp = look.ColorDown = RGB(0, 0, 255);
  QImage bitmap = newBitmap(30, 20);
  {
    Canvas canvas(bitmap);
    paintPanel(canvas, 30, 20, look, 0, {});
  }
  EXPECT_EQ(at(bitmap, 0, 0), white);
  EXPECT_EQ(at(bitmap, 29, 19), grey);
  EXPECT_EQ(at(bitmap, 15, 10), RGB(0, 0, 255));
}

TEST(TKXPanel, PaintEventShowsTheOffScreenBitmap) {
  TKXPanel panel;
  setColors(panel, TGradientType::GTReflect, 120, 60);
  panel.setBevel(TPanelBevel::bvRaised);
  const QImage shown = panel.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown, panel.renderBitmap());
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
