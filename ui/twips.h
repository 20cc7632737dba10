// Window geometry is laid out in twips (1/1440 inch). At the reference 96
// dots per inch one logical pixel is 15 twips; Qt scales logical pixels on
// high-density screens itself, so the layout stays proportional everywhere.
#pragma once

#include <QRect>

inline constexpr int kTwipsPerPixel = 15;

// Nearest logical pixel; a few sizes (1300 twips, for one) are not whole pixels.
constexpr int Px(int twips) {
  return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

inline QRect TwipRect(int left, int top, int width, int height) {
  return QRect(Px(left), Px(top), Px(width), Px(height));
}
