#include "dateservice.h"

#include <QTest>
#include <ctime>

using namespace Qt::StringLiterals;

class tst_DateService : public QObject
{
    Q_OBJECT

private slots:
    // Nothing is normalised until TotalSeconds is read, which decides daylight saving for the
    // date itself: April set on 31 January, then the 15th, is 15 April, in summer time. A
    // fraction of a second is dropped.
    void normalisedWhenRead()
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

QTEST_GUILESS_MAIN(tst_DateService)
#include "tst_dateservice.moc"
