#include "models/number_format.h"

#include "link/kadrel_error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace
{

// A finite value as 0.d1d2... x 10^exponent with d1 not 0; no digits means zero.
struct TDecimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

// Every double has a finite decimal expansion of at most 767 significant digits. Taking it
// whole lets halves be decided on the value itself, not on an already rounded text.
constexpr int AllDigits = 767;

void DropTrailingZeros(TDecimal& number)
{
    while (!number.digits.empty() && number.digits.back() == '0')
        number.digits.pop_back();
}

TDecimal ExactDecimal(double value)
{
    TDecimal number;
    number.negative = std::signbit(value);
    if (value == 0)
        return number;
    char buffer[AllDigits + 16];
    const char* const text = buffer;
    const char* const end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                          std::chars_format::scientific, AllDigits)
                                .ptr;
    // The text reads d.ddd...e+xx, without a terminating zero.
    const char* const mark = std::find(text, end, 'e');
    number.digits.push_back(text[0]);
    number.digits.append(text + 2, mark);
    const char* const exponent = mark[1] == '+' ? mark + 2 : mark + 1;
    std::from_chars(exponent, end, number.exponent);
    ++number.exponent;
    DropTrailingZeros(number);
    return number;
}

// Keeps the first `keep` digits, rounding halves away from zero. A `keep` of 0 rounds at the
// place before the first digit (zero or one unit of that place); less than 0 gives zero.
void KeepDigits(TDecimal& number, int keep)
{
    if (int(number.digits.size()) <= keep)
        return;
    const bool up = keep >= 0 && number.digits[size_t(keep)] >= '5';
    if (keep <= 0 && !up) {
        number = TDecimal{number.negative, {}, 0};
        return;
    }
    number.digits.resize(size_t(keep));
    if (up) {
        int i = keep - 1;
        for (; i >= 0 && number.digits[size_t(i)] == '9'; --i)
            number.digits[size_t(i)] = '0';
        if (i >= 0) {
            ++number.digits[size_t(i)];
        } else {
            number.digits.insert(number.digits.begin(), '1');
            ++number.exponent;
        }
    }
    DropTrailingZeros(number);
}

bool IsZero(const TDecimal& number)
{
    return number.digits.empty();
}

QString Sign(const TDecimal& number)
{
    return number.negative && !IsZero(number) ? QStringLiteral("-") : QString();
}

QString IntegerDigits(const TDecimal& number)
{
    if (number.exponent <= 0)
        return QStringLiteral("0");
    const int count = number.exponent;
    const int present = std::min(count, int(number.digits.size()));
    return QString::fromLatin1(number.digits.data(), present) +
           QString(count - present, QLatin1Char('0'));
}

QString FractionDigits(const TDecimal& number)
{
    const int count = int(number.digits.size());
    if (number.exponent >= count)
        return QString();
    if (number.exponent < 0)
        return QString(-number.exponent, QLatin1Char('0')) +
               QString::fromLatin1(number.digits.data(), count);
    return QString::fromLatin1(number.digits.data() + number.exponent, count - number.exponent);
}

QString ExponentDigits(int exponent)
{
    return QString::number(std::abs(exponent)).rightJustified(2, QLatin1Char('0'));
}

QString NonFiniteText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

[[noreturn]] void ThrowNotAFloat(const QString& text)
{
    throw KadrelError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

} // namespace

QString FormatGeneral(double value, int precision, const QLocale& locale)
{
    if (!std::isfinite(value))
        return NonFiniteText(value);
    TDecimal number = ExactDecimal(value);
    KeepDigits(number, precision);
    if (IsZero(number))
        return QStringLiteral("0");

    const QString separator = locale.decimalPoint();
    if (number.exponent >= -3 && number.exponent <= precision) {
        const QString fraction = FractionDigits(number);
        return Sign(number) + IntegerDigits(number) +
               (fraction.isEmpty() ? QString() : separator + fraction);
    }
    const int exponent = number.exponent - 1;
    QString text = Sign(number) + QLatin1Char(number.digits[0]);
    if (number.digits.size() > 1)
        text += separator +
                QString::fromLatin1(number.digits.data() + 1, qsizetype(number.digits.size() - 1));
    return text + QLatin1Char('E') + (exponent < 0 ? QStringLiteral("-") : QString()) +
           ExponentDigits(exponent);
}

QString FormatFixed2(double value, const QLocale& locale)
{
    if (!std::isfinite(value))
        return NonFiniteText(value);
    TDecimal number = ExactDecimal(value);
    // Two significant digits and two decimals in one rounding, so that no half is made by
    // an earlier rounding (0.0449 stays 0.04).
    KeepDigits(number, std::min(2, number.exponent + 2));
    if (number.exponent > 2)
        return FormatGeneral(value, 2, locale);
    return Sign(number) + IntegerDigits(number) + locale.decimalPoint() +
           FractionDigits(number).leftJustified(2, QLatin1Char('0'));
}

QString FormatExp4(double value, const QLocale& locale)
{
    if (!std::isfinite(value))
        return NonFiniteText(value);
    TDecimal number = ExactDecimal(value);
    KeepDigits(number, 4);
    const int exponent = IsZero(number) ? 0 : number.exponent - 1;
    const QString digits =
        QString::fromLatin1(number.digits.data(), qsizetype(number.digits.size()))
            .leftJustified(4, QLatin1Char('0'));
    return Sign(number) + digits[0] + locale.decimalPoint() + digits.mid(1) + QLatin1Char('E') +
           (exponent < 0 ? QLatin1Char('-') : QLatin1Char('+')) + ExponentDigits(exponent);
}

double ReadFloat(const QString& text, const QLocale& locale)
{
    const QString separator = locale.decimalPoint();
    const qsizetype length = text.size();
    qsizetype i = 0;
    const auto isBlank = [&] {
        return i < length && (text[i] == u' ' || text[i] == u'\t');
    };
    const auto isDigit = [&] {
        return i < length && text[i] >= u'0' && text[i] <= u'9';
    };
    const auto isOneOf = [&](char16_t a, char16_t b) {
        return i < length && (text[i] == a || text[i] == b);
    };

    // The number is rewritten in the form std::from_chars reads, independent of any locale.
    std::string number;
    const auto takeSign = [&] {
        if (isOneOf(u'+', u'-')) {
            if (text[i] == u'-')
                number.push_back('-');
            ++i;
        }
    };
    const auto takeDigits = [&] {
        const qsizetype start = i;
        for (; isDigit(); ++i)
            number.push_back(char(text[i].unicode()));
        return i - start;
    };

    while (isBlank())
        ++i;
    takeSign();
    qsizetype mantissaDigits = takeDigits();
    if (!separator.isEmpty() && QStringView(text).mid(i).startsWith(separator)) {
        i += separator.size();
        number.push_back('.');
        mantissaDigits += takeDigits();
    }
    if (mantissaDigits == 0)
        ThrowNotAFloat(text);
    if (isOneOf(u'e', u'E')) {
        ++i;
        number.push_back('e');
        takeSign();
        if (takeDigits() == 0)
            ThrowNotAFloat(text);
    }
    while (isBlank())
        ++i;
    if (i != length)
        ThrowNotAFloat(text);

    double value = 0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    // Beyond the range of a double the text names no value that could be stored.
    if (error != std::errc() || stop != end)
        ThrowNotAFloat(text);
    return value;
}
