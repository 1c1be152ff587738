#pragma once
// Where a colour stands in a painted image, for the tests that check where a row draws what.
#include <QColor>
#include <QImage>
#include <cstdlib>
#include <utility>

namespace kelvane::testing {

// The first and last column of image holding a pixel close to colour c; -1, -1 when none does.
inline std::pair<int, int> columnsOf(const QImage& image, QColor c) {
  int first = -1, last = -1;
  for (int x = 0; x < image.width(); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      const QColor p = image.pixelColor(x, y);
      if (std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) + std::abs(p.blue() - c.blue()) < 60) {
        if (first < 0) first = x;
        last = x;
        break;
      }
    }
  }
  return {first, last};
}

}  // namespace kelvane::testing
