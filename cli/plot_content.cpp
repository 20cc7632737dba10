#include "cli/plot_content.h"

#include <algorithm>
#include <cmath>

namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const StationColumn& ColumnOf(std::string_view key) {
  const std::vector<StationColumn>& columns = StationColumns();
  return *std::find_if(columns.begin(), columns.end(),
                       [&](const StationColumn& c) { return c.key == key; });
}

PlotSeries StationSeries(const std::vector<Row>& stations, const StationColumn& column,
                         bool secondAxis) {
  PlotSeries series{column.title, {}, secondAxis};
  for (const Row& row : stations) {
    series.points.emplace_back(CellOf(row, "x").value.value_or(std::nan("")),
                               CellOf(row, column.key).value.value_or(std::nan("")));
  }
  return series;
}

}  // namespace

// x is the first varied input; a grid gives one series per key and value of
// the second.
PlotContent SweepPlot(const Options& o, const SweepTotals& totals) {
  PlotContent plot;
  const SweepAxis& x = o.axes.front();
  plot.title = "Korvo Flow case study";
  plot.xTitle = Q(Caption(x.field));
  plot.logX = x.log;
  const long long inner = o.axes.size() == 2 ? o.axes[1].count : 1;
  for (long long j = 0; j < inner; ++j) {
    for (std::size_t k = 0; k < o.plotKeys.size(); ++k) {
      PlotSeries series;
      series.name = Q(Key(o.plotKeys[k]));
      if (inner > 1) {
        series.name += QString(" (%1 = %2)")
                           .arg(Q(Key(o.axes[1].field)))
                           .arg(Q(FormatByPattern(o.axes[1].At(j), kInputPattern, o.symbols)));
      }
      for (long long i = 0; i < x.count; ++i) {
        const auto point = static_cast<std::size_t>(i * inner + j);
        series.points.emplace_back(x.At(i), totals.plotValues[point * o.plotKeys.size() + k]);
      }
      plot.series.push_back(std::move(series));
    }
  }
  if (o.plotKeys.size() == 1) plot.yTitle = Q(Caption(o.plotKeys.front()));
  return plot;
}

// Pressure against the left axis and Mach number against the right one.
PlotContent ProfilePlot(const std::vector<Row>& stations) {
  const StationColumn& pressure = ColumnOf("p");
  const StationColumn& mach = ColumnOf("m");
  PlotContent plot;
  plot.title = "Korvo Flow pipe profile";
  plot.xTitle = "Length, ft";
  plot.yTitle = pressure.title;
  plot.secondYTitle = mach.title;
  plot.series = {StationSeries(stations, pressure, false), StationSeries(stations, mach, true)};
  return plot;
}

bool Plot(const PlotContent& content, const std::string& path) {
  const std::optional<QByteArray> bytes = DrawPlot(content, path);
  if (!bytes) {
    Diagnose(path, "the plot could not be drawn");
    return false;
  }
  return WriteOutputFile(path, std::string_view(bytes->constData(), bytes->size()));
}
