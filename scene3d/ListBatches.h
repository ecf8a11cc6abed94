#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace vorlan {

// Faces an entity compiles into one display list; about a thousand keeps the lists few and each one
// large enough to draw as a single batch.
inline constexpr std::size_t kFacesPerList = 1000;

// One corner as a buffer object holds it: the floats a display list stores for the same calls.
struct TArrayVertex {
  std::array<float, 3> P;
  std::array<float, 3> N;
  std::array<float, 4> C;
  std::array<float, 2> T;
};

// A run of display lists, each holding the drawing of up to kFacesPerList consecutive items, and the
// vertex arrays drawn between their calls. The names are taken in the context current at compile
// time and freed in the current 3D rendering context.
class TListBatches {
public:
  TListBatches() = default;
  ~TListBatches();
  TListBatches(const TListBatches&) = delete;
  TListBatches& operator=(const TListBatches&) = delete;

  // With a context current: one list per run of items, each compiled by emit(first, end). False, with
  // nothing compiled, when no names are left or another list is being compiled (lists cannot nest).
  // DrawLines indexes `positions`.
  bool Compile(std::size_t itemCount, const std::function<void(std::size_t, std::size_t)>& emit,
               std::vector<TArrayVertex> positions = {});
  // While compiling: draws the indexed triangles at this point of the calls, from buffer objects
  // that Call draws between lists, since Mesa copies a buffer many times faster than it compiles the
  // vertices into a list. The list being compiled ends and another takes the calls that follow.
  void DrawTriangles(const std::vector<TArrayVertex>& vertices, const std::vector<std::uint32_t>& indices);
  // While compiling: draws lines between the positions given to Compile, in the current colour,
  // normal and texture coordinates, as the list would that drew the positions alone.
  void DrawLines(const std::vector<std::uint32_t>& indices);
  // While compiling: drops what the current run of items has compiled and starts its list again.
  void RestartList();
  bool Compiled() const { return compiled_; }
  void Call() const;
  // Frees the names; the next Compile starts afresh.
  void Release();

  // The lists that each run of items starts with.
  std::uint32_t First() const { return first_; }
  std::size_t Count() const { return count_; }

private:
  // A list to call, or when List is 0 the indices of a buffer to draw over a vertex buffer:
  // triangles with every attribute of their vertices, or lines between positions.
  struct Step {
    std::uint32_t List;
    std::uint32_t Vertices;
    std::uint32_t Indices;
    std::size_t Count;
    bool Lines;
  };
  void beginList(std::uint32_t name);
  // Triangles over `vertices`, or lines between the positions when there are none.
  void addDraw(const std::vector<TArrayVertex>* vertices, const std::vector<std::uint32_t>& indices);
  void drawRun(const Step& step) const;
  // Frees the names of steps [from, end) and of the shared positions.
  void deleteNames(std::size_t from, bool positions);

  std::uint32_t first_ = 0;
  std::size_t count_ = 0;
  bool compiled_ = false;
  bool failed_ = false;
  std::vector<Step> steps_;
  std::size_t runStart_ = 0; // the step the current run of items starts with
  std::uint32_t positions_ = 0;
};

} // namespace vorlan
