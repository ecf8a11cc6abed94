#pragma once

#include <QColor>
#include <QFont>

#include <functional>
#include <utility>
#include <vector>

class QToolButton;
class QWidget;

namespace vorlan {

// The lettering of the frame and its child windows.
QFont ArialFont(int pixelSize = 11);

// Fills the widget's background with `background`; its plain text is drawn in `text` when given.
void SetColors(QWidget* widget, const QColor& background, const QColor& text = QColor());

// A flat 25 x 25 button on a tool bar, `left` pixels from its start, showing the picture `glyph`
// (none when null).
QToolButton* NewSpeedButton(QWidget* bar, int left, const char* glyph);

// Makes the buttons one group in which at most one is down and a click on the one that is down
// raises it, so all may be up. Each click then runs the button's action (through runCommand).
void MakeRaisableGroup(const std::vector<std::pair<QToolButton*, std::function<void()>>>& buttons);

} // namespace vorlan
