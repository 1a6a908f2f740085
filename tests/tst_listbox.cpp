#include "listbox.h"
#include "listmodel.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <cstdlib>
#include <memory>
#include <set>

using namespace Qt::StringLiterals;

namespace {

constexpr int kColumns = 4;
const QColor kTint(235, 255, 255);

class ListFixture
{
public:
    explicit ListFixture(const QStringList &names)
        : m_list(std::make_unique<ListBox>(kColumns))
    {
        const QStringList headings { u"Project"_s, u"Start"_s, u"Finish"_s, u"Total"_s };
        for (int column = 0; column < kColumns; ++column) {
            m_list->setHeading(column, headings.at(column));
        }
        m_list->setColumnType(0, ListBox::ColumnType::Editable);
        std::vector<ListRow> rows;
        for (const QString &name : names) {
            rows.push_back({ name.toStdString() });
        }
        m_list->AddRows(std::move(rows));
        m_list->resize(467, 175);
        m_list->show();
        m_list->activateWindow();
    }

    ListBox &operator*() const { return *m_list; }
    ListBox *operator->() const { return m_list.get(); }
    ListBox *get() const { return m_list.get(); }

private:
    std::unique_ptr<ListBox> m_list;
};

QStringList names(const ListBox &list)
{
    QStringList result;
    for (int row = 0; row < list.ListCount(); ++row) {
        result.append(QString::fromStdString(list.Cell(row, 0)));
    }
    return result;
}

QStringList letters(int count)
{
    QStringList result;
    for (int row = 0; row < count; ++row) {
        result.append(QString(QChar(u'a' + row)));
    }
    return result;
}

QList<int> selected(const ListBox &list)
{
    const std::vector<int> rows = list.selectedRows();
    return { rows.cbegin(), rows.cend() };
}

void select(ListBox &list, const QList<int> &rows)
{
    for (const int row : rows) {
        list.setSelected(row, true);
    }
}

void clickHeading(ListBox &list, int column)
{
    QHeaderView *header = list.horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

std::vector<int> sectionSizes(const ListBox &list)
{
    std::vector<int> sizes;
    for (int column = 0; column < kColumns; ++column) {
        sizes.push_back(list.horizontalHeader()->sectionSize(column));
    }
    return sizes;
}

} // namespace

class tst_ListBox : public QObject
{
    Q_OBJECT
private slots:
    void listIndexIsLowestSelected_data();
    void listIndexIsLowestSelected();
    void setListIndex_data();
    void setListIndex();
    void setSelectedRows_data();
    void setSelectedRows();
    void headingClickSortsAndSelectionFollows();
    void sortColumnHandler_data();
    void sortColumnHandler();
    void setHeadingIndexDoesNotSort();
    void keyDownCodes_data();
    void keyDownCodes();
    void keyDownConsumes_data();
    void keyDownConsumes();
    void doubleClickDoesNotEdit();
    void inPlaceEdit_data();
    void inPlaceEdit();
    void columnWidthsReadBack_data();
    void columnWidthsReadBack();
    void malformedColumnWidthsKeepWidths();
    void percentagesFollowResize();
    void draggedColumnsReportTheirWidths();
    void backgroundPaintsByRow();
    void lastIndex_data();
    void lastIndex();
    void removeHalfOfALongList();
};

void tst_ListBox::listIndexIsLowestSelected_data()
{
    QTest::addColumn<QList<int>>("selection");
    QTest::addColumn<int>("expected");
    QTest::newRow("nothing selected") << QList<int> {} << -1;
    QTest::newRow("lowest of several chosen out of order") << QList { 5, 2, 7 } << 2;
    QTest::newRow("first row") << QList { 0, 9 } << 0;
    QTest::newRow("last row alone") << QList { 9 } << 9;
}

void tst_ListBox::listIndexIsLowestSelected()
{
    QFETCH(QList<int>, selection);
    QFETCH(int, expected);
    ListFixture list(letters(10));
    select(*list, selection);
    QCOMPARE(list->ListIndex(), expected);
}

void tst_ListBox::setListIndex_data()
{
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<int>("row");
    QTest::addColumn<QList<int>>("after");
    QTest::addColumn<int>("changes");
    QTest::newRow("same row keeps the selection") << QList { 2, 5 } << 2 << QList { 2, 5 } << 1;
    QTest::newRow("other row selects it alone") << QList { 2, 5 } << 5 << QList { 5 } << 2;
    QTest::newRow("minus one clears") << QList { 2, 5 } << -1 << QList<int> {} << 2;
    QTest::newRow("minus one when already clear") << QList<int> {} << -1 << QList<int> {} << 1;
    QTest::newRow("row from nothing") << QList<int> {} << 3 << QList { 3 } << 2;
    QTest::newRow("single row set again") << QList { 3 } << 3 << QList { 3 } << 1;
    QTest::newRow("past the end clears") << QList { 2 } << 8 << QList<int> {} << 2;
}

void tst_ListBox::setListIndex()
{
    QFETCH(QList<int>, before);
    QFETCH(int, row);
    QFETCH(QList<int>, after);
    QFETCH(int, changes);
    ListFixture list(letters(8));
    select(*list, before);
    QSignalSpy change(list.get(), &ListBox::Change);
    list->setListIndex(row);
    QCOMPARE(selected(*list), after);
    QCOMPARE(change.count(), changes);
    if (after == QList { row } && before != after) {
        QCOMPARE(list->currentIndex().row(), row);
    }
}

void tst_ListBox::setSelectedRows_data()
{
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QList<int>>("after");
    QTest::newRow("replaces the selection") << QList { 0, 1 } << QList { 4, 6 } << QList { 4, 6 };
    QTest::newRow("runs in any order with duplicates")
        << QList<int> {} << QList { 7, 2, 3, 2, 5, 6 } << QList { 2, 3, 5, 6, 7 };
    QTest::newRow("out of range rows ignored") << QList { 3 } << QList { -1, 1, 8 } << QList { 1 };
    QTest::newRow("nothing clears") << QList { 3, 4 } << QList<int> {} << QList<int> {};
}

void tst_ListBox::setSelectedRows()
{
    QFETCH(QList<int>, before);
    QFETCH(QList<int>, rows);
    QFETCH(QList<int>, after);
    ListFixture list(letters(8));
    select(*list, before);
    QSignalSpy change(list.get(), &ListBox::Change);
    list->setSelectedRows({ rows.cbegin(), rows.cend() });
    QCOMPARE(selected(*list), after);
    QCOMPARE(change.count(), 1);
    for (int row = 0; row < list->ListCount(); ++row) {
        QCOMPARE(list->Selected(row), after.contains(row));
    }
}

void tst_ListBox::headingClickSortsAndSelectionFollows()
{
    ListFixture list({ u"b"_s, u"C"_s, u"a"_s, u"d"_s });
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
    select(*list, { 1, 3 });
    QHeaderView *header = list->horizontalHeader();

    clickHeading(*list, 0);
    QCOMPARE(names(*list), (QStringList { u"a"_s, u"b"_s, u"C"_s, u"d"_s }));
    QCOMPARE(selected(*list), (QList { 2, 3 }));
    QCOMPARE(list->HeadingIndex(), 0);
    QCOMPARE(header->sortIndicatorSection(), 0);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(list->LastIndex(), 3);

    clickHeading(*list, 0);
    QCOMPARE(names(*list), (QStringList { u"d"_s, u"C"_s, u"b"_s, u"a"_s }));
    QCOMPARE(selected(*list), (QList { 0, 1 }));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(list->LastIndex(), 0);

    clickHeading(*list, 0);
    QCOMPARE(names(*list), (QStringList { u"a"_s, u"b"_s, u"C"_s, u"d"_s }));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
}

void tst_ListBox::sortColumnHandler_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("other heading refused") << 2 << QStringList { u"b"_s, u"c"_s, u"a"_s };
    QTest::newRow("project heading sorts") << 0 << QStringList { u"a"_s, u"b"_s, u"c"_s };
}

// Only the first column sorts; a refused click leaves the mark where it was.
void tst_ListBox::sortColumnHandler()
{
    QFETCH(int, column);
    QFETCH(QStringList, expected);
    ListFixture list({ u"b"_s, u"c"_s, u"a"_s });
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
    list->setHeadingIndex(0);
    QList<int> asked;
    list->setSortColumnHandler([&asked](int clicked) {
        asked.append(clicked);
        return clicked != 0;
    });
    clickHeading(*list, column);
    QCOMPARE(asked, QList { column });
    QCOMPARE(names(*list), expected);
    QCOMPARE(list->HeadingIndex(), 0);
    QCOMPARE(list->horizontalHeader()->sortIndicatorSection(), 0);
    QCOMPARE(list->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
}

void tst_ListBox::setHeadingIndexDoesNotSort()
{
    ListFixture list({ u"b"_s, u"c"_s, u"a"_s });
    list->setHeadingIndex(0);
    list->setHeadingIndex(2);
    QCOMPARE(names(*list), (QStringList { u"b"_s, u"c"_s, u"a"_s }));
    QCOMPARE(list->horizontalHeader()->sortIndicatorSection(), 2);
}

void tst_ListBox::keyDownCodes_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<uint>("code");
    QTest::newRow("backspace") << Qt::Key_Backspace << 8u;
    QTest::newRow("forward delete") << Qt::Key_Delete << 127u;
    QTest::newRow("return") << Qt::Key_Return << 13u;
    QTest::newRow("keypad enter") << Qt::Key_Enter << 13u;
    QTest::newRow("escape") << Qt::Key_Escape << 27u;
    QTest::newRow("tab") << Qt::Key_Tab << 9u;
    QTest::newRow("letter") << Qt::Key_Q << uint('q');
    QTest::newRow("arrow has no character") << Qt::Key_Up << 0u;
}

void tst_ListBox::keyDownCodes()
{
    QFETCH(Qt::Key, key);
    QFETCH(uint, code);
    ListFixture list(letters(3));
    QList<uint> received;
    list->setKeyDownHandler([&received](char32_t typed) {
        received.append(typed);
        return true;
    });
    QTest::keyClick(list.get(), key);
    QCOMPARE(received, QList { code });
}

void tst_ListBox::keyDownConsumes_data()
{
    QTest::addColumn<bool>("consumed");
    QTest::addColumn<int>("currentRow");
    QTest::newRow("consumed key does not move") << true << 0;
    QTest::newRow("other key moves down") << false << 1;
}

void tst_ListBox::keyDownConsumes()
{
    QFETCH(bool, consumed);
    QFETCH(int, currentRow);
    ListFixture list(letters(3));
    list->setListIndex(0);
    list->setKeyDownHandler([consumed](char32_t) { return consumed; });
    QTest::keyClick(list.get(), Qt::Key_Down);
    QCOMPARE(list->currentIndex().row(), currentRow);
}

void tst_ListBox::doubleClickDoesNotEdit()
{
    ListFixture list(letters(3));
    QVERIFY(QTest::qWaitForWindowActive(list.get()));
    QSignalSpy doubleClick(list.get(), &ListBox::DoubleClick);
    QSignalSpy focus(qApp, &QApplication::focusChanged);
    const QPoint centre = list->visualRect(list->listModel()->index(1, 0)).center();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(doubleClick.count(), 1);
    QCOMPARE(list->ListIndex(), 1);
    // A click on a selected row starts an edit after the double-click time unless a second
    // click comes: wait that long for an editor to take the focus.
    QVERIFY(!focus.wait(QApplication::doubleClickInterval() + 200));
    QVERIFY(!list->findChild<QLineEdit *>());
}

void tst_ListBox::inPlaceEdit_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<Qt::Key>("finish");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("action");
    QTest::newRow("typed name kept")
        << u"Renamed"_s << QString() << Qt::Key_Return << u"Renamed"_s << true;
    QTest::newRow("pasted tab and line break become spaces")
        << u"x"_s << u"\ty\r\nz"_s << Qt::Key_Enter << u"x y  z"_s << true;
    QTest::newRow("escape abandons the edit")
        << u"Renamed"_s << QString() << Qt::Key_Escape << u"b"_s << false;
}

void tst_ListBox::inPlaceEdit()
{
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(Qt::Key, finish);
    QFETCH(QString, expected);
    QFETCH(bool, action);
    ListFixture list(letters(3));
    QVERIFY(QTest::qWaitForWindowActive(list.get()));
    list->setFocus();
    list->setListIndex(1);
    QSignalSpy cellAction(list.get(), &ListBox::CellAction);

    QTest::keyClick(list.get(), Qt::Key_F2);
    auto *editor = list->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, typed);
    if (!pasted.isEmpty()) {
        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    }
    QTest::keyClick(editor, finish);

    if (action) {
        QVERIFY(cellAction.wait());
        QCOMPARE(cellAction.count(), 1);
        QCOMPARE(cellAction.at(0), (QVariantList { 1, 0 }));
    } else {
        QTRY_VERIFY(!list->findChild<QLineEdit *>());
        QCOMPARE(cellAction.count(), 0);
    }
    QCOMPARE(QString::fromStdString(list->Cell(1, 0)), expected);
}

void tst_ListBox::columnWidthsReadBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("the window's default") << u"35%,25%,25%,15%"_s;
    QTest::newRow("spaces and mixed kinds kept as written") << u" 40% , * ,100,10.50% "_s;
    QTest::newRow("fewer entries than columns") << u"120"_s;
}

void tst_ListBox::columnWidthsReadBack()
{
    QFETCH(QString, text);
    ListFixture list(letters(3));
    list->setColumnWidths(text.toStdString());
    list->resize(600, 200);
    QCOMPARE(QString::fromStdString(list->ColumnWidths()), text);
}

void tst_ListBox::malformedColumnWidthsKeepWidths()
{
    ListFixture list(letters(3));
    list->setColumnWidths("50,60,70,80");
    list->setColumnWidths("50,abc");
    list->setColumnWidths("");
    QCOMPARE(QString::fromStdString(list->ColumnWidths()), u"50,60,70,80"_s);
    QCOMPARE(sectionSizes(*list), (std::vector { 50, 60, 70, 80 }));
}

void tst_ListBox::percentagesFollowResize()
{
    ListFixture list(letters(3));
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
    list->setColumnWidths("50%,*,100,10%");
    for (const int width : { 400, 900 }) {
        list->resize(width, 200);
        QTRY_COMPARE(list->viewport()->width(), width - 2 * list->frameWidth());
        const int available = list->viewport()->width();
        const int half = qRound(available * 0.5);
        const int tenth = qRound(available * 0.1);
        QCOMPARE(sectionSizes(*list),
            (std::vector { half, available - half - 100 - tenth, 100, tenth }));
    }
}

void tst_ListBox::draggedColumnsReportTheirWidths()
{
    ListFixture list(letters(3));
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
    list->setColumnWidths("35%,25%,25%,15%");
    list->horizontalHeader()->resizeSection(1, 150);
    const std::vector<int> dragged = sectionSizes(*list);
    QCOMPARE(dragged[1], 150);

    const std::string text = list->ColumnWidths();
    QVERIFY(text != "35%,25%,25%,15%");
    const auto entries = parseColumnWidths(text);
    QVERIFY(entries.has_value());
    const std::vector<int> laidOut
        = layoutColumnWidths(*entries, kColumns, list->viewport()->width());
    for (int column = 0; column < kColumns; ++column) {
        QVERIFY(std::abs(laidOut[std::size_t(column)] - dragged[std::size_t(column)]) <= 1);
    }

    // Setting that text again lays the same columns out.
    list->setColumnWidths(text);
    for (int column = 0; column < kColumns; ++column) {
        QVERIFY(
            std::abs(sectionSizes(*list)[std::size_t(column)] - dragged[std::size_t(column)]) <= 1);
    }
}

void tst_ListBox::backgroundPaintsByRow()
{
    ListFixture list(letters(4));
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
    std::set<std::pair<int, int>> painted;
    list->setCellBackgroundPaintHandler(
        [&painted](QPainter &painter, QSize size, int row, int column) {
            painted.emplace(row, column);
            // Twice the cell, so that a missing clip would tint the row below too.
            if (row % 2 == 1) {
                painter.fillRect(QRect(QPoint(0, 0), size * 2), kTint);
            }
            return false;
        });
    list->RemoveRow(0);
    const QImage image = list->viewport()->grab().toImage();

    std::set<std::pair<int, int>> expected;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            expected.emplace(row, column);
        }
    }
    QCOMPARE(painted, expected);
    for (int row = 0; row < 3; ++row) {
        const QRect cell = list->visualRect(list->listModel()->index(row, kColumns - 1));
        const QPoint centre = cell.center() * image.devicePixelRatio();
        QCOMPARE(image.pixelColor(centre) == kTint, row % 2 == 1);
    }
}

enum class Removal { Row, Selected, All };
Q_DECLARE_METATYPE(Removal)

void tst_ListBox::lastIndex_data()
{
    QTest::addColumn<Removal>("removal");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<int>("expected");
    QList<int> evenRows;
    for (int row = 0; row < 199; row += 2) {
        evenRows.append(row);
    }
    QTest::newRow("row above removed") << Removal::Row << QList { 5 } << 198;
    QTest::newRow("the row itself removed") << Removal::Row << QList { 199 } << -1;
    QTest::newRow("selected rows above removed") << Removal::Selected << QList { 0, 2 } << 197;
    QTest::newRow("many scattered rows above removed") << Removal::Selected << evenRows << 99;
    QTest::newRow("many scattered rows and itself removed")
        << Removal::Selected << (evenRows << 199) << -1;
    QTest::newRow("all rows deleted") << Removal::All << QList<int> {} << -1;
}

void tst_ListBox::lastIndex()
{
    QFETCH(Removal, removal);
    QFETCH(QList<int>, rows);
    QFETCH(int, expected);
    ListFixture list(QStringList(199, u"row"_s));
    QCOMPARE(list->LastIndex(), 198);
    list->AddRow("last");
    QCOMPARE(list->LastIndex(), 199);
    switch (removal) {
    case Removal::Row:
        list->RemoveRow(rows.front());
        break;
    case Removal::Selected:
        select(*list, rows);
        list->removeSelectedRows();
        break;
    case Removal::All:
        list->DeleteAllRows();
        break;
    }
    QCOMPARE(list->LastIndex(), expected);
    if (expected >= 0) {
        QCOMPARE(QString::fromStdString(list->Cell(expected, 0)), u"last"_s);
    }
}

void tst_ListBox::removeHalfOfALongList()
{
    constexpr int count = 100000;
    std::vector<ListRow> rows;
    for (int row = 0; row < count; ++row) {
        rows.push_back({ std::to_string(row) });
    }
    ListFixture list({});
    list->AddRows(std::move(rows));
    std::vector<int> odd;
    for (int row = 1; row < count; row += 2) {
        odd.push_back(row);
    }
    list->setSelectedRows(odd);
    QCOMPARE(list->ListIndex(), 1);
    list->removeSelectedRows();
    QCOMPARE(list->ListCount(), count / 2);
    QCOMPARE(list->ListIndex(), -1);
    for (int row = 0; row < list->ListCount(); ++row) {
        QCOMPARE(QString::fromStdString(list->Cell(row, 0)), QString::number(2 * row));
    }
}

QTEST_MAIN(tst_ListBox)
#include "tst_listbox.moc"
