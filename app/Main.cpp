#include "app/Main.h"

#include "app/UnitImage.h"
#include "cam/CamOpener.h"
#include "graphic_viewer/UnitX2D.h"
#include "platform/FileBytes.h"
#include "platform/Messages.h"
#include "widgets/WindowChrome.h"

#include <QDropEvent>
#include <QFileDialog>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>
#include <cassert>

namespace vorlan {

namespace {

// ImagesMenu is one strip of square glyphs, as many as the strip is wide.
constexpr int MenuGlyphSize = 16;

const QColor FrameBackground(0x51, 0x51, 0x51);

bool IsOpenExtension(std::string_view extension) {
  return std::find(OpenExtensions.begin(), OpenExtensions.end(), extension) != OpenExtensions.end();
}

} // namespace

std::string OpenBranch(const std::string& fileName) {
  std::string extension = upperExtension(fileName);
  return IsOpenExtension(extension) ? extension : std::string();
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

  ClientArea_ = new QMdiArea(this);
  ClientArea_->setBackground(FrameBackground);
  setCentralWidget(ClientArea_);

  MainBar_ = new QProgressBar(ClientArea_);
  MainBar_->setGeometry(8, 4, 150, 16);
  MainBar_->setRange(0, 100);
  MainBar_->hide();

  ImagesMenu = QImage(":/images_menu.png");
  BuildMenus();
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
  N3 = Fichier1->addSeparator();
  Quitter1 = Fichier1->addAction(MenuGlyph(6), "&Exit", this, commandSlot(this, &TForm1::Quitter1Click));

  Options1 = menuBar()->addMenu("&Options");
  Options1->menuAction()->setVisible(false);
  Logoenarrireplan1 = Options1->addAction(MenuGlyph(1), "Logo en arrière plan");
}

void TForm1::BuildOpenDialog() {
  OpenDialog1 = new QFileDialog(this, "Open", QString(), DialogFilter(OpenFilter));
  OpenDialog1->setFileMode(QFileDialog::ExistingFile);
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
  if (OpenDialog1->exec() != QDialog::Accepted) return;
  const QStringList chosen = OpenDialog1->selectedFiles();
  if (!chosen.isEmpty()) OpenFile(chosen.first().toStdString());
}

void TForm1::OpenFile(const std::string& F) {
  const auto opener = Openers.find(OpenBranch(F));
  if (opener != Openers.end()) opener->second(F);
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
