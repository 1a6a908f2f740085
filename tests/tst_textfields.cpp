#include "textfields.h"

#include <QTest>
#include <cstdint>
#include <limits>
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
    void toInt32FromDouble_data();
    void toInt32FromDouble();
    void toInt32FromInt64_data();
    void toInt32FromInt64();
    void characterAt_data();
    void characterAt();
    void withoutLineBreaks_data();
    void withoutLineBreaks();
};

namespace {

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr std::int32_t int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int32Min = std::numeric_limits<std::int32_t>::min();

} // namespace

void tst_TextFields::nthField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("field");

    QTest::newRow("first field") << u"05/27"_s << u"/"_s << 1 << u"05"_s;
    QTest::newRow("second field") << u"05/27"_s << u"/"_s << 2 << u"27"_s;
    QTest::newRow("last of three") << u"a b c"_s << u" "_s << 3 << u"c"_s;
    QTest::newRow("middle of three") << u"a b c"_s << u" "_s << 2 << u"b"_s;
    QTest::newRow("missing field is empty") << u"05/27"_s << u"/"_s << 3 << u""_s;
    QTest::newRow("far beyond the last field") << u"05/27"_s << u"/"_s << int32Max << u""_s;
    QTest::newRow("no separator: field 1 is the text") << u"0527"_s << u"/"_s << 1 << u"0527"_s;
    QTest::newRow("no separator: field 2 is empty") << u"0527"_s << u"/"_s << 2 << u""_s;
    QTest::newRow("two separators enclose an empty field")
        << u"05/27  16:23"_s << u" "_s << 2 << u""_s;
    QTest::newRow("field after an empty one") << u"05/27  16:23"_s << u" "_s << 3 << u"16:23"_s;
    QTest::newRow("leading separator: empty first field") << u" 5/7"_s << u" "_s << 1 << u""_s;
    QTest::newRow("trailing separator: empty last field") << u"05/"_s << u"/"_s << 2 << u""_s;
    QTest::newRow("n zero") << u"a b"_s << u" "_s << 0 << u""_s;
    QTest::newRow("n negative") << u"a b"_s << u" "_s << -1 << u""_s;
    QTest::newRow("n most negative") << u"a b"_s << u" "_s << int32Min << u""_s;
    QTest::newRow("empty text") << u""_s << u" "_s << 1 << u""_s;
    QTest::newRow("separator of several bytes") << u"a→b→c"_s << u"→"_s << 2 << u"b"_s;
    QTest::newRow("multi-byte characters around the separator")
        << u"é/ü"_s << u"/"_s << 2 << u"ü"_s;
    QTest::newRow("separator of two characters") << u"a::b:c"_s << u"::"_s << 2 << u"b:c"_s;
}

void tst_TextFields::nthField()
{
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(int, n);
    QFETCH(QString, field);

    const std::string textBytes = text.toStdString();
    const std::string separatorBytes = separator.toStdString();
    QCOMPARE(fromView(NthField(textBytes, separatorBytes, n)), field);
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
    QTest::newRow("fraction then letter") << u"2.5x"_s << 2.5;
    QTest::newRow("negative fraction") << u"-0.25"_s << -0.25;
    QTest::newRow("stops at a slash") << u"5/7"_s << 5.0;
    QTest::newRow("stops at a second point") << u"12.34.56"_s << 12.34;
    QTest::newRow("no exponent") << u"1e3"_s << 1.0;
    QTest::newRow("no hexadecimal") << u"0x1A"_s << 0.0;
    QTest::newRow("no inf word") << u"inf"_s << 0.0;
    QTest::newRow("no negative inf word") << u"-inf"_s << 0.0;
    QTest::newRow("no infinity word") << u"INFINITY"_s << 0.0;
    QTest::newRow("no nan word") << u"nan"_s << 0.0;
    QTest::newRow("no nan word with payload") << u"-nan(1)"_s << 0.0;
    QTest::newRow("no plus sign") << u"+5"_s << 0.0;
    QTest::newRow("no leading space") << u" 5"_s << 0.0;
    QTest::newRow("minus alone") << u"-"_s << 0.0;
    QTest::newRow("point alone") << u"."_s << 0.0;
    QTest::newRow("minus then letter") << u"-x"_s << 0.0;
    QTest::newRow("beyond 32 bits") << u"99999999999"_s << 99999999999.0;
    QTest::newRow("400 digits") << QString(400, u'9') << infinity;
    QTest::newRow("minus 400 digits") << (u"-"_s + QString(400, u'9')) << -infinity;
    QTest::newRow("400 zeros then a one after the point")
        << (u"0."_s + QString(400, u'0') + u"1"_s) << 0.0;
    QTest::newRow("minus 400 zeros then a one after the point")
        << (u"-0."_s + QString(400, u'0') + u"1"_s) << 0.0;
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
    QTest::newRow("one digit") << 7.0 << u"7"_s;
    QTest::newRow("two digits") << 25.0 << u"25"_s;
    QTest::newRow("negative whole") << -30.0 << u"-30"_s;
    QTest::newRow("a day back in minutes") << -1440.0 << u"-1440"_s;
    QTest::newRow("largest int32") << 2147483647.0 << u"2147483647"_s;
    QTest::newRow("1e20 in plain digits") << 1e20 << u"100000000000000000000"_s;
    QTest::newRow("-1e20 in plain digits") << -1e20 << u"-100000000000000000000"_s;
    QTest::newRow("fraction") << 2.5 << u"2.5"_s;
    QTest::newRow("negative fraction") << -0.25 << u"-0.25"_s;
    QTest::newRow("shortest form") << 0.1 << u"0.1"_s;
}

void tst_TextFields::numberText()
{
    QFETCH(double, value);
    QFETCH(QString, text);

    QCOMPARE(QString::fromStdString(::numberText(value)), text);
}

void tst_TextFields::toInt32FromDouble_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("result");

    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0;
    QTest::newRow("infinity") << infinity << int32Max;
    QTest::newRow("minus infinity") << -infinity << int32Min;
    QTest::newRow("huge") << 1e300 << int32Max;
    QTest::newRow("negative huge") << -1e300 << int32Min;
    QTest::newRow("one past the top") << 2147483648.0 << int32Max;
    QTest::newRow("one past the bottom") << -2147483649.0 << int32Min;
    QTest::newRow("top exactly") << 2147483647.0 << int32Max;
    QTest::newRow("bottom exactly") << -2147483648.0 << int32Min;
    QTest::newRow("fraction below the top") << 2147483646.5 << 2147483646;
    QTest::newRow("positive fraction drops") << 2.9 << 2;
    QTest::newRow("negative fraction drops toward zero") << -2.9 << -2;
    QTest::newRow("zero") << 0.0 << 0;
}

void tst_TextFields::toInt32FromDouble()
{
    QFETCH(double, value);
    QFETCH(int, result);

    QCOMPARE(toInt32(value), result);
}

void tst_TextFields::toInt32FromInt64_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("result");

    QTest::newRow("small") << qint64(5) << 5;
    QTest::newRow("negative small") << qint64(-5) << -5;
    QTest::newRow("top exactly") << qint64(int32Max) << int32Max;
    QTest::newRow("one past the top") << qint64(int32Max) + 1 << int32Max;
    QTest::newRow("bottom exactly") << qint64(int32Min) << int32Min;
    QTest::newRow("one past the bottom") << qint64(int32Min) - 1 << int32Min;
    QTest::newRow("largest int64") << std::numeric_limits<qint64>::max() << int32Max;
    QTest::newRow("smallest int64") << std::numeric_limits<qint64>::min() << int32Min;
}

void tst_TextFields::toInt32FromInt64()
{
    QFETCH(qint64, value);
    QFETCH(int, result);

    QCOMPARE(toInt32(static_cast<std::int64_t>(value)), result);
}

void tst_TextFields::characterAt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("character");

    QTest::newRow("ASCII") << u"abc"_s << 2 << u"b"_s;
    QTest::newRow("two-byte character") << u"é/7"_s << 1 << u"é"_s;
    QTest::newRow("after a two-byte character") << u"é/7"_s << 2 << u"/"_s;
    QTest::newRow("three-byte character") << u"€x"_s << 1 << u"€"_s;
    QTest::newRow("after a three-byte character") << u"€x"_s << 2 << u"x"_s;
    QTest::newRow("four-byte character") << u"😀y"_s << 1 << u"😀"_s;
    QTest::newRow("after a four-byte character") << u"😀y"_s << 2 << u"y"_s;
    QTest::newRow("past the end") << u"abc"_s << 4 << u""_s;
    QTest::newRow("past the end of multi-byte text") << u"éé"_s << 3 << u""_s;
    QTest::newRow("n zero") << u"abc"_s << 0 << u""_s;
    QTest::newRow("n negative") << u"abc"_s << -1 << u""_s;
    QTest::newRow("empty text") << u""_s << 1 << u""_s;
}

void tst_TextFields::characterAt()
{
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(QString, character);

    const std::string bytes = text.toStdString();
    QCOMPARE(fromView(::characterAt(bytes, n)), character);
}

void tst_TextFields::withoutLineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");

    QTest::newRow("plain text unchanged") << u"Untitled project 1"_s << u"Untitled project 1"_s;
    QTest::newRow("tab") << u"a\tb"_s << u"a b"_s;
    QTest::newRow("line feed") << u"a\nb"_s << u"a b"_s;
    QTest::newRow("carriage return and line feed, one space each") << u"a\r\nb"_s << u"a  b"_s;
    QTest::newRow("breaks at both ends") << u"\nab\t"_s << u" ab "_s;
    QTest::newRow("multi-byte text kept") << u"Büro\n€"_s << u"Büro €"_s;
    QTest::newRow("empty") << u""_s << u""_s;
}

void tst_TextFields::withoutLineBreaks()
{
    QFETCH(QString, text);
    QFETCH(QString, result);

    QCOMPARE(QString::fromStdString(::withoutLineBreaks(text.toStdString())), result);
}

QTEST_GUILESS_MAIN(tst_TextFields)
#include "tst_textfields.moc"
