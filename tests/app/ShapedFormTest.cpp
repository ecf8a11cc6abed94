#include "app/ShapedForm.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

QImage WhiteWithRedDisc(int size, QRect disc) {
  QImage picture(size, size, QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::red);
  painter.drawEllipse(disc);
  return picture;
}

TEST(ShapeRegion, AWhitePictureWithARedDiscGivesADisc) {
  const QImage picture = WhiteWithRedDisc(100, QRect(20, 20, 60, 60));
  const QRegion region = ShapeRegion(picture, QPoint(0, 0));
  struct Probe {
    const char* what;
    QPoint at;
    bool inside;
  };
  const Probe probes[] = {
      {"centre", {50, 50}, true},
      {"near the left rim", {22, 50}, true},
      {"near the bottom rim", {50, 78}, true},
      {"square corner outside the disc", {22, 22}, false},
      {"right of the disc", {85, 50}, false},
  };
  for (const auto& [what, at, inside] : probes) {
    SCOPED_TRACE(what);
    EXPECT_EQ(region.contains(at), inside);
  }
}

TEST(ShapeRuns, OpaqueRunsCloseAtTheKeyAndAtTheRightEdge) {
  QImage picture(10, 3, QImage::Format_RGB32);
  picture.fill(Qt::white);
  for (int x = 2; x < 5; ++x)
    picture.setPixel(x, 0, qRgb(255, 0, 0));
  for (int x = 6; x < 10; ++x)
    picture.setPixel(x, 1, qRgb(0, 0, 255));
  picture.setPixel(1, 2, qRgb(0, 0, 0));
  picture.setPixel(3, 2, qRgb(0, 128, 0));
  picture.setPixel(4, 2, qRgb(0, 0, 0));
  const std::vector<QRect> expected = {QRect(7, 5, 3, 1), QRect(11, 6, 4, 1), QRect(6, 7, 1, 1),
                                       QRect(8, 7, 2, 1)};
  EXPECT_EQ(ShapeRuns(picture, QPoint(5, 5)), expected);
}

TEST(ShapeRuns, OnlyPixelsOfTheKeyColourAreOutside) {
  // The key is whatever pixel (0, 0) holds, and colours differing in one channel by one count.
  QImage picture(4, 1, QImage::Format_RGB32);
  picture.setPixel(0, 0, qRgb(0, 128, 128));
  picture.setPixel(1, 0, qRgb(0, 128, 129));
  picture.setPixel(2, 0, qRgb(0, 128, 128));
  picture.setPixel(3, 0, qRgb(0, 128, 128));
  EXPECT_EQ(ShapeRuns(picture, QPoint(0, 0)), std::vector<QRect>{QRect(1, 0, 1, 1)});
}

TEST(ShapeRegion, PicturesWithoutAKeyPixelAfterARunKeepTheirRightParts) {
  // Key in the first column, opaque from there to the right edge on every row: each row's run
  // reaches the edge and is closed there, so the region is everything right of the key column.
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(qRgb(0, 0, 255));
  for (int y = 0; y < 30; ++y)
    picture.setPixel(0, y, qRgb(255, 255, 255));
  const QRegion region = ShapeRegion(picture, QPoint(0, 0));
  EXPECT_TRUE((region ^ QRegion(1, 0, 39, 30)).isEmpty());
  // Rows with the same runs share one rectangle, so the mask stays small.
  EXPECT_EQ(region.rectCount(), 1);
}

TEST(ShapeRegion, APictureOfOneColourHasNoRuns) {
  QImage picture(16, 16, QImage::Format_RGB32);
  picture.fill(qRgb(10, 20, 30));
  EXPECT_TRUE(ShapeRuns(picture, QPoint(0, 0)).empty());
  EXPECT_TRUE(ShapeRegion(picture, QPoint(0, 0)).isEmpty());
  EXPECT_TRUE(ShapeRuns(QImage(), QPoint(0, 0)).empty());
}

TEST(ShapeRegion, KeepsEveryRunBeyondTwentyFiveThousand) {
  // Alternating key and opaque columns: 100 runs a row, 26000 in all.
  QImage picture(200, 260, QImage::Format_RGB32);
  picture.fill(Qt::white);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 1; x < picture.width(); x += 2)
      picture.setPixel(x, y, qRgb(0, 0, 0));
  EXPECT_EQ(ShapeRuns(picture, QPoint(0, 0)).size(), 26000u);
  const QRegion region = ShapeRegion(picture, QPoint(0, 0));
  EXPECT_TRUE(region.contains(QPoint(199, 259)));
  EXPECT_FALSE(region.contains(QPoint(198, 259)));
}

// A form shaped by a control that sits inside a panel, as a control nested in the form would.
struct ShapedFixture {
  QWidget form;
  QWidget* panel = new QWidget(&form);
  TdxfShapedForm* shaped;

  ShapedFixture() {
    form.resize(200, 200);
    panel->setGeometry(10, 20, 150, 150);
    shaped = new TdxfShapedForm(&form, panel);
    shaped->move(5, 5);
    shaped->setPicture(WhiteWithRedDisc(100, QRect(0, 0, 100, 100)));
  }
};

TEST(TdxfShapedForm, ActiveShapesTheOwnerToThePictureWhereTheControlSits) {
  ShapedFixture fixture;
  EXPECT_EQ(fixture.shaped->size(), QSize(100, 100));
  fixture.shaped->setActive(true);
  EXPECT_TRUE(fixture.form.windowFlags() & Qt::FramelessWindowHint);
  const QRegion mask = fixture.form.mask();
  EXPECT_TRUE(mask.contains(QPoint(15 + 50, 25 + 50)));
  EXPECT_FALSE(mask.contains(QPoint(14, 75)));
  EXPECT_FALSE(mask.contains(QPoint(15 + 2, 25 + 2)));
}

TEST(TdxfShapedForm, InactiveGivesTheOwnerBackItsRectangleAndBorder) {
  ShapedFixture fixture;
  const Qt::WindowFlags before = fixture.form.windowFlags();
  fixture.shaped->setActive(true);
  fixture.shaped->setActive(true);
  fixture.shaped->setActive(false);
  EXPECT_TRUE(fixture.form.mask().isEmpty());
  EXPECT_EQ(fixture.form.windowFlags(), before);
}

TEST(TdxfShapedForm, AOneColourPictureLeavesTheOwnerItsFullRectangle) {
  QWidget form;
  form.resize(50, 50);
  TdxfShapedForm shaped(&form);
  QImage plain(20, 20, QImage::Format_RGB32);
  plain.fill(Qt::gray);
  shaped.setPicture(plain);
  shaped.setActive(true);
  EXPECT_TRUE(form.mask().isEmpty());
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
  const QPointF global = target->mapToGlobal(QPointF(local));
  QMouseEvent event(type, QPointF(local), global, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                    buttons, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

TEST(TdxfShapedForm, DraggingThePictureMovesTheOwner) {
  struct Case {
    const char* what;
    bool alwaysMove;
    QPoint pressAt;
    bool moves;
  };
  // Left half olive (the caption colour), right half blue.
  QImage picture(100, 100, QImage::Format_RGB32);
  picture.fill(qRgb(0, 0, 255));
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 50; ++x)
      picture.setPixel(x, y, qRgb(128, 128, 0));
  picture.setPixel(0, 0, qRgb(255, 255, 255));
  const Case cases[] = {{"anywhere with AlwaysMove", true, {80, 50}, true},
                        {"on the caption colour", false, {20, 50}, true},
                        {"off the caption colour", false, {80, 50}, false}};
  for (const auto& [what, alwaysMove, pressAt, moves] : cases) {
    SCOPED_TRACE(what);
    QWidget form;
    form.resize(100, 100);
    TdxfShapedForm shaped(&form);
    shaped.setPicture(picture);
    shaped.setCaptionColor(0x008080);
    shaped.setAlwaysMove(alwaysMove);
    shaped.setActive(true);
    form.move(100, 100);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QPoint start = form.pos();
    SendMouse(&shaped, QEvent::MouseButtonPress, pressAt, Qt::LeftButton);
    SendMouse(&shaped, QEvent::MouseMove, pressAt + QPoint(30, 20), Qt::LeftButton);
    SendMouse(&shaped, QEvent::MouseButtonRelease, pressAt + QPoint(30, 20), Qt::NoButton);
    EXPECT_EQ(form.pos(), moves ? start + QPoint(30, 20) : start);
  }
}

} // namespace
} // namespace vorlan
