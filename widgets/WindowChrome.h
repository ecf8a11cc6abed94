#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QSize>

#include <QString>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QMdiArea;
class QMdiSubWindow;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace vorlan {

// The lettering of the frame and its child windows.
QFont ArialFont(int pixelSize = 11);

// Where a child window of size `window` goes in a client area of size `client`: centred, the
// halves truncated toward zero, never left of or above the client area's origin.
QPoint CentredPosition(QSize client, QSize window);

// Where a child window goes when `others` windows are already open: the first `centred`, each
// further one a cascade step further down and right, as long as the window still fits in the
// client area; once the frame is full, the last spot that fitted.
QPoint CascadedPosition(QPoint centred, QSize client, QSize window, int others);

// Places `window` by CentredPosition in the client area of the MDI area that holds it, cascaded
// past the other child windows there.
void CentreInClientArea(QMdiSubWindow* window);

// Keeps a window that shows a picture at 1:1 within the client area (the picture then scrolls)
// and wide enough for its title-bar buttons and its tool bar (`toolBarWidth`).
QSize FittedWindowSize(QSize wanted, QSize client, int toolBarWidth);

// A child window's caption: the file name first, so a narrow title bar still shows it; the full
// name is the title's tooltip.
void SetFileCaption(QMdiSubWindow* window, const std::string& fileName);

// The folder of the file last opened or saved through a dialog, shared by every dialog of the
// program; empty before the first.
QString LastFolder();
void RememberFolder(const QString& fileName);

// What every child window wears: the program's icon and lettering; it is freed when closed.
void DressChildWindow(QWidget* window);
// Takes the keys off a child window's system menu: the frame's Window menu has them, and works
// whichever widget holds the focus; two owners of Ctrl+W would cancel each other out.
void LeaveKeysToTheFrame(QMdiSubWindow* window);
// Adds the child window to `area` at `size`, shown and centred in the client area.
void ShowInClientArea(QMdiArea* area, QMdiSubWindow* window, QSize size);

// Pixels of the coloured border around a child window's client area.
constexpr int ChildBorderWidth = 5;

// The client area of a child window: a column of widgets that the caller fills, with a border of
// `background` ChildBorderWidth wide around it. The column's widget (its parentWidget) goes to the window's
// setWidget.
QVBoxLayout* NewClientColumn(const QColor& background);

// Fills the widget's background with `background`; its plain text is drawn in `text` when given.
void SetColors(QWidget* widget, const QColor& background, const QColor& text = QColor());

// A flat 25 x 25 button on a tool bar, `left` pixels from its start, showing the picture `glyph`
// (none when null).
QToolButton* NewSpeedButton(QWidget* bar, int left, const char* glyph);

// Makes the buttons one group in which at most one is down and a click on the one that is down
// raises it, so all may be up. Each click then runs the button's action (through runCommand).
void MakeRaisableGroup(const std::vector<std::pair<QToolButton*, std::function<void()>>>& buttons);

} // namespace vorlan
