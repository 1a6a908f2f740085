#include "directives.h"

#include <QFile>
#include <QTemporaryFile>
#include <QTest>

namespace {

// A "name|text" line per record (a text holds no line end), then "unread" if some text is in none.
QByteArray records(const std::vector<directiveClass> &directives, bool leftUnread)
{
    QByteArray result;
    for (const directiveClass &d : directives)
        result += QByteArray::fromStdString(d.name + '|' + d.text + '\n');
    return leftUnread ? result + "unread" : result;
}

} // namespace

class tst_Directives : public QObject
{
    Q_OBJECT
private slots:
    // What a record's text may hold is left to the fuzzer, which reads back whatever is written.
    void extractDirectives_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char *tag, const QByteArray &bytes, const QByteArray &expected) {
            QTest::newRow(tag) << bytes << expected;
        };
        row("empty file", "", "");
        row("LF, CR, CRLF, no final line end", "#a 1\r#b 2\n#c 3\r\n#d 4", "a|1\nb|2\nc|3\nd|4\n");
        row("names: mixed case lowered, empty", "#WindowPos 1\n# 12\n", "windowpos|1\n|12\n");
        row("no space: skipped, unread", "#a\n#b \n", "b|\nunread");
        row("a line without a hash ends the reading", "#a 1\n #b 2\n", "a|1\nunread");
        row("LF CR: text after an empty line unread", "#a 1\n\r#b 2\n", "a|1\nunread");
        row("only line ends after the end", "#a 1\n\n\r\n\r", "a|1\n");
        row("byte-order mark: skipped, unread", "\xEF\xBB\xBF#a 1\n", "a|1\nunread");
        row("the start of a mark only: unread", "\xEF\xBB#a 1\n", "unread");
        // Read in 256 KiB pieces: the first line spans the first two, its CRLF the next two.
        const QByteArray text(2 * 256 * 1024 - 4, 'x');
        row("a line and a CRLF across pieces", "#a " + text + "\r\n#b 2\n",
            "a|" + text + "\nb|2\n");
    }

    // The records are appended to what the list holds, never in its place.
    void extractDirectives()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, expected);
        QTemporaryFile file;
        QVERIFY(file.open() && file.write(bytes) == bytes.size() && file.flush());
        GlobalsModule::gDirectives = { { "earlier", "record" } };
        bool unread = !expected.endsWith("unread");
        QVERIFY(GlobalsModule::extractDirectives(
            QFile::encodeName(file.fileName()).toStdString(), &unread));
        QCOMPARE(records(GlobalsModule::gDirectives, unread), "earlier|record\n" + expected);
    }
};

QTEST_GUILESS_MAIN(tst_Directives)
#include "tst_directives.moc"
