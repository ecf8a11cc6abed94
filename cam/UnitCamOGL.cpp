#include "cam/UnitCamOGL.h"

#include "cam/KX_CAMOBJET.h"
#include "cam/KX_DXF.h"
#include "cam/MainBarProgress.h"
#include "cam/PictureSave.h"
#include "gl/GlContext.h"
#include "gl/KX_OpenGL_VIEW.h"
#include "platform/Messages.h"
#include "platform/Printing.h"
#include "scene3d/KX_SUPEROBJECT.h"
#include "widgets/KX_BUTTONS.h"
#include "widgets/Resources.h"
#include "widgets/WindowChrome.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vorlan {

namespace {

constexpr int LogoStripWidth = 29;
constexpr int ToolBarHeight = 26;
const QColor FormColor(0x51, 0x51, 0x51);
constexpr TColor Silver = 0xC0C0C0;
constexpr TColor White = 0xFFFFFF;
// The right edge of the last tool-bar button; the hint label only shows to the right of it.
constexpr int ButtonsRight = 316;
constexpr int HintMargin = 8;
constexpr const char* ShortHint = "shift, alt + Mouse left, right";
constexpr const char* FullHint = "shift, alt + Mouse left, right; middle: pan; wheel: distance";

// The hourglass for the length of a load, taken away whatever ends it.
struct WaitCursor {
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

TFicheCamOGL::TFicheCamOGL(QMdiArea* area) {
  RegisterPictures();
  setFont(ArialFont(11));
  SetColors(this, FormColor, Qt::black);
  BuildLayout();
  BuildToolBar();
  BuildView();
  SavePictureDialog1 = NewSavePictureDialog(this, true);
  SaveDialog1 = new QFileDialog(this, QString(), QString(), "dxf 3D (*.dxf)");
  SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
  SaveDialog1->setDefaultSuffix("dxf");
  FormCreate();

  subWindow_ = area->addSubWindow(this);
  LeaveKeysToTheFrame(subWindow_);
  subWindow_->setAttribute(Qt::WA_DeleteOnClose);
  subWindow_->setWindowIcon(QIcon(":/app_icon.png"));
  connect(subWindow_, &QMdiSubWindow::aboutToActivate, this, commandSlot(this, &TFicheCamOGL::FormActivate));
  subWindow_->setMinimumWidth(ButtonsRight + LogoStripWidth + 4 * ChildBorderWidth);
  subWindow_->resize(561, 390);
  subWindow_->show();
  CentreInClientArea(subWindow_);
}

TFicheCamOGL::~TFicheCamOGL() {
  FreeDocuments();
}

void TFicheCamOGL::FormCreate() {
  if (FrameServices* frame = FrameServices::instance())
    Image1->setPixmap(QPixmap::fromImage(frame->LogoStrip()));
}

void TFicheCamOGL::BuildLayout() {
  auto* form = new QHBoxLayout(this);
  form->setContentsMargins(ChildBorderWidth, ChildBorderWidth, ChildBorderWidth, ChildBorderWidth);
  form->setSpacing(0);
  Panel2 = new QWidget;
  Panel2->setFixedWidth(LogoStripWidth);
  Image1 = new QLabel(Panel2);
  Image1->setScaledContents(true);
  auto* strip = new QVBoxLayout(Panel2);
  strip->setContentsMargins(0, 0, 0, 0);
  strip->addWidget(Image1);
  Panel3 = new QWidget;
  form->addWidget(Panel2);
  form->addWidget(Panel3, 1);

  Panel1 = new QLabel("Loading ...");
  Panel1->setAlignment(Qt::AlignCenter);
  Panel1->setFont(ArialFont(13));
  SetColors(Panel1, Qt::black, Qt::white);
  KXPanel1 = new TKXPanel;
  auto* rest = new QVBoxLayout(Panel3);
  rest->setContentsMargins(0, 0, 0, 0);
  rest->setSpacing(0);
  rest->addWidget(Panel1, 1);
  rest->addWidget(KXPanel1);
}

void TFicheCamOGL::BuildToolBar() {
  KXPanel1->setFixedHeight(ToolBarHeight);
  ApplyToolBarLook(*KXPanel1, Silver, Silver);

  SpeedButton1 = NewSpeedButton(KXPanel1, 4, ":/cam3d_rotation.png");
  SpeedButton1->setToolTip("Rotation");
  SpeedButton1->setCheckable(true);
  connect(SpeedButton1, &QToolButton::clicked, this, commandSlot(this, &TFicheCamOGL::SpeedButton1Click));
  SpeedButton10 = NewSpeedButton(KXPanel1, 44, ":/cam3d_top.png");
  SpeedButton11 = NewSpeedButton(KXPanel1, 69, ":/cam3d_front.png");
  SpeedButton12 = NewSpeedButton(KXPanel1, 94, ":/cam3d_side.png");
  SpeedButton13 = NewSpeedButton(KXPanel1, 119, ":/cam3d_perspective.png");
  SpeedButton10->setToolTip("Top view");
  SpeedButton11->setToolTip("Front view");
  SpeedButton12->setToolTip("Side view");
  SpeedButton13->setToolTip("Perspective");
  // All four may be up; a click on the one that is down still applies its preset.
  MakeRaisableGroup({{SpeedButton10, [this] { SpeedButton10Click(); }},
                     {SpeedButton11, [this] { SpeedButton11Click(); }},
                     {SpeedButton12, [this] { SpeedButton12Click(); }},
                     {SpeedButton13, [this] { SpeedButton13Click(); }}});
  SpeedButton13->setChecked(true);
  SpeedButton23 = NewSpeedButton(KXPanel1, 144, ":/cam3d_paper.png");
  SpeedButton23->setToolTip("Paper mode");
  SpeedButton23->setCheckable(true);
  connect(SpeedButton23, &QToolButton::clicked, this, commandSlot(this, &TFicheCamOGL::SpeedButton23Click));
  SpeedButton2 = NewSpeedButton(KXPanel1, 200, ":/save.png");
  SpeedButton2->setToolTip("Save picture (Ctrl+S)");
  connect(SpeedButton2, &QToolButton::clicked, this, commandSlot(this, &TFicheCamOGL::Sauve));
  SpeedButton3 = NewSpeedButton(KXPanel1, 225, ":/print.png");
  SpeedButton3->setToolTip("Print (Ctrl+P)");
  connect(SpeedButton3, &QToolButton::clicked, this, commandSlot(this, &TFicheCamOGL::imprime));
  SpeedButton4 = NewSpeedButton(KXPanel1, 265, ":/cam3d_white.png");
  SpeedButton4->setToolTip("White background");
  SpeedButton4->setCheckable(true);
  connect(SpeedButton4, &QToolButton::clicked, this, commandSlot(this, &TFicheCamOGL::Blanc));
  SpeedButton5 = NewSpeedButton(KXPanel1, 291, nullptr);
  SpeedButton5->setText("DXF");
  SpeedButton5->setToolTip("Export DXF");
  SpeedButton5->setFont(ArialFont(9));
  // Black lettering would vanish on the dark wallpaper.
  QPalette caption = SpeedButton5->palette();
  caption.setColor(QPalette::ButtonText, Qt::white);
  SpeedButton5->setPalette(caption);
  connect(SpeedButton5, &QToolButton::clicked, this, commandSlot(this, &TFicheCamOGL::Export_DXF));

  Label1 = new QLabel(FullHint);
  Label1->setToolTip(FullHint);
  Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QPalette palette = Label1->palette();
  palette.setColor(QPalette::WindowText, Qt::white);
  Label1->setPalette(palette);
  KXPanel1->installEventFilter(this);
  auto* bar = new QHBoxLayout(KXPanel1);
  bar->setContentsMargins(0, 0, 4, 0);
  bar->addStretch(1);
  bar->addWidget(Label1);
}

void TFicheCamOGL::BuildView() {
  SetUpSceneCamera(CAMERA1);
  v1 = new TGL_VIEW(Panel1);
  // Off the visible area until its context exists, so "Loading ..." shows meanwhile.
  v1->move(-v1->width() - 100, -v1->height() - 100);
  SetUpSceneView(*v1, CAMERA1);
  Scene.Attach(*v1);
}

TFicheCamOGL* TFicheCamOGL::Open(QMdiArea* area) {
  auto* window = new TFicheCamOGL(area);
  window->repaint();
  window->v1->Initialisation();
  window->PlaceView();
  area->window()->repaint();
  return window;
}

void TFicheCamOGL::PlaceView() {
  auto* fill = new QVBoxLayout(Panel1);
  fill->setContentsMargins(0, 0, 0, 0);
  fill->addWidget(v1);
  QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

TFicheCamOGL* TFicheCamOGL::OpenCam(QMdiArea* area, const std::string& F) {
  return OpenScene(area, F, 100.0);
}

TFicheCamOGL* TFicheCamOGL::OpenX3D(QMdiArea* area, const std::string& F) {
  return OpenScene(area, F, 1000.0);
}

// The file is read while the window and its view's context are made. A read error leaves the window
// open with what was read.
TFicheCamOGL* TFicheCamOGL::OpenScene(QMdiArea* area, const std::string& F, double Pas) {
  const WaitCursor cursor;
  TMainBarProgress bar;
  TSceneRead read(F, bar.Callback());
  // What is already on screen, a frame just shown among it, is painted before the window is made.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  TFicheCamOGL* window = Open(area);
  window->ShowLoading(F, Pas);
  window->Scene.Adopt(*window->v1, read);
  window->v1->Redraw();
  return window;
}

void TFicheCamOGL::ShowLoading(const std::string& FileName, double Pas) {
  // Setting the normal state on a normal sub-window would put back the size it had when added.
  if (subWindow_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) subWindow_->showNormal();
  SetFileCaption(subWindow_, FileName);
  subWindow_->repaint();
  CAMERA1.Params().SetPas(Pas);
}

void TFicheCamOGL::SpeedButton1Click() {
  Rotating = !Rotating;
  SpeedButton1->setChecked(Rotating);
  if (FrameServices* frame = FrameServices::instance()) frame->SetRotating(this, Rotating);
}

void TFicheCamOGL::Rotation(QObject*) {
  TParams& params = CAMERA1.Params();
  params.SetAzimuth(params.Azimuth() + 2.0);
  if (params.Azimuth() > 360.0) params.SetAzimuth(params.Azimuth() - 360.0);
  v1->Redraw();
}

void TFicheCamOGL::ApplyPreset(TCameraPreset preset) {
  ApplyCameraPreset(CAMERA1, preset);
  v1->SetProjection();
  v1->Redraw();
}

void TFicheCamOGL::SpeedButton10Click() {
  ApplyPreset(TCameraPreset::Top);
}

void TFicheCamOGL::SpeedButton11Click() {
  ApplyPreset(TCameraPreset::Front);
}

void TFicheCamOGL::SpeedButton12Click() {
  ApplyPreset(TCameraPreset::Side);
}

void TFicheCamOGL::SpeedButton13Click() {
  ApplyPreset(TCameraPreset::Perspective);
}

void TFicheCamOGL::SpeedButton23Click() {
  v1->SetPaperMode(!v1->PaperMode());
  SpeedButton23->setChecked(v1->PaperMode());
  v1->Redraw();
}

void TFicheCamOGL::Blanc() {
  v1->BackGround().SetStyle(SpeedButton4->isChecked() ? CBackGroundStyle::UniformColor
                                                      : CBackGroundStyle::GradualColors);
  v1->Redraw();
}

void TFicheCamOGL::FormActivate() {
  v1->setFocus();
}

bool TFicheCamOGL::HoldsNothing() const {
  return SceneEntities().empty() && (!Cam() || Cam()->Items.empty());
}

void TFicheCamOGL::ShowHintWhereItFits() {
  // In a narrow window the hint would cover the buttons: it shortens, then gives way to them.
  const int room = KXPanel1->width() - ButtonsRight;
  const QFontMetrics metrics(Label1->font());
  for (const char* hint : {FullHint, ShortHint})
    if (metrics.horizontalAdvance(hint) + HintMargin <= room) {
      Label1->setText(hint);
      Label1->show();
      return;
    }
  Label1->hide();
}

bool TFicheCamOGL::eventFilter(QObject* watched, QEvent* event) {
  // The tool bar learns its width after the window does, when the window is first shown.
  if (watched == KXPanel1 && event->type() == QEvent::Resize) ShowHintWhereItFits();
  return QWidget::eventFilter(watched, event);
}

void TFicheCamOGL::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  v1->SetProjection();
  v1->Redraw();
}

QImage TFicheCamOGL::Capture() {
  if (QMdiArea* area = subWindow_->mdiArea()) area->setActiveSubWindow(subWindow_);
  return GrabScene(*v1);
}

bool TFicheCamOGL::SaveViewTo(const std::string& fileName) {
  return SavePictureFile(Capture(), fileName);
}

void TFicheCamOGL::Sauve() {
  const std::string name = AskPictureName(*SavePictureDialog1);
  if (!name.empty()) SaveViewTo(name);
}

void TFicheCamOGL::imprime() {
  printPicture(this, Capture());
}

std::vector<const TEntity*> TFicheCamOGL::SceneEntities() const {
  return Scene.Entities();
}

void TFicheCamOGL::ExportDXFTo(const std::string& fileName) {
  ExportDXF(fileName, SceneEntities());
}

void TFicheCamOGL::Export_DXF() {
  if (SceneEntities().empty()) return;
  const std::string name = AskPictureName(*SaveDialog1);
  if (!name.empty()) ExportDXFTo(name);
}

void TFicheCamOGL::closeEvent(QCloseEvent* event) {
  Rotating = false;
  if (FrameServices* frame = FrameServices::instance()) frame->SetRotating(this, false);
  FreeDocuments();
  event->accept();
}

void TFicheCamOGL::FreeDocuments() {
  Scene.Free(*v1);
}

} // namespace vorlan
