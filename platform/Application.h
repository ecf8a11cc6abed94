#pragma once

#include <QApplication>

namespace vorlan {

// The application object. An exception that leaves any event handler is caught here, once, and
// its text shown in a message box; the window that raised it stays open with what it had.
class VorlanApplication : public QApplication {
  Q_OBJECT
public:
  VorlanApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

private:
  // Settings that must be in force before the application object exists; returns argc.
  static int& prepareProcess(int& argc);
};

} // namespace vorlan
