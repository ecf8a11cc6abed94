// Drawing of entities, faces and picture textures through OpenGL display lists and immediate mode.
#include "scene3d/EntityDrawing.h"

#include "gl/GlContext.h"
#include "scene3d/KX_OBJECTS.h"
#include "scene3d/Resample.h"
#include "scene3d/Tessellation.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace vorlan {
namespace {

// How far a lifted outline stands in front of its face, so that it is not hidden by the face itself.
constexpr double kOutlineLift = 0.1;
// How far along its normal a face is probed to see whether it looks toward the viewer.
constexpr double kFacingProbe = 100.0;

void sendRecord(const TessRecord& r) {
  glTexCoord2d(r.S, r.T);
  glColor4d(r.C[0], r.C[1], r.C[2], r.C[3]);
  glNormal3d(r.N.x, r.N.y, r.N.z);
  glVertex3d(r.P.x, r.P.y, r.P.z);
}

// The floats a list stores for a corner sent with double-precision calls.
TArrayVertex arrayVertex(const TessRecord& r) {
  const auto f = [](double v) { return static_cast<float>(v); };
  return {{f(r.P.x), f(r.P.y), f(r.P.z)},
          {f(r.N.x), f(r.N.y), f(r.N.z)},
          {f(r.C[0]), f(r.C[1]), f(r.C[2]), f(r.C[3])},
          {f(r.S), f(r.T)}};
}

TessRecord blended(const std::vector<TessRecord>& records, const TessBlend& blend) {
  TessRecord r{};
  for (std::size_t i = 0; i < blend.From.size(); ++i) {
    const double w = blend.Weights[i];
    if (w == 0) continue;
    const TessRecord& from = records[blend.From[i]];
    r.P = r.P + w * from.P;
    r.N = r.N + w * from.N;
    for (std::size_t c = 0; c < r.C.size(); ++c)
      r.C[c] += w * from.C[c];
    r.S += w * from.S;
    r.T += w * from.T;
  }
  return r;
}

// A primitive of n vertices, send(i) issuing vertex i with its attributes.
template <typename Send> void sendPrimitive(GLenum mode, std::size_t n, TListState& state, Send&& send) {
  state.BeginDirect();
  glBegin(mode);
  for (std::size_t i = 0; i < n; ++i)
    send(i);
  glEnd();
}

Vector3D positionOf(const TFace& face, const TMem& corner) {
  return face.Owner.PointOf(corner);
}

// The face's rings in the run's reusable lists.
TFaceRings& ringsOf(const TFace& face, TListState& state) {
  TFaceRings& rings = state.Rings();
  face.RingPositions(rings.Positions);
  rings.Corners.clear();
  rings.Records.clear();
  for (std::size_t r = 0; r < face.RingCount(); ++r) {
    const TConstCornerRing ring = face.Ring(r);
    for (std::size_t i = 0; i < ring.size(); ++i)
      rings.Corners.push_back(&ring[i]);
  }
  return rings;
}

// Each corner's record: its own position and texture coordinates, the normal and colour given.
template <typename NormalOf>
void fillRecords(TFaceRings& rings, NormalOf&& normalOf, const std::array<double, 4>& color) {
  std::size_t k = 0;
  for (const std::vector<Vector3D>& ring : rings.Positions)
    for (const Vector3D& p : ring) {
      const TMem& corner = *rings.Corners[k++];
      rings.Records.push_back({p, normalOf(corner), color, corner.U, corner.V});
    }
}

// The triangles OpenGL cuts a fan into, (0, i, i + 1) with the provoking vertex last, as one
// GL_TRIANGLES primitive: same picture, and this system's Mesa compiles them into a list about a
// third faster than fans.
void sendFanAsTriangles(const TFaceRings& rings, TListState& state) {
  const std::vector<TessRecord>& records = rings.Records;
  if (state.Arrays()) {
    state.ApplyTexture();
    state.AddFan(records, rings.Corners);
    return;
  }
  state.BeginDirect();
  glBegin(GL_TRIANGLES);
  for (std::size_t i = 1; i + 1 < records.size(); ++i) {
    sendRecord(records[0]);
    sendRecord(records[i]);
    sendRecord(records[i + 1]);
  }
  glEnd();
}

// The segments OpenGL cuts a line loop into, (i, i + 1) and the closing one, as one GL_LINES
// primitive: same picture while lines are not stippled, which they never are here, and this
// system's Mesa draws a list of them several times faster than of line loops.
template <typename Send> void sendLoopAsLines(std::size_t n, TListState& state, Send&& send) {
  if (n < 2) return;
  state.BeginDirect();
  glBegin(GL_LINES);
  for (std::size_t i = 0; i < n; ++i) {
    send(i);
    send((i + 1) % n);
  }
  glEnd();
}

// Filled by the odd rule; a single ring that the tessellator would answer with a fan skips it.
void sendTessellated(TFaceRings& rings, TListState& state) {
  std::vector<TessRecord>& records = rings.Records;
  if (rings.Positions.size() == 1 && TakesFanPath(rings.Positions[0])) {
    if (state.Batched()) return sendFanAsTriangles(rings, state);
    sendPrimitive(records.size() == 3 ? GL_TRIANGLES : GL_TRIANGLE_FAN, records.size(), state,
                  [&](std::size_t i) { sendRecord(records[i]); });
    return;
  }
  const Tessellation tessellation = TessellateOdd(rings.Positions);
  for (const TessBlend& blend : tessellation.Blends)
    records.push_back(blended(records, blend));
  for (const TessPrimitive& primitive : tessellation.Primitives)
    sendPrimitive(primitive.Mode, primitive.Vertices.size(), state,
                  [&](std::size_t i) { sendRecord(records[primitive.Vertices[i]]); });
}

std::array<double, 4> unitColor(std::uint8_t R, std::uint8_t G, std::uint8_t B, std::uint8_t A) {
  return {R / 255.0, G / 255.0, B / 255.0, A / 255.0};
}

double between(double a, double b, int j, int S) {
  return a + (b - a) * j / S;
}

Vector3D between(const Vector3D& a, const Vector3D& b, int j, int S) {
  return {between(a.x, b.x, j, S), between(a.y, b.y, j, S), between(a.z, b.z, j, S)};
}

struct ViewTransform {
  std::array<GLint, 4> Viewport;
  std::array<GLdouble, 16> Modelview;
  std::array<GLdouble, 16> Projection;
};

ViewTransform currentTransform() {
  ViewTransform p{};
  glGetIntegerv(GL_VIEWPORT, p.Viewport.data());
  glGetDoublev(GL_MODELVIEW_MATRIX, p.Modelview.data());
  glGetDoublev(GL_PROJECTION_MATRIX, p.Projection.data());
  return p;
}

std::optional<double> windowDepth(const Vector3D& v, const ViewTransform& p) {
  GLdouble x = 0, y = 0, z = 0;
  if (!gluProject(v.x, v.y, v.z, p.Modelview.data(), p.Projection.data(), p.Viewport.data(), &x, &y, &z))
    return std::nullopt;
  return z;
}

// The first corner of the face's rings: the first contour's, or of the next contour that has one.
std::optional<Vector3D> firstCorner(TFace& face) {
  std::optional<Vector3D> first;
  face.ForEachCorner([&](const TMem& corner) {
    if (!first) first = positionOf(face, corner);
  });
  return first;
}

bool rendering() {
  GLint mode = 0;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  return mode == GL_RENDER;
}

// The face looks toward the viewer when a point in front of it is nearer than the face.
bool looksTowardViewer(TFace& face, const ViewTransform& p) {
  const std::optional<Vector3D> corner = firstCorner(face);
  if (!corner) return false;
  const std::optional<double> onFace = windowDepth(*corner, p);
  const std::optional<double> inFront = windowDepth(*corner + kFacingProbe * face.Normal, p);
  return onFace && inFront && *inFront < *onFace;
}

// Calls segment(a, b) with the point indices of each edge the face's outline draws, in drawing order:
// ring by ring, corner i to corner i + 1 and the last back to the first.
template <typename Segment> void forEachOutlineSegment(const TFace& face, Segment&& segment) {
  for (std::size_t r = 0; r < face.RingCount(); ++r) {
    const TConstCornerRing ring = face.Ring(r);
    const std::size_t n = ring.size();
    if (n < 2) continue;
    for (std::size_t i = 0; i < n; ++i)
      segment(ring[i].Index, ring[(i + 1) % n].Index);
  }
}

// Beyond this many edges at one point, repeats are not looked for there: they are drawn again,
// which only costs time, rather than searched for at a cost that grows with the square.
constexpr std::size_t kMaxEdgesSearchedAtAPoint = 64;

// Whether each outline segment, in drawing order over all faces, is the first to join its two
// points. The outlines are all black, flat and unlifted, so a later segment between the same two
// points draws the pixels the first has drawn; walked the other way, as the next face of a mesh
// walks it, Mesa's software rasteriser may step a pixel of a line differently, a difference no one
// sees while the camera moves.
std::vector<bool> firstSegments(const TEntity& entity) {
  const std::size_t pointCount = entity.Points.size();
  std::vector<std::uint32_t> start(pointCount + 1, 0);
  std::size_t segments = 0;
  for (const auto& face : entity.Faces)
    forEachOutlineSegment(*face, [&](std::int32_t a, std::int32_t b) {
      ++start[static_cast<std::size_t>(std::min(a, b)) + 1];
      ++segments;
    });
  for (std::size_t p = 0; p < pointCount; ++p)
    start[p + 1] += start[p];
  std::vector<std::int32_t> partners(segments);
  std::vector<std::uint32_t> filled(start.begin(), start.end() - 1);
  std::vector<bool> first(segments);
  std::size_t k = 0;
  for (const auto& face : entity.Faces)
    forEachOutlineSegment(*face, [&](std::int32_t a, std::int32_t b) {
      const auto low = static_cast<std::size_t>(std::min(a, b));
      const std::int32_t high = std::max(a, b);
      const auto begin = partners.begin() + start[low], end = partners.begin() + filled[low];
      const bool searched = static_cast<std::size_t>(end - begin) < kMaxEdgesSearchedAtAPoint;
      first[k++] = !searched || std::find(begin, end, high) == end;
      if (first[k - 1]) partners[filled[low]++] = high;
    });
  return first;
}

} // namespace

// ---- TListState

void TListState::ShadeFlat() {
  unfit();
  Flush();
  if (flat_) return;
  glShadeModel(GL_FLAT);
  flat_ = true;
}

void TListState::Flush() {
  DrawTriangles();
  ApplyTexture();
}

void TListState::BeginDirect() {
  unfit();
  Flush();
}

void TListState::ApplyTexture() {
  if (!wantedTexture_) return;
  if (wantedTexture_ != texture_) {
    DrawTriangles();
    if (!drawnFromBuffers_) unfit();
    if (*wantedTexture_)
      glEnable(GL_TEXTURE_2D);
    else
      glDisable(GL_TEXTURE_2D);
    texture_ = wantedTexture_;
  }
  wantedTexture_.reset();
}

void TListState::AddFan(const std::vector<TessRecord>& corners, const std::vector<const TMem*>& points) {
  if (corners.size() < 3) return;
  if (!buffers_) {
    for (std::size_t i = 1; i + 1 < corners.size(); ++i)
      triangles_.insert(triangles_.end(), {corners[0], corners[i], corners[i + 1]});
    return;
  }
  bufferFan_.clear();
  for (std::size_t k = 0; k < corners.size(); ++k)
    bufferFan_.push_back(bufferVertex(corners[k], points[k]->Index));
  for (std::size_t i = 1; i + 1 < bufferFan_.size(); ++i)
    bufferIndices_.insert(bufferIndices_.end(), {bufferFan_[0], bufferFan_[i], bufferFan_[i + 1]});
}

// A corner that repeats the last vertex held for its point, bit for bit, reuses it: faces of a mesh
// share most corners, and each vertex drawn once is lit once.
std::uint32_t TListState::bufferVertex(const TessRecord& corner, std::int32_t point) {
  const TArrayVertex vertex = arrayVertex(corner);
  const auto next = static_cast<std::uint32_t>(bufferVertices_.size());
  if (point >= 0) {
    const auto p = static_cast<std::size_t>(point);
    if (pointVertex_.size() <= p) pointVertex_.resize(p + 1);
    PointVertex& last = pointVertex_[p];
    if (last.Generation == generation_ &&
        std::memcmp(&bufferVertices_[last.Vertex], &vertex, sizeof(TArrayVertex)) == 0)
      return last.Vertex;
    last = {generation_, next};
  }
  bufferVertices_.push_back(vertex);
  return next;
}

void TListState::HoldInBuffers(TListBatches* Lists) {
  buffers_ = Lists;
  fitForBuffers_ = true;
  drawnFromBuffers_ = false;
}

void TListState::Restore(const Known& known) {
  texture_ = known.Texture;
  wantedTexture_ = known.WantedTexture;
  flat_ = known.Flat;
  triangles_.clear();
  bufferVertices_.clear();
  bufferIndices_.clear();
  ++generation_;
}

// The arrays carry every attribute in the type the corner calls use, so the list stores the same
// numbers. Client state is not compiled into a list; it is set and put back around the call.
void TListState::DrawTriangles() {
  if (!bufferIndices_.empty()) {
    if (drawnFromBuffers_) unfit();
    buffers_->DrawTriangles(bufferVertices_, bufferIndices_);
    drawnFromBuffers_ = true;
    bufferVertices_.clear();
    bufferIndices_.clear();
    ++generation_;
  }
  if (triangles_.empty()) return;
  constexpr GLsizei stride = sizeof(TessRecord);
  const TessRecord& r = triangles_.front();
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_DOUBLE, stride, &r.P.x);
  glNormalPointer(GL_DOUBLE, stride, &r.N.x);
  glColorPointer(4, GL_DOUBLE, stride, r.C.data());
  glTexCoordPointer(2, GL_DOUBLE, stride, &r.S);
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(triangles_.size()));
  glPopClientAttrib();
  triangles_.clear();
}

// ---- TFace

TFace::DirectVertex TFace::DirectVertex::Of(const Vector3D& P, const Vector3D& N, double U, double V) {
  return {P,
          {static_cast<float>(N.x), static_cast<float>(N.y), static_cast<float>(N.z)},
          static_cast<float>(U),
          static_cast<float>(V)};
}

bool TFace::TexturingOn() const {
  return Textured && Owner.UseTexture && (Owner.Texture || Owner.Mapping);
}

Vector3D TFace::CornerNormal(const TMem& corner) const {
  const bool pointNormal = Shading == TShading::Smooth || (Shading == TShading::ByAngle && corner.Smooth);
  return pointNormal ? Owner.Points[static_cast<std::size_t>(corner.Index)].Normal() : Normal;
}

void TFace::Compile() {
  TListState state;
  Compile(state);
  state.Flush();
}

void TFace::Compile(TListState& State) {
  const bool textured = TexturingOn();
  if (textured) State.Texture(true);
  if (Contours.empty() && !Tessellate) {
    const bool strips = Refs.size() == 4 && Owner.StripCount != 1;
    const std::vector<DirectVertex> vertices = strips ? StripVertices() : PolygonVertices();
    sendPrimitive(strips ? GL_QUAD_STRIP : GL_POLYGON, vertices.size(), State, [&](std::size_t i) {
      const DirectVertex& v = vertices[i];
      glNormal3f(v.N[0], v.N[1], v.N[2]);
      glColor4ub(Color.R, Color.G, Color.B, Color.A);
      if (textured) glTexCoord2f(v.U, v.V);
      glVertex3d(v.P.x, v.P.y, v.P.z);
    });
  } else {
    TFaceRings& rings = ringsOf(*this, State);
    const auto normalOf = [&](const TMem& corner) { return CornerNormal(corner); };
    fillRecords(rings, normalOf, unitColor(Color.R, Color.G, Color.B, Color.A));
    sendTessellated(rings, State);
  }
  if (textured) State.Texture(false);
}

void TFace::DrawOutline() {
  TListState state;
  DrawOutline(state, 0);
}

void TFace::DrawLiftedOutline() {
  TListState state;
  DrawOutline(state, kOutlineLift);
}

void TFace::DrawOutline(TListState& State, double Lift) {
  State.ShadeFlat();
  const Vector3D lift = Lift * Normal;
  for (std::size_t r = 0; r < RingCount(); ++r) {
    // A contour without corners draws nothing; a face without contours draws its loop as it is.
    if (!Contours.empty() && Contours[r].Refs.empty()) continue;
    const TConstCornerRing ring = Ring(r);
    const std::size_t n = ring.size();
    const auto send = [&](std::size_t i) {
      const Vector3D p = positionOf(*this, ring[i]);
      const Vector3D q = Lift == 0 ? p : p + lift;
      glColor3ub(0, 0, 0);
      glVertex3d(q.x, q.y, q.z);
    };
    if (State.Batched())
      sendLoopAsLines(n, State, send);
    else
      sendPrimitive(GL_LINE_LOOP, n, State, send);
  }
}

std::vector<TFace::DirectVertex> TFace::PolygonVertices() const {
  std::vector<DirectVertex> vertices;
  vertices.reserve(Refs.size());
  for (const TMem& corner : Refs)
    vertices.push_back(DirectVertex::Of(positionOf(*this, corner), CornerNormal(corner), corner.U, corner.V));
  return vertices;
}

// Cut into strips across the edges 0-3 and 1-2: corners 0 and 1, then for each step j of S the
// points j/S along those edges, lit as corners 3 and 2.
std::vector<TFace::DirectVertex> TFace::StripVertices() const {
  const int S = Owner.StripCount;
  const TMem &c0 = Refs[0], &c1 = Refs[1], &c2 = Refs[2], &c3 = Refs[3];
  const Vector3D p0 = positionOf(*this, c0), p1 = positionOf(*this, c1);
  const Vector3D p2 = positionOf(*this, c2), p3 = positionOf(*this, c3);
  std::vector<DirectVertex> vertices{DirectVertex::Of(p0, CornerNormal(c0), c0.U, c0.V),
                                     DirectVertex::Of(p1, CornerNormal(c1), c1.U, c1.V)};
  for (int j = 1; j <= S; ++j) {
    vertices.push_back(DirectVertex::Of(between(p0, p3, j, S), CornerNormal(c3), between(c0.U, c3.U, j, S),
                                        between(c0.V, c3.V, j, S)));
    vertices.push_back(DirectVertex::Of(between(p1, p2, j, S), CornerNormal(c2), between(c1.U, c2.U, j, S),
                                        between(c1.V, c2.V, j, S)));
  }
  return vertices;
}

void TFace::DrawSolid(std::uint8_t R, std::uint8_t G, std::uint8_t B, std::uint8_t A, TListState& state) {
  if (Contours.empty() && !Tessellate) {
    glShadeModel(GL_FLAT);
    sendPrimitive(GL_POLYGON, Refs.size(), state, [&](std::size_t i) {
      const Vector3D p = positionOf(*this, Refs[i]);
      glColor4ub(R, G, B, A);
      glVertex3d(p.x, p.y, p.z);
    });
    return;
  }
  TFaceRings& rings = ringsOf(*this, state);
  const auto faceNormal = [&](const TMem&) { return Normal; };
  fillRecords(rings, faceNormal, unitColor(R, G, B, A));
  sendTessellated(rings, state);
}

// ---- TEntity

void ApplyPlacement(const TObjects& Object) {
  glTranslatef(static_cast<GLfloat>(Object.Position.x), static_cast<GLfloat>(Object.Position.y),
               static_cast<GLfloat>(Object.Position.z));
  glRotatef(static_cast<GLfloat>(Object.Rotation.x), 1, 0, 0);
  glRotatef(static_cast<GLfloat>(Object.Rotation.y), 0, 1, 0);
  glRotatef(static_cast<GLfloat>(Object.Rotation.z), 0, 0, 1);
}

// The faces as one list per face would draw them, in order: in the mapping case texturing follows
// each face's Textured first, then the face, then its lifted outline when its edges show.
void TEntity::EmitFaces(std::size_t first, std::size_t end, TListState& state) {
  const bool mapped = MappingCase();
  for (std::size_t i = first; i < end; ++i) {
    if (state.GivenUp()) return;
    TFace& face = *Faces[i];
    if (mapped) state.Texture(face.Textured);
    face.Compile(state);
    if (!face.HideEdges) face.DrawOutline(state, kOutlineLift);
  }
  if (end == Faces.size()) state.Flush();
  state.DrawTriangles();
}

void TEntity::EmitOutlines(std::size_t first, std::size_t end, TListState& state) {
  for (std::size_t i = first; i < end; ++i)
    Faces[i]->DrawOutline(state, 0);
}

// The outlines of faces [first, end) as one run of segments, leaving out those `drawn` says repeat
// an earlier one; `segment` counts the segments of the faces before `first`.
void TEntity::EmitSharedOutlines(std::size_t first, std::size_t end, const std::vector<bool>& drawn,
                                 std::size_t& segment, TListState& state) {
  state.ShadeFlat();
  std::vector<std::uint32_t> ends;
  for (std::size_t i = first; i < end; ++i)
    forEachOutlineSegment(*Faces[i], [&](std::int32_t a, std::int32_t b) {
      if (drawn[segment++])
        ends.insert(ends.end(), {static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b)});
    });
  if (ends.empty()) return;
  state.Flush();
  // Once before the run rather than at every corner: the list then keeps positions alone.
  glColor3ub(0, 0, 0);
  state.Buffers()->DrawLines(ends);
}

void TEntity::CompileLists() {
  CurrentContextGuard guard;
  if (!guard.active()) return;
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  // One run over all the lists: Draw calls them in order, so each starts in the state the one before
  // it left.
  TListState state(true, true);
  faceLists_.Compile(Faces.size(), [&](std::size_t first, std::size_t end) {
    const TListState::Known start = state.Knowledge();
    state.HoldInBuffers(&faceLists_);
    EmitFaces(first, end, state);
    if (!state.GivenUp()) return;
    faceLists_.RestartList();
    state.Restore(start);
    state.HoldInBuffers(nullptr);
    EmitFaces(first, end, state);
  });
  outlineLists_.Release();
}

void TEntity::ReleaseGlNames() {
  faceLists_.Release();
  outlineLists_.Release();
  if (Texture) Texture->DeleteTexture();
}

void TEntity::Draw(bool Textured, bool, bool Solid, bool, bool, bool, std::int32_t) {
  glPushMatrix();
  ApplyPlacement(*this);
  const bool textured = UseTexture && Textured && Filled;
  SetUpTexture(textured);
  if (Solid && Filled)
    DrawFaces();
  else
    DrawOutlines();
  TearDownTexture(textured);
  glPopMatrix();
}

void TEntity::SetUpTexture(bool textured) {
  if (textured && Texture) {
    Texture->Bind();
  } else if (textured && Mapping) {
    glEnable(GL_TEXTURE_2D);
    Mapping->Bind();
  } else {
    glDisable(GL_TEXTURE_2D);
  }
}

void TEntity::TearDownTexture(bool textured) {
  if (textured && Texture)
    Texture->Bind();
  else if (textured && Mapping)
    glDisable(GL_TEXTURE_2D);
}

// Lists that cannot be compiled (no names left, or inside another list) give way to drawing the same
// calls directly, which inside another list land in that one. So do feedback and selection: there
// the Mesa of this system runs lists wrongly (it drops primitives that follow one of another kind,
// and crashes on runs of lines), while it renders them faithfully.
void TEntity::DrawFaces() {
  if (rendering()) {
    if (!faceLists_.Compiled()) CompileLists();
    if (faceLists_.Compiled()) return faceLists_.Call();
  }
  TListState state(true);
  EmitFaces(0, Faces.size(), state);
}

// Compiled on first use: a view that never moves its camera never needs them.
void TEntity::DrawOutlines() {
  if (rendering()) {
    if (!outlineLists_.Compiled()) CompileOutlineLists();
    if (outlineLists_.Compiled()) return outlineLists_.Call();
  }
  TListState state(true);
  EmitOutlines(0, Faces.size(), state);
}

// An edge that two faces share is drawn once: a mesh of quads has half the segments its faces outline.
void TEntity::CompileOutlineLists() {
  TListState state(true);
  state.HoldInBuffers(&outlineLists_);
  const std::vector<bool> drawn = firstSegments(*this);
  std::vector<TArrayVertex> positions(Points.size());
  for (std::size_t k = 0; k < Points.size(); ++k)
    positions[k].P = {static_cast<float>(Points[k].X), static_cast<float>(Points[k].Y),
                      static_cast<float>(Points[k].Z)};
  std::size_t segment = 0;
  outlineLists_.Compile(
      Faces.size(),
      [&](std::size_t first, std::size_t end) { EmitSharedOutlines(first, end, drawn, segment, state); },
      std::move(positions));
}

void TEntity::DrawPaperFill() {
  glPushMatrix();
  ApplyPlacement(*this);
  glDisable(GL_TEXTURE_2D);
  TListState state;
  for (const auto& face : Faces)
    face->DrawSolid(255, 255, 255, 255, state);
  glPopMatrix();
}

// The matrices are read inside the placement, so the facing test sees the entity where it is drawn.
void TEntity::DrawPaperLine() {
  GLint mode = 0;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  glPushMatrix();
  ApplyPlacement(*this);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LINE_STIPPLE);
  const bool feedback = mode == GL_FEEDBACK;
  const ViewTransform view = feedback ? currentTransform() : ViewTransform{};
  for (const auto& face : Faces) {
    if (feedback && !looksTowardViewer(*face, view)) continue;
    if (feedback) glPassThrough(1.0f);
    face->DrawOutline();
  }
  glPopMatrix();
}

// ---- TTexture

TTexture::TTexture(const QImage& Picture, double Width, double Height)
    : Width(Width), Height(Height), Picture(Picture) {
  Build();
}

void TTexture::Build() {
  CurrentContextGuard guard;
  if (!guard.active()) return;
  const std::vector<std::uint8_t> rgb = ResampleRGB(Picture);
  Tex.upload(kResampledSize, kResampledSize, 3, rgb.data(), TextureLevels::Mipmaps);
}

void TTexture::Bind() {
  if (Tex.name() == 0) Build();
  Tex.bind({WrapS, WrapT, MagFilter, MinFilter, EnvMode});
}

void TTexture::DeleteTexture() {
  Tex.destroy();
}

} // namespace vorlan
