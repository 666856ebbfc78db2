// The report laid out on pages: band sizes and fonts, the height of every row (its cells'
// wrapped lines in the templates with comments) and the split of the rows into pages.
// Lengths are millimetres, so one layout paints on a printer, a PDF or an image alike.
#pragma once

#include "app/report_document.h"

#include <QFont>
#include <QPageLayout>
#include <QStringList>
#include <unordered_map>
#include <vector>

// Band sizes, in millimetres.
namespace ReportBand
{
constexpr double TitleHeight = 8;
constexpr double DateHeight = 6;
constexpr double TitleGap = 3;
constexpr double HeaderHeight = 15;
constexpr double RowHeight = 5;
constexpr double FooterHeight = 8;
constexpr double CellPadX = 1;
constexpr double CellPadY = 0.5;
constexpr double FrameWidth = 0.2;
} // namespace ReportBand

// Fonts asked for by family "Arial"; scaled glyph metrics, so that text measured at one
// resolution fits the same at any other.
QFont ReportTitleFont();
QFont ReportHeaderFont();
QFont ReportDataFont();

// A row, or the part of a tall row, printed on one page: lines [FirstLine, FirstLine + LineCount)
// of each cell.
struct TReportSlice {
    int Row;
    int FirstLine;
    int LineCount;
    double HeightMm;
};

struct TReportPage {
    std::vector<TReportSlice> Slices;
};

class TReportLayout
{
public:
    // Measures every row of `document`; `measureDpi` is the resolution the texts are measured
    // at. Then paginates on the template's paper.
    explicit TReportLayout(TReportDocument document, double measureDpi = 1200);

    const TReportDocument& Document() const { return m_document; }

    // The paper and margins the pages are split for; changing them paginates again.
    const QPageLayout& PageLayout() const { return m_pageLayout; }
    void SetPageLayout(const QPageLayout& pageLayout);

    int PageCount() const { return int(m_pages.size()); }
    const TReportPage& Page(int index) const { return m_pages[size_t(index)]; }

    // Line pitch of the data font.
    double LineHeightMm() const { return m_lineHeightMm; }
    // The number of printed lines of a row: 1 unless its cells wrap.
    int RowLines(int row) const;
    // The lines of one cell: its wrapped lines, or the cell text as its one line.
    QStringList CellLines(int row, int col) const;
    // Height of lines [first, first + count) of a row, its cells' padding included.
    double SliceHeightMm(int row, int firstLine, int lineCount) const;

private:
    void MeasureRows(double measureDpi);
    void Paginate();

    TReportDocument m_document;
    QPageLayout m_pageLayout;
    double m_lineHeightMm = 0;
    // Only for rows with more than one line: lines per row and the wrapped cells' lines.
    std::unordered_map<int, int> m_rowLines;
    std::unordered_map<qint64, QStringList> m_wrapped;
    std::vector<TReportPage> m_pages;
};
