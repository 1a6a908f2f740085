#include "creditscroll.h"

#include <QTest>

class tst_CreditScroll : public QObject
{
    Q_OBJECT

private slots:
    void passes_data()
    {
        QTest::addColumn<int>("textWidth");
        QTest::addColumn<int>("ticksPerPass");
        QTest::addColumn<int>("lastX");
        QTest::newRow("empty text: 400 down to 1") << 0 << 400 << 1;
        QTest::newRow("600 pixels: 400 down to -599") << 600 << 1000 << -599;
    }

    // Drawn at width, width - 1, ... until the text's right end passes the left edge, then at
    // the width again: one pass after another, each the same.
    void passes()
    {
        QFETCH(int, textWidth);
        QFETCH(int, ticksPerPass);
        QFETCH(int, lastX);
        CreditScroll scroll { 400, 400 };
        for (int pass = 0; pass < 2; ++pass) {
            for (int tick = 0; tick < ticksPerPass; ++tick)
                QCOMPARE(scroll.advance(textWidth), tick == ticksPerPass - 1 ? lastX : 400 - tick);
        }
        QCOMPARE(scroll.x, 400);
    }

    // A text that narrows in the middle of a pass still comes round again.
    void narrowedText()
    {
        CreditScroll scroll { 400, 400 };
        for (int tick = 0; tick < 800; ++tick)
            scroll.advance(600);
        QCOMPARE(scroll.advance(100), -400);
        QCOMPARE(scroll.x, 400);
    }
};

QTEST_GUILESS_MAIN(tst_CreditScroll)
#include "tst_creditscroll.moc"
