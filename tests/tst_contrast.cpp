#include "contrast.h"

#include <QTest>
#include <cmath>

Q_DECLARE_METATYPE(Rgb)

class tst_Contrast : public QObject
{
    Q_OBJECT

private slots:
    // Ratios published with the WCAG guidelines and its usual checkers, to two decimals.
    void contrastRatio_data()
    {
        QTest::addColumn<Rgb>("first");
        QTest::addColumn<Rgb>("second");
        QTest::addColumn<double>("ratio");
        QTest::newRow("black on white") << Rgb { 0, 0, 0 } << Rgb { 255, 255, 255 } << 21.0;
        QTest::newRow("grey 118 on white")
            << Rgb { 118, 118, 118 } << Rgb { 255, 255, 255 } << 4.54;
        QTest::newRow("grey 119 on white")
            << Rgb { 119, 119, 119 } << Rgb { 255, 255, 255 } << 4.48;
        QTest::newRow("pure red on white") << Rgb { 255, 0, 0 } << Rgb { 255, 255, 255 } << 4.0;
    }

    void contrastRatio()
    {
        QFETCH(Rgb, first);
        QFETCH(Rgb, second);
        QFETCH(double, ratio);
        QCOMPARE(std::round(::contrastRatio(first, second) * 100) / 100, ratio);
    }

    void readableTextColour_data()
    {
        const Rgb tint { 235, 255, 255 };
        QTest::addColumn<Rgb>("preferred");
        QTest::addColumn<Rgb>("background");
        QTest::addColumn<Rgb>("chosen");
        QTest::newRow("light scheme's black text kept")
            << Rgb { 0, 0, 0 } << tint << Rgb { 0, 0, 0 };
        // Enough on white, not on the slightly darker tint.
        QTest::newRow("grey 118 too light for the tint")
            << Rgb { 118, 118, 118 } << tint << Rgb { 0, 0, 0 };
        QTest::newRow("dark scheme's white text replaced")
            << Rgb { 252, 252, 252 } << tint << Rgb { 0, 0, 0 };
        QTest::newRow("dark text on a dark cell turns white")
            << Rgb { 20, 20, 20 } << Rgb { 35, 38, 41 } << Rgb { 255, 255, 255 };
        QTest::newRow("light text on a dark cell kept")
            << Rgb { 239, 240, 241 } << Rgb { 35, 38, 41 } << Rgb { 239, 240, 241 };
    }

    void readableTextColour()
    {
        QFETCH(Rgb, preferred);
        QFETCH(Rgb, background);
        QFETCH(Rgb, chosen);
        const Rgb result = ::readableTextColour(preferred, background);
        QVERIFY(result == chosen);
        QVERIFY(::contrastRatio(result, background) >= readableContrast);
    }
};

QTEST_GUILESS_MAIN(tst_Contrast)
#include "tst_contrast.moc"
