#pragma once

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

class QFileDialog;
class QWidget;

namespace vorlan {

// The picture windows' save dialog: filter "jpg|*.jpg|bmp|*.bmp|png|*.png", default extension "jpg", an
// existing folder. `confirmOverwrite` is whether it asks before replacing a file.
QFileDialog* NewSavePictureDialog(QWidget* parent, bool confirmOverwrite);

// Runs the dialog in the folder last used by any dialog; the chosen name, or empty when cancelled.
std::string AskPictureName(QFileDialog& dialog);

// The picture as the bytes of a PNG file.
std::vector<std::uint8_t> encodePng(const QImage& picture);

// Writes the picture by the name's upper-cased extension: ".JPG" as JPEG with the codec's defaults,
// ".BMP" as a 24-bit BMP file, ".PNG" as a PNG file. Any other name writes nothing and says so in a message
// box, so that a user never believes a picture saved that was not. Write failures raise ReadError.
bool SavePictureFile(const QImage& picture, const std::string& fileName);

} // namespace vorlan
