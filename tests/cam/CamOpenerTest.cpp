#include "CamTestSupport.h"

#include "cam/UnitRetoucheCam.h"
#include "platform/Messages.h"
#include "platform/ReadError.h"

#include <QProgressBar>

#include <optional>

namespace vorlan {
namespace {

using test::words;

// Records the 3D window's opening sequence instead of running it, and forgets it afterwards.
struct RecordedSceneOpener {
  std::vector<std::string> opened;
  RecordedSceneOpener() {
    SetCamSceneOpener([this](const std::string& F) { opened.push_back(F); });
  }
  ~RecordedSceneOpener() { SetCamSceneOpener({}); }
};

TEST(OpenCamFile, EachKindOpensItsOwnWindowAndOtherFilesOpenNothing) {
  struct Case {
    const char* what;
    std::optional<std::vector<std::uint8_t>> bytes; // none: no such file; empty: a pair of pictures
    int pairWindows, sceneOpenings;
    bool readError;
  };
  const Case cases[] = {
      {"kind 1", std::vector<std::uint8_t>{}, 1, 0, false},
      {"kind 0", words({1, 0, 0, 0}), 0, 1, false},
      {"missing file", std::nullopt, 0, 0, false},
      {"kind 1 without pictures", words({1, 1, 0, 0}), 0, 0, true},
  };
  for (const auto& [what, bytes, pairWindows, sceneOpenings, readError] : cases) {
    SCOPED_TRACE(what);
    test::ScratchDir dir;
    const std::string fileName = dir.path("file.cam");
    if (bytes && bytes->empty()) test::writePair(fileName, {30, 20});
    if (bytes && !bytes->empty()) test::writeBytes(fileName, *bytes);
    test::ShownFrame shown;
    RecordedSceneOpener scene;
    MessageRecorder messages;
    if (readError)
      EXPECT_THROW(shown.frame.OpenFile(fileName), ReadError);
    else
      shown.frame.OpenFile(fileName);

    EXPECT_TRUE(messages.texts().empty());
    EXPECT_EQ(scene.opened, std::vector<std::string>(sceneOpenings, fileName));
    const auto windows = shown.children();
    ASSERT_EQ(windows.size(), pairWindows);
    if (pairWindows) {
      EXPECT_NE(qobject_cast<TFicheRetoucheCam*>(windows[0]), nullptr);
      EXPECT_EQ(windows[0]->windowFilePath().toStdString(), fileName);
      EXPECT_EQ(shown.frame.MainBar()->value(), 100) << "the bar followed the read to its end";
    }
    EXPECT_FALSE(shown.frame.MainBar()->isVisible());
  }
}

} // namespace
} // namespace vorlan
