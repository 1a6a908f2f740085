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
// must not replace the one on disk.
void savePrefs();

} // namespace GlobalsModule

// The saves that follow the main window: when it closes (after its running rows were stopped),
// and after every change to the list, at most once per turn of the event loop, so that a crash
// costs nothing already done. (The application saves too, whenever it stops being the active
// one.)
class PrefsSaving : public QObject
{
    Q_OBJECT
public:
    explicit PrefsSaving(Window1 *window, QObject *parent = nullptr);

private:
    QTimer m_changeSave;
};
