#pragma once

#include <string>
#include <vector>

namespace vorlan {

// The system's plain message box: the text and one OK button, over the active window.
void showMessage(const std::string& text);

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
