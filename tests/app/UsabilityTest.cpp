#include "app/Main.h"
#include "app/UnitImage.h"
#include "cam/CamTestSupport.h"
#include "platform/Dib.h"
#include "platform/Jpeg.h"
#include "platform/Messages.h"
#include "widgets/WindowChrome.h"

#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

using namespace test;

QImage Flat(int width, int height) {
  QImage picture(width, height, QImage::Format_RGB32);
  picture.fill(qRgb(200, 40, 40));
  return picture;
}

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

struct Frame {
  TForm1 frame;
  explicit Frame(QSize size = {1200, 900}) {
    frame.setWindowState(Qt::WindowNoState);
    frame.resize(size);
    frame.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
  }
  QList<QMdiSubWindow*> windows() { return frame.ClientArea()->subWindowList(); }
  QRect clientRect() { return frame.ClientArea()->viewport()->rect(); }
};

void ExpectCentred(const QMdiSubWindow* window) {
  const QSize client = window->mdiArea()->viewport()->size();
  const QRect placed = window->geometry();
  EXPECT_LE(std::abs(placed.left() - (client.width() - placed.right() - 1)), 1);
  EXPECT_LE(std::abs(placed.top() - (client.height() - placed.bottom() - 1)), 1);
}

// The picture shows at 1:1, centred, under its file name, and stretches with the window.
TEST(TFicheImage, PicturesOpenAtOneToOneCentredAndStretchWithTheWindow) {
  for (const auto& [name, encode] :
       {std::pair<const char*, decltype(&encodeBmp)>{"picture.bmp", encodeBmp}, {"photo.JPG", encodeJpeg}}) {
    SCOPED_TRACE(name);
    test::ScratchDir dir;
    const std::string fileName = dir.path(name);
    test::writeBytes(fileName, encode(Quadrants(400, 300)));
    Frame shown;
    shown.frame.OpenFile(fileName);
    auto* window = qobject_cast<TFicheImage*>(shown.windows().value(0));
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(shown.windows().size(), 1);
    QApplication::processEvents();
    EXPECT_EQ(window->Image1->size(), QSize(400, 300));
    EXPECT_EQ(window->Image1->Picture().format(), kShownPictureFormat) << "painted without a conversion";
    EXPECT_EQ(window->windowFilePath().toStdString(), fileName);
    ExpectCentred(window);
    if (encode == encodeJpeg) continue;

    // Either side of the quadrant corners, then of the corners stretched twice.
    for (const int scale : {1, 2}) {
      if (scale == 2) window->resize(window->size() + QSize(400, 300));
      QApplication::processEvents();
      ASSERT_EQ(window->Image1->size(), QSize(400, 300) * scale);
      const QImage shot = window->Image1->grab().toImage();
      const int x = 200 * scale, y = 150 * scale, margin = 2 * (scale - 1);
      EXPECT_EQ(test::rgbAt(shot, x - scale, y - scale), 0xFF0000u);
      EXPECT_EQ(test::rgbAt(shot, x + margin, y - scale), 0x0000FFu);
      EXPECT_EQ(test::rgbAt(shot, x - scale, y + margin), 0x00FF00u);
      EXPECT_EQ(test::rgbAt(shot, 400 * scale - 1, 300 * scale - 1), 0xFFFF00u);
    }
  }
}

TEST(OpenFailures, SayWhichFileAndWhyAndCloseTheWindowTheyLeftEmpty) {
  std::vector<std::uint8_t> cutJpeg = encodeJpeg(Flat(40, 30));
  cutJpeg.resize(cutJpeg.size() / 2);
  const std::vector<std::uint8_t> text{'s', 'o', 'm', 'e', ' ', 't', 'e', 'x', 't', '\n'};
  // No bytes: the file does not exist. The message says what the text starts with (empty: no text)
  // and `offset` how it ends.
  // clang-format off
  struct Case { const char* name; std::optional<std::vector<std::uint8_t>> bytes; std::string message;
                const char* offset; int windows; };
  const Case cases[] = {
      {"empty.bmp", std::vector<std::uint8_t>{}, "empty.bmp: the file is empty (", "offset 0)", 0},
      {"empty.jpg", std::vector<std::uint8_t>{}, "empty.jpg: the file is empty (", "offset 0)", 0},
      {"text.bmp", text, "text.bmp: not a bitmap file", "(offset 0)", 0},
      {"cut.jpg", cutJpeg, "cut.jpg: not a JPEG picture, or a damaged one (JPEG data", ")", 0},
      {"scene.cam", text, "scene.cam: not a cam file (offset 0)", "", 0},
      {"short.x3d", std::vector<std::uint8_t>{1, 2, 3}, "short.x3d: the file ends too early", ")", 0},
      {"text.x2d", text, "text.x2d: the file ends too early", ")", 0},
      {"gone.bmp", std::nullopt, "File not found : ", "gone.bmp", 0},
      {"photo.jpeg", encodeJpeg(Flat(40, 30)), "", "", 1},
      {"PHOTO.JPEG", encodeJpeg(Flat(40, 30)), "", "", 1},
  };
  // clang-format on
  for (const auto& [name, bytes, message, offset, windows] : cases) {
    SCOPED_TRACE(name);
    test::ScratchDir dir;
    const std::string fileName = dir.path(name);
    if (bytes) test::writeBytes(fileName, *bytes);
    Frame shown;
    MessageRecorder messages;
    shown.frame.OpenFile(fileName);
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(shown.windows().size(), windows);
    if (message.empty()) {
      EXPECT_TRUE(messages.texts().empty());
      continue;
    }
    ASSERT_EQ(messages.texts().size(), 1u);
    const std::string& said = messages.texts()[0];
    EXPECT_TRUE(said.starts_with(message)) << said;
    EXPECT_TRUE(said.ends_with(offset)) << said;
  }
}

TEST(PictureWindows, StayInsideTheFrameAndWideEnoughForTheirButtons) {
  for (const auto& [what, picture, scrolls] : {std::tuple{"larger than the frame", QSize(3000, 2000), true},
                                               {"one pixel", {1, 1}, false},
                                               {"fits", {400, 300}, false}}) {
    SCOPED_TRACE(what);
    test::ScratchDir dir;
    const std::string fileName = dir.path("picture.bmp");
    test::writeBytes(fileName, encodeBmp(Flat(picture.width(), picture.height())));
    Frame shown;
    shown.frame.OpenFile(fileName);
    auto* window = qobject_cast<TFicheImage*>(shown.windows().value(0));
    ASSERT_NE(window, nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(shown.clientRect().contains(window->geometry())) << "title bar and buttons on screen";
    EXPECT_GE(window->width(), 160) << "room for the title bar's buttons";
    const QRect print(window->SpeedButton5->mapTo(window, QPoint()), window->SpeedButton5->size());
    EXPECT_TRUE(window->rect().contains(print));
    EXPECT_EQ(window->ImageBox->horizontalScrollBar()->isVisible(), scrolls);
    EXPECT_TRUE(picture.width() == 1 || window->Image1->size() == picture) << "1:1, scrolled when larger";
  }
}

// Centred, then a step down and right for each further window, until the next step would leave the
// frame: then the last spot that fits.
TEST(CascadedPosition, FurtherWindowsStepDownAndRightUntilTheFrameIsFull) {
  const QSize client(500, 400), window(400, 300);
  const QPoint centred = CentredPosition(client, window);
  for (auto [others, expected] :
       {std::pair{0, QPoint(50, 50)}, {1, {74, 74}}, {2, {98, 98}}, {3, {98, 98}}}) {
    SCOPED_TRACE(others);
    EXPECT_EQ(CascadedPosition(centred, client, window, others), expected);
  }
  EXPECT_EQ(CascadedPosition({0, 0}, {300, 200}, {400, 300}, 2), QPoint(0, 0)) << "larger than the frame";
}

TEST(WindowMenu, CascadesListsSwitchesAndClosesTheChildWindows) {
  test::ScratchDir dir;
  Frame shown;
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
    const std::string fileName = dir.path(name);
    test::writeBytes(fileName, encodeBmp(Flat(120, 80)));
    shown.frame.OpenFile(fileName);
  }
  const auto windows = shown.windows();
  ASSERT_EQ(windows.size(), 3);
  EXPECT_EQ(windows[1]->pos(), windows[0]->pos() + QPoint(24, 24)) << "not on top of each other";
  EXPECT_EQ(windows[2]->pos(), windows[0]->pos() + QPoint(48, 48));

  emit shown.frame.WindowMenu->aboutToShow();
  QStringList listed;
  for (QAction* action : shown.frame.WindowMenu->actions())
    if (action->isCheckable()) listed << action->text() + (action->isChecked() ? " *" : "");
  EXPECT_EQ(listed, (QStringList{"&1 a.bmp", "&2 b.bmp", "&3 c.bmp *"}));

  shown.frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&shown.frame));
  QTest::keyClick(&shown.frame, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(shown.frame.ClientArea()->activeSubWindow(), windows[0]) << "Next goes round";
  QTest::keyClick(&shown.frame, Qt::Key_W, Qt::ControlModifier);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(shown.windows().size(), 2) << "Ctrl+W closes the active window";
  shown.frame.TileWindows->trigger();
  EXPECT_FALSE(shown.windows()[0]->geometry().intersects(shown.windows()[1]->geometry()));
  QTest::keyClick(&shown.frame, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(shown.frame.isVisible()) << "Ctrl+Q exits";
}

TEST(OpenDialog, OpensEachChosenFileAndStartsInTheFolderLastUsed) {
  test::ScratchDir dir;
  Frame shown;
  QStringList names;
  for (const char* name : {"one.bmp", "two.bmp"}) {
    test::writeBytes(dir.path(name), encodeBmp(Flat(40, 30)));
    names << QString("\"%1\"").arg(name);
  }
  QFileDialog* dialog = shown.frame.OpenDialog1;
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  bool dialogShownWhileOpening = false;
  shown.frame.RegisterOpener(".BMP", [&](const std::string& F) {
    dialogShownWhileOpening |= dialog->isVisible();
    TFicheImage::OpenBitmap(shown.frame.ClientArea(), F);
  });
  const QString folder = QFileInfo(QString::fromStdString(dir.path("one.bmp"))).absolutePath();
  QTimer::singleShot(0, dialog, [&] {
    dialog->setDirectory(folder);
    dialog->selectFile(names.join(' '));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  shown.frame.Ouvrir1Click();
  EXPECT_EQ(shown.windows().size(), 2);
  EXPECT_FALSE(dialogShownWhileOpening) << "the dialog is gone before a picture decodes";
  EXPECT_EQ(LastFolder(), folder);

  dialog->setDirectory(QDir::rootPath());
  QString startedIn;
  QTimer::singleShot(0, dialog, [&] {
    startedIn = dialog->directory().absolutePath();
    QMetaObject::invokeMethod(dialog, "reject");
  });
  shown.frame.Ouvrir1Click();
  EXPECT_EQ(startedIn, folder);
  EXPECT_EQ(shown.windows().size(), 2) << "cancel opens nothing";
}

TEST(Drop, OnlyLocalFilesOfTheOpenBranchesCountInOrder) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile("/d/b.x3d"), QUrl("https://example.org/a.cam"),
                QUrl::fromLocalFile("/d/n.txt"), QUrl::fromLocalFile("/d/A.CAM"),
                QUrl::fromLocalFile("/d/p.jpeg"), QUrl::fromLocalFile("/d/f.x2d")});
  EXPECT_EQ(DroppedFiles(data), (std::vector<std::string>{"/d/b.x3d", "/d/A.CAM", "/d/p.jpeg", "/d/f.x2d"}));
}

TEST(Drop, DroppedFilesOpenTheirWindowsAsFileOpenDoes) {
  ScratchDir dir;
  writeBytes(dir.path("one.bmp"), encodeBmp(gradient(40, 30, 10)));
  writeBytes(dir.path("two.jpg"), encodeJpeg(gradient(50, 20, 200)));
  writePair(dir.path("pair.cam"), QSize(30, 20));
  Frame shown;
  TForm1& frame = shown.frame;
  EXPECT_TRUE(frame.acceptDrops());
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.path("one.bmp"))),
                QUrl::fromLocalFile(QString::fromStdString(dir.path("notes.txt"))),
                QUrl::fromLocalFile(QString::fromStdString(dir.path("two.jpg"))),
                QUrl::fromLocalFile(QString::fromStdString(dir.path("pair.cam")))});
  const QPoint centre = frame.rect().center();
  QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&frame, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&frame, &drop);
  QTRY_COMPARE(frame.ClientArea()->subWindowList().size(), 3);
  QStringList titles;
  for (QMdiSubWindow* window : frame.ClientArea()->subWindowList())
    titles << QFileInfo(window->windowTitle()).fileName();
  EXPECT_TRUE(titles.contains("one.bmp") && titles.contains("two.jpg")) << titles.join(',').toStdString();

  QMimeData nothing;
  nothing.setUrls({QUrl::fromLocalFile("/d/readme.txt")});
  QDragEnterEvent refused(centre, Qt::CopyAction, &nothing, Qt::LeftButton, Qt::NoModifier);
  refused.setAccepted(false);
  QCoreApplication::sendEvent(&frame, &refused);
  EXPECT_FALSE(refused.isAccepted());
}

// With no window manager nothing honours the maximised state: the frame still covers the screen.
TEST(TForm1, ComesUpMaximisedWithoutAWindowManager) {
  TForm1 frame;
  frame.ShowMaximised();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  const QRect available = frame.screen()->availableGeometry();
  EXPECT_GE(frame.frameGeometry().width(), available.width());
  EXPECT_GE(frame.frameGeometry().height(), available.height() - 40);
}

} // namespace
} // namespace vorlan
