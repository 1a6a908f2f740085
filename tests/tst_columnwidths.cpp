#include "columnwidths.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QList<int> listOf(const std::vector<int> &pixels)
{
    return { pixels.begin(), pixels.end() };
}

// The drag is "column:width", or empty for none; without one the columns stay as laid out.
void row(const char *tag, const QByteArray &text, int width, const QList<int> &laid,
    const QByteArray &drag, const QList<int> &dragged, const QByteArray &reported)
{
    QTest::newRow(tag) << text << width << laid << drag << (drag.isEmpty() ? laid : dragged)
                       << reported;
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
    QTest::addColumn<QByteArray>("drag");
    QTest::addColumn<QList<int>>("dragged");
    QTest::addColumn<QByteArray>("reported"); // empty: the text is malformed
    row("first dragged wider, the last gives way", "35%,25%,25%,15%", 467, { 163, 117, 117, 70 },
        "0:217", { 217, 117, 117, 16 }, "46.46%,25.05%,25.05%,3.42%");
    row("dragged past the right edge", "35%,25%,25%,15%", 600, { 210, 150, 150, 90 }, "1:500",
        { 210, 390, 0, 0 }, "35%,65%,0%,0%");
    row("dragged narrower", "35%,25%,25%,15%", 400, { 140, 100, 100, 60 }, "0:100",
        { 100, 100, 100, 60 }, "25%,25%,25%,15%");
    row("blanks, too few entries; pixels stay", " 35.5% , 120 ", 400, { 142, 120, 138 }, "2:250",
        { 142, 120, 138 }, "35.5%,120,34.5%");
    row("no leading digit; odd pixel counts", ".5%,*,*,*", 997, { 5, 330, 330, 332 }, "1:333",
        { 5, 333, 330, 329 }, "0.5%,33.4%,33.09%,32.99%");
    row("star shares", "50%,*,100,*", 402, { 201, 50, 100, 51 }, "", {}, "50%,12.43%,100,12.68%");
    row("over 100% shown fitted", "50%,50%,50%,50%", 400, { 200, 200, 0, 0 }, "", {},
        "50%,50%,0%,0%");
    row("nothing left to share, extra entry", "300,*,30", 200, { 200, 0 }, "", {}, "200,0%");
    row("tiny width", "35%,25%,25%,15%", 5, { 2, 1, 1, 1 }, "", {}, "40%,20%,20%,20%");
    row("zero width", "*,50%,*", 0, { 0, 0, 0 }, "", {}, "*,50%,*");
    row("absurd entry", "99999999999999999999,*", 100, { 100, 0 }, "", {}, "100,0%");
    for (const char *bad :
        { "", " ", "abc", "-5", "12px", "1e3", "inf", "35%%", "35%,,25%", "35%," })
        row(("malformed \"" + QByteArray(bad) + '"').constData(), bad, 100, {}, "", {}, "");
}

// The columns always fit the list; what is reported of a drag adds up to 100% at most and lays
// the columns out again within a pixel.
void tst_ColumnWidths::layout()
{
    QFETCH(QByteArray, text);
    QFETCH(int, width);
    QFETCH(QList<int>, pixels);
    QFETCH(QByteArray, drag);
    QFETCH(QList<int>, dragged);
    QFETCH(QByteArray, reported);
    const auto entries = parseColumnWidths(text.toStdString());
    QCOMPARE(entries.has_value(), !reported.isEmpty());
    if (!entries)
        return;
    const std::vector<int> laid = layoutColumnWidths(*entries, int(pixels.size()), width);
    QCOMPARE(listOf(laid), pixels);
    std::vector<int> after = laid;
    if (!drag.isEmpty())
        after = draggedColumnWidths(
            laid, drag.split(':')[0].toInt(), drag.split(':')[1].toInt(), width);
    QCOMPARE(listOf(after), dragged);
    const auto widths = widthsFromPixels(*entries, after, width);
    QCOMPARE(QByteArray::fromStdString(formatColumnWidths(widths)), reported);
    double percent = 0;
    for (const ColumnWidth &entry : widths)
        percent += entry.kind == ColumnWidth::Kind::Percent ? entry.value : 0;
    QVERIFY(percent <= 100.0);
    const auto back = layoutColumnWidths(
        parseColumnWidths(reported.toStdString()).value(), int(dragged.size()), width);
    for (std::size_t i = 0; i < back.size(); ++i)
        QVERIFY2(qAbs(back[i] - after[i]) <= 1, reported.constData());
}

QTEST_GUILESS_MAIN(tst_ColumnWidths)
#include "tst_columnwidths.moc"
