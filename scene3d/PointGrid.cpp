#include "scene3d/PointGrid.h"

#include "scene3d/Geometry3D.h"

#include <sys/mman.h>

#include <bit>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <tuple>
#include <utility>

namespace vorlan {

namespace {
constexpr std::size_t kInitialSlots = 1024;
constexpr std::size_t kLargePage = std::size_t{2} << 20;
std::size_t roundedToLargePages(std::size_t bytes) {
  return (bytes + kLargePage - 1) / kLargePage * kLargePage;
}
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

// Rounding is monotonic, so for any stored y with |y - x| < tolerance the cell of y lies between the
// cells of fl(x - tolerance) and fl(x + tolerance): a query over that range cannot miss a match.
// Far coordinates are never clamped into shared cells, which would compare every far corner with every
// other: their cell is named by the coordinate's own bits, above every ordinary cell number. There
// x - tolerance == x == x + tolerance, so a query visits that one cell.
// Every corner of a big mesh takes nine of these, hence inline and a floor by truncating and stepping
// down when that went up, exact below the limit, where every double past 2^53 is whole already.
[[gnu::always_inline]] inline std::int64_t cellOf(double v) {
  const double scaled = v * kCellsPerUnit + kCellShift;
  if (std::fabs(scaled) < static_cast<double>(PointGrid::kCellLimit)) [[likely]] {
    const auto truncated = static_cast<std::int64_t>(scaled);
    return truncated - (scaled < static_cast<double>(truncated) ? 1 : 0);
  }
  const auto bits = static_cast<std::int64_t>(std::bit_cast<std::uint64_t>(std::fabs(v)));
  return v < 0 ? -bits : bits;
}

struct CellKey {
  std::int64_t x, y, z;
  friend bool operator==(const CellKey&, const CellKey&) = default;
};

[[gnu::always_inline]] inline CellKey cellKeyOf(double x, double y, double z) {
  return {cellOf(x), cellOf(y), cellOf(z)};
}

[[gnu::always_inline]] inline std::uint32_t hashOf(const CellKey& key) {
  std::uint64_t h = mix(static_cast<std::uint64_t>(key.x) * 0x9E3779B97F4A7C15ULL);
  h = mix(h ^ static_cast<std::uint64_t>(key.y) * 0xC2B2AE3D27D4EB4FULL);
  return static_cast<std::uint32_t>(mix(h ^ static_cast<std::uint64_t>(key.z) * 0x165667B19E3779F9ULL));
}
} // namespace

// A slot chains the points of every cell whose key has its hash, newest first. Cells that share a
// hash (rarely) share a chain: a query then also compares the other cell's points, which costs a
// little time but never a wrong answer, as each point is compared in full. So a slot needs no key.
std::size_t PointGrid::slotOf(std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = hash & mask;
  while (slots_[i].newest != -1 && slots_[i].hash != hash)
    i = (i + 1) & mask;
  return i;
}

void PointGrid::add(double x, double y, double z) {
  if (!isFinite(x, y, z)) return listWithoutCell(x, y, z);
  growIfFull();
  const std::uint32_t hash = hashOf(cellKeyOf(x, y, z));
  listIn(slotOf(hash), hash, x, y, z);
}

std::int32_t PointGrid::findOrAdd(double x, double y, double z) {
  if (!isFinite(x, y, z)) {
    listWithoutCell(x, y, z);
    return -1;
  }
  // Grown first, so that the slot found for the point's own cell is still where it goes.
  growIfFull();
  const CellKey lo = cellKeyOf(x - kSameValueTolerance, y - kSameValueTolerance, z - kSameValueTolerance);
  const CellKey hi = cellKeyOf(x + kSameValueTolerance, y + kSameValueTolerance, z + kSameValueTolerance);
  // Mostly the tolerance box lies in one cell, which is then the point's own.
  const auto own = [](double v, std::int64_t low, std::int64_t high) {
    return low == high ? low : cellOf(v);
  };
  const CellKey ownKey{own(x, lo.x, hi.x), own(y, lo.y, hi.y), own(z, lo.z, hi.z)};
  std::int32_t best = -1;
  std::size_t ownSlot = 0;
  std::uint32_t ownHash = 0;
  for (std::int64_t cx = lo.x; cx <= hi.x; ++cx)
    for (std::int64_t cy = lo.y; cy <= hi.y; ++cy)
      for (std::int64_t cz = lo.z; cz <= hi.z; ++cz) {
        const CellKey key{cx, cy, cz};
        const std::uint32_t hash = hashOf(key);
        const std::size_t slot = slotOf(hash);
        if (key == ownKey) std::tie(ownSlot, ownHash) = std::pair(slot, hash);
        best = lastMatchFrom(slots_[slot].newest, best, x, y, z);
      }
  if (best < 0) listIn(ownSlot, ownHash, x, y, z);
  return best;
}

// The point goes first in the chain of the cell whose slot is `slot`.
void PointGrid::listIn(std::size_t slot, std::uint32_t hash, double x, double y, double z) {
  assert(points_.size() < static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()));
  Slot& s = slots_[slot];
  if (s.newest == -1) {
    s.hash = hash;
    ++usedSlots_;
  }
  points_.push_back({x, y, z, s.newest});
  s.newest = static_cast<std::int32_t>(points_.size() - 1);
}

void PointGrid::listWithoutCell(double x, double y, double z) {
  assert(points_.size() < static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()));
  points_.push_back({x, y, z, -1});
}

void PointGrid::growIfFull() {
  if ((usedSlots_ + 1) * 2 > slots_.size()) grow();
}

void PointGrid::grow() {
  auto old = std::move(slots_);
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

// Each chain runs newest first, so its first match is its highest index; points at or below `above`,
// the best match so far, need no look.
std::int32_t PointGrid::lastMatchFrom(std::int32_t newest, std::int32_t above, double x, double y,
                                      double z) const {
  for (std::int32_t i = newest; i > above; i = points_[static_cast<std::size_t>(i)].older) {
    const Point& p = points_[static_cast<std::size_t>(i)];
    if (matches(p.x, p.y, p.z, x, y, z)) return i;
  }
  return above;
}

// Smaller lists stay on ordinary pages, so that the grids of many small entities do not take 2 MB each.
// A big one is a mapping of its own, aligned to a large page, rather than heap memory: the advice then
// goes with it and never reaches memory that the heap hands out later. Where the system gives no
// large pages the advice is ignored and the list works the same.
void* PointGrid::allocateLarge(std::size_t bytes) {
  if (bytes < kLargePage) return ::operator new(bytes);
  const std::size_t size = roundedToLargePages(bytes);
  void* mapped =
      ::mmap(nullptr, size + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  auto* start = static_cast<std::uint8_t*>(mapped);
  auto* aligned = start + (kLargePage - reinterpret_cast<std::uintptr_t>(start) % kLargePage) % kLargePage;
  if (aligned > start) ::munmap(start, static_cast<std::size_t>(aligned - start));
  ::munmap(aligned + size, static_cast<std::size_t>(start + kLargePage - aligned));
  ::madvise(aligned, size, MADV_HUGEPAGE);
  return aligned;
}

void PointGrid::deallocateLarge(void* p, std::size_t bytes) {
  if (bytes < kLargePage)
    ::operator delete(p);
  else
    ::munmap(p, roundedToLargePages(bytes));
}

void PointGrid::clear() {
  points_.clear();
  slots_.clear();
  usedSlots_ = 0;
}

} // namespace vorlan
