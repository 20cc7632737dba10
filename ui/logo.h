// The program's logo: a pipe with the gas speeding up along it and the Mach
// number curve rising towards 1. Drawn in code so that the About window and
// the window icon need no image files.
#pragma once

#include <QIcon>
#include <QRectF>
#include <QWidget>

class QPainter;

void DrawLogo(QPainter& painter, const QRectF& area);

// The logo on a square canvas, for window icons.
QIcon LogoIcon();

// A picture box that shows the logo scaled to its size.
class LogoView : public QWidget {
  Q_OBJECT
 public:
  explicit LogoView(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
