#include "cam/CamTestSupport.h"
#include "cam/PictureSave.h"
#include "platform/Messages.h"

#include <QFileDialog>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

using namespace test;

// PNG keeps every pixel, so a view saved as .png reads back exactly; the dialog offers it beside
// .jpg and .bmp.
TEST(PictureSave, APngIsWrittenLosslesslyAndOfferedByTheDialog) {
  ScratchDir dir;
  const QImage picture = gradient(37, 23, 150);
  for (const char* name : {"view.png", "VIEW.PNG"}) {
    SCOPED_TRACE(name);
    MessageRecorder messages;
    ASSERT_TRUE(SavePictureFile(picture, dir.path(name)));
    EXPECT_TRUE(messages.texts().empty());
    QImage back;
    ASSERT_TRUE(back.load(QString::fromStdString(dir.path(name)), "PNG"));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB888), picture);
  }
  std::unique_ptr<QFileDialog> dialog(NewSavePictureDialog(nullptr, true));
  EXPECT_EQ(dialog->nameFilters(), (QStringList{"jpg (*.jpg)", "bmp (*.bmp)", "png (*.png)"}));
}

} // namespace
} // namespace vorlan
