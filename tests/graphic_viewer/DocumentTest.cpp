#include "graphic_viewer/GvDocument.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

class CountingViewer : public TGV_ViewerLink {
public:
  explicit CountingViewer(TGV_DOCUMENT* shown) : shown_(shown) {}
  const GvTransform& Transform() const override { return transform_; }
  TGV_TextMeasurer& Measurer() override { throw std::logic_error("no measuring here"); }
  const TGV_DOCUMENT* ShownDocument() const override { return shown_; }
  void AppendToDisplayList(TGV_ENTITY& entity) override { displayList.push_back(&entity); }
  void RebuildDisplayList() override { ++rebuilds; }
  void Redraw() override {
    ++redraws;
    redrewWithAllViewRedraw = shown_ && shown_->AllViewRedraw;
  }
  void DrawDisplayList(Canvas&, int width, int) override { drawnWidth = width; }

  std::vector<TGV_ENTITY*> displayList;
  int rebuilds = 0, redraws = 0, drawnWidth = 0;
  bool redrewWithAllViewRedraw = true;
  TGV_DOCUMENT* shown_;

private:
  GvTransform transform_;
};

TEST(Document, EntitiesReachEveryViewerOnceAndDetachingKeepsTheShowingOne) {
  TGV_DOCUMENT document;
  CountingViewer first(&document), second(&document);
  document.AttachViewer(first);
  document.AttachViewer(second);
  document.AttachViewer(first);
  EXPECT_EQ(document.ViewerCount(), 2);
  TGV_ENTITY& line = document.AddEntity(std::make_unique<TGV_LINE>(0, 0, 1, 1));
  EXPECT_EQ(second.displayList, std::vector<TGV_ENTITY*>{&line});

  second.shown_ = nullptr;
  document.DetachViewers();
  EXPECT_EQ(document.ViewerCount(), 1);
  EXPECT_EQ(document.Viewers(1), nullptr);
}

// Painting one viewer redraws them all, each once, without recursing; printing draws only its own.
TEST(Document, DrawingRedrawsEveryViewerUnlessOnlyOneIsAsked) {
  TGV_DOCUMENT document;
  CountingViewer first(&document), second(&document);
  document.AttachViewer(first);
  document.AttachViewer(second);
  QImage image(4, 4, QImage::Format_RGB32);
  Canvas canvas(image);
  document.Draw(first, canvas, 100, 100);
  EXPECT_EQ(first.redraws + second.redraws, 2);
  EXPECT_FALSE(second.redrewWithAllViewRedraw);
  EXPECT_TRUE(document.AllViewRedraw);
  EXPECT_EQ(first.drawnWidth, 0);
  document.AllViewRedraw = false;
  document.Draw(second, canvas, 640, 480);
  EXPECT_EQ(second.drawnWidth, 640);
  EXPECT_EQ(first.drawnWidth, 0);
}

} // namespace
} // namespace vorlan
