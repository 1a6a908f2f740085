#pragma once

// A colour as three 8-bit channels, red, green and blue, in the sRGB space of a screen.
struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;

    friend bool operator==(const Rgb &, const Rgb &) = default;
};

// The relative luminance of a colour, from 0 for black to 1 for white, as WCAG defines it.
[[nodiscard]] double relativeLuminance(Rgb colour);

// How far apart two colours are for the eye: 1 for the same luminance, 21 for black on white.
// The order of the two does not matter.
[[nodiscard]] double contrastRatio(Rgb first, Rgb second);

// The least contrast at which body text stays readable (WCAG AA).
inline constexpr double readableContrast = 4.5;

// The colour to write with on background: preferred when it contrasts enough, otherwise black or
// white, whichever stands out more.
[[nodiscard]] Rgb readableTextColour(Rgb preferred, Rgb background);
