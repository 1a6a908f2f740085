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
    for (int row = 0; row < rowCount; ++row)
        model->appendRow({ "r" + std::to_string(row), std::to_string(row) });
    return model;
}

QList<int> numbers(const ListModel &model)
{
    QList<int> result;
    for (const ListRow &row : model.rows())
        result.append(std::stoi(row.at(1)));
    return result;
}

} // namespace

class tst_ListModel : public QObject
{
    Q_OBJECT
private slots:
    void staysConsistent();
    void setData_data();
    void setData();
    void removeRowList_data();
    void removeRowList();
    void sort_data();
    void sort();
    void outOfRangeIsHarmless_data();
    void outOfRangeIsHarmless();
};

void tst_ListModel::staysConsistent()
{
    auto model = numberedModel(300);
    QAbstractItemModelTester tester(
        model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QModelIndex stale = model->index(299, 0);
    model->appendRows({ { "x" }, { "y", "z", "", "dropped" } });
    QVERIFY(model->rows().back() == (ListRow { "y", "z", "" }));
    QVERIFY(model->setData(model->index(7, 0), u"seven"_s));
    model->removeRowList({ 3, 4, 5, 100, 299 });
    QVERIFY(model->removeRows(10, 20));
    model->sort(0, Qt::DescendingOrder);
    model->sort(0, Qt::AscendingOrder);
    // An index kept from before its row went away must not reach past the rows.
    QVERIFY(!model->setData(stale, u"edited"_s));
    QVERIFY(!model->data(stale).isValid());
}

void tst_ListModel::setData_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray invalid("caf\xe9 \xff\xfe", 7);
    QTest::newRow("invalid UTF-8 survives an unchanged edit")
        << invalid << QString::fromUtf8(invalid) << invalid;
    QTest::newRow("tab, CR, LF become spaces") << "a"_ba << u"w\tx\r\ny\nz"_s << "w x  y z"_ba;
    QTest::newRow("same text once the tab is a space") << "a b"_ba << u"a\tb"_s << "a b"_ba;
}

void tst_ListModel::setData()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, edit);
    QFETCH(QByteArray, expected);
    ListModel model(kColumns);
    model.appendRow({ bytes.toStdString() });
    QSignalSpy dataChanged(&model, &QAbstractItemModel::dataChanged);

    QVERIFY(model.setData(model.index(0, 0), edit));
    QCOMPARE(QByteArray::fromStdString(model.cell(0, 0)), expected);
    QCOMPARE(dataChanged.count(), bytes == expected ? 0 : 1);
}

void tst_ListModel::removeRowList_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("remove");
    QTest::addColumn<QList<int>>("remaining");
    QTest::newRow("one run") << 6 << QList { 2, 3, 4 } << QList { 0, 1, 5 };
    QTest::newRow("unordered with duplicates") << 6 << QList { 5, 0, 3, 0, 1 } << QList { 2, 4 };
    QTest::newRow("out of range") << 6 << QList { -1, 6, 2, INT_MAX } << QList { 0, 1, 3, 4, 5 };
    QList<int> odd, even;
    for (int row = 0; row < 100'000; ++row)
        (row % 2 ? odd : even).append(row);
    QTest::newRow("every other of 100,000 rows") << 100'000 << odd << even;
}

void tst_ListModel::removeRowList()
{
    QFETCH(int, count);
    QFETCH(QList<int>, remove);
    QFETCH(QList<int>, remaining);
    auto model = numberedModel(count);
    QAbstractItemModelTester tester(
        model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    model->removeRowList(std::vector<int>(remove.cbegin(), remove.cend()));
    QCOMPARE(numbers(*model), remaining);
}

void tst_ListModel::sort_data()
{
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("ascending") << Qt::AscendingOrder << QList { 1, 2, 0, 4, 5, 3 };
    QTest::newRow("descending") << Qt::DescendingOrder << QList { 3, 0, 4, 5, 1, 2 };
}

// Case is ignored, equal keys keep their order, and persistent indexes follow their rows.
void tst_ListModel::sort()
{
    QFETCH(Qt::SortOrder, order);
    QFETCH(QList<int>, expected);
    ListModel model(kColumns);
    model.appendRows(
        { { "b", "0" }, { "A", "1" }, { "a", "2" }, { "c", "3" }, { "B", "4" }, { "b", "5" } });
    QList<QPersistentModelIndex> indexes;
    for (int row = 0; row < model.rowCount(); ++row)
        indexes.append(model.index(row, 2));

    model.sort(0, order);

    QCOMPARE(numbers(model), expected);
    for (int row = 0; row < model.rowCount(); ++row)
        QCOMPARE(indexes.at(row).row(), expected.indexOf(row));
}

void tst_ListModel::outOfRangeIsHarmless_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("negative row") << -1 << 0;
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

    QCOMPARE(model->cell(row, column), std::string());
    model->setCell(row, column, "written");
    model->sort(column);
    QVERIFY(model->rows() == before);
}

QTEST_GUILESS_MAIN(tst_ListModel)
#include "tst_listmodel.moc"