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
        const QString stopped = u"A|05/27 08:00|05/27 09:30|1' 30\""_s;
        const QString line
            = u"Project: A   Start: 05/27 08:00   Stop: 05/27 09:30   Total: 1' 30\""_s;
        QTest::newRow("copy one row") << u'*' + stopped << u"EditCopy"_s << line;
        QTest::newRow("copy rows 0 and 2 of three, in list order")
            << u'*' + stopped + u",B,*C|05/27 10:00"_s << u"EditCopy"_s
            << line + u"\nProject: C   Start: 05/27 10:00   Stop:    Total: "_s;
        QTest::newRow("copy nothing selected") << stopped << u"EditCopy"_s << QString();
        QTest::newRow("select stopped rows, deselect the others")
            << u"*r|05/27 08:00,"_s + stopped + u",n,*A|1||"_s << u"EditSelectAll"_s
            << u"r|05/27 08:00,*"_s + stopped + u",n,A|1"_s;
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
