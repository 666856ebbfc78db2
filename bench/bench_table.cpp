#include "bench/bench_table.h"

#include <QLocale>
#include <algorithm>

namespace kadrel::bench
{

namespace
{

QString Number(double value, int decimals)
{
    // Thousands grouped with a thin space keep large rates readable in any locale.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::DefaultNumberOptions);
    QString text = c.toString(value, 'f', decimals);
    return text.replace(u',', QChar(0x2009));
}

} // namespace

bool TTableRow::Met() const
{
    if (!HasTarget() || Runs.IsEmpty())
        return false;
    return Better == TBetter::Higher ? Best() >= Target : Best() <= Target;
}

TTableRow& TResultTable::Add(const QString& measure, const QString& model, const QString& unit,
                             TBetter better, double target, int decimals)
{
    TTableRow row;
    row.Measure = measure;
    row.Model = model;
    row.Unit = unit;
    row.Better = better;
    row.Target = target;
    row.Decimals = decimals;
    m_rows.push_back(row);
    return m_rows.back();
}

QString TResultTable::Markdown() const
{
    QString text = QStringLiteral("| Measure | Model | Best | Spread of runs | Target | |\n"
                                  "|---|---|---:|---:|---:|---|\n");
    for (const TTableRow& row : m_rows) {
        const QString unit = row.Unit.isEmpty() ? QString() : u' ' + row.Unit;
        QString best = QStringLiteral("failed");
        QString spread;
        if (!row.Runs.IsEmpty()) {
            best = Number(row.Best(), row.Decimals) + unit;
            spread = Number(row.Runs.Min(), row.Decimals) + QStringLiteral("–") +
                     Number(row.Runs.Max(), row.Decimals);
        }
        QString target;
        QString verdict;
        if (row.HasTarget()) {
            target = (row.Better == TBetter::Higher ? QStringLiteral("≥ ") : QStringLiteral("≤ ")) +
                     Number(row.Target, row.Decimals) + unit;
            verdict = row.Met() ? QStringLiteral("met") : QStringLiteral("**missed**");
        }
        if (!row.Note.isEmpty())
            verdict += (verdict.isEmpty() ? QString() : QStringLiteral("; ")) + row.Note;
        text += QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 |\n")
                    .arg(row.Measure, row.Model, best, spread, target, verdict);
    }
    return text;
}

bool TResultTable::AllMet() const
{
    for (const TTableRow& row : m_rows)
        if (row.HasTarget() && !row.Met())
            return false;
    return true;
}

bool TResultTable::AllMeasured() const
{
    return std::none_of(m_rows.begin(), m_rows.end(),
                        [](const TTableRow& row) { return row.Runs.IsEmpty(); });
}

} // namespace kadrel::bench
