#pragma once

#include <cmath>

// Window geometry is designed in twips, 1/1440 inch: 15 twips make one pixel
// at 96 dots per inch, and the screen's logical DPI scales that. Sums stay in
// twips and only the final value is rounded, so rounding errors never add up.

inline constexpr double TwipsPerInch = 1440.0;

// The nearest whole pixel to a length in twips on a screen of that logical DPI.
inline int TwipsToPixels(double twips, double logicalDpi)
{
    return static_cast<int>(std::lround(twips * logicalDpi / TwipsPerInch));
}

// A length measured in pixels, in twips; not rounded.
inline double PixelsToTwips(double pixels, double logicalDpi)
{
    return pixels * TwipsPerInch / logicalDpi;
}
