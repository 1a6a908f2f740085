#include "contrast.h"
#include "editdialog.h"
#include "listrows.h"
#include "projectrows.h"
#include "windowtest.h"

#include <QAccessible>
#include <QHeaderView>
#include <QMetaEnum>
#include <QScopeGuard>
#include <QStyle>
#include <QTimer>

using namespace Qt::StringLiterals;

class tst_Window1 : public QObject, WindowTest
{
    Q_OBJECT

private slots:
    void init() { open(); }
    void cleanup() { close(true); }

    void steps_data()
    {
        QTest::addColumn<QString>("before");
        // Gestures (a digit names a row or heading, none the space below the rows) or keys as
        // QKeySequence names them; ", OK a|b" answers a dialog, which is cancelled otherwise.
        QTest::addColumn<QString>("steps");
        // The rows; Start's caption and both enabled states; the clipboard; after each key,
        // keyboardOwner() and any dialog cancelled, with its fields. After "close": the rows saved.
        QTest::addColumn<QString>("after");
        const QString stopped = u"A|05/27 08:15|05/27 08:30|0' 15\""_s;
        QTest::newRow("Continue takes the name being typed first")
            << u'*' + stopped << u"rename Start"_s << u"*new|05/27 08:45; Continue 0/1; before; "_s;
        QTest::newRow("double-clicks: right only selects, left stops a Total's row, starts one")
            << u"A|05/27 08:15||0' 10\",B"_s << u"right-double-click0 double-click0 double-click1"_s
            << u"A|05/27 08:15|05/27 09:00|0' 45\",*B|05/27 09:00; Start 0/1; before; "_s;
        QTest::newRow("double-click, stopped row, OK without finish keeps total")
            << stopped << u"double-click0, OK 05/27 08:15|"_s
            << u"*A|05/27 08:15||0' 15\"; Continue 1/0; before; dialog 05/27 08:15|05/27 08:30"_s;
        QTest::newRow("double-click, stopped row, OK without start: a row to Start again")
            << stopped << u"double-click0, OK |05/27 08:30"_s
            << u"*A||05/27 08:30|0' 15\"; Start 1/0; before; dialog 05/27 08:15|05/27 08:30"_s;
        QTest::newRow("double-click, stopped row, cancel leaves even an unreadable Start")
            << u"A|banana|05/27 08:30|0' 15\""_s << u"double-click0"_s
            << u"*A|banana|05/27 08:30|0' 15\"; Continue 1/0; before; dialog banana|05/27 08:30"_s;
        // Any other heading would order these rows differently.
        QTest::newRow("only the Project heading sorts")
            << u"c|3|2|1,a|2|1|2,*B|1|3|3"_s << u"heading0 heading1 heading2 heading3"_s
            << u"a|2|1|2,*B|1|3|3,c|3|2|1; Continue 1/0; before; "_s;
        QTest::newRow("Alt-click adds a row below the rows, none on a row; close takes the typing")
            << u"a|05/27 07:45,b|05/27 08:00|05/27 08:10|0' 10\",c|05/27 08:30"_s
            << u"Alt-click1 Alt-click-below rename close"_s
            << u"a|05/27 07:45|05/27 09:00|1' 15\",*new|05/27 08:00|05/27 08:10|0' 10\","
               u"c|05/27 08:30|05/27 09:00|0' 30\",Untitled project 1"_s;

        QTest::newRow("Tab or Shift+Tab to a button and Space on it, enabled ones only, focus back")
            << u"*n,r|05/27 08:00"_s << u"Tab Space Backtab Space Tab"_s
            << u"*n|05/27 09:00|05/27 09:00|0' 0\",r|05/27 08:00; Continue 1/0; before; "
               u"Start list Stop list Continue"_s;
        QTest::newRow("Return starts a new row, Enter stops it, Return edits it")
            << u"a,*n"_s << u"Return Enter Return"_s
            << u"a,*n|05/27 09:00|05/27 09:00|0' 0\"; Continue 1/0; before; "
               u"list list dialog 05/27 09:00|05/27 09:00 list"_s;
        QTest::newRow("Return in a rename keeps the name and starts nothing; Alt+F, Alt+E")
            << u"*old"_s << u"F2 X Return Alt+F Esc Esc Alt+E"_s
            << u"*x; Start 1/0; before; rename rename list &File Menu list &Edit"_s;
        QTest::newRow("Backspace, rows 0 2 5, then Return with no row selected")
            << u"*0,1|05/27 08:00,*2|05/27 08:00,3,4,*5,6"_s << u"Backspace Return"_s
            << u"1|05/27 08:00,3,4,6; Start 0/0; before; list list"_s;
        const QString name(40000, u'\u00e9'); // more than a line edit holds
        QTest::newRow("Ctrl+Insert and Delete; a rename that changes nothing keeps a long name")
            << u'*' + name + u"|05/27 08:00|05/27 08:30|0' 30\""_s << u"F2 Return Ctrl+Ins Del"_s
            << u"; Start 0/0; Project: "_s + name
                + u"   Start: 05/27 08:00   Stop: 05/27 08:30   Total: 0' 30\"; rename list list list"_s;
    }

    // Each gesture as the user makes it, each key to whatever has the keyboard; a sort takes the
    // selection along.
    void steps()
    {
        QFETCH(QString, before);
        QFETCH(QString, steps);
        QFETCH(QString, after);
        begin(before);
        const QString answer = steps.section(u", "_s, 1);
        QString saved; // the rows when the window tells of its closing, the moment to save them
        QStringList trail;
        QObject context; // goes with this row, and with it a timer that found no dialog
        connect(m_window, &Window1::closing, &context, [this, &saved] { saved = rowsOf(*m_list); });
        QWidget *viewport = m_list->viewport();
        for (const QString &step : steps.section(u", "_s, 0, 0).split(u' ')) {
            QTimer::singleShot(0, &context, [answer, &trail] {
                auto *dialog = qobject_cast<EditDialog *>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                trail << u"dialog "_s + dialog->field(0)->text() + u'|' + dialog->field(1)->text();
                for (int field = 0; field < 2 && !answer.isEmpty(); ++field)
                    dialog->field(field)->setText(answer.mid(3).section(u'|', field, field));
                QTest::mouseClick(
                    answer.isEmpty() ? dialog->cancelButton() : dialog->okButton(), Qt::LeftButton);
            });
            const int digit = step.back().digitValue();
            const QPoint at = digit < 0 ? QPoint(viewport->width() / 2, viewport->height() - 5)
                                        : cell(digit, Column::Total).center();
            if (step.contains(u"double-click"_s)) {
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
                press(step, trail);
            }
        }
        const auto on = [this](int b) { return QString::number(m_window->button(b)->isEnabled()); };
        QCOMPARE(rowsOf(*m_list) + u"; "_s + m_window->button(0)->text() + u' ' + on(0) + u'/'
                + on(1) + u"; "_s + QGuiApplication::clipboard()->text() + u"; "_s
                + trail.join(u' '),
            after);
    }

    // Time stamps keep their ink right to left; under a dark scheme odd rows keep the tint, their
    // text readable, even ones the scheme's ground, and a selected row shows its highlight.
    void rightToLeftAndDark()
    {
        addRows(*m_list, u"A|12/01 09:05|12/01 10:35|1' 30\",*WWWW,WWWW,WWWW"_s);
        const auto ink = [this] {
            const QImage image = m_list->viewport()->grab(cell(0, Column::Start)).toImage();
            QRect box;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 128)
                        box |= QRect(x, y, 1, 1);
            return image.copy(box);
        };
        const QImage leftToRight = ink();
        m_window->setLayoutDirection(Qt::RightToLeft);
        QVERIFY(sameInk(ink(), leftToRight));
        m_window->setLayoutDirection(Qt::LeftToRight);
        QPalette palette = m_list->palette();
        palette.setColor(QPalette::Base, QColor(35, 38, 41));
        palette.setColor(QPalette::Text, QColor(160, 160, 160));
        palette.setColor(QPalette::Highlight, QColor(61, 174, 233));
        palette.setColor(QPalette::HighlightedText, QColor(0, 0, 0));
        m_list->setPalette(palette);
        const QImage image = m_list->viewport()->grab().toImage();
        const auto rgb = [](QColor c) { return Rgb { c.red(), c.green(), c.blue() }; };
        for (const int row : { 1, 2, 3 }) {
            const QRect rect = cell(row, Column::Project);
            const QColor ground = row == 1 ? palette.color(QPalette::Highlight)
                : row == 2                 ? palette.color(QPalette::Base)
                                           : QColor(235, 255, 255);
            QCOMPARE(image.pixelColor(rect.topRight() + QPoint(-3, 3)), ground);
            double strongest = 1;
            for (int y = rect.top(); y <= rect.bottom(); ++y)
                for (int x = rect.left(); x < rect.left() + rect.width() / 2; ++x)
                    strongest = std::max(
                        strongest, contrastRatio(rgb(image.pixelColor(x, y)), rgb(ground)));
            QVERIFY2(strongest >= readableContrast, qPrintable(QString::number(strongest)));
        }
    }

    // A large font grows the buttons to their captions (Continue too) and rows to their text.
    void largeFont()
    {
        const QFont font = QApplication::font();
        const auto restore = qScopeGuard([font] { QApplication::setFont(font); });
        close(true);
        QApplication::setFont(QFont(font.family(), 16));
        open();
        const QRect content = m_list->parentWidget()->rect();
        addRows(*m_list, u"*A|12/01 09:05|12/01 10:35|1' 30\""_s); // Continue, the longer caption
        int left = 0;
        for (QPushButton *button : { m_window->button(0), m_window->button(1) }) {
            const QRect place = button->geometry();
            QVERIFY2(content.contains(place) && place.top() > m_list->geometry().bottom()
                    && place.left() > left
                    && place.size() == place.size().expandedTo(button->sizeHint()),
                qPrintable(button->text()));
            left = place.right();
        }
        const QHeaderView *header = m_list->horizontalHeader();
        QVERIFY(m_list->rowHeight(0) >= m_list->fontMetrics().height()
            && header->height() >= header->sizeHint().height());
        // Even at its narrowest (a place saved under a smaller font) time stamps and totals show
        // whole: a focus frame's margin and a pixel each side of a cell's text.
        m_window->setWidth(0);
        QTRY_COMPARE(m_list->parentWidget()->width(), m_list->parentWidget()->minimumWidth());
        const int cellMargins
            = 2 * (m_list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_list) + 1);
        for (const Column column : { Column::Start, Column::Finish, Column::Total }) {
            const QString text = m_list->model()->index(0, columnIndex(column)).data().toString();
            QVERIFY2(m_list->fontMetrics().horizontalAdvance(text) + cellMargins
                    <= m_list->columnWidth(columnIndex(column)),
                qPrintable(text));
        }
    }

    // The designed layout at the default font; what a screen reader is told, read after the rows
    // came, as a reader that keeps the interfaces it asked for before reads them.
    void layoutAndAccessible()
    {
        const QWidget *content = m_list->parentWidget();
        QCOMPARE(content->minimumSize(), QSize(400, 200));
        QCOMPARE(content->maximumSize(), QSize(1200, 1200));
        QCOMPARE(m_list->geometry(), QRect(13, 11, 467, 175));
        QCOMPARE(m_window->button(0)->geometry(), QRect(13, 198, 100, 22));
        QCOMPARE(m_window->button(1)->geometry(), QRect(126, 198, 100, 22));
        const std::array objects { QAccessible::queryAccessibleInterface(m_list),
            QAccessible::queryAccessibleInterface(m_window->button(0)),
            QAccessible::queryAccessibleInterface(m_window->button(1)) };
        addRows(*m_list, u"*A|05/27 08:15|05/27 08:30|0' 15\""_s);
        QString text;
        for (QAccessibleInterface *object : objects)
            text += QString::fromLatin1(
                        QMetaEnum::fromType<QAccessible::Role>().valueToKey(object->role()))
                + u' ' + object->text(QAccessible::Name) + u"; "_s;
        QAccessibleTableInterface *table = objects[0]->tableInterface();
        for (int column = 0; column < table->columnCount(); ++column)
            text += table->cellAt(0, column)->text(QAccessible::Name) + u' ';
        QCOMPARE(text,
            u"Table Projects; Button Continue; Button Stop; A 05/27 08:15 05/27 08:30 0' 15\" "_s);
    }

private:
    static bool sameInk(const QImage &one, const QImage &other)
    {
        int differing = 0;
        for (int y = 0; y < one.height(); ++y)
            for (int x = 0; x < one.width(); ++x)
                differing += std::abs(qGray(one.pixel(x, y)) - qGray(other.pixel(x, y))) > 128;
        return one.size() == other.size() && differing * 20 < one.width() * one.height();
    }

    QRect cell(int row, Column column) const
    {
        return m_list->visualRect(m_list->model()->index(row, columnIndex(column)));
    }
};

QTEST_MAIN(tst_Window1)
#include "tst_window1.moc"
