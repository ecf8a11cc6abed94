#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <thread>

class QEventLoop;

namespace vorlan {

// A job run on a thread of its own from construction, such as reading a large file, while the thread
// that started it goes on with other work and, once it waits, keeps its windows painting.
class BackgroundWork {
public:
  explicit BackgroundWork(std::function<void()> job);
  // Waits for the job; what it threw is dropped.
  ~BackgroundWork();
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

  // Returns when the job has ended, throwing what it threw. On the application's thread the wait runs
  // the event loop meanwhile, without user input: windows repaint, timers and posted calls such as
  // progress reports run, every call the job posted has run on return, and clicks and keys wait for
  // the end, so that nothing the job's owner relies on is closed or changed under it.
  void Wait();

  // Whether a job is being waited for on the application's thread, so that a window can refuse to
  // close while the code below its wait still needs it.
  static bool Waiting();
  // Whether the caller is a job's thread, where no window or OpenGL context may be used.
  static bool OnJobThread();

private:
  void Run(const std::function<void()>& job);
  void Join();

  std::unique_ptr<QEventLoop> loop_;
  bool ended_ = false; // the job's end has reached the application's thread
  std::exception_ptr error_;
  std::thread thread_;
};

} // namespace vorlan
