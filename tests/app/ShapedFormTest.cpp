#include "app/ShapedForm.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

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

// The key is whatever pixel (0, 0) holds; a run closes at a key pixel or at the right edge, and
// colours one step off the key are opaque.
TEST(ShapeRuns, OpaqueRunsCloseAtTheKeyAndAtTheRightEdge) {
  struct Case {
    const char* what;
    std::vector<const char*> rows; // '.' key, '#' opaque, '+' the key's colour plus one blue step
    std::vector<QRect> runs;       // the picture sits at (5, 5)
  };
  const Case cases[] = {
      {"runs in the middle and at the right edge",
       {"..###.....", "......####", ".#.##....."},
       {{7, 5, 3, 1}, {11, 6, 4, 1}, {6, 7, 1, 1}, {8, 7, 2, 1}}},
      {"one step off the key is opaque", {".+.."}, {{6, 5, 1, 1}}},
      {"a picture of one colour has no runs", {"....", "...."}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QImage picture(static_cast<int>(std::strlen(c.rows[0])), static_cast<int>(c.rows.size()),
                   QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) {
        const char pixel = c.rows[y][x];
        picture.setPixel(x, y,
                         pixel == '.'   ? qRgb(0, 128, 128)
                         : pixel == '+' ? qRgb(0, 128, 129)
                                        : qRgb(200, 0, 0));
      }
    EXPECT_EQ(ShapeRuns(picture, QPoint(5, 5)), c.runs);
  }
  EXPECT_TRUE(ShapeRuns(QImage(), QPoint(0, 0)).empty());
}

// Alternating key and opaque columns: 100 runs a row, 26000 in all, every one kept; rows with the
// same runs share their rectangles, so the mask stays small.
TEST(ShapeRegion, KeepsEveryRunBeyondTwentyFiveThousandAndMergesEqualRows) {
  QImage picture(200, 260, QImage::Format_RGB32);
  picture.fill(Qt::white);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 1; x < picture.width(); x += 2)
      picture.setPixel(x, y, qRgb(0, 0, 0));
  EXPECT_EQ(ShapeRuns(picture, QPoint(0, 0)).size(), 26000u);
  const QRegion region = ShapeRegion(picture, QPoint(0, 0));
  EXPECT_TRUE(region.contains(QPoint(199, 259)));
  EXPECT_FALSE(region.contains(QPoint(198, 259)));
  EXPECT_EQ(region.rectCount(), 100);
}

TEST(TdxfShapedForm, ActiveShapesTheOwnerWhereTheControlSitsAndInactiveGivesItsRectangleBack) {
  // A form shaped by a control that sits inside a panel, as a control nested in the form would.
  QWidget form;
  form.resize(200, 200);
  auto* panel = new QWidget(&form);
  panel->setGeometry(10, 20, 150, 150);
  auto* shaped = new TdxfShapedForm(&form, panel);
  shaped->move(5, 5);
  shaped->setPicture(WhiteWithRedDisc(100, QRect(0, 0, 100, 100)));
  const Qt::WindowFlags before = form.windowFlags();
  EXPECT_EQ(shaped->size(), QSize(100, 100));
  shaped->setActive(true);
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  const QRegion mask = form.mask();
  EXPECT_TRUE(mask.contains(QPoint(15 + 50, 25 + 50)));
  EXPECT_FALSE(mask.contains(QPoint(14, 75)));
  EXPECT_FALSE(mask.contains(QPoint(15 + 2, 25 + 2)));
  shaped->setActive(true);
  shaped->setActive(false);
  EXPECT_TRUE(form.mask().isEmpty());
  EXPECT_EQ(form.windowFlags(), before);

  QImage plain(20, 20, QImage::Format_RGB32);
  plain.fill(Qt::gray);
  shaped->setPicture(plain);
  shaped->setActive(true);
  EXPECT_TRUE(form.mask().isEmpty()) << "a picture of one colour leaves the owner its rectangle";
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
  const QPointF global = target->mapToGlobal(QPointF(local));
  QMouseEvent event(type, QPointF(local), global, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                    buttons, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

TEST(TdxfShapedForm, DraggingThePictureMovesTheOwner) {
  // Left half olive (the caption colour), right half blue.
  QImage picture(100, 100, QImage::Format_RGB32);
  picture.fill(qRgb(0, 0, 255));
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 50; ++x)
      picture.setPixel(x, y, qRgb(128, 128, 0));
  picture.setPixel(0, 0, qRgb(255, 255, 255));
  for (const auto& [what, alwaysMove, pressAt, moves] :
       {std::tuple{"anywhere with AlwaysMove", true, QPoint(80, 50), true},
        {"on the caption colour", false, {20, 50}, true},
        {"off the caption colour", false, {80, 50}, false}}) {
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
