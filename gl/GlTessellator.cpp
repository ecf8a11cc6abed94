#include "gl/GlTessellator.h"

#include <GL/glu.h>

#include <utility>

namespace vorlan {

namespace {
// GLU takes every callback as a function without arguments.
template <typename Function> _GLUfuncptr asTessCallback(Function* function) {
  return reinterpret_cast<_GLUfuncptr>(reinterpret_cast<void (*)()>(function));
}
} // namespace

GlTessellator::GlTessellator(TessWinding winding, TessOutput output)
    : tess_(gluNewTess()), keepEdgeFlags_(output == TessOutput::Triangles) {
  gluTessProperty(tess_, GLU_TESS_WINDING_RULE,
                  winding == TessWinding::Odd ? GLU_TESS_WINDING_ODD : GLU_TESS_WINDING_NONZERO);
  gluTessCallback(tess_, GLU_TESS_BEGIN_DATA, asTessCallback(onBegin));
  gluTessCallback(tess_, GLU_TESS_VERTEX_DATA, asTessCallback(onVertex));
  // Without this callback the tessellator gives up on rings that cross themselves or each other.
  gluTessCallback(tess_, GLU_TESS_COMBINE_DATA, asTessCallback(onCombine));
  // The mere presence of an edge-flag callback makes the tessellator answer with separate triangles.
  if (keepEdgeFlags_) gluTessCallback(tess_, GLU_TESS_EDGE_FLAG_DATA, asTessCallback(onEdgeFlag));
}

GlTessellator::~GlTessellator() {
  gluDeleteTess(tess_);
}

void GlTessellator::setNormal(double x, double y, double z) {
  gluTessNormal(tess_, x, y, z);
}

void GlTessellator::beginPolygon() {
  nodes_.clear();
  result_ = {};
  edgeFlag_ = true;
  gluTessBeginPolygon(tess_, this);
}

void GlTessellator::beginContour() {
  gluTessBeginContour(tess_);
}

void GlTessellator::addVertex(const std::array<GLdouble, 3>& coords) {
  nodes_.push_back({coords, nodes_.size()});
  result_.Points.push_back(coords);
  gluTessVertex(tess_, nodes_.back().Coords.data(), &nodes_.back());
}

void GlTessellator::endContour() {
  gluTessEndContour(tess_);
}

Tessellation GlTessellator::endPolygon() {
  gluTessEndPolygon(tess_);
  return std::move(result_);
}

void GLAPIENTRY GlTessellator::onBegin(GLenum mode, void* self) {
  static_cast<GlTessellator*>(self)->result_.Primitives.push_back({mode, {}, {}});
}

void GLAPIENTRY GlTessellator::onVertex(void* vertex, void* self) {
  GlTessellator& t = *static_cast<GlTessellator*>(self);
  TessPrimitive& primitive = t.result_.Primitives.back();
  primitive.Vertices.push_back(static_cast<Node*>(vertex)->Number);
  if (t.keepEdgeFlags_) primitive.EdgeFlags.push_back(t.edgeFlag_);
}

void GLAPIENTRY GlTessellator::onEdgeFlag(GLboolean flag, void* self) {
  static_cast<GlTessellator*>(self)->edgeFlag_ = flag == GL_TRUE;
}

void GLAPIENTRY GlTessellator::onCombine(GLdouble coords[3], void* from[4], GLfloat weights[4], void** out,
                                         void* self) {
  GlTessellator& t = *static_cast<GlTessellator*>(self);
  TessBlend blend;
  for (int i = 0; i < 4; ++i) {
    if (!from[i]) continue;
    blend.From[i] = static_cast<Node*>(from[i])->Number;
    blend.Weights[i] = weights[i];
  }
  t.result_.Blends.push_back(blend);
  t.nodes_.push_back({{coords[0], coords[1], coords[2]}, t.nodes_.size()});
  t.result_.Points.push_back(t.nodes_.back().Coords);
  *out = &t.nodes_.back();
}

} // namespace vorlan
