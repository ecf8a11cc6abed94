#include "app/UnitImage.h"

#include "app/Main.h"
#include "platform/Dib.h"
#include "platform/Jpeg.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"

#include <QFileDialog>
#include <QMdiArea>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

// Four flat quadrants, so that both 1:1 display and stretching can be probed by colour.
QImage Quadrants(int width, int height) {
  QImage picture(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.setPixel(x, y,
                       x < width / 2 ? (y < height / 2 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                                     : (y < height / 2 ? qRgb(0, 0, 255) : qRgb(255, 255, 0)));
  return picture;
}

struct ShownFrame {
  TForm1 frame;
  ShownFrame() {
    frame.setWindowState(Qt::WindowNoState);
    frame.resize(1200, 900);
    frame.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
  }
  QMdiSubWindow* onlyChild() {
    const auto children = frame.ClientArea()->subWindowList();
    return children.size() == 1 ? children.first() : nullptr;
  }
};

void ExpectCentred(const QMdiSubWindow* window) {
  const QSize client = window->mdiArea()->viewport()->size();
  const QRect placed = window->geometry();
  EXPECT_LE(std::abs(placed.left() - (client.width() - placed.right() - 1)), 1);
  EXPECT_LE(std::abs(placed.top() - (client.height() - placed.bottom() - 1)), 1);
}

// The picture shows at 1:1, centred, under its file name, and stretches with the window.
TEST(TFicheImage, PicturesOpenAtOneToOneCentredAndStretchWithTheWindow) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> (*encode)(const QImage&);
  };
  const Case cases[] = {{"picture.bmp", encodeBmp}, {"photo.JPG", encodeJpeg}};
  for (const auto& [name, encode] : cases) {
    SCOPED_TRACE(name);
    test::ScratchDir dir;
    const std::string fileName = dir.path(name);
    test::writeBytes(fileName, encode(Quadrants(400, 300)));
    ShownFrame shown;
    shown.frame.OpenFile(fileName);
    auto* window = qobject_cast<TFicheImage*>(shown.onlyChild());
    ASSERT_NE(window, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(window->Image1->size(), QSize(400, 300));
    EXPECT_EQ(window->windowFilePath().toStdString(), fileName);
    ExpectCentred(window);
    if (encode == encodeJpeg) continue;

    QImage shot = window->Image1->grab().toImage();
    EXPECT_EQ(test::rgbAt(shot, 199, 149), 0xFF0000u);
    EXPECT_EQ(test::rgbAt(shot, 200, 149), 0x0000FFu);
    EXPECT_EQ(test::rgbAt(shot, 199, 150), 0x00FF00u);
    window->resize(window->size() + QSize(400, 300));
    QApplication::processEvents();
    ASSERT_EQ(window->Image1->size(), QSize(800, 600));
    shot = window->Image1->grab().toImage();
    EXPECT_EQ(test::rgbAt(shot, 398, 298), 0xFF0000u);
    EXPECT_EQ(test::rgbAt(shot, 402, 298), 0x0000FFu);
    EXPECT_EQ(test::rgbAt(shot, 398, 302), 0x00FF00u);
    EXPECT_EQ(test::rgbAt(shot, 799, 599), 0xFFFF00u);
  }
}

TEST(TForm1, TheOpenCommandOpensTheChosenFileAndCancelOpensNothing) {
  struct Case {
    const char* what;
    bool accept;
    qsizetype windows;
  };
  for (const auto& [what, accept, windows] : {Case{"accepted", true, 1}, Case{"cancelled", false, 0}}) {
    SCOPED_TRACE(what);
    test::ScratchDir dir;
    const std::string fileName = dir.path("chosen.bmp");
    test::writeBytes(fileName, encodeBmp(Quadrants(40, 30)));
    ShownFrame shown;
    QFileDialog* dialog = shown.frame.OpenDialog1;
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    QTimer::singleShot(0, dialog, [&, accept = accept] {
      dialog->selectFile(QString::fromStdString(fileName));
      QMetaObject::invokeMethod(dialog, accept ? "accept" : "reject");
    });
    shown.frame.Ouvrir1Click();
    const auto opened = shown.frame.ClientArea()->subWindowList();
    ASSERT_EQ(opened.size(), windows);
    if (windows) {
      EXPECT_EQ(opened[0]->windowFilePath().toStdString(), fileName);
    }
  }
}

} // namespace
} // namespace vorlan
