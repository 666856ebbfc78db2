// The three cell number forms and the reading of typed numbers, every case run once with a
// locale writing a full stop and once with one writing a comma.
#include "link/kadrel_driver.h"
#include "link/kadrel_error.h"
#include "models/number_format.h"

#include <QtTest>
#include <cmath>
#include <limits>

namespace
{

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

QList<QLocale> TestLocales()
{
    return {QLocale::c(), QLocale(QLocale::German)};
}

// Cases are written with '.' for the locale's decimal separator and ',' for the other mark,
// so that a case reads the same for both locales.
QString InLocale(QString text, const QLocale& locale)
{
    if (locale.decimalPoint() == QStringLiteral(","))
        for (QChar& ch : text)
            ch = ch == u'.' ? u',' : ch == u',' ? u'.' : ch;
    return text;
}

QByteArray RowName(const QLocale& locale, const QString& name)
{
    return (locale.decimalPoint() + QStringLiteral(" ") + name).toUtf8();
}

void AddFormatColumns()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
}

struct TFormatCase {
    const char* name;
    double value;
    const char* expected;
};

void AddFormatRows(std::initializer_list<TFormatCase> cases)
{
    for (const QLocale& locale : TestLocales())
        for (const TFormatCase& c : cases)
            QTest::newRow(RowName(locale, QString::fromUtf8(c.name)))
                << locale << c.value << InLocale(QString::fromUtf8(c.expected), locale);
}

} // namespace

class TestNumberFormat : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void general5_data();
    void general5();
    void general3_data();
    void general3();
    void fixed2_data();
    void fixed2();
    void exp4_data();
    void exp4();
    void defaultLocale();
    void readFloat_data();
    void readFloat();
    void readFloatRejects_data();
    void readFloatRejects();
};

void TestNumberFormat::initTestCase()
{
    QCOMPARE(QLocale(QLocale::German).decimalPoint(), QStringLiteral(","));
}

void TestNumberFormat::general5_data()
{
    AddFormatColumns();
    AddFormatRows({
        {"zero", 0.0, "0"},
        {"negative zero", -0.0, "0"},
        {"integer", 12345, "12345"},
        {"mean strength", double(27.203333f), "27.203"},
        {"mean strength in kgf", double(MPaToKgs(27.203333f)), "277.4"},
        {"force in kgf", double(KNToKgs(30.0f)), "3059.2"},
        {"small force in kgf", double(KNToKgs(0.8f)), "81.578"},
        {"strength in kgf", double(MPaToKgs(0.5f)), "5.0986"},
        {"negative", -2.5465, "-2.5465"},
        {"leading zeros", 0.00123, "0.00123"},
        {"lowest plain exponent", 0.0001234, "0.0001234"},
        {"small in exponent form", 0.00001234, "1.234E-05"},
        {"large in exponent form", 123456, "1.2346E05"},
        {"single digit exponent form", 1e6, "1E06"},
        {"negative exponent form", -1e-5, "-1E-05"},
        {"three digit exponent", 1.5e-300, "1.5E-300"},
        {"trailing zeros dropped", 2.5, "2.5"},
        {"half away from zero", 1.03125, "1.0313"},
        {"negative half away from zero", -1.03125, "-1.0313"},
        {"half not to even", 99998.5, "99999"},
        {"exact half below even", 12344.5, "12345"},
        {"exact half in exponent form", -1234450, "-1.2345E06"},
        {"below a thousand million", 999994999.0, "9.9999E08"},
        {"a thousand million", 1e9, "1E09"},
        {"largest exact integer", 9007199254740991.0, "9.0072E15"},
        {"beyond the exact integers", 9007199254740994.0, "9.0072E15"},
        {"a hundred-thousandth", 0.00001, "1E-05"},
        {"below a hundred-thousandth", 0.0000099999, "9.9999E-06"},
        {"far below it", 1.23456e-14, "1.2346E-14"},
        {"farther below it", 1.23456e-15, "1.2346E-15"},
        {"largest double", 1.7976931348623157e308, "1.7977E308"},
        {"smallest subnormal", 4.9406564584124654e-324, "4.9407E-324"},
        {"below half stays", 99999.4, "99999"},
        {"carry into new digit", 9.99995, "10"},
        {"carry into exponent form", 99999.5, "1E05"},
        {"double just below half", 2.00005, "2"},
        {"float just above half", double(2.00005f), "2.0001"},
        {"double just above half", 1.00005, "1.0001"},
        {"float just below half", double(1.00005f), "1"},
        {"not a number", NaN, "NAN"},
        {"infinite", Inf, "INF"},
        {"negative infinite", -Inf, "-INF"},
    });
}

void TestNumberFormat::general5()
{
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatGeneral(value, 5, locale), expected);
}

void TestNumberFormat::general3_data()
{
    AddFormatColumns();
    AddFormatRows({
        {"two", 2.0, "2"},
        {"lowest", double(0.98776f), "0.988"},
        {"rounds up to one", double(0.99999994f), "1"},
        {"one decimal", double(1.6000000238f), "1.6"},
        {"two decimals", double(1.8163265f), "1.82"},
        {"largest plain", double(51.959183f), "52"},
        {"three digits", 999.4, "999"},
        {"carry into exponent form", 999.5, "1E03"},
    });
}

void TestNumberFormat::general3()
{
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatGeneral(value, 3, locale), expected);
}

void TestNumberFormat::fixed2_data()
{
    AddFormatColumns();
    AddFormatRows({
        {"zero", 0.0, "0.00"},
        {"spread", 8.11, "8.10"},
        {"float spread", double(8.11f), "8.10"},
        {"two integer digits", 12.3, "12.00"},
        {"integer", 20.0, "20.00"},
        {"second decimal from first significant", 5.678, "5.70"},
        {"hundredths", 0.0567, "0.06"},
        {"float hundredths", double(0.0567f), "0.06"},
        {"below half a hundredth", 0.004, "0.00"},
        {"half a hundredth", 0.005, "0.01"},
        {"below a thousandth", 0.0003, "0.00"},
        {"tiny", 1e-30, "0.00"},
        {"no double rounding", 0.0449, "0.04"},
        {"half away from zero", 0.125, "0.13"},
        {"half of the second digit not to even", 2.25, "2.30"},
        {"negative", -8.11, "-8.10"},
        {"negative rounding to zero", -0.004, "0.00"},
        {"carry into two integer digits", 9.96, "10.00"},
        {"largest fixed", 99.4, "99.00"},
        {"three integer digits", 123.4, "1.2E02"},
        {"carry into three integer digits", 99.5, "1E02"},
        {"negative three integer digits", -123.4, "-1.2E02"},
        {"not a number", NaN, "NAN"},
        {"infinite", Inf, "INF"},
        {"negative infinite", -Inf, "-INF"},
    });
}

void TestNumberFormat::fixed2()
{
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatFixed2(value, locale), expected);
}

void TestNumberFormat::exp4_data()
{
    AddFormatColumns();
    AddFormatRows({
        {"zero", 0.0, "0.000E+00"},
        {"negative zero", -0.0, "0.000E+00"},
        {"one", 1.0, "1.000E+00"},
        {"negative small", -0.0025, "-2.500E-03"},
        {"rounded to four digits", 1.23456, "1.235E+00"},
        {"float coefficient", double(1.23456f), "1.235E+00"},
        {"half away from zero", 1.03125, "1.031E+00"},
        {"half not to even", 1.0625, "1.063E+00"},
        {"carry into exponent", 99995, "1.000E+05"},
        {"three digit exponent", -1e100, "-1.000E+100"},
        {"not a number", NaN, "NAN"},
        {"infinite", Inf, "INF"},
        {"negative infinite", -Inf, "-INF"},
    });
}

void TestNumberFormat::exp4()
{
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatExp4(value, locale), expected);
}

void TestNumberFormat::defaultLocale()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German));
    const QString general = FormatGeneral(2.5, 5);
    const QString fixed = FormatFixed2(8.11);
    const QString exp = FormatExp4(1.0);
    double read = 0;
    QString rejected;
    try {
        read = ReadFloat(QStringLiteral("1,5"));
        ReadFloat(QStringLiteral("1.5"));
    } catch (const KadrelError& error) {
        rejected = error.message();
    }
    QLocale::setDefault(saved);

    QCOMPARE(general, QStringLiteral("2,5"));
    QCOMPARE(fixed, QStringLiteral("8,10"));
    QCOMPARE(exp, QStringLiteral("1,000E+00"));
    QCOMPARE(read, 1.5);
    QCOMPARE(rejected, QStringLiteral("'1.5' is not a valid floating point value"));
}

void TestNumberFormat::readFloat_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    struct TReadCase {
        const char* text;
        double expected;
    };
    const TReadCase cases[] = {
        {"0", 0.0},       {"12", 12.0},       {"1.5", 1.5},      {"0.1", 0.1},  {"1.235", 1.235},
        {"-2.5", -2.5},   {"+2.5", 2.5},      {"1.", 1.0},       {".5", 0.5},   {"-.5", -0.5},
        {"1e3", 1000.0},  {"1E-3", 0.001},    {"2.5e+2", 250.0}, {".5E1", 5.0}, {"007", 7.0},
        {"  1.5  ", 1.5}, {"\t-1.5\t", -1.5},
    };
    for (const QLocale& locale : TestLocales())
        for (const TReadCase& c : cases) {
            const QString text = InLocale(QString::fromUtf8(c.text), locale);
            QTest::newRow(RowName(locale, text)) << locale << text << c.expected;
        }
}

void TestNumberFormat::readFloat()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(ReadFloat(text, locale), expected);
}

void TestNumberFormat::readFloatRejects_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");

    const char* const cases[] = {"",        " ",     "abc",    ".",     "-",     "+",    "1,5",
                                 "1,000.5", "1 000", "1.5.2",  "1..5",  "--1",   "+-1",  "- 1",
                                 "1 .5",    "1.5x",  "x1.5",   "1e",    "1e+",   "e5",   ".e5",
                                 "1e5.0",   "1e 5",  "nan",    "NAN",   "inf",   "-INF", "0x10",
                                 "1_0",     "١٢",    "1.5\n2", "1e999", "-1e999"};
    for (const QLocale& locale : TestLocales())
        for (const char* text : cases) {
            const QString localText = InLocale(QString::fromUtf8(text), locale);
            QTest::newRow(RowName(locale, localText)) << locale << localText;
        }
}

void TestNumberFormat::readFloatRejects()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    try {
        const double value = ReadFloat(text, locale);
        QFAIL(qPrintable(QStringLiteral("read as %1").arg(value)));
    } catch (const KadrelError& error) {
        QCOMPARE(error.message(),
                 QStringLiteral("'%1' is not a valid floating point value").arg(text));
    }
}

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "tst_number_format.moc"
