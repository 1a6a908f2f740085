#include "dateservice.h"
#include "editdialog.h"
#include "globalsmodule.h"
#include "listmodel.h"
#include "listrows.h"
#include "localtime.h"
#include "mylistclass.h"
#include "projectrows.h"
#include "window1.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class tst_Window1 : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(setZone("UTC"));
        Clock::setCurrent(&m_clock);
        GlobalsModule::gNum = 0;
        m_window = Window1::instance();
        m_list = m_window->listBox();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    void cleanup()
    {
        if (Window1 *window = Window1::existing())
            window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void gesture_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("gesture"); // "double-click, OK a|b" answers the dialog
        QTest::addColumn<QString>("after"); // then button 0's caption and both enabled states
        const QString stopped = u"A|05/27 08:15|05/27 08:30|0' 15\""_s;
        const QString seven = u"*0,1|05/27 08:00,*2|05/27 08:00,3,4,*5,6"_s;
        // Each other column orders these rows differently, either way round.
        const QString sortable = u"c|2|3|2,a|3|1|0,*B|1|2|1"_s;
        // The caption stays until the selection next changes.
        QTest::newRow("Continue") << u'*' + stopped << u"Start"_s
                                  << u"*A|05/27 08:45; Continue 0/1"_s;
        QTest::newRow("Start takes the name being typed first")
            << u"*old"_s << u"rename then Start"_s << u"*new|05/27 09:00; Start 0/1"_s;
        QTest::newRow("double-click, new row")
            << u"A"_s << u"double-click"_s << u"*A|05/27 09:00; Start 0/1"_s;
        QTest::newRow("double-click, started row with a Total but no Finish")
            << u"A|05/27 08:15||0' 10\""_s << u"double-click"_s
            << u"*A|05/27 08:15|05/27 09:00|0' 45\"; Continue 1/0"_s;
        QTest::newRow("right-button double-click only selects")
            << u"A"_s << u"right double-click"_s << u"*A; Start 1/0"_s;
        QTest::newRow("double-click, stopped row, OK")
            << stopped << u"double-click, OK 05/27 07:00|05/27 09:05"_s
            << u"*A|05/27 07:00|05/27 09:05|2' 5\"; Continue 1/0"_s;
        QTest::newRow("double-click, OK without finish keeps total")
            << stopped << u"double-click, OK 05/27 08:15|"_s
            << u"*A|05/27 08:15||0' 15\"; Continue 1/0"_s;
        QTest::newRow("Backspace, rows 0 2 5")
            << seven << u"Backspace"_s << u"1|05/27 08:00,3,4,6; Start 0/0"_s;
        QTest::newRow("forward Delete") << seven << u"Delete"_s << seven + u"; Start 1/0"_s;
        QTest::newRow("Alt-click below")
            << u"*A"_s << u"Alt-click below"_s << u"A,Untitled project 1; Start 0/0"_s;
        QTest::newRow("Alt-click on a row adds nothing")
            << u"*A,B"_s << u"Alt-click row"_s << u"A,*B; Start 1/0"_s;
        QTest::newRow("Project heading")
            << sortable << u"heading 0"_s << u"a|3|1|0,*B|1|2|1,c|2|3|2; Continue 1/0"_s;
        QTest::newRow("other headings do not sort")
            << sortable << u"heading 123"_s << sortable + u"; Continue 1/0"_s;
    }

    // A double-click never edits; only the Project heading sorts, and the selection follows.
    void gesture()
    {
        QFETCH(QString, before);
        QFETCH(QString, gesture);
        QFETCH(QString, after);
        addRows(*m_list, before);
        m_list->setFocus();
        const QString answer = gesture.section(u", "_s, 1);
        bool shown = false;
        QObject context; // dies before `shown`, so a timer that found no dialog cannot fire later
        QTimer::singleShot(0, &context, [&shown, answer] {
            auto *dialog = qobject_cast<EditDialog *>(QApplication::activeModalWidget());
            shown = dialog != nullptr;
            for (int field = 0; dialog && field < 2; ++field)
                dialog->field(field)->setText(answer.sliced(3).section(u'|', field, field));
            if (dialog)
                QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        });
        QWidget *viewport = m_list->viewport();
        if (gesture.startsWith(u"rename"_s)) {
            QTest::mouseClick(viewport, Qt::LeftButton, {}, cell(0, Column::Project).center());
            QTest::keyClick(m_list, Qt::Key_F2);
            QTRY_VERIFY(m_list->findChild<QLineEdit *>());
            QTest::keyClicks(m_list->findChild<QLineEdit *>(), u"new"_s);
            QTest::mouseClick(m_window->button(0), Qt::LeftButton);
        } else if (gesture == u"Start"_s) {
            QTest::mouseClick(m_window->button(0), Qt::LeftButton);
        } else if (gesture.contains(u"double-click"_s)) {
            const auto button = gesture.startsWith(u"right"_s) ? Qt::RightButton : Qt::LeftButton;
            QTest::mouseClick(viewport, button, {}, cell(0, Column::Total).center());
            QTest::mouseDClick(viewport, button, {}, cell(0, Column::Total).center());
        } else if (gesture.startsWith(u"Alt-click"_s)) {
            QTest::mouseClick(viewport, Qt::LeftButton, Qt::AltModifier,
                gesture.endsWith(u"row"_s) ? cell(1, Column::Total).center()
                                           : QPoint(viewport->width() / 2, viewport->height() - 5));
        } else if (gesture.startsWith(u"heading"_s)) {
            const QHeaderView *header = m_list->horizontalHeader();
            for (const QChar column : gesture.sliced(8))
                QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                    QPoint(header->sectionViewportPosition(column.digitValue()) + 10, 5));
        } else {
            QTest::keyClick(m_list, gesture == u"Delete"_s ? Qt::Key_Delete : Qt::Key_Backspace);
        }
        QTRY_VERIFY(!m_list->findChild<QLineEdit *>());
        const auto on = [this](int b) { return QString::number(m_window->button(b)->isEnabled()); };
        QCOMPARE(
            rowsOf(*m_list) + u"; "_s + m_window->button(0)->text() + u' ' + on(0) + u'/' + on(1),
            after);
        QCOMPARE(shown, !answer.isEmpty());
        QCOMPARE(m_list->HeadingIndex(), columnIndex(Column::Project));
        // Odd rows are tinted by their present index; selected rows show the selection instead.
        const QImage image = viewport->grab().toImage();
        for (int row = 0; row < m_list->ListCount(); ++row) {
            const QRgb pixel = image.pixel(cell(row, Column::Total).topRight() + QPoint(-3, 3));
            QVERIFY(m_list->Selected(row) || (pixel == qRgb(235, 255, 255)) == (row % 2 == 1));
        }
    }

    void close_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typing"); // into row 0's Project cell
        QTest::addColumn<QString>("after");
        QTest::newRow("name being typed is saved")
            << u"old|05/27 08:00"_s << u"new"_s << u"*new|05/27 08:00|05/27 09:00|1' 0\""_s;
        QTest::newRow("running rows stopped, no row added")
            << u"a|05/27 07:45,b|05/27 08:00|05/27 08:10|0' 10\",c,d|05/27 08:30"_s << QString()
            << u"a|05/27 07:45|05/27 09:00|1' 15\",b|05/27 08:00|05/27 08:10|0' 10\",c,"
               u"d|05/27 08:30|05/27 09:00|0' 30\""_s;
    }

    // Closing stops every running row, takes a name being typed first, and adds no row for an
    // Alt still held though stopping the rows changes the selection.
    void close()
    {
        QFETCH(QString, before);
        QFETCH(QString, typing);
        QFETCH(QString, after);
        addRows(*m_list, before);
        if (!typing.isEmpty()) {
            m_list->setListIndex(0);
            m_list->setFocus();
            QTest::keyClick(m_list, Qt::Key_F2);
            QTRY_VERIFY(m_list->findChild<QLineEdit *>());
            m_list->findChild<QLineEdit *>()->setText(typing);
        }
        // A click on the disabled Start button leaves Alt held as the keyboard reports it.
        QVERIFY(!m_window->button(0)->isEnabled());
        QTest::mouseClick(m_window->button(0), Qt::LeftButton, Qt::AltModifier);
        QString atClosing;
        connect(
            m_window, &Window1::closing, this, [this, &atClosing] { atClosing = rowsOf(*m_list); });
        m_window->close();
        QCOMPARE(atClosing, after);
    }

private:
    QRect cell(int row, Column column) const
    {
        return m_list->visualRect(m_list->listModel()->index(row, columnIndex(column)));
    }

    FixedClock m_clock { 1779872400 }; // 27 May 2026, 09:00 UTC
    Window1 *m_window = nullptr;
    myListClass *m_list = nullptr;
};

QTEST_MAIN(tst_Window1)
#include "tst_window1.moc"
