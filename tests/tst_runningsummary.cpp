#include "dateservice.h"
#include "runningsummary.h"

#include <QTest>
#include <ctime>

using namespace Qt::StringLiterals;

// The status icon's texts and menu from rows joined with ',', their cells with '|'.
class tst_RunningSummary : public QObject
{
    Q_OBJECT

private slots:
    void summary_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<qint64>("now");
        QTest::addColumn<QString>("toolTip");
        // The Stop entries as "row:text", then the rest of the menu by command.
        QTest::addColumn<QString>("menu");
        const qint64 may27 = 1779873959; // 27 May 2026, 09:25:59 UTC
        const QString rest = u"all:Stop All,show:Show Tally Fox,quit:Quit"_s;
        const QString stopped = u"done|05/27 08:00|05/27 09:00|1' 0\""_s;
        QTest::newRow("new and stopped rows only")
            << u"new,"_s + stopped << may27 << u"Nothing running"_s << rest;
        // The seconds of now do not round the minutes up: the Total would not either.
        QTest::newRow("one running below a stopped one")
            << stopped + u",Client letter|05/27 08:00"_s << may27 << u"Client letter: 1' 25\""_s
            << u"1:Stop Client letter,"_s + rest;
        QTest::newRow("a Total without a Finish still runs")
            << u"t|05/27 09:20||0' 10\""_s << may27 << u"t: 0' 5\""_s << u"0:Stop t,"_s + rest;
        QTest::newRow("running since before New Year")
            << u"late|12/31 23:50"_s << qint64(1798762200) << u"late: 0' 20\""_s
            << u"0:Stop late,"_s + rest;
        QTest::newRow("markup and mnemonics in a name stay as typed")
            << u"<b> & \"x\" 'y'|05/27 09:00"_s << may27 << u"<b> & \"x\" 'y': 0' 25\""_s
            << u"0:Stop <b> & \"x\" 'y',"_s + rest;
        QStringList rows;
        QStringList tips;
        QStringList stops;
        for (int row = 0; row < 11; ++row) {
            rows << u"p%1|05/27 09:%2"_s.arg(row).arg(10 + row);
            tips << u"p%1: 0' %2\""_s.arg(row).arg(15 - row);
            stops << u"%1:Stop p%1"_s.arg(row);
        }
        QTest::newRow("eleven running: all in the tooltip, ten in the menu")
            << rows.join(u',') << may27 << tips.join(u'\n') << (stops.first(10) << rest).join(u',');
    }

    void summary()
    {
        QFETCH(QString, rows);
        QFETCH(qint64, now);
        QFETCH(QString, toolTip);
        QFETCH(QString, menu);
        qputenv("TZ", "UTC");
        tzset();
        FixedClock clock(static_cast<std::time_t>(now));
        Clock::setCurrent(&clock);
        std::vector<ListRow> listRows;
        for (const QString &row : rows.split(u',', Qt::SkipEmptyParts))
            listRows.push_back(ListRow::fromLine(QString(row).replace(u'|', u'\t').toStdString()));
        const RunningSummary summary = runningSummary(listRows, Date());
        Clock::setCurrent(nullptr);
        QCOMPARE(QString::fromStdString(summary.toolTip), toolTip);
        QCOMPARE(summary.running, toolTip != u"Nothing running"_s);
        const QStringList commands { {}, u"all:"_s, u"show:"_s, u"quit:"_s };
        QStringList entries;
        for (const RunningSummary::Entry &entry : summary.menu) {
            const bool stop = entry.command == RunningSummary::Entry::Command::Stop;
            entries << (stop ? QString::number(entry.row) + u':' : commands.at(int(entry.command)))
                    + QString::fromStdString(entry.text);
        }
        QCOMPARE(entries.join(u','), menu);
    }
};

QTEST_GUILESS_MAIN(tst_RunningSummary)
#include "tst_runningsummary.moc"
