#include "graphic_viewer/UnitX2D.h"

#include "graphic_viewer/GvPrinting.h"
#include "graphic_viewer/GvViewerControl.h"
#include "platform/Messages.h"
#include "widgets/KX_BUTTONS.h"
#include "widgets/WindowChrome.h"

#include <QApplication>
#include <QMdiArea>
#include <QPrintDialog>
#include <QPrinter>
#include <QToolButton>
#include <QVBoxLayout>

namespace vorlan {

namespace {

constexpr int ToolBarHeight = 25;
const QColor FormColor(0x51, 0x51, 0x51);
const char* const LoadingCaption = "LOADING ....";

} // namespace

TFicheX2D::TFicheX2D(QMdiArea* area) : Document(std::make_unique<TGV_DOCUMENT>()) {
  DressChildWindow(this);

  auto* layout = NewClientColumn(FormColor);
  QWidget* client = layout->parentWidget();
  v1 = new TGV_ViewerControl(client);
  v1->Viewer().SetDocument(Document.get());
  layout->addWidget(v1, 1);
  Panel1 = new QWidget(client);
  Panel1->setFixedHeight(ToolBarHeight);
  SetColors(Panel1, FormColor);
  layout->addWidget(Panel1);
  BuildToolBar();
  setWidget(client);
  // The viewer fills the client area: its resize is the window's.
  v1->OnResize = [this] { FormResize(); };

  // Never larger than the client area (a small or scaled screen), never narrower than the tool bar,
  // whose print button ends 134 pixels in.
  ShowInClientArea(area, this,
                   FittedWindowSize(QSize(677, 511), area->viewport()->size(), 134 + 2 * ChildBorderWidth));
}

TFicheX2D::~TFicheX2D() {
  // The viewer outlives this body (Qt frees the children later): it lets go of the document first.
  v1->Viewer().SetDocument(nullptr);
}

void TFicheX2D::BuildToolBar() {
  KXPanel1 = new TKXPanel(Panel1);
  auto* fill = new QVBoxLayout(Panel1);
  fill->setContentsMargins(0, 0, 0, 0);
  fill->addWidget(KXPanel1);
  ApplyToolBarLook(*KXPanel1, RGB(0, 0, 255), RGB(255, 0, 255));

  SpeedButton1 = NewSpeedButton(KXPanel1, 4, ":/x2d_zoom_window.png");
  SpeedButton1->setToolTip("Zoom window");
  connect(SpeedButton1, &QToolButton::clicked, this, commandSlot(this, &TFicheX2D::SpeedButton1Click));
  SpeedButton2 = NewSpeedButton(KXPanel1, 29, ":/x2d_zoom_all.png");
  SpeedButton2->setToolTip("Zoom all");
  connect(SpeedButton2, &QToolButton::clicked, this, commandSlot(this, &TFicheX2D::SpeedButton2Click));
  SpeedButton3 = NewSpeedButton(KXPanel1, 54, ":/x2d_dynamic_zoom.png");
  SpeedButton3->setToolTip("Dynamic zoom");
  connect(SpeedButton3, &QToolButton::clicked, this, commandSlot(this, &TFicheX2D::SpeedButton3Click));
  SpeedButton5 = NewSpeedButton(KXPanel1, 109, ":/print.png");
  SpeedButton5->setToolTip("Print (Ctrl+P)");
  connect(SpeedButton5, &QToolButton::clicked, this, commandSlot(this, &TFicheX2D::imprime));
}

TFicheX2D* TFicheX2D::Open(QMdiArea* area, const std::string& F, HeaderErrors headerErrors) {
  auto* window = new TFicheX2D(area);
  window->repaint();
  window->showMinimized();
  if (QWidget* frame = area->window()) frame->repaint();
  window->setWindowTitle(LoadingCaption);
  try {
    window->v1->Viewer().LoadFromFile(F);
  } catch (const X2dTooRecentError& error) {
    if (headerErrors == HeaderErrors::Raise) throw;
    showMessage(error.reason());
  } catch (const X2dHeaderError& error) {
    if (headerErrors == HeaderErrors::Raise) throw;
    showMessage(error.what());
  } catch (...) {
    window->FinishOpening(F);
    throw;
  }
  window->FinishOpening(F);
  return window;
}

// The loaded drawing is one group: made unselectable, it shows no selection colours or grips.
void TFicheX2D::FinishOpening(const std::string& F) {
  if (!Document->Entities().empty()) Document->Entities().front()->Selectable = false;
  showNormal();
  v1->Viewer().ZoomAll();
  SetFileCaption(this, F);
}

bool TFicheX2D::HoldsNothing() const {
  return Document->Entities().empty();
}

void TFicheX2D::SetViewerSize(QSize size) {
  QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  resize(this->size() + (size - v1->size()));
  QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

QImage TFicheX2D::Capture() {
  TGV_VIEWER& viewer = v1->Viewer();
  if (viewer.NeedsPaint()) viewer.Paint();
  return viewer.Surface();
}

void TFicheX2D::PrintOn(QPrinter& printer) {
  PrintDrawingFitted(v1->Viewer(), printer);
}

void TFicheX2D::FormResize() {
  v1->Viewer().ZoomAll();
}

void TFicheX2D::SpeedButton1Click() {
  v1->Viewer().StartZoomWindow();
}

void TFicheX2D::SpeedButton2Click() {
  v1->Viewer().ZoomAll();
}

void TFicheX2D::SpeedButton3Click() {
  v1->Viewer().StartDynamicZoom();
}

void TFicheX2D::imprime() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(v1->Viewer().PrintOrientation() == TPrinterOrientation::poLandscape
                                 ? QPageLayout::Landscape
                                 : QPageLayout::Portrait);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted || !printer.isValid()) return;
  PrintOn(printer);
}

void RegisterX2DOpener(FrameServices& frame) {
  frame.RegisterOpener(
      // The frame tells why a drawing did not open and closes the window it left empty.
      ".X2D", [](const std::string& F) {
        TFicheX2D::Open(FrameServices::instance()->ClientArea(), F, TFicheX2D::HeaderErrors::Raise);
      });
}

} // namespace vorlan
