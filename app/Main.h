#pragma once

#include "widgets/FrameServices.h"
#include "widgets/Resources.h"

#include <QImage>
#include <QMainWindow>

#include <QList>

#include <array>
#include <exception>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QMimeData;
class QFileDialog;
class QMenu;
class QMdiSubWindow;
class QTimer;

namespace vorlan {

// The extensions the Open command tests, in the order it tests them.
inline constexpr std::array<std::string_view, 5> OpenExtensions{".CAM", ".BMP", ".JPG", ".X2D", ".X3D"};

// The Open command's branch for `fileName`: its upper-cased extension when it is one of
// OpenExtensions (".jpeg" is a JPEG picture too), otherwise empty.
std::string OpenBranch(const std::string& fileName);

// What the user reads when opening `F` failed: the file's name, why in plain words, and where the
// reader stopped at the end, e.g. "scene.cam: not a cam file (offset 0)".
std::string OpenFailureText(const std::string& F, const std::exception& error);

// A filter string of "description|pattern;pattern" pairs as the file dialog takes it:
// "description (pattern pattern)", pairs separated by ";;".
QString DialogFilter(const QString& filter);

// The local files of a drag, in the order dragged, that the Open command has a branch for.
std::vector<std::string> DroppedFiles(const QMimeData& data);

inline constexpr const char* FrameCaption = "Vorlan cam  2.3.2 - Vorlan Design Tools";
inline constexpr const char* OpenFilter = "cam, bmp, jpg, x2d, x3d|*.cam;*.bmp;*.jpg;*.x2d;*.x3d";

// The multiple-document frame: the Open command, the rotation timer of the 3D windows and the
// hidden progress bar of long loads. It owns no document and keeps no list of its children.
class TForm1 : public QMainWindow, public FrameServices {
  Q_OBJECT
public:
  TForm1();
  ~TForm1() override;

  // Runs the opening sequence registered for the file's branch. A missing file, a file of no
  // branch and a failed opening each show why; a window that the failure left empty is closed.
  void OpenFile(const std::string& F);
  // Shows the frame maximised; with no window manager to honour that, over the screen's
  // available area.
  void ShowMaximised();

  void SetRotating(TRotatingWindow* Window, bool On) override;
  QProgressBar* MainBar() override { return MainBar_; }
  QImage LogoStrip() const override { return Image1; }
  QMdiArea* ClientArea() override { return ClientArea_; }
  void RegisterOpener(const std::string& extension, FileOpener opener) override;

  // The windows whose rotation is on, in the order they were switched on.
  const std::vector<TRotatingWindow*>& RotationList() const { return RotationList_; }

  QAction* x1 = nullptr;
  QMenu* Fichier1 = nullptr;
  QAction* Ouvrir1 = nullptr;
  QAction* N3 = nullptr;
  QAction* Quitter1 = nullptr;
  QAction* SavePicture = nullptr;
  QAction* PrintWindow = nullptr;
  QMenu* WindowMenu = nullptr;
  QAction* CascadeWindows = nullptr;
  QAction* TileWindows = nullptr;
  QAction* NextWindow = nullptr;
  QAction* CloseWindow = nullptr;
  QFileDialog* OpenDialog1 = nullptr;
  QMenu* Options1 = nullptr;
  QAction* Logoenarrireplan1 = nullptr;
  QImage ImagesMenu;
  QTimer* Timer1 = nullptr;
  QImage Image1;

protected:
  // Files dropped on the frame open as if chosen in File > Open, one after another.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

public slots:
  void Ouvrir1Click();
  void Quitter1Click();
  void Rot();

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void BuildWindowMenu();
  void ListWindows();
  TDocumentWindow* ActiveDocument() const;
  void CloseEmptyWindowsOpenedSince(const QList<QMdiSubWindow*>& before);
  void BuildMenus();
  QIcon MenuGlyph(int index) const;
  void BuildOpenDialog();
  void RegisterPictureOpeners();

  QMdiArea* ClientArea_ = nullptr;
  QProgressBar* MainBar_ = nullptr;
  std::vector<TRotatingWindow*> RotationList_;
  std::map<std::string, FileOpener, std::less<>> Openers;
};

} // namespace vorlan
