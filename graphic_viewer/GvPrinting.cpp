#include "graphic_viewer/GvPrinting.h"

#include "platform/Numbers.h"

#include <QPrinter>

#include <stdexcept>

namespace vorlan {

namespace {

std::string Describe(const QPrinter& printer) {
  if (!printer.outputFileName().isEmpty())
    return "the file \"" + printer.outputFileName().toStdString() + "\"";
  return "the printer \"" + printer.printerName().toStdString() + "\"";
}

} // namespace

GvPrinterInfo PrinterInfoOf(const QPrinter& printer) {
  const QRectF area = printer.pageLayout().paintRect(QPageLayout::Millimeter);
  GvPrinterInfo info;
  info.Name = printer.printerName();
  info.PaperWidthMM = Round(area.width());
  info.PaperHeightMM = Round(area.height());
  info.PixelsPerInch = printer.logicalDpiY();
  info.Orientation = printer.pageLayout().orientation() == QPageLayout::Landscape
                         ? TPrinterOrientation::poLandscape
                         : TPrinterOrientation::poPortrait;
  return info;
}

void PrintOnPrinter(TGV_VIEWER& viewer, QPrinter& printer) {
  if (!viewer.Document()) return;
  printer.setPageOrientation(viewer.PrintOrientation() == TPrinterOrientation::poLandscape
                                 ? QPageLayout::Landscape
                                 : QPageLayout::Portrait);
  bool finished = false;
  {
    Canvas page(printer);
    if (!page.isActive()) throw std::runtime_error("Could not start printing on " + Describe(printer) + ".");
    viewer.Print(page);
    finished = page.end();
  }
  if (!finished) throw std::runtime_error("Could not finish printing on " + Describe(printer) + ".");
}

void PrintDrawingFitted(TGV_VIEWER& viewer, QPrinter& printer) {
  viewer.SetPrinter(PrinterInfoOf(printer));
  viewer.SetSpaceView(CST_SPACE::PaperSpace);
  viewer.SetScalePaper(viewer.ComputePaperScale());
  PrintOnPrinter(viewer, printer);
  viewer.SetSpaceView(CST_SPACE::ModelSpace);
}

} // namespace vorlan
