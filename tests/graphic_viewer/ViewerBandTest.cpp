#include "graphic_viewer/GvViewer.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

// The rubber band of a zoom window and of a selection window shows between the two clicks, follows
// the mouse, and leaves no trace when it closes or when the command is dropped with Escape.
TEST(ViewerBand, ShowsWhileSpannedAndLeavesNoTrace) {
  for (const bool zoomWindow : {true, false}) {
    SCOPED_TRACE(zoomWindow ? "zoom window" : "selection window");
    TGV_DOCUMENT document;
    document.AddEntity(std::make_unique<TGV_LINE>(0, 0, 1000, 1000));
    TGV_VIEWER viewer;
    viewer.Resize(400, 300);
    viewer.SetDocument(&document);
    viewer.ZoomAll();
    viewer.Paint();
    const QImage clean = viewer.Surface();
    if (zoomWindow) viewer.StartZoomWindow();
    viewer.MouseDown(Qt::LeftButton, {20, 30});
    viewer.MouseMove({200, 150});
    const QImage spanned = viewer.Surface();
    EXPECT_NE(test::rgbAt(spanned, 100, 30), test::rgbAt(clean, 100, 30)) << "on its top side";
    viewer.MouseMove({250, 200});
    EXPECT_EQ(test::rgbAt(viewer.Surface(), 100, 150), test::rgbAt(clean, 100, 150))
        << "the old bottom side is erased as the band follows the mouse";
    viewer.KeyDown(Qt::Key_Escape);
    if (viewer.NeedsPaint()) viewer.Paint();
    EXPECT_EQ(viewer.Surface(), clean);
  }
}

} // namespace
} // namespace vorlan
