#include "graphic_viewer/GvPainter.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace vorlan {

namespace {

constexpr double Pi = std::numbers::pi;
constexpr TColor White = RGB(255, 255, 255);
constexpr TColor Black = 0;
constexpr TColor AxisXColor = RGB(0, 0, 255);
constexpr TColor AxisYColor = RGB(255, 0, 0);

// Magenta when selected, else green when marked, else the pen colour; an entity that cannot be
// selected shows its own colour whatever its state.
TColor StateColor(const TGV_ENTITY& entity) {
  if (!entity.Selectable) return entity.PenColor;
  if (entity.Selected) return SelectedColor;
  if (entity.Marked) return MarkedColor;
  return entity.PenColor;
}

// Circles and arcs show the selection only.
TColor SelectionColor(const TGV_ENTITY& entity) {
  return entity.Selectable && entity.Selected ? SelectedColor : entity.PenColor;
}

QPointF Rotated(double a, double b, double angle) {
  return {a * std::cos(angle) - b * std::sin(angle), a * std::sin(angle) + b * std::cos(angle)};
}

// The direction from (x1, y1) to (x2, y2) in [0, 2pi); 0 for a point and within 0.01 of 0.
double DimensionAngle(double x1, double y1, double x2, double y2) {
  if (x1 == x2 && y1 == y2) return 0;
  double angle = std::atan2(y2 - y1, x2 - x1);
  if (angle < 0) angle += 2 * Pi;
  return std::abs(angle) < 0.01 ? 0 : angle;
}

// Tenths of a degree in [0, 3600): a whole turn more draws the same text, and a canvas turned by
// exactly 360 degrees would place its glyphs a rounding error away.
int Escapement(double radians) {
  const int tenths = Round(radians / Pi * 1800) % 3600;
  return tenths < 0 ? tenths + 3600 : tenths;
}

struct Box {
  double left, bottom, right, top;
};

// Circles and bitmaps keep the box they were stored with; culling trusts their geometry instead.
Box GeometryBox(const TGV_ENTITY& entity) {
  if (entity.Tag() == TGV_Tag::Cercle) {
    const auto& circle = static_cast<const TGV_CERCLE&>(entity);
    return {circle.CX - circle.Radius, circle.CY - circle.Radius, circle.CX + circle.Radius,
            circle.CY + circle.Radius};
  }
  if (entity.Tag() == TGV_Tag::Bitmap) {
    const auto& bitmap = static_cast<const TGV_BITMAP&>(entity);
    return {std::min(bitmap.X, bitmap.X + bitmap.Width), std::min(bitmap.Y, bitmap.Y + bitmap.Height),
            std::max(bitmap.X, bitmap.X + bitmap.Width), std::max(bitmap.Y, bitmap.Y + bitmap.Height)};
  }
  return {entity.XMin, entity.YMin, entity.XMax, entity.YMax};
}

// Axes have no box, angular dimensions write beside their arcs and report cells have a frame of
// their own: they are always drawn. Groups are culled child by child.
bool DrawsOutsideItsBox(TGV_Tag tag) {
  switch (tag) {
  case TGV_Tag::Axe:
  case TGV_Tag::CoteA:
  case TGV_Tag::RptMemoCel:
    return true;
  default:
    return IsGroupTag(tag);
  }
}

// How far a text of `textSize` drawing units may reach from its place: a character of an
// ordinary font is narrower than its cell height (4/3 of the size in points), and a dimension's
// text may be pushed 2.8 times its height off the line.
double TextReach(int textSize, const QString& text) {
  return 1.4 * std::abs(textSize) * (text.size() + 4);
}

} // namespace

GvPainter::GvPainter(Canvas& canvas, const GvTransform& transform)
    : canvas_(canvas), transform_(transform), view_(transform.VisibleWindow()), measurer_(canvas) {}

void GvPainter::Draw(TGV_ENTITY& entity) {
  if (!entity.Visible || (transform_.Printing && !entity.Printable) || !entity.IsFinite()) return;
  if (IsGroupTag(entity.Tag()))
    DrawGroup(static_cast<TGV_GROUPE&>(entity));
  else
    DrawLeaf(entity);
}

void GvPainter::DrawOnPaper(TGV_ENTITY& entity, int pageWidth) {
  if (!entity.Visible || (transform_.Printing && !entity.Printable) || !entity.IsFinite()) return;
  if (IsGroupTag(entity.Tag())) {
    for (const auto& child : static_cast<TGV_GROUPE&>(entity).Children)
      if (MayShow(*child)) DrawOnPaper(*child, pageWidth);
    if (entity.Tag() != TGV_Tag::RptMemoCel) return;
  }
  const std::int32_t penWidth = entity.PenWidth;
  if (transform_.PaperWidthMM > 0)
    entity.PenWidth = Round(pageWidth * entity.PenWidthMM / transform_.PaperWidthMM);
  if (entity.Tag() == TGV_Tag::RptMemoCel)
    DrawReportCell(static_cast<TGV_RptMemoCel&>(entity));
  else
    DrawLeaf(entity);
  entity.PenWidth = penWidth;
}

// Culls the children of the groups, which is where a loaded drawing keeps all its entities; an
// entity is skipped only when it cannot reach the surface (its box, a few pixels of pen and dot,
// and the room its text may take), so what shows is what the full drawing would show.
bool GvPainter::MayShow(const TGV_ENTITY& entity) const {
  if (DrawsOutsideItsBox(entity.Tag())) return true;
  double reach = (std::max(entity.PenWidth, 1) + 2) / transform_.Scale;
  Box box = GeometryBox(entity);
  if (entity.Tag() == TGV_Tag::Arrow) reach += std::abs(static_cast<const TGV_ARROW&>(entity).HeadSize);
  if (entity.Tag() == TGV_Tag::Cote) {
    const auto& dimension = static_cast<const TGV_COTE&>(entity);
    reach += TextReach(dimension.TextSize, dimension.Text);
  }
  // A text's box is the one it was last drawn with, or its point before that.
  if (entity.Tag() == TGV_Tag::Texte) {
    const auto& text = static_cast<const TGV_TEXTE&>(entity);
    box = {text.X, text.Y, text.X, text.Y};
    reach += TextReach(text.TextSize, text.Text);
  }
  return box.right >= view_.left - reach && box.left <= view_.right + reach &&
         box.top >= view_.bottom - reach && box.bottom <= view_.top + reach;
}

void GvPainter::DrawGroup(TGV_GROUPE& group) {
  for (const auto& child : group.Children) {
    child->Selected = group.Selected;
    child->Marked = group.Marked;
    child->Selectable = group.Selectable;
    child->PenWidth = group.PenWidth;
    if (MayShow(*child)) Draw(*child);
  }
  if (group.Tag() == TGV_Tag::RptMemoCel) DrawReportCell(static_cast<TGV_RptMemoCel&>(group));
  DrawGrips(group);
}

void GvPainter::DrawLeaf(TGV_ENTITY& entity) {
  switch (entity.Tag()) {
  case TGV_Tag::Point:
    return DrawPoint(static_cast<TGV_Point&>(entity));
  case TGV_Tag::Line:
    return DrawLine(static_cast<TGV_LINE&>(entity));
  case TGV_Tag::Axe:
    return DrawAxe(static_cast<TGV_AXE&>(entity));
  case TGV_Tag::Arrow:
    return DrawArrow(static_cast<TGV_ARROW&>(entity));
  case TGV_Tag::Cercle:
    return DrawCircle(static_cast<TGV_CERCLE&>(entity));
  case TGV_Tag::Arc:
    return DrawArc(static_cast<TGV_ARC&>(entity));
  case TGV_Tag::Polygone:
  case TGV_Tag::SequencedPolygone:
    return DrawPolygon(static_cast<TGV_POLYGONE&>(entity));
  case TGV_Tag::Bitmap:
    return DrawBitmap(static_cast<TGV_BITMAP&>(entity));
  case TGV_Tag::Cote:
    return DrawDimension(static_cast<TGV_COTE&>(entity));
  case TGV_Tag::CoteA:
    return DrawAngularDimension(static_cast<TGV_COTEA&>(entity));
  case TGV_Tag::Texte:
    return DrawText(static_cast<TGV_TEXTE&>(entity));
  default:
    return DrawGrips(entity);
  }
}

void GvPainter::SetPen(const TGV_ENTITY& entity, TColor color) {
  canvas_.pen = Pen{entity.PenStyle, color, entity.PenWidth, PenMode::Copy};
  if (entity.Highlighted) {
    canvas_.pen.style = PenStyle::Dash;
    canvas_.pen.color = HighlightColor;
  }
}

// Outline classes clear their own brush before using it.
void GvPainter::SetOutlinePen(TGV_ENTITY& entity, TColor color) {
  entity.BrushStyle = BrushStyle::Clear;
  entity.BrushColor = White;
  canvas_.brush = Brush{entity.BrushStyle, entity.BrushColor};
  SetPen(entity, color);
}

void GvPainter::DrawPoint(TGV_Point& point) {
  SetOutlinePen(point, StateColor(point));
  const QPoint c = Screen(point.X, point.Y);
  const int r = transform_.ToPixels(point.Radius);
  canvas_.ellipse(c.x() - r, c.y() - r, c.x() + r, c.y() + r);
  DrawGrips(point);
}

void GvPainter::DrawLine(TGV_LINE& line) {
  SetOutlinePen(line, StateColor(line));
  const QPoint p1 = Screen(line.X1, line.Y1), p2 = Screen(line.X2, line.Y2);
  canvas_.moveTo(p1.x(), p1.y());
  canvas_.lineTo(p2.x(), p2.y());
  DrawGrips(line);
}

// The line through the two points, from border to border of the surface.
void GvPainter::DrawAxe(TGV_AXE& axe) {
  SetOutlinePen(axe, StateColor(axe));
  const QPoint p1 = Screen(axe.X1, axe.Y1), p2 = Screen(axe.X2, axe.Y2);
  const int w = transform_.Width, h = transform_.Height;
  std::vector<QPoint> ends;
  if (p1.x() == p2.x()) {
    ends = {{p1.x(), 0}, {p1.x(), h}};
  } else if (p1.y() == p2.y()) {
    ends = {{0, p1.y()}, {w, p1.y()}};
  } else {
    const double slope = double(p2.y() - p1.y()) / (p2.x() - p1.x());
    const auto yAt = [&](double x) { return p1.y() + slope * (x - p1.x()); };
    const auto xAt = [&](double y) { return p1.x() + (y - p1.y()) / slope; };
    const QPointF crossings[] = {{0, yAt(0)}, {double(w), yAt(w)}, {xAt(0), 0}, {xAt(h), double(h)}};
    for (const QPointF& c : crossings) {
      const QPoint p(Round(c.x()), Round(c.y()));
      const bool onBorder = c.x() >= 0 && c.x() <= w && c.y() >= 0 && c.y() <= h;
      if (onBorder && std::find(ends.begin(), ends.end(), p) == ends.end()) ends.push_back(p);
    }
  }
  if (ends.size() >= 2) {
    canvas_.moveTo(ends[0].x(), ends[0].y());
    canvas_.lineTo(ends[1].x(), ends[1].y());
  }
  DrawGrips(axe);
}

void GvPainter::DrawArrow(TGV_ARROW& arrow) {
  SetOutlinePen(arrow, StateColor(arrow));
  const QPoint p1 = Screen(arrow.X1, arrow.Y1), p2 = Screen(arrow.X2, arrow.Y2);
  canvas_.moveTo(p1.x(), p1.y());
  canvas_.lineTo(p2.x(), p2.y());
  const Brush brush = canvas_.brush;
  canvas_.brush = Brush{BrushStyle::Solid, canvas_.pen.color};
  DrawArrowHead(arrow, arrow.StartHead, false);
  DrawArrowHead(arrow, arrow.EndHead, true);
  canvas_.brush = brush;
  DrawGrips(arrow);
}

// Heads are laid out in a frame at the start point whose x axis points to the end point; an end
// head mirrors x about the middle of the segment.
void GvPainter::DrawArrowHead(const TGV_ARROW& arrow, int style, bool atEnd) {
  const double dx = arrow.X2 - arrow.X1, dy = arrow.Y2 - arrow.Y1;
  const double d = std::hypot(dx, dy);
  const double ux = d > 0 ? dx / d : 1, uy = d > 0 ? dy / d : 0;
  const double h = arrow.HeadSize;
  const auto at = [&](double fx, double fy) {
    if (atEnd) fx = d - fx;
    return Screen(arrow.X1 + fx * ux - fy * uy, arrow.Y1 + fx * uy + fy * ux);
  };
  const auto polygon = [&](std::initializer_list<QPointF> frame) {
    std::vector<QPoint> points;
    for (const QPointF& f : frame)
      points.push_back(at(f.x(), f.y()));
    canvas_.polygon(points);
  };
  switch (style) {
  case 1:
    return polygon({{0, 0}, {h, h / 2}, {h, -h / 2}});
  case 2: {
    const QPoint c = at(0, 0);
    const int r = transform_.ToPixels(h / 2);
    return canvas_.ellipse(c.x() - r, c.y() - r, c.x() + r, c.y() + r);
  }
  case 3:
    return polygon({{h / 2, 0}, {-h / 2, h / 2}, {0, 0}, {-h / 2, -h / 2}});
  case 4:
    return polygon({{-h / 4, h / 2}, {-h / 4, -h / 2}, {h / 4, -h / 2}, {h / 4, h / 2}});
  case 5: {
    const QPoint a = at(0, h / 2), b = at(0, -h / 2);
    canvas_.moveTo(a.x(), a.y());
    return canvas_.lineTo(b.x(), b.y());
  }
  default:
    return;
  }
}

void GvPainter::DrawCircle(TGV_CERCLE& circle) {
  SetOutlinePen(circle, SelectionColor(circle));
  const QPoint c = Screen(circle.CX, circle.CY);
  const int r = transform_.ToPixels(circle.Radius);
  canvas_.ellipse(c.x() - r, c.y() - r, c.x() + r, c.y() + r);
  DrawGrips(circle);
}

void GvPainter::DrawArc(TGV_ARC& arc) {
  SetOutlinePen(arc, SelectionColor(arc));
  const QPoint c = Screen(arc.CX, arc.CY), s = Screen(arc.X1, arc.Y1), e = Screen(arc.X2, arc.Y2);
  const int r = transform_.ToPixels(arc.Radius);
  canvas_.arc(c.x() - r, c.y() - r, c.x() + r, c.y() + r, s.x(), s.y(), e.x(), e.y());
  DrawGrips(arc);
}

// Every vertex is drawn: a polygon built from a sequence with arcs easily holds thousands.
void GvPainter::DrawPolygon(TGV_POLYGONE& polygon) {
  TColor pen = polygon.PenColor, brush = polygon.BrushColor;
  if (polygon.Selectable) {
    if (polygon.Selected)
      pen = brush = SelectedColor;
    else if (polygon.Marked)
      pen = brush = MarkedColor;
    else if (polygon.Picked)
      pen = brush = PickedColor;
  }
  SetPen(polygon, pen);
  canvas_.brush = Brush{polygon.BrushStyle, brush};
  std::vector<QPoint> points;
  points.reserve(polygon.Vertices.size());
  for (const TGV_SELPOINT& v : polygon.Vertices)
    points.push_back(Screen(v.X, v.Y));
  canvas_.polygon(points);
  DrawGrips(polygon);
}

void GvPainter::DrawBitmap(TGV_BITMAP& bitmap) {
  const QPoint topLeft = Screen(bitmap.X, bitmap.Y + bitmap.Height);
  const QPoint bottomRight = Screen(bitmap.X + bitmap.Width, bitmap.Y);
  canvas_.stretchDraw(TRect{topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y()}, bitmap.Bitmap);
  DrawGrips(bitmap);
}

// Dimensions draw solid whatever their stored style, with filled black dots.
void GvPainter::SetDimensionPenAndDot(TGV_ENTITY& entity, TColor color) {
  entity.PenStyle = PenStyle::Solid;
  canvas_.pen = Pen{PenStyle::Solid, color, entity.PenWidth, PenMode::Copy};
  canvas_.brush = Brush{BrushStyle::Solid, Black};
}

void GvPainter::DrawDot(double x, double y, int radius) {
  const QPoint p = Screen(x, y);
  canvas_.ellipse(p.x() - radius, p.y() - radius, p.x() + radius, p.y() + radius);
}

void GvPainter::SetTextFont(const Font& font, bool selected, int textSize) {
  // Point sizes become pixels at the surface's own resolution.
  const int pixelsPerInch = canvas_.font.pixelsPerInch;
  canvas_.font = font;
  canvas_.font.pixelsPerInch = pixelsPerInch;
  canvas_.font.escapement = 0;
  if (selected) canvas_.font.color = SelectedColor;
  canvas_.font.setSize(ScaledFontSize(textSize, font, transform_));
}

QSize GvPainter::TextSizeInUnits(const QString& text) {
  return {Round(canvas_.textWidth(text) / transform_.Scale),
          Round(canvas_.textHeight(text) / transform_.Scale)};
}

void GvPainter::DrawDimension(TGV_COTE& dimension) {
  SetDimensionPenAndDot(dimension, StateColor(dimension));
  const QPoint p1 = Screen(dimension.X1, dimension.Y1), p2 = Screen(dimension.X2, dimension.Y2);
  canvas_.moveTo(p1.x(), p1.y());
  canvas_.lineTo(p2.x(), p2.y());
  const int dot = Round(dimension.TextSize * transform_.Scale / 8);
  DrawDot(dimension.X1, dimension.Y1, dot);
  DrawDot(dimension.X2, dimension.Y2, dot);

  canvas_.brush = Brush{dimension.BrushStyle, dimension.BrushColor};
  SetTextFont(dimension.Font, dimension.Selected, dimension.TextSize);
  const double angle = DimensionAngle(dimension.X1, dimension.Y1, dimension.X2, dimension.Y2);
  // The text follows the length before it is measured, so that its box is the one written.
  if (!dimension.FixedText) dimension.Text = dimension.LengthText();
  const QSize extent = TextSizeInUnits(dimension.Text);
  const double tw = extent.width();
  double th = extent.height();
  const double length = dimension.FixedText ? dimension.SegmentLength() : dimension.Text.toDouble();
  // A text longer than the dimension moves off the line.
  if (tw > length) th = Round(th * 2.8);

  if (Round(dimension.TextSize * transform_.Scale) > 0) {
    const double d = dimension.SegmentLength();
    const bool upsideDown = angle > Pi / 2 && angle < 3 * Pi / 2;
    // Between 90 and 270 degrees the text turns half a turn more and starts from the far end, so
    // that it reads upright.
    const QPointF offset =
        upsideDown ? Rotated((tw + d) / 2, -th / 2, angle) : Rotated((d - tw) / 2, th / 2, angle);
    canvas_.font.escapement = Escapement(upsideDown ? angle + Pi : angle);
    const QPoint origin = Screen(dimension.X1 + offset.x(), dimension.Y1 + offset.y());
    canvas_.textOut(origin.x(), origin.y(), dimension.Text);
    canvas_.font.escapement = 0;
  }
  DrawGrips(dimension);
}

void GvPainter::DrawAngularDimension(TGV_COTEA& dimension) {
  SetDimensionPenAndDot(dimension, StateColor(dimension));
  const QPoint c = Screen(dimension.CX, dimension.CY);
  const QPoint s = Screen(dimension.X1, dimension.Y1), e = Screen(dimension.X2, dimension.Y2);
  const int r = transform_.ToPixels(dimension.Radius);
  canvas_.arc(c.x() - r, c.y() - r, c.x() + r, c.y() + r, s.x(), s.y(), e.x(), e.y());
  const int dot = Round(dimension.TextSize * transform_.Scale / 8);
  DrawDot(dimension.X1, dimension.Y1, dot);
  DrawDot(dimension.X2, dimension.Y2, dot);

  canvas_.brush = Brush{dimension.BrushStyle, dimension.BrushColor};
  SetTextFont(dimension.Font, dimension.Selected, dimension.TextSize);
  if (Round(dimension.TextSize * transform_.Scale) > 0) {
    const QSize extent = TextSizeInUnits(dimension.Text);
    // The text sits where the line from the centre through the middle of the chord meets the
    // arc; when the ends are opposite, the chord's middle is the centre and the arc's middle
    // (a quarter turn on from the start) is taken.
    double dx = (dimension.X1 + dimension.X2) / 2 - dimension.CX;
    double dy = (dimension.Y1 + dimension.Y2) / 2 - dimension.CY;
    if (std::hypot(dx, dy) < 1e-9) {
      const double start = std::atan2(dimension.Y1 - dimension.CY, dimension.X1 - dimension.CX);
      dx = std::cos(start + Pi / 2);
      dy = std::sin(start + Pi / 2);
    }
    const double norm = std::hypot(dx, dy);
    const double px = Round(dimension.CX + dimension.Radius * dx / norm);
    const double py = Round(dimension.CY + dimension.Radius * dy / norm);
    const QPoint origin = Screen(px - extent.width() / 2.0, py + extent.height() / 2.0);
    canvas_.textOut(origin.x(), origin.y(), dimension.Text);
  }
  DrawGrips(dimension);
}

void GvPainter::DrawText(TGV_TEXTE& text) {
  canvas_.pen = Pen{text.PenStyle, StateColor(text), text.PenWidth, PenMode::Copy};
  canvas_.brush = Brush{BrushStyle::Clear, White};
  if (Round(text.TextSize * transform_.Scale) <= 1) return;
  const QSize extent = text.TextSizeInUnits(transform_, measurer_);
  SetTextFont(text.Font, text.Selected, text.TextSize);
  // Written from its turned top-left corner so that (X, Y) is the middle of the text box.
  const QPointF offset = Rotated(-extent.width() / 2.0, extent.height() / 2.0, text.Angle);
  canvas_.font.escapement = Escapement(text.Angle);
  const QPoint origin = Screen(text.X + offset.x(), text.Y + offset.y());
  canvas_.textOut(origin.x(), origin.y(), text.Text);
  canvas_.font.escapement = 0;
  text.MeasureBox(transform_, measurer_);
  DrawGrips(text);
}

// A framed cell between two opposite corners (the first four cell values); its text, one line
// |Font.height| drawing units high, sits by its alignment inside the margin (the fifth value):
// 0 left, 1 right, 2 centred (these three at the top), 3 centred both ways.
void GvPainter::DrawReportCell(TGV_RptMemoCel& cell) {
  const double margin = cell.Cell[4];
  SetPen(cell, StateColor(cell));
  canvas_.brush = Brush{BrushStyle::Clear, White};
  const QPoint a = Screen(cell.Cell[0], cell.Cell[1]), b = Screen(cell.Cell[2], cell.Cell[3]);
  const QPoint topLeft(std::min(a.x(), b.x()), std::min(a.y(), b.y()));
  const QPoint bottomRight(std::max(a.x(), b.x()), std::max(a.y(), b.y()));
  canvas_.rectangle(topLeft.x(), topLeft.y(), bottomRight.x() + 1, bottomRight.y() + 1);

  const int pixels = transform_.ToPixels(std::abs(cell.Font.height));
  if (pixels <= 1 || cell.Text.isEmpty()) return;
  const int pixelsPerInch = canvas_.font.pixelsPerInch;
  canvas_.font = cell.Font;
  canvas_.font.pixelsPerInch = pixelsPerInch;
  canvas_.font.escapement = 0;
  canvas_.font.height = -pixels;
  const int inset = transform_.ToPixels(margin);
  const int left = topLeft.x() + inset, right = bottomRight.x() - inset, top = topLeft.y() + inset;
  const int textWidth = canvas_.textWidth(cell.Text), textHeight = canvas_.textHeight(cell.Text);
  int tx = left, ty = top;
  if (cell.Alignment == 1) tx = right - textWidth;
  if (cell.Alignment >= 2) tx = (left + right - textWidth) / 2;
  if (cell.Alignment == 3) ty = (topLeft.y() + bottomRight.y() - textHeight) / 2;
  canvas_.textOut(tx, ty, cell.Text);
}

void GvPainter::DrawGrips(const TGV_ENTITY& entity) {
  if (!entity.Selected || !entity.GripsShown || !entity.Selectable || !entity.Visible || entity.Grips.empty())
    return;
  canvas_.pen = Pen{PenStyle::Solid, HighlightColor, 1, PenMode::Copy};
  canvas_.brush = Brush{BrushStyle::Clear, White};
  for (const TGV_SELPOINT& grip : entity.Grips) {
    const QPoint s = Screen(grip.X, grip.Y);
    canvas_.rectangle(s.x() - 5, s.y() - 5, s.x() + 6, s.y() + 6);
  }
}

void GvPainter::DrawAxisIcon(Canvas& canvas, int width, int height) {
  const int l = std::min(height / 20, width / 20);
  const QPoint o(l, height - l);
  canvas.brush = Brush{BrushStyle::Clear, White};
  const auto stroke = [&](int x1, int y1, int x2, int y2) {
    canvas.moveTo(x1, y1);
    canvas.lineTo(x2, y2);
  };

  canvas.pen = Pen{PenStyle::Solid, AxisXColor, 1, PenMode::Copy};
  canvas.font.color = AxisXColor;
  stroke(o.x(), o.y(), o.x() + l, o.y());
  stroke(o.x() + l, o.y(), o.x() + l - l / 5, o.y() - l / 10);
  stroke(o.x() + l, o.y(), o.x() + l - l / 5, o.y() + l / 10);
  canvas.textOut(o.x() + l + 2, o.y() - canvas.textHeight("X") / 2, "X");

  canvas.pen.color = AxisYColor;
  canvas.font.color = AxisYColor;
  stroke(o.x(), o.y(), o.x(), o.y() - l);
  stroke(o.x(), o.y() - l, o.x() - l / 10, o.y() - l + l / 5);
  stroke(o.x(), o.y() - l, o.x() + l / 10, o.y() - l + l / 5);
  canvas.textOut(o.x() - canvas.textWidth("Y") / 2, o.y() - l - canvas.textHeight("Y") - 1, "Y");
}

} // namespace vorlan
