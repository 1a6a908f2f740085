#include "editdialog.h"
#include "listrows.h"
#include "projectrows.h"
#include "windowtest.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class tst_Window1 : public QObject, WindowTest
{
    Q_OBJECT

private slots:
    void init() { open(); }
    void cleanup() { close(true); }

    void gestures_data()
    {
        QTest::addColumn<QString>("before");
        // A digit names a row or a heading, none the space below the rows; ", OK a|b" answers the
        // dialog with a and b, ", Cancel" cancels it.
        QTest::addColumn<QString>("steps");
        // The rows, then Start's caption and both enabled states; after "close", the rows saved.
        QTest::addColumn<QString>("after");
        const QString stopped = u"A|05/27 08:15|05/27 08:30|0' 15\""_s;
        const QString seven = u"*0,1|05/27 08:00,*2|05/27 08:00,3,4,*5,6"_s;
        // The caption stays until the selection next changes.
        QTest::newRow("Continue") << u'*' + stopped << u"Start"_s
                                  << u"*A|05/27 08:45; Continue 0/1"_s;
        QTest::newRow("Start takes the name being typed first")
            << u"*old"_s << u"rename Start"_s << u"*new|05/27 09:00; Start 0/1"_s;
        QTest::newRow(
            "double-clicks: right only selects, left stops a Total's row, starts a new one")
            << u"A|05/27 08:15||0' 10\",B"_s << u"right-double-click0 double-click0 double-click1"_s
            << u"A|05/27 08:15|05/27 09:00|0' 45\",*B|05/27 09:00; Start 0/1"_s;
        QTest::newRow("double-click, stopped row, OK without finish keeps total")
            << stopped << u"double-click0, OK 05/27 08:15|"_s
            << u"*A|05/27 08:15||0' 15\"; Continue 1/0"_s;
        QTest::newRow("double-click, stopped row, Cancel leaves even an unreadable Start")
            << u"A|banana|05/27 08:30|0' 15\""_s << u"double-click0, Cancel"_s
            << u"*A|banana|05/27 08:30|0' 15\"; Continue 1/0"_s;
        QTest::newRow("Backspace, rows 0 2 5")
            << seven << u"Backspace"_s << u"1|05/27 08:00,3,4,6; Start 0/0"_s;
        QTest::newRow("forward Delete") << seven << u"Delete"_s << seven + u"; Start 1/0"_s;
        // Any other heading would order these rows differently, either way round.
        QTest::newRow("only the Project heading sorts")
            << u"c|3|2|1,a|2|1|2,*B|1|3|3"_s << u"heading0 heading1 heading2 heading3"_s
            << u"a|2|1|2,*B|1|3|3,c|3|2|1; Continue 1/0"_s;
        QTest::newRow("close takes the name being typed")
            << u"old|05/27 08:00"_s << u"rename close"_s
            << u"*new|05/27 08:00|05/27 09:00|1' 0\""_s;
        // Closing stops the running rows, which changes the selection while Alt is still held.
        QTest::newRow("Alt-click adds a row below the rows, none on a row or at closing")
            << u"a|05/27 07:45,b|05/27 08:00|05/27 08:10|0' 10\",c|05/27 08:30"_s
            << u"Alt-click1 Alt-click-below close"_s
            << u"a|05/27 07:45|05/27 09:00|1' 15\",b|05/27 08:00|05/27 08:10|0' 10\","
               u"c|05/27 08:30|05/27 09:00|0' 30\",Untitled project 1"_s;
    }

    // Each gesture as the user makes it; a sort takes the selection along.
    void gestures()
    {
        QFETCH(QString, before);
        QFETCH(QString, steps);
        QFETCH(QString, after);
        addRows(*m_list, before);
        const QString answer = steps.section(u", "_s, 1);
        QObject context; // goes with this row, and with it a timer that found no dialog
        QTimer::singleShot(0, &context, [answer] {
            if (auto *dialog = qobject_cast<EditDialog *>(QApplication::activeModalWidget())) {
                for (int field = 0; field < 2 && answer != u"Cancel"_s; ++field)
                    dialog->field(field)->setText(answer.mid(3).section(u'|', field, field));
                QTest::mouseClick(
                    answer == u"Cancel"_s ? dialog->cancelButton() : dialog->okButton(),
                    Qt::LeftButton);
            }
        });
        QString saved; // the rows when the window tells of its closing, the moment to save them
        connect(m_window, &Window1::closing, &context, [this, &saved] { saved = rowsOf(*m_list); });
        QWidget *viewport = m_list->viewport();
        for (const QString &step : steps.section(u", "_s, 0, 0).split(u' ')) {
            const int digit = step.back().digitValue();
            const QPoint at = digit < 0 ? QPoint(viewport->width() / 2, viewport->height() - 5)
                                        : cell(digit, Column::Total).center();
            if (step == u"rename"_s) {
                m_list->setCurrentIndex(m_list->model()->index(0, 0));
                QTest::keyClick(m_list, Qt::Key_F2);
                QTest::keyClicks(m_list->findChild<QLineEdit *>(), u"new"_s);
            } else if (step == u"Start"_s) {
                QTest::mouseClick(m_window->button(0), Qt::LeftButton);
            } else if (step.contains(u"double-click"_s)) {
                const auto button = step.startsWith(u"right"_s) ? Qt::RightButton : Qt::LeftButton;
                QTest::mouseClick(viewport, button, {}, at);
                QTest::mouseDClick(viewport, button, {}, at);
            } else if (step.startsWith(u"Alt-click"_s)) {
                QTest::mouseClick(viewport, Qt::LeftButton, Qt::AltModifier, at);
            } else if (step.startsWith(u"heading"_s)) {
                const QHeaderView *header = m_list->horizontalHeader();
                QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                    QPoint(header->sectionViewportPosition(digit) + 10, 5));
            } else if (step == u"close"_s) {
                m_window->close();
                QCOMPARE(saved, after);
                return;
            } else {
                QTest::keyClick(m_list, step == u"Delete"_s ? Qt::Key_Delete : Qt::Key_Backspace);
            }
        }
        const auto on = [this](int b) { return QString::number(m_window->button(b)->isEnabled()); };
        QCOMPARE(
            rowsOf(*m_list) + u"; "_s + m_window->button(0)->text() + u' ' + on(0) + u'/' + on(1),
            after);
        // Odd rows are tinted by their present index; selected rows show the selection instead.
        const QImage image = viewport->grab().toImage();
        for (int row = 0; row < m_list->ListCount(); ++row) {
            const QRgb pixel = image.pixel(cell(row, Column::Total).topRight() + QPoint(-3, 3));
            QVERIFY(m_list->Selected(row) || (pixel == qRgb(235, 255, 255)) == (row % 2 == 1));
        }
    }

private:
    QRect cell(int row, Column column) const
    {
        return m_list->visualRect(m_list->model()->index(row, columnIndex(column)));
    }
};

QTEST_MAIN(tst_Window1)
#include "tst_window1.moc"
