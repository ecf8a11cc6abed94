#include "platform/Application.h"

#include "platform/Messages.h"
#include "platform/SurfaceFormat.h"

#include <QLocale>

#include <clocale>
#include <exception>

namespace vorlan {

int& VorlanApplication::prepareProcess(int& argc) {
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
