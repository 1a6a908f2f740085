#include "textfields.h"

#include <QTest>
#include <cmath>
#include <cstdint>
#include <string>

using namespace Qt::StringLiterals;

class tst_TextFields : public QObject
{
    Q_OBJECT

private slots:
    void nthField_data();
    void nthField();
    void leadingNumber_data();
    void leadingNumber();
    void numberText_data();
    void numberText();
    void toInt32_data();
    void toInt32();
};

void tst_TextFields::nthField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("field");

    QTest::newRow("first") << u"05/27"_s << u"/"_s << 1 << u"05"_s;
    QTest::newRow("missing field is empty") << u"05/27"_s << u"/"_s << 3 << u""_s;
    QTest::newRow("no separator: the whole text") << u"0527"_s << u"/"_s << 1 << u"0527"_s;
    QTest::newRow("two separators enclose an empty field") << u"5/7  9:5"_s << u" "_s << 2 << u""_s;
    QTest::newRow("field after an empty one") << u"5/7  9:5"_s << u" "_s << 3 << u"9:5"_s;
    QTest::newRow("n zero") << u"a b"_s << u" "_s << 0 << u""_s;
    QTest::newRow("n most negative") << u"a b"_s << u" "_s << INT32_MIN << u""_s;
    QTest::newRow("separator of several bytes") << u"a→b→c"_s << u"→"_s << 2 << u"b"_s;
    QTest::newRow("separator of two characters") << u"a::b:c"_s << u"::"_s << 2 << u"b:c"_s;
}

void tst_TextFields::nthField()
{
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(int, n);
    QFETCH(QString, field);

    const std::string bytes = text.toStdString();
    const std::string_view result = NthField(bytes, separator.toStdString(), n);
    QCOMPARE(QString::fromUtf8(result.data(), qsizetype(result.size())), field);
}

void tst_TextFields::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");

    QTest::newRow("leading zero is not octal") << u"08"_s << 8.0;
    QTest::newRow("digits then letters") << u"16abc"_s << 16.0;
    QTest::newRow("empty") << u""_s << 0.0;
    QTest::newRow("letter") << u"x"_s << 0.0;
    QTest::newRow("negative") << u"-5"_s << -5.0;
    QTest::newRow("fraction, stops at a second point") << u"12.34.56"_s << 12.34;
    // What strtod would take but a time stamp field never means.
    QTest::newRow("no exponent") << u"1e3"_s << 1.0;
    QTest::newRow("no hexadecimal") << u"0x1A"_s << 0.0;
    QTest::newRow("no infinity word") << u"inf"_s << 0.0;
    QTest::newRow("no nan word") << u"nan"_s << 0.0;
    QTest::newRow("no leading space") << u" 5"_s << 0.0;
    QTest::newRow("400 digits") << QString(400, u'9') << qInf();
}

void tst_TextFields::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, number);

    QCOMPARE(::leadingNumber(text.toStdString()), number);
}

void tst_TextFields::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0.0 << u"0"_s;
    QTest::newRow("negative zero") << -0.0 << u"0"_s;
    QTest::newRow("a day back in minutes") << -1440.0 << u"-1440"_s;
    QTest::newRow("-1e20 in plain digits") << -1e20 << u"-100000000000000000000"_s;
    QTest::newRow("fraction") << 2.5 << u"2.5"_s;
}

void tst_TextFields::numberText()
{
    QFETCH(double, value);
    QFETCH(QString, text);

    QCOMPARE(QString::fromStdString(::numberText(value)), text);
}

void tst_TextFields::toInt32_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("result");

    QTest::newRow("NaN") << qQNaN() << 0;
    QTest::newRow("infinity") << qInf() << INT32_MAX;
    QTest::newRow("one past the top") << 2147483648.0 << INT32_MAX;
    QTest::newRow("bottom exactly") << -2147483648.0 << INT32_MIN;
    QTest::newRow("one past the bottom") << -2147483649.0 << INT32_MIN;
    QTest::newRow("smallest int64") << -0x1p63 << INT32_MIN;
    QTest::newRow("fraction below the top") << 2147483646.5 << 2147483646;
    QTest::newRow("negative fraction drops toward zero") << -2.9 << -2;
}

void tst_TextFields::toInt32()
{
    QFETCH(double, value);
    QFETCH(int, result);

    QCOMPARE(::toInt32(value), result);
    // A whole value that a 64-bit integer holds converts the same way from that.
    if (value == std::trunc(value) && value >= -0x1p63 && value < 0x1p63)
        QCOMPARE(::toInt32(static_cast<std::int64_t>(value)), result);
}

QTEST_GUILESS_MAIN(tst_TextFields)
#include "tst_textfields.moc"
