#include "cli/plot.h"

#include <QAreaSeries>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "cli/session.h"

// ---------------------------------------------------------------- sampling

void LineSampler::Add(double at, QPointF point) {
  // Rounded, so that n <= kPlotColumns evenly spaced points fall into n
  // columns whatever the rounding of `at`.
  const double along = at > 0 ? std::min(at, 1.0) : 0.0;
  const int column = static_cast<int>(std::lround(along * (kPlotColumns - 1)));
  ++added_;
  if (std::isnan(point.y())) {
    AddGap(column, point);
  } else {
    AddValue(column, point);
  }
}

void LineSampler::AddValue(int column, QPointF point) {
  if (inGap_) {
    inGap_ = false;
    afterGap_ = points_.size();
  }
  if (column != column_) {
    FlushColumn();
    column_ = column;
  }
  const Kept here{added_, point};
  if (!anyKept_) {
    kept_ = {here, here, here, here};
    anyKept_ = true;
    return;
  }
  if (point.y() < kept_[1].point.y()) kept_[1] = here;
  if (point.y() > kept_[2].point.y()) kept_[2] = here;
  kept_[3] = here;
}

void LineSampler::AddGap(int column, QPointF point) {
  if (inGap_) {
    points_.back().setX(point.x());
    gapColumn_ = column;
    return;
  }
  // The values since the last stretch lie in this very column: below a
  // pixel's width, so the two stretches become one.
  if (column == gapColumn_ && points_.size() == afterGap_) {
    anyKept_ = false;
    points_.back().setX(point.x());
    inGap_ = true;
    return;
  }
  FlushColumn();
  points_.push_back(point);
  points_.push_back(point);
  inGap_ = true;
  gapColumn_ = column;
}

void LineSampler::FlushColumn() {
  if (!anyKept_) return;
  std::sort(kept_.begin(), kept_.end(),
            [](const Kept& a, const Kept& b) { return a.order < b.order; });
  for (std::size_t i = 0; i < kept_.size(); ++i) {
    if (i == 0 || kept_[i].order != kept_[i - 1].order) points_.push_back(kept_[i].point);
  }
  anyKept_ = false;
}

void LineSampler::Finish() {
  FlushColumn();
}

std::vector<long long> EvenlyChosen(long long count, long long most) {
  std::vector<long long> chosen;
  if (count <= most || most < 2) {
    for (long long i = 0; i < std::min(count, std::max(most, 1LL)); ++i) chosen.push_back(i);
    return chosen;
  }
  for (long long t = 0; t < most; ++t) {
    chosen.push_back((t * (count - 1) + (most - 1) / 2) / (most - 1));
  }
  return chosen;
}

QString PlotNumber(double value, const NumberSymbols& symbols) {
  std::string text = FormatByPattern(value, kInputPattern, symbols);
  const std::string& point = symbols.decimal;
  if (text.size() >= point.size() &&
      text.compare(text.size() - point.size(), point.size(), point) == 0)
    text.resize(text.size() - point.size());
  return QString::fromStdString(text);
}

namespace {

constexpr int kWidth = kPlotColumns;
constexpr int kHeight = 600;              // a plot of one panel
constexpr int kStackedPanelHeight = 400;  // each panel of a stack

// ---------------------------------------------------------------- scales

struct Tick {
  double at;
  QString label;
};

// An axis's range and its labelled ticks, in plot coordinates.
struct Scale {
  double low = 0;
  double high = 1;
  std::vector<Tick> ticks;
};

// One, two or five times a power of ten, about `target` steps across `span`.
double NiceStep(double span, int target) {
  const double raw = span / target;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  const double f = raw / power;
  return (f < 1.5 ? 1 : f < 3.5 ? 2 : f < 7.5 ? 5 : 10) * power;
}

// Decimals that a multiple of `step` needs: none for whole steps, so no
// label carries a spurious ".0".
int StepDecimals(double step) {
  return std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
}

QString TickText(double value, int decimals, const NumberSymbols& symbols) {
  const DisplayPattern pattern{decimals, decimals, decimals > 0, true};  // "#,##0.00..."
  return QString::fromStdString(FormatByPattern(value, pattern, symbols));
}

void AddTicks(Scale& scale, double step, const NumberSymbols& symbols) {
  const int decimals = StepDecimals(step);
  const double first = std::ceil(scale.low / step - 1e-9);
  for (int k = 0; k < 100 && (first + k) * step <= scale.high + step * 1e-9; ++k) {
    const double value = (first + k) * step;
    scale.ticks.push_back({value, TickText(value, decimals, symbols)});
  }
}

// Values from low to high; padded scales leave room around the data and end
// on ticks.
Scale LinearScale(double low, double high, bool pad, const NumberSymbols& symbols, int ticks = 6) {
  if (!(low <= high)) {  // no data
    low = 0;
    high = 1;
  } else if (high == low) {
    const double margin = std::max(1.0, std::fabs(low) * 0.05);
    low -= margin;
    high += margin;
  } else if (pad) {
    // Room around the data, but no axis below zero for data that is not.
    const double margin = (high - low) * 0.05;
    low = low >= 0 ? std::max(0.0, low - margin) : low - margin;
    high = high <= 0 ? std::min(0.0, high + margin) : high + margin;
  }
  const double step = NiceStep(high - low, ticks);
  if (pad && std::isfinite(step)) {
    low = std::floor(low / step) * step;
    high = std::ceil(high / step) * step;
  }
  Scale scale{low, high, {}};
  if (std::isfinite(step) && step > 0) AddTicks(scale, step, symbols);
  return scale;
}

// Positive values from low to high on a logarithmic axis, in plot
// coordinates log10(value): ticks at the decades, with 2 and 5 between them
// over a short range, and at even steps of the values within one decade.
Scale LogScale(double low, double high, const NumberSymbols& symbols) {
  Scale scale{std::log10(low), std::log10(high), {}};
  if (low == high) {
    scale.low -= 0.5;
    scale.high += 0.5;
  }
  if (scale.high - scale.low < 1) {
    for (const Tick& tick : LinearScale(low, high, false, symbols).ticks) {
      if (tick.at > 0) scale.ticks.push_back({std::log10(tick.at), tick.label});
    }
    return scale;
  }
  const bool between = scale.high - scale.low < 3;
  for (double k = std::floor(scale.low); k <= scale.high; ++k) {
    for (double m : {1.0, 2.0, 5.0}) {
      const double at = std::log10(m * std::pow(10.0, k));
      if ((m == 1.0 || between) && at >= scale.low - 1e-12 && at <= scale.high + 1e-12) {
        const int decimals = std::max(0, static_cast<int>(-k));
        scale.ticks.push_back({at, TickText(m * std::pow(10.0, k), decimals, symbols)});
      }
    }
  }
  return scale;
}

// An axis labelled at its ticks with the texts of its scale. The scale has
// the most ticks, up to about six, whose labels keep apart along the axis's
// `length` pixels, each with most of its own extent free on either side (Qt
// Charts shortens a label that has less room).
struct Axis {
  QCategoryAxis* axis;
  Scale scale;
};

Axis AxisOf(const std::function<Scale(int ticks)>& scaleFor, double length, bool horizontal,
            const QString& title) {
  auto* axis = new QCategoryAxis;
  axis->setTitleText(title);
  const QFontMetricsF metrics(axis->labelsFont());
  Scale scale;
  for (int ticks = 6; ticks >= 2; --ticks) {
    scale = scaleFor(ticks);
    double extent = metrics.height();
    for (const Tick& tick : scale.ticks) {
      if (horizontal) extent = std::max(extent, metrics.horizontalAdvance(tick.label));
    }
    const double gaps = static_cast<double>(std::max<std::size_t>(scale.ticks.size(), 2) - 1);
    if (length / gaps >= 1.8 * extent + 4) break;
  }
  axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  // A category must end above the start value, so the start lies just below
  // a tick at the axis's low end.
  axis->setStartValue(scale.low - (scale.high - scale.low) * 1e-9);
  for (const Tick& tick : scale.ticks) axis->append(tick.label, tick.at);
  axis->setRange(scale.low, scale.high);
  return {axis, scale};
}

// ---------------------------------------------------------------- data

bool HasValue(const QPointF& p) {
  return !std::isnan(p.y());
}

struct Extent {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  void Take(double v) {
    low = std::min(low, v);
    high = std::max(high, v);
  }
};

// A stretch of x without values, from the last point with a value before it
// (or its own first point) to the first point with a value after it (or its
// own last point).
struct Stretch {
  double low;
  double high;
};

std::vector<Stretch> StretchesOf(const std::vector<QPointF>& points,
                                 std::vector<QPointF>* bounds = nullptr) {
  std::vector<Stretch> stretches;
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    if (HasValue(points[i])) continue;
    const QPointF& from = i > 0 ? points[i - 1] : points[i];
    const QPointF& to = i + 2 < points.size() ? points[i + 2] : points[i + 1];
    stretches.push_back({std::min(from.x(), to.x()), std::max(from.x(), to.x())});
    if (bounds && HasValue(from)) bounds->push_back(from);
    if (bounds && HasValue(to)) bounds->push_back(to);
    ++i;
  }
  return stretches;
}

// Overlapping stretches joined, in ascending x.
std::vector<Stretch> Joined(std::vector<Stretch> stretches) {
  std::sort(stretches.begin(), stretches.end(),
            [](const Stretch& a, const Stretch& b) { return a.low < b.low; });
  std::vector<Stretch> joined;
  for (const Stretch& s : stretches) {
    if (!joined.empty() && s.low <= joined.back().high) {
      joined.back().high = std::max(joined.back().high, s.high);
    } else {
      joined.push_back(s);
    }
  }
  return joined;
}

// The x that every one of the sets of joined stretches leaves without values.
std::vector<Stretch> Common(const std::vector<std::vector<Stretch>>& sets) {
  if (sets.empty()) return {};
  std::vector<Stretch> common = sets.front();
  for (const std::vector<Stretch>& set : sets) {
    std::vector<Stretch> both;
    for (std::size_t i = 0, j = 0; i < common.size() && j < set.size();) {
      const double low = std::max(common[i].low, set[j].low);
      const double high = std::min(common[i].high, set[j].high);
      if (low < high) both.push_back({low, high});
      ++(common[i].high < set[j].high ? i : j);
    }
    common = both;
  }
  return common;
}

bool Same(const std::vector<Stretch>& a, const std::vector<Stretch>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Stretch& s, const Stretch& t) {
    return s.low == t.low && s.high == t.high;
  });
}

// The legend's words for the shaded stretches: "runs end with a message
// above w = 600,000 lb/hr".
QString StretchWords(const std::vector<Stretch>& stretches, const Extent& x, const PlotContent& c) {
  if (stretches.size() > 3) {
    return c.gapWords + QString(" in %1 shaded ranges of %2").arg(stretches.size()).arg(c.xName);
  }
  const QString unit = c.xUnit.isEmpty() || c.xUnit == "-" ? QString() : " " + c.xUnit;
  const auto number = [&](double v) { return PlotNumber(v, c.symbols); };
  QStringList parts;
  for (const Stretch& s : stretches) {
    const bool left = s.low <= x.low, right = s.high >= x.high;
    if (left && right) {
      parts << "at every " + c.xName;
    } else if (right) {
      parts << "above " + c.xName + " = " + number(s.low) + unit;
    } else if (left) {
      parts << "below " + c.xName + " = " + number(s.high) + unit;
    } else {
      parts << "between " + c.xName + " = " + number(s.low) + " and " + number(s.high) + unit;
    }
  }
  return c.gapWords + " " + parts.join(" and ");
}

// ---------------------------------------------------------------- drawing

// Ten colours that stay apart on white (the category palette of common
// plotting tools) and ten dash patterns in pen widths. The n-th line of a
// panel takes colour n mod 10 and dashes (n + n / 10) mod 10, so that any ten
// lines differ in both, in print without colour too, and a hundred differ in
// one at least.
constexpr QRgb kColours[] = {0x1f77b4, 0xff7f0e, 0x2ca02c, 0xd62728, 0x9467bd,
                             0x8c564b, 0xe377c2, 0x7f7f7f, 0xbcbd22, 0x17becf};
const QList<qreal> kDashes[] = {{},
                                {6, 3},
                                {1, 2},
                                {6, 2, 1, 2},
                                {12, 4},
                                {3, 3},
                                {6, 2, 1, 2, 1, 2},
                                {12, 3, 3, 3},
                                {1, 5},
                                {12, 3, 1, 3, 1, 3}};

QPen LinePen(std::size_t ordinal) {
  QPen pen(QColor(kColours[ordinal % 10]));
  pen.setWidthF(2);
  const QList<qreal>& dashes = kDashes[(ordinal + ordinal / 10) % 10];
  if (!dashes.isEmpty()) {
    pen.setCapStyle(Qt::FlatCap);
    pen.setDashPattern(dashes);
  }
  return pen;
}

void HideFromLegend(QChart& chart, QAbstractSeries* series) {
  for (QLegendMarker* marker : chart.legend()->markers(series)) marker->setVisible(false);
}

// What every panel shares: the content, the data's x extent and the height.
struct Frame {
  const PlotContent& content;
  Extent x;
  double panelHeight;
  double ToPlot(double v) const { return content.logX ? std::log10(v) : v; }
};

// Pixels around a panel's plot area, for the layout Qt Charts will make:
// the axes' labels and titles beside it, the title, the x axis and a legend
// below it, or a legend of long entries beside it.
constexpr double kBesideAxes = 100;
constexpr double kBesideSecondAxis = 55;
constexpr double kBesideLegend = 370;
constexpr double kAboveAndBelow = 170;

class PanelFill {
 public:
  PanelFill(QChart& chart, const Frame& frame, std::size_t panel)
      : chart_(chart), frame_(frame), panel_(panel) {}

  void Fill() {
    const std::vector<const PlotSeries*> lines = Series();
    Extent left, right;
    std::vector<std::vector<Stretch>> stretches;
    for (const PlotSeries* s : lines) {
      for (const QPointF& p : s->points) {
        if (HasValue(p)) (s->secondAxis ? right : left).Take(p.y());
      }
      stretches.push_back(Joined(StretchesOf(s->points)));
    }
    // Where every line stops, the panel is shaded; where the lines stop at
    // different points, the rings next to their stretches say it.
    const std::vector<Stretch> common = Common(stretches);
    const bool nameMarks =
        std::any_of(stretches.begin(), stretches.end(),
                    [&](const std::vector<Stretch>& line) { return !Same(line, common); });
    // A long legend goes beside the plot, where its entries have room.
    const std::size_t entries = lines.size() + (common.empty() ? 0 : 1) + (nameMarks ? 1 : 0);
    const bool legendBeside = entries > 6;
    const bool second =
        std::any_of(lines.begin(), lines.end(), [](const PlotSeries* s) { return s->secondAxis; });
    AddAxes(left, second ? &right : nullptr, legendBeside);
    std::size_t ordinal = 0;
    for (const PlotSeries* s : lines) AddLine(*s, ordinal++);
    Shade(common);
    if (nameMarks) NameMarks();
    chart_.legend()->setAlignment(legendBeside ? Qt::AlignRight : Qt::AlignBottom);
    chart_.legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
  }

 private:
  std::vector<const PlotSeries*> Series() const {
    std::vector<const PlotSeries*> series;
    for (const PlotSeries& s : frame_.content.series) {
      if (s.panel == panel_) series.push_back(&s);
    }
    return series;
  }

  // The x axis, the left axis and, for lines on the right, the right axis.
  void AddAxes(const Extent& left, const Extent* right, bool legendBeside) {
    const PlotContent& c = frame_.content;
    const PlotPanel& panel = c.panels[panel_];
    const double width =
        kWidth - kBesideAxes - (right ? kBesideSecondAxis : 0) - (legendBeside ? kBesideLegend : 0);
    const double height = frame_.panelHeight - kAboveAndBelow + (legendBeside ? 40 : 0);
    const Extent& x = frame_.x;
    const bool log = c.logX && x.low <= x.high;
    x_ = Add(AxisOf(
                 [&](int ticks) {
                   return log ? LogScale(x.low, x.high, c.symbols)
                              : LinearScale(x.low, x.high, false, c.symbols, ticks);
                 },
                 width, true, c.xTitle),
             Qt::AlignBottom);
    const auto yScale = [&](const Extent& y) {
      return [&c, y](int ticks) { return LinearScale(y.low, y.high, true, c.symbols, ticks); };
    };
    const Axis y = AxisOf(yScale(left), height, false, panel.yTitle);
    y_ = Add(y, Qt::AlignLeft);
    yScale_ = y.scale;
    if (right) {
      y2_ = Add(AxisOf(yScale(*right), height, false, panel.secondYTitle), Qt::AlignRight);
      y2_->setGridLineVisible(false);
    }
  }

  QCategoryAxis* Add(const Axis& axis, Qt::Alignment where) {
    chart_.addAxis(axis.axis, where);
    return axis.axis;
  }

  void Attach(QAbstractSeries* series, bool secondAxis) {
    chart_.addSeries(series);
    series->attachAxis(x_);
    series->attachAxis(secondAxis ? y2_ : y_);
  }

  // Stretches without values shaded over the panel's height, named once in
  // the legend.
  void Shade(const std::vector<Stretch>& stretches) {
    const Scale& y = yScale_;
    for (const Stretch& s : stretches) {
      auto* area = new QAreaSeries;
      auto* upper = new QLineSeries(area);
      auto* lower = new QLineSeries(area);
      for (double v : {s.low, s.high}) {
        upper->append(frame_.ToPlot(v), y.high);
        lower->append(frame_.ToPlot(v), y.low);
      }
      area->setUpperSeries(upper);
      area->setLowerSeries(lower);
      area->setPen(Qt::NoPen);
      area->setBrush(QColor(0, 0, 0, 36));
      Attach(area, false);
      if (&s == &stretches.front()) {
        area->setName(StretchWords(stretches, frame_.x, frame_.content));
        // The legend shows the shade as it looks over the white plot.
        for (QLegendMarker* marker : chart_.legend()->markers(area)) {
          marker->setShape(QLegend::MarkerShapeRectangle);
          marker->setBrush(QColor(0xdb, 0xdb, 0xdb));
          marker->setPen(QPen(QColor(0xdb, 0xdb, 0xdb)));
        }
      } else {
        HideFromLegend(chart_, area);
      }
    }
  }

  // A legend entry for the rings, drawn as they are.
  void NameMarks() {
    QScatterSeries* marks = Marks(QPen(Qt::darkGray, 2));
    marks->setName(frame_.content.markWords);
    Attach(marks, false);
  }

  // Rings, or dots where filled.
  static QScatterSeries* Marks(const QPen& pen, QColor fill = Qt::white) {
    auto* marks = new QScatterSeries;
    marks->setMarkerSize(9);
    marks->setColor(fill);
    marks->setPen(pen);
    return marks;
  }

  // The line in one piece per stretch with values, its name in the legend
  // once; a piece of one point as a dot, and the points next to a stretch
  // without values ringed.
  void AddLine(const PlotSeries& data, std::size_t ordinal) {
    const QPen pen = LinePen(ordinal);
    QLineSeries* piece = nullptr;
    bool named = false;
    std::vector<QPointF> dots;
    const auto end = [&] {
      if (piece && piece->count() == 1) dots.push_back(piece->at(0));
      piece = nullptr;
    };
    for (const QPointF& p : data.points) {
      if (!HasValue(p)) {
        end();
        continue;
      }
      if (!piece) {
        piece = NewPiece(pen, data, named);
        named = true;
      }
      piece->append(frame_.ToPlot(p.x()), p.y());
    }
    end();
    if (!named) NewPiece(pen, data, false);  // a line without values keeps its legend entry
    if (!dots.empty()) Mark(Marks(QPen(pen.color(), 2), pen.color()), dots, data.secondAxis);
    std::vector<QPointF> bounds;
    StretchesOf(data.points, &bounds);
    for (QPointF& p : bounds) p.setX(frame_.ToPlot(p.x()));
    if (!bounds.empty()) Mark(Marks(QPen(pen.color(), 2)), bounds, data.secondAxis);
  }

  QLineSeries* NewPiece(const QPen& pen, const PlotSeries& data, bool named) {
    auto* piece = new QLineSeries;
    piece->setPen(pen);
    Attach(piece, data.secondAxis);
    if (named) HideFromLegend(chart_, piece);
    piece->setName(data.name);
    return piece;
  }

  // Points in plot coordinates, outside the legend.
  void Mark(QScatterSeries* marks, const std::vector<QPointF>& points, bool secondAxis) {
    for (const QPointF& p : points) marks->append(p);
    Attach(marks, secondAxis);
    HideFromLegend(chart_, marks);
  }

  QChart& chart_;
  const Frame& frame_;
  std::size_t panel_;
  QCategoryAxis* x_ = nullptr;
  QCategoryAxis* y_ = nullptr;
  QCategoryAxis* y2_ = nullptr;
  Scale yScale_;
};

int Height(const PlotContent& content) {
  return content.panels.size() > 1 ? kStackedPanelHeight * static_cast<int>(content.panels.size())
                                   : kHeight;
}

// Renders the panels, one chart each, into `painter`'s device of the plot's
// size.
void Render(const PlotContent& content, QPainter& painter) {
  QGraphicsScene scene;
  const qreal panelHeight = static_cast<qreal>(Height(content)) / content.panels.size();
  Frame frame{content, {}, panelHeight};
  for (const PlotSeries& s : content.series) {
    for (const QPointF& p : s.points) frame.x.Take(p.x());
  }
  for (std::size_t p = 0; p < content.panels.size(); ++p) {
    auto* chart = new QChart;
    scene.addItem(chart);
    chart->setGeometry(0, panelHeight * p, kWidth, panelHeight);
    chart->setAnimationOptions(QChart::NoAnimation);
    if (p == 0) {
      QFont font = chart->titleFont();
      font.setPointSizeF(font.pointSizeF() * 1.3);
      font.setBold(true);
      chart->setTitleFont(font);
      chart->setTitle(content.title);
    }
    PanelFill(*chart, frame, p).Fill();
  }
  // Axes, labels and legend are laid out by posted events.
  QCoreApplication::processEvents();
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF all(0, 0, kWidth, Height(content));
  scene.render(&painter, all, all);
}

bool IsSvg(const std::string& path) {
  return HasExtension(path, ".svg");
}

QByteArray SvgBytes(const PlotContent& content) {
  QBuffer buffer;
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(kWidth, Height(content)));
  svg.setViewBox(QRect(0, 0, kWidth, Height(content)));
  svg.setTitle(content.title);
  QPainter painter(&svg);
  Render(content, painter);
  painter.end();
  return buffer.data();
}

QByteArray PngBytes(const PlotContent& content) {
  QImage image(kWidth, Height(content), QImage::Format_ARGB32_Premultiplied);
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
