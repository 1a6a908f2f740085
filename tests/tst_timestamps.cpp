#include "dateservice.h"
#include "timestamps.h"

#include <QRegularExpression>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

using namespace Qt::StringLiterals;

class tst_Timestamps : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void returnTime_data();
    void returnTime();
    void returnTimeOfAnyDouble_data();
    void returnTimeOfAnyDouble();
    void getSeconds_data();
    void getSeconds();
    void getSecondsOfHugeFields_data();
    void getSecondsOfHugeFields();
    void roundTrip_data();
    void roundTrip();
    void monthOf_data();
    void monthOf();
    void checkFormat_data();
    void checkFormat();

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

// Every field in its range, not only the right shape: a wrapped or negative hour would still
// have two characters.
bool isTimeStamp(const QString &text)
{
    static const QRegularExpression shape(u"^(\\d\\d)/(\\d\\d) (\\d\\d):(\\d\\d)$"_s);
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return false;
    const int month = match.captured(1).toInt();
    const int day = match.captured(2).toInt();
    const int hour = match.captured(3).toInt();
    const int minute = match.captured(4).toInt();
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour <= 23 && minute <= 59;
}

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

void tst_Timestamps::initTestCase()
{
    // A zone with daylight saving, so that stamps on either side of a change are exercised.
    QCOMPARE(setenv("TZ", "Europe/Berlin", 1), 0);
    tzset();
    Clock::setCurrent(&m_clock);
}

void tst_Timestamps::cleanupTestCase()
{
    Clock::setCurrent(nullptr);
}

void tst_Timestamps::returnTime_data()
{
    QTest::addColumn<qint64>("now");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("stamp");

    const qint64 may27 = localInstant(2026, 5, 27, 10, 11, 37);
    QTest::newRow("3 January, 09:05:40")
        << may27 << double(localInstant(2026, 1, 3, 9, 5, 40)) << u"01/03 09:05"_s;
    QTest::newRow("27 May, 16:23:59, seconds dropped")
        << may27 << double(localInstant(2026, 5, 27, 16, 23, 59)) << u"05/27 16:23"_s;
    QTest::newRow("31 December, 23:59:00")
        << may27 << double(localInstant(2026, 12, 31, 23, 59, 0)) << u"12/31 23:59"_s;
    QTest::newRow("fraction of the last second dropped")
        << may27 << double(localInstant(2026, 5, 27, 16, 23, 59)) + 0.999 << u"05/27 16:23"_s;
    QTest::newRow("zero is now") << localInstant(2026, 1, 3, 9, 5, 40) << 0.0 << u"01/03 09:05"_s;
    QTest::newRow("negative zero is now")
        << localInstant(2026, 1, 3, 9, 5, 40) << -0.0 << u"01/03 09:05"_s;
    QTest::newRow("another year shows no year")
        << may27 << double(localInstant(2031, 8, 9, 8, 9, 0)) << u"08/09 08:09"_s;
    QTest::newRow("summer instant while it is winter")
        << localInstant(2026, 1, 15, 10, 11, 37) << double(localInstant(2026, 7, 15, 12, 0, 0))
        << u"07/15 12:00"_s;
    QTest::newRow("winter instant while it is summer")
        << localInstant(2026, 7, 15, 10, 11, 37) << double(localInstant(2026, 1, 15, 12, 0, 0))
        << u"01/15 12:00"_s;
    QTest::newRow("one second into the epoch, a fraction on") << may27 << 1.5 << u"01/01 01:00"_s;
    QTest::newRow("half a second before the epoch") << may27 << -0.5 << u"01/01 00:59"_s;
}

void tst_Timestamps::returnTime()
{
    QFETCH(qint64, now);
    QFETCH(double, seconds);
    QFETCH(QString, stamp);

    m_clock.setMoment(static_cast<std::time_t>(now));
    QCOMPARE(QString::fromStdString(::returnTime(seconds)), stamp);
}

void tst_Timestamps::returnTimeOfAnyDouble_data()
{
    QTest::addColumn<double>("seconds");

    QTest::newRow("NaN") << notANumber;
    QTest::newRow("infinity") << infinity;
    QTest::newRow("minus infinity") << -infinity;
    QTest::newRow("1e300") << 1e300;
    QTest::newRow("-1e300") << -1e300;
    QTest::newRow("largest double") << std::numeric_limits<double>::max();
    QTest::newRow("lowest double") << std::numeric_limits<double>::lowest();
    QTest::newRow("smallest positive double") << std::numeric_limits<double>::denorm_min();
    QTest::newRow("minus one") << -1.0;
    QTest::newRow("one and a half") << 1.5;
}

void tst_Timestamps::returnTimeOfAnyDouble()
{
    QFETCH(double, seconds);

    m_clock.setMoment(static_cast<std::time_t>(localInstant(2026, 5, 27, 10, 11, 37)));
    const QString stamp = QString::fromStdString(::returnTime(seconds));
    QCOMPARE(stamp.size(), 11);
    QVERIFY2(isTimeStamp(stamp), qPrintable(stamp));
}

void tst_Timestamps::getSeconds_data()
{
    QTest::addColumn<qint64>("now");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("yearOffset");
    QTest::addColumn<qint64>("instant");

    const qint64 february10 = localInstant(2026, 2, 10, 10, 11, 37);
    const qint64 may7 = localInstant(2026, 5, 7, 9, 5, 37);
    QTest::newRow("full form, the clock's seconds")
        << february10 << u"05/27 16:23"_s << 0 << localInstant(2026, 5, 27, 16, 23, 37);
    QTest::newRow("single-digit fields") << february10 << u"5/7 9:5"_s << 0 << may7;
    QTest::newRow("padded fields") << february10 << u"05/07 09:05"_s << 0 << may7;
    QTest::newRow("leading zeros are not octal")
        << february10 << u"08/09 08:09"_s << 0 << localInstant(2026, 8, 9, 8, 9, 37);
    QTest::newRow("April on the 31st") << localInstant(2026, 1, 31, 10, 11, 37) << u"04/15 10:00"_s
                                       << 0 << localInstant(2026, 4, 15, 10, 0, 37);
    QTest::newRow("30 February of a common year is 2 March")
        << february10 << u"02/30 10:00"_s << 0 << localInstant(2026, 3, 2, 10, 0, 37);
    QTest::newRow("29 February of a leap year") << localInstant(2024, 5, 27, 10, 11,
        37) << u"02/29 10:00"_s << 0 << localInstant(2024, 2, 29, 10, 0, 37);
    QTest::newRow("minute 60 is the next hour")
        << february10 << u"05/27 16:60"_s << 0 << localInstant(2026, 5, 27, 17, 0, 37);
    QTest::newRow("text after a second space ignored")
        << february10 << u"12/31 23:59 extra"_s << 0 << localInstant(2026, 12, 31, 23, 59, 37);
    QTest::newRow("a year back") << localInstant(2026, 1, 2, 10, 0, 0) << u"12/31 23:30"_s << -1
                                 << localInstant(2025, 12, 31, 23, 30, 0);
    QTest::newRow("a year on") << february10 << u"01/01 00:20"_s << 1
                               << localInstant(2027, 1, 1, 0, 20, 37);
    QTest::newRow("summer stamp while it is winter") << localInstant(2026, 1, 15, 10, 11,
        37) << u"07/15 12:00"_s << 0 << localInstant(2026, 7, 15, 12, 0, 37);
    QTest::newRow("winter stamp while it is summer") << localInstant(2026, 7, 15, 10, 11,
        37) << u"01/15 12:00"_s << 0 << localInstant(2026, 1, 15, 12, 0, 37);
    // Missing and non-numeric fields read as 0: month 0 is last December, day 0 its eve.
    QTest::newRow("no time part is midnight")
        << february10 << u"05/27"_s << 0 << localInstant(2026, 5, 27, 0, 0, 37);
    QTest::newRow("empty text") << february10 << u""_s << 0 << localInstant(2025, 11, 30, 0, 0, 37);
    QTest::newRow("letters in place of digits")
        << february10 << u"ab/cd ef:gh"_s << 0 << localInstant(2025, 11, 30, 0, 0, 37);
    QTest::newRow("two spaces leave the time empty")
        << february10 << u"05/27  16:23"_s << 0 << localInstant(2026, 5, 27, 0, 0, 37);
}

void tst_Timestamps::getSeconds()
{
    QFETCH(qint64, now);
    QFETCH(QString, text);
    QFETCH(int, yearOffset);
    QFETCH(qint64, instant);

    m_clock.setMoment(static_cast<std::time_t>(now));
    QCOMPARE(::getSeconds(text.toStdString(), yearOffset), double(instant));
}

void tst_Timestamps::getSecondsOfHugeFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("yearOffset");

    const QString manyNines = QString(400, u'9');
    QTest::newRow("huge month") << u"99999999999/1 1:1"_s << 0;
    QTest::newRow("huge day") << u"1/99999999999 1:1"_s << 0;
    QTest::newRow("huge hour") << u"1/1 99999999999:1"_s << 0;
    QTest::newRow("huge minute") << u"1/1 1:99999999999"_s << 0;
    QTest::newRow("every field huge") << u"99999999999/99999999999 99999999999:99999999999"_s << 0;
    QTest::newRow("every field hugely negative")
        << u"-99999999999/-99999999999 -99999999999:-99999999999"_s << 0;
    QTest::newRow("every field 400 digits")
        << (manyNines + u"/"_s + manyNines + u" "_s + manyNines + u":"_s + manyNines) << 0;
    QTest::newRow("largest year offset") << u"05/27 16:23"_s << std::numeric_limits<int>::max();
    QTest::newRow("smallest year offset") << u"05/27 16:23"_s << std::numeric_limits<int>::min();
    QTest::newRow("huge fields a year back") << u"99999999999/99999999999 1:1"_s << -1;
}

void tst_Timestamps::getSecondsOfHugeFields()
{
    QFETCH(QString, text);
    QFETCH(int, yearOffset);

    m_clock.setMoment(static_cast<std::time_t>(localInstant(2026, 5, 27, 10, 11, 37)));
    const double seconds = ::getSeconds(text.toStdString(), yearOffset);
    QVERIFY(std::isfinite(seconds));
    const QString stamp = QString::fromStdString(::returnTime(seconds));
    QVERIFY2(isTimeStamp(stamp), qPrintable(stamp));
}

void tst_Timestamps::roundTrip_data()
{
    QTest::addColumn<qint64>("now");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("stamps");

    const qint64 january15 = localInstant(2026, 1, 15, 10, 11, 37);
    const qint64 july15 = localInstant(2026, 7, 15, 10, 11, 37);
    QTest::newRow("full form") << january15 << u"05/27 16:23"_s << QStringList { u"05/27 16:23"_s };
    QTest::newRow("loose form comes back padded")
        << january15 << u"5/7 9:5"_s << QStringList { u"05/07 09:05"_s };
    QTest::newRow("last minute of the year")
        << january15 << u"12/31 23:59"_s << QStringList { u"12/31 23:59"_s };
    QTest::newRow("first minute of the year")
        << july15 << u"01/01 00:00"_s << QStringList { u"01/01 00:00"_s };
    QTest::newRow("summer stamp while it is winter")
        << january15 << u"07/15 12:00"_s << QStringList { u"07/15 12:00"_s };
    QTest::newRow("winter stamp while it is summer")
        << july15 << u"01/15 12:00"_s << QStringList { u"01/15 12:00"_s };
    QTest::newRow("last winter minute before the spring change")
        << january15 << u"03/29 01:59"_s << QStringList { u"03/29 01:59"_s };
    QTest::newRow("first summer minute after the spring change")
        << january15 << u"03/29 03:00"_s << QStringList { u"03/29 03:00"_s };
    QTest::newRow("autumn's repeated hour")
        << july15 << u"10/25 02:30"_s << QStringList { u"10/25 02:30"_s };
    // 02:30 does not exist on that day: the C library moves it an hour one way or the other.
    QTest::newRow("spring's missing hour")
        << january15 << u"03/29 02:30"_s << QStringList { u"03/29 01:30"_s, u"03/29 03:30"_s };
}

void tst_Timestamps::roundTrip()
{
    QFETCH(qint64, now);
    QFETCH(QString, text);
    QFETCH(QStringList, stamps);

    m_clock.setMoment(static_cast<std::time_t>(now));
    const QString stamp = QString::fromStdString(::returnTime(::getSeconds(text.toStdString())));
    QVERIFY2(stamps.contains(stamp), qPrintable(stamp));
}

void tst_Timestamps::monthOf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("month");

    QTest::newRow("full form") << u"05/27 16:23"_s << 5;
    QTest::newRow("single digit") << u"5/7 9:5"_s << 5;
    QTest::newRow("December") << u"12/31 23:59"_s << 12;
    QTest::newRow("out of range, as written") << u"13/01 00:00"_s << 13;
    QTest::newRow("empty") << u""_s << 0;
    QTest::newRow("letters") << u"ab/cd ef:gh"_s << 0;
    QTest::newRow("huge saturates") << u"99999999999/1 1:1"_s << std::numeric_limits<int>::max();
}

void tst_Timestamps::monthOf()
{
    QFETCH(QString, text);
    QFETCH(int, month);

    QCOMPARE(::monthOf(text.toStdString()), month);
}

void tst_Timestamps::checkFormat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("passes");

    QTest::newRow("full form") << u"05/27 16:23"_s << true;
    QTest::newRow("single-digit fields") << u"5/7 9:05"_s << true;
    QTest::newRow("text after a second space ignored") << u"12/31 23:59 extra"_s << true;
    QTest::newRow("no digit test") << u"ab/cd ef:gh"_s << true;
    QTest::newRow("empty text") << u""_s << true;
    QTest::newRow("no slash") << u"0527 16:23"_s << false;
    QTest::newRow("slash as 4th character") << u"123/4 5:06"_s << false;
    QTest::newRow("no space") << u"05/27"_s << false;
    QTest::newRow("no colon in the time") << u"05/27 1623"_s << false;
    QTest::newRow("empty minute") << u"05/27 16:"_s << false;
    QTest::newRow("empty day") << u"05/ 16:23"_s << false;
    QTest::newRow("empty month") << u"//27 16:23"_s << false;
    QTest::newRow("two spaces") << u"05/27  16:23"_s << false;
    QTest::newRow("one character") << u"5"_s << false;
    QTest::newRow("leading space") << u" 5/7 9:05"_s << false;
    QTest::newRow("colon as 4th character of the time") << u"05/27 162:3"_s << false;
    // Positions count characters, not bytes.
    QTest::newRow("two-byte character before the slash") << u"é/7 9:05"_s << true;
    QTest::newRow("two two-byte characters before the slash") << u"éé/7 9:05"_s << true;
    QTest::newRow("three two-byte characters before the slash") << u"ééé/7 9:05"_s << false;
    QTest::newRow("three-byte character before the slash") << u"€/7 9:05"_s << true;
    QTest::newRow("two-byte characters before the colon") << u"5/7 éé:05"_s << true;
    QTest::newRow("three two-byte characters before the colon") << u"5/7 ééé:05"_s << false;
}

void tst_Timestamps::checkFormat()
{
    QFETCH(QString, text);
    QFETCH(bool, passes);

    QCOMPARE(::checkFormat(text.toStdString()), passes);
}

QTEST_GUILESS_MAIN(tst_Timestamps)
#include "tst_timestamps.moc"
