#include "app/Batch.h"

#include "cam/KX_CAMOBJET.h"
#include "cam/KX_DXF.h"
#include "cam/SceneView.h"
#include "gl/KX_OpenGL_VIEW.h"
#include "graphic_viewer/UnitX2D.h"
#include "platform/Dib.h"
#include "platform/FileBytes.h"
#include "platform/Jpeg.h"
#include "platform/Messages.h"
#include "platform/Printing.h"
#include "platform/ReadError.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QRegularExpression>

#include <cstdio>
#include <map>
#include <memory>
#include <optional>

namespace vorlan {

namespace {

bool ParseSize(const QString& text, QSize& size) {
  const QRegularExpressionMatch match = QRegularExpression("^(\\d{1,5})x(\\d{1,5})$").match(text);
  if (!match.hasMatch()) return false;
  size = QSize(match.captured(1).toInt(), match.captured(2).toInt());
  return size.width() > 0 && size.height() > 0;
}

bool IsScene3D(const std::string& fileName) {
  const std::string extension = upperExtension(fileName);
  return extension == ".X3D" || (extension == ".CAM" && TCamObject().ReadKind(fileName) == kCamScene);
}

void WritePicture(const QImage& picture, const std::string& fileName) {
  const std::string extension = upperExtension(fileName);
  if (extension == ".JPG") return writeFileBytes(fileName, encodeJpeg(picture));
  if (extension == ".BMP") return writeFileBytes(fileName, encodeBmp(picture));
  if (extension == ".PNG") {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG")) throw ReadError(fileName, 0, "cannot encode the picture");
    return writeFileBytes(fileName, std::span(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                              static_cast<std::size_t>(png.size())));
  }
  throw ReadError(fileName, 0, "only .png, .jpg and .bmp pictures can be written");
}

std::optional<TCameraPreset> PresetNamed(const std::string& view) {
  if (view == "top") return TCameraPreset::Top;
  if (view == "front") return TCameraPreset::Front;
  if (view == "side") return TCameraPreset::Side;
  // The perspective view is the orbit the scene opens in.
  return std::nullopt;
}

// A view of its own at `size`, set up, loaded and drawn as a 3D window's view would be.
QImage RenderScene(const TBatchJob& job) {
  TGL_CAMERA camera;
  SetUpSceneCamera(camera);
  TScene scene;
  TGL_VIEW view;
  SetUpSceneView(view, camera);
  scene.Attach(view);
  view.resize(job.Size);
  view.Initialisation();
  if (upperExtension(job.Input) == ".X3D")
    scene.LoadX3D(view, job.Input);
  else
    scene.LoadCam(view, job.Input);
  if (const std::optional<TCameraPreset> preset = PresetNamed(job.View)) ApplyCameraPreset(camera, *preset);
  view.SetProjection();
  view.SetPaperMode(job.Paper);
  if (job.White) view.BackGround().SetStyle(CBackGroundStyle::UniformColor);
  const QImage picture = GrabScene(view);
  scene.Free(view);
  return picture;
}

// The drawing window right after its opening sequence, its viewer `size` pixels large; a file that
// is not a drawing, or too recent, is an error here rather than a message box.
TFicheX2D* OpenDrawing(QMdiArea& area, const TBatchJob& job) {
  area.resize(job.Size + QSize(64, 64));
  area.show();
  TFicheX2D* window = TFicheX2D::Open(&area, job.Input, TFicheX2D::HeaderErrors::Raise);
  window->SetViewerSize(job.Size);
  return window;
}

QImage RenderPicture(const TBatchJob& job) {
  const std::string extension = upperExtension(job.Input);
  if (extension == ".X2D") {
    QMdiArea area;
    return OpenDrawing(area, job)->Capture();
  }
  if (extension == ".BMP") return loadBmpFile(job.Input);
  if (extension == ".JPG") return loadJpegFile(job.Input);
  if (IsScene3D(job.Input)) return RenderScene(job);
  if (extension == ".CAM") {
    TCamObject document;
    if (document.ReadKind(job.Input) != kCamBitmapPair)
      throw ReadError(job.Input, 0, "not a .cam file of a known kind");
    document.Load(job.Input);
    return document.Bitmap1;
  }
  throw ReadError(job.Input, 0, "cannot render this kind of file");
}

void ExportDxfFile(const TBatchJob& job) {
  std::vector<TObjects*> items;
  TCamObject document;
  TSuperObject model;
  if (upperExtension(job.Input) == ".X3D") {
    ReadX3D(job.Input, model);
    items.push_back(&model);
  } else {
    if (document.ReadKind(job.Input) != kCamScene) throw ReadError(job.Input, 0, "not a 3D .cam file");
    document.Load(job.Input);
    for (const auto& item : document.Items)
      items.push_back(item.get());
  }
  const std::vector<const TEntity*> entities = DxfEntities(items);
  if (entities.empty()) throw ReadError(job.Input, 0, "no faces to export");
  MessageRecorder messages;
  ExportDXF(job.Output, entities);
  for (const std::string& text : messages.texts())
    std::fprintf(stderr, "vorlancam: %s\n", text.c_str());
}

// --paper is a flag of --render and takes a page size after --print, so --print has its own parser.
std::string ParsePrintJob(const QStringList& arguments, TBatchJob& job) {
  QCommandLineParser parser;
  const QCommandLineOption print("print", "", "FILE"), output({"o", "output"}, "", "OUT"),
      paper("paper", "", "PAPER"), orientation("orientation", "", "ORIENTATION");
  parser.addOptions({print, output, paper, orientation});
  if (!parser.parse(arguments)) return parser.errorText().toStdString();
  if (!parser.isSet(output)) return "an output file is needed: -o OUT.pdf";
  if (!parser.positionalArguments().isEmpty()) return "files to open do not go with --print";
  job.What = TBatchJob::Kind::Print;
  job.Input = parser.value(print).toStdString();
  job.Output = parser.value(output).toStdString();
  if (upperExtension(job.Output) != ".PDF") return "--print writes a .pdf file";
  const std::map<QString, QPageSize::PageSizeId> papers{
      {"A4", QPageSize::A4}, {"A3", QPageSize::A3}, {"Letter", QPageSize::Letter}};
  if (parser.isSet(paper)) {
    const auto found = papers.find(parser.value(paper));
    if (found == papers.end()) return "--paper takes A4, A3 or Letter";
    job.PaperSize = found->second;
  }
  if (parser.isSet(orientation)) {
    const QString value = parser.value(orientation);
    if (value != "landscape" && value != "portrait") return "--orientation takes landscape or portrait";
    job.Orientation = value == "landscape" ? QPageLayout::Landscape : QPageLayout::Portrait;
  }
  return {};
}

// The print button's output, on the page the job names, without a dialog.
void PrintFile(const TBatchJob& job) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(job.Output));
  printer.setPageSize(QPageSize(job.PaperSize));
  printer.setPageOrientation(job.Orientation);
  if (upperExtension(job.Input) == ".X2D") {
    QMdiArea area;
    return OpenDrawing(area, job)->PrintOn(printer);
  }
  printPictureOn(printer, RenderPicture(job));
}

} // namespace

std::string ParseBatchJob(const QStringList& arguments, TBatchJob& job) {
  if (arguments.contains("--print") || !arguments.filter(QRegularExpression("^--print=")).isEmpty()) {
    if (arguments.contains("--render") || arguments.contains("--export-dxf"))
      return "--print goes with neither --render nor --export-dxf";
    return ParsePrintJob(arguments, job);
  }
  QCommandLineParser parser;
  const QCommandLineOption render("render", "", "FILE"), exportDxf("export-dxf", "", "FILE"),
      output({"o", "output"}, "", "OUT"), size("size", "", "WxH"), view("view", "", "VIEW"), paper("paper"),
      white("white");
  parser.addOptions({render, exportDxf, output, size, view, paper, white});
  parser.addOptions(
      {QCommandLineOption(QStringList{"h", "help"}), QCommandLineOption(QStringList{"v", "version"})});
  if (!parser.parse(arguments)) return parser.errorText().toStdString();
  if (!parser.isSet(render) && !parser.isSet(exportDxf)) {
    if (parser.isSet(output) || parser.isSet(size) || parser.isSet(view) || parser.isSet(paper) ||
        parser.isSet(white))
      return "-o, --size, --view, --paper and --white go with --render or --export-dxf";
    return {};
  }
  if (parser.isSet(render) && parser.isSet(exportDxf)) return "--render and --export-dxf exclude each other";
  if (!parser.isSet(output)) return "an output file is needed: -o OUT";
  if (!parser.positionalArguments().isEmpty()) return "files to open do not go with --render or --export-dxf";
  job.What = parser.isSet(render) ? TBatchJob::Kind::Render : TBatchJob::Kind::ExportDxf;
  job.Input = parser.value(parser.isSet(render) ? render : exportDxf).toStdString();
  job.Output = parser.value(output).toStdString();
  if (parser.isSet(size) && !ParseSize(parser.value(size), job.Size)) return "--size takes WxH, e.g. 800x600";
  if (parser.isSet(view)) {
    job.View = parser.value(view).toStdString();
    if (job.View != "perspective" && job.View != "top" && job.View != "front" && job.View != "side")
      return "--view takes perspective, top, front or side";
  }
  job.Paper = parser.isSet(paper);
  job.White = parser.isSet(white);
  return {};
}

bool NeedsDisplay(const TBatchJob& job) {
  const bool draws = job.What == TBatchJob::Kind::Render || job.What == TBatchJob::Kind::Print;
  return draws && fileExists(job.Input) && IsScene3D(job.Input);
}

void RunBatchJob(const TBatchJob& job) {
  if (job.What == TBatchJob::Kind::Render) WritePicture(RenderPicture(job), job.Output);
  if (job.What == TBatchJob::Kind::ExportDxf) ExportDxfFile(job);
  if (job.What == TBatchJob::Kind::Print) PrintFile(job);
}

} // namespace vorlan
