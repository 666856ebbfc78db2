#include "models/table_text.h"

#include <algorithm>

namespace
{

const QChar Tab(u'\t');
const QLatin1String LineEnd("\r\n");

} // namespace

QString CopyRowsWithDetails(IKadrel& driver, const TStringGrid& basic, int first, int count,
                            const QString& commentTitle)
{
    TStringGrid scratch;
    driver.UpdateDetailGrid(scratch, first);

    QString text;
    for (int c = 0; c < basic.ColCount(); ++c)
        text += basic.Cell(c, 0) + Tab;
    text += commentTitle + Tab;
    for (int probe = 1; probe <= 5; ++probe) {
        for (int c = 0; c < scratch.ColCount(); ++c)
            text += scratch.Cell(c, 0) + u'(' + QString::number(probe) + u')' + Tab;
    }
    text += LineEnd;
    // A line is about as long as the header line; room for all of them at once spares copying
    // a text of many megabytes again and again while it grows.
    text.reserve(text.size() * qsizetype(std::max(count, 0) + 1));

    for (int r = first; r < first + count; ++r) {
        for (int c = 0; c < basic.ColCount(); ++c) {
            text += basic.Cell(c, r);
            text += Tab;
        }
        text += driver.GetComment(r - 1).replace(u'\r', u' ');
        text += Tab;
        driver.UpdateDetailGrid(scratch, r - 1);
        for (int row = 1; row < scratch.RowCount(); ++row) {
            for (int c = 0; c < scratch.ColCount(); ++c) {
                text += scratch.Cell(c, row);
                text += Tab;
            }
        }
        // The line's last TAB.
        text.chop(1);
        text += LineEnd;
    }
    return text;
}

QString CopyRows(const TStringGrid& grid, int first, int count)
{
    QString text;
    for (int r = first; r < first + count; ++r) {
        for (int c = 0; c < grid.ColCount(); ++c) {
            if (c > 0)
                text += Tab;
            text += grid.Cell(c, r);
        }
        text += LineEnd;
    }
    return text;
}
