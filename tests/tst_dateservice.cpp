#include "dateservice.h"
#include "localtime.h"

#include <QTest>
#include <cstdlib>
#include <ctime>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// 31 January 2026, 10:11:37 in Berlin: winter time, on the last day of a long month.
const FixedClock testClock { 1769850697 };

QString fieldsText(const Date &date)
{
    return QString::asprintf("%d-%02d-%02d %02d:%02d:%02d", date.Year(), date.Month(), date.Day(),
        date.Hour(), date.Minute(), date.Second());
}

} // namespace

class tst_DateService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void setFields_data();
    void setFields();
    void setTotalSeconds_data();
    void setTotalSeconds();
};

void tst_DateService::initTestCase()
{
    QVERIFY(setZone("Europe/Berlin"));
    Clock::setCurrent(&testClock);
}

void tst_DateService::setFields_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<QString>("normalised");

    // The year and the seconds are those of the clock.
    QTest::newRow("April on the 31st, then the 15th")
        << 4 << 15 << 10 << 0 << u"2026-04-15 10:00:37"_s;
    QTest::newRow("31 April is 1 May") << 4 << 31 << 10 << 0 << u"2026-05-01 10:00:37"_s;
    QTest::newRow("30 February is 2 March") << 2 << 30 << 10 << 0 << u"2026-03-02 10:00:37"_s;
    QTest::newRow("month 13 is next January") << 13 << 1 << 0 << 0 << u"2027-01-01 00:00:37"_s;
    QTest::newRow("month 0 is last December") << 0 << 15 << 0 << 0 << u"2025-12-15 00:00:37"_s;
    QTest::newRow("day 0 is the eve of the 1st") << 3 << 0 << 12 << 0 << u"2026-02-28 12:00:37"_s;
    QTest::newRow("minute 60 is the next hour") << 5 << 27 << 16 << 60 << u"2026-05-27 17:00:37"_s;
    QTest::newRow("minute -1 is the hour before")
        << 5 << 27 << 16 << -1 << u"2026-05-27 15:59:37"_s;
    QTest::newRow("summer date set in winter") << 7 << 15 << 12 << 0 << u"2026-07-15 12:00:37"_s;
    QTest::newRow("autumn's repeated hour") << 10 << 25 << 2 << 30 << u"2026-10-25 02:30:37"_s;
}

void tst_DateService::setFields()
{
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(QString, normalised);

    Date date;
    date.setMonth(month);
    date.setDay(day);
    date.setHour(hour);
    date.setMinute(minute);
    date.setTotalSeconds(date.TotalSeconds());
    QCOMPARE(fieldsText(date), normalised);
}

void tst_DateService::setTotalSeconds_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("fields");

    // Instants as plain numbers, so that the expected fields do not come from the C library. No
    // fields: the value is held at a limit far out on its own side of the epoch.
    constexpr double infinity = std::numeric_limits<double>::infinity();
    constexpr double largest = std::numeric_limits<double>::max();
    QTest::newRow("winter") << 1767427540.0 << u"2026-01-03 09:05:40"_s;
    QTest::newRow("summer") << 1779891839.0 << u"2026-05-27 16:23:59"_s;
    QTest::newRow("leap day") << 1709204400.0 << u"2024-02-29 12:00:00"_s;
    QTest::newRow("fraction dropped") << 1779891839.999 << u"2026-05-27 16:23:59"_s;
    QTest::newRow("half a second before the epoch") << -0.5 << u"1970-01-01 00:59:59"_s;
    QTest::newRow("NaN is the epoch")
        << std::numeric_limits<double>::quiet_NaN() << u"1970-01-01 01:00:00"_s;
    QTest::newRow("infinity") << infinity << QString();
    QTest::newRow("minus infinity") << -infinity << QString();
    QTest::newRow("largest double") << largest << QString();
    QTest::newRow("lowest double") << -largest << QString();
    QTest::newRow("beyond 64-bit seconds") << 1e19 << QString();
    QTest::newRow("beyond 64-bit seconds, negative") << -1e19 << QString();
    QTest::newRow("beyond an int year") << 1e17 << QString();
    QTest::newRow("beyond an int year, negative") << -1e17 << QString();
}

void tst_DateService::setTotalSeconds()
{
    QFETCH(double, seconds);
    QFETCH(QString, fields);

    Date date;
    date.setTotalSeconds(seconds);
    const QString set = fieldsText(date);
    if (fields.isEmpty())
        QVERIFY2(seconds > 0 ? date.Year() > 100'000 : date.Year() < -100'000, qPrintable(set));
    else
        QCOMPARE(set, fields);
    // What TotalSeconds reads back is the same instant, even one held at a limit.
    date.setTotalSeconds(date.TotalSeconds());
    QCOMPARE(fieldsText(date), set);
}

QTEST_GUILESS_MAIN(tst_DateService)
#include "tst_dateservice.moc"
