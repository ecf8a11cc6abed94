#include "app/Batch.h"

#include "graphic_viewer/UnitX2D.h"
#include "platform/Canvas.h"
#include "platform/Dib.h"
#include "platform/FileBytes.h"
#include "support/TestSupport.h"
#include "tools/x2d/X2dWriter.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

struct ProgramRun {
  int exitCode;
  QByteArray standardError;
};

ProgramRun RunProgram(const QStringList& arguments) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  process.setProcessEnvironment(environment);
  process.start(QCoreApplication::applicationDirPath() + "/../vorlancam", arguments);
  EXPECT_TRUE(process.waitForFinished(60000));
  return {process.exitCode(), process.readAllStandardError()};
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// --render is the drawing window itself: the same picture as the window's own capture.
TEST(PrintCommandLine, RenderOfADrawingIsTheWindowsCapture) {
  test::ScratchDir dir;
  const std::string drawing = dir.path("floor.x2d");
  test::writeBytes(drawing, x2d::FloorPlanDrawing());
  const ProgramRun run =
      RunProgram({"--render", Q(drawing), "-o", Q(dir.path("floor.bmp")), "--size", "640x480"});
  ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();

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

TEST(PrintCommandLine, ExitStatusAndOnePdfPage) {
  test::ScratchDir dir;
  const std::string drawing = dir.path("floor.x2d");
  test::writeBytes(drawing, x2d::FloorPlanDrawing());
  test::writeBytes(dir.path("text.x2d"), std::vector<std::uint8_t>(400, 'a'));
  x2d::X2dWriter recent;
  recent.WriteHeader(1.3);
  test::writeBytes(dir.path("recent.x2d"), recent.Bytes());
  writeFileBytes(dir.path("picture.bmp"), encodeBmp(newBitmap(8, 6)));

  struct Case {
    QStringList arguments;
    int exitCode;
    const char* stderrHas;
  };
  const Case cases[] = {
      {{"--print", Q(drawing), "-o", Q(dir.path("floor.pdf")), "--paper", "A3"}, 0, ""},
      {{"--print", Q(dir.path("picture.bmp")), "-o", Q(dir.path("picture.pdf"))}, 0, ""},
      {{"--print", Q(dir.path("missing.x2d")), "-o", Q(dir.path("m.pdf"))}, 1, "missing.x2d: offset 0"},
      {{"--print", Q(dir.path("text.x2d")), "-o", Q(dir.path("t.pdf"))}, 1, "text.x2d: offset 0: not an X2D"},
      {{"--render", Q(dir.path("recent.x2d")), "-o", Q(dir.path("r.png"))},
       1,
       "more recent than the program"},
      {{"--print", Q(drawing)}, 2, "-o OUT.pdf"},
      {{"--print", Q(drawing), "-o", Q(dir.path("x.pdf")), "--paper", "B5"}, 2, "A4, A3 or Letter"},
      {{"--print", Q(drawing), "-o", Q(dir.path("x.png"))}, 2, ".pdf file"},
      {{"--print", Q(drawing), "-o", Q(dir.path("x.pdf")), "--orientation", "upside"}, 2, "orientation"},
      {{"--print", Q(drawing), "--render", Q(drawing), "-o", Q(dir.path("x.pdf"))}, 2, ""},
      {{"--print", Q(drawing), "-o", Q(dir.path("portrait.pdf")), "--paper", "A3", "--orientation",
        "portrait"},
       0,
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const ProgramRun run = RunProgram(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_TRUE(run.standardError.contains(c.stderrHas)) << run.standardError.toStdString();
  }
  // One page each; A3 is 842 x 1191 points, standing when asked.
  struct Pdf {
    const char* name;
    double width, height; // 0: any size
  };
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
