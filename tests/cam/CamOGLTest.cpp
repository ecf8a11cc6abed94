#include "CamTestSupport.h"

#include "cam/KX_CAMOBJET.h"
#include "cam/UnitCamOGL.h"
#include "gl/KX_OpenGL_VIEW.h"
#include "platform/Messages.h"
#include "platform/ReadError.h"
#include "widgets/KX_BUTTONS.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

namespace vorlan {
namespace {

// A red square lying in the ground plane around the origin, facing up: in the middle of the view.
std::unique_ptr<TEntity> redSquare(double z = 0) {
  auto entity = std::make_unique<TEntity>();
  entity->Name = "square";
  TFace& face = TFace::Create(*entity);
  face.Color = {255, 0, 0, 255};
  for (const Vector3D& p : {Vector3D{-200, -200, z}, {200, -200, z}, {200, 200, z}, {-200, 200, z}})
    face.AddPoint(nullptr, p.x, p.y, p.z, 1.0);
  return entity;
}

std::vector<std::uint8_t> sceneBytes() {
  TCamSceneWriter scene;
  scene.AddEntity(*redSquare());
  scene.AddEntity(*test::wall("wall"));
  return scene.Bytes();
}

std::vector<std::uint8_t> modelBytes() {
  TSuperObject model;
  model.Entities.push_back(redSquare());
  BinaryWriter bytes;
  model.SaveToFile(bytes);
  return bytes.bytes();
}

bool isRed(std::uint32_t rgb) {
  return (rgb >> 16) > 150 && ((rgb >> 8) & 0xFF) < 100 && (rgb & 0xFF) < 100;
}
bool isBlack(std::uint32_t rgb) {
  return (rgb >> 16) < 80 && ((rgb >> 8) & 0xFF) < 80 && (rgb & 0xFF) < 80;
}
constexpr std::uint32_t kWhite = 0xFFFFFF;

// Black runs down the column at `x`: the edges that the column crosses.
int edgesCrossed(const QImage& picture, int x) {
  int runs = 0;
  bool inside = false;
  for (int y = 0; y < picture.height(); ++y) {
    const bool black = isBlack(test::rgbAt(picture, x, y));
    runs += black && !inside;
    inside = black;
  }
  return runs;
}

// A point of the square clear of the wall that stands at its centre.
std::uint32_t squareOf(const QImage& picture) {
  return test::rgbAt(picture, picture.width() / 2, picture.height() * 3 / 5);
}

// A frame with the 3D windows registered and a scratch folder holding the test scene.
struct CamOGL : ::testing::Test {
  test::ScratchDir dir;
  test::ShownFrame shown;
  std::string scene = dir.path("scene.cam");

  CamOGL() { test::writeBytes(scene, sceneBytes()); }
  TFicheCamOGL* open(const std::string& fileName) {
    shown.frame.OpenFile(fileName);
    const auto windows = shown.children();
    return windows.isEmpty() ? nullptr : qobject_cast<TFicheCamOGL*>(windows.last()->widget());
  }
  void close(TFicheCamOGL* window) {
    window->SubWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

// A scene or a model opens with its own navigation step and is drawn; a load error keeps the window
// and what was read. Either way the cursor and the progress bar are restored.
TEST_F(CamOGL, OpeningDrawsTheFileOrKeepsWhatWasReadBeforeAnError) {
  std::vector<std::uint8_t> cut = sceneBytes();
  cut.resize(cut.size() - 10);
  // clang-format off
  struct Case { const char* name; std::vector<std::uint8_t> bytes; double Pas; std::size_t entities; };
  // Pas 0: a read error, which keeps `entities` items.
  for (const auto& [name, bytes, Pas, entities] : {Case{"scene.cam", sceneBytes(), 100, 2},
       {"model.x3d", modelBytes(), 1000, 1}, {"short.x3d", {1, 2, 3}, 0, 0}, {"cut.cam", cut, 0, 1}}) {
    // clang-format on
    SCOPED_TRACE(name);
    const std::string fileName = dir.path(name);
    test::writeBytes(fileName, bytes);
    if (Pas == 0) {
      EXPECT_THROW(shown.frame.OpenFile(fileName), ReadError);
    } else {
      shown.frame.OpenFile(fileName);
    }
    auto* window = qobject_cast<TFicheCamOGL*>(shown.children().last()->widget());
    ASSERT_NE(window, nullptr) << "the window stays open after a load error";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(shown.frame.MainBar()->isVisible());
    if (Pas == 0) {
      EXPECT_EQ(window->Cam() ? window->Cam()->Items.size() : 0u, entities);
    } else {
      EXPECT_EQ(window->Camera().Params().Pas(), Pas);
      EXPECT_EQ(window->SubWindow()->windowFilePath().toStdString(), fileName);
      EXPECT_EQ(window->SceneEntities().size(), entities);
      EXPECT_TRUE(isRed(squareOf(window->Capture()))) << std::hex << squareOf(window->Capture());
    }
    close(window);
  }
}

// 180 ticks turn the scene once, keeping the azimuth in (0, 360]; an axis view stands still while
// the rotation ticks; the perspective preset takes up the orbit where the ticks left it.
TEST_F(CamOGL, RotationTurnsTheOrbitButNotTheAxisViews) {
  TFicheCamOGL* window = open(scene);
  const QImage before = window->Capture();
  for (int tick = 1; tick <= 180; ++tick) {
    window->Rotation(nullptr);
    const double azimuth = window->Camera().Params().Azimuth();
    ASSERT_TRUE(azimuth > 0 && azimuth <= 360) << "tick " << tick << ": " << azimuth;
  }
  EXPECT_EQ(window->Capture(), before);
  double azimuth = window->Camera().Params().Azimuth();
  for (QToolButton* button : {window->SpeedButton10, window->SpeedButton11, window->SpeedButton12}) {
    SCOPED_TRACE(button->objectName().toStdString());
    button->click();
    EXPECT_TRUE(button->isChecked());
    const QImage still = window->Capture();
    for (int tick = 0; tick < 15; ++tick)
      window->Rotation(nullptr);
    azimuth += 30;
    EXPECT_EQ(window->Capture(), still);
  }
  window->SpeedButton10->click();
  EXPECT_TRUE(isRed(squareOf(window->Capture()))) << "the top view shows the square";
  window->SpeedButton13->click();
  EXPECT_EQ(window->Camera().Style(), CStyle::polar);
  EXPECT_TRUE(window->Camera().Perspective());
  EXPECT_EQ(window->Camera().Params().Azimuth(), azimuth);
}

TEST_F(CamOGL, PaperModeShowsWhiteFacesWithTheEdgesInFrontOfThem) {
  const std::string stack = dir.path("stack.cam");
  TCamSceneWriter scene;
  scene.AddEntity(*redSquare(0));
  scene.AddEntity(*redSquare(200));
  test::writeBytes(stack, scene.Bytes());
  TFicheCamOGL* window = open(stack);
  window->SpeedButton23->click();
  ASSERT_TRUE(window->View().PaperMode());
  EXPECT_TRUE(window->SpeedButton23->isChecked());
  const QImage paper = window->Capture();
  EXPECT_EQ(squareOf(paper), kWhite);
  // Both edges of the upper square, and the near edge of the lower one: its far edge lies behind
  // the upper face, which the paper fill paints white over it.
  EXPECT_EQ(edgesCrossed(paper, paper.width() * 6 / 10), 3);
  window->SpeedButton23Click();
  EXPECT_FALSE(window->SpeedButton23->isChecked()) << "the button follows the mode however it changes";
  EXPECT_TRUE(isRed(squareOf(window->Capture())));

  // The white background button toggles the gradient.
  const auto corners = [&] {
    const QImage picture = window->Capture();
    return std::pair(test::rgbAt(picture, 1, 1), test::rgbAt(picture, 1, picture.height() - 2));
  };
  const auto gradual = corners();
  EXPECT_NE(gradual.first, gradual.second) << "a gradient from top to bottom";
  window->SpeedButton4->click();
  EXPECT_EQ(corners(), std::pair(kWhite, kWhite));
  window->SpeedButton4->click();
  EXPECT_EQ(corners(), gradual);
}

// Only .jpg and .bmp are written; anything else, or a file that cannot be made, is a message, and
// the window goes on working after it.
TEST_F(CamOGL, SavesOnlyThePictureKindsItWritesAndSaysWhyOtherwise) {
  TFicheCamOGL* window = open(scene);
  QFileDialog* dialog = window->SavePictureDialog1;
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  for (const auto& [name, written] : {std::pair{"missing folder/view.jpg", false},
                                      {"view.jpg", true},
                                      {"VIEW.BMP", true},
                                      {"view.jpeg", false},
                                      {"view.tif", false}}) {
    SCOPED_TRACE(name);
    const std::string fileName = dir.path(name);
    QTimer::singleShot(0, dialog, [&] {
      dialog->selectFile(QString::fromStdString(fileName));
      QMetaObject::invokeMethod(dialog, "accept");
    });
    MessageRecorder messages;
    window->SpeedButton2->click();
    EXPECT_EQ(QFileInfo::exists(QString::fromStdString(fileName)), written);
    ASSERT_EQ(messages.texts().size(), written ? 0u : 1u);
    if (!written) {
      EXPECT_NE(messages.texts()[0].find(fileName), std::string::npos) << messages.texts()[0];
      continue;
    }
    const QImage back(QString::fromStdString(fileName));
    EXPECT_EQ(back.size(), window->Capture().size());
    EXPECT_TRUE(isRed(squareOf(back)));
  }
}

TEST_F(CamOGL, ClosingAWindowTakesItOutOfRotationAndLeavesTheOtherDrawing) {
  TFicheCamOGL* first = open(scene);
  TFicheCamOGL* second = open(scene);
  first->SpeedButton1->click();
  second->SpeedButton1->click();
  EXPECT_TRUE(first->SpeedButton1->isChecked() && first->IsRotating());
  EXPECT_EQ(shown.frame.RotationList().size(), 2u);
  close(first);
  EXPECT_EQ(shown.frame.RotationList(), std::vector<TRotatingWindow*>{second});
  EXPECT_TRUE(isRed(squareOf(second->Capture()))) << "the other window's lists survive";
  second->SpeedButton1->click();
  EXPECT_FALSE(second->SpeedButton1->isChecked() || second->IsRotating());
  EXPECT_TRUE(shown.frame.RotationList().empty());
}

// Every button is named, and the hint gives way to the buttons in a narrow window.
TEST_F(CamOGL, EveryButtonIsNamedAndStaysInANarrowWindow) {
  TFicheCamOGL* w = open(scene);
  for (int width : {900, 561, 200}) {
    SCOPED_TRACE(width);
    w->SubWindow()->resize(width, 390);
    QApplication::processEvents();
    const QRect hint = w->Label1->geometry();
    for (QToolButton* button : w->KXPanel1->findChildren<QToolButton*>()) {
      EXPECT_FALSE(button->toolTip().isEmpty()) << button->objectName().toStdString();
      EXPECT_FALSE(w->Label1->isVisible() && hint.intersects(button->geometry()));
    }
    EXPECT_TRUE(w->KXPanel1->rect().contains(w->SpeedButton5->geometry())) << "the window keeps its buttons";
  }
  w->SubWindow()->resize(900, 390);
  QApplication::processEvents();
  EXPECT_TRUE(w->Label1->isVisible()) << "wide enough for the hint";
}

} // namespace
} // namespace vorlan
