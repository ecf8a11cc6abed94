#include "scene3d/KX_OBJECTS.h"

#include "platform/Dib.h"
#include "platform/FileBytes.h"
#include "platform/Jpeg.h"
#include "platform/ReadError.h"
#include "scene3d/ParallelRanges.h"
#include "scene3d/Resample.h"
#include "scene3d/TextureFiles.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>
#include <numbers>
#include <tuple>

namespace vorlan {

namespace {

// Face record up to the contour count, and the shortest possible whole face record: no contours,
// no corners (the corner count and five reserved words follow).
constexpr std::size_t kFaceHeadSize = 51;
constexpr std::size_t kMinFaceRecordSize = kFaceHeadSize + 4 + 4 + 20;
// ReadFaces reserves nine points for eight faces from a checked face count.
static_assert(sizeof(TPoint3D) * 9 / 8 <= kMinFaceRecordSize);
// A contour record and its corner count.
constexpr std::size_t kMinContourEntrySize = kContourRecordSize + 4;
constexpr std::size_t kEntityHeadSize = 277;
constexpr std::size_t kEntityTailSize = 20;
// Corners whose vertex normal is within this angle of the face normal are shaded smoothly.
constexpr double kSmoothAngleDeg = 15.0;
// How far the second point that spans a face's texture frame lies from the reference corner.
constexpr double kFrameReach = 1000.0;

std::optional<TShading> shadingFrom(std::int32_t stored) {
  if (stored < 0 || stored > 2) return std::nullopt;
  return static_cast<TShading>(stored);
}

// Stored Booleans that are int32 words: 0 and 1 are false and true, anything else keeps the default.
std::optional<bool> flagFrom(std::int32_t stored) {
  if (stored == 0) return false;
  if (stored == 1) return true;
  return std::nullopt;
}

Vector3D placed(const Vector3D& p, const Vector3D& position, const Vector3D& rotation) {
  return RotateZ(RotateY(RotateX(p + position, rotation.x), rotation.y), rotation.z);
}

// Newell's rule over the ring's consecutive corners, the last pairing with the first.
Vector3D newellSum(const TCornerRing& ring, const std::vector<TPoint3D>& points) {
  Vector3D n;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const TPoint3D& p = points[static_cast<std::size_t>(ring[i].Index)];
    const TPoint3D& q = points[static_cast<std::size_t>(ring[(i + 1) % ring.size()].Index)];
    n.x += (p.Z + q.Z) * (q.Y - p.Y) * 0.5;
    n.y += (p.X + q.X) * (q.Z - p.Z) * 0.5;
    n.z += (p.Y + q.Y) * (q.X - p.X) * 0.5;
  }
  return n;
}

// Texture coordinates without an edge to follow: the corner is projected along the dominant axis of
// the face normal onto the entity's bounding box. Ties between axes fall to X.
std::pair<double, double> dominantAxisUV(const Vector3D& n, const Vector3D& p, const TBounds& b, double w,
                                         double h) {
  const double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
  if (az > ax && az > ay) {
    if (n.z < 0) return {(p.y - b.MinY) / h, (p.x - b.MinX) / w};
    return {(p.y - b.MinY) / h, (b.MaxX - p.x) / w};
  }
  if (ay > ax && ay > az) {
    if (n.y < 0) return {(p.x - b.MinX) / w, (p.z - b.MinZ) / h};
    return {(b.MaxX - p.x) / w, (p.z - b.MinZ) / h};
  }
  if (n.x < 0) return {(b.MaxY - p.y) / w, (p.z - b.MinZ) / h};
  return {(p.y - b.MinY) / w, (p.z - b.MinZ) / h};
}

// The reference edge of a mapped face runs from the origin corner to the next corner on another
// point; when every corner is on the origin's point it runs to the next corner.
std::size_t mappedEdgeEnd(const TCornerRing& ring, std::size_t origin) {
  for (std::size_t step = 1; step < ring.size(); ++step) {
    const std::size_t candidate = (origin + step) % ring.size();
    if (ring[candidate].Index != ring[origin].Index) return candidate;
  }
  return (origin + 1) % ring.size();
}

// What is left of the last whole tile along an edge of length L carries over to the next face.
double phaseStep(double L, double W) {
  double k = std::trunc(L / W);
  if (k == 0) k = 1;
  return 1 - (L - k * W) / W;
}

// AngleDeg(a, b) <= kSmoothAngleDeg, comparing cosines: the arc cosine is taken only for cosines so
// near the bound's that rounding could tell the two tests apart.
bool WithinSmoothAngle(const Vector3D& a, const Vector3D& b) {
  static const double bound = std::cos(kSmoothAngleDeg * std::numbers::pi / 180.0);
  constexpr double margin = 1e-12;
  const double la = length(a), lb = length(b);
  if (la == 0 || lb == 0) return true;
  const double c = dot(a, b) / (la * lb);
  if (c > bound + margin && c <= 1) return true;
  if (c < bound - margin) return false;
  return AngleDeg(a, b) <= kSmoothAngleDeg;
}

} // namespace

// A texture file is a bitmap or a JPEG picture, told apart by its first bytes. Only its resample is
// used, so a very large JPEG picture is decoded smaller.
QImage DecodeTexturePicture(const std::vector<std::uint8_t>& bytes, const std::string& path) {
  const auto startsWith = [&](std::initializer_list<std::uint8_t> magic) {
    return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
  };
  if (startsWith({'B', 'M'})) return decodeBmp(bytes, path);
  if (startsWith({0xFF, 0xD8})) return decodeJpegForResample(bytes, path, 0, kResampledSize);
  throw ReadError(path, 0, "neither a bitmap nor a JPEG picture");
}

// ---- TPoint3D

void TPoint3D::SetNormal(const Vector3D& n) {
  NX = n.x;
  NY = n.y;
  NZ = n.z;
}

// Point record, 63 bytes:
//    0  double    X
//    8  double    Y
//   16  double    Z
//   24  double    W
//   32  double    NX
//   40  double    NY
//   48  double    NZ
//   56  int32     Tag
//   60  3 bytes   Marks
void TPoint3D::LoadFromFile(BinaryCursor& F, const ReadPlace& where) {
  const ReadWhat what(where, "point record");
  F.require(kPointRecordSize, what);
  X = F.readDouble(what);
  Y = F.readDouble(what);
  Z = F.readDouble(what);
  W = F.readDouble(what);
  NX = F.readDouble(what);
  NY = F.readDouble(what);
  NZ = F.readDouble(what);
  Tag = F.readInt32(what);
  for (std::uint8_t& mark : Marks)
    mark = F.readByte(what);
}

void TPoint3D::SaveToFile(BinaryWriter& F) const {
  F.writeDouble(X);
  F.writeDouble(Y);
  F.writeDouble(Z);
  F.writeDouble(W);
  F.writeDouble(NX);
  F.writeDouble(NY);
  F.writeDouble(NZ);
  F.writeInt32(Tag);
  for (std::uint8_t mark : Marks)
    F.writeByte(mark);
}

// ---- TContours

// Contour record, 35 bytes:
//    0  int32     Outer: 0 false, 1 true, other values keep the default
//    4  int32     Tag
//    8  4 bytes   Color R, G, B, A
//   12  3 bytes   Color2 R, G, B
//   15  20 bytes  five int32 reserved
void TContours::LoadFromFile(BinaryCursor& F, const ReadPlace& where) {
  const ReadWhat what(where, "contour record");
  F.require(kContourRecordSize, what);
  Outer = flagFrom(F.readInt32(what)).value_or(Outer);
  Tag = F.readInt32(what);
  Color = readRGBA(F, what);
  Color2 = readRGB(F, what);
  F.skip(20, what);
}

void TContours::SaveToFile(BinaryWriter& F) const {
  F.writeInt32(Outer ? 1 : 0);
  F.writeInt32(Tag);
  writeRGBA(F, Color);
  writeRGB(F, Color2);
  F.writeZeros(20);
}

// ---- TFace

TFace::TFace(TEntity& Owner) : Owner(Owner), Shading(Owner.Shading) {}

TFace& TFace::Create(TEntity& Owner) {
  Owner.Faces.push_back(std::unique_ptr<TFace>(new TFace(Owner)));
  return *Owner.Faces.back();
}

TContours& TFace::AddContour(TContours Contour) {
  Contours.push_back(std::move(Contour));
  return Contours.back();
}

void TFace::AddPoint(TContours* Contour, double X, double Y, double Z, double W) {
  assert((!Contour || (Contour >= Contours.data() && Contour < Contours.data() + Contours.size())) &&
         "a corner's contour belongs to its face");
  Refs.emplace_back(Owner.SharePoint(X, Y, Z, W));
  if (Contour) Contour->Refs.push_back(Refs.size() - 1);
}

TCornerRing TFace::CornerRing() {
  return TCornerRing(Refs, Contours.empty() ? nullptr : &Contours.front().Refs);
}

void TFace::RingPositions(std::vector<std::vector<Vector3D>>& rings) const {
  rings.resize(RingCount());
  for (std::size_t r = 0; r < rings.size(); ++r) {
    const TConstCornerRing ring = Ring(r);
    rings[r].clear();
    for (std::size_t i = 0; i < ring.size(); ++i)
      rings[r].push_back(Owner.PointOf(ring[i]));
  }
}

std::optional<TCornerRing> TFace::NormalRing() {
  if (Contours.empty()) return TCornerRing(Refs, nullptr);
  for (const TContours& contour : Contours)
    if (contour.Outer) return TCornerRing(Refs, &contour.Refs);
  return std::nullopt;
}

// Face record:
//    0  4 doubles Normal x, y, z, then D
//   32  int32     Visible: 0 or 1, other values keep the default
//   36  int32     Shading: 0, 1 or 2, other values keep the owner's
//   40  4 bytes   Color R, G, B, A
//   44  3 bytes   Color2 R, G, B
//   47  4 bytes   Textured, HideEdges, Tessellate, Marked
//   51  int32     C = number of contours
//       C > 0:    C times { contour record; int32 N; N point records }
//       C <= 0:   int32 N; N point records
//       20 bytes  five int32 reserved
// Only the position and weight of a point record are kept: each goes through AddPoint.
void TFace::LoadFromFile(BinaryCursor& F, const ReadPlace& where) {
  ReadHead(F, where);
  const std::size_t countOffset = F.offset();
  const std::int32_t contourCount = F.readInt32({where, "contour count"});
  if (contourCount > 0) {
    F.checkCountAt(countOffset, contourCount, kMinContourEntrySize, {where, "contour count"});
    for (std::int32_t i = 0; i < contourCount; ++i)
      ReadContour(F, where.at("contour", static_cast<std::size_t>(i)));
  } else {
    ReadCorners(F, nullptr, where);
  }
  F.skip(20, {where, "reserved words"});
  // Faces are the bulk of a model, and no reader comes back to one.
  F.releasePassed();
}

void TFace::ReadHead(BinaryCursor& F, const ReadPlace& where) {
  const ReadWhat what(where, "face record");
  F.require(kFaceHeadSize, what);
  Normal = readVector(F, what);
  D = F.readDouble(what);
  Visible = flagFrom(F.readInt32(what)).value_or(Visible);
  Shading = shadingFrom(F.readInt32(what)).value_or(Shading);
  Color = readRGBA(F, what);
  Color2 = readRGB(F, what);
  Textured = F.readBool(what);
  HideEdges = F.readBool(what);
  Tessellate = F.readBool(what);
  Marked = F.readBool(what);
}

void TFace::ReadContour(BinaryCursor& F, const ReadPlace& where) {
  TContours& contour = AddContour();
  contour.LoadFromFile(F, where);
  ReadCorners(F, &contour, where);
}

void TFace::ReadCorners(BinaryCursor& F, TContours* contour, const ReadPlace& where) {
  const std::size_t count = F.readCount(kPointRecordSize, {where, "corner count"});
  // A face's Refs hold the corners of all its contours, so only a face without contours knows its
  // final size here; reserving per contour would copy the list once per contour.
  if (contour)
    contour->Refs.reserve(count);
  else
    Refs.reserve(Refs.size() + count);
  TPoint3D point;
  for (std::size_t k = 0; k < count; ++k) {
    point.LoadFromFile(F, where.at("corner", k));
    AddPoint(contour, point.X, point.Y, point.Z, point.W);
  }
}

void TFace::SaveToFile(BinaryWriter& F) const {
  writeVector(F, Normal);
  F.writeDouble(D);
  F.writeInt32(Visible ? 1 : 0);
  F.writeInt32(static_cast<std::int32_t>(Shading));
  writeRGBA(F, Color);
  writeRGB(F, Color2);
  F.writeBool(Textured);
  F.writeBool(HideEdges);
  F.writeBool(Tessellate);
  F.writeBool(Marked);
  F.writeInt32(static_cast<std::int32_t>(Contours.size()));
  if (Contours.empty()) {
    F.writeInt32(static_cast<std::int32_t>(Refs.size()));
    for (const TMem& corner : Refs)
      WritePointOf(F, corner);
  }
  for (const TContours& contour : Contours) {
    contour.SaveToFile(F);
    F.writeInt32(static_cast<std::int32_t>(contour.Refs.size()));
    for (std::size_t position : contour.Refs)
      WritePointOf(F, Refs[position]);
  }
  F.writeZeros(20);
}

// Shared points are written whole at every corner that uses them; reading merges them again.
void TFace::WritePointOf(BinaryWriter& F, const TMem& corner) const {
  Owner.Points[static_cast<std::size_t>(corner.Index)].SaveToFile(F);
}

// ---- TObjects

void TObjects::Draw(bool, bool, bool, bool, bool, bool, std::int32_t) {}
void TObjects::DrawPaperLine() {}
void TObjects::DrawPaperFill() {}

// Object record, 630 bytes:
//    0  256       Name text block
//  256  int32     Value1
//  260  3 bytes   Flags3
//  263  3 bytes   reserved
//  266  12 bytes  HighlightColors 1, 2, 3: R, G, B, A each
//  278  256       Text2 text block
//  534  3 doubles Triple
//  558  int32     Value2
//  562  6 doubles Position X, Y, Z, Rotation X, Y, Z
//  610  20 bytes  five int32 reserved
void TObjects::LoadFromFile(BinaryCursor& F, const ReadPlace& where) {
  const ReadWhat what(where, "object record");
  F.require(kObjectRecordSize, what);
  Name = F.readText256(what);
  Value1 = F.readInt32(what);
  for (bool& flag : Flags3)
    flag = F.readBool(what);
  F.skip(3, what);
  for (TColorRGBA& color : HighlightColors)
    color = readRGBA(F, what);
  Text2 = F.readText256(what);
  for (double& value : Triple)
    value = F.readDouble(what);
  Value2 = F.readInt32(what);
  Position = readVector(F, what);
  Rotation = readVector(F, what);
  F.skip(20, what);
}

void TObjects::SaveToFile(BinaryWriter& F) const {
  F.writeText256(Name);
  F.writeInt32(Value1);
  for (bool flag : Flags3)
    F.writeBool(flag);
  F.writeZeros(3);
  for (const TColorRGBA& color : HighlightColors)
    writeRGBA(F, color);
  F.writeText256(Text2);
  for (double value : Triple)
    F.writeDouble(value);
  F.writeInt32(Value2);
  writeVector(F, Position);
  writeVector(F, Rotation);
  F.writeZeros(20);
}

// ---- TEntity: records

// Entity record = object record, then (offsets from the object record's start):
//  630  int32     Shading: 0, 1 or 2, other values keep the default
//  634  1         UseTexture
//  635  256       texture file name text block; "Empty" means none
//  891  int32     Value3
//  895  double    Value4
//  903  int32     TextureOrigin
//  907  int32     N = number of faces, then N face records
//  then int32     M = number of marked faces (0..50), then M int32 face indices
//  then int32     Value5
//  then int32     EdgeAligned, stored inverted: 0 true, 1 false, other values keep the default
//  then 12 bytes  three int32 reserved
void TEntity::LoadFromFile(BinaryCursor& F, const ReadPlace& where) {
  TObjects::LoadFromFile(F, where);
  ReadHead(F, where);
  ReadFaces(F, where);
  ReadMarkedFaces(F, where);
  ReadTail(F, where);
}

void TEntity::ReadHead(BinaryCursor& F, const ReadPlace& where) {
  const std::size_t nameOffset = F.offset() + 5;
  const ReadWhat what(where, "entity record");
  F.require(kEntityHeadSize, what);
  Shading = shadingFrom(F.readInt32(what)).value_or(Shading);
  UseTexture = F.readBool(what);
  const std::string textureName = F.readText256(what);
  Value3 = F.readInt32(what);
  Value4 = F.readDouble(what);
  TextureOrigin = F.readInt32(what);
  TextureName = textureName;
  LoadNamedTexture(textureName, F, nameOffset, where);
}

// A named texture that cannot be found is skipped; so is one that is found but cannot be used, whose
// reason is kept for the viewer to report. A texture file is read only up to the size any picture may
// decode to, so a name that points at a device or an endless file cannot stall the load.
void TEntity::LoadNamedTexture(const std::string& name, BinaryCursor& F, std::size_t nameOffset,
                               const ReadPlace& where) {
  if (name == kNoTextureName) return;
  const std::string path = resolveTextureFile(name, documentFolderOf(F.fileName()));
  if (path.empty()) return;
  QImage picture;
  try {
    picture = DecodeTexturePicture(readRegularFileBytes(path, MaxDecodedPictureBytes), path);
  } catch (const ReadError& error) {
    TextureProblem = ReadError(F.fileName(), nameOffset,
                               where.text("texture file") + " \"" + path +
                                   "\" is not a picture that can be read: " + error.what())
                         .what();
    return;
  }
  LoadTexture(picture, kEntityTextureSize, kEntityTextureSize);
  Texture->FileName = name;
  Texture->Path = path;
}

void TEntity::ReadFaces(BinaryCursor& F, const ReadPlace& where) {
  const std::size_t count = F.readCount(kMinFaceRecordSize, {where, "face count"});
  Faces.reserve(Faces.size() + count);
  // A mesh seldom has more points than faces (a grid of quads about as many, a closed mesh of
  // triangles half as many): room for an eighth more spares the copies of a growing list, and stays
  // within the bytes the face records are known to hold.
  Points.reserve(Points.size() + count + count / 8);
  for (std::size_t i = 0; i < count; ++i) {
    TFace::Create(*this).LoadFromFile(F, where.at("face", i));
    FacesRead(i + 1);
  }
}

void TEntity::ReadMarkedFaces(BinaryCursor& F, const ReadPlace& where) {
  const std::size_t count = F.readCount(0, {where, "marked face count"});
  const std::size_t listed = std::min(count, kMaxMarkedFaces);
  for (std::size_t i = 0; i < listed; ++i)
    MarkFace(F, where.at("marked face", i));
  if (count > kMaxMarkedFaces)
    F.fail(where.text("marked face count") + " " + std::to_string(count) + " is more than " +
           std::to_string(kMaxMarkedFaces));
}

void TEntity::MarkFace(BinaryCursor& F, const ReadPlace& where) {
  const std::size_t offset = F.offset();
  const std::int32_t index = F.readInt32({where, "face index"});
  if (index < 0 || static_cast<std::size_t>(index) >= Faces.size())
    F.failAt(offset, where.text("face index") + " " + std::to_string(index) + " is outside the " +
                         std::to_string(Faces.size()) + " faces");
  Faces[static_cast<std::size_t>(index)]->Marked = true;
  MarkedFaces.push_back(index);
}

void TEntity::ReadTail(BinaryCursor& F, const ReadPlace& where) {
  const ReadWhat what(where, "entity record end");
  F.require(kEntityTailSize, what);
  Value5 = F.readInt32(what);
  if (const std::optional<bool> stored = flagFrom(F.readInt32(what))) EdgeAligned = !*stored;
  F.skip(12, what);
}

void TEntity::SaveToFile(BinaryWriter& F) const {
  assert(MarkedFaces.size() <= kMaxMarkedFaces && "the record holds at most 50 marked faces");
  F.writeText256("TEntity");
  TObjects::SaveToFile(F);
  F.writeInt32(static_cast<std::int32_t>(Shading));
  F.writeBool(UseTexture);
  F.writeText256(StoredTextureName());
  F.writeInt32(Value3);
  F.writeDouble(Value4);
  F.writeInt32(TextureOrigin);
  F.writeInt32(static_cast<std::int32_t>(Faces.size()));
  for (const auto& face : Faces)
    face->SaveToFile(F);
  F.writeInt32(static_cast<std::int32_t>(MarkedFaces.size()));
  for (std::int32_t index : MarkedFaces)
    F.writeInt32(index);
  F.writeInt32(Value5);
  F.writeInt32(EdgeAligned ? 0 : 1);
  F.writeZeros(12);
}

// The name goes back as it was read, so that a Windows name found here stays a Windows name; the
// file must still be where it was found.
std::string TEntity::StoredTextureName() const {
  if (Texture && UseTexture && !Texture->Path.empty() && fileExists(Texture->Path)) return Texture->FileName;
  return kMissingTextureName;
}

void TEntity::LoadTexture(const QImage& Picture, double Width, double Height) {
  Texture = std::make_unique<TTexture>(Picture, Width, Height);
  UseTexture = true;
}

TBounds TEntity::GetBounds() const {
  TBounds b{1000000.0, 1000000.0, 1000000.0, -1000000.0, -1000000.0, -1000000.0};
  for (const TPoint3D& point : Points) {
    const Vector3D p = placed(point.Position(), Position, Rotation);
    b.MinX = std::min(b.MinX, p.x);
    b.MinY = std::min(b.MinY, p.y);
    b.MinZ = std::min(b.MinZ, p.z);
    b.MaxX = std::max(b.MaxX, p.x);
    b.MaxY = std::max(b.MaxY, p.y);
    b.MaxZ = std::max(b.MaxZ, p.z);
  }
  return b;
}

// ---- TEntity: shared points

std::int32_t TEntity::SharePoint(double X, double Y, double Z, double W) {
  if (grid_.size() != Points.size()) SyncGrid();
  const std::int32_t match = grid_.findOrAdd(X, Y, Z);
  if (match >= 0) return match;
  Points.emplace_back(X, Y, Z, W);
  return static_cast<std::int32_t>(Points.size() - 1);
}

// Points listed other than through SharePoint join the grid before the next search.
void TEntity::SyncGrid() {
  if (grid_.size() > Points.size()) grid_.clear();
  for (std::size_t i = grid_.size(); i < Points.size(); ++i)
    grid_.add(Points[i].X, Points[i].Y, Points[i].Z);
}

// ---- TEntity: preparation

void TEntity::Prepare() {
  PrepareGeometry(WorkerCountFor(Faces.size()));
  CompileLists();
}

// Each step gives the same numbers whatever the number of workers: planes and smooth marks are per
// face, each point gathers its faces' normals in face order, and what carries over from face to face
// (the texture origin and the mapping's phase) is worked out in order before the faces take their
// coordinates.
void TEntity::PrepareGeometry(unsigned workers) {
  std::vector<std::uint8_t> placed(Faces.size());
  ForEachRange(Faces.size(), workers, [&](std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i)
      placed[i] = PlaceFace(*Faces[i]);
  });
  ForEachRange(Points.size(), workers,
               [&](std::size_t first, std::size_t end) { AccumulateVertexNormals(placed, first, end); });
  ApplyTextureCoordinates(placed, workers);
  ForEachRange(Faces.size(), workers, [&](std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i)
      MarkSmoothCorners(*Faces[i]);
  });
  // Loading is over: the merge grid's memory goes before the lists take theirs. A point added later
  // rebuilds it (see SyncGrid).
  grid_ = PointGrid();
}

// Newell's sum points against the corners' turning direction, hence the minus. A face whose contours
// are all holes keeps no plane and takes no further part.
bool TEntity::PlaceFace(TFace& face) {
  face.Normal = {};
  face.D = 0;
  const std::optional<TCornerRing> ring = face.NormalRing();
  if (!ring) return false;
  const Vector3D sum = newellSum(*ring, Points);
  face.Normal = withoutNearZeros(-1.0 * normalizedOrZero(sum));
  if (ring->size() > 0) face.D = -dot(face.Normal, PointOf((*ring)[0]));
  return true;
}

// Shared points gather the normals of all their faces in face order, renormalised after each face;
// this worker takes only the points in [first, end).
void TEntity::AccumulateVertexNormals(const std::vector<std::uint8_t>& placed, std::size_t first,
                                      std::size_t end) {
  for (std::size_t i = 0; i < Faces.size(); ++i) {
    TFace& face = *Faces[i];
    if (!placed[i] || face.Shading == TShading::Flat) continue;
    face.ForEachCorner([&](TMem& corner) {
      const auto index = static_cast<std::size_t>(corner.Index);
      if (index < first || index >= end) return;
      TPoint3D& point = Points[index];
      point.SetNormal(normalizedOrZero(point.Normal() + face.Normal));
    });
  }
}

// A face whose ring is shorter than the texture origin resets it for the faces after it, and each
// mapped face advances the phase: both are followed in face order first.
void TEntity::ApplyTextureCoordinates(const std::vector<std::uint8_t>& placed, unsigned workers) {
  struct Frame {
    std::size_t origin = 0;
    double phase = 0;
  };
  const bool textures = UseTexture && (Texture || Mapping);
  std::vector<Frame> frames(textures ? Faces.size() : 0);
  double phase = 0;
  for (std::size_t i = 0; i < Faces.size(); ++i) {
    TFace& face = *Faces[i];
    if (!placed[i]) continue;
    const TCornerRing ring = face.CornerRing();
    // Negative origins from a file are reset too: they name no corner either.
    if (TextureOrigin < 0 || static_cast<std::size_t>(TextureOrigin) >= ring.size()) TextureOrigin = 0;
    if (!textures || !TakesCoordinates(face, ring)) continue;
    const auto origin = static_cast<std::size_t>(TextureOrigin);
    if (Mapping && Mapping->TileWidth != 0 && Mapping->TileHeight != 0)
      phase += phaseStep(Distance3(PointOf(ring[origin]), PointOf(ring[mappedEdgeEnd(ring, origin)])),
                         Mapping->TileWidth);
    frames[i] = {origin, phase};
  }
  if (!textures) return;
  // The bounds do not change while faces take coordinates, so they are taken once rather than per face.
  const TBounds bounds = Mapping ? GetBounds() : TBounds{};
  ForEachRange(Faces.size(), workers, [&](std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i) {
      TFace& face = *Faces[i];
      const TCornerRing ring = face.CornerRing();
      if (!placed[i] || !TakesCoordinates(face, ring)) continue;
      if (Texture) ApplyPictureTexture(face, ring, frames[i].origin);
      if (Mapping) ApplyMapping(face, ring, frames[i].origin, bounds, frames[i].phase);
    }
  });
}

// A ring without corners has no reference corner and nothing to give coordinates to.
bool TEntity::TakesCoordinates(const TFace& face, const TCornerRing& ring) const {
  return face.Textured && ring.size() != 0;
}

void TEntity::ApplyPictureTexture(TFace& face, const TCornerRing& ring, std::size_t origin) const {
  const Vector3D A = PointOf(ring[origin]);
  const Vector3D B = PointOf(ring[(origin + 1) % ring.size()]);
  const Vector3D T = A + kFrameReach * cross(face.Normal, B - A);
  face.ForEachCorner([&](TMem& corner) {
    const Vector3D P = PointOf(corner);
    const Vector3D F1 = FootOnLine(P, A, B);
    const double along = Distance3(A, F1) / Texture->Width;
    corner.U = SameSigns(A - B, A - F1) ? along : -along;
    corner.V = Distance3(A, FootOnLine(P, A, T)) / Texture->Height;
  });
}

// `phase` is the mapping's phase after this face's step.
void TEntity::ApplyMapping(TFace& face, const TCornerRing& ring, std::size_t origin, const TBounds& bounds,
                           double phase) const {
  const double W = Mapping->TileWidth;
  const double H = Mapping->TileHeight;
  // A tile without size would turn every coordinate into NaN.
  if (W == 0 || H == 0) return;
  const Vector3D A = PointOf(ring[origin]);
  const Vector3D B = PointOf(ring[mappedEdgeEnd(ring, origin)]);
  const Vector3D T = A + kFrameReach * cross(face.Normal, B - A);
  face.ForEachCorner([&](TMem& corner) {
    const Vector3D P = PointOf(corner);
    if (!EdgeAligned) {
      std::tie(corner.U, corner.V) = dominantAxisUV(face.Normal, P, bounds, W, H);
      return;
    }
    const Vector3D F1 = FootOnLine(P, A, B);
    const double along = Distance3(A, F1) / W;
    corner.U = SameSigns(A - B, A - F1) ? along + phase : phase - along;
    corner.V = Distance3(A, FootOnLine(P, A, T)) / H;
  });
}

// Runs after every face has added its normal to its points, so each corner sees the final vertex normal.
void TEntity::MarkSmoothCorners(TFace& face) {
  if (face.Shading != TShading::ByAngle) return;
  face.ForEachCorner([&](TMem& corner) {
    corner.Smooth = WithinSmoothAngle(face.Normal, Points[static_cast<std::size_t>(corner.Index)].Normal());
  });
}

} // namespace vorlan
