#include "platform/BackgroundWork.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <utility>

namespace vorlan {
namespace {

thread_local bool jobThread = false;

bool OnApplicationThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

int& waitsOnApplicationThread() {
  static int waits = 0;
  return waits;
}

} // namespace

BackgroundWork::BackgroundWork(std::function<void()> job) {
  // Qt takes the first thread that asks for its thread data for the main thread; before the
  // application object exists, the job might otherwise be first.
  QThread::currentThread();
  if (OnApplicationThread()) loop_ = std::make_unique<QEventLoop>();
  thread_ = std::thread([this, job = std::move(job)] { Run(job); });
}

BackgroundWork::~BackgroundWork() {
  Join();
}

void BackgroundWork::Run(const std::function<void()>& job) {
  jobThread = true;
  try {
    job();
  } catch (...) {
    error_ = std::current_exception();
  }
  // Posted after everything the job posted, so a wait that runs it has run those too. Any event loop
  // of the thread may run it first; a loop that never runs drops it with itself.
  if (loop_)
    QMetaObject::invokeMethod(
        loop_.get(),
        [this] {
          ended_ = true;
          loop_->quit();
        },
        Qt::QueuedConnection);
}

void BackgroundWork::Wait() {
  if (loop_ && !ended_ && OnApplicationThread()) {
    ++waitsOnApplicationThread();
    loop_->exec(QEventLoop::ExcludeUserInputEvents);
    --waitsOnApplicationThread();
  }
  Join();
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

bool BackgroundWork::Waiting() {
  return waitsOnApplicationThread() > 0;
}

bool BackgroundWork::OnJobThread() {
  return jobThread;
}

void BackgroundWork::Join() {
  if (thread_.joinable()) thread_.join();
}

} // namespace vorlan
