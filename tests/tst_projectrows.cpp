#include "dateservice.h"
#include "localtime.h"
#include "projectrows.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Selection = std::optional<RowTimes>;
Q_DECLARE_METATYPE(Selection)
Q_DECLARE_METATYPE(ButtonStates)

class tst_ProjectRows : public QObject
{
    Q_OBJECT

private slots:
    void rowRules_data()
    {
        QTest::addColumn<Selection>("row");
        QTest::addColumn<bool>("running");
        QTest::addColumn<ButtonStates>("buttons");
        const char *s = "05/27 09:00";
        const char *f = "05/27 09:45";
        const char *t = "0' 45\"";
        const ButtonStates offerStart { "Start", true, false };
        const ButtonStates offerContinue { "Continue", true, false };
        QTest::newRow("no selection") << Selection() << false << ButtonStates { "Start" };
        QTest::newRow("new") << Selection({ "", "", "" }) << false << offerStart;
        QTest::newRow("F, T") << Selection({ "", f, t }) << false << offerStart;
        QTest::newRow("running") << Selection({ s, "", "" }) << true
                                 << ButtonStates { "Continue", false, true };
        QTest::newRow("S, T") << Selection({ s, "", t }) << true << offerContinue;
        QTest::newRow("S, F") << Selection({ s, f, "" }) << false
                              << ButtonStates { "Continue", true, true };
        QTest::newRow("stopped") << Selection({ s, f, t }) << false << offerContinue;
    }

    void rowRules()
    {
        QFETCH(Selection, row);
        QFETCH(bool, running);
        QFETCH(ButtonStates, buttons);
        QCOMPARE(row && isRunning(*row), running);
        QCOMPARE(buttonStates(row), buttons);
    }

    // 45 minutes across New Year, continued on 27 May 2024 at 14:10: a leap year, so that a Start
    // read in the wrong year shows.
    void continuedStartText()
    {
        QVERIFY(setZone("UTC"));
        Clock::setCurrent(&m_clock);
        const std::string text
            = ::continuedStartText("12/31 23:30", "01/01 00:15", double(m_clock.now()));
        QCOMPARE(QString::fromStdString(text), u"05/27 13:25"_s);
    }

private:
    FixedClock m_clock { 1716819020 };
};

QTEST_GUILESS_MAIN(tst_ProjectRows)
#include "tst_projectrows.moc"
