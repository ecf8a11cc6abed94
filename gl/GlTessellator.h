#pragma once

#include <GL/gl.h>

#include <array>
#include <cstddef>
#include <deque>
#include <vector>

struct GLUtesselator;

namespace vorlan {

// One primitive the tessellator produced: GL_TRIANGLES, GL_TRIANGLE_FAN or GL_TRIANGLE_STRIP over
// vertex numbers. Numbers count the corners of all rings in order, then the blended vertices.
// EdgeFlags, one per vertex, are kept only for TessOutput::Triangles: true where the edge that starts
// at the vertex lies on an outline.
struct TessPrimitive {
  GLenum Mode;
  std::vector<std::size_t> Vertices;
  std::vector<bool> EdgeFlags;
};

// A vertex the tessellator made where edges cross or corners coincide: a weighted sum of up to four
// vertices (numbered as above, unused weights 0).
struct TessBlend {
  std::array<std::size_t, 4> From{};
  std::array<double, 4> Weights{};
};

struct Tessellation {
  std::vector<TessPrimitive> Primitives;
  std::vector<TessBlend> Blends;
  std::vector<std::array<double, 3>> Points; // of every vertex number
};

enum class TessWinding { Odd, NonZero };
// Mixed: fans, strips and triangles as the tessellator likes. Triangles: separate triangles only,
// with edge flags.
enum class TessOutput { Mixed, Triangles };

// Owns one GLU tessellator and the vertices it was handed or made, for one polygon at a time.
class GlTessellator {
public:
  GlTessellator(TessWinding winding, TessOutput output);
  ~GlTessellator();
  GlTessellator(const GlTessellator&) = delete;
  GlTessellator& operator=(const GlTessellator&) = delete;

  // The plane's normal, when known, spares the tessellator guessing it (and its orientation).
  void setNormal(double x, double y, double z);

  // The rings (ranges of points with x, y, z members or three coordinates) as one polygon.
  template <typename Rings> Tessellation tessellate(const Rings& rings) {
    beginPolygon();
    for (const auto& ring : rings) {
      beginContour();
      for (const auto& p : ring) {
        if constexpr (requires { p.x; })
          addVertex({p.x, p.y, p.z});
        else
          addVertex({p[0], p[1], p[2]});
      }
      endContour();
    }
    return endPolygon();
  }

private:
  struct Node {
    std::array<GLdouble, 3> Coords;
    std::size_t Number;
  };

  void beginPolygon();
  void beginContour();
  void addVertex(const std::array<GLdouble, 3>& coords);
  void endContour();
  Tessellation endPolygon();

  static void GLAPIENTRY onBegin(GLenum mode, void* self);
  static void GLAPIENTRY onVertex(void* vertex, void* self);
  static void GLAPIENTRY onEdgeFlag(GLboolean flag, void* self);
  static void GLAPIENTRY onCombine(GLdouble coords[3], void* from[4], GLfloat weights[4], void** out,
                                   void* self);

  GLUtesselator* tess_;
  // The tessellator keeps pointers to the vertices until the polygon ends; a deque never moves them.
  std::deque<Node> nodes_;
  Tessellation result_;
  bool keepEdgeFlags_;
  bool edgeFlag_ = true;
};

} // namespace vorlan
