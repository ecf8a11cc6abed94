#include "app/CommandLine.h"

#include <QCommandLineParser>

#include <utility>

namespace vorlan {

namespace {

// Parsed before the application object exists, so that --help and --version need no display.
constexpr const char* HelpText =
    "Usage: vorlancam [FILE...]\n"
    "       vorlancam --render FILE -o OUT [--size WxH] [--view perspective|top|front|side] [--paper] "
    "[--white]\n"
    "       vorlancam --export-dxf FILE -o OUT.dxf\n"
    "       vorlancam --print FILE -o OUT.pdf [--paper A4|A3|Letter] [--orientation landscape|portrait]\n"
    "       vorlancam --thumbnail SIZE FILE OUT.png\n"
    "       vorlancam --info FILE [--json]\n"
    "Viewer for .cam, .x3d, .x2d, .bmp and .jpg design files.\n"
    "Each FILE opens in its own window, as if chosen in File > Open.\n"
    "--render writes what the file's window first shows as .png, .jpg or .bmp (without a display 3D files "
    "draw through EGL);\n"
    "--export-dxf writes the DXF that the 3D window's DXF button writes;\n"
    "--print writes what the window's print button prints as a PDF page (landscape A4 unless told;\n"
    "pictures always print landscape, as their windows do);\n"
    "--thumbnail writes what --render draws, fitted in SIZE x SIZE pixels, as a PNG for file managers;\n"
    "--info prints what a file holds (3D items with their points, faces, contours, mappings and textures;\n"
    "a drawing's layers and entities; pictures' size, depth and compression), as JSON with --json.\n\n"
    "  -h, --help     Show this help.\n"
    "  -v, --version  Show the version.\n";
constexpr const char* VersionText = "Vorlan cam 2.3.2\n";

TCommandLine Exiting(int exitCode, std::string message) {
  TCommandLine result;
  result.Exit = true;
  result.ExitCode = exitCode;
  result.Message = std::move(message);
  return result;
}

} // namespace

TCommandLine ParseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  const QCommandLineOption help({"h", "help"}, "Show this help.");
  const QCommandLineOption version({"v", "version"}, "Show the version.");
  parser.addOption(help);
  parser.addOption(version);
  if (!parser.parse(arguments))
    return Exiting(2, "vorlancam: " + parser.errorText().toStdString() + "\n" + HelpText);
  if (parser.isSet(help)) return Exiting(0, HelpText);
  if (parser.isSet(version)) return Exiting(0, VersionText);

  TCommandLine result;
  for (const QString& file : parser.positionalArguments())
    result.Files.push_back(file.toStdString());
  return result;
}

} // namespace vorlan
