#pragma once

// The window's sizes are given in pixels at the font they were laid out for (a 9-point sans
// serif at 96 DPI, whose text is 14 pixels high) and grow and shrink with the font in use, so
// that a large font, or a screen that scales its fonts, gets room in proportion and no text
// is cut.

#include <QFontMetrics>

namespace lintervale {

inline constexpr int kLayoutTextHeight = 14;

// Pixels, given at the layout's font, at the font of Metrics (rounded, never below 1).
inline int FontScaled(int Pixels, const QFontMetrics& Metrics) {
    const int scaled = (Pixels * Metrics.height() + kLayoutTextHeight / 2) / kLayoutTextHeight;
    return scaled > 0 ? scaled : 1;
}

} // namespace lintervale
