#include "prefsformat.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray rowEntry(const ListRow &row)
{
    QByteArrayList cells;
    for (const std::string &cell : row)
        cells += QByteArray::fromStdString(cell);
    return "row " + cells.join('|');
}

// What the records of a file did to the window and the list, in the order they did it.
class Recorder : public PrefsTarget
{
public:
    void setWindowPlace(const WindowPlace &p) override
    {
        m_log += QString::asprintf("place %d %d %d %d", p.left, p.top, p.width, p.height).toUtf8();
    }
    void setColumnWidths(std::string_view text) override
    {
        m_log += "widths " + QByteArray(text.data(), qsizetype(text.size()));
    }
    void addRow(ListRow row) override { m_log += rowEntry(row); }

    QByteArrayList m_log;
};

QByteArrayList applied(const std::vector<directiveClass> &directives)
{
    Recorder recorder;
    applyDirectives(directives, recorder);
    return recorder.m_log;
}

} // namespace

using Directives = std::vector<directiveClass>;
using Rows = std::vector<ListRow>;
Q_DECLARE_METATYPE(WindowPlace)
Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(Directives)

class tst_PrefsFormat : public QObject
{
    Q_OBJECT
private slots:
    void prefsText_data();
    void prefsText();
    void applyDirectives_data();
    void applyDirectives();
    void roundTrip_data();
    void roundTrip();
};

void tst_PrefsFormat::prefsText_data()
{
    QTest::addColumn<WindowPlace>("place");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QByteArray>("expected");
    const WindowPlace place { 40, 60, 493, 233 };
    const QByteArray header = "#version 1.5\n#windowpos 40\t60\t493\t233\n"
                              "#columnwidths 35%,25%,25%,15%\n";

    QTest::newRow("worked example")
        << place
        << Rows { { "Untitled project 1", "03/14 09:05", "03/14 10:35", "1' 30\"" },
               { "Client letter", "03/14 11:00", "03/14 11:45", "0' 45\"" },
               { "Untitled project 2", "03/14 13:10", "", "" } }
        << header
            + "#saveditem Untitled project 1\t03/14 09:05\t03/14 10:35\t1' 30\"\n"
              "#saveditem Client letter\t03/14 11:00\t03/14 11:45\t0' 45\"\n"
              "#saveditem Untitled project 2\t03/14 13:10\t\t\n";
    QTest::newRow("no rows: three lines, negative and extreme numbers")
        << WindowPlace { -1200, -2147483647 - 1, 0, 2147483647 } << Rows {}
        << "#version 1.5\n#windowpos -1200\t-2147483648\t0\t2147483647\n"
           "#columnwidths 35%,25%,25%,15%\n"_ba;
    QTest::newRow("tab, CR and LF in cells become spaces")
        << place << Rows { { "a\tb", "c\rd", "e\nf", "g\r\nh" } }
        << header + "#saveditem a b\tc d\te f\tg  h\n";
}

void tst_PrefsFormat::prefsText()
{
    QFETCH(WindowPlace, place);
    QFETCH(Rows, rows);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray::fromStdString(::prefsText(place, "35%,25%,25%,15%", rows)), expected);
}

void tst_PrefsFormat::applyDirectives_data()
{
    QTest::addColumn<Directives>("directives");
    QTest::addColumn<QByteArrayList>("expected");
    QTest::newRow("windowpos and columnwidths twice, in order")
        << Directives { { "windowpos", "1\t2\t3\t4" }, { "columnwidths", " 35% ,\t25%" },
               { "windowpos", "5\t6\t7\t8" }, { "columnwidths", "" } }
        << QByteArrayList { "place 1 2 3 4", "widths  35% ,\t25%", "place 5 6 7 8", "widths " };
    QTest::newRow("windowpos missing, non-numeric and extra fields")
        << Directives { { "windowpos", "10\t20" }, { "windowpos", "left\t 5\t+5\t12px\t9" } }
        << QByteArrayList { "place 10 20 0 0", "place 0 0 0 12" };
    QTest::newRow("windowpos huge numbers saturate") << Directives {
        { "windowpos", "2147483648\t-2147483649\t99999999999999999999\t" + std::string(400, '9') }
    } << QByteArrayList { "place 2147483647 -2147483648 2147483647 2147483647" };
    QTest::newRow("short saveditem, extra fields dropped")
        << Directives { { "saveditem", "Untitled project 3" }, { "saveditem", "a\tb\tc\td\te" } }
        << QByteArrayList { "row Untitled project 3|||", "row a|b|c|d" };
    QTest::newRow("unknown names and version 2.0 ignored") << Directives { { "saveditem", "first" },
        { "version", "2.0" }, { "", "12" }, { "saveditems", "a" }, { "WindowPos", "1\t2\t3\t4" },
        { "saveditem", "second" } } << QByteArrayList { "row first|||", "row second|||" };
}

void tst_PrefsFormat::applyDirectives()
{
    QFETCH(Directives, directives);
    QFETCH(QByteArrayList, expected);
    QCOMPARE(applied(directives), expected);
}

void tst_PrefsFormat::roundTrip_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::newRow("invalid UTF-8, NUL and control bytes")
        << Rows { { "\xFF\xFE", std::string("a\0b", 3), "\x01\x0b\x7f", "\xED\xA0\x80" } };
    QTest::newRow("leading hash and spaces")
        << Rows { { "#saveditem x", " lead", "trail ", "  two  spaces  " } };
    QTest::newRow("long text") << Rows { { std::string(1'000'000, 'L'), "", "", "" } };
}

void tst_PrefsFormat::roundTrip()
{
    QFETCH(Rows, rows);
    const WindowPlace place { -3, 7, 800, 600 };
    const DirectiveRead read = readDirectives(::prefsText(place, "35%,25%,25%,15%", rows));
    QVERIFY(!read.stoppedEarly);
    QByteArrayList expected { "place -3 7 800 600", "widths 35%,25%,25%,15%" };
    for (const ListRow &row : rows)
        expected += rowEntry(row);
    QCOMPARE(applied(read.directives), expected);
}

QTEST_GUILESS_MAIN(tst_PrefsFormat)
#include "tst_prefsformat.moc"