#include "app/text_widths.h"

namespace
{

bool IsDigit(QChar ch)
{
    return ch.unicode() >= u'0' && ch.unicode() <= u'9';
}

} // namespace

TTextWidths::TTextWidths(std::function<double(const QString&)> measure)
    : m_measure(std::move(measure))
{
}

double TTextWidths::Width(const QString& text)
{
    const QString& key = Pattern(text);
    auto it = m_widths.constFind(key);
    if (it == m_widths.constEnd())
        it = m_widths.insert(key, m_measure(text));
    return *it;
}

const QString& TTextWidths::Pattern(const QString& text)
{
    const QChar* chars = text.constData();
    const qsizetype length = text.size();
    bool hasDigits = false;
    for (qsizetype i = 0; i < length; ++i) {
        if (!IsDigit(chars[i]))
            continue;
        hasDigits = true;
        if (!DigitsAlike() || (i > 0 && !DigitsAlikeBeside(chars[i - 1])) ||
            (i + 1 < length && !DigitsAlikeBeside(chars[i + 1])))
            return text;
    }
    if (!hasDigits)
        return text;
    m_pattern.resize(length);
    QChar* pattern = m_pattern.data();
    for (qsizetype i = 0; i < length; ++i)
        pattern[i] = IsDigit(chars[i]) ? QLatin1Char('0') : chars[i];
    return m_pattern;
}

bool TTextWidths::DigitsAlike()
{
    if (m_digitsAlike < 0) {
        const double one = m_measure(QStringLiteral("0"));
        const double two = m_measure(QStringLiteral("00"));
        bool alike = true;
        for (char16_t first = u'0'; first <= u'9' && alike; ++first) {
            alike = m_measure(QString(QChar(first))) == one;
            for (char16_t second = u'0'; second <= u'9' && alike; ++second)
                alike = PairWidth(QChar(first), QChar(second)) == two;
        }
        m_digitsAlike = alike ? 1 : 0;
    }
    return m_digitsAlike == 1;
}

// True when every digit next to `neighbour`, on either side, takes the room 0 takes there.
bool TTextWidths::DigitsAlikeBeside(QChar neighbour)
{
    if (IsDigit(neighbour))
        return true;
    const auto known = m_alikeBeside.constFind(neighbour.unicode());
    if (known != m_alikeBeside.constEnd())
        return *known;
    const double after = PairWidth(neighbour, QLatin1Char('0'));
    const double before = PairWidth(QLatin1Char('0'), neighbour);
    bool alike = true;
    for (char16_t digit = u'1'; digit <= u'9' && alike; ++digit)
        alike = PairWidth(neighbour, QChar(digit)) == after &&
                PairWidth(QChar(digit), neighbour) == before;
    m_alikeBeside.insert(neighbour.unicode(), alike);
    return alike;
}

double TTextWidths::PairWidth(QChar first, QChar second) const
{
    const QChar pair[] = {first, second};
    return m_measure(QString(pair, 2));
}
