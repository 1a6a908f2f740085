#include "creditscroll.h"

#include <QTest>

class tst_CreditScroll : public QObject
{
    Q_OBJECT

private slots:
    // A text 600 pixels wide is drawn at 400, 399, ... until its right end passes the left edge
    // at -599, then from 400 again. A text that narrows during a pass still comes round.
    void passes()
    {
        CreditScroll scroll { 400, 400 };
        for (int tick = 0; tick < 1800; ++tick)
            QCOMPARE(scroll.advance(600), 400 - tick % 1000);
        QCOMPARE(scroll.advance(100), -400);
        QCOMPARE(scroll.advance(100), 400);
    }
};

QTEST_GUILESS_MAIN(tst_CreditScroll)
#include "tst_creditscroll.moc"
