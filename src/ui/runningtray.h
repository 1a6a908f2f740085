#pragma once

#include "runningsummary.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class StatusIcon;
class Window1;

// Keeps the status icon in step with the main window's rows, and turns its menu's commands into
// the window's own operations. While any row runs it wakes on each turn of the minute to move
// the times on; otherwise it wakes only when the rows change.
class RunningTray : public QObject
{
    Q_OBJECT
public:
    // Made only where StatusIcon::available().
    explicit RunningTray(Window1 *window, QObject *parent = nullptr);

signals:
    // The icon was clicked, or Show Tally Fox chosen.
    void showRequested();

private:
    void rowsChanged();
    void refresh();
    void entryChosen(int index);

    QPointer<Window1> m_window;
    StatusIcon *m_icon;
    QTimer m_minute;
    RunningSummary m_summary;
    bool m_refreshPending = false;
};
