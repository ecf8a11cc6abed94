#include "CamTestSupport.h"
#include "cam/UnitCamOGL.h"
#include "cam/UnitRetoucheCam.h"
#include "gl/KX_OpenGL_VIEW.h"
#include "widgets/KX_BUTTONS.h"

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

struct Pair {
  test::ScratchDir dir;
  test::ShownFrame shown;
  TFicheRetoucheCam* window = nullptr;

  explicit Pair(QSize size = {200, 150}) {
    const std::string fileName = dir.path("pair.cam");
    test::writePair(fileName, size);
    window = TFicheRetoucheCam::Open(shown.frame.ClientArea(), fileName);
    QApplication::processEvents();
  }
  void wheel(int angle) {
    const QPoint at(10, 10);
    QWheelEvent event(at, window->PB1->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window->PB1, &event);
  }
};

// A fast stroke reports few positions; with a small brush the way between them was left unpainted.
TEST(RetoucheUsability, AFastStrokeWithASmallBrushPaintsAnUnbrokenLine) {
  for (int radius : {1, 3}) {
    SCOPED_TRACE(radius);
    Pair pair;
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

TEST(RetoucheUsability, TheWheelZoomsInAndOutOnceEach) {
  Pair pair;
  TFicheRetoucheCam* w = pair.window;
  struct Step {
    int angle;
    QSize size;
  };
  for (const auto& [angle, size] :
       {Step{120, {400, 300}}, {120, {400, 300}}, {-120, {200, 150}}, {-120, {200, 150}}}) {
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

TEST(RetoucheUsability, ClosingAfterBrushWorkAsksAndCancelKeepsTheWindow) {
  Pair pair;
  TFicheRetoucheCam* w = pair.window;
  bool asked = false;
  EXPECT_FALSE(w->SavePictureDialog1->testOption(QFileDialog::DontConfirmOverwrite))
      << "a save asks before it replaces a file";

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

TEST(RetoucheUsability, ClosingWithoutBrushWorkAsksNothing) {
  Pair pair;
  bool asked = false;
  answerNextQuestion(QMessageBox::Cancel, asked);
  pair.window->close();
  QApplication::processEvents();
  EXPECT_FALSE(asked);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(pair.shown.children().isEmpty());
}

TEST(RetoucheUsability, ASmallPairStillShowsTheWholeToolBar) {
  Pair pair({20, 10});
  TFicheRetoucheCam* w = pair.window;
  const QRect print(w->SpeedButton5->mapTo(w, QPoint()), w->SpeedButton5->size());
  EXPECT_TRUE(w->rect().contains(print));
}

// A 3D window in the frame of this library's tests, with its view initialised.
struct Scene3D {
  test::ShownFrame shown;
  TFicheCamOGL* window = nullptr;
  Scene3D() {
    window = new TFicheCamOGL(shown.frame.ClientArea());
    window->v1->Initialisation();
    QApplication::processEvents();
  }
};

TEST(CamWindowUsability, TogglesShowTheirStateAndEveryButtonIsNamed) {
  Scene3D scene;
  TFicheCamOGL* w = scene.window;
  w->SpeedButton1->click();
  EXPECT_TRUE(w->SpeedButton1->isChecked());
  EXPECT_TRUE(w->IsRotating());
  w->SpeedButton1->click();
  EXPECT_FALSE(w->SpeedButton1->isChecked());
  w->SpeedButton23->click();
  EXPECT_TRUE(w->SpeedButton23->isChecked());
  EXPECT_TRUE(w->View().PaperMode());
  w->SpeedButton23Click();
  EXPECT_FALSE(w->SpeedButton23->isChecked()) << "the button follows the mode however it changes";
  for (QToolButton* button : w->KXPanel1->findChildren<QToolButton*>()) {
    SCOPED_TRACE(button->objectName().toStdString() + button->text().toStdString());
    EXPECT_FALSE(button->toolTip().isEmpty());
  }
}

TEST(CamWindowUsability, TheHintGivesWayToTheButtonsInANarrowWindow) {
  Scene3D scene;
  TFicheCamOGL* w = scene.window;
  for (int width : {900, 561, 200}) {
    SCOPED_TRACE(width);
    w->SubWindow()->resize(width, 390);
    QApplication::processEvents();
    const QRect hint = w->Label1->geometry();
    for (QToolButton* button : w->KXPanel1->findChildren<QToolButton*>()) {
      if (w->Label1->isVisible()) {
        EXPECT_FALSE(hint.intersects(button->geometry()));
      }
    }
    EXPECT_TRUE(w->KXPanel1->rect().contains(w->SpeedButton5->geometry())) << "the window keeps its buttons";
  }
  w->SubWindow()->resize(900, 390);
  QApplication::processEvents();
  EXPECT_TRUE(w->Label1->isVisible()) << "wide enough for the hint";
}

} // namespace
} // namespace vorlan
