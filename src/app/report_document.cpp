#include "app/report_document.h"

#include "app/report_dataset.h"

#include <QLocale>
#include <algorithm>

TReportDocument TReportDocument::Prepare(const TReportTemplate& layout, TKadrelDataSet& dataSet,
                                         const QDateTime& created)
{
    TReportDocument doc;
    doc.m_template = &layout;
    const QLocale locale;
    doc.m_title = dataSet.GetValue(QStringLiteral("msgReportTitle"));
    doc.m_dateLine = QStringLiteral("( ") + dataSet.GetValue(QStringLiteral("msgReportDate")) +
                     QLatin1Char(' ') + locale.toString(created.date(), QLocale::ShortFormat) +
                     QStringLiteral(", ") + created.time().toString(QStringLiteral("HH:mm:ss")) +
                     QLatin1Char(')');

    dataSet.First();
    for (const TReportColumn& column : layout.Columns)
        doc.m_headers.push_back(dataSet.GetValue(column.TitleField));
    doc.m_cells.reserve(size_t(std::max(dataSet.RecordCount(), 0)) * layout.Columns.size());
    for (; !dataSet.Eof(); dataSet.Next()) {
        for (const TReportColumn& column : layout.Columns)
            doc.m_cells.push_back(dataSet.GetValue(column.DataField));
        ++doc.m_rowCount;
    }
    return doc;
}
