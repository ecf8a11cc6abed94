#include "widgets/WindowChrome.h"

#include "platform/Messages.h"

#include "widgets/Resources.h"

#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPalette>
#include <QToolButton>

#include <algorithm>

namespace vorlan {

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

void CentreInClientArea(QMdiSubWindow* window) {
  const QMdiArea* area = window->mdiArea();
  if (!area) return;
  window->move(CentredPosition(area->viewport()->size(), window->size()));
}

void DressChildWindow(QWidget* window) {
  RegisterPictures();
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowIcon(QIcon(":/app_icon.png"));
  window->setFont(ArialFont());
}

void ShowInClientArea(QMdiArea* area, QMdiSubWindow* window, QSize size) {
  area->addSubWindow(window);
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
