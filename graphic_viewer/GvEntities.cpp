#include "graphic_viewer/GvEntities.h"

#include "graphic_viewer/GvDocument.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <numbers>

namespace vorlan {

namespace {

constexpr double HitTolerancePixels = 5;

bool AllFinite(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

bool NearScreenSegment(int x, int y, QPoint a, QPoint b) {
  return DistanceToSegment(x, y, a.x(), a.y(), b.x(), b.y()) <= HitTolerancePixels;
}

// The counter-clockwise angle from the ray to (x1, y1) to the ray to (x, y), in [0, 2 pi).
double AngleFrom(double cx, double cy, double x1, double y1, double x, double y) {
  double angle = std::atan2(y - cy, x - cx) - std::atan2(y1 - cy, x1 - cx);
  while (angle < 0)
    angle += 2 * std::numbers::pi;
  return angle;
}

double ArcSpan(double cx, double cy, double x1, double y1, double x2, double y2) {
  const double span = AngleFrom(cx, cy, x1, y1, x2, y2);
  return span == 0 ? 2 * std::numbers::pi : span;
}

// Both ends and every quadrant point the counter-clockwise arc passes.
std::array<double, 4> ArcBox(double cx, double cy, double radius, double x1, double y1, double x2,
                             double y2) {
  std::array<double, 4> box{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
  const double span = ArcSpan(cx, cy, x1, y1, x2, y2);
  const double quadrants[4][2] = {{cx + radius, cy}, {cx, cy + radius}, {cx - radius, cy}, {cx, cy - radius}};
  for (const auto& q : quadrants) {
    if (AngleFrom(cx, cy, x1, y1, q[0], q[1]) > span) continue;
    box = {std::min(box[0], q[0]), std::min(box[1], q[1]), std::max(box[2], q[0]), std::max(box[3], q[1])};
  }
  return box;
}

// On the screen circle within the tolerance and within the arc's sweep.
bool ArcHit(int x, int y, const GvTransform& t, double cx, double cy, double radius, double x1, double y1,
            double x2, double y2) {
  const QPoint centre = t.WorldToScreen(cx, cy);
  if (std::fabs(std::hypot(x - centre.x(), y - centre.y()) - t.ToPixels(radius)) >= HitTolerancePixels)
    return false;
  const QPointF world = t.ScreenToWorld(x, y);
  return AngleFrom(cx, cy, x1, y1, world.x(), world.y()) <= ArcSpan(cx, cy, x1, y1, x2, y2);
}

bool SegmentsCross(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy) {
  auto side = [](double px, double py, double qx, double qy, double rx, double ry) {
    return (qx - px) * (ry - py) - (qy - py) * (rx - px);
  };
  const double d1 = side(cx, cy, dx, dy, ax, ay), d2 = side(cx, cy, dx, dy, bx, by);
  const double d3 = side(ax, ay, bx, by, cx, cy), d4 = side(ax, ay, bx, by, dx, dy);
  return ((d1 <= 0 && d2 >= 0) || (d1 >= 0 && d2 <= 0)) && ((d3 <= 0 && d4 >= 0) || (d3 >= 0 && d4 <= 0));
}

QString LengthAsText(double length) {
  return QString::fromStdString(formatGeneral(length, 5));
}

} // namespace

std::string_view TagClassName(TGV_Tag tag) {
  static constexpr std::string_view names[TGV_TagCount] = {"line",
                                                           "dimension",
                                                           "text",
                                                           "polygon",
                                                           "bitmap",
                                                           "arc",
                                                           "polyline",
                                                           "axis",
                                                           "rectangle",
                                                           "circle",
                                                           "regular_polygon",
                                                           "group",
                                                           "angular_dimension",
                                                           "point",
                                                           "arrow",
                                                           "dimension_series",
                                                           "report_cell",
                                                           "sequenced_polygon",
                                                           "sequenced_polyline"};
  return names[static_cast<int>(tag)];
}

bool IsGroupTag(TGV_Tag tag) {
  switch (tag) {
  case TGV_Tag::Polyline:
  case TGV_Tag::Rectangle:
  case TGV_Tag::PolygoneRegulier:
  case TGV_Tag::Groupe:
  case TGV_Tag::CoteSerie:
  case TGV_Tag::RptMemoCel:
  case TGV_Tag::SequencedPolyline:
    return true;
  default:
    return false;
  }
}

// The font's point size at the canvas's own resolution (a printer's is not the screen's); the
// canvas keeps the font it had.
QSize CanvasTextMeasurer::TextExtent(const Font& font, const QString& text) {
  const vorlan::Font saved = canvas_.font;
  canvas_.font = font;
  canvas_.font.pixelsPerInch = saved.pixelsPerInch;
  canvas_.font.setSize(font.size());
  const QSize extent(canvas_.textWidth(text), canvas_.textHeight(text));
  canvas_.font = saved;
  return extent;
}

int ScaledFontSize(int textSize, const Font& font, const GvTransform& transform) {
  int size = Round(std::clamp(textSize * transform.Scale, -1e9, 1e9));
  if (transform.Printing && font.pixelsPerInch > 0)
    size = Round(size / (static_cast<double>(transform.PrinterPixelsPerInch) / font.pixelsPerInch));
  return size;
}

// ---- TGV_ENTITY

TGV_ENTITY::TGV_ENTITY(TGV_DOCUMENT* document, std::uint8_t layer) : Document(document) {
  ApplyLayer(layer);
}

void TGV_ENTITY::ApplyLayer(std::uint8_t layer) {
  const TGV_Layer* found = Document ? Document->LayerById(layer) : nullptr;
  if (!found) return;
  Layer = layer;
  PenStyle = found->PenStyle;
  PenColor = found->PenColor;
  PenWidthMM = found->PenWidthMM;
  BrushStyle = found->BrushStyle;
  BrushColor = found->BrushColor;
}

void TGV_ENTITY::SetBox(double xmin, double ymin, double xmax, double ymax) {
  if (!IsFinite() || !AllFinite({xmin, ymin, xmax, ymax})) return SetInvertedBox();
  XMin = xmin, YMin = ymin, XMax = xmax, YMax = ymax;
}

void TGV_ENTITY::SetInvertedBox() {
  XMin = YMin = InvertedBoxBound;
  XMax = YMax = -InvertedBoxBound;
}

bool TGV_ENTITY::HitTest(int x, int y, const GvTransform& transform) const {
  if (!IsFinite()) return false;
  const QPoint low = transform.WorldToScreen(XMin, YMin), high = transform.WorldToScreen(XMax, YMax);
  return x >= low.x() - HitTolerancePixels && x <= high.x() + HitTolerancePixels &&
         y >= high.y() - HitTolerancePixels && y <= low.y() + HitTolerancePixels;
}

bool TGV_ENTITY::IsInWindow(double xmin, double ymin, double xmax, double ymax) const {
  return IsFinite() && XMin >= xmin && YMin >= ymin && XMax <= xmax && YMax <= ymax;
}

void TGV_ENTITY::ApplyTransform(const PointTransform& transform) {
  MapGeometry(transform.Map);
  if (transform.LengthFactor != 1) ScaleLengths(transform.LengthFactor);
  if (transform.TurnDegrees != 0) TurnAngles(transform.TurnDegrees);
  if (transform.Mirrors) AfterMirror();
  for (TGV_SELPOINT& grip : Grips)
    transform.Map(grip.X, grip.Y);
  GeometryChanged();
}

void TGV_ENTITY::Translate(double dx, double dy) {
  ApplyTransform({[=](double& x, double& y) { x += dx, y += dy; }, 1, 0, false,
                  [=](T2DOpenedSequence& s) { s.Translate(dx, dy); }});
}

void TGV_ENTITY::Rotate(double angle, double cx, double cy) {
  ApplyTransform({[=](double& x, double& y) { RotatePoint(x, y, angle, cx, cy); }, 1, angle, false,
                  [=](T2DOpenedSequence& s) { s.Rotate(angle, cx, cy); }});
}

void TGV_ENTITY::ScaleBy(double factor, double cx, double cy) {
  ApplyTransform({[=](double& x, double& y) { x = (x - cx) * factor + cx, y = (y - cy) * factor + cy; },
                  std::fabs(factor), 0, false, [=](T2DOpenedSequence& s) { s.ScaleBy(factor, cx, cy); }});
}

void TGV_ENTITY::Mirror(double x1, double y1, double x2, double y2) {
  ApplyTransform({[=](double& x, double& y) { MirrorPoint(x, y, x1, y1, x2, y2); }, 1, 0, true,
                  [=](T2DOpenedSequence& s) { s.Mirror(x1, y1, x2, y2); }});
}

// ---- point

TGV_Point::TGV_Point(double x, double y, double radius, TGV_DOCUMENT* document, std::uint8_t layer)
    : TGV_ENTITY(document, layer), X(x), Y(y), Radius(radius) {
  CalcExtents();
}

void TGV_Point::CalcExtents() {
  Grips = {{X, Y}};
  SetBox(X - Radius, Y - Radius, X + Radius, Y + Radius);
}

bool TGV_Point::HitTest(int x, int y, const GvTransform& transform) const {
  if (!IsFinite()) return false;
  const QPoint centre = transform.WorldToScreen(X, Y);
  return std::hypot(x - centre.x(), y - centre.y()) <= transform.ToPixels(Radius) + HitTolerancePixels;
}

bool TGV_Point::IsFinite() const {
  return AllFinite({X, Y, Radius});
}

// ---- line, axis, arrow

TGV_LINE::TGV_LINE(double x1, double y1, double x2, double y2, TGV_DOCUMENT* document, std::uint8_t layer)
    : TGV_ENTITY(document, layer), X1(x1), Y1(y1), X2(x2), Y2(y2) {
  TGV_LINE::CalcExtents();
}

void TGV_LINE::CalcExtents() {
  Grips = {{X1, Y1}, {X2, Y2}, {(X1 + X2) / 2, (Y1 + Y2) / 2}};
  SetBox(std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2), std::max(Y1, Y2));
}

bool TGV_LINE::HitTest(int x, int y, const GvTransform& transform) const {
  return IsFinite() &&
         NearScreenSegment(x, y, transform.WorldToScreen(X1, Y1), transform.WorldToScreen(X2, Y2));
}

bool TGV_LINE::IsInWindow(double xmin, double ymin, double xmax, double ymax) const {
  if (TGV_ENTITY::IsInWindow(xmin, ymin, xmax, ymax)) return true;
  if (!IsFinite()) return false;
  return SegmentsCross(X1, Y1, X2, Y2, xmin, ymin, xmax, ymin) ||
         SegmentsCross(X1, Y1, X2, Y2, xmax, ymin, xmax, ymax) ||
         SegmentsCross(X1, Y1, X2, Y2, xmax, ymax, xmin, ymax) ||
         SegmentsCross(X1, Y1, X2, Y2, xmin, ymax, xmin, ymin);
}

bool TGV_LINE::IsFinite() const {
  return AllFinite({X1, Y1, X2, Y2});
}

void TGV_LINE::MapGeometry(const PointMap& map) {
  map(X1, Y1);
  map(X2, Y2);
}

bool TGV_ARROW::IsFinite() const {
  return TGV_LINE::IsFinite() && std::isfinite(HeadSize);
}

// ---- circle

TGV_CERCLE::TGV_CERCLE(double cx, double cy, double radius, TGV_DOCUMENT* document, std::uint8_t layer)
    : TGV_ENTITY(document, layer), CX(cx), CY(cy), Radius(radius) {
  SetGripsAndBox();
}

void TGV_CERCLE::SetGripsAndBox() {
  Grips = {{CX, CY}, {CX, CY + Radius}, {CX + Radius, CY}, {CX, CY - Radius}, {CX - Radius, CY}};
  SetBox(CX - Radius, CY - Radius, CX + Radius, CY + Radius);
}

bool TGV_CERCLE::HitTest(int x, int y, const GvTransform& transform) const {
  if (!IsFinite()) return false;
  const QPoint centre = transform.WorldToScreen(CX, CY);
  return std::fabs(std::hypot(x - centre.x(), y - centre.y()) - transform.ToPixels(Radius)) <
         HitTolerancePixels;
}

bool TGV_CERCLE::IsFinite() const {
  return AllFinite({CX, CY, Radius});
}

// ---- arc

TGV_ARC::TGV_ARC(double cx, double cy, double radius, double x1, double y1, double x2, double y2,
                 TGV_DOCUMENT* document, std::uint8_t layer)
    : TGV_ENTITY(document, layer), CX(cx), CY(cy), Radius(radius), X1(x1), Y1(y1), X2(x2), Y2(y2) {
  CalcExtents();
}

void TGV_ARC::CalcExtents() {
  Grips = {{CX, CY}, {X1, Y1}, {X2, Y2}};
  if (!IsFinite()) return SetInvertedBox();
  const auto box = ArcBox(CX, CY, Radius, X1, Y1, X2, Y2);
  SetBox(box[0], box[1], box[2], box[3]);
}

bool TGV_ARC::HitTest(int x, int y, const GvTransform& transform) const {
  return IsFinite() && ArcHit(x, y, transform, CX, CY, Radius, X1, Y1, X2, Y2);
}

bool TGV_ARC::IsFinite() const {
  return AllFinite({CX, CY, Radius, X1, Y1, X2, Y2});
}

void TGV_ARC::MapGeometry(const PointMap& map) {
  map(CX, CY);
  map(X1, Y1);
  map(X2, Y2);
}

void TGV_ARC::AfterMirror() {
  std::swap(X1, X2);
  std::swap(Y1, Y2);
}

// ---- linear dimension

TGV_COTE::TGV_COTE(double x1, double y1, double x2, double y2, TGV_DOCUMENT* document, std::uint8_t layer)
    : TGV_ENTITY(document, layer), X1(x1), Y1(y1), X2(x2), Y2(y2) {
  Font.setSize(10);
  Text = LengthText();
  BrushStyle = vorlan::BrushStyle::Clear;
  BrushColor = 0xFFFFFF;
  CalcExtents();
}

void TGV_COTE::CalcExtents() {
  Grips = {{X1, Y1}, {X2, Y2}};
  SetBox(std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2), std::max(Y1, Y2));
}

bool TGV_COTE::HitTest(int x, int y, const GvTransform& transform) const {
  return IsFinite() &&
         NearScreenSegment(x, y, transform.WorldToScreen(X1, Y1), transform.WorldToScreen(X2, Y2));
}

bool TGV_COTE::IsFinite() const {
  return AllFinite({X1, Y1, X2, Y2});
}

double TGV_COTE::SegmentLength() const {
  return std::hypot(X2 - X1, Y2 - Y1);
}

QString TGV_COTE::LengthText() const {
  return LengthAsText(SegmentLength());
}

void TGV_COTE::MapGeometry(const PointMap& map) {
  map(X1, Y1);
  map(X2, Y2);
}

void TGV_COTE::ScaleLengths(double factor) {
  TextSize = Round(TextSize * factor);
}

// ---- angular dimension

TGV_COTEA::TGV_COTEA(TGV_DOCUMENT* document, std::uint8_t layer) : TGV_ENTITY(document, layer) {
  Font.setSize(10);
  BrushStyle = vorlan::BrushStyle::Clear;
  BrushColor = 0xFFFFFF;
  CalcExtents();
}

void TGV_COTEA::CalcExtents() {
  Grips = {{CX, CY}, {X1, Y1}, {X2, Y2}};
  if (!IsFinite()) return SetInvertedBox();
  const auto box = ArcBox(CX, CY, Radius, X1, Y1, X2, Y2);
  SetBox(box[0], box[1], box[2], box[3]);
}

bool TGV_COTEA::HitTest(int x, int y, const GvTransform& transform) const {
  return IsFinite() && ArcHit(x, y, transform, CX, CY, Radius, X1, Y1, X2, Y2);
}

bool TGV_COTEA::IsFinite() const {
  return AllFinite({CX, CY, X1, Y1, X2, Y2, Radius});
}

void TGV_COTEA::MapGeometry(const PointMap& map) {
  map(CX, CY);
  map(X1, Y1);
  map(X2, Y2);
}

void TGV_COTEA::ScaleLengths(double factor) {
  Radius *= factor;
  TextSize = Round(TextSize * factor);
}

void TGV_COTEA::AfterMirror() {
  std::swap(X1, X2);
  std::swap(Y1, Y2);
}

// ---- text

TGV_TEXTE::TGV_TEXTE(double x, double y, const QString& text, std::int32_t textSize, TGV_DOCUMENT* document,
                     std::uint8_t layer)
    : TGV_ENTITY(document, layer), X(x), Y(y), Text(text), TextSize(textSize) {
  Font.setSize(textSize);
  GripsShown = false;
  CalcExtents();
}

void TGV_TEXTE::CalcExtents() {
  Grips = {{X, Y}};
  SetBox(X, Y, X, Y);
  TGV_ViewerLink* viewer = Document ? Document->Viewers(0) : nullptr;
  if (viewer) MeasureBox(viewer->Transform(), viewer->Measurer());
}

QSize TGV_TEXTE::TextSizeInUnits(const GvTransform& transform, TGV_TextMeasurer& measurer) const {
  vorlan::Font font = Font;
  font.setSize(ScaledFontSize(TextSize, Font, transform));
  font.escapement = 0;
  const QSize pixels = measurer.TextExtent(font, Text);
  return {Round(pixels.width() / transform.Scale), Round(pixels.height() / transform.Scale)};
}

void TGV_TEXTE::MeasureBox(const GvTransform& transform, TGV_TextMeasurer& measurer) {
  if (!IsFinite() || ScaledFontSize(TextSize, Font, transform) <= 1) return;
  const QSize size = TextSizeInUnits(transform, measurer);
  const double halfWidth = size.width() / 2.0, halfHeight = size.height() / 2.0;
  const double c = std::cos(Angle), s = std::sin(Angle);
  double xmin = X, ymin = Y, xmax = X, ymax = Y;
  for (const auto& [a, b] : {std::pair{-halfWidth, halfHeight},
                             {halfWidth, halfHeight},
                             {halfWidth, -halfHeight},
                             {-halfWidth, -halfHeight}}) {
    const double x = X + a * c - b * s, y = Y + a * s + b * c;
    xmin = std::min(xmin, x), ymin = std::min(ymin, y), xmax = std::max(xmax, x), ymax = std::max(ymax, y);
  }
  SetBox(xmin, ymin, xmax, ymax);
}

bool TGV_TEXTE::IsFinite() const {
  return AllFinite({X, Y, Angle});
}

bool TGV_TEXTE::HitTest(int x, int y, const GvTransform& transform) const {
  return TGV_ENTITY::HitTest(x, y, transform);
}

void TGV_TEXTE::ScaleLengths(double factor) {
  TextSize = Round(TextSize * factor);
}

void TGV_TEXTE::TurnAngles(double degrees) {
  Angle += Radians(degrees);
}

// ---- polygons

TGV_POLYGONE::TGV_POLYGONE(TGV_DOCUMENT* document, std::uint8_t layer) : TGV_ENTITY(document, layer) {}

void TGV_POLYGONE::CalcExtents() {
  Grips = Vertices;
  if (Vertices.empty()) return SetInvertedBox();
  double xmin = Vertices[0].X, ymin = Vertices[0].Y, xmax = xmin, ymax = ymin;
  for (const TGV_SELPOINT& v : Vertices)
    xmin = std::min(xmin, v.X), ymin = std::min(ymin, v.Y), xmax = std::max(xmax, v.X),
    ymax = std::max(ymax, v.Y);
  SetBox(xmin, ymin, xmax, ymax);
}

void TGV_POLYGONE::AddVertex(double x, double y) {
  const bool first = Vertices.empty();
  Vertices.push_back({x, y});
  Grips.push_back({x, y});
  if (first) return SetBox(x, y, x, y);
  SetBox(std::min(XMin, x), std::min(YMin, y), std::max(XMax, x), std::max(YMax, y));
}

bool TGV_POLYGONE::HitTest(int x, int y, const GvTransform& transform) const {
  if (!IsFinite() || Vertices.empty()) return false;
  const QPointF world = transform.ScreenToWorld(x, y);
  bool inside = false;
  for (std::size_t i = 0, j = Vertices.size() - 1; i < Vertices.size(); j = i++) {
    const TGV_SELPOINT &a = Vertices[i], &b = Vertices[j];
    if (NearScreenSegment(x, y, transform.WorldToScreen(a.X, a.Y), transform.WorldToScreen(b.X, b.Y)))
      return true;
    if ((a.Y > world.y()) != (b.Y > world.y()) &&
        world.x() < (b.X - a.X) * (world.y() - a.Y) / (b.Y - a.Y) + a.X)
      inside = !inside;
  }
  return inside;
}

bool TGV_POLYGONE::IsFinite() const {
  return std::all_of(Vertices.begin(), Vertices.end(),
                     [](const TGV_SELPOINT& v) { return std::isfinite(v.X) && std::isfinite(v.Y); });
}

void TGV_POLYGONE::MapGeometry(const PointMap& map) {
  for (TGV_SELPOINT& v : Vertices)
    map(v.X, v.Y);
}

void TGV_SEQUENCED_POLYGONE::CalcExtents() {
  if (Sequence.Chain()) {
    Vertices.clear();
    for (const TPointZKT& p : Sequence.GetPoints())
      Vertices.push_back({p.X, p.Y});
  }
  TGV_POLYGONE::CalcExtents();
}

void TGV_SEQUENCED_POLYGONE::ApplyTransform(const PointTransform& transform) {
  for (T2DOpenedSequence& loop : Sequence.Loops)
    transform.MapSequence(loop);
  TGV_POLYGONE::ApplyTransform(transform);
}

// ---- bitmap

TGV_BITMAP::TGV_BITMAP(TGV_DOCUMENT* document, std::uint8_t layer) : TGV_ENTITY(document, layer) {}

void TGV_BITMAP::SetGripsAndBox() {
  Grips = {{X, Y}, {X + Width, Y + Height}};
  SetBox(std::min(X, X + Width), std::min(Y, Y + Height), std::max(X, X + Width), std::max(Y, Y + Height));
}

bool TGV_BITMAP::IsFinite() const {
  return AllFinite({X, Y, Width, Height});
}

void TGV_BITMAP::ScaleLengths(double factor) {
  Width *= factor;
  Height *= factor;
}

// ---- groups

TGV_GROUPE::TGV_GROUPE(TGV_DOCUMENT* document, std::uint8_t layer) : TGV_ENTITY(document, layer) {
  SetInvertedBox();
}

// Children are freed from a work list rather than by recursion, so that however deep groups nest,
// freeing them cannot exhaust the stack.
TGV_GROUPE::~TGV_GROUPE() {
  std::vector<std::unique_ptr<TGV_ENTITY>> pending = std::move(Children);
  while (!pending.empty()) {
    std::unique_ptr<TGV_ENTITY> entity = std::move(pending.back());
    pending.pop_back();
    if (auto* group = dynamic_cast<TGV_GROUPE*>(entity.get()))
      for (auto& child : group->Children)
        pending.push_back(std::move(child));
  }
}

void TGV_GROUPE::CalcExtents() {
  SetInvertedBox();
  for (const auto& child : Children) {
    if (child->Tag() != TGV_Tag::Texte) child->CalcExtents();
    MergeBox(*child);
  }
}

TGV_ENTITY& TGV_GROUPE::Add(std::unique_ptr<TGV_ENTITY> child) {
  MergeBox(*child);
  Children.push_back(std::move(child));
  return *Children.back();
}

void TGV_GROUPE::MergeBox(const TGV_ENTITY& child) {
  if (!child.IsFinite() || !AllFinite({child.XMin, child.YMin, child.XMax, child.YMax})) return;
  XMin = std::min(XMin, child.XMin), YMin = std::min(YMin, child.YMin);
  XMax = std::max(XMax, child.XMax), YMax = std::max(YMax, child.YMax);
}

bool TGV_GROUPE::HitTest(int x, int y, const GvTransform& transform) const {
  return std::any_of(Children.begin(), Children.end(),
                     [&](const auto& c) { return c->HitTest(x, y, transform); });
}

bool TGV_GROUPE::IsInWindow(double xmin, double ymin, double xmax, double ymax) const {
  return std::any_of(Children.begin(), Children.end(),
                     [&](const auto& c) { return c->IsInWindow(xmin, ymin, xmax, ymax); });
}

void TGV_GROUPE::ApplyTransform(const PointTransform& transform) {
  for (auto& child : Children)
    child->ApplyTransform(transform);
  CalcExtents();
}

void TGV_SEQUENCED_POLYLINE::CalcExtents() {
  if (Sequence.Chain()) {
    Children.clear();
    const std::vector<TPointZKT> points = Sequence.GetPoints();
    for (std::size_t i = 1; i < points.size(); ++i) {
      auto line = std::make_unique<TGV_LINE>(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y);
      line->Document = Document;
      line->PenStyle = PenStyle;
      line->PenColor = PenColor;
      line->PenWidth = PenWidth;
      line->PenWidthMM = PenWidthMM;
      line->Layer = Layer;
      line->BrushStyle = BrushStyle;
      line->BrushColor = BrushColor;
      Children.push_back(std::move(line));
    }
  }
  TGV_GROUPE::CalcExtents();
}

void TGV_SEQUENCED_POLYLINE::ApplyTransform(const PointTransform& transform) {
  transform.MapSequence(Sequence);
  TGV_GROUPE::ApplyTransform(transform);
}

// ---- creation by tag

std::unique_ptr<TGV_ENTITY> CreateEntity(TGV_Tag tag, TGV_DOCUMENT* document) {
  std::unique_ptr<TGV_ENTITY> entity;
  switch (tag) {
  case TGV_Tag::Line:
    entity = std::make_unique<TGV_LINE>();
    break;
  case TGV_Tag::Cote:
    entity = std::make_unique<TGV_COTE>();
    break;
  case TGV_Tag::Texte:
    entity = std::make_unique<TGV_TEXTE>();
    break;
  case TGV_Tag::Polygone:
    entity = std::make_unique<TGV_POLYGONE>();
    break;
  case TGV_Tag::Bitmap:
    entity = std::make_unique<TGV_BITMAP>();
    break;
  case TGV_Tag::Arc:
    entity = std::make_unique<TGV_ARC>();
    break;
  case TGV_Tag::Polyline:
    entity = std::make_unique<TGV_POLYLINE>();
    break;
  case TGV_Tag::Axe:
    entity = std::make_unique<TGV_AXE>();
    break;
  case TGV_Tag::Rectangle:
    entity = std::make_unique<TGV_RECTANGLE>();
    break;
  case TGV_Tag::Cercle:
    entity = std::make_unique<TGV_CERCLE>();
    break;
  case TGV_Tag::PolygoneRegulier:
    entity = std::make_unique<TGV_POLYGONE_REGULIER>();
    break;
  case TGV_Tag::Groupe:
    entity = std::make_unique<TGV_GROUPE>();
    break;
  case TGV_Tag::CoteA:
    entity = std::make_unique<TGV_COTEA>();
    break;
  case TGV_Tag::Point:
    entity = std::make_unique<TGV_Point>();
    break;
  case TGV_Tag::Arrow:
    entity = std::make_unique<TGV_ARROW>();
    break;
  case TGV_Tag::CoteSerie:
    entity = std::make_unique<TGV_COTESERIE>();
    break;
  case TGV_Tag::RptMemoCel:
    entity = std::make_unique<TGV_RptMemoCel>();
    break;
  case TGV_Tag::SequencedPolygone:
    entity = std::make_unique<TGV_SEQUENCED_POLYGONE>();
    break;
  case TGV_Tag::SequencedPolyline:
    entity = std::make_unique<TGV_SEQUENCED_POLYLINE>();
    break;
  }
  entity->Document = document;
  return entity;
}

} // namespace vorlan
