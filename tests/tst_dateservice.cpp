#include "dateservice.h"

#include <QDateTime>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

using namespace Qt::StringLiterals;

class tst_DateService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void now_data();
    void now();
    void setFields_data();
    void setFields();
    void setTotalSeconds_data();
    void setTotalSeconds();
    void extremeTotalSeconds_data();
    void extremeTotalSeconds();

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

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

QString fieldsText(const Date &date)
{
    return QString::asprintf("%d-%02d-%02d %02d:%02d:%02d", date.Year(), date.Month(), date.Day(),
        date.Hour(), date.Minute(), date.Second());
}

} // namespace

void tst_DateService::initTestCase()
{
    QCOMPARE(setenv("TZ", "Europe/Berlin", 1), 0);
    tzset();
    Clock::setCurrent(&m_clock);
}

void tst_DateService::cleanupTestCase()
{
    Clock::setCurrent(nullptr);
}

void tst_DateService::now_data()
{
    QTest::addColumn<qint64>("moment");
    QTest::addColumn<QString>("fields");

    // Moments given as seconds since the epoch, so that the expected fields do not come from the
    // same C library calls the date service makes.
    QTest::newRow("winter morning") << qint64(1767427540) << u"2026-01-03 09:05:40"_s;
    QTest::newRow("summer afternoon") << qint64(1779891839) << u"2026-05-27 16:23:59"_s;
    QTest::newRow("last minute of the year") << qint64(1798757940) << u"2026-12-31 23:59:00"_s;
    QTest::newRow("leap day") << qint64(1709204400) << u"2024-02-29 12:00:00"_s;
    QTest::newRow("first summer-time hour") << qint64(1774746000) << u"2026-03-29 03:00:00"_s;
    QTest::newRow("epoch") << qint64(0) << u"1970-01-01 01:00:00"_s;
}

void tst_DateService::now()
{
    QFETCH(qint64, moment);
    QFETCH(QString, fields);

    m_clock.setMoment(static_cast<std::time_t>(moment));
    const Date date;
    QCOMPARE(fieldsText(date), fields);
    QCOMPARE(date.TotalSeconds(), double(moment));
}

void tst_DateService::setFields_data()
{
    QTest::addColumn<qint64>("now");
    QTest::addColumn<int>("yearDelta");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<QString>("normalised");

    const qint64 may27 = localInstant(2026, 5, 27, 10, 11, 37);
    const qint64 january31 = localInstant(2026, 1, 31, 10, 11, 37);
    QTest::newRow("every field changed")
        << may27 << 0 << 3 << 4 << 5 << 6 << u"2026-03-04 05:06:37"_s;
    QTest::newRow("April on the 31st, then the 15th")
        << january31 << 0 << 4 << 15 << 10 << 0 << u"2026-04-15 10:00:37"_s;
    QTest::newRow("February on the 31st, then the 1st")
        << january31 << 0 << 2 << 1 << 10 << 0 << u"2026-02-01 10:00:37"_s;
    QTest::newRow("31 April rolls into May")
        << may27 << 0 << 4 << 31 << 10 << 0 << u"2026-05-01 10:00:37"_s;
    QTest::newRow("30 February rolls into March")
        << may27 << 0 << 2 << 30 << 10 << 0 << u"2026-03-02 10:00:37"_s;
    QTest::newRow("29 February of a leap year") << localInstant(2024, 5, 27, 10, 11, 37) << 0 << 2
                                                << 29 << 10 << 0 << u"2024-02-29 10:00:37"_s;
    QTest::newRow("29 February a year back") << localInstant(2025, 3, 1, 10, 11, 37) << -1 << 2
                                             << 29 << 10 << 0 << u"2024-02-29 10:00:37"_s;
    QTest::newRow("a year back") << localInstant(2026, 1, 2, 10, 0, 0) << -1 << 12 << 31 << 23 << 30
                                 << u"2025-12-31 23:30:00"_s;
    QTest::newRow("month 13 is next January")
        << may27 << 0 << 13 << 1 << 0 << 0 << u"2027-01-01 00:00:37"_s;
    QTest::newRow("month 0 is last December")
        << may27 << 0 << 0 << 15 << 0 << 0 << u"2025-12-15 00:00:37"_s;
    QTest::newRow("day 0 is the last of the month before")
        << may27 << 0 << 3 << 0 << 12 << 0 << u"2026-02-28 12:00:37"_s;
    QTest::newRow("hour 24 is the next midnight")
        << may27 << 0 << 5 << 27 << 24 << 0 << u"2026-05-28 00:00:37"_s;
    QTest::newRow("minute 60 is the next hour")
        << may27 << 0 << 5 << 27 << 16 << 60 << u"2026-05-27 17:00:37"_s;
    QTest::newRow("minute -1 is the hour before")
        << may27 << 0 << 5 << 27 << 16 << -1 << u"2026-05-27 15:59:37"_s;
    QTest::newRow("summer date set in winter") << localInstant(2026, 1, 15, 10, 11, 37) << 0 << 7
                                               << 15 << 12 << 0 << u"2026-07-15 12:00:37"_s;
    QTest::newRow("winter date set in summer") << localInstant(2026, 7, 15, 10, 11, 37) << 0 << 1
                                               << 15 << 12 << 0 << u"2026-01-15 12:00:37"_s;
    QTest::newRow("autumn's repeated hour")
        << may27 << 0 << 10 << 25 << 2 << 30 << u"2026-10-25 02:30:37"_s;
}

void tst_DateService::setFields()
{
    QFETCH(qint64, now);
    QFETCH(int, yearDelta);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(QString, normalised);

    m_clock.setMoment(static_cast<std::time_t>(now));
    Date date;
    if (yearDelta != 0)
        date.setYear(date.Year() + yearDelta);
    date.setMonth(month);
    date.setDay(day);
    date.setHour(hour);
    date.setMinute(minute);

    const QDateTime expected = QDateTime::fromString(normalised, u"yyyy-MM-dd HH:mm:ss"_s);
    QVERIFY(expected.isValid());
    const double total = date.TotalSeconds();
    QCOMPARE(total,
        double(localInstant(expected.date().year(), expected.date().month(), expected.date().day(),
            expected.time().hour(), expected.time().minute(), expected.time().second())));

    date.setTotalSeconds(total);
    QCOMPARE(fieldsText(date), normalised);
    QCOMPARE(date.TotalSeconds(), total);
}

void tst_DateService::setTotalSeconds_data()
{
    QTest::addColumn<qint64>("now");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("fields");

    const qint64 may27 = localInstant(2026, 5, 27, 10, 11, 37);
    QTest::newRow("epoch") << may27 << 0.0 << u"1970-01-01 01:00:00"_s;
    QTest::newRow("a billion seconds, in summer time") << may27 << 1e9 << u"2001-09-09 03:46:40"_s;
    QTest::newRow("winter instant while it is summer")
        << may27 << 1767427540.0 << u"2026-01-03 09:05:40"_s;
    QTest::newRow("summer instant while it is winter")
        << localInstant(2026, 1, 3, 9, 5, 40) << 1779891839.0 << u"2026-05-27 16:23:59"_s;
    QTest::newRow("autumn's first 02:30") << may27 << 1792888200.0 << u"2026-10-25 02:30:00"_s;
    QTest::newRow("autumn's second 02:30") << may27 << 1792891800.0 << u"2026-10-25 02:30:00"_s;
    QTest::newRow("fraction of a second dropped")
        << may27 << 1779891839.999 << u"2026-05-27 16:23:59"_s;
    QTest::newRow("before the epoch") << may27 << -3600.0 << u"1970-01-01 00:00:00"_s;
    QTest::newRow("half a second before the epoch") << may27 << -0.5 << u"1970-01-01 00:59:59"_s;
    QTest::newRow("NaN reads as the epoch")
        << may27 << std::numeric_limits<double>::quiet_NaN() << u"1970-01-01 01:00:00"_s;
}

void tst_DateService::setTotalSeconds()
{
    QFETCH(qint64, now);
    QFETCH(double, seconds);
    QFETCH(QString, fields);

    m_clock.setMoment(static_cast<std::time_t>(now));
    Date date;
    date.setTotalSeconds(seconds);
    QCOMPARE(fieldsText(date), fields);
}

void tst_DateService::extremeTotalSeconds_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("direction");

    constexpr double infinity = std::numeric_limits<double>::infinity();
    constexpr double largest = std::numeric_limits<double>::max();
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0;
    QTest::newRow("infinity") << infinity << 1;
    QTest::newRow("minus infinity") << -infinity << -1;
    QTest::newRow("1e300") << 1e300 << 1;
    QTest::newRow("-1e300") << -1e300 << -1;
    QTest::newRow("largest double") << largest << 1;
    QTest::newRow("lowest double") << -largest << -1;
    QTest::newRow("beyond 64-bit seconds") << 1e19 << 1;
    QTest::newRow("beyond 64-bit seconds, negative") << -1e19 << -1;
    QTest::newRow("beyond an int year") << 1e17 << 1;
    QTest::newRow("beyond an int year, negative") << -1e17 << -1;
}

void tst_DateService::extremeTotalSeconds()
{
    QFETCH(double, seconds);
    QFETCH(int, direction);

    m_clock.setMoment(static_cast<std::time_t>(localInstant(2026, 5, 27, 10, 11, 37)));
    Date date;
    date.setTotalSeconds(seconds);

    QVERIFY2(date.Month() >= 1 && date.Month() <= 12, qPrintable(fieldsText(date)));
    QVERIFY2(date.Day() >= 1 && date.Day() <= daysInMonth(date.Year(), date.Month()),
        qPrintable(fieldsText(date)));
    QVERIFY2(date.Hour() >= 0 && date.Hour() <= 23, qPrintable(fieldsText(date)));
    QVERIFY2(date.Minute() >= 0 && date.Minute() <= 59, qPrintable(fieldsText(date)));
    QVERIFY2(date.Second() >= 0 && date.Second() <= 60, qPrintable(fieldsText(date)));
    if (direction > 0)
        QVERIFY2(date.Year() > 100'000, qPrintable(fieldsText(date)));
    else if (direction < 0)
        QVERIFY2(date.Year() < -100'000, qPrintable(fieldsText(date)));
    else
        QCOMPARE(date.Year(), 1970);

    // The clamped instant is one the service can go on working with.
    const double total = date.TotalSeconds();
    QVERIFY(std::isfinite(total));
    const QString fields = fieldsText(date);
    date.setTotalSeconds(total);
    QCOMPARE(fieldsText(date), fields);
}

QTEST_GUILESS_MAIN(tst_DateService)
#include "tst_dateservice.moc"
