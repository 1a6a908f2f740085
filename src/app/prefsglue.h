#pragma once

#include <QObject>
#include <QTimer>

class Window1;

namespace GlobalsModule {

// Empties the main window's list and refills it, with the window's place and the column widths,
// from the preferences file. Once per run, at start-up.
void loadPrefs();

// Writes the main window's place, column widths and rows to the preferences file. Does nothing
// while the main window is not open, or before loadPrefs has run: a list that was never loaded
// must not replace the one on disk. A save that fails tells the user why, once for each kind of
// failure until a save succeeds again.
void savePrefs();

// The save of a run that ends without its window closing (the display is gone): the rows as the
// list's model holds them with a name being typed, running ones stopped now, with the window's
// place and column widths as last seen. Asks nothing of the screen: widgets are only read. When
// the file cannot be saved, the list goes to an unsaved copy.
// Does nothing once the save at the window's closing is done.
void saveAtLastChance();

} // namespace GlobalsModule

// The saves that follow the main window: when it closes (after its running rows were stopped),
// and after every change to the list, at most once per turn of the event loop, so that a crash
// costs nothing already done. (The application saves too, whenever it stops being the active
// one.) When the save at closing fails, the user is asked what to do, unless nobody is there to
// answer (quittingUnattended()): the list then goes to an unsaved copy.
class PrefsSaving : public QObject
{
    Q_OBJECT
public:
    explicit PrefsSaving(Window1 *window, QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void saveAtClose();

    Window1 *m_window;
    QTimer m_changeSave;
};
