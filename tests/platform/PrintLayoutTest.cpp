#include "platform/PrintLayout.h"
#include "platform/Printing.h"

#include "support/TestSupport.h"

#include <QApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include <gtest/gtest.h>

#include <tuple>

namespace vorlan {
namespace {

constexpr std::uint32_t White = 0xFFFFFF, Red = 0xFF0000, Blue = 0x0000FF;

TEST(PrintLayout, FillsThreeFifthsOfTheLimitingSideAndCentres) {
  // clang-format off
  struct Case { const char* name; int pageWidth, pageHeight, pictureWidth, pictureHeight; std::tuple<int, int, int, int> expected; };
  // clang-format on
  const Case cases[] = {
      {"wide picture: width limits", 3000, 2000, 1000, 100, {600, 910, 1800, 180}},
      {"tall picture: height limits", 3000, 2000, 100, 1000, {1440, 400, 120, 1200}},
      {"a 400 x 300 view: height limits after the width rule", 3000, 2000, 400, 300, {700, 400, 1600, 1200}},
      {"top 200.5 rounds to the even 200", 1000, 1001, 100, 100, {200, 200, 600, 600}},
      {"width 1.5 rounds to the even 2", 10, 10, 1, 4, {4, 2, 2, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PrintPlacement p = placePictureOnPage(c.pageWidth, c.pageHeight, c.pictureWidth, c.pictureHeight);
    EXPECT_EQ(std::tuple(p.left, p.top, p.width, p.height), c.expected);
  }
}

// 100 x 10: left half red, right half blue.
QImage halves() {
  QImage picture(100, 10, QImage::Format_RGB888);
  picture.fill(Qt::red);
  QPainter(&picture).fillRect(50, 0, 50, 10, Qt::blue);
  return picture;
}

TEST(PrintLayout, PaintsThePictureStretchedAtItsPlace) {
  QImage page(300, 200, QImage::Format_RGB32);
  page.fill(Qt::white);
  {
    QPainter painter(&page);
    paintPictureOnPage(painter, halves());
  }
  // S = 900 / 500 = 1.8: 180 x 18 at (60, 91), the colours meeting at x = 60 + 50 * 1.8.
  // clang-format off
  for (const auto& [x, y, colour] : {std::tuple{59, 100, White}, {60, 100, Red}, {149, 100, Red}, {150, 100, Blue},
                                     {239, 100, Blue}, {240, 100, White}, {100, 90, White}, {100, 91, Red},
                                     {100, 108, Red}, {100, 109, White}}) {
    // clang-format on
    SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
    EXPECT_EQ(test::rgbAt(page, x, y), colour);
  }
}

TEST(Printing, APrinterThatCannotStartRaisesAnError) {
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName("/nonexistent-folder/view.pdf");
  try {
    printPictureOn(printer, halves());
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Could not start printing on the file \"/nonexistent-folder/view.pdf\".");
  }
}

TEST(Printing, CancellingThePrintDialogPrintsNothing) {
  int cancelled = 0;
  QTimer canceller;
  QObject::connect(&canceller, &QTimer::timeout, [&cancelled] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<QPrintDialog*>(w); dialog && dialog->isVisible()) {
        dialog->reject();
        ++cancelled;
      }
  });
  canceller.start(20);
  EXPECT_FALSE(printPicture(nullptr, halves()));
  EXPECT_EQ(cancelled, 1);
}

} // namespace
} // namespace vorlan
