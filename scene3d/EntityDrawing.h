#pragma once

#include "scene3d/Geometry3D.h"
#include "scene3d/ListBatches.h"

#include <array>
#include <optional>
#include <vector>

namespace vorlan {

struct TMem;

// One corner as tessellated faces send it: position, normal, colour in 0..1, texture coordinates.
struct TessRecord {
  Vector3D P;
  Vector3D N;
  std::array<double, 4> C;
  double S;
  double T;
};

// The rings of a face as the tessellator takes them, one per contour or the face's corners, and one
// record per corner in ring order.
struct TFaceRings {
  std::vector<std::vector<Vector3D>> Positions;
  std::vector<const TMem*> Corners; // of every ring, in order
  std::vector<TessRecord> Records;
};

// The calls of consecutive faces drawn in one run, into one or more display lists called in order or
// directly. Each face asks for texturing on or off and for flat shading as it would alone; a request
// reaches OpenGL only when it changes the state that the calls before it in the run have set, so a
// run of like faces stays one batch of geometry while every vertex sees the same state as when the
// faces are drawn one by one. A fresh run knows no state and passes every request on.
class TListState {
public:
  // Batched: the run may send a primitive as other primitives that draw the same picture. Arrays
  // (for compiling only): triangles of consecutive faces go into the list as one vertex array of the
  // same values, which Mesa compiles many times faster than a call per attribute and corner.
  explicit TListState(bool Batched = false, bool Arrays = false) : batched_(Batched), arrays_(Arrays) {}

  bool Batched() const { return batched_; }
  bool Arrays() const { return arrays_; }
  void Texture(bool On) { wantedTexture_ = On; }
  void ShadeFlat();
  // Draws the triangles held back and passes on a pending texture request; call before geometry and
  // at the end of the run.
  void Flush();
  // Passes on a pending texture request, drawing the triangles held back first when it changes the
  // state; call before adding triangles.
  void ApplyTexture();
  // The triangles OpenGL cuts a fan of these corners into.
  void AddFan(const std::vector<TessRecord>& corners, const std::vector<const TMem*>& points);
  // Draws the triangles held back, so that a list ends with its own.
  void DrawTriangles();

  // While lists compile, a list that would hold a single vertex array of triangles and nothing before
  // it has its triangles drawn from buffer objects instead (TListBatches::DrawTriangles), which Mesa
  // fills many times faster. Only such a list leaves the current normal, colour and texture
  // coordinates as it found them, as a draw from buffers does, and outlines drawn later take them:
  // once the run sends anything else it has GivenUp, and the caller compiles it again as a list.
  // Shared outlines always draw their lines from buffers (TListBatches::DrawLines).
  void HoldInBuffers(TListBatches* Lists);
  bool GivenUp() const { return buffers_ && !fitForBuffers_; }
  TListBatches* Buffers() const { return buffers_; }
  // Flushes before calls that set attributes one by one.
  void BeginDirect();
  // The requests a run of lists starts with, to compile one of them again from the same state.
  struct Known {
    std::optional<bool> Texture, WantedTexture;
    bool Flat;
  };
  Known Knowledge() const { return {texture_, wantedTexture_, flat_}; }
  void Restore(const Known& known);
  // The rings of the face being sent. A run of faces reuses them, sparing an allocation per ring
  // and per face.
  TFaceRings& Rings() { return rings_; }

private:
  void unfit() { fitForBuffers_ = false; }
  std::uint32_t bufferVertex(const TessRecord& corner, std::int32_t point);

  // The last vertex held for a point, while Generation is that of the vertices held.
  struct PointVertex {
    std::uint32_t Generation = 0;
    std::uint32_t Vertex = 0;
  };

  TFaceRings rings_;
  std::vector<TessRecord> triangles_;
  TListBatches* buffers_ = nullptr;
  std::vector<TArrayVertex> bufferVertices_;
  std::vector<std::uint32_t> bufferIndices_;
  std::vector<std::uint32_t> bufferFan_;
  std::vector<PointVertex> pointVertex_;
  std::uint32_t generation_ = 1;
  bool fitForBuffers_ = true;
  bool drawnFromBuffers_ = false;
  bool batched_;
  bool arrays_;
  std::optional<bool> texture_;
  std::optional<bool> wantedTexture_;
  bool flat_ = false;
};

} // namespace vorlan
