#include "creditscroll.h"

#include <QTest>

class tst_CreditScroll : public QObject
{
    Q_OBJECT

private slots:
    void passes_data()
    {
        QTest::addColumn<int>("textWidth");
        QTest::addColumn<int>("lastX");
        QTest::newRow("empty text") << 0 << 1;
        QTest::newRow("600 pixels") << 600 << -599;
    }

    // Drawn at 400, 399, ... until the text's right end passes the left edge, then from 400
    // again: two passes, the same.
    void passes()
    {
        QFETCH(int, textWidth);
        QFETCH(int, lastX);
        CreditScroll scroll { 400, 400 };
        for (int tick = 0; tick < 2 * (401 - lastX); ++tick)
            QCOMPARE(scroll.advance(textWidth), 400 - tick % (401 - lastX));
    }

    // A text that narrows during a pass still comes round again.
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
