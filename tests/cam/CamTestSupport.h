#pragma once

#include "cam/CamFileWriter.h"
#include "cam/CamOpener.h"
#include "platform/BinaryWriter.h"
#include "platform/FileBytes.h"
#include "support/TestSupport.h"
#include "widgets/FrameServices.h"
#include "widgets/Resources.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace vorlan::test {

// Little-endian int32 words, for hand-built headers.
inline std::vector<std::uint8_t> words(std::initializer_list<std::int32_t> values) {
  BinaryWriter w;
  for (std::int32_t value : values)
    w.writeInt32(value);
  return w.bytes();
}

// Every pixel a different colour: red and green follow x and y, blue is `tint`.
inline QImage gradient(int width, int height, int tint) {
  QImage picture(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.setPixel(x, y, qRgb(x % 256, y % 256, tint));
  return picture;
}

// One rectangular face standing in the x-z plane: only Prepare turns its normal along y.
inline std::unique_ptr<TEntity> wall(const std::string& name) {
  auto entity = std::make_unique<TEntity>();
  entity->Name = name;
  TFace& face = TFace::Create(*entity);
  for (const Vector3D& p : {Vector3D{0, 0, 0}, {100, 0, 0}, {100, 0, 50}, {0, 0, 50}})
    face.AddPoint(nullptr, p.x, p.y, p.z, 1.0);
  return entity;
}

// Two 24-bit gradients that differ at every pixel.
inline void writePair(const std::string& fileName, QSize size) {
  const auto [w, h] = std::pair(size.width(), size.height());
  writeBytes(fileName, CamBitmapPairBytes(DibBlockOf(gradient(w, h, 40)),
                                          DibBlockOf(gradient(w, h, 220).mirrored(true, true))));
}

// What the application's frame offers the windows of this library, without the application:
// an MDI client area, the hidden progress bar, the logo strip, the openers by extension and the
// list of rotating windows.
class TestFrame : public QMainWindow, public FrameServices {
public:
  TestFrame() : area_(new QMdiArea(this)), bar_(new QProgressBar(area_)) {
    setCentralWidget(area_);
    bar_->hide();
  }

  void OpenFile(const std::string& F) {
    const auto opener = openers_.find(upperExtension(F));
    if (opener != openers_.end()) opener->second(F);
  }
  void SetRotating(TRotatingWindow* window, bool on) override {
    std::erase(rotating_, window);
    if (on) rotating_.push_back(window);
  }
  QProgressBar* MainBar() override { return bar_; }
  QImage LogoStrip() const override { return QImage(":/logo_strip.png"); }
  QMdiArea* ClientArea() override { return area_; }
  void RegisterOpener(const std::string& extension, FileOpener opener) override {
    openers_[extension] = std::move(opener);
  }
  const std::vector<TRotatingWindow*>& RotationList() const { return rotating_; }

private:
  QMdiArea* area_;
  QProgressBar* bar_;
  std::vector<TRotatingWindow*> rotating_;
  std::map<std::string, FileOpener> openers_;
};

// A frame on screen with the cam opener registered, as the application has it.
struct ShownFrame {
  TestFrame frame;
  ShownFrame() {
    RegisterPictures();
    RegisterCamOpeners(frame);
    frame.setWindowState(Qt::WindowNoState);
    frame.resize(1200, 900);
    frame.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
  }
  QList<QMdiSubWindow*> children() { return frame.ClientArea()->subWindowList(); }
};

// A mouse event as the window system delivers it: `button` changed, `held` down afterwards.
inline void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons held) {
  QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

} // namespace vorlan::test
