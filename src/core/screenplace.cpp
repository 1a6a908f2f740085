#include "screenplace.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Edges in 64 bits: a place from a file may lie anywhere an int reaches, and its right edge
// beyond that.
struct Span
{
    std::int64_t begin;
    std::int64_t end;
};

Span horizontal(const ScreenRect &rect)
{
    return { rect.left, std::int64_t { rect.left } + std::max(rect.width, 0) };
}

Span vertical(const ScreenRect &rect)
{
    return { rect.top, std::int64_t { rect.top } + std::max(rect.height, 0) };
}

std::int64_t overlap(Span a, Span b)
{
    return std::max<std::int64_t>(0, std::min(a.end, b.end) - std::max(a.begin, b.begin));
}

// How far a point is from a span: 0 inside it.
double gap(double point, Span span)
{
    if (point < double(span.begin))
        return double(span.begin) - point;
    if (point > double(span.end))
        return point - double(span.end);
    return 0;
}

bool showsEnough(const ScreenRect &place, const ScreenRect &screen)
{
    const std::int64_t width = std::clamp(place.width, 1, visiblePartWidth);
    const std::int64_t height = std::clamp(place.height, 1, visiblePartHeight);
    return overlap(horizontal(place), horizontal(screen)) >= width
        && overlap(vertical(place), vertical(screen)) >= height;
}

// The start that puts a length inside a span, moving it as little as possible.
int within(int start, int length, Span span)
{
    return int(
        std::clamp<std::int64_t>(start, span.begin, std::max(span.begin, span.end - length)));
}

} // namespace

ScreenRect placeOnScreen(const ScreenRect &place, const std::vector<ScreenRect> &screens)
{
    if (screens.empty()
        || std::any_of(screens.begin(), screens.end(),
            [&place](const ScreenRect &screen) { return showsEnough(place, screen); }))
        return place;
    const double centreX = double(place.left) + place.width / 2.0;
    const double centreY = double(place.top) + place.height / 2.0;
    const auto distance = [centreX, centreY](const ScreenRect &screen) {
        return std::hypot(gap(centreX, horizontal(screen)), gap(centreY, vertical(screen)));
    };
    const ScreenRect &screen = *std::min_element(
        screens.begin(), screens.end(), [&distance](const ScreenRect &a, const ScreenRect &b) {
            return distance(a) < distance(b);
        });
    ScreenRect moved;
    moved.width = std::clamp(place.width, 0, std::max(screen.width, 0));
    moved.height = std::clamp(place.height, 0, std::max(screen.height, 0));
    moved.left = within(place.left, moved.width, horizontal(screen));
    moved.top = within(place.top, moved.height, vertical(screen));
    return moved;
}
