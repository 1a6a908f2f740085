#include "aboutbox.h"
#include "apptest.h"
#include "dateservice.h"
#include "globalsmodule.h"
#include "listrows.h"
#include "menu.h"
#include "mylistclass.h"
#include "window1.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

using namespace Qt::StringLiterals;

class tst_Menu : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        GlobalsModule::gNum = 0;
        m_window = Window1::instance();
        m_list = m_window->listBox();
        m_list->DeleteAllRows();
        m_window->show();
        m_window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), m_window);
        m_list->setFocus();
    }

    void cleanup()
    {
        if (QWidget *box = QApplication::activeWindow(); box && box != m_window)
            box->close();
    }

    // Names, texts, shortcuts, menu roles, order, and the items the framework enables itself.
    void table()
    {
        const MenuBar *bar = Menu::instance();
        QCOMPARE(m_window->menuWidget(), bar);
        QStringList built;
        for (const QAction *menu : bar->actions()) {
            built << menu->objectName() + u' ' + menu->text();
            for (const QAction *item : menu->menu()->actions())
                built << u"  "_s + item->objectName()
                        + (item->isSeparator()
                                ? u" -"_s
                                : u" %1 %2 %3%4"_s.arg(item->text(), item->shortcut().toString(),
                                    QString::number(item->menuRole()),
                                    bar->autoEnable(item) ? u" auto"_s : u""_s));
        }
        const int none = QAction::NoRole;
        QCOMPARE(built,
            QStringList({ u"UntitledMenu3 File"_s, u"  FileNew New Project Ctrl+N %1"_s.arg(none),
                u"  FileQuit Quit Ctrl+Q %1 auto"_s.arg(QAction::QuitRole), u"UntitledMenu0 Edit"_s,
                u"  EditUndo Undo Ctrl+Z %1"_s.arg(none), u"  UntitledMenu2 -"_s,
                u"  EditCut Cut Ctrl+X %1"_s.arg(none), u"  EditCopy Copy Ctrl+C %1"_s.arg(none),
                u"  EditPaste Paste Ctrl+V %1"_s.arg(none), u"  EditClear Clear  %1"_s.arg(none),
                u"  UntitledMenu1 -"_s,
                u"  EditSelectAll Select All Stopped Projects Ctrl+A %1"_s.arg(none),
                u"  AppleAbout About Tallyfox...  %1"_s.arg(QAction::AboutRole) }));
    }

    void enabling_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<bool>("aboutInFront");
        QTest::addColumn<QString>("enabled"); // in menu order
        const QString stopped = u"s|05/27 08:00|05/27 09:00|1' 0\""_s;
        QTest::newRow("empty list") << QString() << false << u"FileNew FileQuit AppleAbout"_s;
        QTest::newRow("rows, none selected")
            << u"a,"_s + stopped << false << u"FileNew FileQuit EditSelectAll AppleAbout"_s;
        // Copy goes by the lowest selected row.
        QTest::newRow("running row selected, a stopped one below") << u"*r|05/27 08:00,*"_s
                + stopped << false << u"FileNew FileQuit EditSelectAll AppleAbout"_s;
        QTest::newRow("stopped row selected, a running one below")
            << u'*' + stopped + u",*r|05/27 08:00"_s << false
            << u"FileNew FileQuit EditCopy EditSelectAll AppleAbout"_s;
        QTest::newRow("about box in front") << u'*' + stopped << true << u"FileQuit AppleAbout"_s;
    }

    // What the menus offer is worked out when a menu opens.
    void enabling()
    {
        QFETCH(QString, rows);
        QFETCH(bool, aboutInFront);
        QFETCH(QString, enabled);
        addRows(*m_list, rows);
        if (aboutInFront) {
            AboutBox::instance()->Show();
            // A window shown over another counts as active with it; only the application knows.
            QTRY_COMPARE(QApplication::activeWindow(), AboutBox::instance());
        }
        QStringList on;
        for (const QAction *menu : Menu::instance()->actions()) {
            emit menu->menu()->aboutToShow();
            for (const QAction *item : menu->menu()->actions())
                if (item->isEnabled() && !item->isSeparator())
                    on << item->objectName();
        }
        QCOMPARE(on.join(u' '), enabled);
    }

    void shortcuts_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("keys"); // Ctrl and a letter, or a step named in shortcuts()
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("clipboard");
        const QString stopped = u"s|05/27 08:00|05/27 09:00|1' 0\""_s;
        QTest::newRow("copy a stopped row")
            << u'*' + stopped << u"C"_s << u'*' + stopped
            << u"Project: s   Start: 05/27 08:00   Stop: 05/27 09:00   Total: 1' 0\""_s;
        QTest::newRow("copy refused: no cell copied by the view")
            << u"*r|05/27 08:00"_s << u"C"_s << u"*r|05/27 08:00"_s << u"before"_s;
        QTest::newRow("copy refused once the row was continued")
            << u'*' + stopped << u"Start C"_s << u"*s|05/27 08:00"_s << u"before"_s;
        QTest::newRow("select all once a stopped row arrived unannounced")
            << u"a"_s << u"add A"_s << u"a,*"_s + stopped << u"before"_s;
        QTest::newRow("about box in front: Ctrl+N closes it and adds nothing")
            << u"a"_s << u"about N"_s << u"a"_s << u"before"_s;
        QTest::newRow("the rename field keeps its copy, and a command takes the typing")
            << u"*old"_s << u"rename C N"_s << u"*typed,Untitled project 1"_s << u"typed"_s;
    }

    // Real key presses: an item the rules enable acts at once, even when the menus last showed it
    // disabled; one they disable does nothing at all.
    void shortcuts()
    {
        QFETCH(QString, rows);
        QFETCH(QString, keys);
        QFETCH(QString, after);
        QFETCH(QString, clipboard);
        FixedClock clock(QDateTime(QDate(2026, 5, 27), QTime(9, 0)).toSecsSinceEpoch());
        Clock::setCurrent(&clock);
        addRows(*m_list, rows);
        // A current cell, which the view's own Ctrl+C would copy.
        m_list->selectionModel()->setCurrentIndex(
            m_list->model()->index(0, 0), QItemSelectionModel::NoUpdate);
        QGuiApplication::clipboard()->setText(u"before"_s);
        QWidget *target = m_list;
        for (const QString &key : keys.split(u' ')) {
            if (key == u"Start"_s) {
                QTest::mouseClick(m_window->button(0), Qt::LeftButton);
            } else if (key == u"about"_s) {
                target = AboutBox::instance();
                AboutBox::instance()->Show();
                QTRY_COMPARE(QApplication::activeWindow(), target);
            } else if (key == u"add"_s) {
                addRows(*m_list, u"s|05/27 08:00|05/27 09:00|1' 0\""_s);
            } else if (key == u"rename"_s) {
                QTest::keyClick(m_list, Qt::Key_F2);
                target = qobject_cast<QLineEdit *>(QApplication::focusWidget());
                QVERIFY(target);
                QTest::keyClicks(target, u"typed"_s);
                QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
            } else {
                QTest::keyClick(target, key.front().toLatin1(), Qt::ControlModifier);
            }
        }
        Clock::setCurrent(nullptr);
        QTRY_VERIFY(!qobject_cast<AboutBox *>(QApplication::activeWindow()));
        QCOMPARE(rowsOf(*m_list), after);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    }

private:
    Window1 *m_window = nullptr;
    myListClass *m_list = nullptr;
};

TALLYFOX_APP_TEST_MAIN(tst_Menu)
#include "tst_menu.moc"
