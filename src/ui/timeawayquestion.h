#pragma once

#include "idlereader.h"
#include "listbox.h"
#include "timeaway.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

// Notices time away while rows run and asks whether to keep it. It looks at the session's idle
// time once a minute while any row runs, and never while none does; once the user is away it
// looks every few seconds, so the question comes as they sit down again, not up to a minute
// later. The question does not block: "Take It Off" moves the Start of each row that ran through
// the whole time away and still runs as it did, and the list saves the change as any other.
class TimeAwayQuestion : public QObject
{
    Q_OBJECT
public:
    TimeAwayQuestion(ListBox *list, QWidget *window);

private:
    void rowsChanged(int first, int last);
    void look();
    void ask(const AwaySpan &span);
    [[nodiscard]] bool anyRunning(int first, int last) const;

    ListBox *m_list;
    QWidget *m_window;
    IdleReader m_idle;
    AwayWatch m_watch;
    QTimer m_timer;
    QPointer<QMessageBox> m_question;
};
