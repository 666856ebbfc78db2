#include "link/port_diff.h"

#include <algorithm>

namespace
{

void sortAsText(QStringList& names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
}

// The first position below `limit` where the lists hold different names, else `limit`.
int firstDifference(const QStringList& a, const QStringList& b, int limit)
{
    int i = 0;
    while (i < limit && a[i] == b[i])
        ++i;
    return i;
}

} // namespace

TPortDiff DiffPorts(QStringList known, QStringList present)
{
    if (known.size() == present.size())
        return {};
    sortAsText(known);
    sortAsText(present);
    if (present.size() > known.size())
        return {+1, present[firstDifference(known, present, known.size())]};
    return {-1, known[firstDifference(known, present, present.size())]};
}
