#include "contrast.h"

#include <QTest>

Q_DECLARE_METATYPE(Rgb)

class tst_Contrast : public QObject
{
    Q_OBJECT

private slots:
    void readableTextColour_data()
    {
        QTest::addColumn<Rgb>("preferred");
        QTest::addColumn<Rgb>("background");
        QTest::addColumn<Rgb>("chosen");
        // Either side of 4.5 to 1: 4.53 and 4.48.
        QTest::newRow("red 238 on white kept")
            << Rgb { 238, 0, 0 } << Rgb { 255, 255, 255 } << Rgb { 238, 0, 0 };
        QTest::newRow("grey 119 on white too light")
            << Rgb { 119, 119, 119 } << Rgb { 255, 255, 255 } << Rgb { 0, 0, 0 };
        QTest::newRow("dark text on a dark cell turns white")
            << Rgb { 20, 20, 20 } << Rgb { 35, 38, 41 } << Rgb { 255, 255, 255 };
    }

    void readableTextColour()
    {
        QFETCH(Rgb, preferred);
        QFETCH(Rgb, background);
        QFETCH(Rgb, chosen);
        QVERIFY(::readableTextColour(preferred, background) == chosen);
    }
};

QTEST_GUILESS_MAIN(tst_Contrast)
#include "tst_contrast.moc"
