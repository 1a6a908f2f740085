#include "columnwidths.h"

#include <QTest>
#include <cstdlib>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::vector<ColumnWidth>)
Q_DECLARE_METATYPE(std::vector<int>)

// Lets QCOMPARE show the entries when they differ.
char *toString(const std::vector<ColumnWidth> &widths)
{
    return qstrdup(formatColumnWidths(widths).c_str());
}

namespace {

ColumnWidth percent(double value)
{
    return { ColumnWidth::Kind::Percent, value };
}

ColumnWidth pixels(double value)
{
    return { ColumnWidth::Kind::Pixels, value };
}

constexpr ColumnWidth share {};

std::vector<ColumnWidth> parsed(const QString &text)
{
    return parseColumnWidths(text.toStdString()).value_or(std::vector<ColumnWidth> {});
}

} // namespace

class tst_ColumnWidths : public QObject
{
    Q_OBJECT
private slots:
    void parseValid_data();
    void parseValid();
    void parseMalformed_data();
    void parseMalformed();
    void layout_data();
    void layout();
    void fromPixels_data();
    void fromPixels();
    void format_data();
    void format();
    void roundTrip_data();
    void roundTrip();
    void draggedWidthsReadBack_data();
    void draggedWidthsReadBack();
};

void tst_ColumnWidths::parseValid_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::vector<ColumnWidth>>("expected");
    QTest::newRow("the window's default")
        << u"35%,25%,25%,15%"_s
        << std::vector { percent(35), percent(25), percent(25), percent(15) };
    QTest::newRow("fraction, pixels and share with spaces")
        << u" 35.5% , 120 ,* "_s << std::vector { percent(35.5), pixels(120), share };
    QTest::newRow("single zero pixels") << u"0"_s << std::vector { pixels(0) };
    QTest::newRow("fraction without leading digit") << u".5%"_s << std::vector { percent(0.5) };
    QTest::newRow("more entries than columns")
        << u"1,2,3,4,5,6"_s
        << std::vector { pixels(1), pixels(2), pixels(3), pixels(4), pixels(5), pixels(6) };
    QTest::newRow("only shares") << u"*,*"_s << std::vector { share, share };
}

void tst_ColumnWidths::parseValid()
{
    QFETCH(QString, text);
    QFETCH(std::vector<ColumnWidth>, expected);
    const auto widths = parseColumnWidths(text.toStdString());
    QVERIFY(widths.has_value());
    QCOMPARE(*widths, expected);
}

void tst_ColumnWidths::parseMalformed_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("only spaces") << u"   "_s;
    QTest::newRow("word") << u"abc"_s;
    QTest::newRow("percent sign alone") << u"%"_s;
    QTest::newRow("negative") << u"-5"_s;
    QTest::newRow("explicit plus") << u"+5"_s;
    QTest::newRow("unit suffix") << u"12px"_s;
    QTest::newRow("exponent") << u"1e3"_s;
    QTest::newRow("infinity") << u"inf"_s;
    QTest::newRow("two points") << u"1.2.3"_s;
    QTest::newRow("point alone") << u"."_s;
    QTest::newRow("space inside a number") << u"3 5"_s;
    QTest::newRow("double percent") << u"35%%"_s;
    QTest::newRow("double star") << u"**"_s;
    QTest::newRow("empty entry between commas") << u"35%,,25%"_s;
    QTest::newRow("trailing comma") << u"35%,"_s;
    QTest::newRow("leading comma") << u",35%"_s;
    QTest::newRow("one bad entry among good ones") << u"35%,abc,25%"_s;
    QTest::newRow("semicolons") << u"35%;65%"_s;
}

void tst_ColumnWidths::parseMalformed()
{
    QFETCH(QString, text);
    QVERIFY(!parseColumnWidths(text.toStdString()).has_value());
}

void tst_ColumnWidths::layout_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("columnCount");
    QTest::addColumn<int>("availableWidth");
    QTest::addColumn<std::vector<int>>("expected");
    QTest::newRow("percentages of the width")
        << u"35%,25%,25%,15%"_s << 4 << 400 << std::vector { 140, 100, 100, 60 };
    QTest::newRow("percentages rounded one by one")
        << u"33.33%,33.33%,33.34%"_s << 3 << 100 << std::vector { 33, 33, 33 };
    QTest::newRow("pixels ignore the width") << u"120,80"_s << 2 << 500 << std::vector { 120, 80 };
    QTest::newRow("shares split the rest, last takes the remainder")
        << u"100,*,*"_s << 3 << 401 << std::vector { 100, 150, 151 };
    QTest::newRow("share between percent and pixels")
        << u"50%,*,100"_s << 3 << 400 << std::vector { 200, 100, 100 };
    QTest::newRow("too few entries share like stars")
        << u"100"_s << 3 << 300 << std::vector { 100, 100, 100 };
    QTest::newRow("more entries than columns")
        << u"10,20,30"_s << 2 << 100 << std::vector { 10, 20 };
    QTest::newRow("nothing left to share") << u"300,*"_s << 2 << 200 << std::vector { 300, 0 };
    QTest::newRow("tiny width") << u"35%,25%,25%,15%"_s << 4 << 3 << std::vector { 1, 1, 1, 0 };
    QTest::newRow("zero width") << u"*,50%,*"_s << 3 << 0 << std::vector { 0, 0, 0 };
    QTest::newRow("negative width") << u"*,50%"_s << 2 << -10 << std::vector { 0, 0 };
    QTest::newRow("absurd entry does not overflow")
        << u"99999999999999999999,*"_s << 2 << 100 << std::vector { 100000, 0 };
    QTest::newRow("no columns") << u"*"_s << 0 << 100 << std::vector<int> {};
}

void tst_ColumnWidths::layout()
{
    QFETCH(QString, text);
    QFETCH(int, columnCount);
    QFETCH(int, availableWidth);
    QFETCH(std::vector<int>, expected);
    const auto widths = parseColumnWidths(text.toStdString());
    QVERIFY(widths.has_value());
    QCOMPARE(layoutColumnWidths(*widths, columnCount, availableWidth), expected);
}

void tst_ColumnWidths::fromPixels_data()
{
    QTest::addColumn<QString>("previous");
    QTest::addColumn<std::vector<int>>("pixels");
    QTest::addColumn<int>("availableWidth");
    QTest::addColumn<std::vector<ColumnWidth>>("expected");
    QTest::newRow("percentages stay percentages")
        << u"35%,25%,25%,15%"_s << std::vector { 200, 100, 100, 100 } << 500
        << std::vector { percent(40), percent(20), percent(20), percent(20) };
    QTest::newRow("pixels stay pixels, a share becomes a percentage")
        << u"120,*"_s << std::vector { 150, 350 } << 500
        << std::vector { pixels(150), percent(70) };
    QTest::newRow("columns without an entry become percentages")
        << u"50%"_s << std::vector { 100, 100, 300 } << 500
        << std::vector { percent(20), percent(20), percent(60) };
    QTest::newRow("percentages kept to hundredths")
        << u"*"_s << std::vector { 100 } << 300 << std::vector { percent(33.33) };
    QTest::newRow("no width keeps what cannot be expressed")
        << u"50%,*,80"_s << std::vector { 10, 20, 30 } << 0
        << std::vector { percent(50), share, pixels(30) };
}

void tst_ColumnWidths::fromPixels()
{
    QFETCH(QString, previous);
    QFETCH(std::vector<int>, pixels);
    QFETCH(int, availableWidth);
    QFETCH(std::vector<ColumnWidth>, expected);
    QCOMPARE(widthsFromPixels(parsed(previous), pixels, availableWidth), expected);
}

void tst_ColumnWidths::format_data()
{
    QTest::addColumn<std::vector<ColumnWidth>>("widths");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole numbers have no point")
        << std::vector { percent(35), pixels(120), share } << u"35%,120,*"_s;
    QTest::newRow("one decimal without trailing zero")
        << std::vector { percent(12.5) } << u"12.5%"_s;
    QTest::newRow("two decimals at most") << std::vector { percent(33.3333) } << u"33.33%"_s;
    QTest::newRow("rounding up to a whole number") << std::vector { pixels(99.999) } << u"100"_s;
    QTest::newRow("hundreds keep their zeros") << std::vector { pixels(100.004) } << u"100"_s;
    QTest::newRow("below a hundredth") << std::vector { percent(0.004) } << u"0%"_s;
    QTest::newRow("negative written as zero") << std::vector { pixels(-3) } << u"0"_s;
    QTest::newRow("nothing") << std::vector<ColumnWidth> {} << QString();
}

void tst_ColumnWidths::format()
{
    QFETCH(std::vector<ColumnWidth>, widths);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(formatColumnWidths(widths)), expected);
}

void tst_ColumnWidths::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("availableWidth");
    QTest::newRow("default widths in the window as created") << u"35%,25%,25%,15%"_s << 467;
    QTest::newRow("default widths at the widest window") << u"35%,25%,25%,15%"_s << 1174;
    QTest::newRow("pixels and shares") << u"100,*,*"_s << 333;
    QTest::newRow("fractions and a share") << u"33.33%,*,7.5%"_s << 999;
    QTest::newRow("missing entries") << u"120"_s << 641;
    QTest::newRow("tiny width") << u"35%,25%,25%,15%"_s << 5;
}

// Reading back the widths the layout produced, in the form the text will have, lays out the
// same columns.
void tst_ColumnWidths::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(int, availableWidth);
    constexpr int columnCount = 4;
    const std::vector<int> before = layoutColumnWidths(parsed(text), columnCount, availableWidth);
    const auto entries = widthsFromPixels(parsed(text), before, availableWidth);
    const auto reread = parseColumnWidths(formatColumnWidths(entries));
    QVERIFY(reread.has_value());
    QCOMPARE(*reread, entries);
    const std::vector<int> after = layoutColumnWidths(*reread, columnCount, availableWidth);
    QCOMPARE(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        QVERIFY2(std::abs(after[i] - before[i]) <= 1,
            qPrintable(u"column %1: %2 became %3"_s.arg(i).arg(before[i]).arg(after[i])));
    }
}

void tst_ColumnWidths::draggedWidthsReadBack_data()
{
    QTest::addColumn<QString>("previous");
    QTest::addColumn<std::vector<int>>("pixels");
    QTest::addColumn<int>("availableWidth");
    QTest::newRow("one column dragged wider")
        << u"35%,25%,25%,15%"_s << std::vector { 217, 117, 117, 70 } << 467;
    QTest::newRow("columns past the right edge")
        << u"35%,25%,25%,15%"_s << std::vector { 400, 300, 200, 100 } << 600;
    QTest::newRow("a shared column dragged") << u"80,*"_s << std::vector { 80, 1013 } << 1187;
    QTest::newRow("odd pixel counts") << u"*,*,*"_s << std::vector { 1, 333, 7 } << 997;
}

// A list whose columns the user dragged reports widths that give back the dragged columns.
void tst_ColumnWidths::draggedWidthsReadBack()
{
    QFETCH(QString, previous);
    QFETCH(std::vector<int>, pixels);
    QFETCH(int, availableWidth);
    const auto text
        = formatColumnWidths(widthsFromPixels(parsed(previous), pixels, availableWidth));
    const auto reread = parseColumnWidths(text);
    QVERIFY(reread.has_value());
    const auto after = layoutColumnWidths(*reread, static_cast<int>(pixels.size()), availableWidth);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        QVERIFY2(std::abs(after[i] - pixels[i]) <= 1,
            qPrintable(u"%1 gave %2 for %3"_s.arg(QString::fromStdString(text))
                           .arg(after[i])
                           .arg(pixels[i])));
    }
}

QTEST_GUILESS_MAIN(tst_ColumnWidths)
#include "tst_columnwidths.moc"
