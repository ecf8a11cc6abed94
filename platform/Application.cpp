#include "platform/Application.h"

#include "platform/Messages.h"
#include "platform/SurfaceFormat.h"

#include <QByteArray>
#include <QDir>
#include <QLocale>

#include <clocale>
#include <exception>

#include <sys/stat.h>
#include <unistd.h>

namespace vorlan {

namespace {

// A folder only this user can enter, as Qt wants its runtime folder to be.
bool IsPrivateFolder(const QByteArray& path) {
  struct stat status {};
  return lstat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == getuid() &&
         (status.st_mode & 0777) == 0700;
}

// Sessions started outside a desktop login (ssh, cron, a build machine) have no XDG_RUNTIME_DIR, and
// Qt says so on every start; a private folder of our own in the temporary folder serves instead.
void ProvideRuntimeFolder() {
  if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
  const QByteArray path =
      QDir::tempPath().toLocal8Bit() + "/vorlancam-runtime-" + QByteArray::number(getuid());
  mkdir(path.constData(), 0700);
  if (IsPrivateFolder(path)) qputenv("XDG_RUNTIME_DIR", path);
}

} // namespace

int& VorlanApplication::prepareProcess(int& argc) {
  ProvideRuntimeFolder();
  // Every OpenGL context of the process shares one namespace of display lists and textures, so a
  // scene loaded in one window's context draws in any other (the preview window, a second view).
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QSurfaceFormat::setDefaultFormat(SceneSurfaceFormat());
  return argc;
}

VorlanApplication::VorlanApplication(int& argc, char** argv) : QApplication(prepareProcess(argc), argv) {
  setApplicationName("Vorlan cam");
  setApplicationVersion("2.3.2");
  // Numbers written as text never follow the user's locale: the C library keeps "." and
  // Qt's default locale formats like C.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
}

bool VorlanApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    showMessage(error.what());
  } catch (...) {
    showMessage("Unknown error");
  }
  return false;
}

} // namespace vorlan
