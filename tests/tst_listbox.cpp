#include "listbox.h"
#include "listmodel.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kColumns = 4;

std::unique_ptr<ListBox> makeList(const QStringList &names)
{
    auto list = std::make_unique<ListBox>(kColumns);
    list->setColumnType(0, ListBox::ColumnType::Editable);
    std::vector<ListRow> rows;
    for (const QString &name : names)
        rows.push_back({ name.toStdString() });
    list->AddRows(std::move(rows));
    list->resize(467, 175);
    list->show();
    list->activateWindow();
    return list;
}

const QStringList kUnsorted { u"b"_s, u"C"_s, u"a"_s, u"d"_s };
const QStringList kLetters { u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"g"_s, u"h"_s };

std::vector<int> sectionSizes(const ListBox &list)
{
    std::vector<int> sizes;
    for (int column = 0; column < kColumns; ++column)
        sizes.push_back(list.horizontalHeader()->sectionSize(column));
    return sizes;
}

QStringList names(const ListBox &list)
{
    QStringList result;
    for (int row = 0; row < list.ListCount(); ++row)
        result.append(QString::fromStdString(list.Cell(row, 0)));
    return result;
}

} // namespace

class tst_ListBox : public QObject
{
    Q_OBJECT
private slots:
    void setListIndex_data();
    void setListIndex();
    void headingClickSorts_data();
    void headingClickSorts();
    void keyDownCodes_data();
    void keyDownCodes();
    void doubleClickDoesNotEdit();
    void inPlaceEdit();
    void columnWidths();
    void backgroundPaintsByRow();
    void removeHalfOfALongList();
};

void tst_ListBox::setListIndex_data()
{
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<int>("row");
    QTest::addColumn<std::vector<int>>("after");
    const std::vector<int> none;
    QTest::newRow("same row keeps the selection") << QList { 5, 2 } << 2 << std::vector { 2, 5 };
    QTest::newRow("other row selects it alone") << QList { 2, 5 } << 5 << std::vector { 5 };
    QTest::newRow("minus one clears") << QList { 2, 5 } << -1 << none;
    QTest::newRow("minus one when already clear") << QList<int> {} << -1 << none;
    QTest::newRow("past the end clears") << QList { 2 } << 8 << none;
}

void tst_ListBox::setListIndex()
{
    QFETCH(QList<int>, before);
    QFETCH(int, row);
    QFETCH(std::vector<int>, after);
    auto list = makeList(kLetters);
    for (const int selectedRow : before)
        list->setSelected(selectedRow, true);
    QSignalSpy change(list.get(), &ListBox::Change);

    list->setListIndex(row);

    QCOMPARE(list->selectedRows(), after);
    QCOMPARE(list->ListIndex(), after.empty() ? -1 : after.front());
    // Exactly once, whether or not the selection moved.
    QCOMPARE(change.count(), 1);
    if (after.size() == 1)
        QCOMPARE(list->currentIndex().row(), row);
}

void tst_ListBox::headingClickSorts_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<std::vector<int>>("selection");
    const QStringList ascending { u"a"_s, u"b"_s, u"C"_s, u"d"_s };
    const QStringList descending { u"d"_s, u"C"_s, u"b"_s, u"a"_s };
    QTest::newRow("once, ascending") << 0 << 1 << ascending << std::vector { 2, 3 };
    QTest::newRow("twice, descending") << 0 << 2 << descending << std::vector { 0, 1 };
    QTest::newRow("thrice, ascending") << 0 << 3 << ascending << std::vector { 2, 3 };
    QTest::newRow("refused by the handler") << 2 << 1 << kUnsorted << std::vector { 1, 3 };
}

// The handler refuses every heading but the first. Marking a heading never sorts by itself.
void tst_ListBox::headingClickSorts()
{
    QFETCH(int, column);
    QFETCH(int, clicks);
    QFETCH(QStringList, order);
    QFETCH(std::vector<int>, selection);
    auto list = makeList(kUnsorted);
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
    list->setHeadingIndex(0);
    QCOMPARE(names(*list), kUnsorted);
    list->setSortColumnHandler([](int clicked) { return clicked != 0; });
    list->setSelected(1, true);
    list->setSelected(3, true);

    QHeaderView *header = list->horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
        header->height() / 2);
    for (int click = 0; click < clicks; ++click)
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);

    QCOMPARE(names(*list), order);
    QCOMPARE(list->selectedRows(), selection);
    QCOMPARE(list->LastIndex(), int(order.indexOf(u"d"_s)));
    QCOMPARE(list->HeadingIndex(), 0);
}

void tst_ListBox::keyDownCodes_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<uint>("code");
    QTest::newRow("backspace") << Qt::Key_Backspace << 8u;
    QTest::newRow("forward delete") << Qt::Key_Delete << 127u;
}

void tst_ListBox::keyDownCodes()
{
    QFETCH(Qt::Key, key);
    QFETCH(uint, code);
    auto list = makeList(kLetters);
    QList<uint> received;
    list->setKeyDownHandler([&received](char32_t typed) {
        received.append(typed);
        return true;
    });
    QTest::keyClick(list.get(), key);
    QCOMPARE(received, QList { code });
}

void tst_ListBox::doubleClickDoesNotEdit()
{
    auto list = makeList(kLetters);
    QVERIFY(QTest::qWaitForWindowActive(list.get()));
    QSignalSpy doubleClick(list.get(), &ListBox::DoubleClick);
    QSignalSpy focus(qApp, &QApplication::focusChanged);
    const QPoint centre = list->visualRect(list->listModel()->index(1, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(doubleClick.count(), 1);
    // An edit would start once the double-click time has passed without a second click.
    QVERIFY(!focus.wait(QApplication::doubleClickInterval() + 200));
    QVERIFY(!list->findChild<QLineEdit *>());
}

// F2 edits; Escape abandons the edit, Return keeps it with its pasted tab and line break as spaces.
void tst_ListBox::inPlaceEdit()
{
    auto list = makeList(kLetters);
    QVERIFY(QTest::qWaitForWindowActive(list.get()));
    list->setFocus();
    list->setListIndex(1);
    QSignalSpy cellAction(list.get(), &ListBox::CellAction);
    QApplication::clipboard()->setText(u"\ty\r\nz"_s);
    for (const Qt::Key finish : { Qt::Key_Escape, Qt::Key_Return }) {
        QTest::keyClick(list.get(), Qt::Key_F2);
        auto *editor = list->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(editor, finish);
        QTRY_VERIFY(!list->findChild<QLineEdit *>());
        if (finish == Qt::Key_Escape) {
            QCOMPARE(QString::fromStdString(list->Cell(1, 0)), u"b"_s);
            QCOMPARE(cellAction.count(), 0);
        }
    }
    QCOMPARE(QString::fromStdString(list->Cell(1, 0)), u" y  z"_s);
    QCOMPARE(cellAction.count(), 1);
    QCOMPARE(cellAction.at(0), (QVariantList { 1, 0 }));
}

// The text set reads back exactly until a drag; after one, it lays the dragged widths out again.
void tst_ListBox::columnWidths()
{
    auto list = makeList(kLetters);
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
    const QString text = u" 50% , * ,100,10.0% "_s;
    list->setColumnWidths(text.toStdString());
    for (const int width : { 400, 900 }) {
        list->resize(width, 200);
        QTRY_COMPARE(list->viewport()->width(), width - 2 * list->frameWidth());
        const int available = list->viewport()->width();
        const int half = qRound(available * 0.5);
        const int tenth = qRound(available * 0.1);
        QCOMPARE(sectionSizes(*list),
            (std::vector { half, available - half - 100 - tenth, 100, tenth }));
        QCOMPARE(QString::fromStdString(list->ColumnWidths()), text);
    }

    const std::vector<int> laidOut = sectionSizes(*list);
    list->setColumnWidths("50,abc");
    list->setColumnWidths("");
    QCOMPARE(sectionSizes(*list), laidOut);
    QCOMPARE(QString::fromStdString(list->ColumnWidths()), text);

    list->horizontalHeader()->resizeSection(1, 150);
    const std::vector<int> dragged = sectionSizes(*list);
    const std::string draggedText = list->ColumnWidths();
    QVERIFY(draggedText != text.toStdString());
    list->setColumnWidths("10,10,10,10");
    list->setColumnWidths(draggedText);
    QCOMPARE(sectionSizes(*list), dragged);
}

// The handler paints by the row's present index, inside its own cell only.
void tst_ListBox::backgroundPaintsByRow()
{
    auto list = makeList(kLetters.first(4));
    QVERIFY(QTest::qWaitForWindowExposed(list.get()));
    const QColor tint(235, 255, 255);
    list->setCellBackgroundPaintHandler([&tint](QPainter &painter, QSize size, int row, int) {
        // Twice the cell, so that a missing clip would tint the row below too.
        if (row % 2 == 1)
            painter.fillRect(QRect(QPoint(0, 0), size * 2), tint);
        return false;
    });
    list->RemoveRow(0);

    const QImage image = list->viewport()->grab().toImage();
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const QRect cell = list->visualRect(list->listModel()->index(row, column));
            const QPoint centre = cell.center() * image.devicePixelRatio();
            QCOMPARE(image.pixelColor(centre) == tint, row % 2 == 1);
        }
    }
}

void tst_ListBox::removeHalfOfALongList()
{
    constexpr int count = 100000;
    QStringList numbers;
    std::vector<int> even;
    for (int row = 0; row < count; ++row) {
        numbers.append(QString::number(row));
        if (row % 2 == 0)
            even.push_back(row);
    }
    auto list = makeList(numbers);
    list->setSelectedRows(even);

    list->removeSelectedRows();

    QCOMPARE(list->ListCount(), count / 2);
    QCOMPARE(list->ListIndex(), -1);
    QCOMPARE(list->LastIndex(), count / 2 - 1);
    for (int row = 0; row < list->ListCount(); ++row)
        QCOMPARE(QString::fromStdString(list->Cell(row, 0)), QString::number(2 * row + 1));
}

QTEST_MAIN(tst_ListBox)
#include "tst_listbox.moc"
