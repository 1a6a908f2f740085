#include "dateservice.h"
#include "localtime.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_DateService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(setZone("Europe/Berlin")); }

    void fields_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QList<int>>("monthDayHourMinute");
        QTest::addColumn<QString>("normalised");
        // Set one by one on 31 January 2026, 10:11:37, winter time. Instants are plain numbers, so
        // that no expected value comes from the C library; a null one is held far out on its side.
        const double now = 1769850697;
        const QList<int> none;
        QTest::newRow("April on the 31st, then the 15th")
            << now << QList { 4, 15, 10, 0 } << u"2026-04-15 10:00:37"_s;
        QTest::newRow("30 February") << now << QList { 2, 30, 10, 0 } << u"2026-03-02 10:00:37"_s;
        QTest::newRow("month 13") << now << QList { 13, 1, 0, 0 } << u"2027-01-01 00:00:37"_s;
        QTest::newRow("summer date set in winter")
            << now << QList { 7, 15, 12, 0 } << u"2026-07-15 12:00:37"_s;
        QTest::newRow("fraction dropped") << 1779891839.999 << none << u"2026-05-27 16:23:59"_s;
        QTest::newRow("NaN is the epoch") << qQNaN() << none << u"1970-01-01 01:00:00"_s;
        QTest::newRow("infinity") << qInf() << none << QString();
        QTest::newRow("beyond an int year, negative") << -1e17 << none << QString();
    }

    void fields()
    {
        QFETCH(double, seconds);
        QFETCH(QList<int>, monthDayHourMinute);
        QFETCH(QString, normalised);
        Date date;
        date.setTotalSeconds(seconds);
        if (!monthDayHourMinute.isEmpty()) {
            date.setMonth(monthDayHourMinute[0]);
            date.setDay(monthDayHourMinute[1]);
            date.setHour(monthDayHourMinute[2]);
            date.setMinute(monthDayHourMinute[3]);
        }
        // Reading TotalSeconds normalises, and setting it gives back the same fields.
        date.setTotalSeconds(date.TotalSeconds());
        const QString text = QString::asprintf("%d-%02d-%02d %02d:%02d:%02d", date.Year(),
            date.Month(), date.Day(), date.Hour(), date.Minute(), date.Second());
        if (normalised.isNull())
            QVERIFY2(
                seconds > 0 ? date.Year() > 100'000 : date.Year() < -100'000, qPrintable(text));
        else
            QCOMPARE(text, normalised);
    }
};

QTEST_GUILESS_MAIN(tst_DateService)
#include "tst_dateservice.moc"
