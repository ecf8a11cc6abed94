#include "app/Main.h"
#include "app/Accueil.h"
#include "app/Batch.h"
#include "app/CommandLine.h"
#include "app/Inspector.h"
#include "cam/SceneView.h"
#include "gl/HeadlessGlContext.h"
#include "platform/Application.h"

#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <malloc.h>

namespace {

// A batch job draws nothing on screen. Without a display the pictures use Qt's off-screen
// platform and 3D scenes an EGL context of their own.
int RunBatch(const vorlan::TBatchJob& job, int& argc, char** argv) {
  try {
    if (vorlan::HeadlessGlContext::NoDisplay()) qputenv("QT_QPA_PLATFORM", "offscreen");
    // A large file is read while the application object connects to the display.
    std::unique_ptr<vorlan::TSceneRead> read = vorlan::StartBatchRead(job);
    vorlan::VorlanApplication app(argc, argv);
    vorlan::RunBatchJob(job, std::move(read));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vorlancam: %s\n", error.what());
    return 1;
  }
  return 0;
}

// A big model is read as a million small allocations on a reading thread of its own, whose heap
// would otherwise grow a page at a time, one system call each (some 27,000 for a 500,000-face mesh).
// Growing it 32 MB at a time makes such an open about a tenth faster; up to that much freed memory
// stays with the process for the next file.
constexpr int kHeapGrowth = 32 << 20;

} // namespace

int main(int argc, char** argv) {
  mallopt(M_TOP_PAD, kHeapGrowth);
  QStringList arguments;
  for (int i = 0; i < argc; ++i)
    arguments << QString::fromLocal8Bit(argv[i]);
  // --info reads and describes a file; it needs neither a window nor a display.
  if (vorlan::IsInfoRequest(arguments)) return vorlan::RunInspector(arguments);
  vorlan::TBatchJob job;
  if (const std::string error = vorlan::ParseBatchJob(arguments, job); !error.empty()) {
    std::fprintf(stderr, "vorlancam: %s\n", error.c_str());
    return 2;
  }
  if (job.What != vorlan::TBatchJob::Kind::None) return RunBatch(job, argc, argv);

  const vorlan::TCommandLine commandLine = vorlan::ParseCommandLine(arguments);
  if (commandLine.Exit) {
    std::fputs(commandLine.Message.c_str(), commandLine.ExitCode == 0 ? stdout : stderr);
    return commandLine.ExitCode;
  }

  vorlan::VorlanApplication app(argc, argv);

  // The splash is on screen before the frame exists; it hides itself and is freed at the end.
  QPointer<vorlan::TSplashform> splash = new vorlan::TSplashform;
  splash->ShowAndPaint();

  vorlan::TForm1 Form1;
  Form1.ShowMaximised();
  // Window managers keep a stay-on-top window above; without one, stacking follows map order.
  if (splash) splash->raise();

  // Files named on the command line open from the event loop, as File > Open does, so that a
  // load error reaches the user in the same message box.
  // One after the other, so that one file's message box is answered before the next file opens.
  QTimer::singleShot(0, &Form1, [&Form1, files = commandLine.Files] {
    for (const std::string& file : files)
      Form1.OpenFile(file);
  });

  const int result = app.exec();
  delete splash;
  return result;
}
