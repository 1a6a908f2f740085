#pragma once

#include <QFont>

// The small text face of the fixed layouts: the application's font at 10 pixels, which is what a
// 10-point font measures on a 72 dpi screen. The layouts were drawn for that size; at 10 points
// on a 96 dpi screen their texts would need more lines than their labels have room for.
[[nodiscard]] QFont smallFont(bool bold = false);

// The small face of the edit dialog's labels: smallFont beside the default 12-pixel system font,
// and as much larger as the user's font is, in the proportion the dialog was drawn with (10 to
// 12), so that a user who sets a large font can read them too. The about box keeps smallFont: its
// texts sit on artwork of a fixed size.
[[nodiscard]] QFont labelFont(bool bold = false);
