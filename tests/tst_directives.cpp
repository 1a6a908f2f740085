#include "directives.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray workedFile = "#version 1.5\n#windowpos 40\t60\t493\t233\n"
                              "#columnwidths 35%,25%,25%,15%\n"
                              "#saveditem Untitled project 1\t03/14 09:05\t03/14 10:35\t1' 30\"\n"
                              "#saveditem Client letter\t03/14 11:00\t03/14 11:45\t0' 45\"\n"
                              "#saveditem Untitled project 2\t03/14 13:10\t\t\n";
const QByteArray workedRecords = "version|1.5\nwindowpos|40\t60\t493\t233\n"
                                 "columnwidths|35%,25%,25%,15%\n"
                                 "saveditem|Untitled project 1\t03/14 09:05\t03/14 10:35\t1' 30\"\n"
                                 "saveditem|Client letter\t03/14 11:00\t03/14 11:45\t0' 45\"\n"
                                 "saveditem|Untitled project 2\t03/14 13:10\t\t\n";

// One "name|text" line per record: a text never holds a line end, and a failure shows the bytes.
QByteArray records(const std::vector<directiveClass> &directives)
{
    QByteArray result;
    for (const directiveClass &d : directives)
        result += QByteArray::fromStdString(d.name + '|' + d.text + '\n');
    return result;
}

void row(const char *tag, const QByteArray &bytes, const QByteArray &expected, bool unread = false)
{
    QTest::newRow(tag) << bytes << expected << unread;
}

} // namespace

class tst_Directives : public QObject
{
    Q_OBJECT
private slots:
    void readDirectives_data();
    void readDirectives();
    void extractDirectives();
};

void tst_Directives::readDirectives_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<bool>("leftUnread");
    row("worked example, LF", workedFile, workedRecords);
    row("worked example, CRLF", QByteArray(workedFile).replace("\n", "\r\n"), workedRecords);
    row("worked example, CR", QByteArray(workedFile).replace('\n', '\r'), workedRecords);
    row("worked example, empty line before the rows",
        QByteArray(workedFile).insert(workedFile.indexOf("#saveditem"), '\n'),
        workedRecords.left(workedRecords.indexOf("saveditem")), true);
    row("first line empty", "\n#version 1.5\n", "", true);
    row("space before the hash", " #version 1.5\n", "", true);
    row("only line ends left", "#a 1\n\n\r\n\r", "a|1\n");
    row("LF CR is two line ends", "#a 1\n\r#b 2\n", "a|1\n", true);
    row("mixed line ends, no final one", "#a 1\r#b 2\n#c 3\r\n#d 4", "a|1\nb|2\nc|3\nd|4\n");
    row("mixed-case name", "#WindowPos A\t2\t3\t4\n", "windowpos|A\t2\t3\t4\n");
    row("hash, space, 12", "# 12\n", "|12\n");
    row("no space skipped, space alone empty text", "#\n#saveditem\n#saveditem \n", "saveditem|\n",
        true);
    row("hashes and blanks kept", "#saveditem #1  Big # x\t\t\t\n#c  \t3 \n",
        "saveditem|#1  Big # x\t\t\t\nc| \t3 \n");
    row("same directive twice", "#a 1\n#a 2\n", "a|1\na|2\n");
    row("invalid UTF-8 and NUL kept", "#a \xFF\xFE\0\xC3\n"_ba, "a|\xFF\xFE\0\xC3\n"_ba);
    const QByteArray longText(10 * 1024 * 1024, 'x');
    row("10 MB line", "#a " + longText + "\r\n#b 2\n", "a|" + longText + "\nb|2\n");
}

void tst_Directives::readDirectives()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    QFETCH(bool, leftUnread);
    const DirectiveRead read = ::readDirectives(bytes.toStdString());
    QCOMPARE(records(read.directives), expected);
    QCOMPARE(read.leftUnread, leftUnread);
}

// False, and at once, for anything but a regular file; the list is appended to, never cleared.
void tst_Directives::extractDirectives()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Tallyfox Prefs"_s);
    const auto extract = [](const QString &name) {
        return GlobalsModule::extractDirectives(QFile::encodeName(name).toStdString());
    };
    GlobalsModule::gDirectives = { { "earlier", "record" } };
    QVERIFY(!extract(path));
    QVERIFY(!extract(dir.path()));
    // Opened for reading like a file, a pipe with no writer would wait forever.
    QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QVERIFY(!extract(path));
    QVERIFY(QFile::remove(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(extract(path));
    // More than one read's worth.
    const QByteArray text(100 * 1024, 'x');
    const QByteArray bytes = "#a " + text + "\n#b 2\n";
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();
    QVERIFY(extract(path));
    QCOMPARE(records(GlobalsModule::gDirectives), "earlier|record\na|" + text + "\nb|2\n");
}

QTEST_GUILESS_MAIN(tst_Directives)
#include "tst_directives.moc"
