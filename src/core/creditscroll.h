#pragma once

#include <cstdint>

// Where the credits strip draws its line. The text enters at the right edge and moves left one
// pixel per tick; once its right end has passed the left edge it starts again at the right, so
// a pass takes width + text width ticks and never shows two copies of the text.
struct CreditScroll
{
    // The strip's width, in pixels.
    std::int32_t width = 0;
    // Where the next tick draws the text's left end.
    std::int32_t x = 0;

    // One tick for a text textWidth pixels wide: returns where this tick draws it, and moves on.
    std::int32_t advance(std::int32_t textWidth)
    {
        const std::int32_t drawnAt = x;
        --x;
        // Met exactly at 0 while the text keeps its width; "below" only catches a text that
        // became narrower during a pass, which would otherwise run x down for ever.
        if (std::int64_t { x } + textWidth <= 0)
            x = width;
        return drawnAt;
    }
};
