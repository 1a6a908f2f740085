#include "dateservice.h"
#include "durations.h"
#include "projectrows.h"
#include "timestamps.h"

#include <QTest>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <string>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(RowState)
Q_DECLARE_METATYPE(ButtonStates)

// Lets QCOMPARE print both sides of a mismatch; found by argument-dependent lookup.
char *toString(const ButtonStates &states)
{
    return QTest::toString(u"{ \"%1\", start %2, stop %3 }"_s
                               .arg(QString::fromUtf8(states.startCaption.data(),
                                   qsizetype(states.startCaption.size())))
                               .arg(states.startEnabled ? u"enabled"_s : u"disabled"_s)
                               .arg(states.stopEnabled ? u"enabled"_s : u"disabled"_s));
}

class tst_ProjectRows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void rowState_data();
    void rowState();
    void buttonStates_data();
    void buttonStates();
    void continuedStartText_data();
    void continuedStartText();
    void untitledProjectName_data();
    void untitledProjectName();

private:
    FixedClock m_clock { 0 };
};

namespace {

const QString startStamp = u"05/27 09:00"_s;
const QString finishStamp = u"05/27 09:45"_s;
const QString totalStamp = u"0' 45\""_s;

// A local wall-clock moment, daylight saving decided by the C library as the program does.
qint64 localInstant(int year, int month, int day, int hour, int minute, int second)
{
    std::tm fields {};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    return static_cast<qint64>(std::mktime(&fields));
}

} // namespace

void tst_ProjectRows::initTestCase()
{
    // No daylight saving here: these rules only add and subtract whole minutes.
    QCOMPARE(setenv("TZ", "UTC", 1), 0);
    tzset();
    Clock::setCurrent(&m_clock);
}

void tst_ProjectRows::cleanupTestCase()
{
    Clock::setCurrent(nullptr);
}

void tst_ProjectRows::rowState_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("finish");
    QTest::addColumn<QString>("total");
    QTest::addColumn<RowState>("state");
    QTest::addColumn<bool>("running");

    QTest::newRow("new") << u""_s << u""_s << u""_s << RowState::New << false;
    QTest::newRow("only a Total") << u""_s << u""_s << totalStamp << RowState::Incomplete << false;
    QTest::newRow("only a Finish")
        << u""_s << finishStamp << u""_s << RowState::Incomplete << false;
    QTest::newRow("Finish and Total, no Start")
        << u""_s << finishStamp << totalStamp << RowState::Incomplete << false;
    QTest::newRow("running") << startStamp << u""_s << u""_s << RowState::Running << true;
    QTest::newRow("Start and Total, no Finish")
        << startStamp << u""_s << totalStamp << RowState::Incomplete << true;
    QTest::newRow("Start and Finish, no Total")
        << startStamp << finishStamp << u""_s << RowState::Incomplete << false;
    QTest::newRow("stopped") << startStamp << finishStamp << totalStamp << RowState::Stopped
                             << false;
}

void tst_ProjectRows::rowState()
{
    QFETCH(QString, start);
    QFETCH(QString, finish);
    QFETCH(QString, total);
    QFETCH(RowState, state);
    QFETCH(bool, running);

    const std::string startBytes = start.toStdString();
    const std::string finishBytes = finish.toStdString();
    const std::string totalBytes = total.toStdString();
    const RowTimes row { startBytes, finishBytes, totalBytes };
    QCOMPARE(::rowState(row), state);
    QCOMPARE(isRunning(row), running);
}

void tst_ProjectRows::buttonStates_data()
{
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("finish");
    QTest::addColumn<QString>("total");
    QTest::addColumn<ButtonStates>("states");

    const ButtonStates offerStart { "Start", true, false };
    const ButtonStates offerContinue { "Continue", true, false };
    QTest::newRow("no selection") << false << u""_s << u""_s << u""_s
                                  << ButtonStates { "Start", false, false };
    QTest::newRow("new") << true << u""_s << u""_s << u""_s << offerStart;
    QTest::newRow("only a Total") << true << u""_s << u""_s << totalStamp << offerStart;
    QTest::newRow("only a Finish") << true << u""_s << finishStamp << u""_s << offerStart;
    QTest::newRow("Finish and Total, no Start")
        << true << u""_s << finishStamp << totalStamp << offerStart;
    QTest::newRow("running") << true << startStamp << u""_s << u""_s
                             << ButtonStates { "Continue", false, true };
    QTest::newRow("Start and Total, no Finish")
        << true << startStamp << u""_s << totalStamp << offerContinue;
    QTest::newRow("Start and Finish, no Total")
        << true << startStamp << finishStamp << u""_s << ButtonStates { "Continue", true, true };
    QTest::newRow("stopped") << true << startStamp << finishStamp << totalStamp << offerContinue;
}

void tst_ProjectRows::buttonStates()
{
    QFETCH(bool, selected);
    QFETCH(QString, start);
    QFETCH(QString, finish);
    QFETCH(QString, total);
    QFETCH(ButtonStates, states);

    const std::string startBytes = start.toStdString();
    const std::string finishBytes = finish.toStdString();
    const std::string totalBytes = total.toStdString();
    std::optional<RowTimes> row;
    if (selected)
        row = RowTimes { startBytes, finishBytes, totalBytes };
    QCOMPARE(::buttonStates(row), states);
}

void tst_ProjectRows::continuedStartText_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("finish");
    QTest::addColumn<qint64>("continuedAt");
    QTest::addColumn<QString>("continuedStart");
    QTest::addColumn<qint64>("stoppedAt");
    QTest::addColumn<QString>("totalAfterStop");

    QTest::newRow("45 minutes continued at 14:10:20")
        << startStamp << finishStamp << localInstant(2026, 5, 27, 14, 10, 20) << u"05/27 13:25"_s
        << localInstant(2026, 5, 27, 14, 30, 5) << u"1' 5\""_s;
    QTest::newRow("no time recorded continues from now")
        << startStamp << startStamp << localInstant(2026, 5, 27, 14, 10, 20) << u"05/27 14:10"_s
        << localInstant(2026, 5, 27, 14, 30, 5) << u"0' 20\""_s;
    QTest::newRow("recorded across New Year")
        << u"12/31 23:30"_s << u"01/01 00:15"_s << localInstant(2026, 1, 2, 10, 0, 0)
        << u"01/02 09:15"_s << localInstant(2026, 1, 2, 10, 20, 0) << u"1' 5\""_s;
    QTest::newRow("continued start on the day before")
        << startStamp << u"05/27 11:00"_s << localInstant(2026, 5, 28, 1, 0, 0) << u"05/27 23:00"_s
        << localInstant(2026, 5, 28, 1, 30, 0) << u"2' 30\""_s;
    QTest::newRow("continued start in the year before")
        << startStamp << u"05/27 11:00"_s << localInstant(2026, 1, 1, 1, 0, 0) << u"12/31 23:00"_s
        << localInstant(2026, 1, 1, 1, 30, 0) << u"2' 30\""_s;
    QTest::newRow("edited Finish before Start keeps the negative time")
        << u"05/27 10:00"_s << startStamp << localInstant(2026, 5, 27, 14, 10, 20)
        << u"05/27 15:10"_s << localInstant(2026, 5, 27, 15, 30, 0) << u"0' 20\""_s;
}

void tst_ProjectRows::continuedStartText()
{
    QFETCH(QString, start);
    QFETCH(QString, finish);
    QFETCH(qint64, continuedAt);
    QFETCH(QString, continuedStart);
    QFETCH(qint64, stoppedAt);
    QFETCH(QString, totalAfterStop);

    m_clock.setMoment(static_cast<std::time_t>(continuedAt));
    const std::string newStart
        = ::continuedStartText(start.toStdString(), finish.toStdString(), double(continuedAt));
    QCOMPARE(QString::fromStdString(newStart), continuedStart);

    // Stopping later gives the old time plus the new period.
    m_clock.setMoment(static_cast<std::time_t>(stoppedAt));
    const std::string stopText = returnTime(double(stoppedAt));
    QCOMPARE(QString::fromStdString(totalText(newStart, stopText)), totalAfterStop);
}

void tst_ProjectRows::untitledProjectName_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("name");

    QTest::newRow("first") << 1 << u"Untitled project 1"_s;
    QTest::newRow("two digits") << 12 << u"Untitled project 12"_s;
    QTest::newRow("largest count")
        << std::numeric_limits<int>::max() << u"Untitled project 2147483647"_s;
}

void tst_ProjectRows::untitledProjectName()
{
    QFETCH(int, n);
    QFETCH(QString, name);

    QCOMPARE(QString::fromStdString(::untitledProjectName(n)), name);
}

QTEST_GUILESS_MAIN(tst_ProjectRows)
#include "tst_projectrows.moc"
