#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The application's own resource store, the file tallyfox.rcc: looked for beside the program,
// then in ../share/tallyfox/ from the program's folder (where an installed copy keeps it), then in
// a macOS bundle's Resources folder. Pictures and cursors in it are found by number.
namespace Resources {

// Registers the first store found. True when one was registered.
[[nodiscard]] bool openStore();
// Registers the store at path; false when it is missing or not a resource store.
[[nodiscard]] bool openStore(const QString &path);
void closeStore();

[[nodiscard]] bool hasPicture(int number);
[[nodiscard]] bool hasCursor(int number);

// The picture of that number, decoded once and kept for the rest of the run; null when the store
// has none. On a screen of more than one device pixel per pixel (devicePixelRatio) it is the
// store's double-density drawing when there is one, with that ratio set, so that it is drawn at
// the same size but sharp; never a picture scaled up.
[[nodiscard]] QPixmap picture(int number, qreal devicePixelRatio = 1.0);
// The cursor of that number, with the hot spot its image names; fallback when there is none. The
// density is chosen as for a picture.
[[nodiscard]] QCursor cursor(int number, Qt::CursorShape fallback, qreal devicePixelRatio = 1.0);

// The application icon at every size the store has, or, with running set, its variant marked as
// timing something.
[[nodiscard]] QIcon appIcon(bool running = false);

} // namespace Resources
