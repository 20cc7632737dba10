#include "cli/plot.h"

#include <QBuffer>
#include <QChart>
#include <QGraphicsScene>
#include <QImage>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QValueAxis>
#include <cmath>

namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 600;

bool IsSvg(const QString& path) {
  return path.endsWith(".svg", Qt::CaseInsensitive);
}

QAbstractAxis* XAxis(const PlotSpec& spec) {
  QAbstractAxis* axis = nullptr;
  if (spec.logX) {
    auto* log = new QLogValueAxis;
    log->setLabelFormat("%g");
    log->setMinorTickCount(-1);
    axis = log;
  } else {
    axis = new QValueAxis;
  }
  axis->setTitleText(spec.xTitle);
  return axis;
}

QValueAxis* YAxis(const QString& title) {
  auto* axis = new QValueAxis;
  axis->setTitleText(title);
  return axis;
}

// The chart owns its series and axes.
void Fill(QChart& chart, const PlotSpec& spec) {
  chart.setTitle(spec.title);
  QAbstractAxis* x = XAxis(spec);
  QValueAxis* y = YAxis(spec.yTitle);
  chart.addAxis(x, Qt::AlignBottom);
  chart.addAxis(y, Qt::AlignLeft);
  QValueAxis* y2 = nullptr;
  for (const PlotSeries& data : spec.series) {
    auto* series = new QLineSeries;
    series->setName(data.name);
    for (const QPointF& p : data.points) {
      if (std::isfinite(p.x()) && std::isfinite(p.y())) series->append(p);
    }
    chart.addSeries(series);
    series->attachAxis(x);
    if (data.secondAxis && !y2) {
      y2 = YAxis(spec.secondYTitle);
      chart.addAxis(y2, Qt::AlignRight);
    }
    series->attachAxis(data.secondAxis ? y2 : y);
  }
  chart.legend()->setAlignment(Qt::AlignBottom);
}

// Renders the chart into `painter`'s device of the plot's size.
void Render(const PlotSpec& spec, QPainter& painter) {
  QGraphicsScene scene;
  auto* chart = new QChart;
  scene.addItem(chart);
  chart->setGeometry(0, 0, kWidth, kHeight);
  chart->setAnimationOptions(QChart::NoAnimation);
  Fill(*chart, spec);
  painter.setRenderHint(QPainter::Antialiasing);
  scene.render(&painter, QRectF(0, 0, kWidth, kHeight), QRectF(0, 0, kWidth, kHeight));
}

QByteArray SvgBytes(const PlotSpec& spec) {
  QBuffer buffer;
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(kWidth, kHeight));
  svg.setViewBox(QRect(0, 0, kWidth, kHeight));
  svg.setTitle(spec.title);
  QPainter painter(&svg);
  Render(spec, painter);
  painter.end();
  return buffer.data();
}

QByteArray PngBytes(const PlotSpec& spec) {
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  Render(spec, painter);
  painter.end();
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return buffer.data();
}

}  // namespace

bool IsPlotPath(const QString& path) {
  return IsSvg(path) || path.endsWith(".png", Qt::CaseInsensitive);
}

bool WritePlot(const PlotSpec& spec, const QString& path, QString& error) {
  const QByteArray bytes = IsSvg(path) ? SvgBytes(spec) : PngBytes(spec);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    error = path + ": " + file.errorString();
    return false;
  }
  return true;
}
