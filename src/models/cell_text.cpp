#include "models/cell_text.h"

#include "models/cp1251.h"

#include <algorithm>

namespace
{

// Writes `value` in decimal with at least `minDigits` digits after a minus sign, as printf's
// "%.2d" does, and returns the end. A table fills tens of thousands of these cells at once,
// which a formatted print makes slow.
char* WriteNumber(char* out, int value, int minDigits)
{
    if (value < 0)
        *out++ = '-';
    unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value);
    char reversed[12];
    int count = 0;
    do {
        reversed[count++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    while (count < minDigits)
        reversed[count++] = '0';
    return std::reverse_copy(reversed, reversed + count, out);
}

} // namespace

QString DateCell(const TArchBase& base)
{
    char text[32];
    char* end = WriteNumber(text, base.DateTime.Day, 2);
    *end++ = '.';
    end = WriteNumber(end, base.DateTime.Month, 2);
    *end++ = '.';
    end = WriteNumber(end, base.DateTime.Year + 2000, 1);
    return QString::fromLatin1(text, end - text);
}

QString TimeCell(const TArchBase& base)
{
    char text[16];
    char* end = WriteNumber(text, base.DateTime.Hour, 2);
    *end++ = ':';
    end = WriteNumber(end, base.DateTime.Minute, 2);
    return QString::fromLatin1(text, end - text);
}

QString NumCell(const TArchBase& base)
{
    return QString::number(base.Num);
}

QString NameCell(const TObjName& name)
{
    return FromCp1251(name.Name, int(sizeof name.Name));
}
