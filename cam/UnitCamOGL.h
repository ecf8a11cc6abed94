#pragma once

#include "cam/SceneView.h"
#include "gl/KX_OpenGL_CAMERA.h"
#include "widgets/FrameServices.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QFileDialog;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolButton;

namespace vorlan {

class TCamObject;
class TEntity;
class TGL_VIEW;
class TKXPanel;
class TObjects;
class TSuperObject;

// The child window of a 3D scene (.cam) or model (.x3d): an OpenGL view that orbits, turns on the
// frame's timer, switches between four camera presets and a paper view, and saves, prints and
// exports what it shows.
class TFicheCamOGL : public QWidget, public TRotatingWindow, public TDocumentWindow {
  Q_OBJECT
public:
  // A new window with its view not yet initialised, shown at its design size centred in `area`;
  // its sub-window frees itself when closed.
  explicit TFicheCamOGL(QMdiArea* area);
  ~TFicheCamOGL() override;

  // The opening sequences: start reading `F`, create the window, initialise the view and place it,
  // then show what was read. A load error propagates with the window open and what was read before
  // it shown.
  static TFicheCamOGL* OpenCam(QMdiArea* area, const std::string& F);
  static TFicheCamOGL* OpenX3D(QMdiArea* area, const std::string& F);

  void Rotation(QObject* Sender) override;

  bool HoldsNothing() const override;
  void PrintCommand() override { imprime(); }
  void SaveCommand() override { Sauve(); }

  // What the view shows, 24 bits, at its size; the window comes to the front first.
  QImage Capture();
  // Writes the capture by the name's extension; false, with a message and no file, for any
  // extension other than .jpg and .bmp.
  bool SaveViewTo(const std::string& fileName);
  // The scene's entities in layer order: the cam document's, then the model's.
  std::vector<const TEntity*> SceneEntities() const;
  void ExportDXFTo(const std::string& fileName);

  QMdiSubWindow* SubWindow() const { return subWindow_; }
  TGL_CAMERA& Camera() { return CAMERA1; }
  TGL_VIEW& View() { return *v1; }
  bool IsRotating() const { return Rotating; }
  const TCamObject* Cam() const { return Scene.Cam(); }
  const TSuperObject* Model() const { return Scene.Model(); }

  QWidget* Panel2 = nullptr;
  QLabel* Image1 = nullptr;
  QWidget* Panel3 = nullptr;
  TKXPanel* KXPanel1 = nullptr;
  QToolButton* SpeedButton1 = nullptr;  // rotation
  QToolButton* SpeedButton10 = nullptr; // presets: top
  QToolButton* SpeedButton11 = nullptr; // front
  QToolButton* SpeedButton12 = nullptr; // side
  QToolButton* SpeedButton13 = nullptr; // perspective orbit
  QToolButton* SpeedButton23 = nullptr; // paper mode
  QToolButton* SpeedButton2 = nullptr;  // save picture
  QToolButton* SpeedButton3 = nullptr;  // print
  QToolButton* SpeedButton4 = nullptr;  // white background
  QToolButton* SpeedButton5 = nullptr;  // DXF export
  QLabel* Label1 = nullptr;
  QLabel* Panel1 = nullptr;
  TGL_VIEW* v1 = nullptr;
  QFileDialog* SavePictureDialog1 = nullptr;
  QFileDialog* SaveDialog1 = nullptr;

public slots:
  void FormActivate();
  void SpeedButton1Click();
  void SpeedButton10Click();
  void SpeedButton11Click();
  void SpeedButton12Click();
  void SpeedButton13Click();
  void SpeedButton23Click();
  void Sauve();
  void imprime();
  void Blanc();
  void Export_DXF();

protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  static TFicheCamOGL* Open(QMdiArea* area);
  void FormCreate();
  void BuildLayout();
  void BuildToolBar();
  void BuildView();
  void PlaceView();
  void ShowLoading(const std::string& FileName, double Pas);
  static TFicheCamOGL* OpenScene(QMdiArea* area, const std::string& F, double Pas);
  void ShowHintWhereItFits();
  void ApplyPreset(TCameraPreset preset);
  void FreeDocuments();

  // Declared before the widgets' owner deletes them, so the view leaves a living camera.
  TGL_CAMERA CAMERA1;
  QMdiSubWindow* subWindow_ = nullptr;
  bool Rotating = false;
  TScene Scene;
};

} // namespace vorlan
