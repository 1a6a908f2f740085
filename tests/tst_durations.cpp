#include "dateservice.h"
#include "durations.h"

#include <QScopeGuard>
#include <QTest>
#include <cstdlib>
#include <ctime>
#include <limits>

using namespace Qt::StringLiterals;

class tst_Durations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void totalText_data();
    void totalText();
    void durationText_data();
    void durationText();
    void recordedSeconds_data();
    void recordedSeconds();
    void recordedSecondsWhileTheClockTicks_data();
    void recordedSecondsWhileTheClockTicks();

private:
    FixedClock m_clock { 0 };
};

namespace {

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

// A clock that moves one second on at every read, as the real one can between the two reads
// that work out one Total.
class TickingClock final : public Clock
{
public:
    explicit TickingClock(std::time_t first)
        : m_next(first)
    {
    }
    [[nodiscard]] std::time_t now() const override { return m_next++; }

private:
    mutable std::time_t m_next;
};

} // namespace

void tst_Durations::initTestCase()
{
    // A zone with daylight saving, so that periods across a change are exercised.
    QCOMPARE(setenv("TZ", "Europe/Berlin", 1), 0);
    tzset();
    // Seconds that are not 0, so that a rule that lets them into a Total shows.
    m_clock.setMoment(static_cast<std::time_t>(localInstant(2026, 5, 27, 10, 11, 37)));
    Clock::setCurrent(&m_clock);
}

void tst_Durations::cleanupTestCase()
{
    Clock::setCurrent(nullptr);
}

void tst_Durations::totalText_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("finish");
    QTest::addColumn<QString>("total");

    QTest::newRow("7 minutes") << u"05/27 16:23"_s << u"05/27 16:30"_s << u"0' 7\""_s;
    QTest::newRow("no time") << u"05/27 16:23"_s << u"05/27 16:23"_s << u"0' 0\""_s;
    QTest::newRow("exactly an hour") << u"05/27 16:23"_s << u"05/27 17:23"_s << u"1' 0\""_s;
    QTest::newRow("85 minutes") << u"05/27 16:23"_s << u"05/27 17:48"_s << u"1' 25\""_s;
    QTest::newRow("125 minutes") << u"05/27 09:00"_s << u"05/27 11:05"_s << u"2' 5\""_s;
    QTest::newRow("across midnight") << u"05/27 23:50"_s << u"05/28 00:20"_s << u"0' 30\""_s;
    QTest::newRow("finish a day before start")
        << u"05/27 09:00"_s << u"05/26 09:00"_s << u"0' -1440\""_s;
    QTest::newRow("more than a day") << u"05/27 09:00"_s << u"05/28 10:30"_s << u"25' 30\""_s;
    QTest::newRow("loose forms") << u"5/27 9:0"_s << u"5/27 10:5"_s << u"1' 5\""_s;
    QTest::newRow("across New Year") << u"12/31 23:50"_s << u"01/01 00:20"_s << u"0' 30\""_s;
    QTest::newRow("from November into February")
        << u"11/30 10:00"_s << u"02/01 10:00"_s << u"1512' 0\""_s;
    // Totals count the hours that passed, not those the wall clock shows.
    QTest::newRow("across the spring change")
        << u"03/29 01:30"_s << u"03/29 03:30"_s << u"1' 0\""_s;
    QTest::newRow("across the autumn change")
        << u"10/25 01:30"_s << u"10/25 03:30"_s << u"3' 0\""_s;
}

void tst_Durations::totalText()
{
    QFETCH(QString, start);
    QFETCH(QString, finish);
    QFETCH(QString, total);

    QCOMPARE(QString::fromStdString(::totalText(start.toStdString(), finish.toStdString())), total);
}

void tst_Durations::durationText_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("finish");
    QTest::addColumn<QString>("text");

    constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const double may27 = double(localInstant(2026, 5, 27, 16, 23, 0));
    QTest::newRow("59.99 minutes round to an hour") << 0.0 << 59.99 * 60 << u"1' 0\""_s;
    QTest::newRow("59 minutes 59 seconds round to an hour") << 0.0 << 3599.0 << u"1' 0\""_s;
    QTest::newRow("7 minutes and a second") << 0.0 << 421.0 << u"0' 7\""_s;
    QTest::newRow("7 minutes less a second") << 0.0 << 419.0 << u"0' 7\""_s;
    QTest::newRow("exactly an hour") << 0.0 << 3600.0 << u"1' 0\""_s;
    QTest::newRow("an hour and 25 minutes of real instants")
        << may27 << may27 + 85 * 60 << u"1' 25\""_s;
    QTest::newRow("a day") << 0.0 << 86400.0 << u"24' 0\""_s;
    QTest::newRow("a day back") << 86400.0 << 0.0 << u"0' -1440\""_s;
    QTest::newRow("a day back and a second") << 86401.0 << 0.0 << u"0' -1440\""_s;
    QTest::newRow("NaN finish") << 0.0 << notANumber << u"0' 0\""_s;
    QTest::newRow("NaN start") << notANumber << 0.0 << u"0' 0\""_s;
    QTest::newRow("most minutes an int holds") << 0.0 << 2147483647.0 * 60 << u"35791394' 7\""_s;
    QTest::newRow("huge difference saturates") << 0.0 << 1e300 << u"35791394' 7\""_s;
    QTest::newRow("infinite difference saturates") << 0.0 << infinity << u"35791394' 7\""_s;
}

void tst_Durations::durationText()
{
    QFETCH(double, start);
    QFETCH(double, finish);
    QFETCH(QString, text);

    QCOMPARE(QString::fromStdString(::durationText(start, finish)), text);
}

void tst_Durations::recordedSeconds_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("finish");
    QTest::addColumn<double>("seconds");

    QTest::newRow("85 minutes") << u"05/27 16:23"_s << u"05/27 17:48"_s << 5100.0;
    QTest::newRow("no time") << u"05/27 16:23"_s << u"05/27 16:23"_s << 0.0;
    QTest::newRow("finish a day before start") << u"05/27 09:00"_s << u"05/26 09:00"_s << -86400.0;
    QTest::newRow("across New Year") << u"12/31 23:50"_s << u"01/01 00:20"_s << 1800.0;
    QTest::newRow("across New Year, loose forms") << u"12/31 23:50"_s << u"1/1 0:20"_s << 1800.0;
}

void tst_Durations::recordedSeconds()
{
    QFETCH(QString, start);
    QFETCH(QString, finish);
    QFETCH(double, seconds);

    QCOMPARE(::recordedSeconds(start.toStdString(), finish.toStdString()), seconds);
}

void tst_Durations::recordedSecondsWhileTheClockTicks_data()
{
    QTest::addColumn<qint64>("firstRead");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("finish");
    QTest::addColumn<double>("seconds");

    QTest::newRow("within a minute")
        << localInstant(2026, 5, 27, 10, 11, 37) << u"05/27 16:23"_s << u"05/27 16:30"_s << 420.0;
    QTest::newRow("into the next minute")
        << localInstant(2026, 5, 27, 10, 11, 59) << u"05/27 16:23"_s << u"05/27 16:30"_s << 420.0;
    QTest::newRow("into the next day")
        << localInstant(2026, 5, 27, 23, 59, 59) << u"05/27 16:23"_s << u"05/27 17:48"_s << 5100.0;
    QTest::newRow("into the next minute, across New Year")
        << localInstant(2026, 1, 2, 10, 0, 59) << u"12/31 23:50"_s << u"01/01 00:20"_s << 1800.0;
}

void tst_Durations::recordedSecondsWhileTheClockTicks()
{
    QFETCH(qint64, firstRead);
    QFETCH(QString, start);
    QFETCH(QString, finish);
    QFETCH(double, seconds);

    const TickingClock clock(static_cast<std::time_t>(firstRead));
    Clock::setCurrent(&clock);
    const auto restore = qScopeGuard([this] { Clock::setCurrent(&m_clock); });
    QCOMPARE(::recordedSeconds(start.toStdString(), finish.toStdString()), seconds);
}

QTEST_GUILESS_MAIN(tst_Durations)
#include "tst_durations.moc"
