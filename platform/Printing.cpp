#include "platform/Printing.h"

#include "platform/PrintLayout.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <stdexcept>

namespace vorlan {

namespace {
std::string describe(const QPrinter& printer) {
  if (!printer.outputFileName().isEmpty())
    return "the file \"" + printer.outputFileName().toStdString() + "\"";
  return "the printer \"" + printer.printerName().toStdString() + "\"";
}
} // namespace

bool printPicture(QWidget* parent, const QImage& picture) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  QPrintDialog dialog(&printer, parent);
  if (dialog.exec() != QDialog::Accepted || !printer.isValid()) return false;
  printPictureOn(printer, picture);
  return true;
}

void printPictureOn(QPrinter& printer, const QImage& picture) {
  if (picture.isNull()) throw std::invalid_argument("printPictureOn: empty picture");
  printer.setPageOrientation(QPageLayout::Landscape);
  QPainter painter;
  if (!painter.begin(&printer))
    throw std::runtime_error("Could not start printing on " + describe(printer) + ".");
  paintPictureOnPage(painter, picture);
  if (!painter.end()) throw std::runtime_error("Could not finish printing on " + describe(printer) + ".");
}

void paintPictureOnPage(QPainter& painter, const QImage& picture) {
  const QRect page = painter.viewport();
  const PrintPlacement place =
      placePictureOnPage(page.width(), page.height(), picture.width(), picture.height());
  painter.drawImage(QRect(place.left, place.top, place.width, place.height), picture);
}

} // namespace vorlan
