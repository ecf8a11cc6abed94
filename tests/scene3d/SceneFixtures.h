#pragma once

#include "platform/ReadError.h"
#include "scene3d/KX_OBJECTS.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlan::test {

using Ring = std::vector<Vector3D>;

// What SaveToFile writes before the entity record, and where the fields of interest sit in its output.
inline constexpr std::size_t kClassNameSize = 256;
inline constexpr std::size_t kEntityStart = kClassNameSize;
inline constexpr std::size_t kTextureNameOffset = kEntityStart + 635;
inline constexpr std::size_t kFaceCountOffset = kEntityStart + 907;
inline constexpr std::size_t kFirstFaceOffset = kEntityStart + 911;
// A face record without contours: head, contour count, corner count, then the corners.
inline constexpr std::size_t kFirstCornerInFace = 59;

// The corners of a w x h rectangle in the plane z, counter-clockwise seen from +Z.
Ring rectangle(double w, double h, double z = 0);
Ring shifted(const Ring& ring, const Vector3D& by);

// A columns x rows sheet of quads 7 x 6 wide on a swell of height `bump`, every inner point shared by four
// faces; `clockwise` lists each quad's corners the other way.
void addSheet(TEntity& entity, int columns, int rows, const Vector3D& at = {}, double bump = 9,
              bool clockwise = false);
// A face without contours whose corners go through AddPoint in order.
TFace& addPolygon(TEntity& entity, const Ring& corners);
// A face with one contour per ring; contour i is outer when outer[i] (all outer when `outer` is empty).
TFace& addContourFace(TEntity& entity, const std::vector<Ring>& rings, const std::vector<bool>& outer = {});

// An entity with a polygon, a face with an outline and a hole, a face without corners and faces
// sharing points, with every stored field of the entity, its faces and contours off its default.
std::unique_ptr<TEntity> entityWithEveryStoredField();

std::vector<std::uint8_t> savedBytes(const TEntity& entity);

struct LoadAttempt {
  std::unique_ptr<TEntity> entity;
  std::optional<ReadError> error;
};
// Reads what SaveToFile wrote, skipping the class-name block as a document reader does; a ReadError is
// kept with the entity as far as it was read.
LoadAttempt tryLoadEntity(const std::vector<std::uint8_t>& bytes,
                          const std::string& fileName = "fixture.cam");
// As tryLoadEntity, failing the test on a ReadError.
std::unique_ptr<TEntity> loadEntity(const std::vector<std::uint8_t>& bytes,
                                    const std::string& fileName = "fixture.cam");

void patchInt32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::int32_t value);

} // namespace vorlan::test
