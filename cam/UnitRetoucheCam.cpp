#include "cam/UnitRetoucheCam.h"

#include "cam/KX_CAMOBJET.h"
#include "cam/MainBarProgress.h"
#include "cam/PictureSave.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Printing.h"
#include "widgets/FrameServices.h"
#include "widgets/KX_BUTTONS.h"
#include "widgets/WindowChrome.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMdiArea>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace vorlan {

namespace {

constexpr int ToolBarHeight = 27;
// The right edge of the print button, the last on the tool bar.
constexpr int ToolBarRight = 346;
const QColor FormColor(0x51, 0x51, 0x51);
const QColor ScrollBoxColor(0x80, 0x80, 0x80);

QSize Scaled(QSize size, double factor) {
  return {Round(size.width() * factor), Round(size.height() * factor)};
}

// Zoom resamples the picture itself, nearest pixel, as a stretch onto a new bitmap does.
QImage Stretched(const QImage& picture, double factor) {
  if (picture.isNull()) return picture;
  return picture.scaled(Scaled(picture.size(), factor), Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// The brush square around `at`, cut at the paint box's edges; its right column and bottom row are
// outside, so away from the edges it is 2 * radius pixels wide.
QRect BrushSquare(QPoint at, int radius, QSize box) {
  const int left = std::max(at.x() - radius, 0);
  const int right = std::min(at.x() + radius, box.width());
  const int top = std::max(at.y() - radius, 0);
  const int bottom = std::min(at.y() + radius, box.height());
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

} // namespace

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {}

void TPaintBox::paintEvent(QPaintEvent*) {
  if (!OnPaint) return;
  QPainter painter(this);
  OnPaint(painter);
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
  if (OnMouseDown) OnMouseDown(event->buttons(), event->position().toPoint());
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
  if (OnMouseMove) OnMouseMove(event->buttons(), event->position().toPoint());
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
  if (OnMouseUp) OnMouseUp(event->buttons(), event->position().toPoint());
}

void TPaintBox::wheelEvent(QWheelEvent* event) {
  const int turn = event->angleDelta().y();
  if (!OnWheel || turn == 0) {
    event->ignore();
    return;
  }
  OnWheel(turn > 0 ? 1 : -1);
}

TFicheRetoucheCam::TFicheRetoucheCam(QMdiArea* area) {
  DressChildWindow(this);
  auto* layout = NewClientColumn(FormColor);
  QWidget* client = layout->parentWidget();
  KXPanel1 = new TKXPanel(client);
  BuildPaintBox();
  layout->addWidget(ScrollBox1, 1);
  layout->addWidget(KXPanel1);
  BuildToolBar();
  setWidget(client);
  // Brush work is easily lost: a save asks before it replaces a file.
  SavePictureDialog1 = NewSavePictureDialog(this, true);

  ShowInClientArea(area, this, QSize(512, 366));
}

void TFicheRetoucheCam::BuildPaintBox() {
  ScrollBox1 = new QScrollArea;
  ScrollBox1->setFrameShape(QFrame::NoFrame);
  ScrollBox1->setWidgetResizable(false);
  SetColors(ScrollBox1->viewport(), ScrollBoxColor);
  PB1 = new TPaintBox(ScrollBox1);
  PB1->setCursor(Qt::CrossCursor);
  SetColors(PB1, ScrollBoxColor);
  PB1->resize(0, 0);
  ScrollBox1->setWidget(PB1);
  PB1->OnPaint = [this](QPainter& painter) { DrawShownPicture(painter); };
  PB1->OnMouseDown = [this](Qt::MouseButtons Shift, QPoint at) { PB1MouseDown(Shift, at); };
  PB1->OnMouseMove = [this](Qt::MouseButtons Shift, QPoint at) { PB1MouseMove(Shift, at); };
  PB1->OnMouseUp = [this](Qt::MouseButtons, QPoint) { PB1MouseUp(); };
  PB1->OnWheel = [this](int notch) { runCommand([this, notch] { ZoomByWheel(notch); }); };
}

void TFicheRetoucheCam::BuildToolBar() {
  KXPanel1->setFixedHeight(ToolBarHeight);
  ApplyToolBarLook(*KXPanel1, RGB(192, 192, 192), RGB(192, 192, 192));

  SpeedButton1 = NewSpeedButton(KXPanel1, 4, ":/cam_picture2.png");
  SpeedButton2 = NewSpeedButton(KXPanel1, 29, ":/cam_picture1.png");
  SpeedButton3 = NewSpeedButton(KXPanel1, 54, ":/cam_retouched.png");
  SpeedButton1->setToolTip("Picture 2");
  SpeedButton2->setToolTip("Picture 1");
  SpeedButton3->setToolTip("Retouched picture");
  // All three may be up.
  const auto repaint = [this] { PB1Paint(); };
  MakeRaisableGroup({{SpeedButton1, repaint}, {SpeedButton2, repaint}, {SpeedButton3, repaint}});
  SpeedButton3->setChecked(true);

  TrackBar1 = new QSlider(Qt::Horizontal, KXPanel1);
  TrackBar1->setGeometry(84, 5, 154, 16);
  TrackBar1->setRange(1, 10);
  TrackBar1->setValue(5);
  TrackBar1->setPageStep(1);
  TrackBar1->setTickInterval(1);
  TrackBar1->setTickPosition(QSlider::NoTicks);
  TrackBar1->setToolTip("Brush size");
  connect(TrackBar1, &QSlider::valueChanged, this, commandSlot(this, &TFicheRetoucheCam::TrackBar1Change));

  Zoom = new QToolButton(KXPanel1);
  Zoom->setGeometry(240, 2, 23, 22);
  Zoom->setAutoRaise(true);
  Zoom->setCheckable(true);
  Zoom->setIcon(QIcon(":/zoom.png"));
  Zoom->setToolTip("Zoom x 2 (mouse wheel)");
  connect(Zoom, &QToolButton::clicked, this, commandSlot(this, &TFicheRetoucheCam::ZoomClick));

  SpeedButton4 = NewSpeedButton(KXPanel1, 296, ":/save.png");
  SpeedButton4->setToolTip("Save picture (Ctrl+S)");
  connect(SpeedButton4, &QToolButton::clicked, this, commandSlot(this, &TFicheRetoucheCam::sauve));
  SpeedButton5 = NewSpeedButton(KXPanel1, 321, ":/print.png");
  SpeedButton5->setToolTip("Print (Ctrl+P)");
  connect(SpeedButton5, &QToolButton::clicked, this, commandSlot(this, &TFicheRetoucheCam::imprime));
}

TFicheRetoucheCam* TFicheRetoucheCam::Open(QMdiArea* area, const std::string& F) {
  TCamObject Cam;
  {
    TMainBarProgress bar;
    Cam.Load(F, bar.Callback());
  }
  auto* window = new TFicheRetoucheCam(area);
  SetFileCaption(window, F);
  window->ShowCam(Cam);
  return window;
}

bool TFicheRetoucheCam::ShowCam(const TCamObject& Cam) {
  if (!Cam.IsBitmapPair) return false;
  Retouched = Cam.Bitmap1.convertToFormat(QImage::Format_RGB888);
  Picture1 = Retouched;
  Picture2 = Cam.Bitmap2.convertToFormat(QImage::Format_RGB888);
  PB1->resize(Picture1.size());
  FitToPicture(Picture1.size());
  CentreInClientArea(this);
  repaint();
  return true;
}

void TFicheRetoucheCam::FitToPicture(QSize picture) {
  // Whatever frame, title bar, border and tool bar the window has now lies around the scroll box,
  // so growing the window by the difference shows the picture at 1:1 under any style.
  QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  const QSize wanted = size() + (picture - ScrollBox1->size());
  resize(FittedWindowSize(wanted, mdiArea()->viewport()->size(), ToolBarRight + 2 * ChildBorderWidth));
}

const QImage* TFicheRetoucheCam::ShownPicture() const {
  if (SpeedButton1->isChecked()) return &Picture2;
  if (SpeedButton2->isChecked()) return &Picture1;
  if (SpeedButton3->isChecked()) return &Retouched;
  return nullptr;
}

void TFicheRetoucheCam::PB1Paint() {
  // With no picture button down the zoom button keeps its state, and so does what it can do.
  if (SpeedButton1->isChecked() || SpeedButton2->isChecked()) Zoom->hide();
  if (SpeedButton3->isChecked()) Zoom->show();
  PB1->repaint();
}

void TFicheRetoucheCam::DrawShownPicture(QPainter& painter) {
  if (const QImage* shown = ShownPicture()) painter.drawImage(QPoint(0, 0), *shown);
}

void TFicheRetoucheCam::TrackBar1Change() {
  BrushRadius = TrackBar1->value();
}

void TFicheRetoucheCam::PB1MouseDown(Qt::MouseButtons Shift, QPoint at) {
  Painting = true;
  LastBrush = at;
  PB1MouseMove(Shift, at);
}

void TFicheRetoucheCam::PB1MouseMove(Qt::MouseButtons Shift, QPoint at) {
  if (!Painting || !SpeedButton3->isChecked()) return;
  if (Shift & Qt::LeftButton)
    StrokeTo(Picture1, at);
  else if (Shift & Qt::RightButton)
    StrokeTo(Picture2, at);
}

void TFicheRetoucheCam::StrokeTo(const QImage& source, QPoint at) {
  // The mouse reports only some of the positions it passes: the brush also paints the way between
  // two reports, at steps no longer than its radius, so a fast stroke stays one stroke.
  const QPoint way = at - LastBrush;
  const int steps = std::max(1, (std::max(std::abs(way.x()), std::abs(way.y())) + BrushRadius - 1) /
                                    std::max(BrushRadius, 1));
  for (int step = 1; step <= steps; ++step)
    PaintFrom(source, LastBrush + way * step / steps);
  LastBrush = at;
}

void TFicheRetoucheCam::PB1MouseUp() {
  Painting = false;
}

void TFicheRetoucheCam::PaintFrom(const QImage& source, QPoint at) {
  const QRect square = BrushSquare(at, BrushRadius, PB1->size());
  if (square.isEmpty()) return;
  {
    QPainter painter(&Retouched);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(square, source, square);
  }
  Modified = true;
  PB1->repaint(square);
}

void TFicheRetoucheCam::ZoomClick() {
  // The direction is the button's new state, so a click while the retouched picture is hidden
  // changes which way the next click goes and nothing else.
  if (!SpeedButton3->isChecked()) return;
  const double factor = Zoom->isChecked() ? 2.0 : 0.5;
  Retouched = Stretched(Retouched, factor);
  PB1->resize(Scaled(PB1->size(), factor));
  PB1->repaint();
  Picture2 = Stretched(Picture2, factor);
  Picture1 = Stretched(Picture1, factor);
}

QImage TFicheRetoucheCam::Capture() {
  if (mdiArea()) mdiArea()->setActiveSubWindow(this);
  QImage picture(PB1->size(), QImage::Format_RGB888);
  if (!picture.isNull()) PB1->render(&picture);
  return picture;
}

void TFicheRetoucheCam::sauve() {
  const std::string name = AskPictureName(*SavePictureDialog1);
  if (name.empty()) return;
  // A window without pictures has nothing to write.
  const QImage capture = Capture();
  if (!capture.isNull() && SavePictureFile(capture, name)) Modified = false;
}

void TFicheRetoucheCam::ZoomByWheel(int notch) {
  // Away from the user zooms in, towards zooms out; the zoom button shows which it is.
  if (!SpeedButton3->isChecked() || (notch > 0) == Zoom->isChecked()) return;
  Zoom->click();
}

void TFicheRetoucheCam::closeEvent(QCloseEvent* event) {
  if (Modified) {
    const auto answer = QMessageBox::question(
        this, windowTitle(), "The retouched picture has changes that were not saved. Save them?",
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) runCommand([this] { sauve(); });
    if (answer == QMessageBox::Cancel || (answer == QMessageBox::Save && Modified)) {
      event->ignore();
      return;
    }
  }
  QMdiSubWindow::closeEvent(event);
}

void TFicheRetoucheCam::imprime() {
  const QImage capture = Capture();
  if (!capture.isNull()) printPicture(this, capture);
}

} // namespace vorlan
