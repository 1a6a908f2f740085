#include "columnwidths.h"

#include <QTest>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

std::vector<ColumnWidth> parsed(const QByteArray &text)
{
    return parseColumnWidths(text.toStdString()).value_or(std::vector<ColumnWidth> {});
}

QList<int> laidOut(const QByteArray &text, int columnCount, int availableWidth)
{
    const std::vector<int> pixels = layoutColumnWidths(parsed(text), columnCount, availableWidth);
    return { pixels.begin(), pixels.end() };
}

} // namespace

class tst_ColumnWidths : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void layout_data();
    void layout();
    void reported_data();
    void reported();
};

void tst_ColumnWidths::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("entries"); // as written back; empty for a malformed text
    QTest::newRow("the window's default") << "35%,25%,25%,15%"_ba
                                          << "35%,25%,25%,15%"_ba;
    QTest::newRow("fraction, pixels, share, blanks") << " 35.5% , 120 ,\t* "_ba
                                                     << "35.5%,120,*"_ba;
    QTest::newRow("no leading digit, zero") << ".5%,0"_ba
                                            << "0.5%,0"_ba;
    for (const QByteArray &bad : { ""_ba, "   "_ba, "abc"_ba, "%"_ba, "-5"_ba, "12px"_ba, "1e3"_ba,
             "inf"_ba, "1.2.3"_ba, "35%%"_ba, "35%,,25%"_ba, "35%,"_ba, "35%,abc,25%"_ba })
        QTest::addRow("malformed \"%s\"", bad.constData()) << bad << QByteArray();
}

void tst_ColumnWidths::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, entries);
    QCOMPARE(parseColumnWidths(text.toStdString()).has_value(), !entries.isEmpty());
    QCOMPARE(QByteArray::fromStdString(formatColumnWidths(parsed(text))), entries);
}

void tst_ColumnWidths::layout_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("columnCount");
    QTest::addColumn<int>("availableWidth");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("percentages") << "35%,25%,25%,15%"_ba << 4 << 400 << QList { 140, 100, 100, 60 };
    QTest::newRow("pixels ignore the width") << "120,80"_ba << 2 << 500 << QList { 120, 80 };
    QTest::newRow("shares split the rest, last takes the remainder")
        << "50%,*,100,*"_ba << 4 << 402 << QList { 201, 50, 100, 51 };
    QTest::newRow("too few entries share like stars")
        << "100"_ba << 3 << 300 << QList { 100, 100, 100 };
    QTest::newRow("more entries than columns") << "10,20,30"_ba << 2 << 100 << QList { 10, 20 };
    QTest::newRow("nothing left to share") << "300,*"_ba << 2 << 200 << QList { 300, 0 };
    QTest::newRow("zero width") << "*,50%,*"_ba << 3 << 0 << QList { 0, 0, 0 };
    QTest::newRow("absurd entry does not overflow")
        << "99999999999999999999,*"_ba << 2 << 100 << QList { 100000, 0 };
}

void tst_ColumnWidths::layout()
{
    QFETCH(QByteArray, text);
    QFETCH(int, columnCount);
    QFETCH(int, availableWidth);
    QFETCH(QList<int>, expected);
    QCOMPARE(laidOut(text, columnCount, availableWidth), expected);
}

void tst_ColumnWidths::reported_data()
{
    QTest::addColumn<QByteArray>("previous");
    QTest::addColumn<QList<int>>("pixels");
    QTest::addColumn<int>("availableWidth");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("percentages stay percentages")
        << "35%,25%,25%,15%"_ba << QList { 200, 100, 100, 100 } << 500 << "40%,20%,20%,20%"_ba;
    QTest::newRow("pixels stay, shares and missing entries become percentages")
        << "120,*"_ba << QList { 150, 100, 250 } << 300 << "150,33.33%,83.33%"_ba;
    QTest::newRow("default widths, window as created")
        << "35%,25%,25%,15%"_ba << QList { 163, 117, 117, 70 } << 467
        << "34.9%,25.05%,25.05%,14.99%"_ba;
    QTest::newRow("one column dragged wider") << "35%,25%,25%,15%"_ba << QList { 217, 117, 117, 70 }
                                              << 467 << "46.47%,25.05%,25.05%,14.99%"_ba;
    QTest::newRow("columns past the right edge")
        << "35%,25%,25%,15%"_ba << QList { 400, 300, 200, 100 } << 600
        << "66.67%,50%,33.33%,16.67%"_ba;
    QTest::newRow("odd pixel counts")
        << "*,*,*,*"_ba << QList { 1, 333, 7, 655 } << 997 << "0.1%,33.4%,0.7%,65.7%"_ba;
    QTest::newRow("tiny width") << "35%,25%,25%,15%"_ba << QList { 2, 1, 1, 1 } << 5
                                << "40%,20%,20%,20%"_ba;
}

// After a resize or a drag the list reports its widths in their earlier form, and that text
// lays out the same columns again to within a pixel.
void tst_ColumnWidths::reported()
{
    QFETCH(QByteArray, previous);
    QFETCH(QList<int>, pixels);
    QFETCH(int, availableWidth);
    QFETCH(QByteArray, expected);
    const auto widths = widthsFromPixels(
        parsed(previous), std::vector<int>(pixels.begin(), pixels.end()), availableWidth);
    const QByteArray text = QByteArray::fromStdString(formatColumnWidths(widths));
    QCOMPARE(text, expected);
    const QList<int> after = laidOut(text, int(pixels.size()), availableWidth);
    for (qsizetype i = 0; i < pixels.size(); ++i)
        QVERIFY2(std::abs(after.at(i) - pixels.at(i)) <= 1, text.constData());
}

QTEST_GUILESS_MAIN(tst_ColumnWidths)
#include "tst_columnwidths.moc"