#include "columnwidths.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QList<int> laidOut(const std::vector<ColumnWidth> &widths, qsizetype columnCount, int width)
{
    const std::vector<int> pixels = layoutColumnWidths(widths, int(columnCount), width);
    return { pixels.begin(), pixels.end() };
}

// Without dragged pixels the columns stay as laid out; a malformed text reports nothing.
void row(const char *tag, const QByteArray &text, int width, const QList<int> &laid,
    const QList<int> &dragged, const QByteArray &reported)
{
    QTest::newRow(tag) << text << width << laid << (dragged.isEmpty() ? laid : dragged) << reported;
}

} // namespace

class tst_ColumnWidths : public QObject
{
    Q_OBJECT
private slots:
    void layout_data();
    void layout();
};

void tst_ColumnWidths::layout_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<int>>("pixels");
    QTest::addColumn<QList<int>>("dragged");
    QTest::addColumn<QByteArray>("reported");
    row("percentages, first dragged wider", "35%,25%,25%,15%", 467, { 163, 117, 117, 70 },
        { 217, 117, 117, 70 }, "46.47%,25.05%,25.05%,14.99%");
    row("dragged past the right edge", "35%,25%,25%,15%", 600, { 210, 150, 150, 90 },
        { 400, 300, 200, 100 }, "66.67%,50%,33.33%,16.67%");
    row("blanks, too few entries; pixels stay", " 35.5% , 120 ", 400, { 142, 120, 138 },
        { 150, 100, 250 }, "37.5%,100,62.5%");
    row("no leading digit; odd pixel counts", ".5%,*,*,*", 997, { 5, 330, 330, 332 },
        { 1, 333, 7, 655 }, "0.1%,33.4%,0.7%,65.7%");
    row("star shares", "50%,*,100,*", 402, { 201, 50, 100, 51 }, {}, "50%,12.44%,100,12.69%");
    row("nothing left to share, extra entry", "300,*,30", 200, { 300, 0 }, {}, "300,0%");
    row("tiny width", "35%,25%,25%,15%", 5, { 2, 1, 1, 1 }, {}, "40%,20%,20%,20%");
    row("zero width", "*,50%,*", 0, { 0, 0, 0 }, {}, "*,50%,*");
    row("absurd entry", "99999999999999999999,*", 100, { 100000, 0 }, {}, "100000,0%");
    for (const char *bad :
        { "", " ", "abc", "-5", "12px", "1e3", "inf", "35%%", "35%,,25%", "35%," })
        row(("malformed \"" + QByteArray(bad) + '"').constData(), bad, 100, {}, {}, "");
}

// A drag is reported in the text's earlier form, which lays the columns out again within a pixel.
void tst_ColumnWidths::layout()
{
    QFETCH(QByteArray, text);
    QFETCH(int, width);
    QFETCH(QList<int>, pixels);
    QFETCH(QList<int>, dragged);
    QFETCH(QByteArray, reported);
    const auto entries = parseColumnWidths(text.toStdString());
    QCOMPARE(entries.has_value(), !reported.isEmpty());
    if (!entries)
        return;
    QCOMPARE(laidOut(*entries, pixels.size(), width), pixels);
    const auto widths = widthsFromPixels(*entries, { dragged.begin(), dragged.end() }, width);
    QCOMPARE(QByteArray::fromStdString(formatColumnWidths(widths)), reported);
    const QList<int> after
        = laidOut(parseColumnWidths(reported.toStdString()).value(), dragged.size(), width);
    for (qsizetype i = 0; i < dragged.size(); ++i)
        QVERIFY2(qAbs(after.at(i) - dragged.at(i)) <= 1, reported.constData());
}

QTEST_GUILESS_MAIN(tst_ColumnWidths)
#include "tst_columnwidths.moc"
