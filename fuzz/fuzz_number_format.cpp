// Numbers in table cells, in locales with a full stop and with a comma: any text is either
// read as a finite number or refused with the message naming it, and every number the tables
// write reads back as the value written, to the digits shown.
//
// Input: byte 0 picks the locale, bytes 1-8 a value, the rest is text (UTF-8).
#include "fuzz_support.h"

#include "models/number_format.h"

#include <cmath>
#include <cstring>

namespace
{

const QLocale& LocaleOf(uint8_t choice)
{
    static const QLocale locales[] = {QLocale::c(), QLocale(QLocale::Russian, QLocale::Russia),
                                      QLocale(QLocale::German, QLocale::Germany),
                                      QLocale(QLocale::English, QLocale::UnitedStates)};
    return locales[choice % 4];
}

// Reads `text`; false when it is refused with the proper message.
bool Read(const QString& text, const QLocale& locale, double& value)
{
    try {
        value = ReadFloat(text, locale);
        fuzz::Require(std::isfinite(value), "a number read is finite");
        return true;
    } catch (const KadrelError& error) {
        fuzz::Require(error.message() ==
                          QStringLiteral("'%1' is not a valid floating point value").arg(text),
                      "a refused text is named in the message");
        return false;
    }
}

// `text` written from `value` with `digits` significant digits reads back within them.
void CheckWritten(const QString& text, double value, int digits, const QLocale& locale)
{
    double back = 0;
    fuzz::Require(Read(text, locale, back), "a number written is read back");
    const double tolerance = std::fabs(value) * std::pow(10.0, 1 - digits) + 1e-300;
    fuzz::Require(std::fabs(back - value) <= tolerance, "a number reads back as written");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 9)
        return 0;
    const QLocale& locale = LocaleOf(data[0]);
    double value;
    std::memcpy(&value, data + 1, sizeof value);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 9), int(size - 9));

    double read = 0;
    Read(text, locale, read);

    if (std::isfinite(value)) {
        double exact = 0;
        fuzz::Require(Read(FormatGeneral(value, 17, locale), locale, exact) && exact == value,
                      "17 significant digits give the value back exactly");
    }
    // The tables write single-precision values.
    const float stored = float(value);
    if (std::isfinite(stored)) {
        CheckWritten(FormatGeneral(stored, 5, locale), stored, 5, locale);
        CheckWritten(FormatGeneral(stored, 3, locale), stored, 3, locale);
        CheckWritten(FormatExp4(stored, locale), stored, 4, locale);
        double fixed = 0;
        fuzz::Require(Read(FormatFixed2(stored, locale), locale, fixed),
                      "a fixed-form number is read back");
        fuzz::Require(std::fabs(fixed - stored) <= std::max(0.005, std::fabs(stored) * 0.05),
                      "a fixed-form number reads back to two decimals or two digits");
    }
    return 0;
}
