// Widths of texts in one font, each measured once. Numbers that differ only in their digits are
// measured once as well, where the font sets every digit alike: the tables and reports of a full
// archive hold tens of thousands of numbers but a handful of digit patterns.
#pragma once

#include <QHash>
#include <QString>
#include <functional>

class TTextWidths
{
public:
    // `measure` gives the width of a text in the font the widths are kept for.
    explicit TTextWidths(std::function<double(const QString&)> measure);

    double Width(const QString& text);
    qsizetype Size() const { return m_widths.size(); }
    // The text with every digit read as 0 where that keeps its width (and where it breaks into
    // lines), else the text itself. Valid until the next call.
    const QString& Pattern(const QString& text);

private:
    bool DigitsAlike();
    bool DigitsAlikeBeside(QChar neighbour);
    double PairWidth(QChar first, QChar second) const;

    std::function<double(const QString&)> m_measure;
    QHash<QString, double> m_widths;
    // Whether every digit, alone and in pairs, is as wide as 0: -1 until known.
    int m_digitsAlike = -1;
    // Whether digits are alike beside a character, by character.
    QHash<char16_t, bool> m_alikeBeside;
    QString m_pattern;
};
