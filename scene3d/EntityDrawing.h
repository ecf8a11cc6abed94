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
  // Batched: the run may send a primitive as other primitives that draw the same picture. Lists,
  // while they are being compiled: triangles and outline segments of consecutive faces go to them as
  // vertex arrays of the same values, drawn in the same order.
  explicit TListState(bool Batched = false, TListBatches* Lists = nullptr)
      : batched_(Batched), lists_(Lists) {}

  bool Batched() const { return batched_; }
  bool Arrays() const { return lists_ != nullptr; }
  void Texture(bool On) { wantedTexture_ = On; }
  void ShadeFlat();
  // Draws the vertices held back and passes on a pending texture request; call before geometry and
  // at the end of the run.
  void Flush();
  // Flushes before calls that set attributes one by one, after which what the held vertices leave
  // current is no longer known.
  void BeginDirect();
  // Passes on a pending texture request, drawing the vertices held back first when it changes the
  // state; call before adding triangles.
  void ApplyTexture();
  // The triangles OpenGL cuts a fan of these corners into.
  void AddFan(const std::vector<TessRecord>& corners);
  // Holds back a black segment whose other attributes are those the vertex before it left current,
  // as glColor3ub and glVertex3d calls would send it; false, holding nothing, where those are not
  // known (nothing held since the last direct call or the start of the list).
  bool AddLine(const Vector3D& a, const Vector3D& b);
  // Draws the vertices held back, so that a list ends with its own, and forgets what is current:
  // the next list starts afresh.
  void EndList();
  // The rings of the face being sent. A run of faces reuses them, sparing an allocation per ring
  // and per face.
  TFaceRings& Rings() { return rings_; }

private:
  // Held indices are drawn in runs of one primitive each, in the order they were added.
  void holdIndex(std::uint32_t mode, std::size_t index);
  void drawHeld();

  TFaceRings rings_;
  std::vector<TArrayVertex> held_;
  std::vector<std::uint32_t> heldIndices_;
  std::vector<TIndexRun> runs_;
  std::optional<TArrayVertex> current_;
  bool batched_;
  TListBatches* lists_;
  std::optional<bool> texture_;
  std::optional<bool> wantedTexture_;
  bool flat_ = false;
};

} // namespace vorlan
