#include "app/ShapedForm.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cassert>
#include <span>

namespace vorlan {

namespace {

void AddRowRuns(const QRgb* row, int width, int y, QRgb key, QPoint origin, std::vector<QRect>& runs) {
  int start = -1;
  for (int x = 0; x < width; ++x) {
    const bool opaque = (row[x] & RGB_MASK) != key;
    if (opaque && start < 0) start = x;
    if (!opaque && start >= 0) {
      runs.emplace_back(origin.x() + start, origin.y() + y, x - start, 1);
      start = -1;
    }
  }
  // Opaque pixels up to the right edge belong to the window like any others.
  if (start >= 0) runs.emplace_back(origin.x() + start, origin.y() + y, width - start, 1);
}

// Whether `row`, one row's runs, lies right under `band` with runs of the same columns.
bool ContinuesBand(std::span<const QRect> band, std::span<const QRect> row) {
  if (band.size() != row.size() || band.front().bottom() + 1 != row.front().top()) return false;
  return std::equal(band.begin(), band.end(), row.begin(), [](const QRect& a, const QRect& b) {
    return a.left() == b.left() && a.width() == b.width();
  });
}

// Rows with the same runs as the row above join its band, so that a mask holds a rectangle per
// band rather than per row.
std::vector<QRect> MergeEqualRows(const std::vector<QRect>& runs) {
  std::vector<QRect> bands;
  std::size_t bandStart = 0;
  for (std::size_t row = 0; row < runs.size();) {
    std::size_t rowEnd = row;
    while (rowEnd < runs.size() && runs[rowEnd].top() == runs[row].top())
      ++rowEnd;
    const std::span<const QRect> rowRuns(runs.data() + row, rowEnd - row);
    const std::span<QRect> band(bands.data() + bandStart, bands.size() - bandStart);
    if (!band.empty() && ContinuesBand(band, rowRuns)) {
      for (QRect& rect : band)
        rect.setBottom(rect.bottom() + 1);
    } else {
      bandStart = bands.size();
      bands.insert(bands.end(), rowRuns.begin(), rowRuns.end());
    }
    row = rowEnd;
  }
  return bands;
}

TColor ColorValue(QRgb pixel) {
  return RGB(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

} // namespace

std::vector<QRect> ShapeRuns(const QImage& picture, QPoint origin) {
  std::vector<QRect> runs;
  if (picture.isNull()) return runs;
  // Keys compare colours only, as on a bitmap without alpha.
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  const QRgb key = reinterpret_cast<const QRgb*>(rgb.constScanLine(0))[0] & RGB_MASK;
  for (int y = 0; y < rgb.height(); ++y)
    AddRowRuns(reinterpret_cast<const QRgb*>(rgb.constScanLine(y)), rgb.width(), y, key, origin, runs);
  return runs;
}

QRegion ShapeRegion(const QImage& picture, QPoint origin) {
  const std::vector<QRect> bands = MergeEqualRows(ShapeRuns(picture, origin));
  QRegion region;
  // Bands come sorted by row then column and never touch: the form that setRects takes as it
  // is, however many runs there are.
  if (!bands.empty()) region.setRects(bands.data(), static_cast<int>(bands.size()));
  return region;
}

TdxfShapedForm::TdxfShapedForm(QWidget* ownerForm, QWidget* parent)
    : QWidget(parent ? parent : ownerForm), OwnerForm(ownerForm), SavedBorderStyle(ownerForm->windowFlags()) {
  assert(ownerForm->isWindow() && ownerForm->isAncestorOf(this));
  resize(105, 105);
}

void TdxfShapedForm::setPicture(const QImage& picture) {
  Picture_ = picture;
  if (!Picture_.isNull()) resize(Picture_.size());
  update();
  if (Active_) Shape();
}

void TdxfShapedForm::setActive(bool active) {
  Active_ = active;
  if (Active_)
    Shape();
  else
    Unshape();
}

void TdxfShapedForm::SetOwnerFlags(Qt::WindowFlags flags) {
  if (OwnerForm->windowFlags() == flags) return;
  // Changing a window's flags hides it; a shown window stays shown.
  const bool visible = OwnerForm->isVisible();
  OwnerForm->setWindowFlags(flags);
  if (visible) OwnerForm->show();
}

void TdxfShapedForm::Shape() {
  // Reshaping a shaped owner must not take its borderless state for the one to restore.
  if (!Shaped) SavedBorderStyle = OwnerForm->windowFlags();
  if (Picture_.isNull()) return;
  Shaped = true;
  SetOwnerFlags(SavedBorderStyle | Qt::FramelessWindowHint);
  // An empty region leaves the window its full rectangle.
  OwnerForm->setMask(ShapeRegion(Picture_, mapTo(OwnerForm, QPoint(0, 0))));
}

void TdxfShapedForm::Unshape() {
  OwnerForm->clearMask();
  if (Shaped) SetOwnerFlags(SavedBorderStyle);
  Shaped = false;
}

void TdxfShapedForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, Picture_);
}

bool TdxfShapedForm::StartsDrag(QPoint at) const {
  if (!Active_) return false;
  if (AlwaysMove_) return true;
  return Picture_.valid(at) && ColorValue(Picture_.pixel(at)) == CaptionColor_;
}

void TdxfShapedForm::StartDrag(QPointF globalAt) {
  QWindow* window = OwnerForm->windowHandle();
  if (window && window->startSystemMove()) return;
  Dragging = true;
  DragOffset = globalAt.toPoint() - OwnerForm->pos();
}

void TdxfShapedForm::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  if (event->button() == Qt::LeftButton && StartsDrag(event->position().toPoint())) {
    event->accept();
    StartDrag(event->globalPosition());
  }
}

void TdxfShapedForm::mouseMoveEvent(QMouseEvent* event) {
  if (Dragging && (event->buttons() & Qt::LeftButton))
    OwnerForm->move(event->globalPosition().toPoint() - DragOffset);
  else
    QWidget::mouseMoveEvent(event);
}

void TdxfShapedForm::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Dragging = false;
  QWidget::mouseReleaseEvent(event);
}

} // namespace vorlan
