// The window fonts and their substitutes. The layout asks for "MS Sans Serif"
// and "Arial"; Linux machines rarely have them, so metric-compatible faces are
// registered in their place, ending in the system sans-serif.
#pragma once

#include <QFont>

// Call once after the QApplication exists, before any window is built.
void RegisterFontSubstitutes();

// A sans-serif font of the given family, point size and weight.
QFont UiFont(const QString& family, double points, bool bold = false);

// "MS Sans Serif" 8.25 pt: labels, boxes and buttons of the main window.
QFont DefaultUiFont(bool bold = false);
