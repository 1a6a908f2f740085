#include "directives.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace Qt::StringLiterals;

using Directives = std::vector<directiveClass>;
Q_DECLARE_METATYPE(DirectiveRead)
Q_DECLARE_METATYPE(Directives)

char *toString(const DirectiveRead &read)
{
    QByteArray out = read.stoppedEarly ? "stopped early:" : "read to the end:";
    for (const directiveClass &d : read.directives)
        out += ' ' + QByteArray::fromStdString(d.name + '|' + d.text).toPercentEncoding(" |#'\"");
    return qstrdup(out.constData());
}

namespace {

const Directives workedRecords {
    { "version", "1.5" },
    { "windowpos", "40\t60\t493\t233" },
    { "columnwidths", "35%,25%,25%,15%" },
    { "saveditem", "Untitled project 1\t03/14 09:05\t03/14 10:35\t1' 30\"" },
    { "saveditem", "Client letter\t03/14 11:00\t03/14 11:45\t0' 45\"" },
    { "saveditem", "Untitled project 2\t03/14 13:10\t\t" },
};

QByteArray workedFile(const QByteArray &lineEnd)
{
    QByteArray bytes;
    for (const directiveClass &record : workedRecords)
        bytes += QByteArray::fromStdString('#' + record.name + ' ' + record.text) + lineEnd;
    return bytes;
}

} // namespace

class tst_Directives : public QObject
{
    Q_OBJECT
private slots:
    void readDirectives_data();
    void readDirectives();
    void extractDirectives_data();
    void extractDirectives();
};

void tst_Directives::readDirectives_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<DirectiveRead>("expected");
    const QByteArray longText(10 * 1024 * 1024, 'x');

    QTest::newRow("worked example, LF") << workedFile("\n") << DirectiveRead { workedRecords };
    QTest::newRow("worked example, CRLF") << workedFile("\r\n") << DirectiveRead { workedRecords };
    QTest::newRow("worked example, CR") << workedFile("\r") << DirectiveRead { workedRecords };
    QTest::newRow("first line empty") << "\n#version 1.5\n"_ba << DirectiveRead { {}, true };
    QTest::newRow("space before the hash") << " #version 1.5\n"_ba << DirectiveRead { {}, true };
    QTest::newRow("empty line between directives")
        << "#a 1\n\n#b 2\n"_ba << DirectiveRead { { { "a", "1" } }, true };
    QTest::newRow("only line ends after the last directive")
        << "#a 1\n\n\r\n\r"_ba << DirectiveRead { { { "a", "1" } }, false };
    QTest::newRow("plain last line")
        << "#a 1\nplain"_ba << DirectiveRead { { { "a", "1" } }, true };
    QTest::newRow("LF CR is two line ends")
        << "#a 1\n\r#b 2\n"_ba << DirectiveRead { { { "a", "1" } }, true };
    QTest::newRow("mixed line ends, no final one")
        << "#a 1\r#b 2\n#c 3\r\n#d 4"_ba
        << DirectiveRead { { { "a", "1" }, { "b", "2" }, { "c", "3" }, { "d", "4" } } };
    QTest::newRow("mixed-case name, text keeps its case")
        << "#WindowPos A\t2\t3\t4\n"_ba << DirectiveRead { { { "windowpos", "A\t2\t3\t4" } } };
    QTest::newRow("hash, space, 12") << "# 12\n"_ba << DirectiveRead { { { "", "12" } } };
    QTest::newRow("lines without a space skipped")
        << "#\n#saveditem\n#version 1.5\n"_ba << DirectiveRead { { { "version", "1.5" } } };
    QTest::newRow("name and space, empty text")
        << "#saveditem \n"_ba << DirectiveRead { { { "saveditem", "" } } };
    QTest::newRow("spaces and hashes in the text")
        << "#saveditem #1 Big  project # x\t\t\t\n"_ba
        << DirectiveRead { { { "saveditem", "#1 Big  project # x\t\t\t" } } };
    QTest::newRow("blanks at both ends of the text")
        << "#columnwidths  \t35% \t\n"_ba << DirectiveRead { { { "columnwidths", " \t35% \t" } } };
    QTest::newRow("same directive twice")
        << "#a 1\n#a 2\n"_ba << DirectiveRead { { { "a", "1" }, { "a", "2" } } };
    QTest::newRow("invalid UTF-8 and NUL kept")
        << "#saveditem \xFF\xFE\0\xC3\n"_ba
        << DirectiveRead { { { "saveditem", std::string("\xFF\xFE\0\xC3", 4) } } };
    QTest::newRow("10 MB line") << "#saveditem " + longText + "\r\n#version 1.5\n"
                                << DirectiveRead { { { "saveditem", longText.toStdString() },
                                       { "version", "1.5" } } };
}

void tst_Directives::readDirectives()
{
    QFETCH(QByteArray, bytes);
    QFETCH(DirectiveRead, expected);
    QCOMPARE(::readDirectives(bytes.toStdString()), expected);
}

void tst_Directives::extractDirectives_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Directives>("added");
    QTest::newRow("missing file") << u"missing"_s << QByteArray() << Directives {};
    QTest::newRow("folder") << u"folder"_s << QByteArray() << Directives {};
    QTest::newRow("unreadable") << u"unreadable"_s << "#a b\n"_ba << Directives {};
    QTest::newRow("empty file") << u"file"_s << QByteArray() << Directives {};
    QTest::newRow("worked example") << u"file"_s << workedFile("\n") << workedRecords;
}

void tst_Directives::extractDirectives()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QFETCH(Directives, added);
    if (kind == u"unreadable"_s && geteuid() == 0)
        QSKIP("permission bits do not keep root from reading");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"Tallyfox Prefs"_s);
    if (kind == u"folder"_s) {
        QVERIFY(QDir(dir.path()).mkdir(u"Tallyfox Prefs"_s));
    } else if (kind != u"missing"_s) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
        QVERIFY(kind == u"file"_s || file.setPermissions({}));
    }
    // The list is appended to, never cleared.
    GlobalsModule::gDirectives = { { "earlier", "record" } };
    Directives expected { { "earlier", "record" } };
    expected.insert(expected.end(), added.begin(), added.end());

    QCOMPARE(
        GlobalsModule::extractDirectives(QFile::encodeName(path).toStdString()), kind == u"file"_s);
    QVERIFY(GlobalsModule::gDirectives == expected);
}

QTEST_GUILESS_MAIN(tst_Directives)
#include "tst_directives.moc"