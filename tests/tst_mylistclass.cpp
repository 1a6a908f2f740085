#include "listrows.h"
#include "mylistclass.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

using namespace Qt::StringLiterals;

// The list's own commands, reached by name as the menus reach them.
class tst_MyListClass : public QObject
{
    Q_OBJECT

private slots:
    void commands_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("after"); // the rows, or for Copy the clipboard
        QTest::newRow("copy rows 0 and 2 of three, in list order")
            << u"*A|05/27 08:00|05/27 09:30|1' 30\",B,*C|05/27 10:00"_s << u"EditCopy"_s
            << u"Project: A   Start: 05/27 08:00   Stop: 05/27 09:30   Total: 1' 30\"\n"
               u"Project: C   Start: 05/27 10:00   Stop:    Total: "_s;
        QTest::newRow("copy, nothing selected") << u"A"_s << u"EditCopy"_s << QString();
        // A Total without a Finish is no stop.
        QTest::newRow("select the stopped rows alone")
            << u"*t|05/27 08:00||0' 10\",s|05/27 08:00|05/27 09:30|1' 30\",n"_s
            << u"EditSelectAll"_s
            << u"t|05/27 08:00||0' 10\",*s|05/27 08:00|05/27 09:30|1' 30\",n"_s;
    }

    void commands()
    {
        QFETCH(QString, rows);
        QFETCH(QString, command);
        QFETCH(QString, after);
        myListClass list;
        addRows(list, rows);
        QGuiApplication::clipboard()->setText(u"before"_s);
        QVERIFY(list.handleMenuCommand(command));
        QCOMPARE(
            command == u"EditCopy"_s ? QGuiApplication::clipboard()->text() : rowsOf(list), after);
    }
};

QTEST_MAIN(tst_MyListClass)
#include "tst_mylistclass.moc"
