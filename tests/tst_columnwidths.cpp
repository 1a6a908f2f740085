#include "columnwidths.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Pixels = QList<int>;

class tst_ColumnWidths : public QObject
{
    Q_OBJECT

private slots:
    void layout_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<Pixels>("pixels");
        QTest::addColumn<Pixels>("dragged"); // the first column to 50 pixels short of the edge
        QTest::addColumn<QByteArray>("reported"); // empty: the text is malformed
        QTest::newRow("percentages, past the edge")
            << "35%,25%,25%,25%"_ba << 467 << Pixels { 163, 117, 117, 70 }
            << Pixels { 417, 50, 0, 0 } << "89.29%,10.7%,0%,0%"_ba;
        QTest::newRow("blanks, pixels past the edge, a column without an entry")
            << " 35.5% , 300 "_ba << 400 << Pixels { 142, 258, 0 } << Pixels { 350, 50, 0 }
            << "87.5%,50,0%"_ba;
        for (const char *bad : { "", "-5", "12px", "1e3", "inf", "35%%", "35%,,25%" })
            QTest::addRow("malformed \"%s\"", bad)
                << QByteArray(bad) << 0 << Pixels() << Pixels() << QByteArray();
    }

    // The columns fit the list, those right of a dragged one giving way. Entries keep their kind;
    // a percentage is rounded down, so that those of columns that fit add up to 100% at most.
    void layout()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, width);
        QFETCH(Pixels, pixels);
        QFETCH(Pixels, dragged);
        QFETCH(QByteArray, reported);
        const auto entries = parseColumnWidths(text.toStdString());
        QCOMPARE(entries.has_value(), !reported.isEmpty());
        if (!entries)
            return;
        std::vector<int> after = layoutColumnWidths(*entries, int(pixels.size()), width);
        QCOMPARE(Pixels(after.begin(), after.end()), pixels);
        after = draggedColumnWidths(after, 0, width - 50, width);
        QCOMPARE(Pixels(after.begin(), after.end()), dragged);
        QCOMPARE(
            QByteArray::fromStdString(formatColumnWidths(widthsFromPixels(*entries, after, width))),
            reported);
    }
};

QTEST_GUILESS_MAIN(tst_ColumnWidths)
#include "tst_columnwidths.moc"
