#pragma once

#include <QImage>

#include <functional>
#include <string>

class QMdiArea;
class QObject;
class QProgressBar;

namespace vorlan {

// A 3D window that the frame's rotation timer turns. Destroying one takes it out of the frame's
// rotation list, so the list never holds a window that no longer exists.
class TRotatingWindow {
public:
  virtual ~TRotatingWindow();
  // One step of continuous rotation; `sender` is the frame's timer.
  virtual void Rotation(QObject* sender) = 0;
};

// A child window as the frame's menu and keys reach it. The frame finds it as the active
// sub-window or the widget the sub-window holds.
class TDocumentWindow {
public:
  // True when the window's opening read nothing it could show: after a failed opening the frame
  // closes such a window once the user has seen why.
  virtual bool HoldsNothing() const = 0;
  virtual void PrintCommand() = 0;
  // Saves what the window shows as a picture; windows that cannot do nothing.
  virtual void SaveCommand() {}

protected:
  ~TDocumentWindow() = default;
};

// The opening sequence of one file type, run with the chosen file's full name.
using FileOpener = std::function<void(const std::string& fileName)>;

// What the frame offers the child windows that live in libraries below the application.
class FrameServices {
public:
  virtual void SetRotating(TRotatingWindow* window, bool on) = 0;
  // The hidden progress bar that long loads advance.
  virtual QProgressBar* MainBar() = 0;
  // The vertical logo strip every 3D window shows in its left margin.
  virtual QImage LogoStrip() const = 0;
  virtual QMdiArea* ClientArea() = 0;
  // `extension` is one the Open command tests (".CAM", ".BMP", ".JPG", ".X2D", ".X3D").
  virtual void RegisterOpener(const std::string& extension, FileOpener opener) = 0;

  // The frame, or null before it exists and after it is gone.
  static FrameServices* instance();

protected:
  FrameServices();
  virtual ~FrameServices();
  FrameServices(const FrameServices&) = delete;
  FrameServices& operator=(const FrameServices&) = delete;
};

} // namespace vorlan
