#include "statusicon.h"

#include <QKeySequence>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>

using namespace Qt::StringLiterals;

// What the tray's host is handed shows the texts as given: a tooltip or a menu item never turns a
// project's name into markup or a mnemonic.
class tst_StatusIcon : public QObject
{
    Q_OBJECT

private slots:
    void texts_data()
    {
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("separatorBefore");
        const QStringList rest { u"Stop All"_s, u"Show Tally Fox"_s, u"Quit"_s };
        QTest::newRow("nothing running") << u"Nothing running"_s << rest << 0;
        QTest::newRow("markup and ampersands, two lines")
            << u"<b>: 1' 25\"\nR&D & co: 0' 5\""_s
            << QStringList { u"Stop <b>"_s, u"Stop R&D & co"_s } + rest << 2;
    }

    void texts()
    {
        QFETCH(QString, toolTip);
        QFETCH(QStringList, items);
        QFETCH(int, separatorBefore);
        StatusIcon icon;
        icon.setToolTip(toolTip);
        icon.setItems(items, separatorBefore);

        const QString handed = icon.trayIcon().toolTip();
        QTextDocument shown;
        shown.setHtml(handed);
        QCOMPARE(Qt::mightBeRichText(handed) ? shown.toPlainText() : handed, toolTip);

        QStringList texts;
        int chosenAction = -1;
        const QList<QAction *> actions = icon.trayIcon().contextMenu()->actions();
        for (const QAction *action : actions) {
            if (action->isSeparator()) {
                QCOMPARE(texts.size(), separatorBefore);
                continue;
            }
            QVERIFY2(QKeySequence::mnemonic(action->text()).isEmpty(), qPrintable(action->text()));
            texts << QString(action->text()).replace(u"&&"_s, u"&"_s);
            if (texts.size() == separatorBefore + 1)
                chosenAction = int(actions.indexOf(action));
        }
        QCOMPARE(texts, items);
        // Items are reported by their place among the items, the separator not counted.
        QSignalSpy chosen(&icon, &StatusIcon::itemChosen);
        actions.at(chosenAction)->trigger();
        QCOMPARE(chosen.value(0).value(0).toInt(), separatorBefore);
    }
};

QTEST_MAIN(tst_StatusIcon)
#include "tst_statusicon.moc"
