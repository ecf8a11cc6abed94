#include "app/Accueil.h"

#include "app/ShapedForm.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace vorlan {
namespace {

// A borderless window shaped by its picture; what lies below the picture is cut away. A key-coloured
// pixel inside the plate, such as white lettering, would cut a hole in the window: every row of the
// picture is one run at most.
TEST(TSplashform, IsABorderlessWindowShapedByItsPictureWithoutHolesShownCentredUntilItsTimerFires) {
  TSplashform splash;
  EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
  const QRegion mask = splash.mask();
  EXPECT_TRUE(mask.contains(QPoint(176, 176)));
  EXPECT_FALSE(mask.contains(QPoint(0, 0)));
  EXPECT_FALSE(mask.contains(QPoint(176, 370)));
  const QImage& picture = splash.dxfShapedForm1->Picture();
  ASSERT_FALSE(picture.isNull());
  std::vector<int> runsPerRow(picture.height(), 0);
  for (const QRect& run : ShapeRuns(picture, QPoint(0, 0)))
    EXPECT_LE(++runsPerRow[run.top()], 1) << "row " << run.top();

  // It shows centred and hides when its timer fires.
  EXPECT_TRUE(splash.Timer1->isActive());
  splash.ShowAndPaint();
  EXPECT_TRUE(splash.isVisible());
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE(std::abs(splash.geometry().center().x() - screen.center().x()), 1);
  EXPECT_LE(std::abs(splash.geometry().center().y() - screen.center().y()), 1);

  splash.Timer1->setInterval(20);
  splash.Timer1->start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !splash.isVisible(); }, 2000));
  EXPECT_FALSE(splash.Timer1->isActive());
}

} // namespace
} // namespace vorlan
