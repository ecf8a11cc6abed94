#pragma once

#include <QImage>

#include <string>

class QFileDialog;
class QWidget;

namespace vorlan {

// The picture windows' save dialog: filter "jpg|*.jpg|bmp|*.bmp", default extension "jpg", an
// existing folder. `confirmOverwrite` is whether it asks before replacing a file.
QFileDialog* NewSavePictureDialog(QWidget* parent, bool confirmOverwrite);

// Runs the dialog in the folder last used by any dialog; the chosen name, or empty when cancelled.
std::string AskPictureName(QFileDialog& dialog);

// Writes the picture by the name's upper-cased extension: ".JPG" as JPEG with the codec's defaults,
// ".BMP" as a 24-bit BMP file. Any other name writes nothing and says so in a message box, so that
// a user never believes a picture saved that was not. Write failures raise ReadError.
bool SavePictureFile(const QImage& picture, const std::string& fileName);

} // namespace vorlan
