#include "listmodel.h"

#include <QAbstractItemModelTester>
#include <QTest>
#include <climits>

using namespace Qt::StringLiterals;

class tst_ListModel : public QObject
{
    Q_OBJECT
private slots:
    // Text not UTF-8 survives an edit that leaves it as shown, and so does a long text, shown as
    // its beginning cut where a character ends and an ellipsis; tab, CR and LF become spaces.
    void edit()
    {
        const QByteArray invalid = "caf\xe9 \xff\xfe"_ba;
        const QByteArray longText = "x" + "\xc3\xa9"_ba.repeated(5000);
        ListModel model(1);
        model.appendRows({ { invalid.toStdString() }, { "a" }, { longText.toStdString() } });
        const QString shown = model.index(2, 0).data().toString();
        QVERIFY(shown.endsWith(u'\u2026') && shown.size() < 5000);
        // A split character would read as U+FFFD.
        QVERIFY(QString::fromUtf8(longText).startsWith(shown.chopped(1)));
        QVERIFY(model.setData(model.index(0, 0), QString::fromUtf8(invalid)));
        QVERIFY(model.setData(model.index(1, 0), u"w\tx\r\ny\nz"_s));
        QVERIFY(model.setData(model.index(2, 0), shown));
        QCOMPARE(QByteArrayView(model.cell(0, 0)).toByteArray(), invalid);
        QCOMPARE(QByteArrayView(model.cell(1, 0)).toByteArray(), "w x  y z"_ba);
        QCOMPARE(QByteArrayView(model.cell(2, 0)).toByteArray(), longText);
    }

    // The order of a case-insensitive QString comparison, which folds each UTF-16 unit alone: no
    // collation, no multi-letter folds, and a character beyond 16 bits is its first unit, then
    // its folded whole. Equal names keep their order both ways.
    void sortOrder_data()
    {
        QTest::addColumn<QByteArrayList>("names");
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::addColumn<QByteArrayList>("sorted");
        const QByteArrayList mixedCase { "b", "A", "a", "B" };
        QTest::newRow("case folded, ascending")
            << mixedCase << Qt::AscendingOrder << QByteArrayList { "A", "a", "b", "B" };
        QTest::newRow("case folded, descending")
            << mixedCase << Qt::DescendingOrder << QByteArrayList { "b", "B", "A", "a" };
        QTest::newRow("a name before longer ones it begins")
            << QByteArrayList { "Project 10", "project 1", "Project" } << Qt::AscendingOrder
            << QByteArrayList { "Project", "project 1", "Project 10" };
        QTest::newRow("accents by code, not collated")
            << QByteArrayList { "zebra", "\xc3\x84rger", "apple", "\xc3\x89t\xc3\xa9" }
            << Qt::AscendingOrder
            << QByteArrayList { "apple", "zebra", "\xc3\x84rger", "\xc3\x89t\xc3\xa9" };
        QTest::newRow("one-letter folds only: Kelvin is k, sharp s is not ss")
            << QByteArrayList { "l", "\xc3\x9f", "\xe2\x84\xaa", "SS", "k" } << Qt::AscendingOrder
            << QByteArrayList { "\xe2\x84\xaa", "k", "l", "SS", "\xc3\x9f" };
        // U+10428 and U+10400 (its capital) against U+FF21, fullwidth A.
        QTest::newRow("beyond 16 bits")
            << QByteArrayList { "\xf0\x90\x90\xa8", "\xef\xbc\xa1", "\xf0\x90\x90\x80", "a" }
            << Qt::AscendingOrder
            << QByteArrayList { "a", "\xf0\x90\x90\xa8", "\xf0\x90\x90\x80", "\xef\xbc\xa1" };
        // A byte that is not UTF-8 reads as U+FFFD, after fullwidth Z (U+FF3A).
        QTest::newRow("invalid UTF-8 as shown")
            << QByteArrayList { "\xff", "\xef\xbc\xba", "\xef\xbf\xbd" } << Qt::AscendingOrder
            << QByteArrayList { "\xef\xbc\xba", "\xff", "\xef\xbf\xbd" };
    }

    void sortOrder()
    {
        QFETCH(QByteArrayList, names);
        QFETCH(Qt::SortOrder, order);
        QFETCH(QByteArrayList, sorted);
        ListModel model(1);
        for (const QByteArray &name : names)
            model.appendRow({ name.toStdString() });
        model.sort(0, order);
        QByteArrayList shown;
        for (const ListRow &row : model.rows())
            shown.append(QByteArrayView(row[0]).toByteArray());
        QCOMPARE(shown, sorted);
    }

    // Rows named "SAME" and "same" in turn: a sort that heeded case, or an unstable one, would
    // move them, and removing the odd rows (past 64 runs, in one reset) would leave others.
    void sortThenRemoveScatteredRows()
    {
        ListModel model(2);
        QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        std::vector<ListRow> rows;
        std::vector<int> odd { INT_MIN, -1, 200, INT_MAX }; // out of range, ignored
        QByteArray even;
        for (int row = 0; row < 200; ++row) {
            rows.push_back({ row % 2 ? "same" : "SAME", std::to_string(row) });
            row % 2 ? odd.push_back(row) : void(even += QByteArray::number(row) + ' ');
        }
        model.appendRows(std::move(rows));
        model.sort(0);
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
