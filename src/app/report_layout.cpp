#include "app/report_layout.h"

#include "app/text_widths.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace
{

constexpr double MmPerInch = 25.4;

QFont ReportFont(double points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

// A line of a wrapped text: where it starts in the text and how many characters it holds.
struct TSpan {
    qsizetype Start;
    qsizetype Length;
};

// The lines of `text` within `widthPx`: each CR, LF or CR LF ends a line; longer lines break at
// word boundaries, or anywhere when one word is too long. Texts that differ only in digits the
// font sets alike break at the same places.
std::vector<TSpan> WrapSpans(const QString& text, const QFont& font, const QPaintDevice* device,
                             double widthPx)
{
    const QFontMetricsF metrics(font, device);
    std::vector<TSpan> spans;
    qsizetype start = 0;
    for (;;) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QString paragraph = text.mid(start, end - start);
        if (metrics.horizontalAdvance(paragraph) <= widthPx) {
            spans.push_back({start, end - start});
        } else {
            QTextLayout layout(paragraph, font, device);
            QTextOption option;
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            option.setUseDesignMetrics(true);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(widthPx);
                qsizetype length = line.textLength();
                while (length > 0 && paragraph[line.textStart() + length - 1].isSpace())
                    --length;
                spans.push_back({start + line.textStart(), length});
            }
            layout.endLayout();
        }
        if (end == text.size())
            return spans;
        start =
            end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
    }
}

QStringList Lines(const QString& text, const std::vector<TSpan>& spans)
{
    QStringList lines;
    lines.reserve(qsizetype(spans.size()));
    for (const TSpan& span : spans)
        lines << text.mid(span.Start, span.Length);
    return lines;
}

bool HasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

} // namespace

QFont ReportTitleFont()
{
    return ReportFont(14, true);
}

QFont ReportHeaderFont()
{
    return ReportFont(9, true);
}

QFont ReportDataFont()
{
    return ReportFont(9, false);
}

TReportLayout::TReportLayout(TReportDocument document, double measureDpi)
    : m_document(std::move(document)), m_pageLayout(m_document.Template().PageLayout())
{
    MeasureRows(measureDpi);
    Paginate();
}

void TReportLayout::SetPageLayout(const QPageLayout& pageLayout)
{
    m_pageLayout = pageLayout;
    Paginate();
}

int TReportLayout::RowLines(int row) const
{
    const auto found = m_rowLines.find(row);
    return found == m_rowLines.end() ? 1 : found->second;
}

QStringList TReportLayout::CellLines(int row, int col) const
{
    const auto found = m_wrapped.find(qint64(row) * m_document.ColumnCount() + col);
    if (found != m_wrapped.end())
        return found->second;
    return QStringList{m_document.Cell(row, col)};
}

double TReportLayout::SliceHeightMm(int row, int firstLine, int lineCount) const
{
    const double wrapped = lineCount * m_lineHeightMm + 2 * ReportBand::CellPadY;
    if (firstLine == 0 && lineCount == RowLines(row))
        return std::max(ReportBand::RowHeight, wrapped);
    return wrapped;
}

// Only the templates with comments wrap; there a cell that fits on one line costs one width
// measurement and nothing is stored for it.
void TReportLayout::MeasureRows(double measureDpi)
{
    QImage device(1, 1, QImage::Format_RGB32);
    const int dotsPerMeter = int(std::lround(measureDpi / MmPerInch * 1000));
    device.setDotsPerMeterX(dotsPerMeter);
    device.setDotsPerMeterY(dotsPerMeter);
    const double pxPerMm = device.logicalDpiY() / MmPerInch;

    const QFont font = ReportDataFont();
    const QFontMetricsF metrics(font, &device);
    m_lineHeightMm = metrics.lineSpacing() / pxPerMm;
    if (!m_document.Template().WithComments)
        return;

    const auto& columns = m_document.Template().Columns;
    std::vector<double> innerWidthPx;
    for (const TReportColumn& column : columns)
        innerWidthPx.push_back((column.WidthMm - 2 * ReportBand::CellPadX) * pxPerMm);

    // Dates, names and conditions repeat from row to row, and numbers share their digit
    // patterns: each distinct text or pattern is measured once.
    TTextWidths widths([&metrics](const QString& text) { return metrics.horizontalAdvance(text); });
    const int cols = m_document.ColumnCount();
    // A text too wide for its column there (a material, a condition, a long number) wraps
    // alike in every row, and so do numbers of one digit pattern.
    std::vector<QHash<QString, std::vector<TSpan>>> wrapsByPattern(static_cast<size_t>(cols));
    for (int row = 0; row < m_document.RowCount(); ++row) {
        int rowLines = 1;
        for (int col = 0; col < cols; ++col) {
            const QString& text = m_document.Cell(row, col);
            if (text.isEmpty())
                continue;
            const double width = innerWidthPx[size_t(col)];
            if (!HasLineBreak(text) && widths.Width(text) <= width)
                continue;
            QHash<QString, std::vector<TSpan>>& wraps = wrapsByPattern[size_t(col)];
            const QString& pattern = widths.Pattern(text);
            auto spans = wraps.constFind(pattern);
            if (spans == wraps.constEnd())
                spans = wraps.insert(pattern, WrapSpans(text, font, &device, width));
            rowLines = std::max(rowLines, int(spans->size()));
            m_wrapped.emplace(qint64(row) * cols + col, Lines(text, *spans));
        }
        if (rowLines > 1)
            m_rowLines.emplace(row, rowLines);
    }
}

// Rows go whole onto the page they fit on; a row taller than an empty page is split between
// lines over as many pages as it needs.
void TReportLayout::Paginate()
{
    m_pages.clear();
    const QRectF paper = m_pageLayout.fullRect(QPageLayout::Millimeter);
    const QMarginsF margins = m_pageLayout.margins(QPageLayout::Millimeter);
    const double bodyHeight = paper.height() - margins.top() - margins.bottom() -
                              ReportBand::HeaderHeight - ReportBand::FooterHeight;
    const double titleHeight =
        ReportBand::TitleHeight + ReportBand::DateHeight + ReportBand::TitleGap;
    // At least one line per page, however small the paper.
    const double minimumRoom = ReportBand::RowHeight;

    m_pages.emplace_back();
    double room = std::max(bodyHeight - titleHeight, minimumRoom);
    auto newPage = [&] {
        m_pages.emplace_back();
        room = std::max(bodyHeight, minimumRoom);
    };

    for (int row = 0; row < m_document.RowCount(); ++row) {
        const int lines = RowLines(row);
        int first = 0;
        while (first < lines) {
            const int rest = lines - first;
            const double height = SliceHeightMm(row, first, rest);
            if (height <= room + 1e-9) {
                m_pages.back().Slices.push_back({row, first, rest, height});
                room -= height;
                break;
            }
            if (!m_pages.back().Slices.empty()) {
                newPage();
                continue;
            }
            const int fit = std::max(
                1, int(std::floor((room - 2 * ReportBand::CellPadY) / m_lineHeightMm + 1e-9)));
            const int count = std::min(fit, rest);
            const double part = SliceHeightMm(row, first, count);
            m_pages.back().Slices.push_back({row, first, count, part});
            room -= part;
            first += count;
            if (first < lines)
                newPage();
        }
    }
}
