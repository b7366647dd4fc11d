#pragma once

#include <QRect>
#include <QSize>

class QDialog;
class QWidget;

// Window sizes that fit the screen they open on, whatever its size and
// device pixel ratio.
namespace vxScreenFit {

// The available geometry (without panels) of the screen that w is on, or of
// its parent's screen, or the primary one.
QRect available(const QWidget* w);

// Resizes the top-level window w to preferred, shrunk to fit the available
// screen with room for its frame, and centres it over its parent window (or
// the screen) when it is not yet shown.
void fitDialog(QWidget* w, QSize preferred);

// The size of a main window at its first start: fraction of the available
// screen, centred on it.
void fitMainWindow(QWidget* w, double fraction);

// Moves and shrinks w so that its frame lies within the available screen
// (for a geometry restored from another screen).
void keepOnScreen(QWidget* w);

// Moves every item of the dialog's top layout but the last (its row of
// buttons) into a scroll area, so that content taller than the screen
// scrolls while the buttons stay in sight.
void scrollContent(QDialog* dialog);

// The size a dialog asks for: its own size or its layout's wish, whichever
// is larger.
QSize preferredSize(const QWidget* w);

} // namespace vxScreenFit
