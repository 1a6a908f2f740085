#include "dateservice.h"
#include "localtime.h"
#include "timestamps.h"

#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_Timestamps : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A zone with daylight saving, so that stamps on either side of a change are exercised.
        QVERIFY(setZone("Europe/Berlin"));
        Clock::setCurrent(&m_clock);
    }

    void returnTime_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("stamp");

        // Read at 31 January 2026, 10:11:37. Without a stamp any text of the right shape will do.
        QTest::newRow("3 January, 09:05:40")
            << double(localInstant("2026-01-03 09:05:40")) << u"01/03 09:05"_s;
        QTest::newRow("27 May, 16:23:59")
            << double(localInstant("2026-05-27 16:23:59")) << u"05/27 16:23"_s;
        QTest::newRow("31 December, 23:59:00")
            << double(localInstant("2026-12-31 23:59:00")) << u"12/31 23:59"_s;
        QTest::newRow("zero is now") << 0.0 << u"01/31 10:11"_s;
        QTest::newRow("NaN is not zero: the epoch") << qQNaN() << u"01/01 01:00"_s;
        QTest::newRow("infinity") << qInf() << QString();
        QTest::newRow("minus infinity") << -qInf() << QString();
    }

    void returnTime()
    {
        QFETCH(double, seconds);
        QFETCH(QString, stamp);

        m_clock.setMoment(localInstant("2026-01-31 10:11:37"));
        checkStamp(QString::fromStdString(::returnTime(seconds)), stamp);
    }

    void getSeconds_data()
    {
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("local");

        // Year and seconds are the clock's; missing and non-numeric fields read as 0 (month 0 is
        // last December, day 0 the eve of its 1st). No local time: any stamp of the right shape.
        const QString winter = u"2026-01-31 10:11:37"_s;
        const QString summer = u"2026-07-15 10:11:37"_s;
        const auto everyField = [](const QString &n) { return n + u'/' + n + u' ' + n + u':' + n; };
        QTest::newRow("full form") << winter << u"05/27 16:23"_s << u"2026-05-27 16:23:37"_s;
        QTest::newRow("single-digit fields") << winter << u"5/7 9:5"_s << u"2026-05-07 09:05:37"_s;
        QTest::newRow("not octal") << winter << u"08/09 08:09"_s << u"2026-08-09 08:09:37"_s;
        QTest::newRow("on the 31st") << winter << u"04/15 10:00"_s << u"2026-04-15 10:00:37"_s;
        QTest::newRow("02/30 is 2 March") << winter << u"02/30 10:00"_s << u"2026-03-02 10:00:37"_s;
        QTest::newRow("summer in winter") << winter << u"07/15 12:00"_s << u"2026-07-15 12:00:37"_s;
        QTest::newRow("winter in summer") << summer << u"01/15 12:00"_s << u"2026-01-15 12:00:37"_s;
        QTest::newRow("empty") << winter << u""_s << u"2025-11-30 00:00:37"_s;
        QTest::newRow("letters") << winter << u"ab/cd ef:gh"_s << u"2025-11-30 00:00:37"_s;
        QTest::newRow("two spaces") << winter << u"05/27  16:23"_s << u"2026-05-27 00:00:37"_s;
        QTest::newRow("huge month") << winter << u"99999999999/1 1:1"_s << QString();
        QTest::newRow("hugely negative") << winter << everyField(u"-99999999999"_s) << QString();
        QTest::newRow("400 digits each") << winter << everyField(QString(400, u'9')) << QString();
    }

    void getSeconds()
    {
        QFETCH(QString, now);
        QFETCH(QString, text);
        QFETCH(QString, local);

        m_clock.setMoment(localInstant(qPrintable(now)));
        const double seconds = ::getSeconds(text.toStdString());
        QVERIFY(qIsFinite(seconds));
        if (!local.isNull())
            QCOMPARE(seconds, double(localInstant(qPrintable(local))));
        // And back to the same wall-clock time, whatever the season of the clock.
        checkStamp(
            QString::fromStdString(::returnTime(seconds)), local.mid(5, 11).replace(u'-', u'/'));
    }

    void checkFormat_data()
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
        // Positions count characters, not bytes.
        QTest::newRow("two-byte characters before the slash") << u"éé/7 9:05"_s << true;
    }

    void checkFormat()
    {
        QFETCH(QString, text);
        QFETCH(bool, passes);

        QCOMPARE(::checkFormat(text.toStdString()), passes);
    }

private:
    // Every field in its range, not only 11 characters: a wrapped or negative hour would still
    // have two. A null expected text checks only that shape.
    static void checkStamp(const QString &text, const QString &expected)
    {
        static const QRegularExpression shape(
            u"^(0[1-9]|1[0-2])/(0[1-9]|[12]\\d|3[01]) ([01]\\d|2[0-3]):[0-5]\\d$"_s);
        QVERIFY2(shape.match(text).hasMatch(), qPrintable(text));
        if (!expected.isNull())
            QCOMPARE(text, expected);
    }

    FixedClock m_clock { 0 };
};

QTEST_GUILESS_MAIN(tst_Timestamps)
#include "tst_timestamps.moc"
