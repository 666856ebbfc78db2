#include "app/comment_text.h"

namespace
{

constexpr QChar Quote = QLatin1Char('\'');
constexpr QChar Separator = QLatin1Char('\r');

// Controls and the blank: what makes a line need quotes.
bool isBlank(QChar c)
{
    return c.unicode() >= 0x01 && c.unicode() <= 0x20;
}

// What ends an unquoted line and is skipped between lines: the blanks and NUL.
bool isSeparating(QChar c)
{
    return c.unicode() <= 0x20;
}

bool needsQuotes(const QString& line)
{
    for (QChar c : line)
        if (c == Quote || isBlank(c))
            return true;
    return false;
}

QString quoted(QString line)
{
    line.replace(Quote, QStringLiteral("''"));
    return Quote + line + Quote;
}

} // namespace

QString CommentLinesToText(const QStringList& lines)
{
    if (lines.size() == 1 && lines.front().isEmpty())
        return QStringLiteral("''");
    QString text;
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += Separator;
        text += needsQuotes(lines[i]) ? quoted(lines[i]) : lines[i];
    }
    return text;
}

QStringList CommentTextToLines(const QString& text)
{
    QStringList lines;
    const qsizetype end = text.size();
    qsizetype pos = 0;
    // NUL ends an unquoted line like a blank does; skipping it like one as well means every
    // line starts at a character it consumes, so reading always moves on.
    const auto skipBlanks = [&] {
        while (pos < end && isSeparating(text[pos]))
            ++pos;
    };
    skipBlanks();
    while (pos < end) {
        QString line;
        if (text[pos] == Quote) {
            ++pos;
            while (pos < end) {
                if (text[pos] == Quote) {
                    if (pos + 1 < end && text[pos + 1] == Quote) {
                        line += Quote;
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                line += text[pos++];
            }
        } else {
            const qsizetype start = pos;
            while (pos < end && !isSeparating(text[pos]))
                ++pos;
            line = text.mid(start, pos - start);
        }
        lines.append(line);
        skipBlanks();
    }
    return lines;
}

QStringList CommentPaneLines(const QString& paneText)
{
    QStringList lines = paneText.split(QLatin1Char('\n'));
    if (lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

QString CommentPaneText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1Char('\n');
    return text;
}
