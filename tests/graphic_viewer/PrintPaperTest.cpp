#include "graphic_viewer/GvPainter.h"
#include "graphic_viewer/GvPrinting.h"
#include "graphic_viewer/GvViewer.h"

#include "support/TestSupport.h"

#include <QPrinter>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

// A line from (0, 0) to (1000, 500): with its 10 % margins the drawing is 1200 x 600 units.
struct DiagonalDrawing {
  DiagonalDrawing() {
    document.AddEntity(std::make_unique<TGV_LINE>(0, 0, 1000, 500));
    viewer.Resize(500, 400);
    viewer.SetDocument(&document);
  }
  TGV_DOCUMENT document;
  TGV_VIEWER viewer;
};

// A PDF printer without margins, so that the printable area is the sheet.
void SetUpPdf(QPrinter& printer, const std::string& file, QPageSize::PageSizeId size,
              QPageLayout::Orientation orientation) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(file));
  printer.setPageSize(QPageSize(size));
  printer.setPageOrientation(orientation);
  printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

// In paper mode a pen is as wide on the page as its millimetres say.
TEST(PrintPaper, PenWidthsComeFromMillimetresInPaperMode) {
  GvTransform transform;
  transform.Scale = 1, transform.OffsetY = 100, transform.Width = 1000, transform.Height = 100;
  transform.SpaceView = CST_SPACE::PaperSpace;
  transform.Xmax = 1000, transform.Ymax = 100;
  transform.PaperWidthMM = 100;
  for (const double mm : {0.1, 0.5, 1.3}) {
    SCOPED_TRACE(mm);
    TGV_LINE line(100, 50, 900, 50);
    line.PenWidthMM = mm;
    line.PenWidth = 3;
    QImage page = newBitmap(1000, 100);
    {
      Canvas canvas(page);
      GvPainter(canvas, transform).DrawOnPaper(line, 1000);
    }
    int thickness = 0;
    for (int y = 0; y < 100; ++y)
      thickness += test::rgbAt(page, 500, y) == 0;
    EXPECT_EQ(thickness, std::max(1, Round(1000 * mm / 100)));
    EXPECT_EQ(line.PenWidth, 3) << "given back after drawing";
  }
}

// A printer's canvas has many more pixels per inch than the screen: a text must keep its size in
// drawing units there.
TEST(PrintPaper, TextsMeasureTheSameOnAPrinterCanvasAsOnTheScreen) {
  double widths[2];
  int i = 0;
  for (const int dotsPerInch : {96, 1200}) {
    SCOPED_TRACE(dotsPerInch);
    const double ratio = dotsPerInch / 96.0;
    GvTransform transform;
    transform.Scale = ratio, transform.Width = Round(400 * ratio), transform.Height = Round(200 * ratio);
    transform.OffsetY = transform.Height;
    transform.Printing = dotsPerInch != 96;
    transform.PrinterPixelsPerInch = dotsPerInch;
    QImage page = newBitmap(transform.Width, transform.Height);
    page.setDotsPerMeterX(Round(dotsPerInch / 0.0254));
    page.setDotsPerMeterY(Round(dotsPerInch / 0.0254));
    TGV_TEXTE text(200, 100, "HHHHHHHHHH", 20);
    {
      Canvas canvas(page);
      GvPainter(canvas, transform).Draw(text);
    }
    widths[i++] = text.XMax - text.XMin;
  }
  EXPECT_GT(widths[0], 100);
  EXPECT_NEAR(widths[1], widths[0], widths[0] * 0.1);
}

// The page of an image printer: the drawing fills it but for its margins, centred.
TEST(PrintPaper, PrintingFitsTheDrawingToThePageAndZoomsAllAfterwards) {
  DiagonalDrawing d;
  d.viewer.SetPrinter(GvPrinterInfo{"image", 297, 210, 96, TPrinterOrientation::poLandscape});
  d.viewer.SetSpaceView(CST_SPACE::PaperSpace);
  d.viewer.SetScalePaper(d.viewer.ComputePaperScale());
  QImage page = newBitmap(1188, 840);
  {
    Canvas canvas(page);
    d.viewer.Print(canvas);
  }
  int left = page.width(), right = -1, top = page.height(), bottom = -1;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      if (test::rgbAt(page, x, y) != 0xFFFFFF) {
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
        bottom = std::max(bottom, y);
      }
  // 1200 units over 1188 pixels: the line spans 990 pixels from 99, and 495 pixels centred.
  EXPECT_NEAR(left, 99, 2);
  EXPECT_NEAR(right, 1089, 2);
  EXPECT_NEAR((top + bottom) / 2.0, 420, 2);
  EXPECT_NEAR(bottom - top, 495, 2);
  EXPECT_FALSE(d.viewer.Transform().Printing);
  EXPECT_EQ(d.viewer.ZoomHistory().Records().size(), 1u) << "zoom all after printing";
}

// After the print button, the screen shows the window that was set for the paper, in model space.
// (The pages themselves are checked through the program's --print.)
TEST(PrintPaper, APdfPrintLeavesThePaperWindowInModelSpace) {
  for (const auto& [size, orientation, widthMM, heightMM] :
       {std::tuple{QPageSize::A4, QPageLayout::Landscape, 297.0, 210.0},
        {QPageSize::A3, QPageLayout::Portrait, 297.0, 420.0}}) {
    SCOPED_TRACE(heightMM);
    test::ScratchDir dir;
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdf(printer, dir.path("p.pdf"), size, orientation);
    DiagonalDrawing d;
    PrintDrawingFitted(d.viewer, printer);

    EXPECT_EQ(d.viewer.SpaceView(), CST_SPACE::ModelSpace);
    const double scale = std::max(1200 / widthMM, 600 / heightMM);
    const TGV_ViewPortRestore view = d.viewer.Viewport();
    EXPECT_NEAR(view.Xmax - view.Xmin, widthMM * scale, 1e-6);
    EXPECT_NEAR(view.Ymax - view.Ymin, heightMM * scale, 1e-6);
    EXPECT_NEAR(view.Xmin + view.Xmax, 1000, 1e-6) << "around the drawing's centre";
    EXPECT_NEAR(view.Ymin + view.Ymax, 500, 1e-6);
  }
}

TEST(PrintPaper, APrinterThatCannotStartIsAnError) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName("/nonexistent-folder/p.pdf");
  DiagonalDrawing d;
  EXPECT_THROW(PrintDrawingFitted(d.viewer, printer), std::runtime_error);
}

} // namespace
} // namespace vorlan
