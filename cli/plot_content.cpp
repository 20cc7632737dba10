#include "cli/plot_content.h"

#include <algorithm>
#include <cmath>

#include "calc/field_names.h"
#include "cli/inputs.h"
#include "engineering/units.h"

namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const StationColumn& ColumnOf(std::string_view key) {
  const std::vector<StationColumn>& columns = StationColumns();
  return *std::find_if(columns.begin(), columns.end(),
                       [&](const StationColumn& c) { return c.key == key; });
}

// A column of the stations along the pipe, to x = `length`; where the
// profile stopped early, the rest of the pipe has no value.
// "Pressure, kPa(a)": a column's title with the unit its cells are in.
QString StationTitle(const StationColumn& column, UnitSystem units) {
  const std::string title = column.title;
  const std::size_t comma = title.rfind(", ");
  if (comma == std::string::npos) return Q(title);
  return Q(title.substr(0, comma + 2) + std::string(UnitText(column.exit, units)));
}

PlotSeries StationSeries(const std::vector<Row>& stations, const StationColumn& column,
                         double length, bool secondAxis, UnitSystem units) {
  LineSampler line;
  const auto at = [&](double x) { return length > 0 ? x / length : 0.0; };
  double reached = 0;
  for (const Row& row : stations) {
    reached = CellOf(row, "x").value.value_or(std::nan(""));
    line.Add(at(reached), {reached, CellOf(row, column.key).value.value_or(std::nan(""))});
  }
  if (stations.empty() || reached < length) {
    line.Add(at(reached), {reached, std::nan("")});
    line.Add(1.0, {length, std::nan("")});
  }
  line.Finish();
  return {StationTitle(column, units), line.Points(), 0, secondAxis};
}

// The fields of one unit on one axis: "Exit Pressure / Pressure, psia", the
// captions without their unit and the unit once, or the keys where the
// captions would make a title longer than `most` characters.
QString AxisTitle(const std::vector<FieldRef>& fields, std::string_view unit, std::size_t most,
                  UnitSystem units) {
  const std::string suffix = unit == "-" ? "" : ", " + std::string(unit);
  std::string captions, keys;
  for (const FieldRef& field : fields) {
    std::string caption(UnitCaptionOf(field, units));
    if (!suffix.empty() && caption.size() > suffix.size() &&
        caption.compare(caption.size() - suffix.size(), suffix.size(), suffix) == 0) {
      caption.resize(caption.size() - suffix.size());
    }
    captions += (captions.empty() ? "" : " / ") + caption;
    keys += (keys.empty() ? "" : " / ") + std::string(Key(field));
  }
  return Q((captions.size() + suffix.size() <= most ? captions : keys) + suffix);
}

// The plot keys by unit, in the order the units first appear.
std::vector<std::vector<FieldRef>> ByUnit(const std::vector<FieldRef>& keys, UnitSystem units) {
  std::vector<std::vector<FieldRef>> groups;
  for (const FieldRef& key : keys) {
    const auto same = std::find_if(groups.begin(), groups.end(), [&](const auto& g) {
      return UnitText(g.front(), units) == UnitText(key, units);
    });
    if (same == groups.end()) {
      groups.push_back({key});
    } else {
      same->push_back(key);
    }
  }
  return groups;
}

std::size_t GroupOf(const std::vector<std::vector<FieldRef>>& groups, FieldRef key,
                    UnitSystem units) {
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (UnitText(groups[g].front(), units) == UnitText(key, units)) return g;
  }
  return 0;
}

// A plotted field in the legend: its caption, which ends with its unit, or
// where another plotted field has the same caption, its distinct name.
QString LineName(FieldRef key, const std::vector<FieldRef>& keys, UnitSystem units) {
  const bool shared = std::any_of(keys.begin(), keys.end(), [&](const FieldRef& other) {
    return !(other == key) && Caption(other) == Caption(key);
  });
  const std::string caption(UnitCaptionOf(key, units));
  return Q(shared ? caption + " (" + std::string(GroupCaption(key.array)) + ")" : caption);
}

// "d = 8 in.": a value of the second input, for a grid's legend.
QString ValueName(const SweepAxis& axis, long long index, const NumberSymbols& symbols,
                  UnitSystem units) {
  const std::string_view unit = UnitText(axis.field, units);
  return Q(Key(axis.field)) + " = " + PlotNumber(axis.At(index), symbols) +
         (unit == "-" ? QString() : " " + Q(unit));
}

}  // namespace

// x is the first varied input. Fields of one unit share an axis; two units
// take the left and the right axis of one panel, more units a panel each. A
// grid gives one line per key and plotted value of the second input.
PlotContent SweepPlot(const Options& o, const SweepTotals& totals) {
  PlotContent plot;
  const SweepAxis& x = o.axes.front();
  plot.title = "Korvo Flow case study";
  const UnitSystem units = o.inputs.units;
  plot.xTitle = Q(UnitCaptionOf(x.field, units));
  plot.xName = Q(Key(x.field));
  plot.xUnit = Q(UnitText(x.field, units));
  plot.gapWords = "runs end with a message";
  plot.markWords = "complete point next to runs that end with a message";
  plot.logX = x.log;
  plot.symbols = o.symbols;
  const std::vector<std::vector<FieldRef>> groups = ByUnit(o.plotKeys, units);
  const bool stacked = groups.size() > 2;
  plot.panels.resize(stacked ? groups.size() : 1);
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const QString title =
        AxisTitle(groups[g], UnitText(groups[g].front(), units), stacked ? 36 : 64, units);
    PlotPanel& panel = plot.panels[stacked ? g : 0];
    (!stacked && g == 1 ? panel.secondYTitle : panel.yTitle) = title;
  }
  const bool grid = o.axes.size() == 2;
  if (grid && static_cast<long long>(totals.plottedValues.size()) < o.axes[1].count) {
    plot.title += QString(": %1 of %2 values of %3 shown")
                      .arg(totals.plottedValues.size())
                      .arg(PlotNumber(static_cast<double>(o.axes[1].count), o.symbols))
                      .arg(Q(Key(o.axes[1].field)));
  }
  std::size_t line = 0;
  for (long long value : totals.plottedValues) {
    for (const FieldRef& key : o.plotKeys) {
      // A grid of one field names its lines by the second input alone: the
      // axis names the field.
      PlotSeries series;
      const QString valueName = grid ? ValueName(o.axes[1], value, o.symbols, units) : QString();
      if (grid && o.plotKeys.size() == 1) {
        series.name = valueName;
      } else {
        series.name =
            LineName(key, o.plotKeys, units) + (grid ? " (" + valueName + ")" : QString());
      }
      series.points = totals.plotLines[line++].Points();
      const std::size_t group = GroupOf(groups, key, units);
      series.panel = stacked ? group : 0;
      series.secondAxis = !stacked && group == 1;
      plot.series.push_back(std::move(series));
    }
  }
  return plot;
}

// Pressure against the left axis and Mach number against the right one, over
// the whole pipe.
PlotContent ProfilePlot(const std::vector<Row>& stations, const RunRecord& run,
                        const NumberSymbols& symbols, UnitSystem units) {
  const StationColumn& pressure = ColumnOf("p");
  const StationColumn& mach = ColumnOf("m");
  const double feet = TextToNumber(Text(run, kLength), symbols).value_or(0.0);
  const double length = ToUnits(kLength, feet, units);  // the stations' x are in these units
  PlotContent plot;
  plot.title = "Korvo Flow pipe profile";
  plot.xTitle = Q("Length, " + std::string(UnitText(kLength, units)));
  plot.xName = "x";
  plot.xUnit = Q(UnitText(kLength, units));
  plot.gapWords = "stations left out";
  plot.markWords = "last station reached";
  plot.symbols = symbols;
  plot.panels = {{StationTitle(pressure, units), StationTitle(mach, units)}};
  plot.series = {StationSeries(stations, pressure, length, false, units),
                 StationSeries(stations, mach, length, true, units)};
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
