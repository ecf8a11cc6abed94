#pragma once

#include "graphic_viewer/GvEntities.h"
#include "graphic_viewer/GvTransform.h"
#include "platform/Canvas.h"

namespace vorlan {

// Colours the drawing rules name.
constexpr TColor SelectedColor = RGB(255, 0, 255); // magenta
constexpr TColor MarkedColor = RGB(0, 255, 0);     // green
constexpr TColor HighlightColor = RGB(0, 0, 255);  // blue
constexpr TColor PickedColor = RGB(0, 0, 128);     // navy

// Draws entities on a canvas through a transform, one class rule each; the one path from the
// model to pixels for the screen, the off-screen renders and the printer.
//
// Drawing changes the model where the rules say so: a group hands its selection state and pen width
// down to its children, a dimension's pen becomes solid and its text follows its length, and a text
// keeps the box it was last drawn with.
class GvPainter {
public:
  GvPainter(Canvas& canvas, const GvTransform& transform);

  // Model space: each entity at its own pen width.
  void Draw(TGV_ENTITY& entity);
  // Paper mode: a group draws its children on paper; any other entity is drawn with its pen width
  // in millimetres made pixels of a page `pageWidth` pixels wide.
  void DrawOnPaper(TGV_ENTITY& entity, int pageWidth);

  // The X and Y arms at the lower left of a width x height surface.
  static void DrawAxisIcon(Canvas& canvas, int width, int height);

private:
  void DrawGroup(TGV_GROUPE& group);
  void DrawLeaf(TGV_ENTITY& entity);
  bool MayShow(const TGV_ENTITY& entity) const;

  void SetPen(const TGV_ENTITY& entity, TColor color);
  void SetOutlinePen(TGV_ENTITY& entity, TColor color);
  void DrawPoint(TGV_Point& point);
  void DrawLine(TGV_LINE& line);
  void DrawAxe(TGV_AXE& axe);
  void DrawArrow(TGV_ARROW& arrow);
  void DrawArrowHead(const TGV_ARROW& arrow, int style, bool atEnd);
  void DrawCircle(TGV_CERCLE& circle);
  void DrawArc(TGV_ARC& arc);
  void DrawPolygon(TGV_POLYGONE& polygon);
  void DrawBitmap(TGV_BITMAP& bitmap);
  void DrawDimension(TGV_COTE& dimension);
  void DrawAngularDimension(TGV_COTEA& dimension);
  void SetDimensionPenAndDot(TGV_ENTITY& entity, TColor color);
  void DrawDot(double x, double y, int radius);
  QSize TextSizeInUnits(const QString& text);
  void SetTextFont(const Font& font, bool selected, int textSize);
  void DrawText(TGV_TEXTE& text);
  void DrawReportCell(TGV_RptMemoCel& cell);
  void DrawGrips(const TGV_ENTITY& entity);

  QPoint Screen(double x, double y) const { return transform_.WorldToScreen(x, y); }

  Canvas& canvas_;
  // A copy: callers pass temporaries, and the transform is a small value.
  const GvTransform transform_;
  // The world under the surface, widened by a few pixels so that wide pens and dots at its
  // edges are not cut away.
  GvWorldRect view_;
  CanvasTextMeasurer measurer_;
};

} // namespace vorlan
