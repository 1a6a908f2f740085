#include "contrast.h"

#include <algorithm>
#include <cmath>

namespace {

// A channel's share of the light it gives, undoing the screen's gamma curve.
double linearChannel(int value)
{
    const double srgb = std::clamp(value, 0, 255) / 255.0;
    return srgb <= 0.04045 ? srgb / 12.92 : std::pow((srgb + 0.055) / 1.055, 2.4);
}

constexpr Rgb black { 0, 0, 0 };
constexpr Rgb white { 255, 255, 255 };

} // namespace

double relativeLuminance(Rgb colour)
{
    return 0.2126 * linearChannel(colour.red) + 0.7152 * linearChannel(colour.green)
        + 0.0722 * linearChannel(colour.blue);
}

double contrastRatio(Rgb first, Rgb second)
{
    const double one = relativeLuminance(first);
    const double other = relativeLuminance(second);
    return (std::max(one, other) + 0.05) / (std::min(one, other) + 0.05);
}

Rgb readableTextColour(Rgb preferred, Rgb background)
{
    if (contrastRatio(preferred, background) >= readableContrast)
        return preferred;
    return contrastRatio(black, background) >= contrastRatio(white, background) ? black : white;
}
