#include "prefsformat.h"

#include <QTest>

using Rows = std::vector<ListRow>;
Q_DECLARE_METATYPE(Rows)

namespace {

const QByteArray unset = "#version 1.5\n#windowpos -1\t-1\t-1\t-1\n#columnwidths ?\n";

// What the records set (the starting values mean unset); each row as handed over, tab-joined.
struct Target : PrefsTarget
{
    void setWindowPlace(const WindowPlace &place) override { m_place = place; }
    void setColumnWidths(std::string_view text) override { m_widths = text; }
    void addRow(ListRow row) override { m_added += row.line() + '\n'; }
    void setIdleMinutes(std::int32_t minutes) override { m_idleMinutes = minutes; }
    WindowPlace m_place { -1, -1, -1, -1 };
    std::string m_widths = "?";
    std::string m_added;
    std::int32_t m_idleMinutes = GlobalsModule::defaultIdleMinutes;
};

} // namespace

// That whatever is written reads back whole and unchanged is the fuzzer's to check.
class tst_PrefsFormat : public QObject
{
    Q_OBJECT
private slots:
    void applyAndWrite_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<bool>("usedWhole");
        const auto row
            = [](const char *tag, const Rows &rows, const QByteArray &file, const QByteArray &saved,
                  bool usedWhole) { QTest::newRow(tag) << rows << file << saved << usedWhole; };
        const QByteArray place = "#windowpos 5\t6\t7\t8\n#columnwidths b\n";
        row("rows of two and five cells written as four",
            { { "a", "b" }, { "a", "b", "c", "d", "e" } }, {},
            unset + "#saveditem a\tb\t\t\n#saveditem a\tb\tc\td\n", true);
        row("later windowpos and columnwidths win", {},
            "#windowpos 1\t2\t3\t4\n#columnwidths a\n" + place, "#version 1.5\n" + place, true);
        row("not numbers as 0, saturated, a fifth field unused", {},
            "#windowpos left\t12px\t9999999999\t-9999999999\t9\n",
            "#version 1.5\n#windowpos 0\t12\t2147483647\t-2147483648\n#columnwidths ?\n", false);
        row("short saveditem padded, version 2.0 ignored", {},
            "#saveditem Untitled 3\n#version 2.0\n", unset + "Untitled 3\t\t\t\n", true);
        row("a fifth saveditem field unused", {}, "#saveditem a\tb\tc\td\te\n",
            unset + "a\tb\tc\td\n", false);
        row("unknown name unused", {}, "#saveditems a\n", unset, false);
        row("idleminutes 15 not written", {}, "#idleminutes 15\n", unset, true);
        row("idleminutes 0 written before the rows", { { "a" } }, "#idleminutes 0\n",
            unset + "#idleminutes 0\n#saveditem a\t\t\t\n", true);
        row("idleminutes 1, the later wins", {}, "#idleminutes 0\n#idleminutes 1\n",
            unset + "#idleminutes 1\n", true);
        for (const char *bad : { "soon", "-5", "10 min", "", "99999999999" })
            row(QByteArray("idleminutes kept at '" + QByteArray(bad) + "'").constData(), {},
                QByteArray("#idleminutes 7\n#idleminutes ") + bad + '\n',
                unset + "#idleminutes 7\n", false);
    }

    void applyAndWrite()
    {
        QFETCH(Rows, rows);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, saved);
        QFETCH(bool, usedWhole);
        Target target;
        QCOMPARE(applyDirectives(readDirectives(file.toStdString()).directives, target), usedWhole);
        const std::string text
            = prefsText(target.m_place, target.m_widths, rows, target.m_idleMinutes)
            + target.m_added;
        QCOMPARE(QByteArray::fromStdString(text), saved);
    }
};

QTEST_GUILESS_MAIN(tst_PrefsFormat)
#include "tst_prefsformat.moc"
