// Window placement: centring a window on its screen and putting it into or out
// of the always-on-top band.
#pragma once

#include <QPointF>
#include <QSizeF>

class QWidget;

namespace WinAPI {

// Top-left corner, relative to an area, that centres an outer window size in
// it. A window larger than the area keeps its corner (title bar and
// buttons) in the area and overhangs to the right or bottom only, so that it
// can still be reached and moved.
QPointF CenteredTopLeft(const QSizeF& window, const QSizeF& area);

// Moves the window (frame included) to the middle of the available area
// (without panels and docks) of the screen it is on.
void CenterForm(QWidget& window);

// Puts the window into (onTop) or out of the always-on-top band. As with the
// native call the window ends up visible, keeping its size and position, and
// it does not take the keyboard focus.
void SetTopmost(QWidget& window, bool onTop);

}  // namespace WinAPI
