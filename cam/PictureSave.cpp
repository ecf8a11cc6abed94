#include "cam/PictureSave.h"

#include "platform/Dib.h"
#include "platform/FileBytes.h"
#include "platform/Jpeg.h"
#include "platform/Messages.h"
#include "widgets/WindowChrome.h"

#include <QBuffer>
#include <QFileDialog>

namespace vorlan {

QFileDialog* NewSavePictureDialog(QWidget* parent, bool confirmOverwrite) {
  // "jpg|*.jpg|bmp|*.bmp|png|*.png" as the file dialog takes it.
  auto* dialog = new QFileDialog(parent, QString(), QString(), "jpg (*.jpg);;bmp (*.bmp);;png (*.png)");
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setDefaultSuffix("jpg");
  dialog->setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
  return dialog;
}

std::string AskPictureName(QFileDialog& dialog) {
  if (!LastFolder().isEmpty()) dialog.setDirectory(LastFolder());
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return {};
  RememberFolder(chosen.first());
  return chosen.first().toStdString();
}

// Qt's quality 80 is zlib's fastest level: a view saves in about half the time, its file about half
// as large again, and every pixel is kept either way.
constexpr int kPngQuality = 80;

std::vector<std::uint8_t> encodePng(const QImage& picture) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "PNG", kPngQuality);
  return {bytes.begin(), bytes.end()};
}

bool SavePictureFile(const QImage& picture, const std::string& fileName) {
  const std::string extension = upperExtension(fileName);
  if (extension == ".JPG") {
    writeFileBytes(fileName, encodeJpeg(picture));
    return true;
  }
  if (extension == ".BMP") {
    writeFileBytes(fileName, encodeBmp(picture));
    return true;
  }
  if (extension == ".PNG") {
    writeFileBytes(fileName, encodePng(picture));
    return true;
  }
  showMessage("Picture not saved, only .jpg, .bmp and .png files can be written : " + fileName);
  return false;
}

} // namespace vorlan
