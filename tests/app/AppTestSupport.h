#pragma once

#include "cam/CamTestSupport.h"
#include "platform/Dib.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

namespace vorlan::test {

struct ProgramRun {
  int exitCode;
  QByteArray out, err;
};

enum class Display { Inherited, None };

inline QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

inline QString BuildDir() {
  return QDir::cleanPath(QCoreApplication::applicationDirPath() + "/..");
}

// Without a display also means without a platform chosen for Qt, as on a machine with no X server.
inline ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                             Display display = Display::Inherited, const QProcessEnvironment& extra = {}) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  if (display == Display::None)
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
      environment.remove(name);
  for (const QString& key : extra.keys())
    environment.insert(key, extra.value(key));
  // A sanitized test run preloads the sanitizer runtime; the system's own tools are not ours to check.
  if (!program.startsWith(BuildDir())) environment.remove("LD_PRELOAD");
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
  return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

inline ProgramRun Vorlancam(const QStringList& arguments, Display display = Display::Inherited,
                            const QProcessEnvironment& extra = {}) {
  return RunProgram(BuildDir() + "/vorlancam", arguments, display, extra);
}

// A wall entity showing `picture`, stored as `name` in `folder` as a scene record names it.
inline std::unique_ptr<TEntity> TexturedWall(const std::string& wallName, const QImage& picture,
                                             const std::string& name, const std::string& folder) {
  auto entity = wall(wallName);
  writeBytes(folder + "/" + name, encodeBmp(picture));
  entity->LoadTexture(picture, 50, 50);
  entity->Texture->FileName = name;
  entity->Texture->Path = folder + "/" + name;
  return entity;
}

} // namespace vorlan::test
