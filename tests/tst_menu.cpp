#include "aboutbox.h"
#include "apptest.h"
#include "menu.h"
#include "windowtest.h"

#include <QClipboard>
#include <QMimeData>

using namespace Qt::StringLiterals;

class tst_Menu : public QObject, WindowTest
{
    Q_OBJECT

private slots:
    void init() { open(); }
    void cleanup() { close(false); }

    void commands_data()
    {
        QTest::addColumn<QString>("rows");
        // "click:" and an item chosen with the mouse, "about", or a step for press()
        QTest::addColumn<QString>("steps");
        // The rows; the clipboard's text and table rows; the items a menu, opened then, enables.
        QTest::addColumn<QString>("after");
        const QString stopped = u"s|05/27 08:00|05/27 09:00|1' 0\""_s;
        const QString window = u"; FileNew FileQuit EditSelectAll AppleAbout"_s;
        const QString copy = u"; FileNew FileQuit EditCopy EditSelectAll AppleAbout"_s;
        QTest::newRow("empty list")
            << QString() << QString() << u"; before; FileNew FileQuit AppleAbout"_s;
        // Copy goes by the first selected row.
        const QString runningFirst = u"*r|05/27 08:00,*"_s + stopped;
        QTest::newRow("running row selected, a stopped one below")
            << runningFirst << QString() << runningFirst + u"; before"_s + window;
        // Text and table rows, whose cells cannot add markup, of the selected rows alone; a Total
        // is what Copy asks for, not a Finish.
        const QString markup
            = u"*<b> & \"x\" 'y'|05/27 08:00||1' 0\",left|05/27 09:00,*z|05/27 10:00"_s;
        QTest::newRow(
            "a row with a Total selected, a running one below: both copied, in list order")
            << markup << u"Ctrl+C"_s
            << markup
                + u"; Project: <b> & \"x\" 'y'   Start: 05/27 08:00   Stop:    "
                  u"Total: 1' 0\"\nProject: z   Start: 05/27 10:00   Stop:    Total: "
                  u"<tr><td>&lt;b&gt; &amp; &quot;x&quot; &#39;y&#39;</td><td>05/27 08:00</td>"
                  u"<td></td><td>1&#39; 0&quot;</td></tr>\n"
                  u"<tr><td>z</td><td>05/27 10:00</td><td></td><td></td></tr>"_s
                + copy;
        // A key acts on what the rules give now, not on what the menus last showed; a Total
        // without a Finish is no stop.
        const QString mixed = u"t|05/27 08:00||0' 10\",%1,n"_s;
        QTest::newRow("select all: the stopped rows alone, though the menus last showed none")
            << u'*' + mixed.arg(stopped) << u"Ctrl+A"_s
            << mixed.arg(u'*' + stopped) + u"; before"_s + copy;
        QTest::newRow("about box in front: Ctrl+N closes it and adds nothing")
            << u"a"_s << u"about Ctrl+N"_s << u"a; before"_s + window;
        QTest::newRow("the rename field keeps its keys, and a command takes the typing first")
            << u"*old"_s << u"rename Ctrl+A Ctrl+C Ctrl+N"_s
            << u"*new,Untitled project 1; new"_s + window;
        // The rename keeps the focus while the menu is open: the command goes to the list.
        QTest::newRow("Copy chosen with the mouse during a rename copies the new name")
            << u'*' + stopped << u"rename click:EditCopy"_s
            << u"*new|05/27 08:00|05/27 09:00|1' 0\"; "
               u"Project: new   Start: 05/27 08:00   Stop: 05/27 09:00   Total: 1' 0\""
               u"<tr><td>new</td><td>05/27 08:00</td><td>05/27 09:00</td>"
               u"<td>1&#39; 0&quot;</td></tr>"_s
                + copy;
    }

    // Real keys and clicks: an item the rules enable now acts though the menus last showed it
    // disabled; one they disable does nothing, not even the focused control's own.
    void commands()
    {
        QFETCH(QString, rows);
        QFETCH(QString, steps);
        QFETCH(QString, after);
        updateMenus(); // for an empty list: only a change of selection tells the menus of the rows
        begin(rows);
        QStringList trail;
        for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
            if (step == u"about"_s) {
                AboutBox::instance()->Show();
                QTRY_COMPARE(QApplication::activeWindow(), AboutBox::instance());
            } else if (step.startsWith(u"click:"_s)) {
                QAction *item = Menu::instance()->item(step.sliced(6));
                auto *menu = qobject_cast<QMenu *>(item->parent());
                QTest::mouseClick(Menu::instance(), Qt::LeftButton, {},
                    Menu::instance()->actionGeometry(menu->menuAction()).center());
                QTRY_VERIFY(menu->isVisible());
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
            } else {
                press(step, trail);
            }
        }
        const auto shown = [this] {
            const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
            QString table = copied->html().section(
                u"<th>Project</th><th>Start</th><th>Finish</th><th>Total</th></tr>\n"_s, 1);
            QString text = rowsOf(*m_list) + u"; "_s + copied->text()
                + table.remove(u"\n</table>\n"_s) + u';';
            for (const QAction *menu : Menu::instance()->actions()) {
                emit menu->menu()->aboutToShow();
                for (const QAction *item : menu->menu()->actions())
                    if (item->isEnabled() && !item->isSeparator())
                        text += u' ' + item->objectName();
            }
            return text;
        };
        QTRY_COMPARE(shown(), after);
    }
};

TALLYFOX_APP_TEST_MAIN(tst_Menu)
#include "tst_menu.moc"
