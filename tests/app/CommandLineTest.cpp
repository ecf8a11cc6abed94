#include "app/CommandLine.h"
#include "app/AppTestSupport.h"
#include "cam/CamTestSupport.h"
#include "platform/Dib.h"
#include "tools/x2d/X2dWriter.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

using namespace test;

TEST(CommandLine, FilesHelpVersionAndUsageErrors) {
  // clang-format off
  struct Case { QStringList arguments; bool exit; int exitCode; std::vector<std::string> files; };
  const Case cases[] = {
      {{"vorlancam"}, false, 0, {}},
      {{"vorlancam", "a.cam", "b dir/c.x3d"}, false, 0, {"a.cam", "b dir/c.x3d"}},
      {{"vorlancam", "--help"}, true, 0, {}},
      {{"vorlancam", "--version"}, true, 0, {}},
      {{"vorlancam", "--no-such-option"}, true, 2, {}},
      {{"vorlancam", "--", "--odd-name.bmp"}, false, 0, {"--odd-name.bmp"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const TCommandLine parsed = ParseCommandLine(c.arguments);
    EXPECT_EQ(parsed.Exit, c.exit);
    EXPECT_EQ(parsed.ExitCode, c.exitCode);
    EXPECT_EQ(parsed.Files, c.files);
    EXPECT_TRUE(!c.exit || !parsed.Message.empty());
  }
}

// Every mode of the program: 0 on success, 1 with one line naming the file on a load error (and no
// output file), 2 on misuse. --info and --thumbnail run without any display.
TEST(Vorlancam, ExitStatusAndOneErrorLine) {
  ScratchDir dir;
  const auto P = [&](const std::string& name) { return Q(dir.path(name)); };
  writePair(dir.path("pair.cam"), QSize(8, 6));
  std::vector<std::uint8_t> floor = x2d::FloorPlanDrawing();
  writeBytes(dir.path("floor.x2d"), floor);
  floor.resize(floor.size() - 10);
  writeBytes(dir.path("cut.x2d"), floor);
  floor[0] = 'Y';
  writeBytes(dir.path("other.x2d"), floor);
  writeBytes(dir.path("text.x2d"), std::vector<std::uint8_t>(400, 'a'));
  x2d::X2dWriter recent;
  recent.WriteHeader(1.3);
  writeBytes(dir.path("recent.x2d"), recent.Bytes());
  writeBytes(dir.path("picture.bmp"), encodeBmp(gradient(12, 34, 0)));
  TCamSceneWriter scene;
  scene.AddEntity(*wall("wall"));
  const std::vector<std::uint8_t> sceneBytes = scene.Bytes();
  writeBytes(dir.path("cut.cam"), {sceneBytes.begin(), sceneBytes.begin() + sceneBytes.size() / 2});
  // Version 2, no preview, the reserved words, a placement that stops after 10 of its 48 bytes.
  std::vector<std::uint8_t> model = words({2, 1, 1, 1, 1, 0});
  model.resize(model.size() + 10, 0x40);
  writeBytes(dir.path("cut.x3d"), model);
  writeBytes(dir.path("empty.x2d"), {});
  writeBytes(dir.path("text.jpg"), {'h', 'e', 'l', 'l', 'o'});
  writeBytes(dir.path("notes.txt"), {'h', 'i'});
  const QString floorPlan = P("floor.x2d"), missing = P("missing.cam"), out = P("out"), pdf = P("out.pdf");
  const Display I = Display::Inherited, N = Display::None;
  // clang-format off
  struct Case { Display display; QStringList arguments; int exitCode; const char *outHas, *errHas; };
  const Case cases[] = {
      {I, {"--version"}, 0, "", ""},
      {I, {"--render", P("pair.cam"), "-o", P("p.bmp")}, 0, "", ""},
      {I, {"--render", missing, "-o", out}, 1, "", "missing.cam: offset 0"},
      {I, {"--export-dxf", missing, "-o", out}, 1, "", "missing.cam"},
      {I, {"--render", missing}, 2, "", "-o OUT"},
      {I, {"--no-such-option"}, 2, "", "no-such-option"},
      {N, {"--info", floorPlan}, 0, "extents: -500 -600 10500 8000", ""},
      {N, {"--info", P("picture.bmp")}, 0, "height: 34\n", ""},
      {N, {"--info", P("picture.bmp"), "--json"}, 0, "\"height\": 34", ""},
      {N, {"--info", P("cut.x2d")}, 1, "", "cut.x2d: offset "},
      {N, {"--info", P("other.x2d")}, 1, "", "other.x2d: offset 0: "},
      {N, {"--info", missing}, 1, "", "missing.cam: offset 0"},
      {N, {"--info", P("notes.txt")}, 1, "", "notes.txt"},
      {N, {"--info"}, 2, "", "usage"},
      {N, {"--info", floorPlan, floorPlan}, 2, "", "usage"},
      {I, {"--print", floorPlan, "-o", P("floor.pdf"), "--paper", "A3"}, 0, "", ""},
      {I, {"--print", floorPlan, "-o", P("portrait.pdf"), "--paper", "A3", "--orientation", "portrait"}, 0, "", ""},
      {I, {"--print", P("picture.bmp"), "-o", P("picture.pdf")}, 0, "", ""},
      {I, {"--print", P("missing.x2d"), "-o", pdf}, 1, "", "missing.x2d: offset 0"},
      {I, {"--print", P("text.x2d"), "-o", pdf}, 1, "", "text.x2d: offset 0: not an X2D"},
      {I, {"--render", P("recent.x2d"), "-o", out}, 1, "", "more recent than the program"},
      {I, {"--print", floorPlan}, 2, "", "-o OUT.pdf"},
      {I, {"--print", floorPlan, "-o", P("x.pdf"), "--paper", "B5"}, 2, "", "A4, A3 or Letter"},
      {I, {"--print", floorPlan, "-o", P("x.png")}, 2, "", ".pdf file"},
      {I, {"--print", floorPlan, "-o", P("x.pdf"), "--orientation", "upside"}, 2, "", "orientation"},
      {I, {"--print", floorPlan, "--render", floorPlan, "-o", P("x.pdf")}, 2, "", ""},
      {N, {"--thumbnail", "128", P("cut.cam"), out}, 1, "", "cut.cam"},
      {N, {"--thumbnail", "128", P("cut.x3d"), out}, 1, "", "cut.x3d"},
      {N, {"--thumbnail", "128", P("empty.x2d"), out}, 1, "", "empty.x2d"},
      {N, {"--thumbnail", "128", P("text.jpg"), out}, 1, "", "text.jpg"},
      {N, {"--thumbnail", "128", P("notes.txt"), out}, 1, "", "notes.txt"},
      {N, {"--thumbnail", "128", missing, out}, 1, "", "missing.cam"},
      {N, {"--thumbnail", "0", floorPlan, out}, 2, "", ""},
      {N, {"--thumbnail", "big", floorPlan, out}, 2, "", ""},
      {N, {"--thumbnail", "128", floorPlan}, 2, "", ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const ProgramRun run = Vorlancam(c.arguments, c.display);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_TRUE(run.out.contains(c.outHas)) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(c.errHas)) << run.err.toStdString();
    EXPECT_LE(run.err.count('\n'), 1) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(out) || QFile::exists(pdf));
  }
  // A bitmap pair renders its first picture at 1:1.
  EXPECT_EQ(loadBmpFile(dir.path("p.bmp")), gradient(8, 6, 40));
  // One page each; A3 is 842 x 1191 points, standing when asked.
  struct Pdf {
    const char* name;
    double width, height;
  }; // 0: any size
  for (const auto& [name, width, height] :
       {Pdf{"floor.pdf", 1190.55, 841.89}, {"portrait.pdf", 841.89, 1190.55}, {"picture.pdf", 0, 0}}) {
    SCOPED_TRACE(name);
    const std::vector<std::uint8_t> bytes = readFileBytes(dir.path(name));
    const QString pdf = QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count(QRegularExpression("/Type\\s*/Page\\b")), 1);
    const auto box = QRegularExpression("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]").match(pdf);
    ASSERT_TRUE(box.hasMatch());
    if (width == 0) continue;
    EXPECT_NEAR(box.captured(1).toDouble(), width, 1);
    EXPECT_NEAR(box.captured(2).toDouble(), height, 1);
  }
}

} // namespace
} // namespace vorlan
