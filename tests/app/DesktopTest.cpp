// The program as a desktop sees it: thumbnails for file managers, rendering without any display
// server, the installed files and the MIME types they declare.

#include "app/AppTestSupport.h"
#include "app/Main.h"
#include "cam/CamTestSupport.h"
#include "graphic_viewer/UnitX2D.h"
#include "platform/Dib.h"
#include "platform/FileBytes.h"
#include "platform/Jpeg.h"
#include "tools/x2d/X2dWriter.h"

#include <QDirIterator>
#include <QMdiArea>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

using namespace test;

QString SourceDir() {
  QFile cache(BuildDir() + "/CMakeCache.txt");
  EXPECT_TRUE(cache.open(QIODevice::ReadOnly));
  for (const QByteArray& line : cache.readAll().split('\n'))
    if (line.startsWith("CMAKE_HOME_DIRECTORY:INTERNAL=")) return QString::fromUtf8(line.mid(30));
  return {};
}

// The samples a user first sees, written afresh by the sample writer.
struct Samples {
  ScratchDir dir;
  Samples() {
    const ProgramRun run = RunProgram(BuildDir() + "/tools/make_samples", {Path("")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  }
  QString Path(const std::string& name) const { return QString::fromStdString(dir.path(name)); }
};

// A scene whose every pixel is the same on every run: no procedural mapping, whose grain is seeded
// from the clock, only plain faces and a picture texture.
void WriteSteadyScene(const std::string& fileName, const std::string& folder) {
  auto textured = TexturedWall("textured", gradient(32, 32, 90), "brick.bmp", folder);
  textured->Position = {-60, 30, 0};
  textured->Rotation = {0, 0, 40};
  TCamSceneWriter scene;
  scene.AddEntity(*wall("front"));
  scene.AddEntity(*textured);
  writeBytes(fileName, scene.Bytes());
}

TEST(Thumbnail, EveryKindFitsTheSquareKeepingItsAspect) {
  Samples samples;
  ScratchDir dir;
  const QString wide = QString::fromStdString(dir.path("wide.bmp"));
  writeBytes(wide.toStdString(), encodeBmp(gradient(300, 100, 0)));
  // Scenes and drawings are drawn in the 4:3 of their windows; pictures are shrunk, never enlarged.
  // clang-format off
  struct Case { QString file; int side; QSize expected; };
  const auto S = [&](const char* name) { return samples.Path(name); };
  const Case cases[] = {
      {S("scene.cam"), 128, {128, 96}}, {S("model.x3d"), 64, {64, 48}}, {wide, 90, {90, 30}},
      {S("floor.x2d"), 200, {200, 150}}, {S("pair.cam"), 160, {160, 120}},
      {S("checker.bmp"), 64, {64, 64}}, {S("checker.bmp"), 256, {128, 128}}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.toStdString() + " in " + std::to_string(c.side));
    const QString out = QString::fromStdString(dir.path("thumbnail"));
    QFile::remove(out);
    const ProgramRun run = Vorlancam({"--thumbnail", QString::number(c.side), c.file, out}, Display::None);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    QImage thumbnail;
    ASSERT_TRUE(thumbnail.load(out, "PNG"));
    EXPECT_EQ(thumbnail.size(), c.expected);
  }
}

// The off-screen EGL path and the window's own path through the X server draw the same scene with
// the same driver: the pictures must agree pixel for pixel.
TEST(HeadlessRender, DrawsWhatTheXServerDraws) {
  ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY"))
      << "run under xvfb-run: the comparison needs both paths";
  ScratchDir dir;
  WriteSteadyScene(dir.path("steady.cam"), dir.path(""));
  for (const QStringList& options : {QStringList{}, QStringList{"--view", "front"}, QStringList{"--paper"}}) {
    SCOPED_TRACE(options.join(' ').toStdString());
    const QString windowed = QString::fromStdString(dir.path("windowed.png"));
    const QString headless = QString::fromStdString(dir.path("headless.png"));
    const QStringList render =
        QStringList{"--render", QString::fromStdString(dir.path("steady.cam")), "--size", "320x240"} +
        options;
    const ProgramRun x = Vorlancam(render + QStringList{"-o", windowed});
    ASSERT_EQ(x.exitCode, 0) << x.err.toStdString();
    const ProgramRun none = Vorlancam(render + QStringList{"-o", headless}, Display::None);
    ASSERT_EQ(none.exitCode, 0) << none.err.toStdString();
    // No word on the terminal either: no runtime-folder warning, no widget warning.
    EXPECT_TRUE(none.err.isEmpty()) << none.err.toStdString();
    const QImage a(windowed), b(headless);
    ASSERT_EQ(a.size(), QSize(320, 240));
    ASSERT_EQ(a.convertToFormat(QImage::Format_RGB888), b.convertToFormat(QImage::Format_RGB888));
    // Not a blank frame both times.
    EXPECT_NE(a, [&] {
      QImage filled = a.copy();
      filled.fill(a.pixel(0, 0));
      return filled;
    }());
  }
}

TEST(HeadlessRender, WithoutEglSaysSoInOneLineAndFails) {
  Samples samples;
  ScratchDir dir;
  QProcessEnvironment noVendor;
  noVendor.insert("__EGL_VENDOR_LIBRARY_FILENAMES", "/nonexistent/vendor.json");
  const QString out = QString::fromStdString(dir.path("out.png"));
  const ProgramRun run =
      Vorlancam({"--render", samples.Path("model.x3d"), "-o", out}, Display::None, noVendor);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("EGL")) << run.err.toStdString();
  EXPECT_FALSE(QFile::exists(out));
  // Pictures need no OpenGL and still render.
  EXPECT_EQ(Vorlancam({"--render", samples.Path("checker.bmp"), "-o", out}, Display::None, noVendor).exitCode,
            0);
}

// --render is the drawing window itself: the same picture as the window's own capture.
TEST(PrintCommandLine, RenderOfADrawingIsTheWindowsCapture) {
  ScratchDir dir;
  const std::string drawing = dir.path("floor.x2d");
  writeBytes(drawing, x2d::FloorPlanDrawing());
  const ProgramRun run =
      Vorlancam({"--render", Q(drawing), "-o", Q(dir.path("floor.bmp")), "--size", "640x480"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

  QMdiArea area;
  area.resize(800, 700);
  area.show();
  TFicheX2D* window = TFicheX2D::Open(&area, drawing);
  window->SetViewerSize({640, 480});
  const QImage capture = window->Capture().convertToFormat(QImage::Format_RGB32);
  const QImage rendered = loadBmpFile(dir.path("floor.bmp")).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(rendered.size(), QSize(640, 480));
  EXPECT_EQ(rendered, capture);
}

TEST(Install, ATemporaryPrefixHoldsEveryFileTheDesktopNeeds) {
  ScratchDir prefix;
  const ProgramRun run = RunProgram("cmake", {"--install", BuildDir(), "--prefix", Q(prefix.path(""))});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  QStringList installed;
  QDirIterator it(Q(prefix.path("")), QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext())
    installed << QDir(Q(prefix.path(""))).relativeFilePath(it.next());
  installed.sort();
  QStringList expected{"bin/vorlancam", "share/applications/vorlancam.desktop",
                       "share/man/man1/vorlancam.1.gz", "share/mime/packages/vorlancam.xml",
                       "share/thumbnailers/vorlancam.thumbnailer"};
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    expected << QString("share/icons/hicolor/%1x%1/apps/vorlancam.png").arg(size);
  expected.sort();
  EXPECT_EQ(installed, expected);
  for (int size : {16, 48, 256}) {
    const QImage icon(Q(prefix.path("")) +
                      QString("/share/icons/hicolor/%1x%1/apps/vorlancam.png").arg(size));
    EXPECT_EQ(icon.size(), QSize(size, size));
  }
  const ProgramRun validate =
      RunProgram("desktop-file-validate", {Q(prefix.path("")) + "/share/applications/vorlancam.desktop"});
  EXPECT_EQ(validate.exitCode, 0);
  EXPECT_TRUE(validate.out.isEmpty() && validate.err.isEmpty())
      << validate.out.toStdString() << validate.err.toStdString();
}

// Our .x3d shares its extension with the XML scene format: each must keep its own type, and ours must
// be known by content alone.
TEST(MimeTypes, OurFilesAreKnownByNameAndContentAndXmlX3dKeepsItsType) {
  Samples samples;
  ScratchDir data;
  QDir().mkpath(Q(data.path("mime/packages")));
  ASSERT_TRUE(QFile::copy(SourceDir() + "/resources/linux/vorlancam.xml",
                          Q(data.path("mime/packages/vorlancam.xml"))));
  QProcessEnvironment home;
  home.insert("XDG_DATA_HOME", Q(data.path("")));
  const ProgramRun update =
      RunProgram("update-mime-database", {Q(data.path("mime"))}, Display::Inherited, home);
  ASSERT_EQ(update.exitCode, 0) << update.err.toStdString();
  EXPECT_TRUE(update.err.isEmpty()) << update.err.toStdString();

  ScratchDir files;
  writeBytes(files.path("web.x3d"), [] {
    const std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<X3D profile=\"Interchange\" "
                            "version=\"3.3\">\n  <Scene><Shape><Box/></Shape></Scene>\n</X3D>\n";
    return std::vector<std::uint8_t>(xml.begin(), xml.end());
  }());
  QFile::copy(samples.Path("model.x3d"), Q(files.path("model")));
  QFile::copy(samples.Path("floor.x2d"), Q(files.path("floor.x3d")));
  const QString cam = "application/x-vorlan-cam", x3d = "application/x-vorlan-x3d",
                x2d = "application/x-vorlan-x2d";
  // clang-format off
  const auto S = [&](const char* name) { return samples.Path(name); };
  const auto F = [&](const char* name) { return Q(files.path(name)); };
  const std::pair<QString, QString> cases[] = {{S("scene.cam"), cam}, {S("pair.cam"), cam},
      {S("model.x3d"), x3d}, {S("floor.x2d"), x2d}, {F("web.x3d"), "model/x3d+xml"}, {F("model"), x3d},
      {F("floor.x3d"), x2d}};
  // clang-format on
  for (const auto& [file, type] : cases) {
    SCOPED_TRACE(file.toStdString());
    const ProgramRun query = RunProgram("xdg-mime", {"query", "filetype", file}, Display::Inherited, home);
    EXPECT_EQ(query.exitCode, 0) << query.err.toStdString();
    EXPECT_EQ(query.out.trimmed(), type);
  }
}

} // namespace
} // namespace vorlan
