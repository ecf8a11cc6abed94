#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace vorlan {

// Faces an entity compiles into one display list; about a thousand keeps the lists few and each one
// large enough to draw as a single batch.
inline constexpr std::size_t kFacesPerList = 1000;

// A run of display lists, each holding the drawing of up to kFacesPerList consecutive items. The names
// are taken in the context current at compile time and freed in the current 3D rendering context.
class TListBatches {
public:
  TListBatches() = default;
  ~TListBatches();
  TListBatches(const TListBatches&) = delete;
  TListBatches& operator=(const TListBatches&) = delete;

  // With a context current: one list per run of items, each compiled by emit(first, end). False, with
  // nothing compiled, when no names are left or another list is being compiled (lists cannot nest).
  bool Compile(std::size_t itemCount, const std::function<void(std::size_t, std::size_t)>& emit);
  bool Compiled() const { return compiled_; }
  void Call() const;
  // Frees the names; the next Compile starts afresh.
  void Release();

  std::uint32_t First() const { return first_; }
  std::size_t Count() const { return count_; }

private:
  std::uint32_t first_ = 0;
  std::size_t count_ = 0;
  bool compiled_ = false;
};

} // namespace vorlan
