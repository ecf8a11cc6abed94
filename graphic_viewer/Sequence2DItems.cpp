#include "graphic_viewer/Sequence2DItems.h"

#include "graphic_viewer/GvReadContext.h"
#include "platform/BinaryCursor.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vorlan {

namespace {

constexpr double LengthTolerance = 0.0001;
constexpr double PointTolerance = 0.001;
// Pieces whose ends are this close on X and on Y are joined.
constexpr double ChainTolerance = 1.0;
// Arcs are cut into chords whose sagitta stays under this many drawing units: a quarter of a pixel
// at one pixel per drawing unit, the scale a zoom-all gives a drawing of about a thousand units on
// an ordinary window. The point count is the span over the step rounded, so the last chord may be
// up to one and a half steps long: the step is two thirds of the angle whose chord strays by the
// quarter. It also stays between 0.1 and 10 degrees, so that small arcs keep their shape when
// zoomed in and no arc gives more than 3600 points.
constexpr double ChordError = 0.25;
constexpr double MinStepDegrees = 0.1;
constexpr double MaxStepDegrees = 10;

double Slope(double dx, double dy) {
  return std::fabs(dx) < LengthTolerance ? VerticalSlope : dy / dx;
}

double NormalSlope(double dx, double dy) {
  if (std::fabs(dx) < LengthTolerance) return 0;
  if (std::fabs(dy) < LengthTolerance) return VerticalSlope;
  return -dx / dy;
}

bool Meets(double x1, double y1, double x2, double y2) {
  return std::fabs(x1 - x2) < ChainTolerance && std::fabs(y1 - y2) < ChainTolerance;
}

double ArcStepDegrees(double radius) {
  const double cosine = 1 - ChordError / radius;
  const double step = cosine > -1 && cosine < 1 ? Degrees(2 * std::acos(cosine)) * 2 / 3 : MaxStepDegrees;
  return std::clamp(step, MinStepDegrees, MaxStepDegrees);
}

} // namespace

double DistanceToSegment(double x, double y, double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1, dy = y2 - y1, length2 = dx * dx + dy * dy;
  const double t = length2 == 0 ? 0 : std::clamp(((x - x1) * dx + (y - y1) * dy) / length2, 0.0, 1.0);
  return std::hypot(x - (x1 + t * dx), y - (y1 + t * dy));
}

double Degrees(double radians) {
  return radians * 180 / std::numbers::pi;
}
double Radians(double degrees) {
  return degrees * std::numbers::pi / 180;
}

void RotatePoint(double& x, double& y, double angle, double cx, double cy) {
  const double c = std::cos(Radians(angle)), s = std::sin(Radians(angle));
  const double dx = x - cx, dy = y - cy;
  x = cx + dx * c - dy * s;
  y = cy + dx * s + dy * c;
}

void ScalePoint(double& x, double& y, double factor, double cx, double cy) {
  x = (x - cx) * factor + cx;
  y = (y - cy) * factor + cy;
}

// p becomes 2q - p, q being its projection on the line.
void MirrorPoint(double& x, double& y, double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1, dy = y2 - y1, length2 = dx * dx + dy * dy;
  if (length2 == 0) return;
  const double t = ((x - x1) * dx + (y - y1) * dy) / length2;
  x = 2 * (x1 + t * dx) - x;
  y = 2 * (y1 + t * dy) - y;
}

void T2DSequenceItem::SetSlopes(double startDx, double startDy, double endDx, double endDy) {
  StartSlope = Slope(startDx, startDy);
  EndSlope = Slope(endDx, endDy);
  StartNormalSlope = NormalSlope(startDx, startDy);
  EndNormalSlope = NormalSlope(endDx, endDy);
}

void T2DSequenceItem::MakeArrayCopies(int count, std::vector<std::unique_ptr<T2DSequenceItem>>& list,
                                      double dx, double dy) const {
  for (int i = 1; i <= count; ++i) {
    std::unique_ptr<T2DSequenceItem> copy = Clone();
    copy->Translate(i * dx, i * dy);
    list.push_back(std::move(copy));
  }
}

// ---- line

double T2DSequenceLine::Length() const {
  const double length = std::hypot(X2 - X1, Y2 - Y1);
  return length < LengthTolerance ? 0 : length;
}

void T2DSequenceLine::ComputeSlopes() {
  const double dx = EndX() - StartX(), dy = EndY() - StartY();
  SetSlopes(dx, dy, dx, dy);
}

bool T2DSequenceLine::ContainsPoint(double x, double y, double tolerance) const {
  return DistanceToSegment(x, y, X1, Y1, X2, Y2) <= tolerance;
}

std::vector<TPointZKT> T2DSequenceLine::GetPoints() const {
  return {{StartX(), StartY(), 0}, {EndX(), EndY(), 0}};
}

void T2DSequenceLine::Translate(double dx, double dy) {
  X1 += dx, Y1 += dy, X2 += dx, Y2 += dy;
}

void T2DSequenceLine::Rotate(double angle, double cx, double cy) {
  RotatePoint(X1, Y1, angle, cx, cy);
  RotatePoint(X2, Y2, angle, cx, cy);
}

void T2DSequenceLine::ScaleBy(double factor, double cx, double cy) {
  ScalePoint(X1, Y1, factor, cx, cy);
  ScalePoint(X2, Y2, factor, cx, cy);
}

void T2DSequenceLine::Mirror(double x1, double y1, double x2, double y2) {
  MirrorPoint(X1, Y1, x1, y1, x2, y2);
  MirrorPoint(X2, Y2, x1, y1, x2, y2);
}

std::unique_ptr<T2DSequenceItem> T2DSequenceLine::Clone() const {
  return std::make_unique<T2DSequenceLine>(*this);
}

// ---- arc

double T2DSequenceArc::SpanDegrees() const {
  double span = Degrees(std::atan2(Y2 - CY, X2 - CX) - std::atan2(Y1 - CY, X1 - CX));
  while (span <= 0)
    span += 360;
  return span;
}

double T2DSequenceArc::Length() const {
  const double length = Radius * Radians(SpanDegrees());
  return std::fabs(length) < LengthTolerance ? 0 : length;
}

// The counter-clockwise tangent at a point is the radius turned a quarter; traversed backwards it
// points the other way, which leaves the slopes unchanged.
void T2DSequenceArc::ComputeSlopes() {
  SetSlopes(-(StartY() - CY), StartX() - CX, -(EndY() - CY), EndX() - CX);
}

bool T2DSequenceArc::ContainsPoint(double x, double y, double tolerance) const {
  if (std::fabs(std::hypot(x - CX, y - CY) - Radius) > tolerance) return false;
  double along = Degrees(std::atan2(y - CY, x - CX) - std::atan2(Y1 - CY, X1 - CX));
  while (along < 0)
    along += 360;
  return along <= SpanDegrees();
}

std::vector<TPointZKT> T2DSequenceArc::GetPoints() const {
  std::vector<TPointZKT> points;
  if (std::fabs(X1 - X2) < PointTolerance && std::fabs(Y1 - Y2) < PointTolerance) return points;
  const double span = SpanDegrees(), step = ArcStepDegrees(Radius);
  points.push_back({X1, Y1, 0});
  if (std::fabs(step) >= 0.001) {
    const double count = std::isfinite(span) ? std::nearbyint(span / step) : 0;
    for (int i = 1; i < count; ++i) {
      TPointZKT next = points.back();
      RotatePoint(next.X, next.Y, step, CX, CY);
      points.push_back(next);
    }
    points.push_back({X2, Y2, 0});
  }
  if (Reversed) std::reverse(points.begin(), points.end());
  return points;
}

void T2DSequenceArc::Translate(double dx, double dy) {
  CX += dx, CY += dy, X1 += dx, Y1 += dy, X2 += dx, Y2 += dy;
}

void T2DSequenceArc::Rotate(double angle, double cx, double cy) {
  RotatePoint(CX, CY, angle, cx, cy);
  RotatePoint(X1, Y1, angle, cx, cy);
  RotatePoint(X2, Y2, angle, cx, cy);
}

void T2DSequenceArc::ScaleBy(double factor, double cx, double cy) {
  ScalePoint(CX, CY, factor, cx, cy);
  ScalePoint(X1, Y1, factor, cx, cy);
  ScalePoint(X2, Y2, factor, cx, cy);
  Radius *= std::fabs(factor);
}

// A mirrored counter-clockwise arc runs clockwise: its ends swap, and so does the traversal.
void T2DSequenceArc::Mirror(double x1, double y1, double x2, double y2) {
  MirrorPoint(CX, CY, x1, y1, x2, y2);
  MirrorPoint(X1, Y1, x1, y1, x2, y2);
  MirrorPoint(X2, Y2, x1, y1, x2, y2);
  std::swap(X1, X2);
  std::swap(Y1, Y2);
  Reversed = !Reversed;
}

std::unique_ptr<T2DSequenceItem> T2DSequenceArc::Clone() const {
  return std::make_unique<T2DSequenceArc>(*this);
}

// ---- open sequence

T2DOpenedSequence::T2DOpenedSequence(const T2DOpenedSequence& other) {
  *this = other;
}

T2DOpenedSequence& T2DOpenedSequence::operator=(const T2DOpenedSequence& other) {
  if (this == &other) return *this;
  Pieces.clear();
  for (const auto& piece : other.Pieces)
    Pieces.push_back(piece->Clone());
  return *this;
}

std::vector<TPointZKT> T2DOpenedSequence::GetPoints() const {
  std::vector<TPointZKT> points;
  for (const auto& piece : Pieces) {
    const std::vector<TPointZKT> own = piece->GetPoints();
    const auto skip = points.empty() || own.empty() ? 0 : 1;
    points.insert(points.end(), own.begin() + skip, own.end());
  }
  return points;
}

void T2DOpenedSequence::Translate(double dx, double dy) {
  for (auto& piece : Pieces)
    piece->Translate(dx, dy);
}

void T2DOpenedSequence::Rotate(double angle, double cx, double cy) {
  for (auto& piece : Pieces)
    piece->Rotate(angle, cx, cy);
}

void T2DOpenedSequence::ScaleBy(double factor, double cx, double cy) {
  for (auto& piece : Pieces)
    piece->ScaleBy(factor, cx, cy);
}

void T2DOpenedSequence::Mirror(double x1, double y1, double x2, double y2) {
  for (auto& piece : Pieces)
    piece->Mirror(x1, y1, x2, y2);
}

void T2DOpenedSequence::Reverse() {
  std::reverse(Pieces.begin(), Pieces.end());
  for (auto& piece : Pieces)
    piece->Reversed = !piece->Reversed;
}

bool T2DOpenedSequence::Chain() {
  const std::size_t count = Pieces.size();
  std::size_t beginning = count;
  for (std::size_t i = 0; i < count && beginning == count; ++i) {
    const T2DSequenceItem& piece = *Pieces[i];
    bool startJoined = false, endJoined = false;
    for (std::size_t j = 0; j < count; ++j) {
      if (j == i) continue;
      const T2DSequenceItem& other = *Pieces[j];
      startJoined = startJoined || Meets(piece.StartX(), piece.StartY(), other.StartX(), other.StartY()) ||
                    Meets(piece.StartX(), piece.StartY(), other.EndX(), other.EndY());
      endJoined = endJoined || Meets(piece.EndX(), piece.EndY(), other.StartX(), other.StartY()) ||
                  Meets(piece.EndX(), piece.EndY(), other.EndX(), other.EndY());
    }
    if (startJoined && endJoined) continue;
    beginning = i;
    if (startJoined) Pieces[i]->Reversed = !Pieces[i]->Reversed;
  }
  if (beginning == count) return false;
  std::swap(Pieces[0], Pieces[beginning]);
  return ChainFromFirst();
}

bool T2DOpenedSequence::ChainLoop() {
  if (Pieces.empty() || !ChainFromFirst()) return false;
  return Meets(EndX(), EndY(), StartX(), StartY());
}

bool T2DOpenedSequence::ChainFromFirst() {
  for (std::size_t i = 1; i < Pieces.size(); ++i) {
    const double endX = Pieces[i - 1]->EndX(), endY = Pieces[i - 1]->EndY();
    auto found = std::find_if(Pieces.begin() + static_cast<std::ptrdiff_t>(i), Pieces.end(),
                              [&](const auto& p) { return Meets(p->StartX(), p->StartY(), endX, endY); });
    if (found == Pieces.end()) {
      found = std::find_if(Pieces.begin() + static_cast<std::ptrdiff_t>(i), Pieces.end(),
                           [&](const auto& p) { return Meets(p->EndX(), p->EndY(), endX, endY); });
      if (found == Pieces.end()) return false;
      (*found)->Reversed = !(*found)->Reversed;
    }
    std::iter_swap(Pieces.begin() + static_cast<std::ptrdiff_t>(i), found);
  }
  return true;
}

// ---- closed sequence

std::vector<TPointZKT> T2DClosedSequence::GetPoints() const {
  std::vector<TPointZKT> points;
  for (const T2DOpenedSequence& loop : Loops) {
    std::vector<TPointZKT> own = loop.GetPoints();
    if (!own.empty()) own.pop_back();
    points.insert(points.end(), own.begin(), own.end());
  }
  return points;
}

std::vector<const T2DSequenceItem*> T2DClosedSequence::AllPieces() const {
  std::vector<const T2DSequenceItem*> pieces;
  for (const T2DOpenedSequence& loop : Loops)
    for (const auto& piece : loop.Pieces)
      pieces.push_back(piece.get());
  return pieces;
}

bool T2DClosedSequence::Chain() {
  if (Loops.empty()) return false;
  return std::all_of(Loops.begin(), Loops.end(), [](T2DOpenedSequence& loop) { return loop.ChainLoop(); });
}

void T2DClosedSequence::Translate(double dx, double dy) {
  for (auto& loop : Loops)
    loop.Translate(dx, dy);
}

void T2DClosedSequence::Rotate(double angle, double cx, double cy) {
  for (auto& loop : Loops)
    loop.Rotate(angle, cx, cy);
}

void T2DClosedSequence::ScaleBy(double factor, double cx, double cy) {
  for (auto& loop : Loops)
    loop.ScaleBy(factor, cx, cy);
}

void T2DClosedSequence::Mirror(double x1, double y1, double x2, double y2) {
  for (auto& loop : Loops)
    loop.Mirror(x1, y1, x2, y2);
}

// ---- records

namespace {

constexpr std::size_t MinPieceRecord = 4 + 1 + 1 + 4 * 8 + 4 * 8;
constexpr std::size_t MinOpenSequenceRecord = 4;

} // namespace

std::unique_ptr<T2DSequenceItem> ReadSequencePiece(BinaryCursor& cursor) {
  const std::size_t start = cursor.offset();
  const std::int32_t kind = cursor.readInt32("kind");
  std::unique_ptr<T2DSequenceItem> piece;
  if (kind == 0)
    piece = std::make_unique<T2DSequenceLine>();
  else if (kind == 1)
    piece = std::make_unique<T2DSequenceArc>();
  else
    cursor.failAt(start, "piece kind " + std::to_string(kind) + " is neither 0 (line) nor 1 (arc)");
  piece->Reversed = cursor.readBool("reversed");
  piece->Marker = cursor.readBool("marker");
  piece->StartSlope = cursor.readDouble("start slope");
  piece->EndSlope = cursor.readDouble("end slope");
  piece->StartNormalSlope = cursor.readDouble("start normal slope");
  piece->EndNormalSlope = cursor.readDouble("end normal slope");
  if (auto* line = dynamic_cast<T2DSequenceLine*>(piece.get())) {
    for (double* field : {&line->X1, &line->Y1, &line->X2, &line->Y2})
      *field = cursor.readDouble("line point");
  } else {
    auto& arc = static_cast<T2DSequenceArc&>(*piece);
    for (double* field : {&arc.CX, &arc.CY, &arc.Radius, &arc.X1, &arc.Y1, &arc.X2, &arc.Y2})
      *field = cursor.readDouble("arc geometry");
  }
  return piece;
}

T2DOpenedSequence ReadOpenedSequence(BinaryCursor& cursor) {
  T2DOpenedSequence sequence;
  const std::size_t count = cursor.readCount(MinPieceRecord, "piece count");
  sequence.Pieces.reserve(count);
  for (std::size_t i = 0; i < count; ++i)
    sequence.Add(ReadInRecord([&] { return ReadSequencePiece(cursor); },
                              [&] { return "piece " + std::to_string(i); }));
  return sequence;
}

T2DClosedSequence ReadClosedSequence(BinaryCursor& cursor) {
  T2DClosedSequence sequence;
  const std::size_t count = cursor.readCount(MinOpenSequenceRecord, "loop count");
  sequence.Loops.reserve(count);
  for (std::size_t i = 0; i < count; ++i)
    sequence.Add(ReadInRecord([&] { return ReadOpenedSequence(cursor); },
                              [&] { return "loop " + std::to_string(i); }));
  return sequence;
}

} // namespace vorlan
