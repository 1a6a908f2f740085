#include "dateservice.h"
#include "editdialog.h"
#include "globalsmodule.h"
#include "listmodel.h"
#include "listrows.h"
#include "mylistclass.h"
#include "projectrows.h"
#include "window1.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

constexpr int Project = columnIndex(Column::Project);
constexpr int Start = columnIndex(Column::Start);
constexpr int Total = columnIndex(Column::Total);

} // namespace

class tst_Window1 : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        qputenv("TZ", "UTC");
        tzset();
        Clock::setCurrent(&m_clock);
        m_clock.setMoment(QDateTime(QDate(2026, 5, 27), QTime(9, 0), Qt::UTC).toSecsSinceEpoch());
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
        QVERIFY(!Window1::existing());
    }

    void gesture_data()
    {
        QTest::addColumn<QString>("before");
        // "heading 00" clicks heading 0 twice; "double-click, OK a|b" answers the dialog.
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<QString>("after"); // then button 0's caption and both enabled states
        const QString stopped = u"A|05/27 08:15|05/27 08:30|0' 15\""_s;
        // The caption stays until the selection next changes.
        QTest::newRow("Start") << u"*A"_s << u"Start"_s << u"*A|05/27 09:00; Start 0/1"_s;
        QTest::newRow("Stop") << u"*A|05/27 08:15"_s << u"Stop"_s
                              << u"*A|05/27 08:15|05/27 09:00|0' 45\"; Continue 1/0"_s;
        QTest::newRow("Continue") << u'*' + stopped << u"Start"_s
                                  << u"*A|05/27 08:45; Continue 0/1"_s;
        QTest::newRow("double-click, new row")
            << u"A"_s << u"double-click"_s << u"*A|05/27 09:00; Start 0/1"_s;
        QTest::newRow("double-click, running row")
            << u"A|05/27 08:15"_s << u"double-click"_s
            << u"*A|05/27 08:15|05/27 09:00|0' 45\"; Continue 1/0"_s;
        QTest::newRow("double-click, started row with a Total but no Finish")
            << u"A|05/27 08:15||0' 10\""_s << u"double-click"_s
            << u"*A|05/27 08:15|05/27 09:00|0' 45\"; Continue 1/0"_s;
        QTest::newRow("right-button double-click only selects")
            << u"A"_s << u"right double-click"_s << u"*A; Start 1/0"_s;
        QTest::newRow("Start takes the name being typed first")
            << u"*old"_s << u"rename new then Start"_s << u"*new|05/27 09:00; Start 0/1"_s;
        QTest::newRow("double-click, stopped row, Cancel")
            << stopped << u"double-click, Cancel"_s << u'*' + stopped + u"; Continue 1/0"_s;
        QTest::newRow("double-click, stopped row, OK")
            << stopped << u"double-click, OK 05/27 07:00|05/27 09:05"_s
            << u"*A|05/27 07:00|05/27 09:05|2' 5\"; Continue 1/0"_s;
        QTest::newRow("double-click, OK without finish keeps total")
            << stopped << u"double-click, OK 05/27 08:15|"_s
            << u"*A|05/27 08:15||0' 15\"; Continue 1/0"_s;
        const QString seven = u"*0,1|05/27 08:00,*2|05/27 08:00,3,4,*5,6"_s;
        QTest::newRow("Backspace, rows 0 2 5")
            << seven << u"Backspace"_s << u"1|05/27 08:00,3,4,6; Start 0/0"_s;
        QTest::newRow("Backspace, none") << u"0,1"_s << u"Backspace"_s << u"0,1; Start 0/0"_s;
        QTest::newRow("forward Delete") << seven << u"Delete"_s << seven + u"; Start 1/0"_s;
        QTest::newRow("click below") << u"*A"_s << u"click below"_s << u"A; Start 0/0"_s;
        QTest::newRow("Alt-click below")
            << u"*A"_s << u"Alt-click below"_s << u"A,Untitled project 1; Start 0/0"_s;
        QTest::newRow("Alt-click on a row adds nothing")
            << u"*A,B"_s << u"Alt-click row"_s << u"A,*B; Start 1/0"_s;
        QTest::newRow("rename by pasting a tab and a line break")
            << u"b,a,c"_s << u"paste Tax\treturn\n"_s << u"b,a,*Tax return ; Start 1/0"_s;
        // Each other column orders these rows differently, either way round.
        const QString sortable = u"c|2|3|2,a|3|1|0,*B|1|2|1"_s;
        QTest::newRow("Project heading")
            << sortable << u"heading 0"_s << u"a|3|1|0,*B|1|2|1,c|2|3|2; Continue 1/0"_s;
        QTest::newRow("Project heading twice")
            << sortable << u"heading 00"_s << u"c|2|3|2,*B|1|2|1,a|3|1|0; Continue 1/0"_s;
        for (const int column : { 1, 2, 3 })
            QTest::addRow("heading %d does not sort", column)
                << sortable << u"heading %1"_s.arg(column) << sortable + u"; Continue 1/0"_s;
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
            if (!dialog)
                return;
            for (int field = 0; answer.startsWith(u"OK"_s) && field < 2; ++field)
                dialog->field(field)->setText(answer.sliced(3).section(u'|', field, field));
            QTest::mouseClick(answer == u"Cancel"_s ? dialog->cancelButton() : dialog->okButton(),
                Qt::LeftButton);
        });
        QWidget *viewport = m_list->viewport();
        const QHeaderView *header = m_list->horizontalHeader();
        if (gesture.startsWith(u"paste"_s)) {
            QTest::mouseClick(
                viewport, Qt::LeftButton, {}, cell(m_list->LastIndex(), Start).center());
            QTest::keyClick(m_list, Qt::Key_F2);
            QTRY_VERIFY(m_list->findChild<QLineEdit *>());
            auto *editor = m_list->findChild<QLineEdit *>();
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QGuiApplication::clipboard()->setText(gesture.sliced(6));
            QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(editor, Qt::Key_Return);
        } else if (gesture.startsWith(u"rename"_s)) {
            QTest::mouseClick(viewport, Qt::LeftButton, {}, cell(0, Project).center());
            QTest::keyClick(m_list, Qt::Key_F2);
            QTRY_VERIFY(m_list->findChild<QLineEdit *>());
            QTest::keyClicks(
                m_list->findChild<QLineEdit *>(), gesture.section(u' ', 1, 1));
            QTest::mouseClick(m_window->button(0), Qt::LeftButton);
        } else if (gesture == u"Start"_s || gesture == u"Stop"_s) {
            QTest::mouseClick(m_window->button(gesture == u"Stop"_s ? 1 : 0), Qt::LeftButton);
        } else if (gesture.contains(u"double-click"_s)) {
            const Qt::MouseButton button
                = gesture.startsWith(u"right"_s) ? Qt::RightButton : Qt::LeftButton;
            QTest::mouseClick(viewport, button, {}, cell(0, Total).center());
            QTest::mouseDClick(viewport, button, {}, cell(0, Total).center());
        } else if (gesture == u"Alt-click row"_s) {
            QTest::mouseClick(viewport, Qt::LeftButton, Qt::AltModifier, cell(1, Total).center());
        } else if (gesture.endsWith(u"click below"_s)) {
            QTest::mouseClick(viewport, Qt::LeftButton,
                gesture.startsWith(u"Alt"_s) ? Qt::AltModifier : Qt::NoModifier,
                QPoint(viewport->width() / 2, viewport->height() - 5));
        } else if (gesture.startsWith(u"heading"_s)) {
            for (const QChar column : gesture.sliced(8)) {
                const int left = header->sectionViewportPosition(column.digitValue());
                QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(left + 10, 5));
            }
        } else {
            QTest::keyClick(m_list, gesture == u"Delete"_s ? Qt::Key_Delete : Qt::Key_Backspace);
        }
        QTRY_VERIFY(!m_list->findChild<QLineEdit *>());
        const auto on = [this](int button) { return int(m_window->button(button)->isEnabled()); };
        QCOMPARE(u"%1; %2 %3/%4"_s.arg(rowsOf(*m_list), m_window->button(0)->text())
                     .arg(on(0))
                     .arg(on(1)),
            after);
        QCOMPARE(shown, !answer.isEmpty());
        QCOMPARE(m_list->HeadingIndex(), Project);
        // Odd rows are tinted by their present index; selected rows show the selection instead.
        const QImage image = viewport->grab().toImage();
        for (int row = 0; row < m_list->ListCount(); ++row) {
            const QRgb pixel = image.pixel(cell(row, Total).topRight() + QPoint(-3, 3));
            QVERIFY(m_list->Selected(row) || (pixel == qRgb(235, 255, 255)) == (row % 2 == 1));
        }
    }

    // Closing stops every running row first.
    void closeKeepsTypedNameAndAddsNoRowWithAlt_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typing"); // into row 0's Project cell
        QTest::addColumn<Qt::KeyboardModifiers>("held");
        QTest::addColumn<QString>("after");
        QTest::newRow("name being typed is saved")
            << u"old|05/27 08:00"_s << u"new"_s << Qt::KeyboardModifiers()
            << u"*new|05/27 08:00|05/27 09:00|1' 0\""_s;
        QTest::newRow("Alt with nothing selected adds no row")
            << u"a|05/27 07:45,b|05/27 08:00|05/27 08:10|0' 10\",c,d|05/27 08:30"_s << QString()
            << Qt::KeyboardModifiers(Qt::AltModifier)
            << u"a|05/27 07:45|05/27 09:00|1' 15\",b|05/27 08:00|05/27 08:10|0' 10\",c,"
               u"d|05/27 08:30|05/27 09:00|0' 30\""_s;
    }

    void closeKeepsTypedNameAndAddsNoRowWithAlt()
    {
        QFETCH(QString, before);
        QFETCH(QString, typing);
        QFETCH(Qt::KeyboardModifiers, held);
        QFETCH(QString, after);
        addRows(*m_list, before);
        if (!typing.isEmpty()) {
            m_list->setListIndex(0);
            m_list->setFocus();
            QTest::keyClick(m_list, Qt::Key_F2);
            auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
            QVERIFY(editor);
            editor->setText(typing);
        }
        // A click on the disabled Stop button leaves the modifiers held as the keyboard reports.
        QTest::mouseClick(m_window->button(1), Qt::LeftButton, held);
        QString atClosing;
        connect(
            m_window, &Window1::closing, this, [this, &atClosing] { atClosing = rowsOf(*m_list); });
        m_window->close();
        QCOMPARE(atClosing, after);
    }

private:
    QRect cell(int row, int column) const
    {
        return m_list->visualRect(m_list->listModel()->index(row, column));
    }

    FixedClock m_clock { 0 };
    Window1 *m_window = nullptr;
    myListClass *m_list = nullptr;
};

QTEST_MAIN(tst_Window1)
#include "tst_window1.moc"
