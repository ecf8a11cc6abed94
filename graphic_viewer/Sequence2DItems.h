#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vorlan {

// Plane helpers shared by the pieces and the entities; angles in degrees, counter-clockwise.
double DistanceToSegment(double x, double y, double x1, double y1, double x2, double y2);
double Degrees(double radians);
double Radians(double degrees);
void RotatePoint(double& x, double& y, double angle, double cx, double cy);
void ScalePoint(double& x, double& y, double factor, double cx, double cy);
// p becomes 2q - p, q being its projection on the line through (x1, y1) and (x2, y2).
void MirrorPoint(double& x, double& y, double x1, double y1, double x2, double y2);

class BinaryCursor;

struct TPointZKT {
  double X = 0, Y = 0, Z = 0;
};

// Slopes stand for a vertical direction with this value.
constexpr double VerticalSlope = 999999;

// One piece of a contour: a segment or a circular arc, traversed from its first point to its
// second, or the other way when Reversed.
class T2DSequenceItem {
public:
  enum class Kind { Line = 0, Arc = 1 };

  virtual ~T2DSequenceItem() = default;
  virtual Kind PieceKind() const = 0;

  double StartX() const { return Reversed ? SecondX() : FirstX(); }
  double StartY() const { return Reversed ? SecondY() : FirstY(); }
  double EndX() const { return Reversed ? FirstX() : SecondX(); }
  double EndY() const { return Reversed ? FirstY() : SecondY(); }
  virtual double Length() const = 0;
  virtual void ComputeSlopes() = 0;
  virtual bool ContainsPoint(double x, double y, double tolerance) const = 0;
  // Points in traversal order.
  virtual std::vector<TPointZKT> GetPoints() const = 0;
  virtual void Translate(double dx, double dy) = 0;
  // Degrees, counter-clockwise about (cx, cy).
  virtual void Rotate(double angle, double cx, double cy) = 0;
  virtual void ScaleBy(double factor, double cx, double cy) = 0;
  // About the line through (x1, y1) and (x2, y2).
  virtual void Mirror(double x1, double y1, double x2, double y2) = 0;
  virtual std::unique_ptr<T2DSequenceItem> Clone() const = 0;
  // Copies 1..count, copy i moved by i * (dx, dy), keeping Reversed and Marker.
  void MakeArrayCopies(int count, std::vector<std::unique_ptr<T2DSequenceItem>>& list, double dx,
                       double dy) const;

  bool Reversed = false;
  bool Marker = false;
  double StartSlope = 0, EndSlope = 0, StartNormalSlope = 0, EndNormalSlope = 0;

protected:
  virtual double FirstX() const = 0;
  virtual double FirstY() const = 0;
  virtual double SecondX() const = 0;
  virtual double SecondY() const = 0;
  void SetSlopes(double startDx, double startDy, double endDx, double endDy);
};

class T2DSequenceLine : public T2DSequenceItem {
public:
  T2DSequenceLine() = default;
  T2DSequenceLine(double x1, double y1, double x2, double y2) : X1(x1), Y1(y1), X2(x2), Y2(y2) {}
  Kind PieceKind() const override { return Kind::Line; }
  double Length() const override;
  void ComputeSlopes() override;
  bool ContainsPoint(double x, double y, double tolerance) const override;
  std::vector<TPointZKT> GetPoints() const override;
  void Translate(double dx, double dy) override;
  void Rotate(double angle, double cx, double cy) override;
  void ScaleBy(double factor, double cx, double cy) override;
  void Mirror(double x1, double y1, double x2, double y2) override;
  std::unique_ptr<T2DSequenceItem> Clone() const override;

  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;

protected:
  double FirstX() const override { return X1; }
  double FirstY() const override { return Y1; }
  double SecondX() const override { return X2; }
  double SecondY() const override { return Y2; }
};

// Counter-clockwise from (X1, Y1) to (X2, Y2) on the circle around (CX, CY).
class T2DSequenceArc : public T2DSequenceItem {
public:
  T2DSequenceArc() = default;
  T2DSequenceArc(double cx, double cy, double radius, double x1, double y1, double x2, double y2)
      : CX(cx), CY(cy), Radius(radius), X1(x1), Y1(y1), X2(x2), Y2(y2) {}
  Kind PieceKind() const override { return Kind::Arc; }
  double Length() const override;
  void ComputeSlopes() override;
  bool ContainsPoint(double x, double y, double tolerance) const override;
  std::vector<TPointZKT> GetPoints() const override;
  void Translate(double dx, double dy) override;
  void Rotate(double angle, double cx, double cy) override;
  void ScaleBy(double factor, double cx, double cy) override;
  void Mirror(double x1, double y1, double x2, double y2) override;
  std::unique_ptr<T2DSequenceItem> Clone() const override;
  // The counter-clockwise angle from the first point to the second, in degrees, in (0, 360].
  double SpanDegrees() const;

  double CX = 0, CY = 0, Radius = 0, X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;

protected:
  double FirstX() const override { return X1; }
  double FirstY() const override { return Y1; }
  double SecondX() const override { return X2; }
  double SecondY() const override { return Y2; }
};

// One chain of pieces (owned).
class T2DOpenedSequence {
public:
  T2DOpenedSequence() = default;
  T2DOpenedSequence(const T2DOpenedSequence& other);
  T2DOpenedSequence& operator=(const T2DOpenedSequence& other);
  T2DOpenedSequence(T2DOpenedSequence&&) = default;
  T2DOpenedSequence& operator=(T2DOpenedSequence&&) = default;

  void Add(std::unique_ptr<T2DSequenceItem> piece) { Pieces.push_back(std::move(piece)); }
  T2DSequenceItem& Items(int i) const { return *Pieces[static_cast<std::size_t>(i)]; }
  int Count() const { return static_cast<int>(Pieces.size()); }
  double StartX() const { return Pieces.front()->StartX(); }
  double StartY() const { return Pieces.front()->StartY(); }
  double EndX() const { return Pieces.back()->EndX(); }
  double EndY() const { return Pieces.back()->EndY(); }

  // All points of the first piece, then each following piece's points without the shared joint.
  std::vector<TPointZKT> GetPoints() const;
  void Translate(double dx, double dy);
  void Rotate(double angle, double cx, double cy);
  void ScaleBy(double factor, double cx, double cy);
  void Mirror(double x1, double y1, double x2, double y2);
  // The chain runs the other way: the order is reversed and every piece's Reversed toggled.
  void Reverse();
  // Puts the pieces in chain order (ends within 1.0 on X and on Y), turning pieces around where
  // needed; false when they do not form one continuous chain.
  bool Chain();
  // The same for a loop, which has no free end: it starts from its first piece and its last end
  // must come back to its first start.
  bool ChainLoop();

  std::vector<std::unique_ptr<T2DSequenceItem>> Pieces;

private:
  // Orders the pieces after the first one, which is in place.
  bool ChainFromFirst();
};

// Loops, each closing on itself.
class T2DClosedSequence {
public:
  void Add(T2DOpenedSequence loop) { Loops.push_back(std::move(loop)); }
  T2DOpenedSequence& Items(int i) { return Loops[static_cast<std::size_t>(i)]; }
  int Count() const { return static_cast<int>(Loops.size()); }
  // Every loop's points but its last, which repeats its first.
  std::vector<TPointZKT> GetPoints() const;
  std::vector<const T2DSequenceItem*> AllPieces() const;
  // True when there is a loop and every loop closes on itself.
  bool Chain();
  void Translate(double dx, double dy);
  void Rotate(double angle, double cx, double cy);
  void ScaleBy(double factor, double cx, double cy);
  void Mirror(double x1, double y1, double x2, double y2);

  std::vector<T2DOpenedSequence> Loops;
};

// The records: piece = int32 kind, byte Reversed, byte Marker, 4 slopes, then 4 (line) or
// 7 (arc) doubles; open sequence = int32 piece count and pieces; closed = int32 loop count and loops.
std::unique_ptr<T2DSequenceItem> ReadSequencePiece(BinaryCursor& cursor);
T2DOpenedSequence ReadOpenedSequence(BinaryCursor& cursor);
T2DClosedSequence ReadClosedSequence(BinaryCursor& cursor);

} // namespace vorlan
