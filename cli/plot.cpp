#include "cli/plot.h"

#include <QBuffer>
#include <QChart>
#include <QCoreApplication>
#include <QGraphicsScene>
#include <QImage>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "cli/session.h"

namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 600;

bool IsSvg(const std::string& path) {
  return HasExtension(path, ".svg");
}

QAbstractAxis* XAxis(const PlotContent& content) {
  QAbstractAxis* axis = nullptr;
  if (content.logX) {
    auto* log = new QLogValueAxis;
    log->setLabelFormat("%g");
    log->setMinorTickCount(-1);
    axis = log;
  } else {
    axis = new QValueAxis;
  }
  axis->setTitleText(content.xTitle);
  return axis;
}

QValueAxis* YAxis(const QString& title) {
  auto* axis = new QValueAxis;
  axis->setTitleText(title);
  return axis;
}

struct Range {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  void Take(double v) {
    low = std::min(low, v);
    high = std::max(high, v);
  }
  // A little room around the data, and some width where it has none.
  void Apply(QAbstractAxis* axis, bool pad) const {
    if (!(low <= high)) return;
    const double margin =
        high > low ? (pad ? (high - low) * 0.05 : 0.0) : std::max(1.0, std::fabs(low) * 0.05);
    axis->setRange(low - margin, high + margin);
    if (auto* values = qobject_cast<QValueAxis*>(axis); values && pad) values->applyNiceNumbers();
  }
};

bool Plotted(const QPointF& p) {
  return std::isfinite(p.x()) && std::isfinite(p.y());
}

// The chart owns its series and axes. Axis ranges come from the data of every
// series attached to them, not from the first one alone.
void Fill(QChart& chart, const PlotContent& content) {
  chart.setTitle(content.title);
  QAbstractAxis* x = XAxis(content);
  QValueAxis* y = YAxis(content.yTitle);
  chart.addAxis(x, Qt::AlignBottom);
  chart.addAxis(y, Qt::AlignLeft);
  QValueAxis* y2 = nullptr;
  Range xRange, yRange, y2Range;
  for (const PlotSeries& data : content.series) {
    auto* series = new QLineSeries;
    series->setName(data.name);
    for (const QPointF& p : data.points) {
      if (!Plotted(p)) continue;
      series->append(p);
      xRange.Take(p.x());
      (data.secondAxis ? y2Range : yRange).Take(p.y());
    }
    chart.addSeries(series);
    series->attachAxis(x);
    if (data.secondAxis && !y2) {
      y2 = YAxis(content.secondYTitle);
      chart.addAxis(y2, Qt::AlignRight);
    }
    series->attachAxis(data.secondAxis ? y2 : y);
  }
  xRange.Apply(x, false);
  yRange.Apply(y, true);
  if (y2) y2Range.Apply(y2, true);
  chart.legend()->setAlignment(Qt::AlignBottom);
}

// Renders the chart into `painter`'s device of the plot's size.
void Render(const PlotContent& content, QPainter& painter) {
  QGraphicsScene scene;
  auto* chart = new QChart;
  scene.addItem(chart);
  chart->setGeometry(0, 0, kWidth, kHeight);
  chart->setAnimationOptions(QChart::NoAnimation);
  Fill(*chart, content);
  // Axes, labels and legend are laid out by posted events.
  QCoreApplication::processEvents();
  painter.setRenderHint(QPainter::Antialiasing);
  scene.render(&painter, QRectF(0, 0, kWidth, kHeight), QRectF(0, 0, kWidth, kHeight));
}

QByteArray SvgBytes(const PlotContent& content) {
  QBuffer buffer;
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(kWidth, kHeight));
  svg.setViewBox(QRect(0, 0, kWidth, kHeight));
  svg.setTitle(content.title);
  QPainter painter(&svg);
  Render(content, painter);
  painter.end();
  return buffer.data();
}

QByteArray PngBytes(const PlotContent& content) {
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  Render(content, painter);
  painter.end();
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return {};  // never an empty file passed off as a plot
  return buffer.data();
}

}  // namespace

bool IsPlotPath(const std::string& path) {
  return IsSvg(path) || HasExtension(path, ".png");
}

std::optional<QByteArray> DrawPlot(const PlotContent& content, const std::string& path) {
  const QByteArray bytes = IsSvg(path) ? SvgBytes(content) : PngBytes(content);
  if (bytes.isEmpty()) return std::nullopt;
  return bytes;
}
