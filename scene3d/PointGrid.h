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
  // The highest index of a listed point matching (x, y, z); when none matches, (x, y, z) is listed as
  // by add and the answer is -1.
  std::int32_t findOrAdd(double x, double y, double z);
  std::size_t size() const { return points_.size(); }
  void clear();

private:
  struct Point {
    double x, y, z;
    std::int32_t older; // the next older point of the same chain, or -1
  };
  struct Slot {
    std::int32_t newest; // -1 for an empty slot
    std::uint32_t hash;
  };

  std::size_t slotOf(std::uint32_t hash) const;
  std::int32_t lastMatchFrom(std::int32_t newest, std::int32_t above, double x, double y, double z) const;
  void listIn(std::size_t slot, std::uint32_t hash, double x, double y, double z);
  void listWithoutCell(double x, double y, double z);
  void growIfFull();
  void grow();

  // Both lists are read at random, once or more per corner; a big one goes on 2 MB pages, which
  // spare most of the address translations that 4 KB pages cost.
  template <typename T> struct LargePageAllocator {
    using value_type = T;
    LargePageAllocator() = default;
    template <typename U> LargePageAllocator(const LargePageAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(allocateLarge(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) { deallocateLarge(p, n * sizeof(T)); }
    friend bool operator==(const LargePageAllocator&, const LargePageAllocator&) { return true; }
  };
  static void* allocateLarge(std::size_t bytes);
  static void deallocateLarge(void* p, std::size_t bytes);

  std::vector<Point, LargePageAllocator<Point>> points_;
  // Open addressing, a power of two long (at most 2^32), at most half full; one slot per cell hash.
  std::vector<Slot, LargePageAllocator<Slot>> slots_;
  std::size_t usedSlots_ = 0;
};

} // namespace vorlan
