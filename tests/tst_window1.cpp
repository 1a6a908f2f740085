#include "dateservice.h"
#include "editdialog.h"
#include "globalsmodule.h"
#include "listmodel.h"
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

// The clock runs in UTC (see initTestCase), on the day of the examples.
std::time_t on27May(int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 5, 27), QTime(hour, minute, second), Qt::UTC).toSecsSinceEpoch();
}

} // namespace

class tst_Window1 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startStopContinueCycle();
    void doubleClick_data();
    void doubleClick();
    void backspaceRemovesSelectedRows_data();
    void backspaceRemovesSelectedRows();
    void altClickClearingSelection();
    void headingClick_data();
    void headingClick();
    void oddRowsTintedByIndexAfterRemoval();
    void renameKeepsRowSelected();
    void closeStopsEveryRunningRow();
    void closeKeepsTypedNameAndAddsNoRowWithAlt_data();
    void closeKeepsTypedNameAndAddsNoRowWithAlt();

private:
    // Rows are written as their cells joined with '|', as in "Name|05/27 09:00||".
    void addRows(const QStringList &rows);
    [[nodiscard]] QString row(int index) const;
    [[nodiscard]] QStringList projectColumn() const;
    // Button 0's caption and whether each button is enabled, as in "Start on/off".
    [[nodiscard]] QString buttons() const;

    FixedClock m_clock { 0 };
    Window1 *m_window = nullptr;
    myListClass *m_list = nullptr;
};

void tst_Window1::initTestCase()
{
    qputenv("TZ", "UTC");
    tzset();
    Clock::setCurrent(&m_clock);
}

void tst_Window1::init()
{
    m_clock.setMoment(on27May(9, 0));
    GlobalsModule::gNum = 0; // as at every start of the program
    m_window = Window1::instance();
    m_list = m_window->listBox();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void tst_Window1::cleanup()
{
    if (Window1 *window = Window1::existing())
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!Window1::existing());
}

void tst_Window1::addRows(const QStringList &rows)
{
    for (const QString &text : rows) {
        const QStringList cells = text.split(u'|');
        m_list->AddRow(cells.value(Project).toStdString());
        for (int column = Start; column <= Total; ++column)
            m_list->setCell(m_list->LastIndex(), column, cells.value(column).toStdString());
    }
}

QString tst_Window1::row(int index) const
{
    QStringList texts;
    for (int column = 0; column < columnCount; ++column)
        texts << QString::fromStdString(m_list->Cell(index, column));
    return texts.join(u'|');
}

QStringList tst_Window1::projectColumn() const
{
    QStringList names;
    for (int index = 0; index < m_list->ListCount(); ++index)
        names << QString::fromStdString(m_list->Cell(index, Project));
    return names;
}

QString tst_Window1::buttons() const
{
    const auto state
        = [](const QPushButton *button) { return button->isEnabled() ? u"on"_s : u"off"_s; };
    return u"%1 %2/%3"_s.arg(
        m_window->button(0)->text(), state(m_window->button(0)), state(m_window->button(1)));
}

void tst_Window1::startStopContinueCycle()
{
    addRows({ u"Client letter"_s });
    QCOMPARE(buttons(), u"Start off/off"_s);
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {},
        m_list->visualRect(m_list->listModel()->index(0, Start)).center());
    QCOMPARE(buttons(), u"Start on/off"_s);

    QTest::mouseClick(m_window->button(0), Qt::LeftButton);
    QCOMPARE(row(0), u"Client letter|05/27 09:00||"_s);
    // Starting leaves the caption as it was until the selection is next refreshed.
    QCOMPARE(buttons(), u"Start off/on"_s);

    m_clock.setMoment(on27May(9, 45, 30));
    QTest::mouseClick(m_window->button(1), Qt::LeftButton);
    QCOMPARE(row(0), u"Client letter|05/27 09:00|05/27 09:45|0' 45\""_s);
    QCOMPARE(buttons(), u"Continue on/off"_s);

    m_clock.setMoment(on27May(14, 10, 20));
    QTest::mouseClick(m_window->button(0), Qt::LeftButton);
    QCOMPARE(row(0), u"Client letter|05/27 13:25||"_s);
    QCOMPARE(buttons(), u"Continue off/on"_s);

    m_clock.setMoment(on27May(14, 30, 5));
    QTest::mouseClick(m_window->button(1), Qt::LeftButton);
    QCOMPARE(row(0), u"Client letter|05/27 13:25|05/27 14:30|1' 5\""_s);
    QCOMPARE(buttons(), u"Continue on/off"_s);

    m_list->setListIndex(-1);
    QCOMPARE(buttons(), u"Start off/off"_s);
}

void tst_Window1::doubleClick_data()
{
    QTest::addColumn<QString>("before");
    // No dialog expected when null; else "Cancel", or the "start|finish" to hand back with OK.
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("after");
    const QString stopped = u"A|05/27 08:15|05/27 08:30|0' 15\""_s;
    QTest::newRow("new row starts") << u"A"_s << QString() << u"A|05/27 09:00||"_s;
    QTest::newRow("running row stops")
        << u"A|05/27 08:15"_s << QString() << u"A|05/27 08:15|05/27 09:00|0' 45\""_s;
    QTest::newRow("stopped row, dialog cancelled") << stopped << u"Cancel"_s << stopped;
    QTest::newRow("stopped row, OK re-totals")
        << stopped << u"05/27 07:00|05/27 09:05"_s << u"A|05/27 07:00|05/27 09:05|2' 5\""_s;
    QTest::newRow("stopped row, OK with finish emptied keeps the total")
        << stopped << u"05/27 08:15|"_s << u"A|05/27 08:15||0' 15\""_s;
}

void tst_Window1::doubleClick()
{
    QFETCH(QString, before);
    QFETCH(QString, answer);
    QFETCH(QString, after);
    addRows({ before });
    bool shown = false;
    // Destroyed before `shown`, so a timer that found no dialog cannot fire later.
    QObject context;
    QTimer::singleShot(0, &context, [&shown, answer] {
        auto *dialog = qobject_cast<EditDialog *>(QApplication::activeModalWidget());
        shown = dialog != nullptr;
        if (!dialog)
            return;
        const bool ok = answer != u"Cancel"_s;
        if (ok) {
            dialog->field(0)->setText(answer.section(u'|', 0, 0));
            dialog->field(1)->setText(answer.section(u'|', 1, 1));
        }
        QTest::mouseClick(ok ? dialog->okButton() : dialog->cancelButton(), Qt::LeftButton);
    });

    const QPoint at = m_list->visualRect(m_list->listModel()->index(0, Total)).center();
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, {}, at);

    QCOMPARE(row(0), after);
    QCOMPARE(shown, !answer.isNull());
    QVERIFY(!m_list->findChild<QLineEdit *>());
}

void tst_Window1::backspaceRemovesSelectedRows_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("remaining");
    const QStringList all { u"r0"_s, u"r1"_s, u"r2"_s, u"r3"_s, u"r4"_s, u"r5"_s, u"r6"_s };
    QTest::newRow("backspace, rows 0 2 5") << QList<int> { 0, 2, 5 } << int(Qt::Key_Backspace)
                                           << QStringList { u"r1"_s, u"r3"_s, u"r4"_s, u"r6"_s };
    QTest::newRow("backspace, nothing selected") << QList<int> {} << int(Qt::Key_Backspace) << all;
    QTest::newRow("forward delete removes nothing")
        << QList<int> { 0, 2, 5 } << int(Qt::Key_Delete) << all;
}

void tst_Window1::backspaceRemovesSelectedRows()
{
    QFETCH(QList<int>, selected);
    QFETCH(int, key);
    QFETCH(QStringList, remaining);
    addRows(
        { u"r0"_s, u"r1|05/27 08:00"_s, u"r2|05/27 08:00"_s, u"r3"_s, u"r4"_s, u"r5"_s, u"r6"_s });
    for (int index : selected)
        m_list->setSelected(index, true);
    m_list->setFocus();
    QTest::keyClick(m_list, Qt::Key(key));
    QCOMPARE(projectColumn(), remaining);
}

// A click below the last row clears the selection; only with Alt held does it add a row.
void tst_Window1::altClickClearingSelection()
{
    addRows({ u"A"_s });
    const QPoint empty(m_list->viewport()->width() / 2, m_list->viewport()->height() - 5);
    for (const Qt::KeyboardModifier modifier : { Qt::NoModifier, Qt::AltModifier }) {
        m_list->setListIndex(0);
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, modifier, empty);
        QCOMPARE(m_list->ListIndex(), -1);
    }
    QCOMPARE(projectColumn(), QStringList({ u"A"_s, u"Untitled project 1"_s }));
}

void tst_Window1::headingClick_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QStringList>("order");
    const QStringList unsorted { u"cherry"_s, u"apple"_s, u"Banana"_s };
    QTest::newRow("project, once")
        << Project << 1 << QStringList { u"apple"_s, u"Banana"_s, u"cherry"_s };
    QTest::newRow("project, twice")
        << Project << 2 << QStringList { u"cherry"_s, u"Banana"_s, u"apple"_s };
    QTest::newRow("start") << Start << 1 << unsorted;
    QTest::newRow("finish") << columnIndex(Column::Finish) << 1 << unsorted;
    QTest::newRow("total") << Total << 2 << unsorted;
}

// Only the Project heading sorts; the selection follows its row.
void tst_Window1::headingClick()
{
    QFETCH(int, column);
    QFETCH(int, clicks);
    QFETCH(QStringList, order);
    addRows({ u"cherry|01/01 00:00|03/01 00:00|9' 0\""_s, u"apple|02/01 00:00|02/01 00:00|0' 0\""_s,
        u"Banana|03/01 00:00|01/01 00:00|1' 0\""_s });
    m_list->setSelected(2, true);
    QHeaderView *header = m_list->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
        header->height() / 2);
    for (int click = 0; click < clicks; ++click)
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(projectColumn(), order);
    QCOMPARE(m_list->HeadingIndex(), Project);
    QCOMPARE(m_list->selectedRows(), std::vector<int> { int(order.indexOf(u"Banana"_s)) });
}

void tst_Window1::oddRowsTintedByIndexAfterRemoval()
{
    addRows({ u"r0"_s, u"r1"_s, u"r2"_s, u"r3"_s });
    m_list->RemoveRow(1);
    QCOMPARE(projectColumn(), QStringList({ u"r0"_s, u"r2"_s, u"r3"_s }));
    const QImage image = m_list->viewport()->grab().toImage();
    for (int index = 0; index < 3; ++index) {
        const QRect cell = m_list->visualRect(m_list->listModel()->index(index, Total));
        QCOMPARE(QColor(image.pixel(cell.topLeft() + QPoint(3, 3))) == QColor(235, 255, 255),
            index % 2 == 1);
    }
}

void tst_Window1::renameKeepsRowSelected()
{
    addRows({ u"b"_s, u"a"_s, u"c"_s });
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {},
        m_list->visualRect(m_list->listModel()->index(1, Start)).center());
    m_list->setFocus();
    QTest::keyClick(m_list, Qt::Key_F2);
    QTRY_VERIFY(m_list->findChild<QLineEdit *>());
    auto *editor = m_list->findChild<QLineEdit *>();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QGuiApplication::clipboard()->setText(u"Tax\treturn\n"_s);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!m_list->findChild<QLineEdit *>());
    QCOMPARE(projectColumn(), QStringList({ u"b"_s, u"Tax return "_s, u"c"_s }));
    QCOMPARE(m_list->selectedRows(), std::vector<int> { 1 });
    QCOMPARE(m_list->HeadingIndex(), Project);
}

void tst_Window1::closeStopsEveryRunningRow()
{
    addRows({ u"running since nine|05/27 09:00"_s, u"stopped|05/27 08:00|05/27 08:10|0' 10\""_s,
        u"new"_s, u"running too|05/27 11:30"_s });
    m_list->setSelected(2, true);
    m_clock.setMoment(on27May(12, 15, 42));
    QStringList atClosing;
    connect(m_window, &Window1::closing, this, [&] {
        for (int index = 0; index < m_list->ListCount(); ++index)
            atClosing << row(index);
    });
    m_window->close();
    QCOMPARE(atClosing,
        QStringList({ u"running since nine|05/27 09:00|05/27 12:15|3' 15\""_s,
            u"stopped|05/27 08:00|05/27 08:10|0' 10\""_s, u"new|||"_s,
            u"running too|05/27 11:30|05/27 12:15|0' 45\""_s }));
    QVERIFY(!Window1::existing());
}

void tst_Window1::closeKeepsTypedNameAndAddsNoRowWithAlt_data()
{
    QTest::addColumn<QString>("typing");
    QTest::addColumn<Qt::KeyboardModifiers>("held");
    QTest::addColumn<QString>("saved");

    QTest::newRow("a name still being typed is saved")
        << u"new name"_s << Qt::KeyboardModifiers() << u"new name|05/27 08:00|05/27 09:00|1' 0\""_s;
    QTest::newRow("Alt+F4 with nothing selected adds no row")
        << QString() << Qt::KeyboardModifiers(Qt::AltModifier)
        << u"old name|05/27 08:00|05/27 09:00|1' 0\""_s;
}

void tst_Window1::closeKeepsTypedNameAndAddsNoRowWithAlt()
{
    QFETCH(QString, typing);
    QFETCH(Qt::KeyboardModifiers, held);
    QFETCH(QString, saved);

    addRows({ u"old name|05/27 08:00"_s });
    if (!typing.isEmpty()) {
        m_list->setListIndex(0);
        m_list->setFocus();
        QTest::keyClick(m_list, Qt::Key_F2);
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->setText(typing);
    }
    // A click on the disabled Stop button leaves the modifiers held as the keyboard reports them.
    QTest::mouseClick(m_window->button(1), Qt::LeftButton, held);
    QStringList atClosing;
    connect(m_window, &Window1::closing, this, [&] {
        for (int index = 0; index < m_list->ListCount(); ++index)
            atClosing << row(index);
    });
    m_window->close();
    QCOMPARE(atClosing, QStringList { saved });
}

QTEST_MAIN(tst_Window1)
#include "tst_window1.moc"
