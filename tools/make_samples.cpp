// Writes the sample documents that the viewer opens from the build folder, each drawn by this
// program with the document writers: make_samples <output folder>.
//   scene.cam    a 3D scene: flat, by-angle and smooth meshes, a face with a hole, a picture-textured
//                cube (its picture checker.bmp beside it) and a super-object with three mappings
//   model.x3d    a small house: brick walls and a tiled roof
//   floor.x2d    a floor plan: walls, doors, dimensions, notes and furniture on named layers
//   pair.cam     a bitmap pair: one landscape by day and by dusk
// Everything sits within about 500 units of the origin, which the 3D window's camera orbits.

#include "cam/CamFileWriter.h"
#include "platform/BinaryWriter.h"
#include "platform/Dib.h"
#include "platform/FileBytes.h"
#include "platform/ReadError.h"
#include "scene3d/KX_MAPPING.h"
#include "scene3d/KX_OBJECTS.h"
#include "scene3d/KX_SUPEROBJECT.h"
#include "tools/x2d/X2dWriter.h"

#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

using namespace vorlan;

namespace {

using Ring = std::vector<Vector3D>;

constexpr double Pi = std::numbers::pi;

// ---- Mesh building. Rings run counter-clockwise seen from the side their face looks to.

TFace& AddPolygon(TEntity& entity, const Ring& corners, TColorRGBA color) {
  TFace& face = TFace::Create(entity);
  for (const Vector3D& p : corners)
    face.AddPoint(nullptr, p.x, p.y, p.z, 1.0);
  face.Color = color;
  return face;
}

// One contour per ring: the first is the outline, the others are holes.
TFace& AddHoledPolygon(TEntity& entity, const std::vector<Ring>& rings, TColorRGBA color) {
  TFace& face = TFace::Create(entity);
  for (std::size_t i = 0; i < rings.size(); ++i) {
    TContours& contour = face.AddContour();
    contour.Outer = i == 0;
    for (const Vector3D& p : rings[i])
      face.AddPoint(&contour, p.x, p.y, p.z, 1.0);
  }
  face.Color = color;
  return face;
}

Ring Shifted(const Ring& ring, const Vector3D& by) {
  Ring out;
  for (const Vector3D& p : ring)
    out.push_back(p + by);
  return out;
}

Ring Reversed(const Ring& ring) {
  return {ring.rbegin(), ring.rend()};
}

// A w x h rectangle in the plane z, centred on (cx, cy).
Ring Rectangle(double cx, double cy, double w, double h, double z = 0) {
  return {{cx - w / 2, cy - h / 2, z},
          {cx + w / 2, cy - h / 2, z},
          {cx + w / 2, cy + h / 2, z},
          {cx - w / 2, cy + h / 2, z}};
}

Ring RegularPolygon(int sides, double radius) {
  Ring ring;
  for (int i = 0; i < sides; ++i) {
    const double a = 2 * Pi * i / sides;
    ring.push_back({radius * std::cos(a), radius * std::sin(a), 0});
  }
  return ring;
}

// The walls swept by the ring along `along`; an outline that runs clockwise gives walls facing inward,
// as a hole needs.
void AddSides(TEntity& entity, const Ring& ring, const Vector3D& along, TColorRGBA color) {
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const Vector3D& a = ring[i];
    const Vector3D& b = ring[(i + 1) % ring.size()];
    AddPolygon(entity, {a, b, b + along, a + along}, color);
  }
}

// Bottom and top of a slab whose section is the outline rings[0] with the holes after it.
void AddCaps(TEntity& entity, const std::vector<Ring>& rings, const Vector3D& along, TColorRGBA color) {
  std::vector<Ring> bottom;
  std::vector<Ring> top;
  for (const Ring& ring : rings) {
    bottom.push_back(Reversed(ring));
    top.push_back(Shifted(ring, along));
  }
  if (rings.size() == 1) {
    AddPolygon(entity, bottom[0], color);
    AddPolygon(entity, top[0], color);
    return;
  }
  AddHoledPolygon(entity, bottom, color);
  AddHoledPolygon(entity, top, color);
}

void AddSlab(TEntity& entity, const std::vector<Ring>& rings, const Vector3D& along, TColorRGBA color) {
  AddCaps(entity, rings, along, color);
  for (const Ring& ring : rings)
    AddSides(entity, ring, along, color);
}

std::unique_ptr<TEntity> NewEntity(const std::string& name, TShading shading, const Vector3D& position) {
  auto entity = std::make_unique<TEntity>();
  entity->Name = name;
  entity->Shading = shading;
  entity->Position = position;
  return entity;
}

// ---- The entities of scene.cam

// Each side its own colour, so that flat shading shows every face as one tone.
std::unique_ptr<TEntity> FlatBox() {
  auto box = NewEntity("box", TShading::Flat, {-320, -220, 0});
  AddSlab(*box, {Rectangle(0, 0, 180, 180)}, {0, 0, 180}, {230, 120, 60, 255});
  // Faces 0 and 1 are the caps; the four sides follow.
  const TColorRGBA sides[] = {
      {200, 70, 50, 255}, {240, 170, 60, 255}, {180, 60, 90, 255}, {250, 200, 90, 255}};
  for (std::size_t i = 0; i < 4; ++i)
    box->Faces[2 + i]->Color = sides[i];
  return box;
}

// Corners shared with a cap lean too far from the wall for by-angle shading to smooth them, so the
// column's caps are a flat entity of their own and the column keeps only its rounded wall.
constexpr int ColumnSides = 24;
constexpr double ColumnRadius = 80;
constexpr double ColumnHeight = 260;
const Vector3D ColumnPlace{0, -260, 0};

std::unique_ptr<TEntity> Column() {
  auto column = NewEntity("column", TShading::ByAngle, ColumnPlace);
  AddSides(*column, RegularPolygon(ColumnSides, ColumnRadius), {0, 0, ColumnHeight}, {90, 170, 210, 255});
  return column;
}

std::unique_ptr<TEntity> ColumnCaps() {
  auto caps = NewEntity("column caps", TShading::Flat, ColumnPlace);
  AddCaps(*caps, {RegularPolygon(ColumnSides, ColumnRadius)}, {0, 0, ColumnHeight}, {60, 120, 170, 255});
  return caps;
}

Vector3D OnSphere(double radius, double polar, double azimuth) {
  return {radius * std::sin(polar) * std::cos(azimuth), radius * std::sin(polar) * std::sin(azimuth),
          radius * std::cos(polar)};
}

// Bands from pole to pole; the bands at the poles are triangles.
std::unique_ptr<TEntity> SmoothBall() {
  constexpr int Bands = 10;
  constexpr int Segments = 18;
  constexpr double Radius = 110;
  auto ball = NewEntity("ball", TShading::Smooth, {320, -200, Radius});
  const TColorRGBA green{110, 200, 120, 255};
  for (int i = 0; i < Bands; ++i)
    for (int j = 0; j < Segments; ++j) {
      const double p0 = Pi * i / Bands, p1 = Pi * (i + 1) / Bands;
      const double a0 = 2 * Pi * j / Segments, a1 = 2 * Pi * (j + 1) / Segments;
      Ring corners{OnSphere(Radius, p0, a0), OnSphere(Radius, p1, a0), OnSphere(Radius, p1, a1),
                   OnSphere(Radius, p0, a1)};
      if (i == 0) corners.pop_back();
      if (i == Bands - 1) corners.erase(corners.begin() + 2);
      AddPolygon(*ball, corners, green);
    }
  return ball;
}

// A square frame stood upright: its faces have a square hole through them.
std::unique_ptr<TEntity> Frame() {
  auto frame = NewEntity("frame", TShading::Flat, {-300, 220, 130});
  frame->Rotation = {90, 0, 0};
  AddSlab(*frame, {Rectangle(0, 0, 240, 240), Reversed(Rectangle(0, 0, 110, 110))}, {0, 0, 24},
          {170, 150, 220, 255});
  return frame;
}

constexpr const char* CheckerName = "checker.bmp";

// Eight squares across, in the orange and cream of the flat box.
QImage CheckerPicture() {
  QImage picture(128, 128, QImage::Format_RGB888);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      picture.setPixelColor(x, y, (x / 16 + y / 16) % 2 ? QColor(240, 140, 40) : QColor(250, 240, 220));
  return picture;
}

// The picture file must exist before the cube is saved: a texture whose file is gone is stored as
// missing. The name is stored relative, so the scene finds it wherever the folder is copied.
std::unique_ptr<TEntity> CheckerCube(const QString& folder) {
  const QImage picture = CheckerPicture();
  const std::string path = QDir(folder).filePath(CheckerName).toStdString();
  writeFileBytes(path, encodeBmp(picture));
  auto cube = NewEntity("checker cube", TShading::Flat, {300, 180, 0});
  AddSlab(*cube, {Rectangle(0, 0, 200, 200)}, {0, 0, 200}, {255, 255, 255, 255});
  cube->LoadTexture(picture, kEntityTextureSize, kEntityTextureSize);
  cube->Texture->FileName = CheckerName;
  cube->Texture->Path = path;
  return cube;
}

// ---- Mappings

std::unique_ptr<TMapping> NewMapping(std::uint8_t kind, TColor color1, TColor color2, std::int32_t tileSize,
                                     std::int32_t stripePercent = 0) {
  auto mapping = std::make_unique<TMapping>(tileSize, tileSize);
  const TColor white = RGB(255, 255, 255);
  mapping->Build(kind, 12, {stripePercent, 0, 0, 0, 0}, {color1, color2, white, white, white}, tileSize,
                 tileSize);
  return mapping;
}

constexpr std::uint8_t TilesKind = 2;
constexpr std::uint8_t BricksKind = 3;
constexpr std::uint8_t StripesKind = 4;

std::unique_ptr<TMapping> FloorTiles() {
  return NewMapping(TilesKind, RGB(90, 90, 100), RGB(225, 220, 205), 200);
}
std::unique_ptr<TMapping> Bricks() {
  return NewMapping(BricksKind, RGB(215, 210, 200), RGB(170, 70, 50), 160);
}
std::unique_ptr<TMapping> Awning() {
  return NewMapping(StripesKind, RGB(200, 40, 50), RGB(250, 250, 245), 120, 50);
}
std::unique_ptr<TMapping> RoofTiles() {
  return NewMapping(TilesKind, RGB(80, 40, 30), RGB(190, 90, 60), 120);
}

std::unique_ptr<TEntity> MappedSlab(const std::string& name, const Ring& base, const Vector3D& along,
                                    TMapping& mapping) {
  auto slab = NewEntity(name, TShading::Flat, {});
  AddSlab(*slab, {base}, along, {255, 255, 255, 255});
  slab->Mapping = &mapping;
  return slab;
}

// A tiled floor under the whole scene, a brick wall behind it and a striped bench, sharing three mappings.
std::unique_ptr<TSuperObject> Courtyard() {
  auto yard = std::make_unique<TSuperObject>();
  yard->Name = "courtyard";
  yard->Mappings.push_back(FloorTiles());
  yard->Mappings.push_back(Bricks());
  yard->Mappings.push_back(Awning());
  const auto& m = yard->Mappings;
  yard->Entities.push_back(MappedSlab("floor", Rectangle(0, 0, 1000, 1000, -20), {0, 0, 20}, *m[0]));
  yard->Entities.push_back(MappedSlab("wall", Rectangle(0, 440, 900, 40), {0, 0, 240}, *m[1]));
  yard->Entities.push_back(MappedSlab("bench", Rectangle(0, 330, 300, 80), {0, 0, 60}, *m[2]));
  return yard;
}

// ---- model.x3d: a house with a gable roof

constexpr double HouseHalfLength = 260;
constexpr double HouseHalfWidth = 160;
constexpr double EavesHeight = 220;
constexpr double RidgeHeight = 380;

// Long walls as rectangles, gable walls as pentagons reaching the ridge.
std::unique_ptr<TEntity> HouseWalls(TMapping& bricks) {
  auto walls = NewEntity("walls", TShading::Flat, {});
  const double x = HouseHalfLength, y = HouseHalfWidth, e = EavesHeight, r = RidgeHeight;
  const TColorRGBA white{255, 255, 255, 255};
  AddPolygon(*walls, {{-x, -y, 0}, {x, -y, 0}, {x, -y, e}, {-x, -y, e}}, white);
  AddPolygon(*walls, {{x, y, 0}, {-x, y, 0}, {-x, y, e}, {x, y, e}}, white);
  AddPolygon(*walls, {{x, -y, 0}, {x, y, 0}, {x, y, e}, {x, 0, r}, {x, -y, e}}, white);
  AddPolygon(*walls, {{-x, y, 0}, {-x, -y, 0}, {-x, -y, e}, {-x, 0, r}, {-x, y, e}}, white);
  walls->Mapping = &bricks;
  return walls;
}

// Two thin slabs meeting at the ridge and reaching past the walls.
std::unique_ptr<TEntity> HouseRoof(TMapping& tiles) {
  auto roof = NewEntity("roof", TShading::Flat, {});
  constexpr double Overhang = 30;
  constexpr double Thickness = 12;
  const double x = HouseHalfLength + Overhang, y = HouseHalfWidth + Overhang;
  const double drop = (RidgeHeight - EavesHeight) * Overhang / HouseHalfWidth;
  const double low = EavesHeight - drop;
  const TColorRGBA white{255, 255, 255, 255};
  for (const double side : {-1.0, 1.0}) {
    // The slope's section in the plane x = -x, counter-clockwise seen from +x.
    Ring section{{-x, side * y, low},
                 {-x, 0, RidgeHeight},
                 {-x, 0, RidgeHeight + Thickness},
                 {-x, side * y, low + Thickness}};
    if (side > 0) section = Reversed(section);
    AddSlab(*roof, {section}, {2 * x, 0, 0}, white);
  }
  roof->Mapping = &tiles;
  return roof;
}

std::unique_ptr<TEntity> Chimney() {
  auto chimney = NewEntity("chimney", TShading::Flat, {});
  AddSlab(*chimney, {Rectangle(140, 70, 50, 50, 250)}, {0, 0, 200}, {150, 80, 60, 255});
  return chimney;
}

std::unique_ptr<TSuperObject> House() {
  auto house = std::make_unique<TSuperObject>();
  house->Name = "house";
  house->Position = {0, 0, -190};
  house->Mappings.push_back(Bricks());
  house->Mappings.push_back(RoofTiles());
  house->Entities.push_back(HouseWalls(*house->Mappings[0]));
  house->Entities.push_back(HouseRoof(*house->Mappings[1]));
  house->Entities.push_back(Chimney());
  return house;
}

// ---- pair.cam: one landscape in two colourings

struct Colouring {
  QColor skyTop, skyBottom, sun, farHill, nearHill, wall, roof;
};

QImage Landscape(const Colouring& c) {
  QImage picture(320, 240, QImage::Format_RGB888);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 160);
  sky.setColorAt(0, c.skyTop);
  sky.setColorAt(1, c.skyBottom);
  p.fillRect(picture.rect(), sky);
  p.setPen(Qt::NoPen);
  p.setBrush(c.sun);
  p.drawEllipse(QPointF(240, 60), 28, 28);
  p.setBrush(c.farHill);
  p.drawEllipse(QRectF(-80, 120, 300, 200));
  p.drawEllipse(QRectF(150, 130, 280, 180));
  p.setBrush(c.nearHill);
  p.drawRect(0, 190, 320, 50);
  p.drawEllipse(QRectF(-40, 170, 420, 80));
  p.setBrush(c.wall);
  p.drawRect(120, 150, 70, 50);
  p.setBrush(c.roof);
  p.drawPolygon(QPolygonF({QPointF(110, 152), QPointF(155, 120), QPointF(200, 152)}));
  return picture;
}

std::vector<std::uint8_t> PairBytes() {
  const QImage day =
      Landscape({QColor(60, 120, 210), QColor(190, 220, 250), QColor(255, 230, 120), QColor(120, 170, 110),
                 QColor(80, 150, 70), QColor(240, 235, 220), QColor(180, 60, 50)});
  const QImage dusk =
      Landscape({QColor(40, 30, 90), QColor(240, 140, 90), QColor(255, 200, 150), QColor(90, 70, 110),
                 QColor(50, 60, 80), QColor(200, 170, 150), QColor(110, 40, 50)});
  return CamBitmapPairBytes(DibBlockOf(day), DibBlockOf(dusk));
}

// ---- Files

std::vector<std::uint8_t> SceneBytes(const QString& folder) {
  TCamSceneWriter scene;
  scene.AddEntity(*FlatBox());
  scene.AddEntity(*Column());
  scene.AddEntity(*ColumnCaps());
  scene.AddEntity(*SmoothBall());
  scene.AddEntity(*Frame());
  scene.AddEntity(*CheckerCube(folder));
  scene.AddSuperObject(*Courtyard());
  return scene.Bytes();
}

std::vector<std::uint8_t> ModelBytes() {
  BinaryWriter F;
  House()->SaveToFile(F);
  return F.bytes();
}

void WriteSamples(const QString& folder) {
  const auto path = [&](const char* name) { return QDir(folder).filePath(name).toStdString(); };
  writeFileBytes(path("scene.cam"), SceneBytes(folder));
  writeFileBytes(path("model.x3d"), ModelBytes());
  writeFileBytes(path("floor.x2d"), x2d::FloorPlanDrawing());
  writeFileBytes(path("pair.cam"), PairBytes());
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_samples OUTDIR\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "make_samples: cannot create %s\n", argv[1]);
    return 1;
  }
  try {
    WriteSamples(folder);
  } catch (const ReadError& error) {
    std::fprintf(stderr, "make_samples: %s\n", error.what());
    return 1;
  }
  return 0;
}
