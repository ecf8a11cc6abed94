#pragma once

#include "graphic_viewer/GvViewer.h"

#include <QWidget>

#include <functional>

namespace vorlan {

// The window control of a 2D viewer: it owns the on-screen surface, shows the viewer's off-screen
// bitmap, and hands its size, mouse and keys to the viewer in device pixels.
class TGV_ViewerControl : public QWidget {
  Q_OBJECT
public:
  explicit TGV_ViewerControl(QWidget* parent = nullptr);

  TGV_VIEWER& Viewer() { return viewer_; }
  // Called after each change of the control's size.
  std::function<void()> OnResize;

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  QPoint DevicePoint(QPointF logical) const;

  TGV_VIEWER viewer_;
};

} // namespace vorlan
