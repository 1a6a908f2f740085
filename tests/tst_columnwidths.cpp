#include "columnwidths.h"

#include <QTest>

static QList<int> listOf(const std::vector<int> &pixels)
{
    return { pixels.begin(), pixels.end() };
}

class tst_ColumnWidths : public QObject
{
    Q_OBJECT

private slots:
    void layout_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("pixels");
        QTest::addColumn<QByteArray>("drag"); // "column:width", or empty for none
        QTest::addColumn<QList<int>>("dragged");
        QTest::addColumn<QByteArray>("reported"); // empty: the text is malformed
        const auto row
            = [](const char *tag, const QByteArray &text, int width, const QList<int> &laid,
                  const QByteArray &drag, const QList<int> &dragged, const QByteArray &reported) {
                  QTest::newRow(tag) << text << width << laid << drag
                                     << (drag.isEmpty() ? laid : dragged) << reported;
              };
        row("first dragged wider, the last gives way", "35%,25%,25%,15%", 467,
            { 163, 117, 117, 70 }, "0:217", { 217, 117, 117, 16 }, "46.46%,25.05%,25.05%,3.42%");
        row("dragged past the right edge", "35%,25%,25%,15%", 600, { 210, 150, 150, 90 }, "1:500",
            { 210, 390, 0, 0 }, "35%,65%,0%,0%");
        row("dragged narrower", "35%,25%,25%,15%", 400, { 140, 100, 100, 60 }, "0:100",
            { 100, 100, 100, 60 }, "25%,25%,25%,15%");
        row("blanks, too few entries; pixels stay", " 35.5% , 120 ", 400, { 142, 120, 138 },
            "2:250", { 142, 120, 138 }, "35.5%,120,34.5%");
        row("no leading digit; odd pixel counts", ".5%,*,*,*", 997, { 5, 330, 330, 332 }, "1:333",
            { 5, 333, 330, 329 }, "0.5%,33.4%,33.09%,32.99%");
        row("star shares", "50%,*,100,*", 402, { 201, 50, 100, 51 }, "", {},
            "50%,12.43%,100,12.68%");
        row("nothing left to share, extra entry", "300,*,30", 200, { 200, 0 }, "", {}, "200,0%");
        row("zero width", "*,50%,*", 0, { 0, 0, 0 }, "", {}, "*,50%,*");
        row("absurd entry", "99999999999999999999,*", 100, { 100, 0 }, "", {}, "100,0%");
        for (const char *bad :
            { "", " ", "abc", "-5", "12px", "1e3", "inf", "35%%", "35%,,25%", "35%," })
            row(("malformed \"" + QByteArray(bad) + '"').constData(), bad, 100, {}, "", {}, "");
    }

    // The columns always fit the list. What is reported keeps each entry's kind; a percentage is
    // rounded down, so that those of columns that fit add up to 100% at most.
    void layout()
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
        std::vector<int> after = layoutColumnWidths(*entries, int(pixels.size()), width);
        QCOMPARE(listOf(after), pixels);
        if (!drag.isEmpty())
            after = draggedColumnWidths(
                after, drag.split(':')[0].toInt(), drag.split(':')[1].toInt(), width);
        QCOMPARE(listOf(after), dragged);
        QCOMPARE(
            QByteArray::fromStdString(formatColumnWidths(widthsFromPixels(*entries, after, width))),
            reported);
    }
};

QTEST_GUILESS_MAIN(tst_ColumnWidths)
#include "tst_columnwidths.moc"
