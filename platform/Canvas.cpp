#include "platform/Canvas.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <numbers>
#include <utility>

namespace vorlan {

std::optional<PenStyle> penStyleFromCode(int code) {
  if (code < 0 || code > static_cast<int>(PenStyle::InsideFrame)) return std::nullopt;
  return static_cast<PenStyle>(code);
}

std::optional<BrushStyle> brushStyleFromCode(int code) {
  if (code < 0 || code > static_cast<int>(BrushStyle::DiagCross)) return std::nullopt;
  return static_cast<BrushStyle>(code);
}

QColor toQColor(TColor color) {
  return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

TColor toTColor(QRgb rgb) {
  return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

namespace {

// Windows' MulDiv: the product divided, rounded half away from zero.
int mulDiv(int number, int numerator, int denominator) {
  return static_cast<int>(std::lround(static_cast<double>(number) * numerator / denominator));
}

} // namespace

int Font::size() const {
  return -mulDiv(height, 72, pixelsPerInch);
}

void Font::setSize(int points) {
  height = -mulDiv(points, pixelsPerInch, 72);
}

QImage newBitmap(int width, int height) {
  QImage bitmap(width, height, QImage::Format_RGB32);
  bitmap.fill(Qt::white);
  return bitmap;
}

namespace {

// Pens wider than one pixel draw filled areas; the others draw Qt's thin lines.
bool isWide(const Pen& pen) {
  return pen.style != PenStyle::Clear && pen.width > 1;
}

// Windows' dash lengths for thin styled pens, in pixels.
QList<qreal> dashPattern(PenStyle style) {
  switch (style) {
  case PenStyle::Dash:
    return {18, 6};
  case PenStyle::Dot:
    return {3, 3};
  case PenStyle::DashDot:
    return {9, 6, 3, 6};
  case PenStyle::DashDotDot:
    return {9, 3, 3, 3, 3, 3};
  default:
    return {};
  }
}

QPen toQPen(const Pen& pen) {
  if (pen.style == PenStyle::Clear) return QPen(Qt::NoPen);
  QPen qpen(toQColor(pen.color));
  if (!isWide(pen)) {
    // Qt's thin flat-capped line leaves out its last pixel, as GDI's does.
    qpen.setWidth(0);
    qpen.setCapStyle(Qt::FlatCap);
    qpen.setJoinStyle(Qt::MiterJoin);
    const QList<qreal> dashes = dashPattern(pen.style);
    if (!dashes.isEmpty()) qpen.setDashPattern(dashes);
  } else {
    qpen.setWidth(pen.width);
    qpen.setCapStyle(Qt::RoundCap);
    qpen.setJoinStyle(Qt::RoundJoin);
  }
  return qpen;
}

QBrush toQBrush(const Brush& brush) {
  const QColor color = toQColor(brush.color);
  switch (brush.style) {
  case BrushStyle::Solid:
    return QBrush(color, Qt::SolidPattern);
  case BrushStyle::Clear:
    return QBrush(Qt::NoBrush);
  case BrushStyle::Horizontal:
    return QBrush(color, Qt::HorPattern);
  case BrushStyle::Vertical:
    return QBrush(color, Qt::VerPattern);
  case BrushStyle::FDiagonal:
    return QBrush(color, Qt::FDiagPattern);
  case BrushStyle::BDiagonal:
    return QBrush(color, Qt::BDiagPattern);
  case BrushStyle::Cross:
    return QBrush(color, Qt::CrossPattern);
  case BrushStyle::DiagCross:
    return QBrush(color, Qt::DiagCrossPattern);
  }
  return QBrush(Qt::NoBrush);
}

QRect toQRect(const TRect& r) {
  return QRect(r.left, r.top, r.width(), r.height());
}

} // namespace

Canvas::Canvas(QPaintDevice& device) {
  if (device.devType() == QInternal::Image) image_ = static_cast<QImage*>(&device);
  painter_.begin(&device);
  font.pixelsPerInch = device.logicalDpiY();
}

Canvas::~Canvas() {
  if (painter_.isActive()) painter_.end();
}

int Canvas::width() const {
  return painter_.device()->width();
}

int Canvas::height() const {
  return painter_.device()->height();
}

void Canvas::preparePainter(Figure figure) {
  // Raster operations exist only where Qt paints pixels itself.
  const bool notXor = pen.mode == PenMode::NotXor && image_;
  painter_.setCompositionMode(notXor ? QPainter::RasterOp_NotSourceXorDestination
                                     : QPainter::CompositionMode_SourceOver);
  painter_.setPen(toQPen(pen));
  painter_.setBrush(figure == Figure::Filled ? toQBrush(brush) : QBrush(Qt::NoBrush));
}

void Canvas::moveTo(int x, int y) {
  penPos_ = QPoint(x, y);
}

void Canvas::lineTo(int x, int y) {
  preparePainter(Figure::Open);
  drawLineSegment(penPos_, QPoint(x, y));
  penPos_ = QPoint(x, y);
}

void Canvas::drawLineSegment(QPoint from, QPoint to) {
  if (from == to || pen.style == PenStyle::Clear) return;
  if (isWide(pen)) {
    // Wide lines are filled areas, which Qt samples at pixel centres.
    painter_.drawLine(QPointF(from) + QPointF(0.5, 0.5), QPointF(to) + QPointF(0.5, 0.5));
    return;
  }
  // Qt's thin line covers its longer axis from the smaller end included to the larger end
  // excluded, whichever way it is drawn. That is GDI's line when it runs towards larger
  // coordinates. Otherwise the same line is drawn from `to`, with the slab of `to` clipped
  // away, and `from` is set on its own.
  const int dx = to.x() - from.x();
  const int dy = to.y() - from.y();
  const bool alongX = std::abs(dx) >= std::abs(dy);
  if ((alongX ? dx : dy) > 0) {
    painter_.drawLine(from, to);
    return;
  }
  constexpr int far = 1 << 24;
  const QRect slab =
      alongX ? QRect(to.x() + 1, -far, -dx - 1, 2 * far) : QRect(-far, to.y() + 1, 2 * far, -dy - 1);
  if (!slab.isEmpty()) {
    painter_.save();
    painter_.setClipRect(slab, Qt::IntersectClip);
    painter_.drawLine(to, from);
    painter_.restore();
  }
  painter_.fillRect(QRect(from, QSize(1, 1)), painter_.pen().color());
}

void Canvas::polyline(std::span<const QPoint> points) {
  if (points.size() < 2) return;
  preparePainter(Figure::Open);
  if (isWide(pen)) {
    painter_.drawPolyline(points.data(), static_cast<int>(points.size()));
    return;
  }
  for (std::size_t i = 1; i < points.size(); ++i)
    drawLineSegment(points[i - 1], points[i]);
}

void Canvas::polygon(std::span<const QPoint> points) {
  if (points.size() < 2) return;
  preparePainter(Figure::Filled);
  if (isWide(pen)) {
    QPolygonF centres;
    for (QPoint p : points)
      centres << QPointF(p) + QPointF(0.5, 0.5);
    painter_.drawPolygon(centres, Qt::OddEvenFill);
    return;
  }
  // Qt's thin closed outline can leave a vertex out; GDI's has every one.
  painter_.setPen(Qt::NoPen);
  painter_.drawPolygon(points.data(), static_cast<int>(points.size()), Qt::OddEvenFill);
  preparePainter(Figure::Open);
  for (std::size_t i = 0; i < points.size(); ++i)
    drawLineSegment(points[i], points[(i + 1) % points.size()]);
}

QRectF Canvas::figureBox(int x1, int y1, int x2, int y2) const {
  const QRectF outline(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) - 1, std::abs(y2 - y1) - 1);
  if (pen.style == PenStyle::Clear) {
    // Sampled at pixel centres, this covers one pixel less than the outline would; the
    // pixels it touches at its extremes stay in.
    constexpr double touch = 0.005;
    return outline.adjusted(-touch, -touch, touch, touch);
  }
  // Thin outlines run through integer points: from x1 to x2 - 1.
  if (!isWide(pen)) return outline;
  // Wide outlines are filled areas, sampled at pixel centres.
  const QRectF wide = outline.translated(0.5, 0.5);
  if (pen.style != PenStyle::InsideFrame) return wide;
  const double inset = (pen.width - 1) / 2.0;
  return wide.adjusted(inset, inset, -inset, -inset);
}

void Canvas::rectangle(int x1, int y1, int x2, int y2) {
  if (x1 == x2 || y1 == y2) return;
  preparePainter(Figure::Filled);
  if (isWide(pen)) {
    painter_.drawRect(figureBox(x1, y1, x2, y2));
    return;
  }
  // Whole pixels: the outline on the box's first and last pixels and the brush inside it,
  // each pixel painted once.
  const QRect outline(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) - 1, std::abs(y2 - y1) - 1);
  const bool outlined = pen.style != PenStyle::Clear;
  painter_.setPen(Qt::NoPen);
  painter_.drawRect(outlined ? outline.adjusted(1, 1, 0, 0) : outline);
  if (!outlined) return;
  preparePainter(Figure::Open);
  painter_.drawRect(outline);
}

void Canvas::ellipse(int x1, int y1, int x2, int y2) {
  if (x1 == x2 || y1 == y2) return;
  preparePainter(Figure::Filled);
  painter_.drawEllipse(figureBox(x1, y1, x2, y2));
}

namespace {

enum class ArcClosing { None, ThroughCentre, ByChord };

// Qt's ellipse angles are parametric; a GDI ray's point becomes the parameter where the ray
// meets the ellipse. Degrees, counter-clockwise on the screen.
double parameterOfRay(const QRectF& box, int x, int y) {
  const QPointF c = box.center();
  const double rx = box.width() / 2;
  const double ry = box.height() / 2;
  return std::atan2(-(y - c.y()) / ry, (x - c.x()) / rx) * 180 / std::numbers::pi;
}

QPainterPath arcPath(const QRectF& box, int xStart, int yStart, int xEnd, int yEnd, ArcClosing closing) {
  QPainterPath path;
  if (box.width() <= 0 || box.height() <= 0) return path;
  const double start = parameterOfRay(box, xStart, yStart);
  double sweep = parameterOfRay(box, xEnd, yEnd) - start;
  while (sweep <= 0)
    sweep += 360;
  if (closing == ArcClosing::ThroughCentre) {
    path.moveTo(box.center());
    path.arcTo(box, start, sweep);
  } else {
    path.arcMoveTo(box, start);
    path.arcTo(box, start, sweep);
  }
  if (closing != ArcClosing::None) path.closeSubpath();
  return path;
}

} // namespace

void Canvas::drawArcFigure(const QPainterPath& path, Figure figure) {
  preparePainter(figure);
  painter_.drawPath(path);
}

void Canvas::arc(int x1, int y1, int x2, int y2, int xStart, int yStart, int xEnd, int yEnd) {
  drawArcFigure(arcPath(figureBox(x1, y1, x2, y2), xStart, yStart, xEnd, yEnd, ArcClosing::None),
                Figure::Open);
}

void Canvas::pie(int x1, int y1, int x2, int y2, int xStart, int yStart, int xEnd, int yEnd) {
  drawArcFigure(arcPath(figureBox(x1, y1, x2, y2), xStart, yStart, xEnd, yEnd, ArcClosing::ThroughCentre),
                Figure::Filled);
}

void Canvas::chord(int x1, int y1, int x2, int y2, int xStart, int yStart, int xEnd, int yEnd) {
  drawArcFigure(arcPath(figureBox(x1, y1, x2, y2), xStart, yStart, xEnd, yEnd, ArcClosing::ByChord),
                Figure::Filled);
}

void Canvas::fillRect(const TRect& rect) {
  if (rect.isEmpty()) return;
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_.fillRect(toQRect(rect), toQBrush(brush));
}

const QFont& Canvas::qFont() {
  if (fontOfQFont_ == font) return qFont_;
  QFont f(font.name);
  f.setKerning(false);
  f.setBold(font.bold);
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  f.setStrikeOut(font.strikeOut);
  int em = font.height < 0 ? -font.height : 12;
  if (font.height > 0) {
    // A cell height: the em that gives this ascent plus descent, measured at a large size.
    f.setPixelSize(1000);
    const QFontMetricsF probe(f, painter_.device());
    em = Round(font.height * 1000 / (probe.ascent() + probe.descent()));
  }
  f.setPixelSize(std::max(1, em));
  qFont_ = f;
  fontOfQFont_ = font;
  return qFont_;
}

void Canvas::textOut(int x, int y, const QString& text) {
  const QFont& f = qFont();
  const QFontMetrics metrics(f, painter_.device());
  painter_.save();
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_.translate(x, y);
  if (font.escapement != 0) painter_.rotate(-font.escapement / 10.0);
  if (brush.style == BrushStyle::Solid)
    painter_.fillRect(QRect(0, 0, metrics.horizontalAdvance(text), metrics.height()), toQColor(brush.color));
  painter_.setFont(f);
  painter_.setPen(toQColor(font.color));
  painter_.drawText(QPoint(0, metrics.ascent()), text);
  painter_.restore();
}

int Canvas::textWidth(const QString& text) {
  return QFontMetrics(qFont(), painter_.device()).horizontalAdvance(text);
}

int Canvas::textHeight(const QString&) {
  return QFontMetrics(qFont(), painter_.device()).height();
}

TColor Canvas::pixel(int x, int y) const {
  if (!image_ || !image_->valid(x, y)) return clrInvalid;
  return toTColor(image_->pixel(x, y));
}

void Canvas::setPixel(int x, int y, TColor color) {
  if (!image_ || !image_->valid(x, y)) return;
  // Through the painter: writing into the image directly could detach it from the painter.
  painter_.setCompositionMode(QPainter::CompositionMode_Source);
  painter_.fillRect(QRect(x, y, 1, 1), toQColor(color));
}

void Canvas::copyRect(const TRect& dest, const QImage& source, const TRect& sourceRect) {
  if (dest.isEmpty() || sourceRect.isEmpty()) return;
  painter_.setCompositionMode(QPainter::CompositionMode_Source);
  if (image_ && source.constBits() == image_->constBits()) {
    // Reading the pixels that are being written: take them first.
    painter_.drawImage(toQRect(dest), source.copy(toQRect(sourceRect)));
    return;
  }
  painter_.drawImage(toQRect(dest), source, toQRect(sourceRect));
}

void Canvas::stretchDraw(const TRect& dest, const QImage& picture) {
  if (dest.left == dest.right || dest.top == dest.bottom || picture.isNull()) return;
  const bool mirrorX = dest.right < dest.left;
  const bool mirrorY = dest.bottom < dest.top;
  const QRect box(std::min(dest.left, dest.right), std::min(dest.top, dest.bottom), std::abs(dest.width()),
                  std::abs(dest.height()));
  painter_.setCompositionMode(QPainter::CompositionMode_Source);
  painter_.drawImage(box, mirrorX || mirrorY ? picture.mirrored(mirrorX, mirrorY) : picture);
}

} // namespace vorlan
