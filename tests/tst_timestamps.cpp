#include "dateservice.h"
#include "localtime.h"
#include "timestamps.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_Timestamps : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Daylight saving, so that a summer stamp read in winter is exercised.
        QVERIFY(setZone("Europe/Berlin"));
        m_clock.setMoment(localInstant("2026-01-31 10:11:59"));
        Clock::setCurrent(&m_clock);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("local");
        // Year and seconds are the clock's; a missing field reads as 0 (month 0 is last December,
        // day 0 the eve of its 1st). The seconds, 59, are dropped on the way back, not rounded.
        QTest::newRow("full form, summer") << u"05/27 16:23"_s << u"2026-05-27 16:23:59"_s;
        QTest::newRow("single-digit fields") << u"5/7 9:5"_s << u"2026-05-07 09:05:59"_s;
        QTest::newRow("April on the 31st") << u"04/15 10:00"_s << u"2026-04-15 10:00:59"_s;
        QTest::newRow("empty") << u""_s << u"2025-11-30 00:00:59"_s;
    }

    void roundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QString, local);
        const double seconds = ::getSeconds(text.toStdString());
        QCOMPARE(seconds, double(localInstant(qPrintable(local))));
        QCOMPARE(
            QString::fromStdString(::returnTime(seconds)), local.mid(5, 11).replace(u'-', u'/'));
    }

    void zeroIsNow() { QCOMPARE(QString::fromStdString(::returnTime(0)), u"01/31 10:11"_s); }

    void checkFormat_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("passes");
        QTest::newRow("full form") << u"05/27 16:23"_s << true;
        QTest::newRow("single-digit fields") << u"5/7 9:05"_s << true;
        QTest::newRow("text after a second space ignored") << u"12/31 23:59 extra"_s << true;
        QTest::newRow("no digit test") << u"ab/cd ef:gh"_s << true;
        QTest::newRow("empty text") << u""_s << true;
        // Positions count characters, not bytes.
        QTest::newRow("two-byte characters before the slash") << u"éé/7 9:05"_s << true;
        QTest::newRow("slash as 4th character") << u"123/4 5:06"_s << false;
        QTest::newRow("colon as 4th character") << u"05/27 123:4"_s << false;
        QTest::newRow("empty month") << u"//27 16:23"_s << false;
        QTest::newRow("empty day") << u"05/ 16:23"_s << false;
        QTest::newRow("empty minute") << u"05/27 16:"_s << false;
        QTest::newRow("two spaces") << u"05/27  16:23"_s << false;
    }

    void checkFormat()
    {
        QFETCH(QString, text);
        QFETCH(bool, passes);
        QCOMPARE(::checkFormat(text.toStdString()), passes);
    }

private:
    FixedClock m_clock { 0 };
};

QTEST_GUILESS_MAIN(tst_Timestamps)
#include "tst_timestamps.moc"
