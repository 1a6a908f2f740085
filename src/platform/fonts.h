#pragma once

#include <QFont>

// The small text face of the fixed layouts: the application's font at 10 pixels, which is what a
// 10-point font measures on a 72 dpi screen. The layouts were drawn for that size; at 10 points
// on a 96 dpi screen their texts would need more lines than their labels have room for.
[[nodiscard]] QFont smallFont(bool bold = false);
