#include "dateservice.h"
#include "durations.h"
#include "timestamps.h"

#include <QTest>
#include <ctime>

using namespace Qt::StringLiterals;

// A second later at each read, as the real clock can be between two reads of one handler.
class SteppingClock final : public Clock
{
public:
    std::time_t now() const override { return m_next++; }
    mutable std::time_t m_next = 0;
};

// Time stamp texts, the Totals between two of them, and the date they are read against.
class tst_Timestamps : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        qputenv("TZ", "UTC");
        tzset();
    }

    void stamps_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("readBack");
        QTest::addColumn<bool>("wellShaped");
        // The clock's 59 seconds are dropped, not rounded; a missing field reads as 0: month 0 is
        // last December, day 0 the eve of its 1st.
        QTest::newRow("full form") << u"05/27 16:23"_s << u"05/27 16:23"_s << true;
        QTest::newRow("single-digit fields") << u"5/7 9:5"_s << u"05/07 09:05"_s << true;
        QTest::newRow("empty") << u""_s << u"11/30 00:00"_s << true;
        QTest::newRow("positions in characters, not bytes")
            << u"éé/7 9:05"_s << u"12/07 09:05"_s << true;
        QTest::newRow("slash as 4th character") << u"123/4 5:06"_s << u"03/04 05:06"_s << false;
        QTest::newRow("colon as 4th character") << u"05/27 123:4"_s << u"06/01 03:04"_s << false;
        QTest::newRow("empty month") << u"/5/7 16:23"_s << u"12/05 16:23"_s << false;
        QTest::newRow("empty day") << u"05/ 16:23"_s << u"04/30 16:23"_s << false;
        QTest::newRow("no time") << u"05/27"_s << u"05/27 00:00"_s << false;
        QTest::newRow("empty minute") << u"05/27 16:"_s << u"05/27 16:00"_s << false;
        QTest::newRow("two spaces") << u"05/27  16:23"_s << u"05/27 00:00"_s << false;
    }

    void stamps()
    {
        QFETCH(QString, text);
        QFETCH(QString, readBack);
        QFETCH(bool, wellShaped);
        static const FixedClock clock { 1769854319 }; // 31 January 2026, 10:11:59 UTC
        Clock::setCurrent(&clock);
        QCOMPARE(QString::fromStdString(::returnTime(::getSeconds(text.toStdString()))), readBack);
        QCOMPARE(::checkFormat(text.toStdString()), wellShaped);
    }

    void totalText_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("finish");
        QTest::addColumn<QString>("total");
        QTest::addColumn<bool>("backwards"); // what the edit dialog refuses
        QTest::newRow("a day back")
            << u"05/27 09:00"_s << u"05/26 09:00"_s << u"0' -1440\""_s << true;
        QTest::newRow("a minute back")
            << u"05/27 09:00"_s << u"05/27 08:59"_s << u"0' -1\""_s << true;
        QTest::newRow("no time at all")
            << u"05/27 09:00"_s << u"5/27 9:0"_s << u"0' 0\""_s << false;
        QTest::newRow("across New Year, loose")
            << u"11/30 10:00"_s << u"2/1 10:05"_s << u"1512' 5\""_s << false;
        // Letters read as month 0 of this year, which is no January of the next.
        QTest::newRow("letters for a Finish are not New Year")
            << u"01/01 00:20"_s << u"ab/cd ef:gh"_s << u"0' -46100\""_s << true;
        // An empty Finish reads as month 0 too; but then the row gets no new Total to refuse.
        QTest::newRow("no Finish is not New Year")
            << u"12/31 23:50"_s << u""_s << u"0' -571670\""_s << false;
    }

    void totalText()
    {
        QFETCH(QString, start);
        QFETCH(QString, finish);
        QFETCH(QString, total);
        QFETCH(bool, backwards);
        // Ticking into 2027 between its reads, at 59 seconds: neither may show in a Total.
        static SteppingClock clock;
        clock.m_next = 1798761599; // 31 December 2026, 23:59:59 UTC
        Clock::setCurrent(&clock);
        QCOMPARE(
            QString::fromStdString(::totalText(start.toStdString(), finish.toStdString())), total);
        QCOMPARE(::runsBackwards(start.toStdString(), finish.toStdString(), Date()), backwards);
        // Under an hour the minutes are rounded.
        QCOMPARE(QString::fromStdString(::durationText(0, 59.99 * 60)), u"1' 0\""_s);
    }

    // Nothing is normalised until TotalSeconds is read, which decides daylight saving for the
    // date itself: April set on 31 January, then the 15th, is 15 April, in summer time. A
    // fraction of a second is dropped.
    void dateNormalisedWhenRead()
    {
        qputenv("TZ", "Europe/Berlin");
        tzset();
        Date date;
        date.setTotalSeconds(1769850697.999); // 31 January 2026, 10:11:37, winter time
        date.setMonth(4);
        date.setDay(15);
        date.setTotalSeconds(date.TotalSeconds());
        QCOMPARE(QString::asprintf("%d-%02d-%02d %02d:%02d:%02d", date.Year(), date.Month(),
                     date.Day(), date.Hour(), date.Minute(), date.Second()),
            u"2026-04-15 10:11:37"_s);
    }
};

QTEST_GUILESS_MAIN(tst_Timestamps)
#include "tst_timestamps.moc"
