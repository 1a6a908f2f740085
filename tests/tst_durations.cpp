#include "dateservice.h"
#include "durations.h"
#include "localtime.h"

#include <QTest>

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
    void initTestCase()
    {
        // Daylight saving, so that a period across a change is exercised.
        QVERIFY(setZone("Europe/Berlin"));
        Clock::setCurrent(&m_clock);
    }

    void totalText_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("finish");
        QTest::addColumn<QString>("total");
        QTest::newRow("exactly an hour") << u"05/27 16:23"_s << u"05/27 17:23"_s << u"1' 0\""_s;
        QTest::newRow("125 minutes") << u"05/27 09:00"_s << u"05/27 11:05"_s << u"2' 5\""_s;
        QTest::newRow("a day back") << u"05/27 09:00"_s << u"05/26 09:00"_s << u"0' -1440\""_s;
        QTest::newRow("across New Year") << u"12/31 23:50"_s << u"01/01 00:20"_s << u"0' 30\""_s;
        QTest::newRow("New Year, loose") << u"11/30 10:00"_s << u"2/1 10:00"_s << u"1512' 0\""_s;
        // An empty Finish reads as month 0 of this year, and is no January of the next.
        QTest::newRow("no Finish is not New Year")
            << u"12/31 23:50"_s << u""_s << u"0' -571670\""_s;
        // The hours that passed, not those the wall clock shows.
        QTest::newRow("across the autumn change")
            << u"10/25 01:30"_s << u"10/25 03:30"_s << u"3' 0\""_s;
    }

    void totalText()
    {
        QFETCH(QString, start);
        QFETCH(QString, finish);
        QFETCH(QString, total);
        // The clock ticks into the next year between its reads, and its seconds are not 0:
        // neither may show in a Total.
        m_clock.m_next = localInstant("2026-12-31 23:59:59");
        QCOMPARE(
            QString::fromStdString(::totalText(start.toStdString(), finish.toStdString())), total);
    }

    void durationText_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("finish");
        QTest::addColumn<QString>("text");
        QTest::newRow("59.99 minutes round to an hour") << 0.0 << 59.99 * 60 << u"1' 0\""_s;
        QTest::newRow("a day back and a second") << 86401.0 << 0.0 << u"0' -1440\""_s;
    }

    void durationText()
    {
        QFETCH(double, start);
        QFETCH(double, finish);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(::durationText(start, finish)), text);
    }

private:
    SteppingClock m_clock;
};

QTEST_GUILESS_MAIN(tst_Durations)
#include "tst_durations.moc"
