#include "projectrows.h"

#include <QTest>

Q_DECLARE_METATYPE(RowTimes)
Q_DECLARE_METATYPE(ButtonStates)

// Mixed rows, as a preferences file or an edit can leave them; the window's tests cover the rest.
class tst_ProjectRows : public QObject
{
    Q_OBJECT

private slots:
    void buttonStates_data()
    {
        QTest::addColumn<RowTimes>("row");
        QTest::addColumn<ButtonStates>("buttons");
        const char *s = "05/27 09:00";
        const char *f = "05/27 09:45";
        const char *t = "0' 45\"";
        QTest::newRow("Finish and Total, no Start")
            << RowTimes { "", f, t } << ButtonStates { "Start", true, false };
        QTest::newRow("Start and Total, no Finish")
            << RowTimes { s, "", t } << ButtonStates { "Continue", true, false };
        QTest::newRow("Start and Finish, no Total")
            << RowTimes { s, f, "" } << ButtonStates { "Continue", true, true };
    }

    void buttonStates()
    {
        QFETCH(RowTimes, row);
        QFETCH(ButtonStates, buttons);
        QCOMPARE(::buttonStates(row), buttons);
    }
};

QTEST_GUILESS_MAIN(tst_ProjectRows)
#include "tst_projectrows.moc"
