// Plots of sweeps and profiles, drawn with Qt Charts on the offscreen
// platform and written as SVG or PNG by the file's extension.
#pragma once

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <optional>
#include <string>
#include <vector>

struct PlotSeries {
  QString name;
  std::vector<QPointF> points;  // points with a NaN coordinate are left out
  bool secondAxis = false;      // drawn against the right-hand axis
};

struct PlotContent {
  QString title;
  QString xTitle;
  QString yTitle;
  QString secondYTitle;
  bool logX = false;
  std::vector<PlotSeries> series;
};

// True for a path ending in .svg or .png (any letter case).
bool IsPlotPath(const std::string& path);

// The plot as the file at `path` holds it, SVG or PNG by its extension;
// nothing when it cannot be drawn.
std::optional<QByteArray> DrawPlot(const PlotContent& content, const std::string& path);
