#include "scene3d/PointGrid.h"

#include "scene3d/Geometry3D.h"

#include <bit>
#include <cassert>
#include <cmath>
#include <limits>

namespace vorlan {

namespace {
constexpr std::size_t kInitialSlots = 1024;
constexpr double kCellsPerUnit = 1.0 / PointGrid::kCellSize;
// Cell boundaries sit at this fraction of a cell past round numbers: design coordinates are often
// whole or half units, and a corner on a boundary has to look into the cells on both sides.
constexpr double kCellShift = 0.3711;

static_assert(PointGrid::kCellSize >= 2 * kSameValueTolerance);

bool isFinite(double x, double y, double z) {
  return std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
}

bool matches(double ax, double ay, double az, double bx, double by, double bz) {
  return SameValue(ax, bx) && SameValue(ay, by) && SameValue(az, bz);
}

std::uint64_t mix(std::uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  return h;
}
} // namespace

// Rounding is monotonic, so for any stored y with |y - x| < tolerance the cell of y lies between the
// cells of fl(x - tolerance) and fl(x + tolerance): a query over that range cannot miss a match.
// Far coordinates are never clamped into shared cells, which would compare every far corner with every
// other: their cell is named by the coordinate's own bits, above every ordinary cell number. There
// x - tolerance == x == x + tolerance, so a query visits that one cell.
std::int64_t PointGrid::cellOf(double v) {
  const double cell = std::floor(v * kCellsPerUnit + kCellShift);
  if (std::fabs(cell) < static_cast<double>(kCellLimit)) return static_cast<std::int64_t>(cell);
  const auto bits = static_cast<std::int64_t>(std::bit_cast<std::uint64_t>(std::fabs(v)));
  return v < 0 ? -bits : bits;
}

std::uint32_t PointGrid::hashOf(const CellKey& key) {
  std::uint64_t h = mix(static_cast<std::uint64_t>(key.x) * 0x9E3779B97F4A7C15ULL);
  h = mix(h ^ static_cast<std::uint64_t>(key.y) * 0xC2B2AE3D27D4EB4FULL);
  return static_cast<std::uint32_t>(mix(h ^ static_cast<std::uint64_t>(key.z) * 0x165667B19E3779F9ULL));
}

PointGrid::CellKey PointGrid::cellKeyOf(std::int32_t index) const {
  const Point& p = points_[static_cast<std::size_t>(index)];
  return {cellOf(p.x), cellOf(p.y), cellOf(p.z)};
}

// A slot names its cell through the cell's newest point, so it holds no key of its own.
std::size_t PointGrid::slotOf(const CellKey& key, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = hash & mask;
  while (slots_[i].newest != -1 && !(slots_[i].hash == hash && cellKeyOf(slots_[i].newest) == key))
    i = (i + 1) & mask;
  return i;
}

std::int32_t PointGrid::newestIn(const CellKey& key) const {
  if (slots_.empty()) return -1;
  return slots_[slotOf(key, hashOf(key))].newest;
}

void PointGrid::add(double x, double y, double z) {
  assert(points_.size() < static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()));
  const auto index = static_cast<std::int32_t>(points_.size());
  points_.push_back({x, y, z, -1});
  if (!isFinite(x, y, z)) return;
  if ((usedSlots_ + 1) * 2 > slots_.size()) grow();
  const CellKey key{cellOf(x), cellOf(y), cellOf(z)};
  const std::uint32_t hash = hashOf(key);
  Slot& slot = slots_[slotOf(key, hash)];
  if (slot.newest == -1) {
    slot.hash = hash;
    ++usedSlots_;
  }
  points_.back().older = slot.newest;
  slot.newest = index;
}

void PointGrid::grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? kInitialSlots : old.size() * 2, Slot{-1, 0});
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& s : old) {
    if (s.newest == -1) continue;
    std::size_t i = s.hash & mask;
    while (slots_[i].newest != -1)
      i = (i + 1) & mask;
    slots_[i] = s;
  }
}

std::int32_t PointGrid::lastMatchInCell(const CellKey& key, std::int32_t above, double x, double y,
                                        double z) const {
  for (std::int32_t i = newestIn(key); i > above; i = points_[i].older)
    if (matches(points_[i].x, points_[i].y, points_[i].z, x, y, z)) return i;
  return above;
}

std::int32_t PointGrid::findLastMatch(double x, double y, double z) const {
  if (!isFinite(x, y, z)) return -1;
  const CellKey lo{cellOf(x - kSameValueTolerance), cellOf(y - kSameValueTolerance),
                   cellOf(z - kSameValueTolerance)};
  const CellKey hi{cellOf(x + kSameValueTolerance), cellOf(y + kSameValueTolerance),
                   cellOf(z + kSameValueTolerance)};
  std::int32_t best = -1;
  for (std::int64_t cx = lo.x; cx <= hi.x; ++cx)
    for (std::int64_t cy = lo.y; cy <= hi.y; ++cy)
      for (std::int64_t cz = lo.z; cz <= hi.z; ++cz)
        best = lastMatchInCell({cx, cy, cz}, best, x, y, z);
  return best;
}

void PointGrid::clear() {
  points_.clear();
  slots_.clear();
  usedSlots_ = 0;
}

} // namespace vorlan
