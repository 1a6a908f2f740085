#include "listmodel.h"

#include <QAbstractItemModelTester>
#include <QTest>
#include <climits>
#include <functional>

using namespace Qt::StringLiterals;

using Change = std::function<void(ListModel &)>;
Q_DECLARE_METATYPE(Change)

class tst_ListModel : public QObject
{
    Q_OBJECT
private slots:
    void change_data()
    {
        QTest::addColumn<QByteArrayList>("names"); // of rows numbered 0, 1, ... in column 1
        QTest::addColumn<Change>("change");
        QTest::addColumn<QByteArray>("expected"); // "name|number|third cell" per row
        const auto edit = [](const QString &text) {
            return Change(
                [=](ListModel &model) { QVERIFY(model.setData(model.index(0, 0), text)); });
        };
        const auto remove = [](std::vector<int> rows) {
            return Change([=](ListModel &model) { model.removeRowList(rows); });
        };
        const auto sort = [](Qt::SortOrder order) {
            return Change([=](ListModel &model) {
                QList<QPersistentModelIndex> indexes;
                for (int row = 0; row < model.rowCount(); ++row)
                    indexes.append(model.index(row, 2));
                model.sort(0, order);
                // Persistent indexes, a selection among them, follow their rows.
                for (int number = 0; number < indexes.size(); ++number)
                    QCOMPARE(model.cell(indexes.at(number).row(), 1), std::to_string(number));
            });
        };
        const auto outOfRange = [](ListModel &model) {
            const QModelIndex stale = model.index(5, 0);
            model.removeRowList({ 5 });
            QVERIFY(!model.setData(stale, u"edited"_s));
            for (const auto &[row, column] :
                { std::pair { -1, 0 }, { 5, 1 }, { 0, 3 }, { INT_MIN, INT_MAX } }) {
                QCOMPARE(model.cell(row, column), std::string());
                model.setCell(row, column, "written");
                model.sort(column);
            }
        };
        const QByteArrayList six { "b", "A", "a", "c", "B", "b" };
        const QByteArray invalid = "caf\xe9 \xff\xfe"_ba;
        QTest::newRow("invalid UTF-8 survives an unchanged edit")
            << QByteArrayList { invalid } << edit(QString::fromUtf8(invalid)) << invalid + "|0|\n";
        QTest::newRow("tab, CR, LF edited in become spaces")
            << QByteArrayList { "a" } << edit(u"w\tx\r\ny\nz"_s) << "w x  y z|0|\n"_ba;
        QTest::newRow("remove one run") << six << remove({ 2, 3, 4 }) << "b|0|\nA|1|\nb|5|\n"_ba;
        QTest::newRow("remove unordered, duplicates, out of range")
            << six << remove({ 5, -1, 0, 3, 6, 0, 1, INT_MAX }) << "a|2|\nB|4|\n"_ba;
        QTest::newRow("sort ascending: case ignored, stable")
            << six << sort(Qt::AscendingOrder) << "A|1|\na|2|\nb|0|\nB|4|\nb|5|\nc|3|\n"_ba;
        QTest::newRow("sort descending, stable")
            << six << sort(Qt::DescendingOrder) << "c|3|\nb|0|\nB|4|\nb|5|\nA|1|\na|2|\n"_ba;
        // Below 17 rows an unstable sort happens to keep equal keys in order too.
        QByteArray same;
        for (int number = 0; number < 20; ++number)
            same += (number < 10 ? "same|" : "SAME|") + QByteArray::number(number) + "|\n";
        QTest::newRow("sort keeps 20 equal names in their order")
            << QByteArrayList(10, "same") + QByteArrayList(10, "SAME") << sort(Qt::AscendingOrder)
            << same;
        QTest::newRow("out of range and stale indexes ignored")
            << six << Change(outOfRange) << "b|0|\nA|1|\na|2|\nc|3|\nB|4|\n"_ba;
        std::vector<int> odd;
        QByteArray even;
        for (int row = 0; row < 100'000; row += 2) {
            odd.push_back(row + 1);
            even += "r|" + QByteArray::number(row) + "|\n";
        }
        QTest::newRow("remove 50,000 runs") << QByteArrayList(100'000, "r") << remove(odd) << even;
    }

    void change()
    {
        QFETCH(QByteArrayList, names);
        QFETCH(Change, change);
        QFETCH(QByteArray, expected);
        ListModel model(3);
        QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        std::vector<ListRow> rows;
        for (const QByteArray &name : names)
            rows.push_back({ name.toStdString(), std::to_string(rows.size()) });
        model.appendRows(std::move(rows));
        change(model);
        QByteArray shown;
        for (const ListRow &row : model.rows())
            shown += QByteArray::fromStdString(row.line()).replace('\t', '|') + '\n';
        QCOMPARE(shown, expected);
    }
};

QTEST_GUILESS_MAIN(tst_ListModel)
#include "tst_listmodel.moc"
