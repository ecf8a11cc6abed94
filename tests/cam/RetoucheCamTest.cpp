#include "CamTestSupport.h"

#include "cam/UnitRetoucheCam.h"
#include "platform/Dib.h"
#include "platform/FileBytes.h"
#include "platform/Jpeg.h"
#include "platform/Messages.h"
#include "widgets/KX_BUTTONS.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

namespace vorlan {
namespace {

// A frame holding one 2D window opened on a pair of gradients of `size`.
struct PairWindow {
  test::ScratchDir dir;
  test::ShownFrame shown;
  TFicheRetoucheCam* window = nullptr;
  QImage picture1, picture2;

  explicit PairWindow(QSize size = {200, 150}) {
    const std::string fileName = dir.path("pair.cam");
    test::writePair(fileName, size);
    window = TFicheRetoucheCam::Open(shown.frame.ClientArea(), fileName);
    QApplication::processEvents();
    picture1 = window->GetPicture1();
    picture2 = window->GetPicture2();
  }
  void wheel(int angle) {
    const QPoint at(10, 10);
    QWheelEvent event(at, window->PB1->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window->PB1, &event);
  }
  void brush(Qt::MouseButton button, QPoint at) {
    test::sendMouse(window->PB1, QEvent::MouseButtonPress, at, button, button);
    test::sendMouse(window->PB1, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
  }
};

void expectSamePixels(const QImage& actual, const QImage& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (int y = 0; y < expected.height(); ++y)
    for (int x = 0; x < expected.width(); ++x)
      ASSERT_EQ(test::rgbAt(actual, x, y), test::rgbAt(expected, x, y)) << "at " << x << ", " << y;
}

// Inside `painted` the retouched picture holds picture 2's pixels, everywhere else picture 1's.
void expectRetouched(const PairWindow& pair, const QRect& painted) {
  QImage expected = pair.picture1.convertToFormat(QImage::Format_RGB32);
  QPainter(&expected).drawImage(painted, pair.picture2, painted);
  expectSamePixels(pair.window->GetRetouched(), expected);
}

void expectScreenShows(TFicheRetoucheCam* window, const QImage& picture) {
  expectSamePixels(window->PB1->grab().toImage(), picture);
}

TEST(TFicheRetoucheCam, TheBrushCopiesASquareOfTheSourcePictureOnlyOntoTheRetouchedPicture) {
  // clang-format off
  struct Case { const char* what; Qt::MouseButton button; QPoint at; int radius;
                QToolButton* TFicheRetoucheCam::*shownFirst; QRect painted; };
  // shownFirst null: the retouched picture stays shown.
  const Case cases[] = {
      {"right at (100, 100)", Qt::RightButton, {100, 100}, 5, nullptr, QRect(95, 95, 10, 10)},
      {"clipped at the far corner", Qt::RightButton, {198, 148}, 5, nullptr, QRect(193, 143, 7, 7)},
      {"radius 10 from the track bar", Qt::RightButton, {50, 60}, 10, nullptr, QRect(40, 50, 20, 20)},
      {"beyond the edge", Qt::RightButton, {-6, 20}, 5, nullptr, QRect()},
      {"left paints picture 1, already there", Qt::LeftButton, {100, 100}, 5, nullptr, QRect()},
      {"while picture 1 is shown", Qt::RightButton, {100, 100}, 5, &TFicheRetoucheCam::SpeedButton2, QRect()},
  };
  // clang-format on
  for (const auto& [what, button, at, radius, shownFirst, painted] : cases) {
    SCOPED_TRACE(what);
    PairWindow pair;
    TFicheRetoucheCam* w = pair.window;
    EXPECT_EQ(w->ScrollBox1->viewport()->size().boundedTo(QSize(200, 150)), QSize(200, 150))
        << "one to one, without scroll bars";
    EXPECT_FALSE(w->ScrollBox1->horizontalScrollBar()->isVisible() ||
                 w->ScrollBox1->verticalScrollBar()->isVisible());
    expectScreenShows(w, pair.picture1);
    w->TrackBar1->setValue(radius);
    if (shownFirst) {
      (w->*shownFirst)->click();
      EXPECT_FALSE(w->Zoom->isVisible());
      expectScreenShows(w, shownFirst == &TFicheRetoucheCam::SpeedButton1 ? pair.picture2 : pair.picture1);
    }
    pair.brush(button, at);
    if (shownFirst) w->SpeedButton3->click();
    expectRetouched(pair, painted);
    expectScreenShows(w, w->GetRetouched());
  }
}

TEST(TFicheRetoucheCam, DraggingPaintsAtEachMoveUntilTheButtonComesUp) {
  PairWindow pair;
  TFicheRetoucheCam* w = pair.window;
  QWidget* box = w->PB1;
  test::sendMouse(box, QEvent::MouseButtonPress, {50, 50}, Qt::RightButton, Qt::RightButton);
  test::sendMouse(box, QEvent::MouseMove, {70, 50}, Qt::NoButton, Qt::RightButton);
  const QImage& r = w->GetRetouched();
  for (const int x : {45, 54, 65, 74})
    EXPECT_EQ(test::rgbAt(r, x, 50), test::rgbAt(pair.picture2, x, 50)) << x;
  EXPECT_EQ(test::rgbAt(r, 60, 50), test::rgbAt(pair.picture2, 60, 50)) << "the way between moves is painted";

  test::sendMouse(box, QEvent::MouseButtonRelease, {70, 50}, Qt::RightButton, Qt::NoButton);
  test::sendMouse(box, QEvent::MouseMove, {120, 50}, Qt::NoButton, Qt::RightButton);
  EXPECT_EQ(test::rgbAt(r, 120, 50), test::rgbAt(pair.picture1, 120, 50)) << "no painting after release";

  pair.brush(Qt::LeftButton, {70, 50});
  expectRetouched(pair, QRect(45, 45, 20, 10));
}

TEST(TFicheRetoucheCam, ZoomResizesThePicturesAndThePaintBoxByItsNewState) {
  using W = TFicheRetoucheCam;
  // clang-format off
  struct Case { const char* what; std::vector<QToolButton * W::*> clicks; QSize size; };
  const Case cases[] = {
      {"in", {&W::Zoom}, {202, 150}},
      {"in, then out", {&W::Zoom, &W::Zoom}, {101, 75}},
      {"pressed hidden, released shown", {&W::SpeedButton3, &W::Zoom, &W::SpeedButton3, &W::Zoom}, {50, 38}},
      {"in twice in a row", {&W::Zoom, &W::SpeedButton3, &W::Zoom, &W::SpeedButton3, &W::Zoom}, {404, 300}},
  };
  // clang-format on
  for (const auto& [what, clicks, size] : cases) {
    SCOPED_TRACE(what);
    PairWindow pair({101, 75});
    TFicheRetoucheCam* w = pair.window;
    const QSize windowSize = w->size();
    for (auto click : clicks) {
      EXPECT_TRUE((w->*click)->isVisible()) << "a click a user can make";
      (w->*click)->click();
    }
    EXPECT_EQ(w->PB1->size(), size);
    EXPECT_EQ(w->GetRetouched().size(), size);
    EXPECT_EQ(w->GetPicture1().size(), size);
    EXPECT_EQ(w->GetPicture2().size(), size);
    EXPECT_EQ(w->size(), windowSize);
    expectScreenShows(w, w->GetRetouched());
  }
}

TEST(TFicheRetoucheCam, SaveWritesWhatThePaintBoxShowsAndRefusesOtherExtensions) {
  // load null: nothing may be written; meanError per channel.
  struct Case {
    const char* name;
    QImage (*load)(const std::string&);
    double meanError;
  };
  const Case cases[] = {
      {"shown.bmp", [](const std::string& name) { return loadBmpFile(name); }, 0},
      {"shown.JPG", [](const std::string& name) { return loadJpegFile(name); }, 2},
      {"shown.PNG", [](const std::string& name) { return QImage(QString::fromStdString(name), "PNG"); }, 0},
      {"shown.tif", nullptr, 0}};
  for (const auto& [name, load, meanError] : cases) {
    SCOPED_TRACE(name);
    PairWindow pair({101, 75});
    TFicheRetoucheCam* w = pair.window;
    w->Zoom->click();
    pair.brush(Qt::RightButton, {100, 60});
    const QImage shown = w->PB1->grab().toImage();
    const std::string fileName = pair.dir.path(name);

    QFileDialog* dialog = w->SavePictureDialog1;
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    QTimer::singleShot(0, dialog, [&] {
      dialog->selectFile(QString::fromStdString(fileName));
      QMetaObject::invokeMethod(dialog, "accept");
    });
    MessageRecorder messages;
    w->sauve();

    if (!load) {
      EXPECT_FALSE(fileExists(fileName));
      ASSERT_EQ(messages.texts().size(), 1u);
      EXPECT_NE(messages.texts()[0].find(fileName), std::string::npos) << messages.texts()[0];
      continue;
    }
    EXPECT_TRUE(messages.texts().empty());
    const QImage saved = load(fileName);
    ASSERT_EQ(saved.size(), QSize(202, 150));
    double total = 0;
    for (int y = 0; y < 150; ++y)
      for (int x = 0; x < 202; ++x)
        for (const int shift : {0, 8, 16})
          total += std::abs(int(saved.pixel(x, y) >> shift & 0xFF) - int(shown.pixel(x, y) >> shift & 0xFF));
    EXPECT_LE(total / (202 * 150 * 3), meanError);
  }
}

// A fast stroke reports few positions; with a small brush the way between them was left unpainted.
TEST(TFicheRetoucheCam, AFastStrokeWithASmallBrushPaintsAnUnbrokenLine) {
  for (int radius : {1, 3}) {
    SCOPED_TRACE(radius);
    PairWindow pair;
    TFicheRetoucheCam* w = pair.window;
    w->TrackBar1->setValue(radius);
    test::sendMouse(w->PB1, QEvent::MouseButtonPress, {10, 40}, Qt::RightButton, Qt::RightButton);
    test::sendMouse(w->PB1, QEvent::MouseMove, {150, 40}, Qt::NoButton, Qt::RightButton);
    test::sendMouse(w->PB1, QEvent::MouseMove, {150, 120}, Qt::NoButton, Qt::RightButton);
    test::sendMouse(w->PB1, QEvent::MouseButtonRelease, {150, 120}, Qt::RightButton, Qt::NoButton);
    for (int x = 10; x <= 150; ++x)
      ASSERT_EQ(test::rgbAt(w->GetRetouched(), x, 40), test::rgbAt(w->GetPicture2(), x, 40)) << x;
    for (int y = 40; y <= 120; ++y)
      ASSERT_EQ(test::rgbAt(w->GetRetouched(), 150, y), test::rgbAt(w->GetPicture2(), 150, y)) << y;
    EXPECT_EQ(test::rgbAt(w->GetRetouched(), 80, 80), test::rgbAt(w->GetPicture1(), 80, 80))
        << "only the way";
  }
}

TEST(TFicheRetoucheCam, TheWheelZoomsInAndOutOnceEach) {
  PairWindow pair;
  TFicheRetoucheCam* w = pair.window;
  for (const auto& [angle, size] :
       {std::pair{120, QSize(400, 300)}, {120, {400, 300}}, {-120, {200, 150}}, {-120, {200, 150}}}) {
    SCOPED_TRACE(angle);
    pair.wheel(angle);
    EXPECT_EQ(w->GetRetouched().size(), size);
    EXPECT_EQ(w->PB1->size(), size);
  }
}

// Answers the question box that the close brings up with `button`.
void answerNextQuestion(QMessageBox::StandardButton button, bool& asked) {
  QTimer::singleShot(0, [button, &asked] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    asked = box != nullptr;
    if (box) box->button(button)->click();
  });
}

// A small pair still shows the whole tool bar; closing it after brush work asks, and cancel keeps it.
TEST(TFicheRetoucheCam, ClosingAfterBrushWorkAsksAndCancelKeepsTheWindow) {
  PairWindow untouched({20, 10});
  const QRect print(untouched.window->SpeedButton5->mapTo(untouched.window, QPoint()),
                    untouched.window->SpeedButton5->size());
  EXPECT_TRUE(untouched.window->rect().contains(print));
  bool asked = true;
  answerNextQuestion(QMessageBox::Cancel, asked);
  untouched.window->close();
  QApplication::processEvents();
  EXPECT_FALSE(asked) << "no brush work, no question";
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(untouched.shown.children().isEmpty());

  PairWindow pair;
  TFicheRetoucheCam* w = pair.window;
  EXPECT_FALSE(w->SavePictureDialog1->testOption(QFileDialog::DontConfirmOverwrite))
      << "a save asks before it replaces a file";
  EXPECT_EQ(w->SavePictureDialog1->nameFilters(), (QStringList{"jpg (*.jpg)", "bmp (*.bmp)", "png (*.png)"}));

  test::sendMouse(w->PB1, QEvent::MouseButtonPress, {50, 50}, Qt::RightButton, Qt::RightButton);
  test::sendMouse(w->PB1, QEvent::MouseButtonRelease, {50, 50}, Qt::RightButton, Qt::NoButton);
  ASSERT_TRUE(w->IsModified());
  answerNextQuestion(QMessageBox::Cancel, asked);
  w->close();
  EXPECT_TRUE(asked);
  EXPECT_TRUE(w->isVisible()) << "cancel keeps the work";

  answerNextQuestion(QMessageBox::Discard, asked);
  w->close();
  EXPECT_TRUE(asked);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(pair.shown.children().isEmpty()) << "discard closes it";
}

} // namespace
} // namespace vorlan
