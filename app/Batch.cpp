#include "app/Batch.h"

#include "cam/KX_CAMOBJET.h"
#include "cam/KX_DXF.h"
#include "cam/PictureSave.h"
#include "cam/SceneView.h"
#include "gl/HeadlessGlContext.h"
#include "gl/KX_OpenGL_VIEW.h"
#include "graphic_viewer/UnitX2D.h"
#include "platform/Dib.h"
#include "platform/FileBytes.h"
#include "platform/Jpeg.h"
#include "platform/Messages.h"
#include "platform/Printing.h"
#include "platform/ReadError.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <QCommandLineParser>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QRegularExpression>

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>

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
  if (extension == ".PNG") return writeFileBytes(fileName, encodePng(picture));
  throw ReadError(fileName, 0, "only .png, .jpg and .bmp pictures can be written");
}

std::optional<TCameraPreset> PresetNamed(const std::string& view) {
  if (view == "top") return TCameraPreset::Top;
  if (view == "front") return TCameraPreset::Front;
  if (view == "side") return TCameraPreset::Side;
  // The perspective view is the orbit the scene opens in.
  return std::nullopt;
}

// Without a display the view never shows and draws into an EGL framebuffer of its own.
std::unique_ptr<HeadlessGlContext> HeadlessContextIfNoDisplay(QSize size) {
  if (!HeadlessGlContext::NoDisplay()) return nullptr;
  auto context = std::make_unique<HeadlessGlContext>(size);
  if (!context->valid())
    throw std::runtime_error("no OpenGL without a display: EGL on Mesa's surfaceless platform is missing");
  return context;
}

// A view that never shows needs no widget support from the platform; Qt's off-screen platform warns
// that it has none when the view is made, which says nothing to the user of a batch job.
class HeadlessWidgetWarningFilter {
public:
  HeadlessWidgetWarningFilter() { previous() = qInstallMessageHandler(&Filter); }
  ~HeadlessWidgetWarningFilter() { qInstallMessageHandler(previous()); }
  HeadlessWidgetWarningFilter(const HeadlessWidgetWarningFilter&) = delete;
  HeadlessWidgetWarningFilter& operator=(const HeadlessWidgetWarningFilter&) = delete;

private:
  static QtMessageHandler& previous() {
    static QtMessageHandler handler = nullptr;
    return handler;
  }
  static void Filter(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith("QOpenGLWidget is not supported")) return;
    if (previous()) return previous()(type, context, text);
    std::fprintf(stderr, "%s\n", qPrintable(text));
  }
};

// A view of its own at `size`, set up, loaded and drawn as a 3D window's view would be. The file is
// read while the view and its context are made.
QImage RenderScene(const TBatchJob& job, std::unique_ptr<TSceneRead> read) {
  if (!read) read = std::make_unique<TSceneRead>(job.Input);
  const std::unique_ptr<HeadlessGlContext> headless = HeadlessContextIfNoDisplay(job.Size);
  TGL_CAMERA camera;
  SetUpSceneCamera(camera);
  TScene scene;
  std::optional<HeadlessWidgetWarningFilter> quiet;
  if (headless) quiet.emplace();
  TGL_VIEW view;
  quiet.reset();
  if (headless) view.UseHeadlessContext(*headless);
  SetUpSceneView(view, camera);
  scene.Attach(view);
  view.resize(job.Size);
  view.Initialisation();
  scene.Adopt(view, *read);
  if (const std::optional<TCameraPreset> preset = PresetNamed(job.View)) ApplyCameraPreset(camera, *preset);
  view.SetProjection();
  view.SetPaperMode(job.Paper);
  if (job.White) view.BackGround().SetStyle(CBackGroundStyle::UniformColor);
  QImage picture;
  if (headless) {
    view.DrawHeadless();
    picture = headless->grab();
  } else {
    picture = GrabScene(view);
  }
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

QImage RenderPicture(const TBatchJob& job, std::unique_ptr<TSceneRead> read = {}) {
  const std::string extension = upperExtension(job.Input);
  if (extension == ".X2D") {
    QMdiArea area;
    return OpenDrawing(area, job)->Capture();
  }
  // Decoded as the picture window holds them.
  if (extension == ".BMP") return loadBmpFile(job.Input, kShownPictureFormat);
  if (extension == ".JPG") return loadJpegFile(job.Input, kShownPictureFormat);
  // A read already started is of a 3D scene: the file need not be probed again.
  if (read || IsScene3D(job.Input)) return RenderScene(job, std::move(read));
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

// The box a scene or a drawing is drawn in: the 4:3 of the windows, as large as fits the square.
QSize ThumbnailCanvas(int side) {
  return QSize(side, std::max(1, side * 3 / 4));
}

// Pictures are shrunk to fit, never enlarged: a file manager scales small ones itself.
QImage Thumbnail(const TBatchJob& job) {
  const int side = job.Size.width();
  TBatchJob drawing = job;
  drawing.Size = ThumbnailCanvas(side);
  const QImage picture = RenderPicture(drawing);
  if (picture.width() <= side && picture.height() <= side) return picture;
  return picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

void WriteThumbnail(const TBatchJob& job) {
  // File managers name the output without an extension at times; a thumbnail is always a PNG.
  writeFileBytes(job.Output, encodePng(Thumbnail(job)));
}

// --thumbnail SIZE IN OUT, as a thumbnailer entry calls it.
std::string ParseThumbnailJob(const QStringList& arguments, TBatchJob& job) {
  const qsizetype at = arguments.indexOf("--thumbnail");
  if (at != 1 || arguments.size() != 5) return "--thumbnail takes SIZE IN OUT and nothing else";
  bool number = false;
  const int side = arguments[2].toInt(&number);
  if (!number || side < 1 || side > 4096) return "--thumbnail SIZE is a number of pixels from 1 to 4096";
  job.What = TBatchJob::Kind::Thumbnail;
  job.Size = QSize(side, side);
  job.Input = arguments[3].toStdString();
  job.Output = arguments[4].toStdString();
  return {};
}

} // namespace

std::string ParseBatchJob(const QStringList& arguments, TBatchJob& job) {
  if (arguments.contains("--thumbnail")) return ParseThumbnailJob(arguments, job);
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

// A missing file is left to the job, which reports it as the windows do.
std::unique_ptr<TSceneRead> StartBatchRead(const TBatchJob& job) {
  if (job.What != TBatchJob::Kind::Render || !IsScene3D(job.Input) || !fileExists(job.Input)) return nullptr;
  return std::make_unique<TSceneRead>(job.Input);
}

void RunBatchJob(const TBatchJob& job, std::unique_ptr<TSceneRead> read) {
  if (job.What == TBatchJob::Kind::Render) WritePicture(RenderPicture(job, std::move(read)), job.Output);
  if (job.What == TBatchJob::Kind::ExportDxf) ExportDxfFile(job);
  if (job.What == TBatchJob::Kind::Print) PrintFile(job);
  if (job.What == TBatchJob::Kind::Thumbnail) WriteThumbnail(job);
}

} // namespace vorlan
