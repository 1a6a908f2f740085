#include "listmodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <climits>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kColumns = 3;

// Rows named "r0", "r1", ... in column 0, with their number in column 1.
std::unique_ptr<ListModel> numberedModel(int rowCount)
{
    auto model = std::make_unique<ListModel>(kColumns);
    std::vector<ListRow> rows;
    for (int row = 0; row < rowCount; ++row) {
        rows.push_back({ "r" + std::to_string(row), std::to_string(row), "" });
    }
    model->appendRows(std::move(rows));
    return model;
}

QByteArray asBytes(const std::string &text)
{
    return QByteArray::fromStdString(text);
}

QStringList column(const ListModel &model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        texts.append(QString::fromStdString(model.cell(row, column)));
    }
    return texts;
}

} // namespace

class tst_ListModel : public QObject
{
    Q_OBJECT
private slots:
    void staysConsistent_data();
    void staysConsistent();
    void editKeepsBytes_data();
    void editKeepsBytes();
    void appendedRowsFitTheColumns();
    void onlyEditableColumnsAreEditable();
    void removeRowList_data();
    void removeRowList();
    void removeManyScatteredRows();
    void sort_data();
    void sort();
    void sortMovesPersistentIndexes();
    void outOfRangeIsHarmless_data();
    void outOfRangeIsHarmless();
    void staleIndexIsHarmless();
};

enum class Operation {
    Append,
    Edit,
    SortAscending,
    SortDescending,
    RemoveRuns,
    RemoveScattered,
    RemoveRows,
    Clear
};
Q_DECLARE_METATYPE(Operation)

void tst_ListModel::staysConsistent_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::newRow("append a batch") << Operation::Append;
    QTest::newRow("edit a cell") << Operation::Edit;
    QTest::newRow("sort ascending") << Operation::SortAscending;
    QTest::newRow("sort descending") << Operation::SortDescending;
    QTest::newRow("remove a few runs") << Operation::RemoveRuns;
    QTest::newRow("remove many scattered rows") << Operation::RemoveScattered;
    QTest::newRow("remove rows") << Operation::RemoveRows;
    QTest::newRow("clear") << Operation::Clear;
}

void tst_ListModel::staysConsistent()
{
    QFETCH(Operation, operation);
    auto model = numberedModel(300);
    QAbstractItemModelTester tester(
        model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QPersistentModelIndex tracked = model->index(150, 1);
    switch (operation) {
    case Operation::Append:
        model->appendRows({ { "x" }, { "y", "z" } });
        break;
    case Operation::Edit:
        QVERIFY(model->setData(model->index(7, 0), u"seven"_s));
        break;
    case Operation::SortAscending:
        model->sort(0, Qt::AscendingOrder);
        break;
    case Operation::SortDescending:
        model->sort(1, Qt::DescendingOrder);
        break;
    case Operation::RemoveRuns:
        model->removeRowList({ 3, 4, 5, 100, 299 });
        break;
    case Operation::RemoveScattered: {
        std::vector<int> odd;
        for (int row = 1; row < 300; row += 2) {
            odd.push_back(row);
        }
        model->removeRowList(odd);
        break;
    }
    case Operation::RemoveRows:
        QVERIFY(model->removeRows(10, 20));
        break;
    case Operation::Clear:
        model->clear();
        break;
    }
    if (tracked.isValid()) {
        QCOMPARE(tracked.data().toString(), u"150"_s);
    }
}

void tst_ListModel::editKeepsBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<bool>("changed");
    const QByteArray invalid("caf\xe9 \xff\xfe", 7);
    QTest::newRow("invalid UTF-8 survives an unchanged edit")
        << invalid << QString::fromUtf8(invalid) << invalid << false;
    QTest::newRow("invalid UTF-8 replaced by a real edit")
        << invalid << u"café"_s << QByteArray("caf\xc3\xa9") << true;
    QTest::newRow("tab becomes a space")
        << QByteArray("a") << u"x\ty"_s << QByteArray("x y") << true;
    QTest::newRow("line breaks become spaces")
        << QByteArray("a") << u"x\r\ny\nz"_s << QByteArray("x  y z") << true;
    QTest::newRow("same text after replacing the tab")
        << QByteArray("a b") << u"a\tb"_s << QByteArray("a b") << false;
    QTest::newRow("empty edit empties the cell")
        << QByteArray("abc") << QString() << QByteArray() << true;
}

void tst_ListModel::editKeepsBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, edit);
    QFETCH(QByteArray, expected);
    QFETCH(bool, changed);
    ListModel model(kColumns);
    model.setColumnEditable(0, true);
    model.appendRow({ bytes.toStdString() });
    QSignalSpy dataChanged(&model, &QAbstractItemModel::dataChanged);

    QVERIFY(model.setData(model.index(0, 0), edit, Qt::EditRole));
    QCOMPARE(asBytes(model.cell(0, 0)), expected);
    QCOMPARE(dataChanged.count(), changed ? 1 : 0);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QString::fromUtf8(expected));
}

void tst_ListModel::appendedRowsFitTheColumns()
{
    ListModel model(kColumns);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.appendRows({ { "short" }, { "a", "b", "c", "dropped" }, {} });
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(model.rowCount(), 3);
    for (const ListRow &row : model.rows()) {
        QCOMPARE(row.size(), std::size_t { kColumns });
    }
    QCOMPARE(asBytes(model.cell(1, 2)), "c");
    QCOMPARE(asBytes(model.cell(0, 1)), "");
}

void tst_ListModel::onlyEditableColumnsAreEditable()
{
    auto model = numberedModel(2);
    model->setColumnEditable(1, true);
    QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(model->flags(model->index(0, 1)) & Qt::ItemIsEditable);
    QVERIFY(!(model->flags(model->index(0, 1)) & Qt::ItemIsDragEnabled));
    model->setColumnEditable(1, false);
    QVERIFY(!(model->flags(model->index(1, 1)) & Qt::ItemIsEditable));
}

void tst_ListModel::removeRowList_data()
{
    QTest::addColumn<QList<int>>("remove");
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<int>("steps");
    QTest::newRow("one run") << QList { 2, 3, 4 } << QStringList { u"r0"_s, u"r1"_s, u"r5"_s } << 1;
    QTest::newRow("runs in any order with duplicates")
        << QList { 5, 0, 3, 0, 1 } << QStringList { u"r2"_s, u"r4"_s } << 3;
    QTest::newRow("out of range rows ignored")
        << QList { -1, 6, 2, 100 } << QStringList { u"r0"_s, u"r1"_s, u"r3"_s, u"r4"_s, u"r5"_s }
        << 1;
    QTest::newRow("every row") << QList { 0, 1, 2, 3, 4, 5 } << QStringList {} << 1;
    QTest::newRow("nothing") << QList<int> {}
                             << QStringList { u"r0"_s, u"r1"_s, u"r2"_s, u"r3"_s, u"r4"_s, u"r5"_s }
                             << 0;
}

void tst_ListModel::removeRowList()
{
    QFETCH(QList<int>, remove);
    QFETCH(QStringList, remaining);
    QFETCH(int, steps);
    auto model = numberedModel(6);
    QSignalSpy removed(model.get(), &QAbstractItemModel::rowsRemoved);
    model->removeRowList(std::vector<int>(remove.cbegin(), remove.cend()));
    QCOMPARE(column(*model, 0), remaining);
    QCOMPARE(removed.count(), steps);
}

// Half of a long list, no two rows adjacent: one step for the whole removal, not one per row.
void tst_ListModel::removeManyScatteredRows()
{
    constexpr int count = 100000;
    auto model = numberedModel(count);
    std::vector<int> odd;
    for (int row = count - 1; row > 0; row -= 2) {
        odd.push_back(row);
    }
    QSignalSpy removed(model.get(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);
    model->removeRowList(odd);
    QCOMPARE(model->rowCount(), count / 2);
    for (int row = 0; row < model->rowCount(); ++row) {
        QCOMPARE(asBytes(model->cell(row, 1)), QByteArray::number(2 * row));
    }
    QCOMPARE(removed.count() + reset.count(), 1);
}

void tst_ListModel::sort_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QList<int>>("expected");
    const QStringList mixedCase { u"b"_s, u"A"_s, u"a"_s, u"c"_s, u"B"_s };
    QTest::newRow("ascending ignores case, equal keys keep their order")
        << mixedCase << Qt::AscendingOrder << QList { 1, 2, 0, 4, 3 };
    QTest::newRow("descending reverses, equal keys still keep their order")
        << mixedCase << Qt::DescendingOrder << QList { 3, 0, 4, 1, 2 };
    QTest::newRow("numbers compare as text")
        << QStringList { u"9"_s, u"10"_s, u"1"_s } << Qt::AscendingOrder << QList { 2, 1, 0 };
    QTest::newRow("empty cells first") << QStringList { u"x"_s, QString(), u"y"_s, QString() }
                                       << Qt::AscendingOrder << QList { 1, 3, 0, 2 };
    QTest::newRow("all equal") << QStringList { u"same"_s, u"SAME"_s, u"Same"_s }
                               << Qt::DescendingOrder << QList { 0, 1, 2 };
}

void tst_ListModel::sort()
{
    QFETCH(QStringList, keys);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QList<int>, expected);
    ListModel model(kColumns);
    for (int row = 0; row < keys.size(); ++row) {
        model.appendRow({ std::to_string(row), keys.at(row).toStdString() });
    }
    model.sort(1, order);
    QStringList expectedRows;
    for (const int row : expected) {
        expectedRows.append(QString::number(row));
    }
    QCOMPARE(column(model, 0), expectedRows);
}

void tst_ListModel::sortMovesPersistentIndexes()
{
    ListModel model(kColumns);
    model.appendRows({ { "c", "2" }, { "a", "0" }, { "b", "1" } });
    const std::vector<QPersistentModelIndex> indexes { model.index(0, 0), model.index(1, 1),
        model.index(2, 2) };
    model.sort(0, Qt::AscendingOrder);
    QCOMPARE(indexes[0].row(), 2);
    QCOMPARE(indexes[1].row(), 0);
    QCOMPARE(indexes[1].column(), 1);
    QCOMPARE(indexes[2].row(), 1);
    model.sort(0, Qt::DescendingOrder);
    QCOMPARE(indexes[0].row(), 0);
    QCOMPARE(indexes[1].row(), 2);
}

void tst_ListModel::outOfRangeIsHarmless_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("negative row") << -1 << 0;
    QTest::newRow("negative column") << 0 << -1;
    QTest::newRow("row past the end") << 2 << 0;
    QTest::newRow("column past the end") << 0 << kColumns;
    QTest::newRow("extremes") << INT_MIN << INT_MAX;
}

void tst_ListModel::outOfRangeIsHarmless()
{
    QFETCH(int, row);
    QFETCH(int, column);
    auto model = numberedModel(2);
    const std::vector<ListRow> before = model->rows();
    QCOMPARE(asBytes(model->cell(row, column)), "");
    model->setCell(row, column, "written");
    model->sort(column);
    QVERIFY(model->rows() == before);
    QCOMPARE(asBytes(model->cell(row, column)), "");
}

// An index kept from before the rows went away still reaches the model.
void tst_ListModel::staleIndexIsHarmless()
{
    auto model = numberedModel(3);
    model->setColumnEditable(0, true);
    const QModelIndex stale = model->index(2, 0);
    QVERIFY(model->removeRows(1, 2));
    QVERIFY(!model->setData(stale, u"edited"_s));
    QVERIFY(!model->data(stale).isValid());
    QCOMPARE(model->flags(stale), Qt::NoItemFlags);
    QVERIFY(!model->removeRows(-1, 1));
    QVERIFY(!model->removeRows(0, 2));
    QVERIFY(!model->removeRows(0, 0));
    QCOMPARE(column(*model, 0), QStringList { u"r0"_s });
}

QTEST_GUILESS_MAIN(tst_ListModel)
#include "tst_listmodel.moc"
