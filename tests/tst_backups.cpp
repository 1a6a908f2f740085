#include "backups.h"

#include <QDate>
#include <QTest>

using namespace std::chrono;

namespace {

// Dates such as "2026-05-27", or "2026-05-21..2026-05-27" for every day from the first to the last.
std::vector<year_month_day> datesOf(const QString &texts)
{
    std::vector<year_month_day> result;
    for (const QString &text : texts.split(u' ', Qt::SkipEmptyParts))
        for (QDate date = QDate::fromString(text.first(10), Qt::ISODate);
             date <= QDate::fromString(text.last(10), Qt::ISODate); date = date.addDays(1))
            result.push_back({ year { date.year() }, month { unsigned(date.month()) },
                day { unsigned(date.day()) } });
    return result;
}

} // namespace

class tst_Backups : public QObject
{
    Q_OBJECT
private slots:
    // On Wednesday 2026-05-27: the last 7 days are 05-21..05-27, the 4 weeks before 04-23..05-20,
    // the 12 months before May 2025..April 2026; the newest 7, always kept, are the last 7 days.
    void backupsToKeep_data()
    {
        QTest::addColumn<QString>("today");
        QTest::addColumn<QString>("backups");
        QTest::addColumn<QString>("kept");
        const auto row
            = [](const char *tag, const QString &today, const QString &backups,
                  const QString &kept) { QTest::newRow(tag) << today << backups << kept; };
        row("daily for 40 days: every day of the last 7, a Sunday ends each week", "2026-05-27",
            "2026-04-18..2026-05-27",
            "2026-04-22 2026-04-26 2026-05-03 2026-05-10 2026-05-17 2026-05-20..2026-05-27");
        row("the newest of a month, 12 months back", "2026-05-27",
            "2025-04-30 2025-05-01 2025-05-31 2025-12-24 2026-04-01 2026-04-22 2026-04-23 "
            "2026-05-21..2026-05-27",
            "2025-05-31 2025-12-24 2026-04-22 2026-04-23 2026-05-21..2026-05-27");
        row("a day after today is kept, in the order given", "2026-05-27",
            "2026-06-01 2026-05-27 2026-05-19 2026-05-20 2026-05-21..2026-05-27",
            "2026-06-01 2026-05-27 2026-05-20 2026-05-21..2026-05-27");
        row("across a new year", "2027-01-06",
            "2025-12-31 2026-01-01 2026-12-27 2026-12-28 2026-12-30 2027-01-01..2027-01-06",
            "2026-01-01 2026-12-27 2026-12-30 2027-01-01..2027-01-06");
        row("a clock set two years ahead keeps the newest seven", "2028-06-01",
            "2026-05-10..2026-05-20 2028-06-01", "2026-05-15..2026-05-20 2028-06-01");
    }

    void backupsToKeep()
    {
        QFETCH(QString, today);
        QFETCH(QString, backups);
        QFETCH(QString, kept);
        QCOMPARE(::backupsToKeep(datesOf(backups), datesOf(today).front()), datesOf(kept));
    }
};

QTEST_APPLESS_MAIN(tst_Backups)
#include "tst_backups.moc"
