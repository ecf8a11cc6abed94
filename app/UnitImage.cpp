#include "app/UnitImage.h"

#include "app/Main.h"
#include "platform/Dib.h"
#include "platform/Jpeg.h"
#include "platform/Messages.h"
#include "platform/Printing.h"
#include "widgets/FrameServices.h"
#include "widgets/KX_BUTTONS.h"
#include "widgets/WindowChrome.h"

#include <QApplication>
#include <QMdiArea>
#include <QPainter>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace vorlan {

namespace {

constexpr int ToolBarHeight = 25;
constexpr int PrintButtonRight = 30;

} // namespace

TStretchedImage::TStretchedImage(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

void TStretchedImage::setPicture(const QImage& picture) {
  Picture_ = picture;
  update();
}

void TStretchedImage::paintEvent(QPaintEvent*) {
  if (Picture_.isNull()) return;
  QPainter painter(this);
  painter.drawImage(rect(), Picture_);
}

TFicheImage::TFicheImage(QMdiArea* area) {
  DressChildWindow(this);
  auto* layout = NewClientColumn(Qt::black);
  QWidget* client = layout->parentWidget();
  ImageBox = new QScrollArea(client);
  ImageBox->setFrameShape(QFrame::NoFrame);
  ImageBox->setWidgetResizable(true);
  SetColors(ImageBox->viewport(), Qt::black);
  Image1 = new TStretchedImage(ImageBox);
  ImageBox->setWidget(Image1);
  layout->addWidget(ImageBox, 1);
  Panel1 = new QWidget(client);
  Panel1->setFixedHeight(ToolBarHeight);
  layout->addWidget(Panel1);
  BuildToolBar(Panel1);
  setWidget(client);

  ShowInClientArea(area, this, QSize(505, 333));
}

void TFicheImage::BuildToolBar(QWidget* host) {
  KXPanel1 = new TKXPanel(host);
  auto* fill = new QVBoxLayout(host);
  fill->setContentsMargins(0, 0, 0, 0);
  fill->addWidget(KXPanel1);
  ApplyToolBarLook(*KXPanel1, RGB(0, 0, 255), RGB(255, 0, 255));

  SpeedButton5 = new QToolButton(KXPanel1);
  SpeedButton5->setGeometry(5, 0, 25, 25);
  SpeedButton5->setAutoRaise(true);
  SpeedButton5->setIcon(QIcon(":/print.png"));
  SpeedButton5->setToolTip("Print (Ctrl+P)");
  connect(SpeedButton5, &QToolButton::clicked, this, commandSlot(this, &TFicheImage::imprime));
}

TFicheImage* TFicheImage::OpenBitmap(QMdiArea* area, const std::string& F) {
  auto* window = new TFicheImage(area);
  window->ShowPicture(loadBmpFile(F, kShownPictureFormat), F);
  return window;
}

TFicheImage* TFicheImage::OpenJpeg(QMdiArea* area, const std::string& F) {
  auto* window = new TFicheImage(area);
  // The window keeps a plain bitmap copy of the decoded picture, as for a .bmp file.
  window->ShowPicture(loadJpegFile(F, kShownPictureFormat), F);
  return window;
}

void TFicheImage::ShowPicture(const QImage& picture, const std::string& F) {
  Image1->setPicture(picture);
  SetFileCaption(this, F);
  FitToPicture(picture.size());
  CentreInClientArea(this);
}

void TFicheImage::FitToPicture(QSize picture) {
  // The window's frame, title bar, border and tool bar are whatever the window has around the
  // picture control now, so the picture first shows at 1:1 under any style.
  QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  const QSize wanted = size() + (picture - ImageBox->viewport()->size());
  const QSize fitted =
      FittedWindowSize(wanted, mdiArea()->viewport()->size(), PrintButtonRight + 2 * ChildBorderWidth);
  // A picture larger than the frame scrolls at 1:1; one that fits stretches with the window.
  if (fitted != wanted) Image1->setMinimumSize(picture);
  resize(fitted);
}

void TFicheImage::imprime() {
  // A window whose picture failed to load has nothing to print, and no size to scale by.
  if (Image1->Picture().isNull()) return;
  mdiArea()->setActiveSubWindow(this);
  printPicture(this, Image1->Picture());
}

} // namespace vorlan
