// The report's one data set: its rows are a block of the record table, its fields the table's
// header and cells, the records' comments and the report's own texts.
#pragma once

#include <QString>

class IKadrel;
class TStringGrid;

class TKadrelDataSet
{
public:
    // The grid and the driver are read while a report is prepared; the driver may be null
    // (comments then read as empty). `lang` picks the messages.
    TKadrelDataSet(const TStringGrid& basicGrid, IKadrel* driver, int lang);

    // The block of grid rows to report: report row 0 is grid row `firstLine`.
    void SetRange(int firstLine, int linesTotal);
    int ReportFirstLine() const { return m_firstLine; }
    int ReportLinesTotal() const { return m_linesTotal; }

    // Before the first row.
    void First();
    // Whether the current row is past the last one.
    bool Eof() const;
    void Next() { ++m_recNo; }
    // The current report row, from 0.
    int RecNo() const { return m_recNo; }
    int RecordCount() const { return m_recordCount; }

    // The value of field `name` in the current row; "Unknown field" for a name it lacks.
    QString GetValue(const QString& name) const;

private:
    QString GridCell(const QString& digits, int row) const;

    const TStringGrid& m_grid;
    IKadrel* m_driver;
    int m_lang;
    int m_firstLine = 0;
    int m_linesTotal = 0;
    int m_recordCount = 0;
    int m_recNo = 0;
};
