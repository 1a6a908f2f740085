#include "dateservice.h"
#include "durations.h"

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

class tst_Durations : public QObject
{
    Q_OBJECT

private slots:
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
        qputenv("TZ", "UTC");
        tzset();
        QCOMPARE(
            QString::fromStdString(::totalText(start.toStdString(), finish.toStdString())), total);
        QCOMPARE(::runsBackwards(start.toStdString(), finish.toStdString(), Date()), backwards);
        // Under an hour the minutes are rounded.
        QCOMPARE(QString::fromStdString(::durationText(0, 59.99 * 60)), u"1' 0\""_s);
    }
};

QTEST_GUILESS_MAIN(tst_Durations)
#include "tst_durations.moc"
