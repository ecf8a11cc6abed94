#include "app/Accueil.h"

#include "app/Main.h"
#include "app/ShapedForm.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace vorlan {

namespace {

// The caption area of the splash picture: pressing there drags the splash.
constexpr TColor Olive = 0x008080;

QFont SplashFont() {
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  return font;
}

} // namespace

TSplashform::TSplashform() : QWidget(nullptr, Qt::SplashScreen | Qt::WindowStaysOnTopHint) {
  RegisterPictures();
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(362, 379);
  setFont(SplashFont());

  dxfShapedForm1 = new TdxfShapedForm(this);
  dxfShapedForm1->move(0, 0);
  dxfShapedForm1->setPicture(QImage(":/splash.png"));
  dxfShapedForm1->setCaptionColor(Olive);
  dxfShapedForm1->setAlwaysMove(true);
  dxfShapedForm1->setActive(true);

  Image1 = new QLabel(this);
  Image1->setGeometry(32, 132, 80, 80);
  Image1->setPixmap(QPixmap(":/splash_emblem.png"));
  // The emblem is part of the picture: pressing on it drags the splash like anywhere else.
  Image1->setAttribute(Qt::WA_TransparentForMouseEvents);

  Timer1 = new QTimer(this);
  Timer1->setInterval(2000);
  connect(Timer1, &QTimer::timeout, this, &TSplashform::Timer1Timer);
  Timer1->start();
}

void TSplashform::ShowAndPaint() {
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  show();
  repaint();
  // The window system must map the window before it shows what was painted.
  QApplication::processEvents();
}

void TSplashform::Timer1Timer() {
  Timer1->stop();
  hide();
}

} // namespace vorlan
