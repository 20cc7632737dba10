#include "ui/fonts.h"

#include <QStringList>

void RegisterFontSubstitutes() {
  const QStringList substitutes{"Liberation Sans", "Arimo", "DejaVu Sans", "Sans Serif"};
  QFont::insertSubstitutions("MS Sans Serif", substitutes);
  QFont::insertSubstitutions("Arial", substitutes);
}

QFont UiFont(const QString& family, double points, bool bold) {
  QFont font(family);
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QFont DefaultUiFont(bool bold) {
  return UiFont("MS Sans Serif", 8.25, bold);
}
