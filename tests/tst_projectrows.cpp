#include "dateservice.h"
#include "localtime.h"
#include "projectrows.h"

#include <QTest>
#include <cstdlib>
#include <ctime>
#include <string>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(RowState)
Q_DECLARE_METATYPE(ButtonStates)

// Lets QCOMPARE print both sides of a mismatch; found by argument-dependent lookup.
char *toString(const ButtonStates &states)
{
    const std::string text = std::string(states.startCaption)
        + (states.startEnabled ? " on, Stop " : " off, Stop ")
        + (states.stopEnabled ? "on" : "off");
    return qstrdup(text.c_str());
}

namespace {

FixedClock testClock { 0 };

} // namespace

class tst_ProjectRows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rowRules_data();
    void rowRules();
    void buttonsWithoutSelection();
    void continuedStartText_data();
    void continuedStartText();
};

void tst_ProjectRows::initTestCase()
{
    // No daylight saving here: these rules only add and subtract whole minutes.
    QVERIFY(setZone("UTC"));
    Clock::setCurrent(&testClock);
}

void tst_ProjectRows::rowRules_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("finish");
    QTest::addColumn<QString>("total");
    QTest::addColumn<RowState>("state");
    QTest::addColumn<bool>("running");
    QTest::addColumn<ButtonStates>("buttons");

    using enum RowState;
    const QString none;
    const QString start = u"05/27 09:00"_s;
    const QString finish = u"05/27 09:45"_s;
    const QString total = u"0' 45\""_s;
    const ButtonStates offerStart { "Start", true, false };
    const ButtonStates offerContinue { "Continue", true, false };
    const ButtonStates offerStop { "Continue", false, true };
    const ButtonStates offerBoth { "Continue", true, true };
    QTest::newRow("new") << none << none << none << New << false << offerStart;
    QTest::newRow("Total") << none << none << total << Incomplete << false << offerStart;
    QTest::newRow("Finish") << none << finish << none << Incomplete << false << offerStart;
    QTest::newRow("Finish, Total") << none << finish << total << Incomplete << false << offerStart;
    QTest::newRow("running") << start << none << none << Running << true << offerStop;
    QTest::newRow("Start, Total") << start << none << total << Incomplete << true << offerContinue;
    QTest::newRow("Start, Finish") << start << finish << none << Incomplete << false << offerBoth;
    QTest::newRow("stopped") << start << finish << total << Stopped << false << offerContinue;
}

void tst_ProjectRows::rowRules()
{
    QFETCH(QString, start);
    QFETCH(QString, finish);
    QFETCH(QString, total);
    QFETCH(RowState, state);
    QFETCH(bool, running);
    QFETCH(ButtonStates, buttons);

    const std::string cells[] = { start.toStdString(), finish.toStdString(), total.toStdString() };
    const RowTimes row { cells[0], cells[1], cells[2] };
    QCOMPARE(rowState(row), state);
    QCOMPARE(isRunning(row), running);
    QCOMPARE(buttonStates(row), buttons);
}

void tst_ProjectRows::buttonsWithoutSelection()
{
    QCOMPARE(buttonStates(std::nullopt), (ButtonStates { "Start", false, false }));
}

void tst_ProjectRows::continuedStartText_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("finish");
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("continuedStart");

    QTest::newRow("45 minutes continued at 14:10:20")
        << u"05/27 09:00"_s << u"05/27 09:45"_s << u"2026-05-27 14:10:20"_s << u"05/27 13:25"_s;
    QTest::newRow("no time recorded continues from now")
        << u"05/27 09:00"_s << u"05/27 09:00"_s << u"2026-05-27 14:10:20"_s << u"05/27 14:10"_s;
    // In a leap year, so that reading the Start in the wrong year shows.
    QTest::newRow("recorded across New Year")
        << u"12/31 23:30"_s << u"01/01 00:15"_s << u"2024-03-05 10:00:00"_s << u"03/05 09:15"_s;
    QTest::newRow("continued start in the year before")
        << u"05/27 09:00"_s << u"05/27 11:00"_s << u"2026-01-01 01:00:00"_s << u"12/31 23:00"_s;
    QTest::newRow("edited Finish before Start")
        << u"05/27 10:00"_s << u"05/27 09:00"_s << u"2026-05-27 14:10:20"_s << u"05/27 15:10"_s;
}

void tst_ProjectRows::continuedStartText()
{
    QFETCH(QString, start);
    QFETCH(QString, finish);
    QFETCH(QString, now);
    QFETCH(QString, continuedStart);

    const double nowSeconds = static_cast<double>(localInstant(qPrintable(now)));
    testClock.setMoment(static_cast<std::time_t>(nowSeconds));
    const std::string text
        = ::continuedStartText(start.toStdString(), finish.toStdString(), nowSeconds);
    QCOMPARE(QString::fromStdString(text), continuedStart);
}

QTEST_GUILESS_MAIN(tst_ProjectRows)
#include "tst_projectrows.moc"
