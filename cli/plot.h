// Plots of sweeps and profiles, drawn with Qt Charts on the offscreen
// platform and written as SVG or PNG by the file's extension.
#pragma once

#include <QPointF>
#include <QString>
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
bool IsPlotPath(const QString& path);

// Writes the plot whole or not at all; false with the reason in `error`.
bool WritePlot(const PlotContent& content, const QString& path, QString& error);
