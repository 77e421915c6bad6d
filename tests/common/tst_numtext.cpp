#include "common/errors.h"
#include "common/numtext.h"

#include <QTest>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

using namespace voltaris;

Q_DECLARE_METATYPE(long double)

namespace {
constexpr long double Inf = std::numeric_limits<long double>::infinity();
constexpr long double NaN = std::numeric_limits<long double>::quiet_NaN();
const QChar Comma = QLatin1Char(',');
} // namespace

class TestNumText : public QObject {
    Q_OBJECT

private slots:
    void formatFixed_data();
    void formatFixed();
    void largeValuesAsTheCLibrary();
    void strToFloat_data();
    void strToFloat();
    void conversionErrors();
    void strToInt_data();
    void strToInt();
    void divideAndChecked_data();
    void divideAndChecked();
};

void TestNumText::formatFixed_data()
{
    QTest::addColumn<long double>("value");
    QTest::addColumn<int>("precision");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("expected");

    QTest::newRow("exact tie") << 0.125L << 8 << 2 << "0,13";
    QTest::newRow("76.275 slightly above") << 76.275L << 8 << 2 << "76,28";
    QTest::newRow("915.3 / 12") << 915.3L / 12 << 8 << 2 << "76,28";
    // Binary values just below the tie; their 18-digit expansion is the tie.
    QTest::newRow("1.005L below tie") << 1.005L << 8 << 2 << "1,01";
    QTest::newRow("2.675L below tie") << 2.675L << 8 << 2 << "2,68";
    QTest::newRow("-2.675L below tie") << -2.675L << 8 << 2 << "-2,68";
    QTest::newRow("0.285L below tie") << 0.285L << 8 << 2 << "0,29";
    // The double 1.005 is 1.00499999999999989 even at 18 digits.
    QTest::newRow("double 1.005") << (long double)1.005 << 8 << 2 << "1,00";
    QTest::newRow("2.5") << 2.5L << 8 << 2 << "2,50";
    QTest::newRow("960") << 960.0L << 8 << 2 << "960,00";
    QTest::newRow("zero") << 0.0L << 8 << 2 << "0,00";
    QTest::newRow("minus zero") << -0.0L << 8 << 2 << "0,00";
    QTest::newRow("-0.001") << -0.001L << 8 << 2 << "0,00";
    QTest::newRow("-0.005") << -0.005L << 8 << 2 << "-0,01";
    QTest::newRow("-1.5") << -1.5L << 8 << 2 << "-1,50";
    QTest::newRow("tiny") << 1e-30L << 8 << 2 << "0,00";
    QTest::newRow("carry to next power") << 9.995L << 8 << 2 << "10,00";
    QTest::newRow("million") << 1234567.891L << 8 << 2 << "1234567,90";
    QTest::newRow("million tie") << 1234567.25L << 8 << 2 << "1234567,30";
    QTest::newRow("ten million") << 12345678.9L << 8 << 2 << "12345679,00";
    QTest::newRow("eight digits") << 99999999.4L << 8 << 2 << "99999999,00";
    QTest::newRow("exponent form") << 1234567890.0L << 8 << 2 << "1,2345679E+09";
    QTest::newRow("carry into exponent") << 99999999.6L << 8 << 2 << "1,0000000E+08";
    QTest::newRow("negative exponent form") << -123456789.0L << 8 << 2 << "-1,2345679E+08";
    QTest::newRow("three-digit exponent") << 1e100L << 8 << 2 << "1,0000000E+100";
    QTest::newRow("largest") << LDBL_MAX << 8 << 2 << "1,1897315E+4932";
    QTest::newRow("precision 1 exponent") << 25.0L << 1 << 0 << "3E+01";
    QTest::newRow("no decimals") << 2.5L << 8 << 0 << "3";
    QTest::newRow("no decimals 960") << 960.0L << 8 << 0 << "960";
    QTest::newRow("three decimals") << 0.0125L << 8 << 3 << "0,013";
    QTest::newRow("precision 18, 1 decimal") << 12.34L << 18 << 1 << "12,3";
    QTest::newRow("0.1L, 18 decimals") << 0.1L << 18 << 18 << "0,100000000000000000";
    QTest::newRow("2/3, 18 decimals") << 2.0L / 3 << 18 << 18 << "0,666666666666666667";
    QTest::newRow("18 whole digits") << 123456789012345678.0L << 18 << 2 << "123456789012345678,00";
    // 2^63 - 3 ends in 5 at the 19th digit: the 18-digit step rounds it up.
    QTest::newRow("tie at the 18th digit")
        << 9223372036854775805.0L << 18 << 0 << "9,22337203685477581E+18";
    QTest::newRow("smallest denormal") << LDBL_TRUE_MIN << 18 << 18 << "0,000000000000000000";
    QTest::newRow("INF") << Inf << 8 << 2 << "INF";
    QTest::newRow("-INF") << -Inf << 8 << 2 << "-INF";
    QTest::newRow("NAN") << NaN << 8 << 2 << "NAN";
}

void TestNumText::formatFixed()
{
    QFETCH(long double, value);
    QFETCH(int, precision);
    QFETCH(int, digits);
    QFETCH(QString, expected);
    QCOMPARE(voltaris::formatFixed(value, precision, digits, Comma), expected);
    // The separator is the caller's.
    QString pointed = expected;
    pointed.replace(Comma, QLatin1Char('.'));
    QCOMPARE(voltaris::formatFixed(value, precision, digits, QLatin1Char('.')), pointed);
}

// Above 1e21 the digits come from exact big-number arithmetic: all 18 of
// them must be those of glibc's exact conversion, over the whole range.
void TestNumText::largeValuesAsTheCLibrary()
{
    std::mt19937_64 random(1010);
    for (int e = 8; e < 16320; e += 3) {
        const long double x = std::ldexp((long double)(random() | (1ULL << 63)), e);
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.17LE", x);
        QCOMPARE(voltaris::formatFixed(x, 18, 0, QLatin1Char('.')), QString::fromLatin1(expected));
    }
}

void TestNumText::strToFloat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<long double>("expected");

    const QChar point = QLatin1Char('.');
    QTest::newRow("decimal") << "1,5" << Comma << true << 1.5L;
    QTest::newRow("blanks") << "  12,25  " << Comma << true << 12.25L;
    QTest::newRow("lone separator") << "," << Comma << true << 0.0L;
    QTest::newRow("sign and separator") << "-," << Comma << true << 0.0L;
    QTest::newRow("trailing separator") << "5," << Comma << true << 5.0L;
    QTest::newRow("leading separator") << ",5" << Comma << true << 0.5L;
    QTest::newRow("plus") << "+3" << Comma << true << 3.0L;
    QTest::newRow("minus") << "-0,75" << Comma << true << -0.75L;
    QTest::newRow("exponent") << "1e5" << Comma << true << 1e5L;
    QTest::newRow("upper-case exponent") << "2E+2" << Comma << true << 200.0L;
    QTest::newRow("negative exponent") << "1,5e-3" << Comma << true << 1.5e-3L;
    QTest::newRow("0,1 correctly rounded") << "0,1" << Comma << true << 0.1L;
    QTest::newRow("zeros after the separator") << "0,005" << Comma << true << 0.005L;
    QTest::newRow("default price") << "22,134" << Comma << true << 22.134L;
    QTest::newRow("pi") << "3,14159265358979323846264" << Comma << true
                        << 3.14159265358979323846264L;
    QTest::newRow("largest") << "1,18973149535723176502e4932" << Comma << true << LDBL_MAX;
    QTest::newRow("smallest denormal") << "3,6452e-4951" << Comma << true << LDBL_TRUE_MIN;
    QTest::newRow("underflow is zero") << "1e-99999" << Comma << true << 0.0L;
    QTest::newRow("zero with huge exponent") << "0e99999" << Comma << true << 0.0L;
    QTest::newRow("900 digits") << "1" + QString(899, QLatin1Char('0')) + "e-899" << Comma << true
                                << 1.0L;
    QTest::newRow("point system") << "1.5" << point << true << 1.5L;

    QTest::newRow("empty") << "" << Comma << false << 0.0L;
    QTest::newRow("blanks only") << "   " << Comma << false << 0.0L;
    QTest::newRow("sign alone") << "-" << Comma << false << 0.0L;
    QTest::newRow("plus alone") << "+" << Comma << false << 0.0L;
    QTest::newRow("two separators") << "1,,5" << Comma << false << 0.0L;
    QTest::newRow("second separator") << "1,5,2" << Comma << false << 0.0L;
    QTest::newRow("point on comma system") << "1.5" << Comma << false << 0.0L;
    QTest::newRow("comma on point system") << "1,5" << point << false << 0.0L;
    QTest::newRow("exponent without digits") << "1e" << Comma << false << 0.0L;
    QTest::newRow("exponent sign only") << "1e+" << Comma << false << 0.0L;
    QTest::newRow("exponent alone") << "e5" << Comma << false << 0.0L;
    QTest::newRow("letters") << "abc" << Comma << false << 0.0L;
    QTest::newRow("trailing letter") << "12a" << Comma << false << 0.0L;
    QTest::newRow("inner blank") << "1 5" << Comma << false << 0.0L;
    QTest::newRow("tab") << "\t1" << Comma << false << 0.0L;
    QTest::newRow("double sign") << "--1" << Comma << false << 0.0L;
    QTest::newRow("overflow") << "1e99999" << Comma << false << 0.0L;
    QTest::newRow("just above largest") << "1,2e4932" << Comma << false << 0.0L;
    QTest::newRow("arabic digit") << QString(QChar(0x0663)) << Comma << false << 0.0L;
}

void TestNumText::strToFloat()
{
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(bool, ok);
    QFETCH(long double, expected);
    long double value = -42;
    QCOMPARE(tryStrToFloat(text, separator, value), ok);
    if (ok)
        QCOMPARE(value, expected);
    else
        QCOMPARE(value, -42.0L); // a failure leaves the target alone
}

void TestNumText::conversionErrors()
{
    const auto messageOf = [](auto f) {
        try {
            f();
        } catch (const EConvertError &e) {
            return e.message();
        }
        return QStringLiteral("no error");
    };
    QCOMPARE(messageOf([] { voltaris::strToFloat(QStringLiteral("1.5"), Comma); }),
        QStringLiteral("'1.5' is not a valid floating point value"));
    QCOMPARE(messageOf([] { voltaris::strToFloat(QString(), Comma); }),
        QStringLiteral("'' is not a valid floating point value"));
    QCOMPARE(messageOf([] { voltaris::strToInt(QStringLiteral(" x%1")); }),
        QStringLiteral("' x%1' is not a valid integer value"));
    QCOMPARE(voltaris::strToFloat(QStringLiteral("7,9"), Comma), 7.9L);
    QCOMPARE(voltaris::strToInt(QStringLiteral("31")), 31);
}

void TestNumText::strToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << "42" << true << 42;
    QTest::newRow("leading blanks and sign") << "  -17" << true << -17;
    QTest::newRow("plus") << "+5" << true << 5;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << true << int(-2147483648LL);
    QTest::newRow("above largest") << "2147483648" << false << 0;
    QTest::newRow("below smallest") << "-2147483649" << false << 0;
    QTest::newRow("huge") << "99999999999999999999" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("sign alone") << " -" << false << 0;
    QTest::newRow("trailing blank") << "12 " << false << 0;
    QTest::newRow("decimal") << "1,5" << false << 0;
    QTest::newRow("hex") << "0x10" << false << 0;
}

void TestNumText::strToInt()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, expected);
    int value = 0;
    QCOMPARE(tryStrToInt(text, value), ok);
    if (ok)
        QCOMPARE(value, expected);
}

void TestNumText::divideAndChecked_data()
{
    QTest::addColumn<long double>("a");
    QTest::addColumn<long double>("b");
    QTest::addColumn<QString>("outcome"); // result text or error message
    QTest::newRow("quotient") << 1.0L << 4.0L << "0,25";
    QTest::newRow("negative quotient") << -915.3L << 12.0L << "-76,28";
    QTest::newRow("by zero") << 1.0L << 0.0L << "Floating point division by zero";
    QTest::newRow("by minus zero") << -1.0L << -0.0L << "Floating point division by zero";
    QTest::newRow("zero by zero") << 0.0L << 0.0L << "Invalid floating point operation";
    QTest::newRow("overflow") << 1e4000L << 1e-4000L << "Floating point overflow";
    QTest::newRow("inf by inf") << Inf << Inf << "Invalid floating point operation";
    QTest::newRow("NaN") << NaN << 2.0L << "Invalid floating point operation";
    QTest::newRow("NaN by zero") << NaN << 0.0L << "Invalid floating point operation";
}

void TestNumText::divideAndChecked()
{
    QFETCH(long double, a);
    QFETCH(long double, b);
    QFETCH(QString, outcome);
    QString got;
    try {
        got = formatValue(divide(a, b), Comma);
    } catch (const Exception &e) {
        got = e.message();
    }
    QCOMPARE(got, outcome);

    QCOMPARE(checked(2.5L), 2.5L);
    QVERIFY_THROWS_EXCEPTION(EOverflow, checked(-Inf));
    QVERIFY_THROWS_EXCEPTION(EInvalidOp, checked(NaN));
}

QTEST_APPLESS_MAIN(TestNumText)
#include "tst_numtext.moc"
