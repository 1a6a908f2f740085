#include "listmodel.h"

#include <QAbstractItemModelTester>
#include <QTest>
#include <climits>

using namespace Qt::StringLiterals;

class tst_ListModel : public QObject
{
    Q_OBJECT
private slots:
    void edit_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("after");
        const QByteArray invalid = "caf\xe9 \xff\xfe"_ba;
        QTest::newRow("invalid UTF-8 survives an unchanged edit")
            << invalid << QString::fromUtf8(invalid) << invalid;
        QTest::newRow("tab, CR, LF become spaces") << "a"_ba << u"w\tx\r\ny\nz"_s << "w x  y z"_ba;
    }

    void edit()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, typed);
        QFETCH(QByteArray, after);
        ListModel model(1);
        model.appendRow({ before.toStdString() });
        QVERIFY(model.setData(model.index(0, 0), typed));
        QCOMPARE(QByteArrayView(model.cell(0, 0)).toByteArray(), after);
    }

    // Rows named "SAME" and "same" in turn: a sort that heeded case, or an unstable one, would
    // move them, and removing the odd rows would then leave others than the even ones.
    void sortThenRemoveScatteredRows()
    {
        ListModel model(2);
        QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        std::vector<ListRow> rows;
        std::vector<int> odd { INT_MIN, -1, 200, INT_MAX }; // out of range, ignored
        QByteArray even;
        for (int row = 0; row < 200; ++row) {
            rows.push_back({ row % 2 == 0 ? "SAME" : "same", std::to_string(row) });
            if (row % 2 == 0)
                even += QByteArray::number(row) + ' ';
            else
                odd.push_back(row);
        }
        model.appendRows(std::move(rows));
        model.sort(0);
        // Past 64 runs the rows go in one reset.
        model.removeRowList(odd);
        for (const auto &[row, column] :
            { std::pair { -1, 0 }, { 100, 0 }, { 0, 2 }, { INT_MIN, INT_MAX } }) {
            QCOMPARE(model.cell(row, column), std::string());
            model.setCell(row, column, "written");
        }
        QByteArray shown;
        for (const ListRow &row : model.rows())
            shown += QByteArrayView(row[1]).toByteArray() + ' ';
        QCOMPARE(shown, even);
    }
};

QTEST_GUILESS_MAIN(tst_ListModel)
#include "tst_listmodel.moc"
