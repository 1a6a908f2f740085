#pragma once

#include <vector>

// A rectangle in screen pixels: its left and top edges, its width and height.
struct ScreenRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const ScreenRect &) const = default;
};

// A window counts as on screen while a part of it this large (all of it, on a side shorter than
// that) lies on one screen's available area: enough to grab it and drag it in.
constexpr int visiblePartWidth = 100;
constexpr int visiblePartHeight = 50;

// Where a window saved at place is shown, given the screens' available areas: at place when it is
// on screen; otherwise moved onto the screen nearest to it (the one whose area lies closest to
// the window's centre; the earlier one on a tie) and shrunk to fit that screen. With no screen
// known, at place.
[[nodiscard]] ScreenRect placeOnScreen(
    const ScreenRect &place, const std::vector<ScreenRect> &screens);
