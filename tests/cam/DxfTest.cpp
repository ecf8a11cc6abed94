#include "cam/KX_DXF.h"
#include "platform/FileBytes.h"
#include "platform/Messages.h"
#include "platform/ReadError.h"
#include "scene3d/KX_OBJECTS.h"
#include "scene3d/KX_SUPEROBJECT.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <functional>
#include <string_view>

namespace vorlan {
namespace {

using Ring = std::vector<Vector3D>;

const std::vector<std::string> kHeader{"0",      "SECTION", "2",       "HEADER", "0",
                                       "ENDSEC", "0",       "SECTION", "2",      "ENTITIES"};
const std::vector<std::string> kTrailer{"0", "ENDSEC", "0", "EOF"};

void addPolygon(TEntity& entity, const Ring& ring) {
  TFace& face = TFace::Create(entity);
  for (const Vector3D& p : ring)
    face.AddPoint(nullptr, p.x, p.y, p.z, 1);
}

void addContourFace(TEntity& entity, const std::vector<Ring>& rings) {
  TFace& face = TFace::Create(entity);
  for (const Ring& ring : rings) {
    TContours& contour = face.AddContour();
    for (const Vector3D& p : ring)
      face.AddPoint(&contour, p.x, p.y, p.z, 1);
  }
}

std::unique_ptr<TEntity> entityOf(const std::vector<Ring>& polygons) {
  auto entity = std::make_unique<TEntity>();
  for (const Ring& ring : polygons)
    addPolygon(*entity, ring);
  return entity;
}

// Splits at CR LF, failing on any CR or LF that is not part of a pair.
std::vector<std::string> crLfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find_first_of("\r\n", start)) != std::string::npos; start = end + 2) {
    EXPECT_EQ(text.compare(end, 2, "\r\n"), 0) << "bare line end after line " << lines.size();
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "the last line has no CR LF";
  return lines;
}

double number(const std::string& text) {
  double value = NAN;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  EXPECT_TRUE(error == std::errc() && end == text.data() + text.size()) << "not a number: " << text;
  return value;
}

struct Face3D {
  int Layer;
  Ring Corners; // 3 or 4
};

// The 3DFACE records between the header and the trailer, checked line by line.
std::vector<Face3D> facesOf(const std::string& text) {
  const std::vector<std::string> lines = crLfLines(text);
  if (lines.size() < kHeader.size() + kTrailer.size()) {
    ADD_FAILURE() << "too short: " << text;
    return {};
  }
  EXPECT_EQ(std::vector(lines.begin(), lines.begin() + 10), kHeader);
  EXPECT_EQ(std::vector(lines.end() - 4, lines.end()), kTrailer);
  std::vector<Face3D> faces;
  for (std::size_t at = kHeader.size(); at + kTrailer.size() < lines.size();) {
    EXPECT_EQ(lines[at] + lines[at + 1] + lines[at + 2], "03DFACE8");
    EXPECT_EQ(lines[at + 4] + "/" + lines[at + 5], "62/0");
    Face3D& face = faces.emplace_back(Face3D{static_cast<int>(number(lines[at + 3])), {}});
    at += 6;
    for (int corner = 0; corner < 4 && lines[at] == "1" + std::to_string(corner); ++corner, at += 6) {
      for (int axis = 0; axis < 3; ++axis)
        EXPECT_EQ(lines[at + 2 * axis], std::to_string(axis + 1) + std::to_string(corner));
      face.Corners.push_back({number(lines[at + 1]), number(lines[at + 3]), number(lines[at + 5])});
    }
    if (face.Corners.size() < 3) {
      ADD_FAILURE() << "record " << faces.size() << " has " << face.Corners.size() << " corners";
      break;
    }
  }
  return faces;
}

std::string textOf(std::initializer_list<const TEntity*> entities, bool& someNotExported) {
  return DxfText(std::vector(entities), someNotExported);
}

double area(const Vector3D& a, const Vector3D& b, const Vector3D& c) {
  return length(cross(b - a, c - a)) / 2;
}

// Inside or on the boundary of a polygon in the plane z = 0, by ray crossing.
bool inside(const Vector3D& p, const Ring& ring) {
  bool in = false;
  for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
    const Vector3D &a = ring[i], &b = ring[j];
    if (std::fabs(length(cross(b - a, p - a))) < 1e-9 && dot(p - a, p - b) <= 0) return true;
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
  }
  return in;
}

const Ring kSquare{{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
const Ring kHole{{3, 3, 0}, {7, 3, 0}, {7, 7, 0}, {3, 7, 0}};
const Ring kPentagon{{0, 0, 0}, {4, 0, 0}, {5, 3, 0}, {2, 5, 0}, {-1, 3, 0}};
// An L: concave at (2, 2).
const Ring kEll{{0, 0, 0}, {4, 0, 0}, {4, 2, 0}, {2, 2, 0}, {2, 4, 0}, {0, 4, 0}};

// Under a German locale: its decimal comma must not reach the file.
TEST(DxfNumber, FiveSignificantDigitsPlainOrScientificWithADecimalPoint) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the German locale must be installed";
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 0.5);
  EXPECT_STREQ(probe, "0,5") << "the locale is in force";
  // clang-format off
  for (auto [value, text] : {std::pair{1234.567, "1234.6"}, {100, "100"}, {0.000123456, "0.00012346"},
                             {123456, "1.2346E5"}, {-0.0, "0"}, {12345.67, "12346"}, {99999.5, "1E5"},
                             {0.0001, "0.0001"}, {0.000099999, "9.9999E-5"}, {-123456, "-1.2346E5"},
                             {1e-300, "1E-300"}, {100.125, "100.12"}, {NAN, "NAN"}, {-INFINITY, "-INF"}}) {
    // clang-format on
    SCOPED_TRACE(value);
    EXPECT_EQ(DxfNumber(value), text);
  }
  const auto entity = entityOf({{{0.5, 1.25, 0}, {1234.567, 0, 0}, {0, 0.000123456, 2.5}}});
  bool someNotExported = false;
  EXPECT_EQ(textOf({entity.get()}, someNotExported).find(','), std::string::npos);
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(DxfExport, FacesOfThreeOrFourCornersKeepTheirCornersInOrder) {
  const Ring triangle{{0, 0, 0}, {3, 0, 1}, {0, 4, 2}};
  const Ring bentQuad{{0, 0, 0}, {6, 0, 0}, {6, 5, 1}, {0, 5, 0}};
  const Ring closed{triangle[0], triangle[1], triangle[2], triangle[0]};
  for (const auto& [what, corners, written] :
       {std::tuple{"triangle: 4th corner repeats the 1st", triangle, closed},
        {"quad, even out of plane", bentQuad, bentQuad}}) {
    SCOPED_TRACE(what);
    const auto entity = entityOf({corners});
    bool someNotExported = true;
    const std::vector<Face3D> faces = facesOf(textOf({entity.get()}, someNotExported));
    ASSERT_EQ(faces.size(), 1u);
    EXPECT_EQ(faces[0].Corners, written);
    EXPECT_FALSE(someNotExported);
  }
}

// Triangles only, each 4th corner repeating its 1st, made of the face's own corners, together
// covering exactly the filled region once.
TEST(DxfExport, LargerFacesAndFacesWithContoursBecomeTrianglesCoveringTheFace) {
  using Filled = std::function<bool(const Vector3D&)>;
  const auto within = [](const Ring& ring) -> Filled {
    return [ring](const Vector3D& p) { return inside(p, ring); };
  };
  const Ring triangle(kSquare.begin(), kSquare.end() - 1);
  Ring upright;
  for (const Vector3D& p : kPentagon)
    upright.push_back({p.x, 7, p.y});
  // clang-format off
  struct Case { const char* what; std::vector<Ring> rings; bool contours; std::size_t triangles; double area; Filled filled; };
  const Case cases[] = {
      {"pentagon", {kPentagon}, false, 3, 21, within(kPentagon)},
      {"concave hexagon", {kEll}, false, 4, 12, within(kEll)},
      {"pentagon in the plane y = 7", {upright}, false, 3, 21, [](const Vector3D& p) { return p.y == 7 && inside({p.x, p.z, 0}, kPentagon); }},
      {"square with a hole: the hole stays open", {kSquare, kHole}, true, 8, 100 - 16,
       [](const Vector3D& p) { return inside(p, kSquare) && !inside(p, kHole); }},
      {"a triangle given as a contour", {triangle}, true, 1, 50, within(triangle)},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TEntity entity;
    c.contours ? addContourFace(entity, c.rings) : addPolygon(entity, c.rings.front());
    bool someNotExported = true;
    const std::vector<Face3D> faces = facesOf(textOf({&entity}, someNotExported));
    EXPECT_FALSE(someNotExported);
    ASSERT_EQ(faces.size(), c.triangles);
    double total = 0;
    for (const Face3D& f : faces) {
      ASSERT_EQ(f.Corners.size(), 4u);
      EXPECT_EQ(f.Corners[3], f.Corners[0]);
      for (const Vector3D& p : f.Corners)
        EXPECT_TRUE(std::ranges::any_of(c.rings, [&](const Ring& r) { return std::ranges::count(r, p) > 0; }))
            << "not a corner of the face: " << p.x << ", " << p.y << ", " << p.z;
      const Vector3D centroid = (1.0 / 3) * (f.Corners[0] + f.Corners[1] + f.Corners[2]);
      EXPECT_TRUE(c.filled(centroid)) << centroid.x << ", " << centroid.y << ", " << centroid.z;
      total += area(f.Corners[0], f.Corners[1], f.Corners[2]);
    }
    EXPECT_NEAR(total, c.area, 1e-9);
  }
}

struct Mark : TObjects {
  void Prepare() override {}
};

// Layers count entities in the order the list gives them: a super-object's entities in place.
TEST(DxfExport, EachEntityIsALayerAndSuperObjectEntitiesAreNumberedInPlace) {
  const Ring triangle{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  auto first = entityOf({triangle, kSquare});
  TSuperObject group;
  group.Entities.push_back(entityOf({triangle}));
  group.Entities.push_back(entityOf({kPentagon}));
  auto last = entityOf({triangle});
  Mark mark;
  const std::vector<TObjects*> items{first.get(), &mark, &group, last.get()};
  const std::vector<const TEntity*> entities = DxfEntities(items);
  EXPECT_EQ(entities, (std::vector<const TEntity*>{first.get(), group.Entities[0].get(),
                                                   group.Entities[1].get(), last.get()}));
  bool someNotExported = true;
  std::vector<int> layers;
  for (const Face3D& f : facesOf(DxfText(entities, someNotExported)))
    layers.push_back(f.Layer);
  EXPECT_EQ(layers, (std::vector<int>{0, 0, 1, 2, 2, 2, 3}));
}

TEST(DxfExport, AFourthCornerWithACoordinateEqualToNoFourthCornerIsLeftOut) {
  for (auto [p4, written] : {std::pair{Vector3D{NoFourthCorner, NoFourthCorner, NoFourthCorner}, false},
                             {{1, 2, NoFourthCorner}, false},
                             {{999998.9, 2, 3}, true}}) {
    SCOPED_TRACE(testing::Message() << p4.x << ", " << p4.y << ", " << p4.z);
    std::string record;
    Write3DFace(record, 7, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, p4);
    const std::vector<std::string> lines = crLfLines(record);
    ASSERT_GE(lines.size(), 24u);
    EXPECT_EQ(lines[3], "7");
    const std::vector<std::string> fourth(lines.begin() + 24, lines.end());
    const std::vector<std::string> expected{"13", "1E6", "23", "2", "33", "3"};
    EXPECT_EQ(fourth, written ? expected : std::vector<std::string>());
  }
}

// A face needing the tessellator that yields nothing is reported; faces too small to hold an area
// write nothing either way and are not.
TEST(DxfExport, FacesGivingNoTriangleAreReportedOnlyWhenTheyNeededTessellating) {
  const Ring line{{0, 0, 0}, {1, 1, 0}, {2, 2, 0}, {3, 3, 0}, {4, 4, 0}};
  Ring withNan = kPentagon;
  withNan[2].x = NAN;
  // clang-format off
  for (const auto& [what, corners, contour, reported] : {std::tuple{"5 collinear corners", line, false, true},
       {"a contour of collinear corners", line, true, true}, {"a NaN corner", withNan, false, true},
       {"no corners", Ring{}, false, false}, {"two corners", Ring{line[0], line[4]}, false, false}}) {
    // clang-format on
    SCOPED_TRACE(what);
    TEntity entity;
    contour ? addContourFace(entity, {corners}) : addPolygon(entity, corners);
    bool someNotExported = !reported;
    EXPECT_TRUE(facesOf(textOf({&entity}, someNotExported)).empty());
    EXPECT_EQ(someNotExported, reported);
  }
}

// The message comes once, after the whole file is written; an empty list writes no file; a file is
// replaced; a write failure is an error, not a message.
TEST(DxfExport, ExportWritesTheWholeTextThenReportsFacesLeftOutOnce) {
  const Ring line{{0, 0, 0}, {1, 1, 0}, {2, 2, 0}, {3, 3, 0}, {4, 4, 0}};
  const auto entity = entityOf({line, kPentagon, line});
  const std::vector<const TEntity*> list{entity.get()};
  test::ScratchDir dir;
  MessageRecorder messages;
  const std::string name = dir.path("out.dxf");
  ExportDXF(name, {});
  EXPECT_FALSE(fileExists(name)) << "an empty list writes no file";

  test::writeBytes(name, std::vector<std::uint8_t>(5000, 'x'));
  ExportDXF(name, list);
  EXPECT_EQ(messages.texts(),
            std::vector<std::string>{"Some polygons are out of the screen and not exported !"});
  const std::vector<std::uint8_t> bytes = readFileBytes(name);
  bool someNotExported = false;
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), DxfText(list, someNotExported));
  EXPECT_EQ(facesOf(std::string(bytes.begin(), bytes.end())).size(), 3u);

  EXPECT_THROW(ExportDXF(dir.path("no folder/out.dxf"), list), ReadError);
  EXPECT_EQ(messages.texts().size(), 1u);
}

} // namespace
} // namespace vorlan
