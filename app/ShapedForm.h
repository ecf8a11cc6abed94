#pragma once

#include "platform/Numbers.h"

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <vector>

namespace vorlan {

// The runs of non-key pixels of `picture`, one row high, row by row and left to right, moved by
// `origin`. The key colour is that of pixel (0, 0); a run still open at the right edge closes
// there. A picture of one colour has no runs.
std::vector<QRect> ShapeRuns(const QImage& picture, QPoint origin);

// The union of ShapeRuns; empty when there are none.
QRegion ShapeRegion(const QImage& picture, QPoint origin);

// A picture control that turns the window owning it into a borderless window clipped to the
// picture's opaque pixels, and lets the user drag that window by its picture.
class TdxfShapedForm : public QWidget {
  Q_OBJECT
public:
  // `ownerForm` is the window to shape; the control sits in `parent`, the form itself or a
  // control inside it.
  explicit TdxfShapedForm(QWidget* ownerForm, QWidget* parent = nullptr);

  bool Active() const { return Active_; }
  void setActive(bool active);
  TColor CaptionColor() const { return CaptionColor_; }
  void setCaptionColor(TColor color) { CaptionColor_ = color; }
  bool AlwaysMove() const { return AlwaysMove_; }
  void setAlwaysMove(bool alwaysMove) { AlwaysMove_ = alwaysMove; }

  const QImage& Picture() const { return Picture_; }
  // The control takes the picture's size; an active control reshapes its owner to it.
  void setPicture(const QImage& picture);

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  void Shape();
  void Unshape();
  void SetOwnerFlags(Qt::WindowFlags flags);
  bool StartsDrag(QPoint at) const;
  void StartDrag(QPointF globalAt);

  QWidget* OwnerForm;
  Qt::WindowFlags SavedBorderStyle;
  QImage Picture_;
  bool Active_ = false;
  bool Shaped = false;
  TColor CaptionColor_ = 0;
  bool AlwaysMove_ = true;
  // Set while the window follows the mouse by our own moves, where the window system offers
  // no move of its own.
  bool Dragging = false;
  QPoint DragOffset;
};

} // namespace vorlan
