#include "platform/Messages.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>

namespace vorlan {

namespace {
MessageRecorder* activeRecorder = nullptr;
}

MessageRecorder::MessageRecorder() : previous_(activeRecorder) {
  activeRecorder = this;
}

MessageRecorder::~MessageRecorder() {
  activeRecorder = previous_;
}

void showMessage(const std::string& text) {
  if (activeRecorder) {
    activeRecorder->record(text);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), QString::fromStdString(text),
                  QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

void runCommand(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& error) {
    showMessage(error.what());
  } catch (...) {
    showMessage("Unknown error");
  }
}

} // namespace vorlan
