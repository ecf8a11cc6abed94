#include "app/Main.h"

#include "app/UnitImage.h"
#include "cam/CamOpener.h"
#include "graphic_viewer/UnitX2D.h"
#include "platform/BackgroundWork.h"
#include "platform/FileBytes.h"
#include "platform/Messages.h"
#include "platform/ReadError.h"
#include "widgets/WindowChrome.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QCompleter>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QOpenGLWidget>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cassert>

namespace vorlan {

namespace {

// ImagesMenu is one strip of square glyphs, as many as the strip is wide.
constexpr int MenuGlyphSize = 16;
// How often a close asked for during a load is tried again, in milliseconds.
constexpr int kCloseRetry = 200;

const QColor FrameBackground(0x51, 0x51, 0x51);

bool IsOpenExtension(std::string_view extension) {
  return std::find(OpenExtensions.begin(), OpenExtensions.end(), extension) != OpenExtensions.end();
}

std::string NameOf(const std::string& F) {
  return QFileInfo(QString::fromStdString(F)).fileName().toStdString();
}

// The readers say exactly what they were reading; a user first wants to know what kind of
// trouble it is. Empty when the reader's own words are plain enough.
std::string PlainReason(const std::string& F, const std::string& reason) {
  if (QFileInfo(QString::fromStdString(F)).size() == 0) return "the file is empty";
  const bool needsMore =
      reason.find("needs ") != std::string::npos &&
      (reason.find(" left") != std::string::npos || reason.find("the file has") != std::string::npos);
  if (needsMore || reason.find("beyond end of file") != std::string::npos)
    return "the file ends too early, it may be cut short";
  if (reason.starts_with("JPEG data")) return "not a JPEG picture, or a damaged one";
  return {};
}

TDocumentWindow* DocumentOf(QMdiSubWindow* window) {
  if (!window) return nullptr;
  if (auto* document = dynamic_cast<TDocumentWindow*>(window)) return document;
  return dynamic_cast<TDocumentWindow*>(window->widget());
}

} // namespace

std::string OpenBranch(const std::string& fileName) {
  std::string extension = upperExtension(fileName);
  if (extension == ".JPEG") return ".JPG";
  return IsOpenExtension(extension) ? extension : std::string();
}

std::string OpenFailureText(const std::string& F, const std::exception& error) {
  const std::string name = NameOf(F);
  const auto* read = dynamic_cast<const ReadError*>(&error);
  if (!read) return name + ": " + error.what();
  const std::string where = "offset " + std::to_string(read->offset());
  const std::string plain = PlainReason(F, read->reason());
  if (plain.empty()) return name + ": " + read->reason() + " (" + where + ")";
  return name + ": " + plain + " (" + read->reason() + ", " + where + ")";
}

QString DialogFilter(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    entries << parts[i] + " (" + patterns.replace(';', ' ') + ")";
  }
  return entries.join(";;");
}

std::vector<std::string> DroppedFiles(const QMimeData& data) {
  std::vector<std::string> files;
  for (const QUrl& url : data.urls())
    if (url.isLocalFile() && !OpenBranch(url.toLocalFile().toStdString()).empty())
      files.push_back(url.toLocalFile().toStdString());
  return files;
}

TForm1::TForm1() {
  RegisterPictures();
  setWindowTitle(FrameCaption);
  setWindowIcon(QIcon(":/app_icon.png"));
  setFont(ArialFont());
  resize(788, 580);
  setWindowState(Qt::WindowMaximized);

  // The first 3D view in a shown window makes Qt rebuild the window for OpenGL, and the rebuilt
  // window comes back at its normal size: a view from the start keeps the frame as it is shown.
  (new QOpenGLWidget(this))->hide();

  ClientArea_ = new QMdiArea(this);
  ClientArea_->setBackground(FrameBackground);
  setCentralWidget(ClientArea_);

  MainBar_ = new QProgressBar(ClientArea_);
  MainBar_->setGeometry(8, 4, 150, 16);
  MainBar_->setRange(0, 100);
  MainBar_->hide();

  ImagesMenu = QImage(":/images_menu.png");
  BuildMenus();
  BuildWindowMenu();
  BuildOpenDialog();

  Timer1 = new QTimer(this);
  Timer1->setInterval(10);
  connect(Timer1, &QTimer::timeout, this, commandSlot(this, &TForm1::Rot));

  Image1 = QImage(":/logo_strip.png");
  RegisterPictureOpeners();
  setAcceptDrops(true);
}

TForm1::~TForm1() = default;

QIcon TForm1::MenuGlyph(int index) const {
  return QIcon(QPixmap::fromImage(ImagesMenu.copy(index * MenuGlyphSize, 0, MenuGlyphSize, MenuGlyphSize)));
}

void TForm1::BuildMenus() {
  // The menu bar shows a top-level item's picture instead of its caption, so the top-level
  // items keep their captions only; their glyphs (2 and 5) stay in the strip for the items' menus.
  x1 = menuBar()->addAction(" ");

  Fichier1 = menuBar()->addMenu("&File");
  Ouvrir1 = Fichier1->addAction(MenuGlyph(0), "&Open ...", this, commandSlot(this, &TForm1::Ouvrir1Click));
  Ouvrir1->setShortcut(QKeySequence::Open);
  SavePicture = Fichier1->addAction("&Save picture ...", this, [this] {
    if (TDocumentWindow* document = ActiveDocument()) runCommand([document] { document->SaveCommand(); });
  });
  SavePicture->setShortcut(QKeySequence::Save);
  PrintWindow = Fichier1->addAction("&Print ...", this, [this] {
    if (TDocumentWindow* document = ActiveDocument()) runCommand([document] { document->PrintCommand(); });
  });
  PrintWindow->setShortcut(QKeySequence::Print);
  N3 = Fichier1->addSeparator();
  Quitter1 = Fichier1->addAction(MenuGlyph(6), "&Exit", this, commandSlot(this, &TForm1::Quitter1Click));
  Quitter1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  Options1 = menuBar()->addMenu("&Options");
  Options1->menuAction()->setVisible(false);
  Logoenarrireplan1 = Options1->addAction(MenuGlyph(1), "Logo en arrière plan");
}

void TForm1::BuildWindowMenu() {
  WindowMenu = menuBar()->addMenu("&Window");
  CascadeWindows = WindowMenu->addAction("&Cascade", ClientArea_, &QMdiArea::cascadeSubWindows);
  TileWindows = WindowMenu->addAction("&Tile", ClientArea_, &QMdiArea::tileSubWindows);
  NextWindow = WindowMenu->addAction("&Next", ClientArea_, &QMdiArea::activateNextSubWindow);
  NextWindow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab));
  CloseWindow = WindowMenu->addAction("C&lose", ClientArea_, &QMdiArea::closeActiveSubWindow);
  CloseWindow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
  connect(WindowMenu, &QMenu::aboutToShow, this, &TForm1::ListWindows);
}

void TForm1::ListWindows() {
  const QList<QAction*> actions = WindowMenu->actions();
  // The four commands stay; the list below them is made afresh each time the menu opens.
  for (QAction* listed : actions.mid(4)) {
    WindowMenu->removeAction(listed);
    listed->deleteLater();
  }
  const QList<QMdiSubWindow*> windows = ClientArea_->subWindowList();
  if (!windows.isEmpty()) WindowMenu->addSeparator();
  for (qsizetype i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* window = windows[i];
    QAction* entry = WindowMenu->addAction(QString("&%1 %2").arg(i + 1).arg(window->windowTitle()), window,
                                           [this, window] { ClientArea_->setActiveSubWindow(window); });
    entry->setCheckable(true);
    entry->setChecked(window == ClientArea_->activeSubWindow());
  }
}

TDocumentWindow* TForm1::ActiveDocument() const {
  return DocumentOf(ClientArea_->activeSubWindow());
}

void TForm1::ShowMaximised() {
  if (const QScreen* where = screen()) setGeometry(where->availableGeometry());
  showMaximized();
}

void TForm1::closeEvent(QCloseEvent* event) {
  // A window being loaded is needed until its load ends; the frame closes then.
  if (BackgroundWork::Waiting()) {
    event->ignore();
    QTimer::singleShot(kCloseRetry, this, &QWidget::close);
    return;
  }
  // A window with work not saved may refuse to close; the frame then stays.
  ClientArea_->closeAllSubWindows();
  if (ClientArea_->subWindowList().isEmpty())
    event->accept();
  else
    event->ignore();
}

void TForm1::BuildOpenDialog() {
  OpenDialog1 = new QFileDialog(this, "Open", QString(), DialogFilter(OpenFilter));
  OpenDialog1->setFileMode(QFileDialog::ExistingFiles);
  OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
  OpenDialog1->setSizeGripEnabled(true);
}

void TForm1::RegisterPictureOpeners() {
  RegisterOpener(".BMP", [this](const std::string& F) { TFicheImage::OpenBitmap(ClientArea_, F); });
  RegisterOpener(".JPG", [this](const std::string& F) { TFicheImage::OpenJpeg(ClientArea_, F); });
  RegisterCamOpeners(*this);
  RegisterX2DOpener(*this);
}

void TForm1::RegisterOpener(const std::string& extension, FileOpener opener) {
  assert(IsOpenExtension(extension));
  Openers[extension] = std::move(opener);
}

void TForm1::Ouvrir1Click() {
  if (!LastFolder().isEmpty()) OpenDialog1->setDirectory(LastFolder());
  const int answer = OpenDialog1->exec();
  // The file-name box's completion list is a window of its own: it goes with the dialog.
  for (QCompleter* completer : OpenDialog1->findChildren<QCompleter*>())
    if (completer->popup()) completer->popup()->hide();
  if (answer != QDialog::Accepted) return;
  const QStringList chosen = OpenDialog1->selectedFiles();
  if (!chosen.isEmpty()) RememberFolder(chosen.first());
  for (const QString& file : chosen)
    OpenFile(file.toStdString());
}

void TForm1::OpenFile(const std::string& F) {
  if (!fileExists(F)) {
    showMessage("File not found : " + F);
    return;
  }
  const auto opener = Openers.find(OpenBranch(F));
  if (opener == Openers.end()) {
    showMessage(NameOf(F) + ": not a file this program opens (.cam, .bmp, .jpg, .x2d, .x3d)");
    return;
  }
  const QList<QMdiSubWindow*> before = ClientArea_->subWindowList();
  try {
    opener->second(F);
  } catch (const std::exception& error) {
    showMessage(OpenFailureText(F, error));
    CloseEmptyWindowsOpenedSince(before);
  }
}

void TForm1::CloseEmptyWindowsOpenedSince(const QList<QMdiSubWindow*>& before) {
  for (QMdiSubWindow* window : ClientArea_->subWindowList())
    if (!before.contains(window))
      if (TDocumentWindow* document = DocumentOf(window); document && document->HoldsNothing())
        window->close();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData() && !DroppedFiles(*event->mimeData()).empty()) event->acceptProposedAction();
}

// The files open from the event loop, so that the file manager that dragged them is not held up by a
// long load; each opens on its own, and a failing one is reported without stopping the others.
void TForm1::dropEvent(QDropEvent* event) {
  if (!event->mimeData()) return;
  for (const std::string& file : DroppedFiles(*event->mimeData()))
    QTimer::singleShot(0, this, [this, file] { runCommand([this, file] { OpenFile(file); }); });
  event->acceptProposedAction();
}

void TForm1::Quitter1Click() {
  close();
}

void TForm1::SetRotating(TRotatingWindow* Window, bool On) {
  Timer1->stop();
  const auto found = std::find(RotationList_.begin(), RotationList_.end(), Window);
  if (On && found == RotationList_.end()) RotationList_.push_back(Window);
  if (!On && found != RotationList_.end()) RotationList_.erase(found);
  if (!RotationList_.empty()) Timer1->start();
}

void TForm1::Rot() {
  // A step may close its window, which takes it out of the list: walk a copy and skip the gone.
  const std::vector<TRotatingWindow*> windows = RotationList_;
  for (TRotatingWindow* window : windows)
    if (std::find(RotationList_.begin(), RotationList_.end(), window) != RotationList_.end())
      window->Rotation(Timer1);
}

} // namespace vorlan
