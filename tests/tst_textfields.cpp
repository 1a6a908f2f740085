#include "textfields.h"

#include <QTest>
#include <tuple>

using namespace Qt::StringLiterals;

class tst_TextFields : public QObject
{
    Q_OBJECT

private slots:
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("int32");
        QTest::addColumn<QString>("printed");
        QTest::newRow("leading zero is not octal") << u"08"_s << 8 << u"8"_s;
        QTest::newRow("no infinity word") << u"inf"_s << 0 << u"0"_s;
        QTest::newRow("negative zero") << u"-0"_s << 0 << u"0"_s;
        QTest::newRow("one past the top") << u"2147483648"_s << INT32_MAX << u"2147483648"_s;
        QTest::newRow("-1e10, no exponent") << u"-10000000000"_s << INT32_MIN << u"-10000000000"_s;
    }

    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(int, int32);
        QFETCH(QString, printed);
        const double number = leadingNumber(text.toStdString());
        QCOMPARE(toInt32(number), int32);
        QCOMPARE(QString::fromStdString(numberText(number)), printed);
    }

    // A cut ends where a character ends ('é' two bytes, U+1F600 four, a stray continuation one).
    void leadingBytes()
    {
        for (const auto &[text, limit, kept] :
            { std::tuple { "ab\xc3\xa9"_ba, 4, "ab\xc3\xa9"_ba }, { "a\xc3\xa9"_ba, 2, "a"_ba },
                { "\xf0\x9f\x98\x80"_ba, 3, ""_ba }, { "\x80\x80\x80\x80\x80"_ba, 4, "\x80"_ba } })
            QCOMPARE(QByteArrayView(::leadingBytes(text.toStdString(), std::size_t(limit)))
                         .toByteArray(),
                kept);
    }
};

QTEST_GUILESS_MAIN(tst_TextFields)
#include "tst_textfields.moc"
