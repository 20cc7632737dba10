#include "ui/winapi.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace WinAPI {

QPointF CenteredTopLeft(const QSizeF& window, const QSizeF& area) {
  return QPointF(std::max(0.0, (area.width() - window.width()) / 2.0),
                 std::max(0.0, (area.height() - window.height()) / 2.0));
}

void CenterForm(QWidget& window) {
  QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QPointF corner =
      CenteredTopLeft(QSizeF(window.frameGeometry().size()), QSizeF(area.size()));
  // move() places a top-level window by its frame, which is what is centred.
  window.move(area.topLeft() + corner.toPoint());
}

void SetTopmost(QWidget& window, bool onTop) {
  const bool quiet = window.testAttribute(Qt::WA_ShowWithoutActivating);
  window.setAttribute(Qt::WA_ShowWithoutActivating, true);
  // Changing a window flag hides a shown window; show() maps it again.
  window.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  window.show();
  window.setAttribute(Qt::WA_ShowWithoutActivating, quiet);
}

}  // namespace WinAPI
