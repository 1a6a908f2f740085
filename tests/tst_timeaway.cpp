#include "dateservice.h"
#include "timeaway.h"
#include "timestamps.h"

#include <QTest>

using Samples = std::vector<IdleSample>;
Q_DECLARE_METATYPE(Samples)

// Wall-clock readings count from here; the steady clock from 0.
constexpr double wall = 1'800'000'000;

class tst_TimeAway : public QObject
{
    Q_OBJECT
private slots:
    // Samples are wall, steady and idle seconds; the threshold is 15 minutes.
    void watch_data()
    {
        QTest::addColumn<Samples>("samples");
        QTest::addColumn<QByteArray>("span"); // the last one told, from the first wall reading
        const auto row = [](const char *tag, const Samples &samples, const QByteArray &span) {
            QTest::newRow(tag) << samples << span;
        };
        const IdleSample idle { wall, 0, 100 }, away { wall + 900, 900, 1000 };
        row("away, then a key", { idle, away, { wall + 905, 905, 2 } }, "-100..903");
        row("idle short of the threshold",
            { idle, { wall + 700, 700, 800 }, { wall + 705, 705, 2 } }, "none");
        row("input between two looks starts the idle afresh",
            { { wall, 0, 800 }, { wall + 60, 60, 30 }, { wall + 950, 950, 920 },
                { wall + 955, 955, 1 } },
            "30..954");
        // The idle counter stands still while the machine sleeps; the steady clock does not.
        row("a suspend is time away",
            { idle, { wall + 7500, 7500, 110 }, { wall + 7505, 7505, 2 } }, "-100..7503");
        row("a clock set back an hour", { idle, away, { wall + 905 - 3600, 905, 2 } },
            "-3700..-2697");
    }

    void watch()
    {
        QFETCH(Samples, samples);
        QFETCH(QByteArray, span);
        for (const double threshold : { 900.0, 0.0 }) { // none told with no threshold
            AwayWatch watcher;
            std::optional<AwaySpan> last;
            for (const IdleSample &sample : samples)
                last = watcher.next(sample, threshold);
            QCOMPARE(last ? QByteArray::number(last->beginSeconds - wall) + ".."
                        + QByteArray::number(last->endSeconds - wall)
                          : "none",
                threshold > 0 ? span : "none");
        }
    }

    // Away from 14:02:40 to 14:47:10 on 27 May: 45 minutes, as the clock shows them.
    void rows_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("finish");
        QTest::addColumn<QByteArray>("startWithout");
        const auto row = [](const char *tag, QByteArray start, QByteArray finish, QByteArray new_) {
            QTest::newRow(tag) << start << finish << new_;
        };
        row("started the minute the away began", "05/27 14:02", "", "05/27 14:47");
        row("running since the day before", "05/26 23:30", "", "05/27 00:15");
        row("started after it began", "05/27 14:03", "", "");
        row("stopped", "05/27 13:30", "05/27 14:10", "");
        row("Start not a time stamp", "soon", "", "");
    }

    void rows()
    {
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, finish);
        QFETCH(QByteArray, startWithout);
        const FixedClock clock(1'779'883'217); // 27 May 2026, noon UTC and 17 seconds
        Clock::setCurrent(&clock);
        const Date now;
        // getSeconds adds the seconds of now, which the rules must not count.
        const auto at = [&](const char *stamp, int second) {
            return getSeconds(stamp, now) - now.Second() + second;
        };
        const AwaySpan span { at("05/27 14:02", 40), at("05/27 14:47", 10) };
        // A continued row keeps its Total while it runs.
        const bool ran
            = ranThrough({ start.toStdString(), finish.toStdString(), "0' 10\"" }, span, now);
        QCOMPARE(
            ran ? ::startWithout(start.toStdString(), span, now) : "", startWithout.toStdString());
        QCOMPARE(awayQuestion(span, 2),
            std::string("You were away from 14:02 to 14:47 (45 minutes) while 2 projects ran."));
        QCOMPARE(awayQuestion({ span.beginSeconds, span.beginSeconds + 30 }, 1),
            std::string("You were away from 14:02 to 14:03 (1 minute) while 1 project ran."));
        Clock::setCurrent(nullptr);
    }
};

QTEST_GUILESS_MAIN(tst_TimeAway)
#include "tst_timeaway.moc"
