#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vorlan {

// The system's plain message box: the text and one OK button, over the active window.
void showMessage(const std::string& text);

// Runs a command of a window and shows the text of anything it throws. Commands run from Qt's signal
// dispatch, which no exception may cross; the window stays as the command left it.
void runCommand(const std::function<void()>& command);

// `slot` of `object` run through runCommand, to connect to a signal or a menu action.
template <typename Object> auto commandSlot(Object* object, void (Object::*slot)()) {
  return [object, slot] { runCommand([object, slot] { (object->*slot)(); }); };
}

// While one exists, message texts go to it instead of a box (tests read what a user would see).
class MessageRecorder {
public:
  MessageRecorder();
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  const std::vector<std::string>& texts() const { return texts_; }
  void record(const std::string& text) { texts_.push_back(text); }

private:
  std::vector<std::string> texts_;
  MessageRecorder* previous_;
};

} // namespace vorlan
