#include "backups.h"

#include <QTest>

using std::chrono::sys_days;
using std::chrono::year_month_day;

namespace {

year_month_day dateOf(const QString &text)
{
    const QStringList parts = text.split(u'-');
    return { std::chrono::year { parts[0].toInt() }, std::chrono::month { parts[1].toUInt() },
        std::chrono::day { parts[2].toUInt() } };
}

std::vector<year_month_day> datesOf(const QString &texts)
{
    std::vector<year_month_day> result;
    for (const QString &text : texts.split(u' ', Qt::SkipEmptyParts))
        result.push_back(dateOf(text));
    return result;
}

// Every day from first to last.
QString dailyFrom(const QString &first, const QString &last)
{
    QStringList texts;
    for (sys_days each { dateOf(first) }; each <= sys_days { dateOf(last) };
         each += std::chrono::days { 1 }) {
        const year_month_day date { each };
        texts << QString::asprintf(
            "%d-%02u-%02u", int(date.year()), unsigned(date.month()), unsigned(date.day()));
    }
    return texts.join(u' ');
}

} // namespace

class tst_Backups : public QObject
{
    Q_OBJECT
private slots:
    // On Wednesday 2026-05-27: the last 7 days are 05-21 to 05-27, the 4 weeks before run from
    // Thursday 04-23 to 05-20, and the 12 months before from May 2025 to April 2026.
    void backupsToKeep_data()
    {
        QTest::addColumn<QString>("today");
        QTest::addColumn<QString>("backups");
        QTest::addColumn<QString>("kept");
        // Enough recent backups that the newest, always kept, are all of the last 7 days.
        const QString lastWeek = dailyFrom(u"2026-05-21"_qs, u"2026-05-27"_qs);
        QTest::newRow("daily for 40 days: every day of the last 7, a Sunday ends each week")
            << "2026-05-27" << dailyFrom(u"2026-04-18"_qs, u"2026-05-27"_qs)
            << "2026-04-22 2026-04-26 2026-05-03 2026-05-10 2026-05-17 2026-05-20 "
               "2026-05-21 2026-05-22 2026-05-23 2026-05-24 2026-05-25 2026-05-26 2026-05-27";
        QTest::newRow("the newest of a month, 12 months back")
            << "2026-05-27"
            << "2025-04-30 2025-05-01 2025-05-31 2025-12-24 2026-04-01 2026-04-22 2026-04-23 "
                + lastWeek
            << "2025-05-31 2025-12-24 2026-04-22 2026-04-23 " + lastWeek;
        QTest::newRow("a day after today is kept, in the order given")
            << "2026-05-27"
            << "2026-06-01 2026-05-27 2026-05-19 2026-05-20 " + lastWeek
            << "2026-06-01 2026-05-27 2026-05-20 " + lastWeek;
        QTest::newRow("across a new year")
            << "2027-01-06"
            << "2025-12-31 2026-01-01 2026-12-27 2026-12-28 2026-12-30 "
                + dailyFrom(u"2027-01-01"_qs, u"2027-01-06"_qs)
            << "2026-01-01 2026-12-27 2026-12-30 " + dailyFrom(u"2027-01-01"_qs, u"2027-01-06"_qs);
        QTest::newRow("a clock set two years ahead keeps the newest seven")
            << "2028-06-01" << dailyFrom(u"2026-05-10"_qs, u"2026-05-20"_qs) + " 2028-06-01"
            << dailyFrom(u"2026-05-15"_qs, u"2026-05-20"_qs) + " 2028-06-01";
    }

    void backupsToKeep()
    {
        QFETCH(QString, today);
        QFETCH(QString, backups);
        QFETCH(QString, kept);
        QCOMPARE(::backupsToKeep(datesOf(backups), dateOf(today)), datesOf(kept));
    }
};

QTEST_APPLESS_MAIN(tst_Backups)
#include "tst_backups.moc"
