#include "models/number_format.h"

#include "link/kadrel_error.h"

#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{

// Every double has a finite decimal expansion of at most 767 significant digits after the
// first, so that many digits after the first give it exactly.
constexpr int AllDigits = 767;
// The digits a value is first written with. Rounding them to the few digits a cell keeps gives
// the rounding of the value itself, except when they end in exactly a half at the digit that
// decides: only then is the whole expansion needed to tell a half from a near half.
constexpr int ShortDigits = 40;

// A finite value as 0.d1d2... x 10^exponent with d1 not 0; no digits means zero.
struct TDecimal {
    bool negative = false;
    int count = 0;
    int exponent = 0;
    char digits[AllDigits + 2];

    bool IsZero() const { return count == 0; }
};

void DropTrailingZeros(TDecimal& number)
{
    while (number.count > 0 && number.digits[number.count - 1] == '0')
        --number.count;
}

// The value's first `significant` digits, the last one rounded to nearest.
void Expand(double value, int significant, TDecimal& number)
{
    number.negative = std::signbit(value);
    number.count = 0;
    number.exponent = 0;
    if (value == 0)
        return;
    char buffer[AllDigits + 16];
    const char* const text = buffer;
    const char* const end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                          std::chars_format::scientific, significant - 1)
                                .ptr;
    // The text reads d.ddd...e+xx (or de+xx for one digit), without a terminating zero.
    const char* const mark = std::find(text, end, 'e');
    number.digits[0] = text[0];
    number.count = 1;
    if (mark - text > 2) {
        std::copy(text + 2, mark, number.digits + 1);
        number.count += int(mark - text - 2);
    }
    const char* const exponent = mark[1] == '+' ? mark + 2 : mark + 1;
    std::from_chars(exponent, end, number.exponent);
    ++number.exponent;
    DropTrailingZeros(number);
}

// Keeps the first `keep` digits, rounding halves away from zero. A `keep` of 0 rounds at the
// place before the first digit (zero or one unit of that place); less than 0 gives zero.
void KeepDigits(TDecimal& number, int keep)
{
    if (number.count <= keep)
        return;
    const bool up = keep >= 0 && number.digits[keep] >= '5';
    if (keep <= 0 && !up) {
        number.count = 0;
        number.exponent = 0;
        return;
    }
    number.count = keep;
    if (up) {
        int i = keep - 1;
        for (; i >= 0 && number.digits[i] == '9'; --i)
            number.digits[i] = '0';
        if (i >= 0) {
            ++number.digits[i];
        } else {
            std::copy_backward(number.digits, number.digits + keep, number.digits + keep + 1);
            number.digits[0] = '1';
            ++number.count;
            ++number.exponent;
        }
    }
    DropTrailingZeros(number);
}

// True when the digits end in a 5 exactly at the digit that decides the rounding.
bool EndsInHalf(const TDecimal& number, int keep)
{
    return keep >= 0 && number.count == keep + 1 && number.digits[keep] == '5';
}

#ifdef __SIZEOF_INT128__
// Values from 10^-14 to 10^9, which is every value the tables hold, take a shorter way: their
// first 9 or 10 digits cut off (not rounded) by exact integer arithmetic on the binary form.
// Cut digits round exactly, since the digit after the last one kept tells alone whether the
// rest reaches a half.
constexpr int CutDigits = 9;
constexpr int MaxCutScale = 22;

// 10^0 to 10^MaxCutScale.
constexpr std::array<unsigned __int128, MaxCutScale + 1> PowersOfTen = [] {
    std::array<unsigned __int128, MaxCutScale + 1> powers{};
    powers[0] = 1;
    for (size_t i = 1; i < powers.size(); ++i)
        powers[i] = powers[i - 1] * 10;
    return powers;
}();

// Returns how many digits were cut off, 0 for a value outside the range.
int ExpandCut(double value, TDecimal& number)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const int biasedExponent = int(bits >> 52 & 0x7FF);
    if (biasedExponent == 0)
        return 0;
    // |value| = mantissa / 2^shift exactly, with 2^52 <= mantissa < 2^53.
    const uint64_t mantissa = (bits & ((uint64_t(1) << 52) - 1)) | uint64_t(1) << 52;
    const int shift = 1075 - biasedExponent;
    // 2^(52 - shift) <= |value|, so the decimal exponent is this or one more (log10(2) is
    // 78913 / 2^18 closely enough for every exponent a double has).
    const int decimalExponent = ((52 - shift) * 78913) >> 18;
    const int scale = CutDigits - 1 - decimalExponent;
    if (shift < 0 || scale < 0 || scale > MaxCutScale)
        return 0;
    // Below 2^53 * 10^22 < 2^128, and the quotient below 10^10.
    auto cut = uint64_t((mantissa * PowersOfTen[size_t(scale)]) >> shift);
    char reversed[12];
    int count = 0;
    for (; cut > 0; cut /= 10)
        reversed[count++] = char('0' + cut % 10);
    std::reverse_copy(reversed, reversed + count, number.digits);
    number.negative = bits >> 63 != 0;
    number.count = count;
    number.exponent = count - scale;
    DropTrailingZeros(number);
    return count;
}
#endif

// The value rounded to the digits `keepOf(exponent)` keeps, halves decided on the exact value.
template <class TKeepOf> void Round(double value, TKeepOf keepOf, TDecimal& number)
{
#ifdef __SIZEOF_INT128__
    const int cutDigits = ExpandCut(value, number);
    if (cutDigits > 0 && keepOf(number.exponent) < cutDigits) {
        KeepDigits(number, keepOf(number.exponent));
        return;
    }
#endif
    Expand(value, ShortDigits, number);
    if (EndsInHalf(number, keepOf(number.exponent)))
        Expand(value, AllDigits + 1, number);
    KeepDigits(number, keepOf(number.exponent));
}

// The text of a number, put together on the stack and made a QString at once.
class TText
{
public:
    void Add(char ch) { m_chars.append(char16_t(uchar(ch))); }
    void Add(const char* chars, int count)
    {
        for (int i = 0; i < count; ++i)
            Add(chars[i]);
    }
    void Add(const QString& text)
    {
        m_chars.append(reinterpret_cast<const char16_t*>(text.constData()), text.size());
    }
    void AddZeros(int count)
    {
        for (int i = 0; i < count; ++i)
            Add('0');
    }
    QString ToString() const
    {
        return QString(reinterpret_cast<const QChar*>(m_chars.constData()), m_chars.size());
    }

private:
    QVarLengthArray<char16_t, 32> m_chars;
};

void AddSign(TText& text, const TDecimal& number)
{
    if (number.negative && !number.IsZero())
        text.Add('-');
}

void AddIntegerDigits(TText& text, const TDecimal& number)
{
    if (number.exponent <= 0) {
        text.Add('0');
        return;
    }
    const int present = std::min(number.exponent, number.count);
    text.Add(number.digits, present);
    text.AddZeros(number.exponent - present);
}

int FractionLength(const TDecimal& number)
{
    return number.exponent >= number.count ? 0 : number.count - number.exponent;
}

void AddFractionDigits(TText& text, const TDecimal& number)
{
    if (number.exponent >= number.count)
        return;
    if (number.exponent < 0) {
        text.AddZeros(-number.exponent);
        text.Add(number.digits, number.count);
        return;
    }
    text.Add(number.digits + number.exponent, number.count - number.exponent);
}

// The exponent's magnitude with at least 2 digits.
void AddExponentDigits(TText& text, int exponent)
{
    char reversed[12];
    int count = 0;
    for (unsigned magnitude = unsigned(std::abs(exponent)); magnitude > 0 || count < 2;
         magnitude /= 10)
        reversed[count++] = char('0' + magnitude % 10);
    while (count > 0)
        text.Add(reversed[--count]);
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
    TDecimal number;
    Round(
        value, [precision](int) { return precision; }, number);
    if (number.IsZero())
        return QStringLiteral("0");

    TText text;
    AddSign(text, number);
    if (number.exponent >= -3 && number.exponent <= precision) {
        AddIntegerDigits(text, number);
        if (FractionLength(number) > 0) {
            text.Add(locale.decimalPoint());
            AddFractionDigits(text, number);
        }
        return text.ToString();
    }
    const int exponent = number.exponent - 1;
    text.Add(number.digits[0]);
    if (number.count > 1) {
        text.Add(locale.decimalPoint());
        text.Add(number.digits + 1, number.count - 1);
    }
    text.Add('E');
    if (exponent < 0)
        text.Add('-');
    AddExponentDigits(text, exponent);
    return text.ToString();
}

QString FormatFixed2(double value, const QLocale& locale)
{
    if (!std::isfinite(value))
        return NonFiniteText(value);
    TDecimal number;
    // Two significant digits and two decimals in one rounding, so that no half is made by
    // an earlier rounding (0.0449 stays 0.04).
    Round(
        value, [](int exponent) { return std::min(2, exponent + 2); }, number);
    if (number.exponent > 2)
        return FormatGeneral(value, 2, locale);
    TText text;
    AddSign(text, number);
    AddIntegerDigits(text, number);
    text.Add(locale.decimalPoint());
    AddFractionDigits(text, number);
    text.AddZeros(2 - FractionLength(number));
    return text.ToString();
}

QString FormatExp4(double value, const QLocale& locale)
{
    if (!std::isfinite(value))
        return NonFiniteText(value);
    TDecimal number;
    Round(
        value, [](int) { return 4; }, number);
    const int exponent = number.IsZero() ? 0 : number.exponent - 1;
    TText text;
    AddSign(text, number);
    for (; number.count < 4; ++number.count)
        number.digits[number.count] = '0';
    text.Add(number.digits[0]);
    text.Add(locale.decimalPoint());
    text.Add(number.digits + 1, 3);
    text.Add('E');
    text.Add(exponent < 0 ? '-' : '+');
    AddExponentDigits(text, exponent);
    return text.ToString();
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
