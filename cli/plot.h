// Plots of sweeps and profiles, drawn with Qt Charts on the offscreen
// platform and written as SVG or PNG by the file's extension.
//
// A plot has one panel, with a left and optionally a right y axis, or
// several panels stacked one above the other, all over the same x range.
// Every tick label is written in the user's number symbols, grouped in
// thousands and with no more decimals than the tick step needs. Lines differ
// in colour and in dash pattern. Where points have no value (their runs ended
// with a message), the line stops and its points next to the stretch are
// ringed; where every line of a panel stops, the stretch is shaded and the
// legend says where it lies ("runs end with a message above w = 600,000
// lb/hr"), and where the lines stop at different points, the legend explains
// the rings.
#pragma once

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "numtext/numtext.h"

// Pixel columns across a plot, its width: no line needs more points than that
// to be drawn as it would be with all of them.
inline constexpr int kPlotColumns = 960;

// A line fed point by point in x order that keeps only what a plot can show,
// so that a plot's memory does not grow with its points: in each pixel column
// the first, lowest, highest and last of its points with a value, which draw
// the same line as all of them (a one-point spike survives). A stretch of
// points without a value is kept as two points with a NaN y, at the x of its
// first and last point; stretches whose values between lie in one column are
// one stretch. At most ten points per column, whatever the number fed, and
// constant time per point.
class LineSampler {
 public:
  // `at` places the point along the x axis, from 0 to 1, never less than at
  // the call before; a NaN y is a point without a value.
  void Add(double at, QPointF point);
  // Call once every point has been added, before Points().
  void Finish();
  const std::vector<QPointF>& Points() const { return points_; }

 private:
  struct Kept {
    long long order;
    QPointF point;
  };
  void AddValue(int column, QPointF point);
  void AddGap(int column, QPointF point);
  void FlushColumn();

  std::vector<QPointF> points_;
  long long added_ = 0;
  int column_ = -1;             // the column of the points kept below
  std::array<Kept, 4> kept_{};  // its first, lowest, highest and last point
  bool anyKept_ = false;
  bool inGap_ = false;
  int gapColumn_ = -1;        // the column where the last stretch without values ended
  std::size_t afterGap_ = 0;  // points_.size() when it ended
};

// Up to `most` indices of 0..count-1, evenly spread, the first and the last
// included; all of them where count <= most.
std::vector<long long> EvenlyChosen(long long count, long long most);

struct PlotSeries {
  QString name;
  // In x order; a NaN y belongs to a stretch without values (LineSampler).
  std::vector<QPointF> points;
  std::size_t panel = 0;
  bool secondAxis = false;  // drawn against the right-hand axis
};

struct PlotPanel {
  QString yTitle;
  QString secondYTitle;  // used once a series is on the right-hand axis
};

struct PlotContent {
  QString title;
  QString xTitle;
  QString xName;      // x in the legend of a shaded stretch: "above w = 600,000 lb/hr"
  QString xUnit;      // empty or "-" for a pure number
  QString gapWords;   // what a shaded stretch means: "runs end with a message"
  QString markWords;  // what a ring next to a stretch means, where no shade says it
  bool logX = false;
  NumberSymbols symbols;
  std::vector<PlotPanel> panels{1};
  std::vector<PlotSeries> series;
};

// A number as a plot's labels write it: as a typed input is rewritten (grouped,
// at most six decimals), without a bare decimal symbol at its end.
QString PlotNumber(double value, const NumberSymbols& symbols);

// True for a path ending in .svg or .png (any letter case).
bool IsPlotPath(const std::string& path);

// The plot as the file at `path` holds it, SVG or PNG by its extension;
// nothing when it cannot be drawn.
std::optional<QByteArray> DrawPlot(const PlotContent& content, const std::string& path);
