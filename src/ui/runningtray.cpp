#include "runningtray.h"

#include "dateservice.h"
#include "listmodel.h"
#include "mylistclass.h"
#include "quitting.h"
#include "statusicon.h"
#include "window1.h"

#include <QDateTime>
#include <QStringList>

namespace {

constexpr qint64 minute = 60'000;
// Past the turn of the minute, so that the clock read then already shows the new one.
constexpr qint64 pastTheMinute = 250;

} // namespace

RunningTray::RunningTray(Window1 *window, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_icon(new StatusIcon(this))
{
    // A single shot, aimed afresh at the next turn of the minute each time: a repeating timer
    // drifts off it.
    m_minute.setSingleShot(true);
    m_minute.setTimerType(Qt::PreciseTimer);
    connect(&m_minute, &QTimer::timeout, this, &RunningTray::refresh);
    connect(m_icon, &StatusIcon::clicked, this, &RunningTray::showRequested);
    connect(m_icon, &StatusIcon::itemChosen, this, &RunningTray::entryChosen);

    const ListModel *model = window->listBox()->listModel();
    connect(model, &ListModel::dataChanged, this, &RunningTray::rowsChanged);
    connect(model, &ListModel::rowsInserted, this, &RunningTray::rowsChanged);
    connect(model, &ListModel::rowsRemoved, this, &RunningTray::rowsChanged);
    connect(model, &ListModel::modelReset, this, &RunningTray::rowsChanged);
    connect(model, &ListModel::layoutChanged, this, &RunningTray::rowsChanged);
    refresh();
}

// A stop or a load changes many cells at once: the icon follows once they are all done.
void RunningTray::rowsChanged()
{
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QMetaObject::invokeMethod(this, &RunningTray::refresh, Qt::QueuedConnection);
}

void RunningTray::refresh()
{
    m_refreshPending = false;
    if (!m_window)
        return;
    m_summary = runningSummary(m_window->listBox()->listModel()->rows(), Date());
    QStringList texts;
    texts.reserve(qsizetype(m_summary.menu.size()));
    int separatorBefore = -1;
    for (const RunningSummary::Entry &entry : m_summary.menu) {
        if (separatorBefore < 0 && entry.command != RunningSummary::Entry::Command::Stop)
            separatorBefore = int(texts.size());
        texts << QString::fromUtf8(entry.text);
    }
    m_icon->setItems(texts, separatorBefore);
    m_icon->setToolTip(QString::fromUtf8(m_summary.toolTip));
    m_icon->setRunning(m_summary.running);
    if (m_summary.running)
        m_minute.start(int(minute - QDateTime::currentMSecsSinceEpoch() % minute + pastTheMinute));
    else
        m_minute.stop();
}

void RunningTray::entryChosen(int index)
{
    if (!m_window || index < 0 || index >= int(m_summary.menu.size()))
        return;
    using Command = RunningSummary::Entry::Command;
    const RunningSummary::Entry &entry = m_summary.menu.at(std::size_t(index));
    switch (entry.command) {
    case Command::Stop:
        m_window->stopRow(entry.row);
        break;
    case Command::StopAll:
        m_window->stopAllRows();
        break;
    case Command::Show:
        emit showRequested();
        break;
    case Command::Quit:
        quitApplication();
        break;
    }
}
