#pragma once

#include <QImage>

class QPainter;
class QPrinter;
class QWidget;

namespace vorlan {

// Asks for a printer and prints the picture landscape with printPictureOn; false when the user
// cancels or the chosen printer is not usable.
bool printPicture(QWidget* parent, const QImage& picture);

// Prints the picture on one landscape page, placed by placePictureOnPage on the printable area.
// Raises std::runtime_error when the print job cannot start, std::invalid_argument for an empty
// picture.
void printPictureOn(QPrinter& printer, const QImage& picture);

// Stretches the picture onto the painter's viewport (the printable area in device pixels) at the
// place placePictureOnPage gives. Any painter will do, so the placement is testable on a QImage.
// The picture must not be empty.
void paintPictureOnPage(QPainter& painter, const QImage& picture);

} // namespace vorlan
