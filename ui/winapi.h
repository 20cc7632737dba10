// Window placement: centring a window on its screen and putting it into or out
// of the always-on-top band.
#pragma once

#include <QPointF>
#include <QSizeF>

class QWidget;

namespace WinAPI {

// Top-left corner that centres an outer window size on a screen size. There is
// no clamping: a window larger than the screen overhangs it equally on both
// sides, so its corner is negative.
QPointF CenteredTopLeft(const QSizeF& window, const QSizeF& screen);

// Moves the window (frame included) to the middle of the screen it is on.
void CenterForm(QWidget& window);

// Puts the window into (onTop) or out of the always-on-top band. As with the
// native call the window ends up visible, keeping its size and position, and
// it does not take the keyboard focus.
void SetTopmost(QWidget& window, bool onTop);

}  // namespace WinAPI
