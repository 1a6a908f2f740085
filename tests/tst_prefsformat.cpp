#include "prefsformat.h"

#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// What the records of a file did to the window and the list, in the order they did it.
struct Applied
{
    std::vector<WindowPlace> places;
    std::vector<std::string> widths;
    std::vector<ListRow> rows;

    bool operator==(const Applied &) const = default;
};

class RecordingTarget : public PrefsTarget
{
public:
    void setWindowPlace(const WindowPlace &place) override { m_applied.places.push_back(place); }
    void setColumnWidths(std::string_view text) override { m_applied.widths.emplace_back(text); }
    void addRow(ListRow row) override { m_applied.rows.push_back(std::move(row)); }

    [[nodiscard]] const Applied &applied() const { return m_applied; }

private:
    Applied m_applied;
};

Applied applied(const std::vector<directiveClass> &directives)
{
    RecordingTarget target;
    applyDirectives(directives, target);
    return target.applied();
}

std::string escaped(std::string_view text)
{
    return QByteArray(text.data(), qsizetype(text.size()))
        .toPercentEncoding(" #%,/:'\"")
        .toStdString();
}

constexpr std::int32_t int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int32Min = std::numeric_limits<std::int32_t>::min();

const std::string initialWidths = "35%,25%,25%,15%";

// Found by QCOMPARE through the argument's namespace.
char *toString(const Applied &applied)
{
    std::string out;
    for (const WindowPlace &place : applied.places) {
        out += "place " + std::to_string(place.left) + "," + std::to_string(place.top) + ","
            + std::to_string(place.width) + "," + std::to_string(place.height) + "; ";
    }
    for (const std::string &widths : applied.widths)
        out += "widths " + escaped(widths) + "; ";
    for (const ListRow &row : applied.rows) {
        out += "row";
        for (const std::string &cell : row)
            out += " [" + escaped(cell) + "]";
        out += "; ";
    }
    return qstrdup(out.c_str());
}

} // namespace

Q_DECLARE_METATYPE(WindowPlace)
Q_DECLARE_METATYPE(std::vector<ListRow>)
Q_DECLARE_METATYPE(std::vector<directiveClass>)
Q_DECLARE_METATYPE(Applied)

class tst_PrefsFormat : public QObject
{
    Q_OBJECT
private slots:
    void prefsText_data();
    void prefsText();
    void manyRows();
    void applyDirectives_data();
    void applyDirectives();
    void roundTrip_data();
    void roundTrip();
};

void tst_PrefsFormat::prefsText_data()
{
    QTest::addColumn<WindowPlace>("place");
    QTest::addColumn<QByteArray>("widths");
    QTest::addColumn<std::vector<ListRow>>("rows");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray header = "#version 1.5\n#windowpos 40\t60\t493\t233\n"
                              "#columnwidths 35%,25%,25%,15%\n";
    const WindowPlace place { 40, 60, 493, 233 };

    QTest::newRow("worked example")
        << place << "35%,25%,25%,15%"_ba
        << std::vector<ListRow> {
               { "Untitled project 1", "03/14 09:05", "03/14 10:35", "1' 30\"" },
               { "Client letter", "03/14 11:00", "03/14 11:45", "0' 45\"" },
               { "Untitled project 2", "03/14 13:10", "", "" },
           }
        << header + "#saveditem Untitled project 1\t03/14 09:05\t03/14 10:35\t1' 30\"\n"
                    "#saveditem Client letter\t03/14 11:00\t03/14 11:45\t0' 45\"\n"
                    "#saveditem Untitled project 2\t03/14 13:10\t\t\n";
    QTest::newRow("no rows: three lines")
        << place << "35%,25%,25%,15%"_ba << std::vector<ListRow> {} << header;
    QTest::newRow("negative and extreme numbers")
        << WindowPlace { -1200, -5, 0, int32Max } << "35%,25%,25%,15%"_ba << std::vector<ListRow> {}
        << "#version 1.5\n#windowpos -1200\t-5\t0\t2147483647\n"
           "#columnwidths 35%,25%,25%,15%\n"_ba;
    QTest::newRow("most negative number")
        << WindowPlace { int32Min, 0, 1, 2 } << ""_ba << std::vector<ListRow> {}
        << "#version 1.5\n#windowpos -2147483648\t0\t1\t2\n#columnwidths \n"_ba;
    QTest::newRow("tab, CR and LF in cells become spaces")
        << place << "35%,25%,25%,15%"_ba
        << std::vector<ListRow> { { "a\tb", "c\rd", "e\nf", "g\r\nh" } }
        << header + "#saveditem a b\tc d\te f\tg  h\n";
    QTest::newRow("line breaks in the widths become spaces")
        << place << "35%,\r\n25%\t"_ba << std::vector<ListRow> {}
        << "#version 1.5\n#windowpos 40\t60\t493\t233\n#columnwidths 35%,  25% \n"_ba;
    QTest::newRow("short row gives empty fields")
        << place << "35%,25%,25%,15%"_ba << std::vector<ListRow> { { "only a name" }, {} }
        << header + "#saveditem only a name\t\t\t\n#saveditem \t\t\t\n";
    QTest::newRow("cells past the fourth are not written")
        << place << "35%,25%,25%,15%"_ba << std::vector<ListRow> { { "a", "b", "c", "d", "e" } }
        << header + "#saveditem a\tb\tc\td\n";
    QTest::newRow("bytes kept as they are")
        << place << "35%,25%,25%,15%"_ba
        << std::vector<ListRow> { { "#\xFF\xC3\x84 x", std::string("\0", 1), " ", "" } }
        << header + "#saveditem #\xFF\xC3\x84 x\t\0\t \t\n"_ba;
}

void tst_PrefsFormat::prefsText()
{
    QFETCH(WindowPlace, place);
    QFETCH(QByteArray, widths);
    QFETCH(std::vector<ListRow>, rows);
    QFETCH(QByteArray, expected);

    const std::string text = ::prefsText(place, widths.toStdString(), rows);

    QCOMPARE(QByteArray::fromStdString(text), expected);
}

void tst_PrefsFormat::manyRows()
{
    constexpr int count = 100'000;
    std::vector<ListRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({ "row " + std::to_string(i), "03/14 09:05", "03/14 10:35", "1' 30\"" });

    const std::string text = ::prefsText({}, initialWidths, rows);
    const DirectiveRead read = readDirectives(text);

    QCOMPARE(read.directives.size(), std::size_t(count + 3));
    QVERIFY(applied(read.directives).rows == rows);
}

void tst_PrefsFormat::applyDirectives_data()
{
    QTest::addColumn<std::vector<directiveClass>>("directives");
    QTest::addColumn<Applied>("expected");

    QTest::newRow("nothing") << std::vector<directiveClass> {} << Applied {};
    QTest::newRow("worked example") << std::vector<directiveClass> {
        { "version", "1.5" },
        { "windowpos", "40\t60\t493\t233" },
        { "columnwidths", "35%,25%,25%,15%" },
        { "saveditem", "Untitled project 1\t03/14 09:05\t03/14 10:35\t1' 30\"" },
        { "saveditem", "Untitled project 2\t03/14 13:10\t\t" },
    } << Applied { { { 40, 60, 493, 233 } }, { "35%,25%,25%,15%" }, { { "Untitled project 1", "03/14 09:05", "03/14 10:35", "1' 30\"" }, { "Untitled project 2", "03/14 13:10", "", "" } } };
    QTest::newRow("two windowpos, both in order") << std::vector<directiveClass> {
        { "windowpos", "1\t2\t3\t4" }, { "windowpos", "5\t6\t7\t8" }
    } << Applied { { { 1, 2, 3, 4 }, { 5, 6, 7, 8 } }, {}, {} };
    QTest::newRow("two columnwidths, both in order")
        << std::vector<directiveClass> { { "columnwidths", "50%,50%" }, { "columnwidths", "" } }
        << Applied { {}, { "50%,50%", "" }, {} };
    QTest::newRow("columnwidths taken unchanged")
        << std::vector<directiveClass> { { "columnwidths", " 35% ,\t25%" } }
        << Applied { {}, { " 35% ,\t25%" }, {} };
    QTest::newRow("negative windowpos")
        << std::vector<directiveClass> { { "windowpos", "-1200\t-40\t493\t233" } }
        << Applied { { { -1200, -40, 493, 233 } }, {}, {} };
    QTest::newRow("windowpos with missing fields")
        << std::vector<directiveClass> { { "windowpos", "10\t20" } }
        << Applied { { { 10, 20, 0, 0 } }, {}, {} };
    QTest::newRow("windowpos empty") << std::vector<directiveClass> { { "windowpos", "" } }
                                     << Applied { { { 0, 0, 0, 0 } }, {}, {} };
    QTest::newRow("windowpos non-numeric")
        << std::vector<directiveClass> { { "windowpos", "left\t 5\t+5\t12px" } }
        << Applied { { { 0, 0, 0, 12 } }, {}, {} };
    QTest::newRow("windowpos huge numbers saturate") << std::vector<directiveClass> {
        { "windowpos", "2147483648\t-2147483649\t99999999999999999999\t" + std::string(400, '9') }
    } << Applied { { { int32Max, int32Min, int32Max, int32Max } }, {}, {} };
    QTest::newRow("windowpos fractions drop toward zero")
        << std::vector<directiveClass> { { "windowpos", "40.9\t-60.9\t0.5\t233.0" } }
        << Applied { { { 40, -60, 0, 233 } }, {}, {} };
    QTest::newRow("windowpos extra fields ignored")
        << std::vector<directiveClass> { { "windowpos", "1\t2\t3\t4\t5" } }
        << Applied { { { 1, 2, 3, 4 } }, {}, {} };
    QTest::newRow("windowpos separated by spaces is one field")
        << std::vector<directiveClass> { { "windowpos", "1 2 3 4" } }
        << Applied { { { 1, 0, 0, 0 } }, {}, {} };
    QTest::newRow("saveditem with only a name")
        << std::vector<directiveClass> { { "saveditem", "Untitled project 3" } }
        << Applied { {}, {}, { { "Untitled project 3", "", "", "" } } };
    QTest::newRow("saveditem empty") << std::vector<directiveClass> { { "saveditem", "" } }
                                     << Applied { {}, {}, { { "", "", "", "" } } };
    QTest::newRow("saveditem extra fields dropped")
        << std::vector<directiveClass> { { "saveditem", "a\tb\tc\td\te\tf" } }
        << Applied { {}, {}, { { "a", "b", "c", "d" } } };
    QTest::newRow("saveditem texts not checked")
        << std::vector<directiveClass> { { "saveditem", "x\tnot a time\t\t-5' 99\"" } }
        << Applied { {}, {}, { { "x", "not a time", "", "-5' 99\"" } } };
    QTest::newRow("unknown, empty and version names ignored")
        << std::vector<directiveClass> { { "version", "2.0" }, { "", "12" }, { "sortcolumn", "2" },
               { "saveditems", "a" }, { "WindowPos", "1\t2\t3\t4" } }
        << Applied {};
    QTest::newRow("order of rows kept across other records") << std::vector<directiveClass> {
        { "saveditem", "first" }, { "version", "1.5" }, { "saveditem", "second" }
    } << Applied { {}, {}, { { "first", "", "", "" }, { "second", "", "", "" } } };
}

void tst_PrefsFormat::applyDirectives()
{
    QFETCH(std::vector<directiveClass>, directives);
    QFETCH(Applied, expected);

    QCOMPARE(applied(directives), expected);
}

void tst_PrefsFormat::roundTrip_data()
{
    QTest::addColumn<std::vector<ListRow>>("rows");

    QTest::newRow("worked example rows") << std::vector<ListRow> {
        { "Untitled project 1", "03/14 09:05", "03/14 10:35", "1' 30\"" },
        { "Untitled project 2", "03/14 13:10", "", "" },
    };
    QTest::newRow("invalid UTF-8")
        << std::vector<ListRow> { { "\xFF\xFE", "\xC3", "\x80\x80", "\xED\xA0\x80" } };
    QTest::newRow("leading hash") << std::vector<ListRow> { { "#saveditem x", "#", "# ", "" } };
    QTest::newRow("embedded and edge spaces")
        << std::vector<ListRow> { { " lead", "trail ", "  two  spaces  ", " " } };
    QTest::newRow("long text") << std::vector<ListRow> { { std::string(1'000'000, 'L'), "", "",
        "" } };
    QTest::newRow("all cells empty") << std::vector<ListRow> { { "", "", "", "" } };
    QTest::newRow("NUL and control bytes")
        << std::vector<ListRow> { { std::string("a\0b", 3), "\x01\x0b\x0c", "\x7f", "" } };
}

void tst_PrefsFormat::roundTrip()
{
    QFETCH(std::vector<ListRow>, rows);
    const WindowPlace place { -3, 7, 800, 600 };

    const DirectiveRead read = readDirectives(::prefsText(place, initialWidths, rows));

    QVERIFY(!read.stoppedEarly);
    QCOMPARE(applied(read.directives), (Applied { { place }, { initialWidths }, rows }));
}

QTEST_GUILESS_MAIN(tst_PrefsFormat)
#include "tst_prefsformat.moc"
