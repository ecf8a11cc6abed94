#pragma once

#include "app/Main.h"
#include "cam/CamFileWriter.h"
#include "cam/CamOpener.h"
#include "platform/BinaryWriter.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <initializer_list>

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

// A frame on screen with the cam opener registered, as the application has it.
struct ShownFrame {
  TForm1 frame;
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
