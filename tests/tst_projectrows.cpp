#include "dateservice.h"
#include "localtime.h"
#include "projectrows.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(RowTimes)
Q_DECLARE_METATYPE(RowState)
Q_DECLARE_METATYPE(ButtonStates)

class tst_ProjectRows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(setZone("UTC"));
        Clock::setCurrent(&m_clock);
    }

    void rowRules_data()
    {
        QTest::addColumn<RowTimes>("row");
        QTest::addColumn<RowState>("state");
        QTest::addColumn<bool>("running");
        QTest::addColumn<ButtonStates>("buttons");

        using enum RowState;
        const char *s = "05/27 09:00";
        const char *f = "05/27 09:45";
        const char *t = "0' 45\"";
        const ButtonStates offerStart { "Start", true, false };
        const ButtonStates offerContinue { "Continue", true, false };
        QTest::newRow("new") << RowTimes { "", "", "" } << New << false << offerStart;
        QTest::newRow("T") << RowTimes { "", "", t } << Incomplete << false << offerStart;
        QTest::newRow("F") << RowTimes { "", f, "" } << Incomplete << false << offerStart;
        QTest::newRow("F, T") << RowTimes { "", f, t } << Incomplete << false << offerStart;
        QTest::newRow("running") << RowTimes { s, "", "" } << Running << true
                                 << ButtonStates { "Continue", false, true };
        QTest::newRow("S, T") << RowTimes { s, "", t } << Incomplete << true << offerContinue;
        QTest::newRow("S, F") << RowTimes { s, f, "" } << Incomplete << false
                              << ButtonStates { "Continue", true, true };
        QTest::newRow("stopped") << RowTimes { s, f, t } << Stopped << false << offerContinue;
    }

    void rowRules()
    {
        QFETCH(RowTimes, row);
        QFETCH(RowState, state);
        QFETCH(bool, running);
        QFETCH(ButtonStates, buttons);

        QCOMPARE(rowState(row), state);
        QCOMPARE(isRunning(row), running);
        QCOMPARE(buttonStates(row), buttons);
    }

    void noSelection()
    {
        QCOMPARE(buttonStates(std::nullopt), (ButtonStates { "Start", false, false }));
    }

    void continuedStartText_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("finish");
        QTest::addColumn<QString>("continuedStart");

        QTest::newRow("45 minutes") << u"05/27 09:00"_s << u"05/27 09:45"_s << u"05/27 13:25"_s;
        QTest::newRow("zero total") << u"05/27 09:00"_s << u"05/27 09:00"_s << u"05/27 14:10"_s;
        QTest::newRow("New Year") << u"12/31 23:30"_s << u"01/01 00:15"_s << u"05/27 13:25"_s;
    }

    void continuedStartText()
    {
        QFETCH(QString, start);
        QFETCH(QString, finish);
        QFETCH(QString, continuedStart);

        const std::string text = ::continuedStartText(
            start.toStdString(), finish.toStdString(), double(m_clock.now()));
        QCOMPARE(QString::fromStdString(text), continuedStart);
    }

private:
    // 27 May 2024, 14:10:20: a leap year, so that a Start read in the wrong year shows.
    FixedClock m_clock { 1716819020 };
};

QTEST_GUILESS_MAIN(tst_ProjectRows)
#include "tst_projectrows.moc"
