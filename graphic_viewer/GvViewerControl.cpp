#include "graphic_viewer/GvViewerControl.h"

#include "platform/Numbers.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace vorlan {

TGV_ViewerControl::TGV_ViewerControl(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  // The zoom window is two clicks apart: the band follows the mouse with no button held.
  setMouseTracking(true);
  viewer_.OnSurfaceChanged = [this] { update(); };
}

void TGV_ViewerControl::paintEvent(QPaintEvent*) {
  if (viewer_.NeedsPaint()) viewer_.Paint();
  QImage surface = viewer_.Surface();
  surface.setDevicePixelRatio(devicePixelRatioF());
  QPainter painter(this);
  painter.drawImage(0, 0, surface);
}

void TGV_ViewerControl::resizeEvent(QResizeEvent*) {
  const double ratio = devicePixelRatioF();
  viewer_.Resize(Round(width() * ratio), Round(height() * ratio));
  if (OnResize) OnResize();
}

QPoint TGV_ViewerControl::DevicePoint(QPointF logical) const {
  const double ratio = devicePixelRatioF();
  return {Round(logical.x() * ratio), Round(logical.y() * ratio)};
}

void TGV_ViewerControl::mousePressEvent(QMouseEvent* event) {
  viewer_.MouseDown(event->button(), DevicePoint(event->position()));
}

void TGV_ViewerControl::mouseMoveEvent(QMouseEvent* event) {
  viewer_.MouseMove(DevicePoint(event->position()));
}

void TGV_ViewerControl::mouseReleaseEvent(QMouseEvent* event) {
  viewer_.MouseUp(event->button(), DevicePoint(event->position()));
}

void TGV_ViewerControl::wheelEvent(QWheelEvent* event) {
  viewer_.Wheel(DevicePoint(event->position()), event->angleDelta().y() / 120.0);
}

void TGV_ViewerControl::keyPressEvent(QKeyEvent* event) {
  viewer_.KeyDown(event->key());
  QWidget::keyPressEvent(event);
}

} // namespace vorlan
