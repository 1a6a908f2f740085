#include "directives.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(DirectiveRead)
Q_DECLARE_METATYPE(std::vector<directiveClass>)

namespace {

std::string escaped(const std::string &text)
{
    return QByteArray::fromStdString(text).toPercentEncoding(" #%,/:'\"").toStdString();
}

} // namespace

char *toString(const DirectiveRead &read)
{
    std::string out = read.stoppedEarly ? "stopped early;" : "read to the end;";
    for (const directiveClass &directive : read.directives)
        out += " [" + escaped(directive.name) + "|" + escaped(directive.text) + "]";
    return qstrdup(out.c_str());
}

class tst_Directives : public QObject
{
    Q_OBJECT
private slots:
    void readDirectives_data();
    void readDirectives();
    void longLine();
    void manyLines();
    void extractDirectives_data();
    void extractDirectives();
    void extractUnreadable();

private:
    static QByteArray workedExample(const QByteArray &lineEnd);
    static std::vector<directiveClass> workedExampleRecords();
};

QByteArray tst_Directives::workedExample(const QByteArray &lineEnd)
{
    const QByteArrayList lines = {
        "#version 1.5",
        "#windowpos 40\t60\t493\t233",
        "#columnwidths 35%,25%,25%,15%",
        "#saveditem Untitled project 1\t03/14 09:05\t03/14 10:35\t1' 30\"",
        "#saveditem Client letter\t03/14 11:00\t03/14 11:45\t0' 45\"",
        "#saveditem Untitled project 2\t03/14 13:10\t\t",
    };
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + lineEnd;
    return bytes;
}

std::vector<directiveClass> tst_Directives::workedExampleRecords()
{
    return {
        { "version", "1.5" },
        { "windowpos", "40\t60\t493\t233" },
        { "columnwidths", "35%,25%,25%,15%" },
        { "saveditem", "Untitled project 1\t03/14 09:05\t03/14 10:35\t1' 30\"" },
        { "saveditem", "Client letter\t03/14 11:00\t03/14 11:45\t0' 45\"" },
        { "saveditem", "Untitled project 2\t03/14 13:10\t\t" },
    };
}

void tst_Directives::readDirectives_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<DirectiveRead>("expected");

    const std::vector<directiveClass> example = workedExampleRecords();
    const std::vector<directiveClass> header(example.begin(), example.begin() + 3);
    const QByteArray headerLines = workedExample("\n").split('\n').mid(0, 3).join('\n') + '\n';

    QTest::newRow("worked example") << workedExample("\n") << DirectiveRead { example, false };
    QTest::newRow("worked example, CRLF")
        << workedExample("\r\n") << DirectiveRead { example, false };
    QTest::newRow("worked example, lone CR")
        << workedExample("\r") << DirectiveRead { example, false };
    QTest::newRow("worked example, no final line end")
        << workedExample("\n").chopped(1) << DirectiveRead { example, false };

    QTest::newRow("empty file") << QByteArray() << DirectiveRead {};
    QTest::newRow("only a line end") << "\n"_ba << DirectiveRead {};
    QTest::newRow("first line empty, then directives")
        << "\n#version 1.5\n"_ba << DirectiveRead { {}, true };
    QTest::newRow("first line empty in a CRLF file")
        << "\r\n#version 1.5\r\n"_ba << DirectiveRead { {}, true };
    QTest::newRow("leading space before the hash")
        << " #version 1.5\n#columnwidths 1,2\n"_ba << DirectiveRead { {}, true };
    QTest::newRow("first line plain text") << "x\n#version 1.5\n"_ba << DirectiveRead { {}, true };
    QTest::newRow("empty line between header and rows")
        << headerLines + "\n#saveditem a\tb\tc\td\n#saveditem e\tf\tg\th\n"
        << DirectiveRead { header, true };
    QTest::newRow("empty line at the very end, from two line ends") << headerLines
            + "\n" << DirectiveRead { header, false };
    QTest::newRow("empty lines at the end") << headerLines + "\n\r\n\n"
                                            << DirectiveRead { header, false };
    QTest::newRow("plain last line, nothing after it")
        << "#version 1.5\nplain"_ba << DirectiveRead { { { "version", "1.5" } }, true };
    QTest::newRow("a directive after empty lines")
        << "#version 1.5\n\n\n#saveditem a\n"_ba
        << DirectiveRead { { { "version", "1.5" } }, true };
    QTest::newRow("plain line with a directive after it")
        << "#version 1.5\nplain\n#saveditem a\n"_ba
        << DirectiveRead { { { "version", "1.5" } }, true };

    QTest::newRow("mixed-case name")
        << "#WindowPos 1\t2\t3\t4\n"_ba << DirectiveRead { { { "windowpos", "1\t2\t3\t4" } } };
    QTest::newRow("text keeps its case")
        << "#SAVEDITEM ABC\n"_ba << DirectiveRead { { { "saveditem", "ABC" } } };
    QTest::newRow("only ASCII letters lowered")
        << "#\xC3\x84Name \xC3\x84\n"_ba << DirectiveRead { { { "\xC3\x84name", "\xC3\x84" } } };
    QTest::newRow("hash, space, digits") << "# 12\n"_ba << DirectiveRead { { { "", "12" } } };
    QTest::newRow("only a hash") << "#\n#version 1.5\n"_ba
                                 << DirectiveRead { { { "version", "1.5" } } };
    QTest::newRow("name without space skipped")
        << "#saveditem\n#version 1.5\n"_ba << DirectiveRead { { { "version", "1.5" } } };
    QTest::newRow("name and space, empty text")
        << "#saveditem \n"_ba << DirectiveRead { { { "saveditem", "" } } };
    QTest::newRow("split at the first space only")
        << "#saveditem Big  project\t03/14 09:05\t\t\n"_ba
        << DirectiveRead { { { "saveditem", "Big  project\t03/14 09:05\t\t" } } };
    QTest::newRow("hashes in the text") << "#saveditem #1 # of #\t\t\t\n"_ba
                                        << DirectiveRead { { { "saveditem", "#1 # of #\t\t\t" } } };
    QTest::newRow("blanks at both ends of the text")
        << "#columnwidths  \t35% \t\n"_ba << DirectiveRead { { { "columnwidths", " \t35% \t" } } };
    QTest::newRow("tab belongs to the name")
        << "#saved\titem x\n"_ba << DirectiveRead { { { "saved\titem", "x" } } };
    QTest::newRow("hash inside the name") << "#a#B c\n"_ba << DirectiveRead { { { "a#b", "c" } } };
    QTest::newRow("duplicate directive")
        << "#columnwidths 1\n#columnwidths 2\n"_ba
        << DirectiveRead { { { "columnwidths", "1" }, { "columnwidths", "2" } } };
    QTest::newRow("CRLF is one line end")
        << "#a 1\r\n#b 2\r\n"_ba << DirectiveRead { { { "a", "1" }, { "b", "2" } } };
    QTest::newRow("LF CR is two line ends")
        << "#a 1\n\r#b 2\n"_ba << DirectiveRead { { { "a", "1" } }, true };
    QTest::newRow("mixed line ends")
        << "#a 1\r#b 2\n#c 3\r\n#d 4"_ba
        << DirectiveRead { { { "a", "1" }, { "b", "2" }, { "c", "3" }, { "d", "4" } } };
    QTest::newRow("CR at the end of the file") << "#a 1\r"_ba << DirectiveRead { { { "a", "1" } } };
    QTest::newRow("NUL bytes kept")
        << "#a\0B c\0d\n"_ba
        << DirectiveRead { { { std::string("a\0b", 3), std::string("c\0d", 3) } } };
    QTest::newRow("invalid UTF-8 kept")
        << "#saveditem \xFF\xFE\xC3\n"_ba << DirectiveRead { { { "saveditem", "\xFF\xFE\xC3" } } };
}

void tst_Directives::readDirectives()
{
    QFETCH(QByteArray, bytes);
    QFETCH(DirectiveRead, expected);

    QCOMPARE(
        ::readDirectives(std::string_view(bytes.constData(), std::size_t(bytes.size()))), expected);
}

void tst_Directives::longLine()
{
    const std::string text(10'000'000, 'x');
    const std::string bytes = "#saveditem " + text + "\r\n#version 1.5\n";

    const DirectiveRead read = ::readDirectives(bytes);

    QCOMPARE(read.directives.size(), 2u);
    QVERIFY(read.directives[0].text == text);
    QCOMPARE(read.directives[1].name, "version");
}

void tst_Directives::manyLines()
{
    constexpr int count = 100'000;
    std::string bytes;
    for (int i = 0; i < count; ++i)
        bytes += "#saveditem row " + std::to_string(i) + "\t\t\t\n";
    bytes += "stop\n#saveditem never\n";

    const DirectiveRead read = ::readDirectives(bytes);

    QCOMPARE(read.directives.size(), std::size_t(count));
    QCOMPARE(read.directives.back().text, "row 99999\t\t\t");
    QVERIFY(read.stoppedEarly);
}

void tst_Directives::extractDirectives_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<std::vector<directiveClass>>("added");

    // An empty name means the path is left missing, "folder" makes a folder there.
    QTest::newRow("missing file") << QString() << QByteArray() << false
                                  << std::vector<directiveClass> {};
    QTest::newRow("folder") << u"folder"_s << QByteArray() << false
                            << std::vector<directiveClass> {};
    QTest::newRow("empty file") << u"Tallyfox Prefs"_s << QByteArray() << true
                                << std::vector<directiveClass> {};
    QTest::newRow("no directive line")
        << u"Tallyfox Prefs"_s << "plain text\n"_ba << true << std::vector<directiveClass> {};
    QTest::newRow("worked example")
        << u"Tallyfox Prefs"_s << workedExample("\n") << true << workedExampleRecords();
}

void tst_Directives::extractDirectives()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, ok);
    QFETCH(std::vector<directiveClass>, added);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath(u"Tallyfox Prefs"_s);
    if (name == u"folder"_s) {
        path = dir.filePath(name);
        QVERIFY(QDir(dir.path()).mkdir(name));
    } else if (!name.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    // The list is appended to, never cleared.
    const directiveClass earlier { "earlier", "record" };
    GlobalsModule::gDirectives = { earlier };
    std::vector<directiveClass> expected { earlier };
    expected.insert(expected.end(), added.begin(), added.end());

    QCOMPARE(GlobalsModule::extractDirectives(QFile::encodeName(path).toStdString()), ok);
    QVERIFY(GlobalsModule::gDirectives == expected);
}

void tst_Directives::extractUnreadable()
{
    if (geteuid() == 0)
        QSKIP("permission bits do not keep root from reading");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"Tallyfox Prefs"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write("#version 1.5\n") > 0);
    file.close();
    QVERIFY(file.setPermissions({}));
    GlobalsModule::gDirectives.clear();

    QVERIFY(!GlobalsModule::extractDirectives(QFile::encodeName(path).toStdString()));
    QVERIFY(GlobalsModule::gDirectives.empty());
}

QTEST_GUILESS_MAIN(tst_Directives)
#include "tst_directives.moc"
