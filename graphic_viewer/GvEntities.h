#pragma once

#include "graphic_viewer/GvTransform.h"
#include "graphic_viewer/Sequence2DItems.h"
#include "platform/Canvas.h"
#include "platform/Numbers.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace vorlan {

class TGV_DOCUMENT;

// The type tag of an entity record; also how drawing code tells the classes apart.
enum class TGV_Tag {
  Line = 0,
  Cote = 1,
  Texte = 2,
  Polygone = 3,
  Bitmap = 4,
  Arc = 5,
  Polyline = 6,
  Axe = 7,
  Rectangle = 8,
  Cercle = 9,
  PolygoneRegulier = 10,
  Groupe = 11,
  CoteA = 12,
  Point = 13,
  Arrow = 14,
  CoteSerie = 15,
  RptMemoCel = 16,
  SequencedPolygone = 17,
  SequencedPolyline = 18,
};
constexpr int TGV_TagCount = 19;

// The inspector's name of a class: "line", "dimension", "text", ... "sequenced_polyline".
std::string_view TagClassName(TGV_Tag tag);
// Groups and every class derived from TGV_GROUPE.
bool IsGroupTag(TGV_Tag tag);

// A grip (selection point), a polygon vertex or a snap point.
struct TGV_SELPOINT {
  double X = 0, Y = 0;
};

// The box a group starts from, so that merging a child's box with min/max yields the child's.
constexpr double InvertedBoxBound = 999999.0;

// Measures text as a viewer's canvas draws it: the advance width and the cell height in pixels.
class TGV_TextMeasurer {
public:
  virtual ~TGV_TextMeasurer() = default;
  virtual QSize TextExtent(const Font& font, const QString& text) = 0;
};

// Measures on a canvas with its own font machinery, so that boxes match what the canvas draws.
class CanvasTextMeasurer : public TGV_TextMeasurer {
public:
  explicit CanvasTextMeasurer(Canvas& canvas) : canvas_(canvas) {}
  QSize TextExtent(const Font& font, const QString& text) override;

private:
  Canvas& canvas_;
};

// What drawing reads of a dimension or text font at a given transform: the point size
// rnd(TextSize * Scale), divided when printing by the printer / font pixels-per-inch ratio.
int ScaledFontSize(int textSize, const Font& font, const GvTransform& transform);

// Base of every drawable object of a drawing. Drawing is not a member: the painter dispatches on
// Tag() and reads the public fields, so the model knows nothing of canvases beyond measuring text.
// Coordinates that are NaN or infinite load but make IsFinite() false: such an entity is left out
// of extents and window tests, and is never drawn.
class TGV_ENTITY {
public:
  // Applies the document's layer with Id `layer` when there is one.
  explicit TGV_ENTITY(TGV_DOCUMENT* document = nullptr, std::uint8_t layer = 0);
  virtual ~TGV_ENTITY() = default;
  TGV_ENTITY(const TGV_ENTITY&) = delete;
  TGV_ENTITY& operator=(const TGV_ENTITY&) = delete;

  virtual TGV_Tag Tag() const = 0;
  // Rebuilds the grips and the extent box from the geometry.
  virtual void CalcExtents() = 0;
  // True when the screen point (pixels) lies within 5 pixels of the entity.
  virtual bool HitTest(int x, int y, const GvTransform& transform) const;
  // True when the whole extent box lies inside the window, bounds inclusive.
  virtual bool IsInWindow(double xmin, double ymin, double xmax, double ymax) const;
  // Every coordinate and length of the geometry is a finite number.
  virtual bool IsFinite() const = 0;

  // The editing transforms act on the geometry and the grips, then rebuild the extents.
  void Translate(double dx, double dy);
  // Degrees, counter-clockwise about (cx, cy).
  void Rotate(double angle, double cx, double cy);
  void ScaleBy(double factor, double cx, double cy);
  // About the line through (x1, y1) and (x2, y2).
  void Mirror(double x1, double y1, double x2, double y2);
  void Highlight() { Highlighted = true; }
  void Unhighlight() { Highlighted = false; }
  // Copies the layer's pen and brush when the document has a layer with Id `layer`.
  void ApplyLayer(std::uint8_t layer);
  // Sets the box; non-finite geometry or bounds give the inverted box, which merges as nothing.
  void SetBox(double xmin, double ymin, double xmax, double ymax);
  void SetInvertedBox();

  bool Highlighted = false;
  vorlan::PenStyle PenStyle = vorlan::PenStyle::Solid;
  TColor PenColor = 0;
  std::int32_t PenWidth = 1;
  double PenWidthMM = 0.1;
  vorlan::BrushStyle BrushStyle = vorlan::BrushStyle::DiagCross;
  TColor BrushColor = 0;
  std::uint8_t Layer = 0;
  bool Selectable = true;
  bool Selected = false;
  bool Marked = false;
  bool Picked = false;
  bool GripsShown = true;
  TGV_DOCUMENT* Document = nullptr; // not owned
  std::vector<TGV_SELPOINT> Grips;
  double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
  bool Visible = true;
  bool Printable = true;

  // One editing transform: where each point goes, how lengths scale, how angles turn, and whether
  // it mirrors. Groups pass it on to their children.
  struct PointTransform {
    std::function<void(double& x, double& y)> Map;
    double LengthFactor = 1;
    double TurnDegrees = 0;
    bool Mirrors = false;
    // What the transform does to a sequence of pieces (sequenced entities).
    std::function<void(T2DOpenedSequence& sequence)> MapSequence;
  };
  virtual void ApplyTransform(const PointTransform& transform);

protected:
  using PointMap = std::function<void(double& x, double& y)>;
  // Moves every point of the geometry (not the grips, which ApplyTransform moves).
  virtual void MapGeometry(const PointMap& map) = 0;
  // Lengths scale with ScaleBy: radii, text and head sizes.
  virtual void ScaleLengths(double) {}
  // Texts turn with Rotate.
  virtual void TurnAngles(double) {}
  // A mirror turns counter-clockwise arcs clockwise: arcs swap their ends.
  virtual void AfterMirror() {}
  // After an editing transform; most classes recompute their extents.
  virtual void GeometryChanged() { CalcExtents(); }
};

class TGV_Point : public TGV_ENTITY {
public:
  TGV_Point(double x = 0, double y = 0, double radius = 0, TGV_DOCUMENT* document = nullptr,
            std::uint8_t layer = 0);
  TGV_Tag Tag() const override { return TGV_Tag::Point; }
  void CalcExtents() override;
  bool HitTest(int x, int y, const GvTransform& transform) const override;
  bool IsFinite() const override;

  double X = 0, Y = 0, Radius = 0;

protected:
  void MapGeometry(const PointMap& map) override { map(X, Y); }
  void ScaleLengths(double factor) override { Radius *= factor; }
};

class TGV_LINE : public TGV_ENTITY {
public:
  TGV_LINE(double x1 = 0, double y1 = 0, double x2 = 0, double y2 = 0, TGV_DOCUMENT* document = nullptr,
           std::uint8_t layer = 0);
  TGV_Tag Tag() const override { return TGV_Tag::Line; }
  // Grips at both ends and at the midpoint; box from the two ends.
  void CalcExtents() override;
  bool HitTest(int x, int y, const GvTransform& transform) const override;
  // Also accepted when the segment crosses a window edge.
  bool IsInWindow(double xmin, double ymin, double xmax, double ymax) const override;
  bool IsFinite() const override;

  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;

protected:
  void MapGeometry(const PointMap& map) override;
};

// An unbounded line through two points; its stored box is kept as loaded.
class TGV_AXE : public TGV_LINE {
public:
  using TGV_LINE::TGV_LINE;
  TGV_Tag Tag() const override { return TGV_Tag::Axe; }
  void CalcExtents() override {}

protected:
  void GeometryChanged() override { TGV_LINE::CalcExtents(); }
};

class TGV_ARROW : public TGV_LINE {
public:
  using TGV_LINE::TGV_LINE;
  TGV_Tag Tag() const override { return TGV_Tag::Arrow; }
  bool IsFinite() const override;

  std::int32_t StartHead = 0, EndHead = 0; // head styles 0..5
  double HeadSize = 0;

protected:
  void ScaleLengths(double factor) override { HeadSize *= factor; }
};

// Its grips and box are set when it is created or edited; CalcExtents keeps the stored ones.
class TGV_CERCLE : public TGV_ENTITY {
public:
  TGV_CERCLE(double cx = 0, double cy = 0, double radius = 0, TGV_DOCUMENT* document = nullptr,
             std::uint8_t layer = 0);
  TGV_Tag Tag() const override { return TGV_Tag::Cercle; }
  void CalcExtents() override {}
  // Centre, then the quadrant points up, right, down, left; box CX +- Radius, CY +- Radius.
  void SetGripsAndBox();
  bool HitTest(int x, int y, const GvTransform& transform) const override;
  bool IsFinite() const override;

  double CX = 0, CY = 0, Radius = 0;

protected:
  void MapGeometry(const PointMap& map) override { map(CX, CY); }
  void ScaleLengths(double factor) override { Radius *= factor; }
  void GeometryChanged() override { SetGripsAndBox(); }
};

// Counter-clockwise from (X1, Y1) to (X2, Y2) on the circle around (CX, CY).
class TGV_ARC : public TGV_ENTITY {
public:
  TGV_ARC(double cx = 0, double cy = 0, double radius = 0, double x1 = 0, double y1 = 0, double x2 = 0,
          double y2 = 0, TGV_DOCUMENT* document = nullptr, std::uint8_t layer = 0);
  TGV_Tag Tag() const override { return TGV_Tag::Arc; }
  // Grips at the centre, the start and the end; the box holds both ends and every quadrant point
  // the arc passes.
  void CalcExtents() override;
  bool HitTest(int x, int y, const GvTransform& transform) const override;
  bool IsFinite() const override;

  double CX = 0, CY = 0, Radius = 0, X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;

protected:
  void MapGeometry(const PointMap& map) override;
  void ScaleLengths(double factor) override { Radius *= factor; }
  void AfterMirror() override;
};

// A linear dimension.
class TGV_COTE : public TGV_ENTITY {
public:
  TGV_COTE(double x1 = 0, double y1 = 0, double x2 = 0, double y2 = 0, TGV_DOCUMENT* document = nullptr,
           std::uint8_t layer = 0);
  TGV_Tag Tag() const override { return TGV_Tag::Cote; }
  // Grips at both ends, box from the two ends.
  void CalcExtents() override;
  bool HitTest(int x, int y, const GvTransform& transform) const override;
  bool IsFinite() const override;
  double SegmentLength() const;
  // The length with up to 5 significant digits, "." whatever the locale.
  QString LengthText() const;

  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  QString Text;
  vorlan::Font Font;
  std::int32_t TextSize = 0; // drawing units
  bool FixedText = false;

protected:
  void MapGeometry(const PointMap& map) override;
  void ScaleLengths(double factor) override;
};

// An angular dimension: an arc counter-clockwise from (X1, Y1) to (X2, Y2) around (CX, CY).
class TGV_COTEA : public TGV_ENTITY {
public:
  TGV_COTEA(TGV_DOCUMENT* document = nullptr, std::uint8_t layer = 0);
  TGV_Tag Tag() const override { return TGV_Tag::CoteA; }
  // Grips at the centre, the start and the end; box of the arc as for TGV_ARC.
  void CalcExtents() override;
  bool HitTest(int x, int y, const GvTransform& transform) const override;
  bool IsFinite() const override;

  double CX = 0, CY = 0, X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, Radius = 0;
  QString Text;
  vorlan::Font Font;
  std::int32_t TextSize = 0;
  bool FixedText = false;

protected:
  void MapGeometry(const PointMap& map) override;
  void ScaleLengths(double factor) override;
  void AfterMirror() override;
};

// A text centred on (X, Y), turned by Angle (radians).
class TGV_TEXTE : public TGV_ENTITY {
public:
  TGV_TEXTE(double x = 0, double y = 0, const QString& text = {}, std::int32_t textSize = 0,
            TGV_DOCUMENT* document = nullptr, std::uint8_t layer = 0);
  TGV_Tag Tag() const override { return TGV_Tag::Texte; }
  // One grip at (X, Y); the box is the point, or the turned text box when the document has a
  // viewer to measure on.
  void CalcExtents() override;
  // The box of the four corners of the turned text box as the measurer draws it at `transform`;
  // drawing calls it after writing the text. A size that rounds to 1 point or less keeps the box.
  void MeasureBox(const GvTransform& transform, TGV_TextMeasurer& measurer);
  // The text's width and height in drawing units at `transform` (tw, th of drawing).
  QSize TextSizeInUnits(const GvTransform& transform, TGV_TextMeasurer& measurer) const;
  bool HitTest(int x, int y, const GvTransform& transform) const override;
  bool IsFinite() const override;

  double X = 0, Y = 0;
  QString Text;
  vorlan::Font Font;
  std::int32_t TextSize = 0;
  double Angle = 0;

protected:
  void MapGeometry(const PointMap& map) override { map(X, Y); }
  void ScaleLengths(double factor) override;
  void TurnAngles(double degrees) override;
};

class TGV_POLYGONE : public TGV_ENTITY {
public:
  explicit TGV_POLYGONE(TGV_DOCUMENT* document = nullptr, std::uint8_t layer = 0);
  TGV_Tag Tag() const override { return TGV_Tag::Polygone; }
  // Box of the vertices; each vertex is also a grip.
  void CalcExtents() override;
  // Appends a vertex and its grip and widens the box at once.
  void AddVertex(double x, double y);
  // Inside the polygon, or within 5 pixels of its outline.
  bool HitTest(int x, int y, const GvTransform& transform) const override;
  bool IsFinite() const override;

  std::vector<TGV_SELPOINT> Vertices;

protected:
  void MapGeometry(const PointMap& map) override;
};

class TGV_SEQUENCED_POLYGONE : public TGV_POLYGONE {
public:
  using TGV_POLYGONE::TGV_POLYGONE;
  TGV_Tag Tag() const override { return TGV_Tag::SequencedPolygone; }
  // When the sequence chains, its points become the vertices; then the polygon's extents.
  void CalcExtents() override;
  void ApplyTransform(const PointTransform& transform) override;

  T2DClosedSequence Sequence;
};

// A picture stretched over X, Y (lower-left corner), Width, Height; it keeps its stored box.
class TGV_BITMAP : public TGV_ENTITY {
public:
  explicit TGV_BITMAP(TGV_DOCUMENT* document = nullptr, std::uint8_t layer = 0);
  TGV_Tag Tag() const override { return TGV_Tag::Bitmap; }
  void CalcExtents() override {}
  void SetGripsAndBox();
  bool IsFinite() const override;

  QImage Bitmap;
  double X = 0, Y = 0, Width = 0, Height = 0;

protected:
  void MapGeometry(const PointMap& map) override { map(X, Y); }
  void ScaleLengths(double factor) override;
  void GeometryChanged() override { SetGripsAndBox(); }
};

// Owns its children, drawn in list order.
class TGV_GROUPE : public TGV_ENTITY {
public:
  explicit TGV_GROUPE(TGV_DOCUMENT* document = nullptr, std::uint8_t layer = 0);
  ~TGV_GROUPE() override;
  TGV_Tag Tag() const override { return TGV_Tag::Groupe; }
  // Inverted box, then every child's extents (a text keeps its last box) merged with min/max.
  void CalcExtents() override;
  // Appends and widens the box at once.
  TGV_ENTITY& Add(std::unique_ptr<TGV_ENTITY> child);
  // Any child hit, in list order.
  bool HitTest(int x, int y, const GvTransform& transform) const override;
  // Any child accepted.
  bool IsInWindow(double xmin, double ymin, double xmax, double ymax) const override;
  // A group has no coordinates of its own; its non-finite children leave themselves out.
  bool IsFinite() const override { return true; }
  // Widens the box with a child's box; a non-finite child adds nothing.
  void MergeBox(const TGV_ENTITY& child);

  void ApplyTransform(const PointTransform& transform) override;

  std::vector<std::unique_ptr<TGV_ENTITY>> Children;

protected:
  void MapGeometry(const PointMap&) override {}
};

class TGV_POLYLINE : public TGV_GROUPE {
public:
  using TGV_GROUPE::TGV_GROUPE;
  TGV_Tag Tag() const override { return TGV_Tag::Polyline; }
};

class TGV_RECTANGLE : public TGV_GROUPE {
public:
  using TGV_GROUPE::TGV_GROUPE;
  TGV_Tag Tag() const override { return TGV_Tag::Rectangle; }
};

class TGV_POLYGONE_REGULIER : public TGV_GROUPE {
public:
  using TGV_GROUPE::TGV_GROUPE;
  TGV_Tag Tag() const override { return TGV_Tag::PolygoneRegulier; }
};

// A series of dimensions.
class TGV_COTESERIE : public TGV_GROUPE {
public:
  using TGV_GROUPE::TGV_GROUPE;
  TGV_Tag Tag() const override { return TGV_Tag::CoteSerie; }
};

class TGV_SEQUENCED_POLYLINE : public TGV_POLYLINE {
public:
  using TGV_POLYLINE::TGV_POLYLINE;
  TGV_Tag Tag() const override { return TGV_Tag::SequencedPolyline; }
  // When the sequence chains, the children become one line per pair of its consecutive points,
  // with the polyline's pen, brush and layer; then the group's extents.
  void CalcExtents() override;
  void ApplyTransform(const PointTransform& transform) override;

  T2DOpenedSequence Sequence;
};

// Report cells: read and kept; their fields beyond the text and font have no known meaning.
class TGV_RptGraphicObject : public TGV_GROUPE {
public:
  using TGV_GROUPE::TGV_GROUPE;

  QString Value;
  std::uint8_t Flag = 0;
};

class TGV_RptMemoCel : public TGV_RptGraphicObject {
public:
  using TGV_RptGraphicObject::TGV_RptGraphicObject;
  TGV_Tag Tag() const override { return TGV_Tag::RptMemoCel; }

  double Cell[5] = {};
  std::int32_t Number1 = 0;
  QString Text;
  vorlan::Font Font;
  std::uint8_t Alignment = 0; // 0..3
  std::int32_t Number2 = 0;
  std::uint8_t Flag2 = 0;
};

// A new entity of the class named by `tag`, with the class's defaults.
std::unique_ptr<TGV_ENTITY> CreateEntity(TGV_Tag tag, TGV_DOCUMENT* document);

} // namespace vorlan
