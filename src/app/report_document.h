// A prepared report: every text the bands print, read once through the data set, so that the
// report no longer depends on the record table or the driver it was made from.
#pragma once

#include "app/report_templates.h"

#include <QDateTime>
#include <QString>
#include <vector>

class TKadrelDataSet;

class TReportDocument
{
public:
    // Reads the report title, the header titles and, row by row, the data cells of `layout`'s
    // columns through `dataSet` (its range set), the way a banded report engine does.
    // `created` is the moment printed in the title.
    static TReportDocument Prepare(const TReportTemplate& layout, TKadrelDataSet& dataSet,
                                   const QDateTime& created);

    const TReportTemplate& Template() const { return *m_template; }
    int ColumnCount() const { return int(m_template->Columns.size()); }
    int RowCount() const { return m_rowCount; }

    // The title band: the title and the line "( report created on <date>, <time>)".
    const QString& Title() const { return m_title; }
    const QString& DateLine() const { return m_dateLine; }
    const QString& HeaderText(int col) const { return m_headers[size_t(col)]; }
    const QString& Cell(int row, int col) const
    {
        return m_cells[size_t(row) * size_t(ColumnCount()) + size_t(col)];
    }

private:
    const TReportTemplate* m_template = nullptr;
    QString m_title;
    QString m_dateLine;
    std::vector<QString> m_headers;
    std::vector<QString> m_cells;
    int m_rowCount = 0;
};
