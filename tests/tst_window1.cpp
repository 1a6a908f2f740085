#include "dateservice.h"
#include "editdialog.h"
#include "globalsmodule.h"
#include "listmodel.h"
#include "mylistclass.h"
#include "projectrows.h"
#include "window1.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

constexpr int Project = columnIndex(Column::Project);
constexpr int Start = columnIndex(Column::Start);
constexpr int Finish = columnIndex(Column::Finish);
constexpr int Total = columnIndex(Column::Total);

std::time_t localMoment(int month, int day, int hour, int minute, int second)
{
    std::tm fields {};
    fields.tm_year = 2026 - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

struct Buttons
{
    QString caption;
    bool startEnabled;
    bool stopEnabled;
};

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
    void editDialogResult_data();
    void editDialogResult();
    void backspaceRemovesSelectedRows_data();
    void backspaceRemovesSelectedRows();
    void altClickClearingSelectionAddsRow_data();
    void altClickClearingSelectionAddsRow();
    void headingClick_data();
    void headingClick();
    void oddRowsTintedByIndexAfterRemoval();
    void renameKeepsRowSelected();
    void closeStopsEveryRunningRow();
    void newRowsAreNumberedAndUnselected();

private:
    void addRows(const QList<QStringList> &rows);
    [[nodiscard]] QStringList rowTexts(int row) const;
    [[nodiscard]] QStringList projectColumn() const;
    [[nodiscard]] Buttons buttons() const;
    // The in-place editor while a cell is being edited.
    [[nodiscard]] QLineEdit *cellEditor() const;
    [[nodiscard]] QPoint cellCenter(int row, int column) const;
    void clickRow(int row, Qt::KeyboardModifiers modifiers = {});
    void doubleClickRow(int row);
    // Clicks a button of the modal dialog as soon as it is shown.
    void answerDialog(bool ok, const QString &start = {}, const QString &finish = {});

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
    m_clock.setMoment(localMoment(5, 27, 9, 0, 0));
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

void tst_Window1::addRows(const QList<QStringList> &rows)
{
    for (const QStringList &cells : rows) {
        m_list->AddRow(cells.value(Project).toStdString());
        for (int column = Start; column <= Total; ++column)
            m_list->setCell(m_list->LastIndex(), column, cells.value(column).toStdString());
    }
}

QStringList tst_Window1::rowTexts(int row) const
{
    QStringList texts;
    for (int column = 0; column < columnCount; ++column)
        texts << QString::fromStdString(m_list->Cell(row, column));
    return texts;
}

QStringList tst_Window1::projectColumn() const
{
    QStringList names;
    for (int row = 0; row < m_list->ListCount(); ++row)
        names << QString::fromStdString(m_list->Cell(row, Project));
    return names;
}

Buttons tst_Window1::buttons() const
{
    return { m_window->button(0)->text(), m_window->button(0)->isEnabled(),
             m_window->button(1)->isEnabled() };
}

QLineEdit *tst_Window1::cellEditor() const
{
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    return editor && editor->parentWidget() == m_list->viewport() ? editor : nullptr;
}

QPoint tst_Window1::cellCenter(int row, int column) const
{
    return m_list->visualRect(m_list->listModel()->index(row, column)).center();
}

void tst_Window1::clickRow(int row, Qt::KeyboardModifiers modifiers)
{
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, modifiers, cellCenter(row, Start));
}

void tst_Window1::doubleClickRow(int row)
{
    const QPoint at = cellCenter(row, Total);
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, {}, at);
}

void tst_Window1::answerDialog(bool ok, const QString &start, const QString &finish)
{
    QTimer::singleShot(0, this, [=] {
        auto *dialog = qobject_cast<EditDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        if (ok) {
            dialog->field(0)->setText(start);
            dialog->field(1)->setText(finish);
        }
        QTest::mouseClick(ok ? dialog->okButton() : dialog->cancelButton(), Qt::LeftButton);
    });
}

void tst_Window1::startStopContinueCycle()
{
    addRows({ { u"Client letter"_s } });
    QCOMPARE(buttons().startEnabled, false);
    QCOMPARE(buttons().stopEnabled, false);

    clickRow(0);
    QCOMPARE(buttons().caption, u"Start"_s);
    QVERIFY(buttons().startEnabled && !buttons().stopEnabled);

    QTest::mouseClick(m_window->button(0), Qt::LeftButton);
    QCOMPARE(rowTexts(0), QStringList({ u"Client letter"_s, u"05/27 09:00"_s, {}, {} }));
    // Starting leaves the caption as it was until the selection is next refreshed.
    QCOMPARE(buttons().caption, u"Start"_s);
    QVERIFY(!buttons().startEnabled && buttons().stopEnabled);

    m_clock.setMoment(localMoment(5, 27, 9, 45, 30));
    QTest::mouseClick(m_window->button(1), Qt::LeftButton);
    QCOMPARE(rowTexts(0),
             QStringList({ u"Client letter"_s, u"05/27 09:00"_s, u"05/27 09:45"_s, u"0' 45\""_s }));
    QCOMPARE(buttons().caption, u"Continue"_s);
    QVERIFY(buttons().startEnabled && !buttons().stopEnabled);

    m_clock.setMoment(localMoment(5, 27, 14, 10, 20));
    QTest::mouseClick(m_window->button(0), Qt::LeftButton);
    QCOMPARE(rowTexts(0), QStringList({ u"Client letter"_s, u"05/27 13:25"_s, {}, {} }));
    QVERIFY(!buttons().startEnabled && buttons().stopEnabled);

    m_clock.setMoment(localMoment(5, 27, 14, 30, 5));
    QTest::mouseClick(m_window->button(1), Qt::LeftButton);
    QCOMPARE(rowTexts(0),
             QStringList({ u"Client letter"_s, u"05/27 13:25"_s, u"05/27 14:30"_s, u"1' 5\""_s }));
    QCOMPARE(buttons().caption, u"Continue"_s);
    QVERIFY(buttons().startEnabled && !buttons().stopEnabled);

    // Clearing the selection disables both and puts the caption back.
    m_list->setListIndex(-1);
    QCOMPARE(buttons().caption, u"Start"_s);
    QVERIFY(!buttons().startEnabled && !buttons().stopEnabled);
}

void tst_Window1::doubleClick_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<bool>("dialogShown");

    QTest::newRow("new row starts")
            << QStringList { u"A"_s } << QStringList { u"A"_s, u"05/27 09:00"_s, {}, {} } << false;
    QTest::newRow("running row stops")
            << QStringList { u"A"_s, u"05/27 08:15"_s }
            << QStringList { u"A"_s, u"05/27 08:15"_s, u"05/27 09:00"_s, u"0' 45\""_s } << false;
    QTest::newRow("stopped row opens the dialog")
            << QStringList { u"A"_s, u"05/27 08:15"_s, u"05/27 08:30"_s, u"0' 15\""_s }
            << QStringList { u"A"_s, u"05/27 08:15"_s, u"05/27 08:30"_s, u"0' 15\""_s } << true;
}

void tst_Window1::doubleClick()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(bool, dialogShown);

    addRows({ before });
    bool shown = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<EditDialog *>(QApplication::activeModalWidget());
        shown = dialog != nullptr;
        if (dialog)
            QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    });
    doubleClickRow(0);
    QCOMPARE(rowTexts(0), after);
    QCOMPARE(shown, dialogShown);
    // A double-click never starts an in-place edit.
    QVERIFY(!cellEditor());
}

void tst_Window1::editDialogResult_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("finish");
    QTest::addColumn<QStringList>("after");

    const QString name = u"A"_s;
    QTest::newRow("cancel keeps the times and the total")
            << false << QString() << QString()
            << QStringList { name, u"05/27 08:15"_s, u"05/27 08:30"_s, u"0' 15\""_s };
    QTest::newRow("ok re-totals edited times")
            << true << u"05/27 07:00"_s << u"05/27 09:05"_s
            << QStringList { name, u"05/27 07:00"_s, u"05/27 09:05"_s, u"2' 5\""_s };
    QTest::newRow("ok with an emptied finish keeps the old total")
            << true << u"05/27 08:15"_s << QString()
            << QStringList { name, u"05/27 08:15"_s, {}, u"0' 15\""_s };
}

void tst_Window1::editDialogResult()
{
    QFETCH(bool, ok);
    QFETCH(QString, start);
    QFETCH(QString, finish);
    QFETCH(QStringList, after);

    addRows({ { u"A"_s, u"05/27 08:15"_s, u"05/27 08:30"_s, u"0' 15\""_s } });
    answerDialog(ok, start, finish);
    doubleClickRow(0);
    QCOMPARE(rowTexts(0), after);
}

void tst_Window1::backspaceRemovesSelectedRows_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("remaining");

    const QStringList all { u"r0"_s, u"r1"_s, u"r2"_s, u"r3"_s, u"r4"_s, u"r5"_s, u"r6"_s };
    QTest::newRow("backspace, rows 0 2 5")
            << QList<int> { 0, 2, 5 } << int(Qt::Key_Backspace)
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

    addRows({ { u"r0"_s }, { u"r1"_s, u"05/27 08:00"_s }, { u"r2"_s, u"05/27 08:00"_s },
              { u"r3"_s }, { u"r4"_s }, { u"r5"_s }, { u"r6"_s } });
    for (int row : selected)
        m_list->setSelected(row, true);
    m_list->setFocus();
    QTest::keyClick(m_list, Qt::Key(key));
    QCOMPARE(projectColumn(), remaining);
}

void tst_Window1::altClickClearingSelectionAddsRow_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("alt-click adds a row")
            << Qt::KeyboardModifiers(Qt::AltModifier)
            << QStringList { u"A"_s, u"Untitled project 1"_s };
    QTest::newRow("plain click adds nothing") << Qt::KeyboardModifiers() << QStringList { u"A"_s };
}

void tst_Window1::altClickClearingSelectionAddsRow()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QStringList, rows);

    addRows({ { u"A"_s } });
    clickRow(0);
    QCOMPARE(m_list->ListIndex(), 0);
    // Below the last row: the click clears the selection.
    const QPoint empty(m_list->viewport()->width() / 2, m_list->viewport()->height() - 5);
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, modifiers, empty);
    QCOMPARE(m_list->ListIndex(), -1);
    QCOMPARE(projectColumn(), rows);
}

void tst_Window1::headingClick_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QStringList>("order");

    QTest::newRow("project, once") << Project << 1 << QStringList { u"apple"_s, u"Banana"_s, u"cherry"_s };
    QTest::newRow("project, twice") << Project << 2 << QStringList { u"cherry"_s, u"Banana"_s, u"apple"_s };
    QTest::newRow("start") << Start << 1 << QStringList { u"cherry"_s, u"apple"_s, u"Banana"_s };
    QTest::newRow("finish") << Finish << 1 << QStringList { u"cherry"_s, u"apple"_s, u"Banana"_s };
    QTest::newRow("total") << Total << 2 << QStringList { u"cherry"_s, u"apple"_s, u"Banana"_s };
}

void tst_Window1::headingClick()
{
    QFETCH(int, column);
    QFETCH(int, clicks);
    QFETCH(QStringList, order);

    addRows({ { u"cherry"_s, u"01/01 00:00"_s, u"03/01 00:00"_s, u"9' 0\""_s },
              { u"apple"_s, u"02/01 00:00"_s, u"02/01 00:00"_s, u"0' 0\""_s },
              { u"Banana"_s, u"03/01 00:00"_s, u"01/01 00:00"_s, u"1' 0\""_s } });
    m_list->setSelected(2, true); // Banana
    QHeaderView *header = m_list->horizontalHeader();
    for (int click = 0; click < clicks; ++click) {
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    QCOMPARE(projectColumn(), order);
    QCOMPARE(m_list->HeadingIndex(), Project);
    // The selection follows its row.
    QCOMPARE(m_list->selectedRows(), std::vector<int> { int(order.indexOf(u"Banana"_s)) });
}

void tst_Window1::oddRowsTintedByIndexAfterRemoval()
{
    addRows({ { u"r0"_s }, { u"r1"_s }, { u"r2"_s }, { u"r3"_s } });
    const auto tintAt = [this](int row) {
        const QImage image = m_list->viewport()->grab().toImage();
        return QColor(image.pixel(m_list->visualRect(m_list->listModel()->index(row, Total))
                                          .topLeft() + QPoint(3, 3)));
    };
    const QColor tint(235, 255, 255);
    QCOMPARE(tintAt(0) == tint, false);
    QCOMPARE(tintAt(1), tint);
    QCOMPARE(tintAt(2) == tint, false);
    QCOMPARE(tintAt(3), tint);

    m_list->RemoveRow(1);
    QCOMPARE(projectColumn(), QStringList({ u"r0"_s, u"r2"_s, u"r3"_s }));
    QCOMPARE(tintAt(0) == tint, false);
    QCOMPARE(tintAt(1), tint);
    QCOMPARE(tintAt(2) == tint, false);
}

void tst_Window1::renameKeepsRowSelected()
{
    addRows({ { u"b"_s }, { u"a"_s }, { u"c"_s } });
    clickRow(1);
    m_list->setFocus();
    QTest::keyClick(m_list, Qt::Key_F2);
    QTRY_VERIFY(cellEditor());
    QWidget *editor = cellEditor();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    // A pasted tab or line break would split the saved line: it becomes a space.
    QGuiApplication::clipboard()->setText(u"Tax\treturn\n"_s);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!cellEditor());
    QCOMPARE(projectColumn(), QStringList({ u"b"_s, u"Tax return "_s, u"c"_s }));
    QCOMPARE(m_list->selectedRows(), std::vector<int> { 1 });
    QCOMPARE(m_list->HeadingIndex(), Project);
}

void tst_Window1::closeStopsEveryRunningRow()
{
    addRows({ { u"running since nine"_s, u"05/27 09:00"_s },
              { u"stopped"_s, u"05/27 08:00"_s, u"05/27 08:10"_s, u"0' 10\""_s },
              { u"new"_s },
              { u"running too"_s, u"05/27 11:30"_s } });
    m_list->setSelected(2, true);
    m_clock.setMoment(localMoment(5, 27, 12, 15, 42));

    QStringList atClosing;
    connect(m_window, &Window1::closing, this, [&] {
        for (int row = 0; row < m_list->ListCount(); ++row)
            atClosing << rowTexts(row).join(u'|');
    });
    m_window->close();
    QCOMPARE(atClosing,
             QStringList({ u"running since nine|05/27 09:00|05/27 12:15|3' 15\""_s,
                           u"stopped|05/27 08:00|05/27 08:10|0' 10\""_s, u"new|||"_s,
                           u"running too|05/27 11:30|05/27 12:15|0' 45\""_s }));
    QVERIFY(!Window1::existing());
}

void tst_Window1::newRowsAreNumberedAndUnselected()
{
    // A loaded row of the same name does not move the numbering on: names may repeat.
    addRows({ { u"Untitled project 1"_s } });
    m_window->createNewRow();
    m_window->createNewRow();
    QCOMPARE(projectColumn(), QStringList({ u"Untitled project 1"_s, u"Untitled project 1"_s,
                                            u"Untitled project 2"_s }));
    QCOMPARE(rowTexts(2), QStringList({ u"Untitled project 2"_s, {}, {}, {} }));
    QCOMPARE(m_list->ListIndex(), -1);
}

QTEST_MAIN(tst_Window1)
#include "tst_window1.moc"
