#include "graphic_viewer/GvViewer.h"

#include "graphic_viewer/GvPainter.h"
#include "platform/BinaryCursor.h"
#include "platform/FileBytes.h"
#include "platform/Messages.h"

#include <algorithm>
#include <cmath>

namespace vorlan {

namespace {

constexpr TColor White = RGB(255, 255, 255);
constexpr TColor Black = 0;
constexpr TColor PaperGrey = RGB(128, 128, 128);
// Each wheel step shows the world 1.25 times larger or smaller.
constexpr double WheelZoomFactor = 1.25;

} // namespace

void TGV_ZoomUnzoomList::Push(const TGV_ViewPortRestore& view) {
  records_.resize(static_cast<std::size_t>(current_ + 1));
  records_.push_back(view);
  ++current_;
}

TGV_VIEWER::TGV_VIEWER() : measuringSurface_(newBitmap(1, 1)) {
  measuringCanvas_ = std::make_unique<Canvas>(measuringSurface_);
  measurer_ = std::make_unique<CanvasTextMeasurer>(*measuringCanvas_);
  transform_.Setup(width_, height_);
}

TGV_VIEWER::~TGV_VIEWER() {
  if (document_) document_->DetachViewer(*this);
}

void TGV_VIEWER::SetAxes(bool axes) {
  if (axes == axes_) return;
  axes_ = axes;
  Invalidate();
}

void TGV_VIEWER::SetDocument(TGV_DOCUMENT* document) {
  TGV_DOCUMENT* previous = document_;
  document_ = document;
  if (previous) previous->DetachViewers();
  if (document_) {
    document_->AttachViewer(*this);
    document_->DetachViewers();
  }
  RebuildDisplayList();
  Invalidate();
}

TGV_ViewPortRestore TGV_VIEWER::Viewport() const {
  return {transform_.Xmin, transform_.Ymin, transform_.Xmax, transform_.Ymax};
}

void TGV_VIEWER::SetViewport(const TGV_ViewPortRestore& viewport) {
  SetView(viewport.Xmin, viewport.Ymin, viewport.Xmax, viewport.Ymax);
}

void TGV_VIEWER::SetPrintOrientation(TPrinterOrientation orientation) {
  printOrientation_ = orientation;
  if (printer_) printer_->Orientation = orientation;
  SetSpaceView(SpaceView());
}

void TGV_VIEWER::SetSpaceView(CST_SPACE space) {
  transform_.SpaceView = space;
  SetupTransform(space == CST_SPACE::PaperSpace, width_, height_);
  Invalidate();
}

void TGV_VIEWER::SetScalePaper(double scale) {
  transform_.ScalePaper = scale;
  if (SpaceView() != CST_SPACE::PaperSpace) return;
  SetupTransform(true, width_, height_);
  Invalidate();
}

void TGV_VIEWER::Resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  SetupTransform(SpaceView() == CST_SPACE::PaperSpace, width_, height_);
  Invalidate();
}

void TGV_VIEWER::ReadPrinterInformation() {
  const GvPrinterInfo info = printer_.value_or(GvPrinterInfo{});
  transform_.PaperWidthMM = info.PaperWidthMM;
  transform_.PaperHeightMM = info.PaperHeightMM;
  if (!printer_) return;
  transform_.PrinterPixelsPerInch = info.PixelsPerInch;
  printOrientation_ = info.Orientation;
}

void TGV_VIEWER::SetupTransform(bool paper, int width, int height) {
  if (paper) {
    ReadPrinterInformation();
    transform_.CentrePaperWindow();
  }
  transform_.Setup(width, height);
  RebuildDisplayList();
}

void TGV_VIEWER::RebuildDisplayList() {
  displayList_.clear();
  if (transform_.Scale == 0) transform_.Scale = 1.0;
  if (!document_) return;
  const GvWorldRect window = transform_.VisibleWindow();
  for (const auto& entity : document_->Entities())
    if (entity->IsInWindow(window.left, window.bottom, window.right, window.top))
      displayList_.push_back(entity.get());
}

void TGV_VIEWER::LoadFromFile(const std::string& fileName) {
  if (!document_) return;
  ResetCommand();
  document_->ClearSelection();
  document_->ClearHighlights();
  const std::vector<std::uint8_t> bytes = readFileBytes(fileName);
  BinaryCursor cursor(bytes, fileName);
  X2dHeader header;
  try {
    header = ReadX2dHeader(cursor);
  } catch (const X2dTooRecentError&) {
    throw;
  } catch (const ReadError& error) {
    throw X2dHeaderError(error.fileName(), error.offset(), error.reason());
  }
  transform_.ScalePaper = header.ScalePaper;
  printOrientation_ = header.Landscape ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait;
  document_->Version = header.Version;
  LoadX2dBody(cursor, *document_, header.Version, LoadLayer);
  Invalidate();
}

void TGV_VIEWER::SetView(double xmin, double ymin, double xmax, double ymax) {
  if (!document_) return;
  if (std::abs(xmin - xmax) < 0.5 || std::abs(ymin - ymax) < 0.5) {
    showMessage("Zoom to high");
    ResetCommand();
    return;
  }
  transform_.Xmin = xmin;
  transform_.Ymin = ymin;
  transform_.Xmax = xmax;
  transform_.Ymax = ymax;
  SetupTransform(SpaceView() == CST_SPACE::PaperSpace, width_, height_);
  Invalidate();
}

// The box of every entity with 10 % margins, or none when no entity has a usable box. Entities
// whose box is still the inverted start box, or not a number, are left out.
std::optional<TGV_ViewPortRestore> TGV_VIEWER::DrawingBox(bool zeroMarginFallback) const {
  double minX = InvertedBoxBound, minY = InvertedBoxBound, maxX = -InvertedBoxBound, maxY = -InvertedBoxBound;
  bool any = false;
  for (const auto& e : document_->Entities()) {
    if (e->XMin == -InvertedBoxBound || e->YMin == -InvertedBoxBound || e->XMax == InvertedBoxBound ||
        e->YMax == InvertedBoxBound)
      continue;
    if (!std::isfinite(e->XMin) || !std::isfinite(e->YMin) || !std::isfinite(e->XMax) ||
        !std::isfinite(e->YMax) || e->XMin > e->XMax || e->YMin > e->YMax)
      continue;
    minX = std::min(minX, e->XMin);
    minY = std::min(minY, e->YMin);
    maxX = std::max(maxX, e->XMax);
    maxY = std::max(maxY, e->YMax);
    any = true;
  }
  if (!any) return std::nullopt;
  double mx = (maxX - minX) / 10, my = (maxY - minY) / 10;
  if (zeroMarginFallback && mx == 0) mx = 10;
  if (zeroMarginFallback && my == 0) my = 10;
  return TGV_ViewPortRestore{minX - mx, minY - my, maxX + mx, maxY + my};
}

void TGV_VIEWER::ZoomAll() {
  if (!document_) return;
  const TGV_ViewPortRestore view = DrawingBox(true).value_or(Viewport());
  SetView(view.Xmin, view.Ymin, view.Xmax, view.Ymax);
  zoomHistory_.Push(view);
}

void TGV_VIEWER::StartZoomWindow() {
  ResetCommand();
  command_ = CommandZoomWindow;
}

void TGV_VIEWER::StartDynamicZoom() {
  ResetCommand();
  command_ = CommandDynamicZoom;
}

double TGV_VIEWER::ComputePaperScale() {
  if (document_) {
    if (const auto box = DrawingBox(false)) {
      transform_.Xmin = box->Xmin;
      transform_.Ymin = box->Ymin;
      transform_.Xmax = box->Xmax;
      transform_.Ymax = box->Ymax;
    }
  }
  ReadPrinterInformation();
  return std::max((transform_.Xmax - transform_.Xmin) / transform_.PaperWidthMM,
                  (transform_.Ymax - transform_.Ymin) / transform_.PaperHeightMM);
}

void TGV_VIEWER::Print(Canvas& page) {
  if (!document_) return;
  transform_.Printing = true;
  const bool allViewRedraw = document_->AllViewRedraw;
  document_->AllViewRedraw = false;
  SetupTransform(true, page.width(), page.height());
  transform_.PrinterPixelsPerInch = page.font.pixelsPerInch;
  document_->Draw(*this, page, page.width(), page.height());
  document_->AllViewRedraw = allViewRedraw;
  transform_.Printing = false;
  ZoomAll();
}

// ---- Painting

void TGV_VIEWER::Invalidate() {
  dirty_ = true;
  if (OnSurfaceChanged) OnSurfaceChanged();
}

void TGV_VIEWER::Paint() {
  if (!document_) return Redraw();
  // The document redraws every viewer on its own surface; while printing it draws this viewer's
  // display list on the control instead.
  QImage control = surface_.isNull() ? newBitmap(std::max(width_, 1), std::max(height_, 1)) : surface_;
  {
    Canvas canvas(control);
    document_->Draw(*this, canvas, 100, 100);
  }
  if (dirty_) {
    surface_ = control;
    dirty_ = false;
  }
}

void TGV_VIEWER::Redraw() {
  if (width_ <= 0 || height_ <= 0) return;
  QImage bitmap = newBitmap(width_, height_);
  {
    Canvas canvas(bitmap);
    const int pixelsPerInch = canvas.font.pixelsPerInch;
    canvas.font = font_;
    canvas.font.pixelsPerInch = pixelsPerInch;
    canvas.pen = Pen{PenStyle::Solid, Black, 1, PenMode::Copy};
    canvas.brush = Brush{BrushStyle::Solid, White};
    canvas.rectangle(0, 0, width_ - 1, height_ - 1);
    if (axes_) GvPainter::DrawAxisIcon(canvas, width_, height_);
    if (firstPaint_ && document_) {
      firstPaint_ = false;
      ZoomAll();
    }
    if (document_) {
      // This is the document's redraw of its viewers: the display list goes on this bitmap.
      DrawDisplayList(canvas, width_, height_);
    } else {
      const QString text = "No document";
      canvas.brush = Brush{BrushStyle::Clear, White};
      canvas.font.color = Black;
      canvas.textOut((width_ - canvas.textWidth(text)) / 2, (height_ - canvas.textHeight(text)) / 2, text);
      if (SpaceView() == CST_SPACE::PaperSpace && firstPaint_) PaintPaper(canvas);
    }
  }
  surface_ = bitmap;
  dirty_ = false;
  // A band being dragged stays on screen across redraws; the next move erases it by drawing it again.
  if (dragging_ && command_ != CommandDynamicZoom) DrawBand();
  if (OnSurfaceChanged) OnSurfaceChanged();
}

// Grey around a white sheet, unless printing.
void TGV_VIEWER::PaintPaper(Canvas& canvas) {
  canvas.pen = Pen{PenStyle::Solid, Black, 1, PenMode::Copy};
  if (transform_.Printing) return;
  canvas.brush = Brush{BrushStyle::Solid, PaperGrey};
  canvas.rectangle(0, 0, width_ - 1, height_ - 1);
  canvas.brush = Brush{BrushStyle::Solid, White};
  const QPoint corner = transform_.WorldToScreen(transform_.Xmax, transform_.Ymax);
  canvas.rectangle(transform_.OffsetX + 2, transform_.OffsetY - 4, corner.x() - 2, corner.y() + 2);
}

void TGV_VIEWER::DrawDisplayList(Canvas& canvas, int width, int) {
  GvPainter painter(canvas, transform_);
  if (SpaceView() == CST_SPACE::ModelSpace) {
    for (TGV_ENTITY* entity : displayList_)
      painter.Draw(*entity);
    return;
  }
  PaintPaper(canvas);
  for (TGV_ENTITY* entity : displayList_)
    painter.DrawOnPaper(*entity, width);
}

// ---- Mouse and keyboard

void TGV_VIEWER::ResetCommand() {
  if (dragging_ && command_ != CommandDynamicZoom) DrawBand();
  dragging_ = false;
  command_ = CommandSelection;
}

// A dotted not-xor rectangle: drawing it again erases it.
void TGV_VIEWER::DrawBand() {
  if (surface_.isNull()) return;
  {
    Canvas canvas(surface_);
    canvas.pen = Pen{PenStyle::Dot, Black, 1, PenMode::NotXor};
    canvas.brush = Brush{BrushStyle::Clear, White};
    canvas.rectangle(dragStart_.x(), dragStart_.y(), dragLast_.x(), dragLast_.y());
  }
  if (OnSurfaceChanged) OnSurfaceChanged();
}

void TGV_VIEWER::MouseDown(Qt::MouseButton button, QPoint at) {
  if (!Interactive) return;
  if (button == Qt::MiddleButton && document_ && SpaceView() == CST_SPACE::ModelSpace) {
    panning_ = true;
    panLast_ = at;
    return;
  }
  if (button != Qt::LeftButton) return;
  if (command_ == CommandZoomWindow) return ZoomWindowClick(at);
  if (command_ == CommandDynamicZoom) {
    dragStart_.setY(at.y());
    dragLast_.setY(at.y());
    dragging_ = true;
    return;
  }
  if (command_ == CommandSelection) SelectionClick(at);
}

void TGV_VIEWER::MouseMove(QPoint at) {
  if (panning_) return Pan(at);
  if (!dragging_) return;
  if (command_ == CommandDynamicZoom) return DynamicZoomStep(at.y());
  DrawBand();
  dragLast_ = at;
  DrawBand();
}

void TGV_VIEWER::MouseUp(Qt::MouseButton button, QPoint at) {
  if (button == Qt::MiddleButton && panning_) {
    panning_ = false;
    zoomHistory_.Push(Viewport());
    return;
  }
  if (button == Qt::LeftButton && command_ == CommandDynamicZoom && dragging_) DynamicZoomEnd(at.y());
}

TGV_ViewPortRestore TGV_VIEWER::BandWindow() const {
  const QPointF topLeft = transform_.ScreenToWorld(std::min(dragStart_.x(), dragLast_.x()),
                                                   std::min(dragStart_.y(), dragLast_.y()));
  const QPointF bottomRight = transform_.ScreenToWorld(std::max(dragStart_.x(), dragLast_.x()),
                                                       std::max(dragStart_.y(), dragLast_.y()));
  return {topLeft.x(), bottomRight.y(), bottomRight.x(), topLeft.y()};
}

// A band takes two clicks: the first anchors it at `at` and shows it, the second erases it. True
// when the click closed a band.
bool TGV_VIEWER::BandClick(QPoint at) {
  if (!dragging_) dragStart_ = dragLast_ = at;
  dragging_ = !dragging_;
  DrawBand();
  return !dragging_;
}

void TGV_VIEWER::ZoomWindowClick(QPoint at) {
  if (!BandClick(at)) return;
  const TGV_ViewPortRestore window = BandWindow();
  command_ = CommandSelection;
  SetView(window.Xmin, window.Ymin, window.Xmax, window.Ymax);
  zoomHistory_.Push(window);
}

void TGV_VIEWER::SetSelected(TGV_ENTITY& entity, bool selected) {
  entity.Selected = selected;
  if (!document_) return;
  std::vector<TGV_ENTITY*>& selection = document_->Selection();
  const auto found = std::find(selection.begin(), selection.end(), &entity);
  if (selected && found == selection.end()) selection.push_back(&entity);
  if (!selected && found != selection.end()) selection.erase(found);
}

// Toggles every display-list entity under the mouse that can be selected; true when one was.
bool TGV_VIEWER::ToggleHits(QPoint at) {
  bool toggled = false;
  for (TGV_ENTITY* entity : displayList_) {
    if (!entity->Selectable || !entity->Visible || !entity->HitTest(at.x(), at.y(), transform_)) continue;
    SetSelected(*entity, !entity->Selected);
    toggled = true;
  }
  return toggled;
}

void TGV_VIEWER::SelectionClick(QPoint at) {
  const bool toggled = ToggleHits(at);
  if (!toggled || dragging_) {
    if (!BandClick(at)) return;
    if (std::abs(dragLast_.x() - dragStart_.x()) > 3 && std::abs(dragLast_.y() - dragStart_.y()) > 3)
      SelectInBand();
  }
  Invalidate();
}

void TGV_VIEWER::SelectInBand() {
  if (!document_) return;
  document_->Selection().clear();
  const TGV_ViewPortRestore window = BandWindow();
  for (TGV_ENTITY* entity : displayList_) {
    const TGV_Layer* layer = document_->LayerById(entity->Layer);
    const bool layerSelectable = !layer || layer->Selectable;
    if (layerSelectable && entity->Selectable &&
        entity->IsInWindow(window.Xmin, window.Ymin, window.Xmax, window.Ymax))
      entity->Selected = !entity->Selected;
  }
  for (TGV_ENTITY* entity : displayList_)
    if (entity->Selected) document_->Selection().push_back(entity);
}

// Moving down widens the window by a tenth of its width, any other move narrows it by a tenth.
void TGV_VIEWER::DynamicZoomStep(int y) {
  const double step = y > dragLast_.y() ? 10 : -10;
  const double width = transform_.Xmax - transform_.Xmin, height = transform_.Ymax - transform_.Ymin;
  const double ratio = width / height, d = width / (2 * step);
  SetView(transform_.Xmin - d, transform_.Ymin - d / ratio, transform_.Xmax + d, transform_.Ymax + d / ratio);
  dragLast_.setY(y);
}

void TGV_VIEWER::DynamicZoomEnd(int y) {
  dragging_ = false;
  const double d = (y >= dragLast_.y() ? 10 : -10) / transform_.Scale;
  zoomHistory_.Push({transform_.Xmin - d, transform_.Ymin - d, transform_.Xmax + d, transform_.Ymax + d});
  ResetCommand();
}

// The world follows the mouse at the same scale.
void TGV_VIEWER::Pan(QPoint at) {
  const double dx = (at.x() - panLast_.x()) / transform_.Scale,
               dy = (at.y() - panLast_.y()) / transform_.Scale;
  panLast_ = at;
  SetView(transform_.Xmin - dx, transform_.Ymin + dy, transform_.Xmax - dx, transform_.Ymax + dy);
}

// The window that keeps the world point under the cursor where it is at the new scale: a window of
// exactly the control's size in pixels fits with no offset, so the point maps back to the cursor.
void TGV_VIEWER::Wheel(QPoint at, double steps) {
  if (!document_ || steps == 0 || SpaceView() != CST_SPACE::ModelSpace || width_ < 2 || height_ < 2) return;
  const QPointF point = transform_.ScreenToWorld(at.x(), at.y());
  const double scale = transform_.Scale * std::pow(WheelZoomFactor, steps);
  const double xmin = point.x() - at.x() / scale, ymin = point.y() - (height_ - at.y()) / scale;
  const TGV_ViewPortRestore view{xmin, ymin, xmin + (width_ - 1) / scale, ymin + (height_ - 1) / scale};
  SetView(view.Xmin, view.Ymin, view.Xmax, view.Ymax);
  zoomHistory_.Push(view);
}

void TGV_VIEWER::KeyDown(int key) {
  if (!KeysEnabled || key != Qt::Key_Escape) return;
  ResetCommand();
  panning_ = false;
  if (document_) {
    document_->ClearSelection();
    document_->ClearHighlights();
  }
  Invalidate();
}

} // namespace vorlan
