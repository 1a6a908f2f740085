#include "dateservice.h"
#include "timestamps.h"

#include <QTest>
#include <ctime>

using namespace Qt::StringLiterals;

class tst_Timestamps : public QObject
{
    Q_OBJECT

private slots:
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
        static FixedClock clock { 1769854319 }; // 31 January 2026, 10:11:59 UTC
        Clock::setCurrent(&clock);
        qputenv("TZ", "UTC");
        tzset();
        QCOMPARE(QString::fromStdString(::returnTime(::getSeconds(text.toStdString()))), readBack);
        QCOMPARE(::checkFormat(text.toStdString()), wellShaped);
    }
};

QTEST_GUILESS_MAIN(tst_Timestamps)
#include "tst_timestamps.moc"
