#include "listmodel.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_ListModel : public QObject
{
    Q_OBJECT
private slots:
    // A long text is shown cut where a character ends, with an ellipsis; text not UTF-8 survives
    // an edit that leaves it as shown; tab, CR and LF become spaces.
    void edit()
    {
        const QByteArray invalid = "caf\xe9 \xff\xfe"_ba;
        const QByteArray longText = "x" + "\xc3\xa9"_ba.repeated(5000);
        ListModel model(1);
        model.appendRows({ { invalid.toStdString() }, { "a" }, { longText.toStdString() } });
        const QString shown = model.index(2, 0).data().toString();
        QVERIFY(shown.endsWith(u'\u2026') && shown.size() < 5000); // a split character: U+FFFD
        QVERIFY(QString::fromUtf8(longText).startsWith(shown.chopped(1)));
        QVERIFY(model.setData(model.index(0, 0), QString::fromUtf8(invalid)));
        QVERIFY(model.setData(model.index(1, 0), u"w\tx\r\ny\nz"_s));
        QCOMPARE(QByteArrayView(model.cell(0, 0)).toByteArray(), invalid);
        QCOMPARE(QByteArrayView(model.cell(1, 0)).toByteArray(), "w x  y z"_ba);
    }

    // As QString's case-insensitive order: each UTF-16 unit folded alone (no collation, no
    // multi-letter folds; beyond 16 bits, the first unit, then the folded whole); a stable sort.
    void sortOrder_data()
    {
        QTest::addColumn<QByteArrayList>("names");
        QTest::addColumn<QByteArrayList>("sorted");
        QTest::newRow("case folded")
            << QByteArrayList { "b", "A", "a", "B" } << QByteArrayList { "A", "a", "b", "B" };
        // A name before longer ones it begins; accents by code, not collated; one-letter folds
        // only: Kelvin is k, sharp s is not ss; U+10428 and U+10400 (its capital) against U+FF21,
        // fullwidth A; a byte that is not UTF-8 reads as U+FFFD, after fullwidth Z (U+FF3A).
        QTest::newRow("folds and code order")
            << QByteArrayList { "Project 10", "project 1", "Project", "zebra", "\xc3\x84rger",
                   "\xc3\x89t\xc3\xa9", "l", "\xc3\x9f", "\xe2\x84\xaa", "SS", "k",
                   "\xf0\x90\x90\xa8", "\xef\xbc\xa1", "\xf0\x90\x90\x80", "\xff", "\xef\xbc\xba",
                   "\xef\xbf\xbd" }
            << QByteArrayList { "\xe2\x84\xaa", "k", "l", "Project", "project 1", "Project 10",
                   "SS", "zebra", "\xc3\x9f", "\xc3\x84rger", "\xc3\x89t\xc3\xa9",
                   "\xf0\x90\x90\xa8", "\xf0\x90\x90\x80", "\xef\xbc\xa1", "\xef\xbc\xba", "\xff",
                   "\xef\xbf\xbd" };
    }

    void sortOrder()
    {
        QFETCH(QByteArrayList, names);
        QFETCH(QByteArrayList, sorted);
        ListModel model(1);
        for (const QByteArray &name : names)
            model.appendRow({ name.toStdString() });
        model.sort(0);
        QByteArrayList shown;
        for (const ListRow &row : model.rows())
            shown.append(QByteArrayView(row[0]).toByteArray());
        QCOMPARE(shown, sorted);
    }
};

QTEST_GUILESS_MAIN(tst_ListModel)
#include "tst_listmodel.moc"
