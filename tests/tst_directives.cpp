#include "directives.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

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
    void readDirectives_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("leftUnread");
        row("first line empty", "\n#version 1.5\n", "", true);
        row("space before the hash", " #version 1.5\n", "", true);
        row("only line ends left", "#a 1\n\n\r\n\r", "a|1\n");
        row("LF CR is two line ends", "#a 1\n\r#b 2\n", "a|1\n", true);
        row("mixed line ends, no final one", "#a 1\r#b 2\n#c 3\r\n#d 4", "a|1\nb|2\nc|3\nd|4\n");
        row("mixed-case name", "#WindowPos A\t2\t3\t4\n", "windowpos|A\t2\t3\t4\n");
        row("hash, space, 12", "# 12\n", "|12\n");
        row("no space skipped, unread", "#\n#saveditem\n#saveditem \n", "saveditem|\n", true);
        row("hashes and blanks kept", "#saveditem #1  Big # x\t\t\t\n#c  \t3 \n",
            "saveditem|#1  Big # x\t\t\t\nc| \t3 \n");
        row("same directive twice", "#a 1\n#a 2\n", "a|1\na|2\n");
        row("invalid UTF-8 and NUL kept", "#a \xFF\xFE\0\xC3\n"_ba, "a|\xFF\xFE\0\xC3\n"_ba);
    }

    void readDirectives()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, expected);
        QFETCH(bool, leftUnread);
        const DirectiveRead read = ::readDirectives(bytes.toStdString());
        QCOMPARE(records(read.directives), expected);
        QCOMPARE(read.leftUnread, leftUnread);
    }

    // False, and at once, for anything but a regular file; the list is appended to, never cleared.
    // False, and at once, for anything but a regular file; the list is appended to, never cleared.
    void extractDirectives()
    {
        QTemporaryDir dir;
        const std::string path = QFile::encodeName(dir.filePath(u"Tallyfox Prefs"_s)).toStdString();
        GlobalsModule::gDirectives = { { "earlier", "record" } };
        QVERIFY(!GlobalsModule::extractDirectives(path));
        QVERIFY(!GlobalsModule::extractDirectives(QFile::encodeName(dir.path()).toStdString()));
        // Opened for reading like a file, a pipe with no writer would wait forever.
        QCOMPARE(::mkfifo(path.c_str(), 0600), 0);
        QVERIFY(!GlobalsModule::extractDirectives(path));
        QCOMPARE(::unlink(path.c_str()), 0);
        QFile file(QFile::decodeName(path.c_str()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(GlobalsModule::extractDirectives(path));
        // More than one read's worth.
        const QByteArray text(100 * 1024, 'x');
        const QByteArray bytes = "#a " + text + "\n#b 2\n";
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();
        QVERIFY(GlobalsModule::extractDirectives(path));
        QCOMPARE(records(GlobalsModule::gDirectives), "earlier|record\na|" + text + "\nb|2\n");
    }
};

QTEST_GUILESS_MAIN(tst_Directives)
#include "tst_directives.moc"
