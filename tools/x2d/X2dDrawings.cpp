#include "tools/x2d/X2dWriter.h"

#include "platform/Jpeg.h"

#include <QColor>

#include <numbers>

namespace vorlan::x2d {

namespace {

enum FloorLayer : std::uint8_t { Base, Walls, Doors, Dimensions, Notes, Furniture };

TGV_Layer MakeLayer(const QString& name, TColor pen, BrushStyle brush, TColor brushColor) {
  TGV_Layer layer;
  layer.Name = name;
  layer.PenColor = pen;
  layer.BrushStyle = brush;
  layer.BrushColor = brushColor;
  return layer;
}

template <class T> std::unique_ptr<T> OnLayer(std::unique_ptr<T> entity, std::uint8_t position) {
  entity->Layer = position;
  return entity;
}

std::unique_ptr<TGV_LINE> Line(double x1, double y1, double x2, double y2, std::uint8_t position) {
  return OnLayer(std::make_unique<TGV_LINE>(x1, y1, x2, y2), position);
}

// Lines through the points, closed when asked, in a group of class T.
template <class T>
std::unique_ptr<T> Outline(std::initializer_list<std::pair<double, double>> points, bool closed,
                           std::uint8_t position) {
  auto group = OnLayer(std::make_unique<T>(), position);
  const std::vector<std::pair<double, double>> p(points);
  for (std::size_t i = 1; i < p.size(); ++i)
    group->Add(Line(p[i - 1].first, p[i - 1].second, p[i].first, p[i].second, position));
  if (closed) group->Add(Line(p.back().first, p.back().second, p.front().first, p.front().second, position));
  return group;
}

std::unique_ptr<TGV_POLYGONE> HatchedWall(double x1, double y1, double x2, double y2) {
  auto wall = OnLayer(std::make_unique<TGV_POLYGONE>(), Walls);
  for (auto [x, y] : {std::pair{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}})
    wall->AddVertex(x, y);
  wall->BrushStyle = BrushStyle::BDiagonal;
  wall->BrushColor = RGB(96, 96, 96);
  return wall;
}

std::unique_ptr<TGV_COTE> Dimension(double x1, double y1, double x2, double y2) {
  auto dimension = OnLayer(std::make_unique<TGV_COTE>(x1, y1, x2, y2), Dimensions);
  dimension->TextSize = 250;
  dimension->PenColor = RGB(200, 0, 0);
  return dimension;
}

std::unique_ptr<TGV_TEXTE> Note(double x, double y, const QString& text, double degrees) {
  auto note = OnLayer(std::make_unique<TGV_TEXTE>(x, y, text, 300), Notes);
  note->Angle = degrees * std::numbers::pi / 180;
  return note;
}

QImage Swatch(int width, int height) {
  QImage picture(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.setPixelColor(x, y, QColor(x * 255 / width, y * 255 / height, 160));
  return picture;
}

std::vector<std::unique_ptr<TGV_ENTITY>> FloorPlanEntities() {
  std::vector<std::unique_ptr<TGV_ENTITY>> all;
  all.push_back(Outline<TGV_POLYLINE>({{0, 0}, {10000, 0}, {10000, 8000}, {0, 8000}}, true, Walls));
  all.push_back(Outline<TGV_POLYLINE>({{6000, 0}, {6000, 3000}}, false, Walls));
  all.push_back(Outline<TGV_POLYLINE>({{6000, 4000}, {6000, 8000}}, false, Walls));
  all.push_back(HatchedWall(0, 0, 10000, 200));
  all.push_back(HatchedWall(0, 200, 200, 8000));
  // Doors: a leaf and its swing.
  all.push_back(Line(6000, 3000, 7000, 3000, Doors));
  all.push_back(OnLayer(std::make_unique<TGV_ARC>(6000, 3000, 1000, 7000, 3000, 6000, 4000), Doors));
  all.push_back(OnLayer(std::make_unique<TGV_ARC>(2000, 0, 900, 2900, 0, 2000, 900), Doors));
  all.push_back(Dimension(0, -600, 10000, -600));
  auto series = OnLayer(std::make_unique<TGV_COTESERIE>(), Dimensions);
  series->Add(Dimension(0, -300, 6000, -300));
  series->Add(Dimension(6000, -300, 10000, -300));
  all.push_back(std::move(series));
  auto angle = OnLayer(std::make_unique<TGV_COTEA>(), Dimensions);
  angle->CX = 6000, angle->CY = 3000, angle->Radius = 600;
  angle->X1 = 6600, angle->Y1 = 3000, angle->X2 = 6000, angle->Y2 = 3600;
  angle->Text = QString::fromUtf8("90°");
  angle->TextSize = 200;
  angle->CalcExtents();
  all.push_back(std::move(angle));
  all.push_back(Note(3000, 5000, "Living room", 0));
  all.push_back(Note(8000, 5500, "Kitchen", 90));
  all.push_back(Note(3000, 1500, QString::fromUtf8("Entrée – hall"), 30));
  auto arrow = OnLayer(std::make_unique<TGV_ARROW>(8000, 2000, 9500, 1000), Notes);
  arrow->StartHead = 1, arrow->EndHead = 3, arrow->HeadSize = 200;
  all.push_back(std::move(arrow));
  all.push_back(OnLayer(std::make_unique<TGV_AXE>(-500, 4000, 10500, 4000), Base));
  all.push_back(OnLayer(std::make_unique<TGV_CERCLE>(5000, 4000, 150), Walls));
  all.push_back(OnLayer(std::make_unique<TGV_Point>(100, 100, 20), Base));
  auto picture = OnLayer(std::make_unique<TGV_BITMAP>(), Furniture);
  picture->Bitmap = Swatch(32, 24);
  picture->X = 7000, picture->Y = 6500, picture->Width = 2000, picture->Height = 1200;
  picture->SetGripsAndBox();
  all.push_back(std::move(picture));
  all.push_back(
      Outline<TGV_RECTANGLE>({{500, 2500}, {2500, 2500}, {2500, 3500}, {500, 3500}}, true, Furniture));
  all.push_back(Outline<TGV_POLYGONE_REGULIER>(
      {{4000, 6000}, {4400, 6000}, {4600, 6346}, {4400, 6693}, {4000, 6693}, {3800, 6346}}, true, Furniture));
  // A worktop with a rounded corner, and a stadium-shaped table.
  auto worktop = OnLayer(std::make_unique<TGV_SEQUENCED_POLYLINE>(), Furniture);
  worktop->Sequence.Add(std::make_unique<T2DSequenceLine>(6500, 500, 8500, 500));
  worktop->Sequence.Add(std::make_unique<T2DSequenceArc>(8500, 1000, 500, 8500, 500, 9000, 1000));
  worktop->Sequence.Add(std::make_unique<T2DSequenceLine>(9000, 1000, 9000, 2500));
  all.push_back(std::move(worktop));
  auto table = OnLayer(std::make_unique<TGV_SEQUENCED_POLYGONE>(), Furniture);
  T2DOpenedSequence loop;
  loop.Add(std::make_unique<T2DSequenceLine>(2000, 6000, 3000, 6000));
  loop.Add(std::make_unique<T2DSequenceArc>(3000, 6400, 400, 3000, 6000, 3000, 6800));
  loop.Add(std::make_unique<T2DSequenceLine>(3000, 6800, 2000, 6800));
  loop.Add(std::make_unique<T2DSequenceArc>(2000, 6400, 400, 2000, 6800, 2000, 6000));
  table->Sequence.Add(std::move(loop));
  table->BrushStyle = BrushStyle::Cross;
  all.push_back(std::move(table));
  auto title = OnLayer(std::make_unique<TGV_RptMemoCel>(), Notes);
  title->Value = "title";
  title->Text = "Plan 1:50";
  title->Cell[0] = 500, title->Cell[1] = 7000, title->Cell[2] = 3000, title->Cell[3] = 7800;
  title->Alignment = 2;
  all.push_back(std::move(title));
  return all;
}

} // namespace

std::vector<std::uint8_t> FloorPlanDrawing() {
  X2dWriter writer;
  writer.WriteHeader(1.2);
  writer.WritePreview(encodeJpeg(Swatch(16, 12)));
  writer.WriteLayers({TGV_Layer{}, MakeLayer("Walls", 0, BrushStyle::BDiagonal, RGB(96, 96, 96)),
                      MakeLayer("Doors", RGB(0, 0, 200), BrushStyle::Clear, 0),
                      MakeLayer("Dimensions", RGB(200, 0, 0), BrushStyle::Clear, 0),
                      MakeLayer(QString::fromUtf8("Notes – 1:50"), RGB(0, 100, 0), BrushStyle::Clear, 0),
                      MakeLayer("Furniture", RGB(120, 60, 0), BrushStyle::Cross, RGB(200, 160, 100))});
  const auto entities = FloorPlanEntities();
  writer.WriteEntityCount(static_cast<std::int32_t>(entities.size()));
  for (const auto& entity : entities)
    writer.WriteEntity(*entity);
  return std::move(writer.Bytes());
}

std::vector<std::uint8_t> MixedDrawing(int count, int layers) {
  X2dWriter writer;
  writer.WriteHeader(1.2);
  writer.WritePreview(encodeJpeg(Swatch(16, 12)));
  std::vector<TGV_Layer> layerList(static_cast<std::size_t>(layers));
  for (int i = 0; i < layers; ++i)
    layerList[static_cast<std::size_t>(i)].Name = i == 0 ? "-- 0 --" : QString("Layer %1").arg(i);
  writer.WriteLayers(layerList);
  writer.WriteEntityCount(count);
  for (int i = 0; i < count; ++i) {
    const double x = (i % 1000) * 10.0, y = (i / 1000) * 10.0;
    std::unique_ptr<TGV_ENTITY> entity;
    switch (i % 6) {
    case 0:
      entity = std::make_unique<TGV_LINE>(x, y, x + 8, y + 6);
      break;
    case 1:
      entity = std::make_unique<TGV_ARC>(x + 4, y + 4, 4, x + 8, y + 4, x + 4, y + 8);
      break;
    case 2:
      entity = std::make_unique<TGV_CERCLE>(x + 4, y + 4, 3);
      break;
    case 3:
      entity = Outline<TGV_POLYLINE>({{x, y}, {x + 8, y}, {x + 8, y + 8}, {x, y + 8}}, false, 0);
      break;
    case 4:
      entity = std::make_unique<TGV_TEXTE>(x + 4, y + 4, QString("T%1").arg(i), 4);
      break;
    default: {
      auto polygon = std::make_unique<TGV_POLYGONE>();
      for (auto [dx, dy] : {std::pair{0, 0}, {6, 0}, {8, 4}, {6, 8}, {0, 8}, {-2, 4}})
        polygon->AddVertex(x + dx, y + dy);
      entity = std::move(polygon);
    }
    }
    entity->Layer = static_cast<std::uint8_t>(i % layers);
    writer.WriteEntity(*entity);
  }
  return std::move(writer.Bytes());
}

} // namespace vorlan::x2d
