// Writes the benchmark drawing twice: as .x2d, and as the same entities in a DXF in millimetres,
// so that printing it can be compared with other programs: make_x2d_bench <folder> [count].

#include "graphic_viewer/KX_GRAPHIC_VIEWER.h"
#include "platform/FileBytes.h"
#include "tools/x2d/X2dWriter.h"

#include <QGuiApplication>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>
#include <string>

namespace {

using namespace vorlan;

double Degrees(double radians) {
  return radians * 180 / std::numbers::pi;
}

class DxfText {
public:
  DxfText() { out_.precision(12); }
  void Pair(int code, const std::string& value) { out_ << code << "\n" << value << "\n"; }
  void Pair(int code, double value) { out_ << code << "\n" << value << "\n"; }
  void Point(double x, double y, int base = 10) {
    Pair(base, x);
    Pair(base + 10, y);
    Pair(base + 20, 0.0);
  }
  void Line(double x1, double y1, double x2, double y2) {
    Pair(0, "LINE");
    Pair(8, "0");
    Point(x1, y1);
    Point(x2, y2, 11);
  }
  void Text(double x, double y, double height, double angle, const QString& text) {
    Pair(0, "TEXT");
    Pair(8, "0");
    Point(x, y);
    Pair(40, height);
    Pair(1, text.toStdString());
    Pair(50, angle);
    Pair(72, 1.0);
    Pair(73, 2.0);
    Point(x, y, 11);
  }
  std::string str() const { return out_.str(); }

private:
  std::ostringstream out_;
};

// Each entity as the DXF entities that draw it; groups by their children.
void WriteEntity(DxfText& dxf, const TGV_ENTITY& entity) {
  switch (entity.Tag()) {
  case TGV_Tag::Line:
  case TGV_Tag::Axe:
  case TGV_Tag::Arrow: {
    const auto& line = static_cast<const TGV_LINE&>(entity);
    return dxf.Line(line.X1, line.Y1, line.X2, line.Y2);
  }
  case TGV_Tag::Cercle: {
    const auto& circle = static_cast<const TGV_CERCLE&>(entity);
    dxf.Pair(0, "CIRCLE");
    dxf.Pair(8, "0");
    dxf.Point(circle.CX, circle.CY);
    return dxf.Pair(40, circle.Radius);
  }
  case TGV_Tag::Arc: {
    const auto& arc = static_cast<const TGV_ARC&>(entity);
    dxf.Pair(0, "ARC");
    dxf.Pair(8, "0");
    dxf.Point(arc.CX, arc.CY);
    dxf.Pair(40, arc.Radius);
    dxf.Pair(50, Degrees(std::atan2(arc.Y1 - arc.CY, arc.X1 - arc.CX)));
    return dxf.Pair(51, Degrees(std::atan2(arc.Y2 - arc.CY, arc.X2 - arc.CX)));
  }
  case TGV_Tag::Polygone:
  case TGV_Tag::SequencedPolygone: {
    const auto& vertices = static_cast<const TGV_POLYGONE&>(entity).Vertices;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
      const TGV_SELPOINT& a = vertices[i];
      const TGV_SELPOINT& b = vertices[(i + 1) % vertices.size()];
      dxf.Line(a.X, a.Y, b.X, b.Y);
    }
    return;
  }
  case TGV_Tag::Texte: {
    const auto& text = static_cast<const TGV_TEXTE&>(entity);
    return dxf.Text(text.X, text.Y, text.TextSize, Degrees(text.Angle), text.Text);
  }
  case TGV_Tag::Cote: {
    const auto& dimension = static_cast<const TGV_COTE&>(entity);
    dxf.Line(dimension.X1, dimension.Y1, dimension.X2, dimension.Y2);
    return dxf.Text((dimension.X1 + dimension.X2) / 2, (dimension.Y1 + dimension.Y2) / 2, dimension.TextSize,
                    0, dimension.Text);
  }
  default:
    if (IsGroupTag(entity.Tag()))
      for (const auto& child : static_cast<const TGV_GROUPE&>(entity).Children)
        WriteEntity(dxf, *child);
  }
}

std::string Dxf(const TGV_DOCUMENT& document) {
  DxfText dxf;
  dxf.Pair(0, "SECTION");
  dxf.Pair(2, "HEADER");
  dxf.Pair(9, "$ACADVER");
  dxf.Pair(1, "AC1015");
  // Millimetres: without them the page would be laid out for inches.
  dxf.Pair(9, "$INSUNITS");
  dxf.Pair(70, 4.0);
  dxf.Pair(9, "$MEASUREMENT");
  dxf.Pair(70, 1.0);
  dxf.Pair(0, "ENDSEC");
  dxf.Pair(0, "SECTION");
  dxf.Pair(2, "ENTITIES");
  for (const auto& entity : document.Entities())
    WriteEntity(dxf, *entity);
  dxf.Pair(0, "ENDSEC");
  dxf.Pair(0, "EOF");
  return dxf.str();
}

} // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: make_x2d_bench <folder> [entity count]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const int count = argc == 3 ? std::atoi(argv[2]) : 100000;
  const std::vector<std::uint8_t> bytes = x2d::MixedDrawing(count, 8);
  writeFileBytes(folder + "/mixed.x2d", bytes);
  TGV_DOCUMENT document;
  LoadX2d(bytes, "mixed.x2d", document);
  const std::string dxf = Dxf(document);
  writeFileBytes(folder + "/mixed.dxf",
                 std::span(reinterpret_cast<const std::uint8_t*>(dxf.data()), dxf.size()));
  return 0;
}
