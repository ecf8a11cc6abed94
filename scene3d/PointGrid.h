#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorlan {

// Answers AddPoint's question in near-constant time: which listed point has the highest index among
// those whose X, Y and Z each pass SameValue with a new corner's? Points go into cubic cells of
// kCellSize; a query visits only the cells that the corner's tolerance box touches, and each cell's
// points newest first, so the first match in a cell is that cell's highest index.
class PointGrid {
public:
  // At least twice the merge tolerance, so a matching pair is never more than one cell apart per axis.
  static constexpr double kCellSize = 0.1;
  // Cell numbers up to this size are kept as they are. Beyond it a double's spacing is far wider than
  // the tolerance, so only equal coordinates match, and each coordinate gets a cell of its own.
  static constexpr std::int64_t kCellLimit = std::int64_t{1} << 62;

  // Lists the next point, whose index is the number of points listed before it. A point with a NaN or
  // infinite coordinate takes its index but no cell: it can never match.
  void add(double x, double y, double z);
  // The highest index of a listed point matching (x, y, z), or -1.
  std::int32_t findLastMatch(double x, double y, double z) const;
  std::size_t size() const { return points_.size(); }
  void clear();

private:
  struct Point {
    double x, y, z;
    std::int32_t older; // the next older point of the same cell, or -1
  };
  struct CellKey {
    std::int64_t x, y, z;
    friend bool operator==(const CellKey&, const CellKey&) = default;
  };
  struct Slot {
    std::int32_t newest; // -1 for an empty slot
    std::uint32_t hash;  // of the cell's key
  };

  static std::int64_t cellOf(double v);
  static std::uint32_t hashOf(const CellKey& key);
  CellKey cellKeyOf(std::int32_t index) const;
  std::size_t slotOf(const CellKey& key, std::uint32_t hash) const;
  std::int32_t newestIn(const CellKey& key) const;
  std::int32_t lastMatchInCell(const CellKey& key, std::int32_t above, double x, double y, double z) const;
  void grow();

  std::vector<Point> points_;
  std::vector<Slot> slots_; // open addressing, a power of two long (at most 2^32), at most half full
  std::size_t usedSlots_ = 0;
};

} // namespace vorlan
