#include "prefsformat.h"

#include <QTest>

using Rows = std::vector<ListRow>;
Q_DECLARE_METATYPE(Rows)

namespace {

const QByteArray header = "#version 1.5\n#windowpos 40\t60\t493\t233\n"
                          "#columnwidths 35%,25%,25%,15%\n";

// Loads the file's records and saves what they set; the starting values show what none set.
QByteArray loadedAndSaved(const std::string &file, bool &usedWhole)
{
    struct Target : PrefsTarget
    {
        void setWindowPlace(const WindowPlace &place) override { m_place = place; }
        void setColumnWidths(std::string_view text) override { m_widths = text; }
        void addRow(ListRow row) override { m_rows.push_back(std::move(row)); }
        WindowPlace m_place { -1, -1, -1, -1 };
        std::string m_widths = "?";
        Rows m_rows;
    } target;
    usedWhole = applyDirectives(readDirectives(file).directives, target);
    return QByteArray::fromStdString(prefsText(target.m_place, target.m_widths, target.m_rows));
}

} // namespace

class tst_PrefsFormat : public QObject
{
    Q_OBJECT
private slots:
    void prefsText_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("worked example")
            << Rows { { "Untitled project 1", "03/14 09:05", "03/14 10:35", "1' 30\"" },
                   { "Client letter", "03/14 11:00", "03/14 11:45", "0' 45\"" },
                   { "Untitled project 2", "03/14 13:10", "", "" } }
            << header
                + "#saveditem Untitled project 1\t03/14 09:05\t03/14 10:35\t1' 30\"\n"
                  "#saveditem Client letter\t03/14 11:00\t03/14 11:45\t0' 45\"\n"
                  "#saveditem Untitled project 2\t03/14 13:10\t\t\n";
        QTest::newRow("no rows: three lines") << Rows {} << header;
        QTest::newRow("tab, CR, LF as spaces") << Rows { { "a\tb", "c\rd", "e\nf", "g\r\nh" } }
                                               << header + "#saveditem a b\tc d\te f\tg  h\n";
        QTest::newRow("leading hash, blanks, invalid UTF-8")
            << Rows { { "#saveditem x", " two  spaces ", "\xFF\xFE\x01", "\x7f\xED\xA0\x80" } }
            << header + "#saveditem #saveditem x\t two  spaces \t\xFF\xFE\x01\t\x7f\xED\xA0\x80\n";
    }

    void prefsText()
    {
        QFETCH(Rows, rows);
        QFETCH(QByteArray, expected);
        const std::string text = ::prefsText({ 40, 60, 493, 233 }, "35%,25%,25%,15%", rows);
        QCOMPARE(QByteArray::fromStdString(text), expected);
        bool usedWhole = false;
        QCOMPARE(loadedAndSaved(text, usedWhole), expected);
        QVERIFY(usedWhole);
    }

    void applyDirectives_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<bool>("usedWhole");
        const auto row = [](const char *tag, const QByteArray &file, const QByteArray &saved,
                             bool usedWhole) { QTest::newRow(tag) << file << saved << usedWhole; };
        const QByteArray version = "#version 1.5\n";
        const QByteArray unset = version + "#windowpos -1\t-1\t-1\t-1\n#columnwidths ?\n";
        const QByteArray extremes
            = "#windowpos -1200\t-2147483648\t0\t2147483647\n#columnwidths  35% , 25%\n";
        row("later windowpos and columnwidths win, extremes kept",
            "#windowpos 1\t2\t3\t4\n#columnwidths \n" + extremes, version + extremes, true);
        row("non-numeric fields, a fifth one unused", "#windowpos left\t 5\t+5\t12px\t9\n",
            version + "#windowpos 0\t0\t0\t12\n#columnwidths ?\n", false);
        row("short saveditem, version 2.0 ignored", "#saveditem Untitled 3\n#version 2.0\n",
            unset + "#saveditem Untitled 3\t\t\t\n", true);
        row("a fifth saveditem field unused", "#saveditem a\tb\tc\td\te\n",
            unset + "#saveditem a\tb\tc\td\n", false);
        row("unknown name unused", "#saveditems a\n", unset, false);
    }

    void applyDirectives()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, saved);
        QFETCH(bool, usedWhole);
        bool whole = !usedWhole;
        QCOMPARE(loadedAndSaved(file.toStdString(), whole), saved);
        QCOMPARE(whole, usedWhole);
    }
};

QTEST_GUILESS_MAIN(tst_PrefsFormat)
#include "tst_prefsformat.moc"
