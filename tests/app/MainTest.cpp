#include "app/Main.h"
#include "support/TestSupport.h"

#include "platform/BackgroundWork.h"
#include "platform/Messages.h"
#include "widgets/WindowChrome.h"

#include <QDir>
#include <QFileDialog>
#include <QMdiArea>
#include <QMenuBar>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>

namespace vorlan {
namespace {

TEST(DialogFilter, TurnsDescriptionAndPatternPairsIntoDialogEntries) {
  EXPECT_EQ(DialogFilter(OpenFilter), "cam, bmp, jpg, x2d, x3d (*.cam *.bmp *.jpg *.x2d *.x3d)");
  EXPECT_EQ(DialogFilter("Pictures|*.bmp;*.jpg|All|*.*"), "Pictures (*.bmp *.jpg);;All (*.*)");
}

TEST(CentredPosition, TruncatesTheHalvesAndNeverGoesBelowZero) {
  // clang-format off
  struct Case { const char* what; QSize client, window; QPoint expected; };
  const Case cases[] = {
      {"odd spans truncate", {801, 601}, {420, 364}, {190, 118}},
      {"window as large as the area", {420, 364}, {420, 364}, {0, 0}},
      {"one pixel too wide", {419, 363}, {420, 364}, {0, 0}},
      {"larger than the area", {300, 200}, {420, 364}, {0, 0}},
      {"wide area, tall window", {1000, 100}, {200, 300}, {400, 0}},
  };
  // clang-format on
  for (const auto& [what, client, window, expected] : cases) {
    SCOPED_TRACE(what);
    EXPECT_EQ(CentredPosition(client, window), expected);
  }
}

TEST(TForm1, OpenFileRunsTheOpenerOfTheMatchingBranchOnly) {
  TForm1 frame;
  std::vector<std::pair<std::string, std::string>> opened;
  for (std::string_view extension : OpenExtensions)
    frame.RegisterOpener(std::string(extension),
                         [&opened, extension](const std::string& F) { opened.emplace_back(extension, F); });
  const std::pair<const char*, std::optional<const char*>> cases[] = {
      {"a.CAM", ".CAM"},     {"p.Bmp", ".BMP"},  {"p.jpg", ".JPG"},       {"plan.x2d", ".X2D"},
      {"a.tar.x3d", ".X3D"}, {"p.jpeg", ".JPG"}, {"folder.x2d/plan", {}}, {"p.jpg.bak", {}},
      {"scene.cam ", {}},    {"noextension", {}}};
  test::ScratchDir dir;
  QDir().mkpath(QString::fromStdString(dir.path("folder.x2d")));
  MessageRecorder messages;
  for (const auto& [name, branch] : cases) {
    SCOPED_TRACE(name);
    const std::string fileName = dir.path(name);
    test::writeBytes(fileName, {});
    opened.clear();
    frame.OpenFile(fileName);
    if (branch) {
      ASSERT_EQ(opened.size(), 1u);
      EXPECT_EQ(opened[0].first, *branch);
      EXPECT_EQ(opened[0].second, fileName);
    } else {
      EXPECT_TRUE(opened.empty());
    }
  }
  EXPECT_EQ(messages.texts().size(), 4u) << "each file of no branch says so";
}

// A 3D window as the rotation service sees it: it records each step it is asked to take.
class FakeRotatingWindow : public TRotatingWindow {
public:
  FakeRotatingWindow(std::vector<std::string>& steps, std::string name)
      : steps_(steps), name_(std::move(name)) {}
  void Rotation(QObject* sender) override {
    steps_.push_back(name_);
    lastSender = sender;
  }
  QObject* lastSender = nullptr;

private:
  std::vector<std::string>& steps_;
  std::string name_;
};

TEST(TForm1, TheRotationTimerRunsWhileAtLeastOneWindowRotates) {
  TForm1 frame;
  std::vector<std::string> steps;
  FakeRotatingWindow a(steps, "a"), b(steps, "b"), c(steps, "c"), notListed(steps, "d");
  // clang-format off
  struct Step { const char* what; TRotatingWindow* window; bool on; std::vector<TRotatingWindow*> list; };
  const Step script[] = {
      {"on in one window starts the timer", &a, true, {&a}},
      {"on in a second keeps it", &b, true, {&a, &b}},
      {"on in a third keeps all three turning", &c, true, {&a, &b, &c}},
      {"on again in a listed window adds nothing", &a, true, {&a, &b, &c}},
      {"off in a window not in the list changes nothing", &notListed, false, {&a, &b, &c}},
      {"off in the middle one keeps the order", &b, false, {&a, &c}},
      {"off in the first", &a, false, {&c}},
      {"off in the last stops the timer", &c, false, {}},
  };
  // clang-format on
  for (const auto& [what, window, on, list] : script) {
    SCOPED_TRACE(what);
    frame.SetRotating(window, on);
    EXPECT_EQ(frame.RotationList(), list);
    EXPECT_EQ(frame.Timer1->isActive(), !list.empty());
  }
}

// A window whose step closes another rotating window, as a window closing in its timer step would.
class ClosingWindow : public TRotatingWindow {
public:
  explicit ClosingWindow(std::unique_ptr<FakeRotatingWindow>& victim) : victim_(victim) {}
  void Rotation(QObject*) override { victim_.reset(); }

private:
  std::unique_ptr<FakeRotatingWindow>& victim_;
};

// Each tick steps the listed windows once, first to last, with the timer as sender; a destroyed
// window has left the list, also one closed by an earlier step of the same tick.
TEST(TForm1, RotStepsEachListedWindowOnceFromFirstToLastWithTheTimerAsSender) {
  TForm1 frame;
  std::vector<std::string> steps;
  FakeRotatingWindow a(steps, "a"), b(steps, "b");
  auto gone = std::make_unique<FakeRotatingWindow>(steps, "gone");
  auto victim = std::make_unique<FakeRotatingWindow>(steps, "victim");
  ClosingWindow closer(victim);
  for (TRotatingWindow* window :
       std::initializer_list<TRotatingWindow*>{&b, gone.get(), &closer, victim.get(), &a})
    frame.SetRotating(window, true);
  gone.reset();
  frame.Rot();
  EXPECT_EQ(steps, (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(a.lastSender, frame.Timer1);
  EXPECT_EQ(frame.RotationList(), (std::vector<TRotatingWindow*>{&b, &closer, &a}));
  frame.SetRotating(&closer, false);
  EXPECT_TRUE(QTest::qWaitFor([&] { return steps.size() >= 5; }, 2000)) << "the running timer steps them";
}

TEST(TForm1, WindowsOutlivingTheFrameFindNoFrame) {
  std::vector<std::string> steps;
  FakeRotatingWindow survivor(steps, "survivor");
  {
    TForm1 frame;
    EXPECT_EQ(FrameServices::instance(), &frame);
    frame.SetRotating(&survivor, true);
  }
  EXPECT_EQ(FrameServices::instance(), nullptr);
}

// The window being loaded is still needed below the wait: a close asked for meanwhile comes after it.
TEST(TForm1, ACloseAskedForDuringALoadClosesTheFrameOnceTheLoadHasEnded) {
  TForm1 frame;
  frame.show();
  std::atomic<bool> asked = false;
  bool closedAtOnce = true;
  QTimer::singleShot(0, &frame, [&] {
    closedAtOnce = frame.close();
    asked = true;
  });
  BackgroundWork load([&asked] {
    for (int ms = 0; !asked && ms < 5000; ++ms)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  load.Wait();
  EXPECT_TRUE(asked) << "the close was asked for during the load";
  EXPECT_FALSE(closedAtOnce);
  EXPECT_TRUE(QTest::qWaitFor([&frame] { return !frame.isVisible(); }, 5000));
}

} // namespace
} // namespace vorlan
