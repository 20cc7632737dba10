#include "ui/logo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

void DrawPipe(QPainter& p, const QRectF& pipe) {
  QLinearGradient steel(pipe.topLeft(), pipe.bottomLeft());
  steel.setColorAt(0.0, QColor(90, 100, 115));
  steel.setColorAt(0.35, QColor(215, 222, 230));
  steel.setColorAt(1.0, QColor(70, 80, 95));
  p.setPen(QPen(QColor(40, 45, 55), 1.5));
  p.setBrush(steel);
  p.drawRoundedRect(pipe, pipe.height() * 0.2, pipe.height() * 0.2);
}

// Arrows that grow longer downstream: the gas accelerates as its pressure falls.
void DrawFlowArrows(QPainter& p, const QRectF& pipe) {
  const double y = pipe.center().y();
  const double head = pipe.height() * 0.18;
  p.setPen(QPen(QColor(0, 150, 0), pipe.height() * 0.09, Qt::SolidLine, Qt::RoundCap));
  double x = pipe.left() + pipe.width() * 0.06;
  for (int i = 0; i < 4; ++i) {
    const double length = pipe.width() * (0.08 + 0.04 * i);
    p.drawLine(QPointF(x, y), QPointF(x + length, y));
    p.drawLine(QPointF(x + length, y), QPointF(x + length - head, y - head));
    p.drawLine(QPointF(x + length, y), QPointF(x + length - head, y + head));
    x += length + pipe.width() * 0.05;
  }
}

// Mach number along the pipe: slow at first, steep near the choking limit.
void DrawMachCurve(QPainter& p, const QRectF& chart) {
  p.setPen(QPen(QColor(200, 30, 30), 1.0, Qt::DashLine));
  p.drawLine(chart.topLeft(), chart.topRight());
  QPainterPath curve(chart.bottomLeft() - QPointF(0, chart.height() * 0.3));
  curve.cubicTo(QPointF(chart.left() + chart.width() * 0.6, chart.bottom() - chart.height() * 0.35),
                QPointF(chart.left() + chart.width() * 0.9, chart.bottom() - chart.height() * 0.6),
                chart.topRight());
  p.setPen(QPen(QColor(0, 70, 160), 2.0));
  p.setBrush(Qt::NoBrush);
  p.drawPath(curve);
}

}  // namespace

void DrawLogo(QPainter& painter, const QRectF& area) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF chart(area.left() + area.width() * 0.08, area.top() + area.height() * 0.08,
                     area.width() * 0.84, area.height() * 0.42);
  const QRectF pipe(area.left() + area.width() * 0.04, area.top() + area.height() * 0.58,
                    area.width() * 0.92, area.height() * 0.34);
  DrawMachCurve(painter, chart);
  DrawPipe(painter, pipe);
  DrawFlowArrows(painter, pipe);
  painter.restore();
}

QIcon LogoIcon() {
  QPixmap canvas(64, 64);
  canvas.fill(Qt::transparent);
  QPainter painter(&canvas);
  DrawLogo(painter, QRectF(canvas.rect()));
  painter.end();
  return QIcon(canvas);
}

LogoView::LogoView(QWidget* parent) : QWidget(parent) {}

void LogoView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  DrawLogo(painter, QRectF(rect()));
}
