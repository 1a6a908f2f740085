#include "screenplace.h"

#include <QTest>
#include <climits>

Q_DECLARE_METATYPE(ScreenRect)
Q_DECLARE_METATYPE(std::vector<ScreenRect>)

// Found by QCOMPARE through argument-dependent lookup.
char *toString(const ScreenRect &r)
{
    return QTest::toString(QString::asprintf("%d, %d, %d x %d", r.left, r.top, r.width, r.height));
}

namespace {

// Available areas: a 1920 x 1080 screen with a 40-pixel panel at the bottom, and a 1280 x 1024
// one to its right.
const ScreenRect wide { 0, 0, 1920, 1040 };
const ScreenRect right { 1920, 0, 1280, 1024 };

} // namespace

class tst_ScreenPlace : public QObject
{
    Q_OBJECT

private slots:
    void placeOnScreen_data()
    {
        QTest::addColumn<ScreenRect>("place");
        QTest::addColumn<std::vector<ScreenRect>>("screens");
        QTest::addColumn<ScreenRect>("shown");
        const auto row
            = [](const char *name, ScreenRect place, std::vector<ScreenRect> screens,
                  ScreenRect shown) { QTest::newRow(name) << place << screens << shown; };
        row("100 x 50 in a corner", { 1820, 990, 493, 233 }, { wide }, { 1820, 990, 493, 233 });
        row("a pixel less showing", { 1821, 990, 493, 233 }, { wide }, { 1427, 807, 493, 233 });
        row("above a top panel", { 100, -200, 493, 233 }, { { 0, 27, 1920, 1053 } },
            { 100, 27, 493, 233 });
        row("from an unplugged screen", { 2200, 300, 493, 233 }, { wide }, { 1427, 300, 493, 233 });
        row("below the right screen, to it", { 2000, 1500, 493, 233 }, { wide, right },
            { 2000, 791, 493, 233 });
        row("shrunk", { -3000, -2000, 1200, 1200 }, { { 0, 0, 1024, 740 } }, { 0, 0, 1024, 740 });
        row("as far as a file can say", { INT_MAX, INT_MIN, INT_MAX, INT_MAX }, { wide }, wide);
        row("no screen known", { 5000, 5000, 493, 233 }, {}, { 5000, 5000, 493, 233 });
    }

    void placeOnScreen()
    {
        QFETCH(ScreenRect, place);
        QFETCH(std::vector<ScreenRect>, screens);
        QFETCH(ScreenRect, shown);
        QCOMPARE(::placeOnScreen(place, screens), shown);
    }
};

QTEST_APPLESS_MAIN(tst_ScreenPlace)
#include "tst_screenplace.moc"
