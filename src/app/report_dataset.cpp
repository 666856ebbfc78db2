#include "app/report_dataset.h"

#include "link/kadrel_driver.h"
#include "models/messages.h"
#include "models/string_grid.h"

TKadrelDataSet::TKadrelDataSet(const TStringGrid& basicGrid, IKadrel* driver, int lang)
    : m_grid(basicGrid), m_driver(driver), m_lang(lang)
{
}

void TKadrelDataSet::SetRange(int firstLine, int linesTotal)
{
    m_firstLine = firstLine;
    m_linesTotal = linesTotal;
}

void TKadrelDataSet::First()
{
    m_recordCount = m_linesTotal;
    m_recNo = 0;
}

bool TKadrelDataSet::Eof() const
{
    return m_recNo >= m_linesTotal;
}

QString TKadrelDataSet::GetValue(const QString& name) const
{
    if (name == QLatin1String("msgReportTitle"))
        return Message(msgReportTitle, m_lang);
    if (name == QLatin1String("msgReportDate"))
        return Message(msgReportDate, m_lang);
    const QLatin1String comment("Comment");
    const QLatin1String title("Title");
    const QLatin1String data("Data");
    if (name.startsWith(title)) {
        if (name.contains(comment))
            return Message(msgComment, m_lang);
        return GridCell(name.mid(title.size()), 0);
    }
    if (name.startsWith(data)) {
        if (name.contains(comment))
            return m_driver ? m_driver->GetComment(m_firstLine + m_recNo - 1) : QString();
        return GridCell(name.mid(data.size()), m_firstLine + m_recNo);
    }
    return QStringLiteral("Unknown field");
}

// A column number that is not one, or lies beyond the grid, reads as an empty cell.
QString TKadrelDataSet::GridCell(const QString& digits, int row) const
{
    bool ok = false;
    const int col = digits.toInt(&ok);
    if (!ok || col < 0 || col >= m_grid.ColCount())
        return QString();
    return m_grid.Cell(col, row);
}
