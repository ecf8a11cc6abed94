#include "SceneFixtures.h"

#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace vorlan::test {

Ring rectangle(double w, double h, double z) {
  return {{0, 0, z}, {w, 0, z}, {w, h, z}, {0, h, z}};
}

Ring shifted(const Ring& ring, const Vector3D& by) {
  Ring out;
  for (const Vector3D& p : ring)
    out.push_back(p + by);
  return out;
}

TFace& addPolygon(TEntity& entity, const Ring& corners) {
  TFace& face = TFace::Create(entity);
  for (const Vector3D& p : corners)
    face.AddPoint(nullptr, p.x, p.y, p.z, 1.0);
  return face;
}

void addSheet(TEntity& entity, int columns, int rows, const Vector3D& at, double bump, bool clockwise) {
  const auto corner = [&](int i, int j) {
    return at + Vector3D{7.0 * i, 6.0 * j, bump * std::sin(i * 0.9) * std::cos(j * 0.5)};
  };
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < columns; ++i) {
      Ring quad{corner(i, j), corner(i + 1, j), corner(i + 1, j + 1), corner(i, j + 1)};
      if (clockwise) std::reverse(quad.begin(), quad.end());
      addPolygon(entity, quad);
    }
}

TFace& addContourFace(TEntity& entity, const std::vector<Ring>& rings, const std::vector<bool>& outer) {
  TFace& face = TFace::Create(entity);
  for (std::size_t i = 0; i < rings.size(); ++i) {
    TContours& contour = face.AddContour();
    contour.Outer = outer.empty() || outer[i];
    for (const Vector3D& p : rings[i])
      face.AddPoint(&contour, p.x, p.y, p.z, 1.0);
  }
  return face;
}

namespace {

void setObjectFields(TObjects& o) {
  o.Name = "Cube \"north\" 1";
  o.Value1 = 7;
  o.Flags3 = {false, false, true};
  o.HighlightColors = {TColorRGBA{1, 2, 3, 4}, TColorRGBA{5, 6, 7, 8}, TColorRGBA{9, 10, 11, 12}};
  o.Text2 = "layer 2";
  o.Triple = {1.5, -2.5, 3.25};
  o.Value2 = 11;
  o.Position = {1, -2, 3.5};
  o.Rotation = {10, 20, -30};
}

void setFaceFields(TFace& f, std::uint8_t shade) {
  f.Normal = {0.25, -0.5, 0.75};
  f.D = -12.5;
  f.Visible = false;
  f.Shading = TShading::Smooth;
  f.Color = {shade, 20, 30, 40};
  f.Color2 = {50, shade, 70};
  f.Textured = false;
  f.HideEdges = false;
  f.Tessellate = false;
}

void setContourFields(TContours& c, std::int32_t tag) {
  c.Tag = tag;
  c.Color = {90, 91, 92, 93};
  c.Color2 = {94, 95, static_cast<std::uint8_t>(tag)};
}

} // namespace

std::unique_ptr<TEntity> entityWithEveryStoredField() {
  auto e = std::make_unique<TEntity>();
  setObjectFields(*e);
  e->Shading = TShading::Flat;
  e->UseTexture = false;
  e->Value3 = 5;
  e->Value4 = 2.5;
  e->TextureOrigin = 3;
  e->Value5 = 9;
  e->EdgeAligned = false;

  setFaceFields(addPolygon(*e, {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {5, 15, 0}, {0, 10, 0}}), 1);
  TFace& holed =
      addContourFace(*e, {rectangle(40, 40, 5), shifted(rectangle(10, 10, 5), {10, 10, 0})}, {true, false});
  setFaceFields(holed, 2);
  setContourFields(holed.Contours[0], 4);
  setContourFields(holed.Contours[1], 6);
  TFace::Create(*e);
  addPolygon(*e, shifted(rectangle(10, 10), {10, 0, 0})).Shading = TShading::ByAngle;
  e->Faces[0]->Marked = true;
  e->Faces[3]->Marked = true;
  e->MarkedFaces = {3, 0};
  // A weight other than 1 goes through the first corner that lists the point.
  e->Points[0].W = 0.5;
  return e;
}

std::vector<std::uint8_t> savedBytes(const TEntity& entity) {
  BinaryWriter w;
  entity.SaveToFile(w);
  return w.bytes();
}

LoadAttempt tryLoadEntity(const std::vector<std::uint8_t>& bytes, const std::string& fileName) {
  LoadAttempt attempt{std::make_unique<TEntity>(), std::nullopt};
  BinaryCursor cursor(bytes, fileName);
  try {
    cursor.skip(kClassNameSize, "class name");
    attempt.entity->LoadFromFile(cursor, ReadPlace("entity 0"));
    EXPECT_TRUE(cursor.atEnd()) << "the reader stopped at " << cursor.offset() << " of " << cursor.size();
  } catch (const ReadError& e) {
    attempt.error = e;
  }
  return attempt;
}

std::unique_ptr<TEntity> loadEntity(const std::vector<std::uint8_t>& bytes, const std::string& fileName) {
  LoadAttempt attempt = tryLoadEntity(bytes, fileName);
  EXPECT_FALSE(attempt.error) << attempt.error->what();
  return std::move(attempt.entity);
}

void patchInt32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::int32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes.at(offset + i) = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

} // namespace vorlan::test
