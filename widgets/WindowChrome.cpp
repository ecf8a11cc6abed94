#include "widgets/WindowChrome.h"

#include "platform/Messages.h"

#include "widgets/Resources.h"

#include <QFileInfo>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPalette>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vorlan {

namespace {

// How far each further child window sits down and right of the one before it.
constexpr int CascadeStep = 24;
// The icon, caption and the three buttons of a child window's title bar.
constexpr int TitleBarButtonsWidth = 160;
constexpr const char* SpeedButtonStyle =
    "QToolButton { background: rgba(255, 255, 255, 80); border: 1px solid transparent; border-radius: 3px; }"
    "QToolButton:hover { background: rgba(255, 255, 255, 150); }"
    "QToolButton:checked { background: rgb(255, 200, 60); border-color: rgb(255, 240, 180); }";
// A title bar, a tool bar and a little of the picture.
constexpr int SmallestWindowHeight = 100;

} // namespace

QFont ArialFont(int pixelSize) {
  QFont font("Arial");
  font.setPixelSize(pixelSize);
  return font;
}

QPoint CentredPosition(QSize client, QSize window) {
  // C++ integer division truncates toward zero, as the rule asks for odd and negative spans.
  const int x = (client.width() - window.width()) / 2;
  const int y = (client.height() - window.height()) / 2;
  return {std::max(x, 0), std::max(y, 0)};
}

QPoint CascadedPosition(QPoint centred, QSize client, QSize window, int others) {
  for (int steps = others; steps > 0; --steps) {
    const QPoint spot = centred + QPoint(CascadeStep, CascadeStep) * steps;
    if (spot.x() + window.width() <= client.width() && spot.y() + window.height() <= client.height())
      return spot;
  }
  return centred;
}

void CentreInClientArea(QMdiSubWindow* window) {
  const QMdiArea* area = window->mdiArea();
  if (!area) return;
  const QSize client = area->viewport()->size();
  int others = 0;
  for (const QMdiSubWindow* other : area->subWindowList())
    others += other != window && other->isVisible();
  window->move(CascadedPosition(CentredPosition(client, window->size()), client, window->size(), others));
}

QSize FittedWindowSize(QSize wanted, QSize client, int toolBarWidth) {
  const int narrowest = std::max(toolBarWidth, TitleBarButtonsWidth);
  const int width = std::max(std::min(wanted.width(), client.width()), narrowest);
  const int height = std::max(std::min(wanted.height(), client.height()), SmallestWindowHeight);
  return {width, height};
}

void SetFileCaption(QMdiSubWindow* window, const std::string& fileName) {
  const QString full = QString::fromStdString(fileName);
  window->setWindowTitle(QFileInfo(full).fileName());
  window->setWindowFilePath(full);
  window->setToolTip(full);
}

namespace {
QString& lastFolder() {
  static QString folder;
  return folder;
}
} // namespace

QString LastFolder() {
  return lastFolder();
}

void RememberFolder(const QString& fileName) {
  lastFolder() = QFileInfo(fileName).absolutePath();
}

QVBoxLayout* NewClientColumn(const QColor& background) {
  auto* client = new QWidget;
  SetColors(client, background);
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(ChildBorderWidth, ChildBorderWidth, ChildBorderWidth, ChildBorderWidth);
  column->setSpacing(0);
  return column;
}

void DressChildWindow(QWidget* window) {
  RegisterPictures();
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowIcon(QIcon(":/app_icon.png"));
  window->setFont(ArialFont());
}

void LeaveKeysToTheFrame(QMdiSubWindow* window) {
  if (QMenu* menu = window->systemMenu())
    for (QAction* action : menu->actions())
      action->setShortcut(QKeySequence());
}

void ShowInClientArea(QMdiArea* area, QMdiSubWindow* window, QSize size) {
  area->addSubWindow(window);
  LeaveKeysToTheFrame(window);
  window->resize(size);
  window->show();
  CentreInClientArea(window);
}

void SetColors(QWidget* widget, const QColor& background, const QColor& text) {
  widget->setAutoFillBackground(true);
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, background);
  if (text.isValid()) palette.setColor(QPalette::WindowText, text);
  widget->setPalette(palette);
}

QToolButton* NewSpeedButton(QWidget* bar, int left, const char* glyph) {
  auto* button = new QToolButton(bar);
  button->setGeometry(left, 1, 25, 25);
  button->setAutoRaise(true);
  // The tool bars are dark: a light plate under each glyph keeps dark glyphs readable, and a
  // toggle that is on stands out in a colour of its own.
  button->setStyleSheet(SpeedButtonStyle);
  if (glyph) button->setIcon(QIcon(glyph));
  return button;
}

void MakeRaisableGroup(const std::vector<std::pair<QToolButton*, std::function<void()>>>& buttons) {
  std::vector<QToolButton*> group;
  for (const auto& entry : buttons)
    group.push_back(entry.first);
  // Not a structured binding: clang 14, which builds the fuzzing harnesses, cannot capture one.
  for (const auto& entry : buttons) {
    QToolButton* button = entry.first;
    const std::function<void()>& action = entry.second;
    button->setCheckable(true);
    QObject::connect(button, &QToolButton::clicked, button, [group, button, action](bool down) {
      if (down)
        for (QToolButton* other : group)
          if (other != button) other->setChecked(false);
      runCommand(action);
    });
  }
}

} // namespace vorlan
