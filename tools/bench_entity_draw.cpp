// Compiling and drawing a large entity: 500,000 lit quads (1,000,000 triangles) in an 800 x 600
// off-screen framebuffer, textured through a mapping (argument 1) or plain with every edge outlined
// (argument 0), against one vertex array of the same mesh.
//   xvfb-run -a bench_entity_draw [--benchmark_filter=...]
#include "gl/OffscreenGlContext.h"
#include "platform/Application.h"
#include "scene3d/KX_MAPPING.h"
#include "scene3d/KX_OBJECTS.h"

#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace vorlan {
namespace {

constexpr int kGridSide = 707; // 499,849 quads
constexpr int kPlainColumns = 1000;
constexpr int kPlainRows = 500;
constexpr int kWidth = 800;
constexpr int kHeight = 600;

// A columns x rows grid of unit quads on a gentle swell, so that normals and lighting vary.
void addSwell(TEntity& entity, int columns, int rows) {
  const auto height = [](int i, int j) { return 20 * std::sin(i * 0.05) * std::cos(j * 0.05); };
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < columns; ++i) {
      TFace& face = TFace::Create(entity);
      face.AddPoint(nullptr, i, j, height(i, j), 1);
      face.AddPoint(nullptr, i + 1, j, height(i + 1, j), 1);
      face.AddPoint(nullptr, i + 1, j + 1, height(i + 1, j + 1), 1);
      face.AddPoint(nullptr, i, j + 1, height(i, j + 1), 1);
    }
}

// One context, a mapped and a plain entity prepared without lists, shared by every benchmark.
struct Scene {
  Scene() {
    setCurrentRenderContext(context);
    mapping = std::make_unique<TMapping>(100, 100);
    mapping->Build(2, 10, {}, {0x808080, 0x2040C0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}, 100, 100);
    withdrawRenderContext(context);
    context.releaseContext();
    addSwell(mapped, kGridSide, kGridSide);
    mapped.Mapping = mapping.get();
    mapped.Prepare();
    addSwell(plain, kPlainColumns, kPlainRows);
    plain.Prepare();
    context.makeContextCurrent();
    setCurrentRenderContext(context);
  }

  OffscreenGlContext context{QSize(kWidth, kHeight)};
  std::unique_ptr<TMapping> mapping;
  TEntity mapped;
  TEntity plain;
  TEntity& entity(const benchmark::State& state) { return state.range(0) != 0 ? mapped : plain; }
};

// Made on first use and ended before the application, which its context needs.
std::unique_ptr<Scene>& theScene() {
  static std::unique_ptr<Scene> s;
  return s;
}

Scene& scene() {
  if (!theScene()) theScene() = std::make_unique<Scene>();
  return *theScene();
}

// The whole grid seen from above at an angle, lit by one light, as the 3D window draws it.
void beginFrame() {
  glViewport(0, 0, kWidth, kHeight);
  glClearColor(0.2f, 0.3f, 0.4f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45, double(kWidth) / kHeight, 10, 5000);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(kGridSide / 2.0, -300, 700, kGridSide / 2.0, kGridSide / 2.0, 0, 0, 0, 1);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_COLOR_MATERIAL);
  glShadeModel(GL_SMOOTH);
  const GLfloat light[] = {0.3f, -0.5f, 1, 0};
  glLightfv(GL_LIGHT0, GL_POSITION, light);
}

void BM_CompileFaceLists(benchmark::State& state) {
  TEntity& entity = scene().entity(state);
  for (auto _ : state) {
    entity.CompileLists();
    glFinish();
  }
  state.counters["lists"] = static_cast<double>(entity.FaceLists().Count());
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * entity.Faces.size()));
}
BENCHMARK(BM_CompileFaceLists)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// Items per second are frames per second.
void BM_DrawFrameFromLists(benchmark::State& state) {
  TEntity& entity = scene().entity(state);
  if (!entity.FaceLists().Compiled()) entity.CompileLists();
  for (auto _ : state) {
    beginFrame();
    entity.Draw(true, false, true, true, true, false, 0);
    glFinish();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawFrameFromLists)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void BM_DrawMovingFrameFromLists(benchmark::State& state) {
  TEntity& entity = scene().entity(state);
  for (auto _ : state) {
    beginFrame();
    entity.Draw(false, false, false, false, true, false, 0);
    glFinish();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawMovingFrameFromLists)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0)
    ->UseRealTime();

// The first frame of a camera drag compiles the outline lists first.
void BM_FirstMovingFrame(benchmark::State& state) {
  TEntity& entity = scene().entity(state);
  for (auto _ : state) {
    entity.ReleaseGlNames();
    beginFrame();
    entity.Draw(false, false, false, false, true, false, 0);
    glFinish();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FirstMovingFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The same mesh as one indexed vertex array: two triangles a quad, the attributes the lists carry.
struct MeshArrays {
  std::vector<GLfloat> positions, normals, texCoords;
  std::vector<GLubyte> colors;
  std::vector<GLuint> indices;
};

MeshArrays arraysOf(TEntity& entity) {
  MeshArrays m;
  for (const auto& face : entity.Faces) {
    const auto first = static_cast<GLuint>(m.positions.size() / 3);
    for (const TMem& corner : face->Refs) {
      const TPoint3D& p = entity.Points[static_cast<std::size_t>(corner.Index)];
      const Vector3D n = face->CornerNormal(corner);
      m.positions.insert(m.positions.end(), {GLfloat(p.X), GLfloat(p.Y), GLfloat(p.Z)});
      m.normals.insert(m.normals.end(), {GLfloat(n.x), GLfloat(n.y), GLfloat(n.z)});
      m.texCoords.insert(m.texCoords.end(), {GLfloat(corner.U), GLfloat(corner.V)});
      m.colors.insert(m.colors.end(), {face->Color.R, face->Color.G, face->Color.B, face->Color.A});
    }
    m.indices.insert(m.indices.end(), {first, first + 1, first + 2, first, first + 2, first + 3});
  }
  return m;
}

void BM_DrawFrameFromOneVertexArray(benchmark::State& state) {
  Scene& s = scene();
  const MeshArrays m = arraysOf(s.mapped);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, m.positions.data());
  glNormalPointer(GL_FLOAT, 0, m.normals.data());
  glColorPointer(4, GL_UNSIGNED_BYTE, 0, m.colors.data());
  glTexCoordPointer(2, GL_FLOAT, 0, m.texCoords.data());
  for (auto _ : state) {
    beginFrame();
    glEnable(GL_TEXTURE_2D);
    s.mapping->Bind();
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(m.indices.size()), GL_UNSIGNED_INT, m.indices.data());
    glDisable(GL_TEXTURE_2D);
    glFinish();
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawFrameFromOneVertexArray)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

} // namespace
} // namespace vorlan

int main(int argc, char** argv) {
  vorlan::VorlanApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  vorlan::theScene().reset();
  return 0;
}
