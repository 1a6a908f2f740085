#include "timeawayquestion.h"

#include "dateservice.h"
#include "globalsmodule.h"
#include "projectrows.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPersistentModelIndex>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr auto usualLook = 60s;
constexpr auto lookWhileAway = 5s;

constexpr int Start = columnIndex(Column::Start);
constexpr int Finish = columnIndex(Column::Finish);
constexpr int Total = columnIndex(Column::Total);

RowTimes timesOf(const ListBox &list, int row)
{
    return { list.Cell(row, Start), list.Cell(row, Finish), list.Cell(row, Total) };
}

// A row that ran through the time away, and its Start as it was then: a row stopped and
// continued since has another Start, and is left alone.
struct AwayRow
{
    QPersistentModelIndex index;
    std::string start;
};

} // namespace

TimeAwayQuestion::TimeAwayQuestion(ListBox *list, QWidget *window)
    : QObject(window)
    , m_list(list)
    , m_window(window)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TimeAwayQuestion::look);
    // Only a start is looked for here, and only a new or changed row can be one: a removal
    // starts nothing, and each look finds out for itself whether rows still run.
    const QAbstractItemModel *model = list->model();
    connect(model, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex &, int first, int last) { rowsChanged(first, last); });
    connect(model, &QAbstractItemModel::dataChanged, this,
        [this](
            const QModelIndex &from, const QModelIndex &to) { rowsChanged(from.row(), to.row()); });
    connect(model, &QAbstractItemModel::modelReset, this,
        [this] { rowsChanged(0, m_list->ListCount() - 1); });
}

bool TimeAwayQuestion::anyRunning(int first, int last) const
{
    for (int row = first; row <= last; ++row) {
        if (isRunning(timesOf(*m_list, row)))
            return true;
    }
    return false;
}

void TimeAwayQuestion::rowsChanged(int first, int last)
{
    if (!m_timer.isActive() && GlobalsModule::gIdleMinutes > 0 && m_idle.available()
        && anyRunning(first, last))
        m_timer.start(usualLook);
}

void TimeAwayQuestion::look()
{
    // Rows stopped since the last look are left alone, so with none running there is nothing
    // to ask about.
    const double threshold = 60.0 * GlobalsModule::gIdleMinutes;
    if (threshold <= 0.0 || !anyRunning(0, m_list->ListCount() - 1)) {
        m_watch.reset();
        return;
    }
    const std::optional<double> idle = m_idle.idleSeconds();
    if (!idle)
        return;
    const IdleSample sample { Date().TotalSeconds(), IdleReader::steadySeconds(), *idle };
    if (const std::optional<AwaySpan> span = m_watch.next(sample, threshold))
        ask(*span);
    if (m_watch.isAway()) {
        m_timer.start(lookWhileAway);
        return;
    }
    // A look when the threshold is due, a second late for the counter to get there, rather
    // than a minute after.
    const auto due = std::chrono::duration<double>(threshold - m_watch.idleSeconds() + 1.0);
    m_timer.start(std::chrono::ceil<std::chrono::milliseconds>(
        std::clamp<std::chrono::duration<double>>(due, 1s, usualLook)));
}

void TimeAwayQuestion::ask(const AwaySpan &span)
{
    const Date now;
    std::vector<AwayRow> rows;
    for (int row = 0; row < m_list->ListCount(); ++row) {
        const RowTimes times = timesOf(*m_list, row);
        if (ranThrough(times, span, now))
            rows.push_back({ m_list->model()->index(row, Start), std::string(times.start) });
    }
    if (rows.empty())
        return;
    // The latest time away is the one to answer; an older question still up goes unanswered,
    // which keeps its time.
    if (m_question)
        m_question->close();
    auto *box = new QMessageBox(QMessageBox::Question, QCoreApplication::applicationName(),
        QString::fromStdString(awayQuestion(span, int(rows.size()))), QMessageBox::NoButton,
        m_window);
    QPushButton *keep = box->addButton(tr("Keep the Time"), QMessageBox::AcceptRole);
    QPushButton *takeOff = box->addButton(tr("Take It Off"), QMessageBox::DestructiveRole);
    box->setDefaultButton(keep);
    box->setEscapeButton(keep);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    connect(takeOff, &QPushButton::clicked, this, [this, rows = std::move(rows), span] {
        // The rows as they are now: one stopped or restarted meanwhile keeps its time.
        const Date clicked;
        for (const AwayRow &away : rows) {
            const int row = away.index.row();
            if (!away.index.isValid() || !isRunning(timesOf(*m_list, row))
                || m_list->Cell(row, Start) != away.start)
                continue;
            m_list->setCell(row, Start, startWithout(away.start, span, clicked));
        }
    });
    m_question = box;
    box->show();
}
