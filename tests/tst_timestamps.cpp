#include "dateservice.h"
#include "localtime.h"
#include "timestamps.h"

#include <QRegularExpression>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

FixedClock testClock { 0 };

// Every field in its range, not only the right length: a wrapped or negative hour would still
// have two characters.
const QRegularExpression stampShape(
    u"^(0[1-9]|1[0-2])/(0[1-9]|[12]\\d|3[01]) ([01]\\d|2[0-3]):[0-5]\\d$"_s);

} // namespace

class tst_Timestamps : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void returnTime_data();
    void returnTime();
    void getSeconds_data();
    void getSeconds();
    void hugeFields_data();
    void hugeFields();
    void checkFormat_data();
    void checkFormat();
};

void tst_Timestamps::initTestCase()
{
    // A zone with daylight saving, so that stamps on either side of a change are exercised.
    QVERIFY(setZone("Europe/Berlin"));
    Clock::setCurrent(&testClock);
}

void tst_Timestamps::returnTime_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("stamp");

    // The clock reads 31 January 2026, 10:11:37. No stamp: any double gives some time stamp, but
    // which one is not fixed.
    constexpr double infinity = std::numeric_limits<double>::infinity();
    QTest::newRow("3 January, 09:05:40")
        << double(localInstant("2026-01-03 09:05:40")) << u"01/03 09:05"_s;
    QTest::newRow("27 May, 16:23:59")
        << double(localInstant("2026-05-27 16:23:59")) << u"05/27 16:23"_s;
    QTest::newRow("31 December, 23:59:00")
        << double(localInstant("2026-12-31 23:59:00")) << u"12/31 23:59"_s;
    QTest::newRow("fraction of the last second dropped")
        << double(localInstant("2026-05-27 16:23:59")) + 0.999 << u"05/27 16:23"_s;
    QTest::newRow("zero is now") << 0.0 << u"01/31 10:11"_s;
    QTest::newRow("half a second before the epoch") << -0.5 << u"01/01 00:59"_s;
    QTest::newRow("NaN is not zero: the epoch")
        << std::numeric_limits<double>::quiet_NaN() << u"01/01 01:00"_s;
    QTest::newRow("infinity") << infinity << QString();
    QTest::newRow("minus infinity") << -infinity << QString();
    QTest::newRow("largest double") << std::numeric_limits<double>::max() << QString();
}

void tst_Timestamps::returnTime()
{
    QFETCH(double, seconds);
    QFETCH(QString, stamp);

    testClock.setMoment(localInstant("2026-01-31 10:11:37"));
    const QString text = QString::fromStdString(::returnTime(seconds));
    QVERIFY2(stampShape.match(text).hasMatch(), qPrintable(text));
    if (!stamp.isEmpty())
        QCOMPARE(text, stamp);
}

void tst_Timestamps::getSeconds_data()
{
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("local");

    // The year and the seconds are the clock's. Missing and non-numeric fields read as 0: month 0
    // is last December, day 0 the eve of its 1st.
    const QString winter = u"2026-01-31 10:11:37"_s;
    const QString summer = u"2026-07-15 10:11:37"_s;
    QTest::newRow("full form") << winter << u"05/27 16:23"_s << u"2026-05-27 16:23:37"_s;
    QTest::newRow("single-digit fields") << winter << u"5/7 9:5"_s << u"2026-05-07 09:05:37"_s;
    QTest::newRow("padded fields") << winter << u"05/07 09:05"_s << u"2026-05-07 09:05:37"_s;
    QTest::newRow("leading zeros are not octal")
        << winter << u"08/09 08:09"_s << u"2026-08-09 08:09:37"_s;
    QTest::newRow("April on the 31st") << winter << u"04/15 10:00"_s << u"2026-04-15 10:00:37"_s;
    QTest::newRow("02/30 is 2 March") << winter << u"02/30 10:00"_s << u"2026-03-02 10:00:37"_s;
    QTest::newRow("02/29 of a leap year")
        << u"2024-05-27 10:11:37"_s << u"02/29 10:00"_s << u"2024-02-29 10:00:37"_s;
    QTest::newRow("summer stamp in winter")
        << winter << u"07/15 12:00"_s << u"2026-07-15 12:00:37"_s;
    QTest::newRow("winter stamp in summer")
        << summer << u"01/15 12:00"_s << u"2026-01-15 12:00:37"_s;
    QTest::newRow("autumn's repeated hour")
        << summer << u"10/25 02:30"_s << u"2026-10-25 02:30:37"_s;
    QTest::newRow("empty") << winter << u""_s << u"2025-11-30 00:00:37"_s;
    QTest::newRow("letters") << winter << u"ab/cd ef:gh"_s << u"2025-11-30 00:00:37"_s;
    QTest::newRow("two spaces") << winter << u"05/27  16:23"_s << u"2026-05-27 00:00:37"_s;
}

void tst_Timestamps::getSeconds()
{
    QFETCH(QString, now);
    QFETCH(QString, text);
    QFETCH(QString, local);

    testClock.setMoment(localInstant(qPrintable(now)));
    const double seconds = ::getSeconds(text.toStdString());
    QCOMPARE(seconds, double(localInstant(qPrintable(local))));
    // And back to the same wall-clock time, whatever the season of the clock.
    QCOMPARE(QString::fromStdString(::returnTime(seconds)), local.mid(5, 11).replace(u'-', u'/'));
}

void tst_Timestamps::hugeFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("yearOffset");

    const QString nines(400, u'9');
    QTest::newRow("huge month") << u"99999999999/1 1:1"_s << 0;
    QTest::newRow("every field hugely negative")
        << u"-99999999999/-99999999999 -99999999999:-99999999999"_s << 0;
    QTest::newRow("every field 400 digits")
        << nines + u'/' + nines + u' ' + nines + u':' + nines << 0;
    QTest::newRow("largest year offset") << u"05/27 16:23"_s << std::numeric_limits<int>::max();
    QTest::newRow("smallest year offset") << u"05/27 16:23"_s << std::numeric_limits<int>::min();
}

void tst_Timestamps::hugeFields()
{
    QFETCH(QString, text);
    QFETCH(int, yearOffset);

    testClock.setMoment(localInstant("2026-05-27 10:11:37"));
    const double seconds = ::getSeconds(text.toStdString(), yearOffset);
    QVERIFY(std::isfinite(seconds));
    const QString stamp = QString::fromStdString(::returnTime(seconds));
    QVERIFY2(stampShape.match(stamp).hasMatch(), qPrintable(stamp));
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
    // Positions count characters, not bytes.
    QTest::newRow("two two-byte characters before the slash") << u"éé/7 9:05"_s << true;
    QTest::newRow("three-byte characters before the colon") << u"5/7 €€:05"_s << true;
}

void tst_Timestamps::checkFormat()
{
    QFETCH(QString, text);
    QFETCH(bool, passes);

    QCOMPARE(::checkFormat(text.toStdString()), passes);
}

QTEST_GUILESS_MAIN(tst_Timestamps)
#include "tst_timestamps.moc"
