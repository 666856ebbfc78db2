// The figures of a benchmark run as a Markdown table: each measure with its best run, the
// spread over all runs and its target.
#pragma once

#include "bench/bench_support.h"

#include <QString>
#include <deque>

namespace kadrel::bench
{

enum class TBetter { Lower, Higher };

struct TTableRow {
    QString Measure;
    QString Model;
    QString Unit;
    TRuns Runs;
    TBetter Better = TBetter::Lower;
    // The target as a bound; no target when NaN.
    double Target = 0;
    int Decimals = 0;
    QString Note;

    double Best() const { return Better == TBetter::Higher ? Runs.Max() : Runs.Min(); }
    bool HasTarget() const { return Target == Target; }
    bool Met() const;
};

class TResultTable
{
public:
    TTableRow& Add(const QString& measure, const QString& model, const QString& unit,
                   TBetter better, double target, int decimals);
    // The table in Markdown; a failed measure shows as such.
    QString Markdown() const;
    bool AllMet() const;
    // False when a measure failed in every run.
    bool AllMeasured() const;

private:
    // A deque, so that the rows handed out stay where they are while more are added.
    std::deque<TTableRow> m_rows;
};

} // namespace kadrel::bench
