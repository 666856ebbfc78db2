#include "app/report_painter.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace
{

constexpr double MmPerInch = 25.4;
// The smallest a too wide text is shrunk to, as a share of its font size.
constexpr double MinimumShrink = 0.6;

} // namespace

TMeasuredFont::TMeasuredFont(const QFont& font, const QPaintDevice* device)
    : m_font(font, device), m_metrics(m_font, device)
{
}

double TMeasuredFont::Width(const QString& text)
{
    auto found = m_widths.constFind(text);
    if (found != m_widths.constEnd())
        return *found;
    const double width = m_metrics.horizontalAdvance(text);
    m_widths.insert(text, width);
    return width;
}

TReportPainter::TReportPainter(const TReportLayout& layout, QPainter& painter)
    : m_layout(layout), m_doc(layout.Document()), m_painter(painter),
      m_pxPerMmX(painter.device()->logicalDpiX() / MmPerInch),
      m_pxPerMmY(painter.device()->logicalDpiY() / MmPerInch),
      m_titleFont(ReportTitleFont(), painter.device()),
      m_headerFont(ReportHeaderFont(), painter.device()),
      m_dataFont(ReportDataFont(), painter.device())
{
}

void TReportPainter::PaintPage(int index)
{
    const QPageLayout& page = m_layout.PageLayout();
    const QRectF paper = page.fullRect(QPageLayout::Millimeter);
    const QMarginsF margins = page.margins(QPageLayout::Millimeter);
    const double left = margins.left();
    const double contentWidth = paper.width() - margins.left() - margins.right();

    m_painter.save();
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.setPen(Qt::black);
    double top = margins.top();
    if (index == 0) {
        DrawTitle(top, left, contentWidth);
        top += ReportBand::TitleHeight + ReportBand::DateHeight + ReportBand::TitleGap;
    }
    QVector<QLineF> frames;
    top += DrawHeader(top, left, frames);
    for (const TReportSlice& slice : m_layout.Page(index).Slices) {
        DrawSlice(slice, top, left, frames);
        top += slice.HeightMm;
    }
    DrawFrames(frames);

    const QRectF footer(X(left), Y(paper.height() - margins.bottom() - ReportBand::FooterHeight),
                        X(contentWidth), Y(ReportBand::FooterHeight));
    DrawFittedLine(footer, QStringLiteral("%1 / %2").arg(index + 1).arg(m_layout.PageCount()),
                   m_dataFont, Qt::AlignHCenter);
    m_painter.restore();
}

void TReportPainter::DrawTitle(double topMm, double leftMm, double widthMm)
{
    DrawFittedLine(QRectF(X(leftMm), Y(topMm), X(widthMm), Y(ReportBand::TitleHeight)),
                   m_doc.Title(), m_titleFont, Qt::AlignHCenter);
    DrawFittedLine(QRectF(X(leftMm), Y(topMm + ReportBand::TitleHeight), X(widthMm),
                          Y(ReportBand::DateHeight)),
                   m_doc.DateLine(), m_dataFont, Qt::AlignHCenter);
}

double TReportPainter::DrawHeader(double topMm, double leftMm, QVector<QLineF>& frames)
{
    const auto& columns = m_doc.Template().Columns;
    const double y0 = Y(topMm);
    const double y1 = Y(topMm + ReportBand::HeaderHeight);
    double x = leftMm;
    frames << QLineF(X(x), y0, X(x), y1);
    for (int col = 0; col < int(columns.size()); ++col) {
        const double width = columns[size_t(col)].WidthMm;
        DrawFittedLine(QRectF(X(x), y0, X(width), y1 - y0), m_doc.HeaderText(col), m_headerFont,
                       Qt::AlignHCenter);
        x += width;
        frames << QLineF(X(x), y0, X(x), y1);
    }
    frames << QLineF(X(leftMm), y0, X(x), y0) << QLineF(X(leftMm), y1, X(x), y1);
    return ReportBand::HeaderHeight;
}

// A cell shows its lines of the slice; a cell whose lines all lie in the slice is centred
// vertically, the parts of a cell split over pages start at the top.
void TReportPainter::DrawSlice(const TReportSlice& slice, double topMm, double leftMm,
                               QVector<QLineF>& frames)
{
    const auto& columns = m_doc.Template().Columns;
    const double y0 = Y(topMm);
    const double y1 = Y(topMm + slice.HeightMm);
    const double lineHeight = Y(m_layout.LineHeightMm());
    const double padX = X(ReportBand::CellPadX);
    const bool wraps = m_doc.Template().WithComments;
    const int lastColumn = int(columns.size()) - 1;

    double x = leftMm;
    frames << QLineF(X(x), y0, X(x), y1);
    for (int col = 0; col <= lastColumn; ++col) {
        const double width = columns[size_t(col)].WidthMm;
        const QRectF cell(X(x), y0, X(width), y1 - y0);
        const bool isComment = wraps && col == lastColumn;
        const Qt::Alignment align = isComment ? Qt::AlignLeft : Qt::AlignHCenter;
        if (!wraps) {
            DrawFittedLine(cell, m_doc.Cell(slice.Row, col), m_dataFont, align);
        } else {
            const QStringList lines = m_layout.CellLines(slice.Row, col);
            const int from = slice.FirstLine;
            const int to = std::min(int(lines.size()), slice.FirstLine + slice.LineCount);
            const bool whole = from == 0 && to == int(lines.size());
            double lineTop = whole ? cell.top() + (cell.height() - to * lineHeight) / 2
                                   : cell.top() + Y(ReportBand::CellPadY);
            m_painter.setFont(m_dataFont.Font());
            for (int i = from; i < to; ++i, lineTop += lineHeight) {
                const QString& line = lines[i];
                const double textX =
                    isComment ? cell.left() + padX
                              : cell.left() + (cell.width() - m_dataFont.Width(line)) / 2;
                m_painter.drawText(QPointF(textX, lineTop + m_dataFont.Metrics().ascent()), line);
            }
        }
        x += width;
        frames << QLineF(X(x), y0, X(x), y1);
    }
    frames << QLineF(X(leftMm), y1, X(x), y1);
}

void TReportPainter::DrawFittedLine(const QRectF& cell, const QString& text, TMeasuredFont& font,
                                    Qt::Alignment horizontal)
{
    if (text.isEmpty())
        return;
    const double room = cell.width() - 2 * X(ReportBand::CellPadX);
    double width = font.Width(text);
    QFont used = font.Font();
    double ascent = font.Metrics().ascent();
    double descent = font.Metrics().descent();
    if (width > room && room > 0) {
        used.setPointSizeF(used.pointSizeF() * std::max(room / width, MinimumShrink));
        const QFontMetricsF shrunk(used, m_painter.device());
        width = shrunk.horizontalAdvance(text);
        ascent = shrunk.ascent();
        descent = shrunk.descent();
    }
    const bool clip = width > room;
    const double x = horizontal == Qt::AlignLeft || clip ? cell.left() + X(ReportBand::CellPadX)
                                                         : cell.left() + (cell.width() - width) / 2;
    const double baseline = cell.top() + (cell.height() - (ascent + descent)) / 2 + ascent;
    m_painter.setFont(used);
    if (clip) {
        m_painter.save();
        m_painter.setClipRect(cell, Qt::IntersectClip);
        m_painter.drawText(QPointF(x, baseline), text);
        m_painter.restore();
    } else {
        m_painter.drawText(QPointF(x, baseline), text);
    }
}

// Frames are drawn once per page, crisp: whole device pixels, no smoothing.
void TReportPainter::DrawFrames(const QVector<QLineF>& frames)
{
    QVector<QLineF> snapped;
    snapped.reserve(frames.size());
    for (const QLineF& line : frames)
        snapped << QLineF(std::round(line.x1()), std::round(line.y1()), std::round(line.x2()),
                          std::round(line.y2()));
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Qt::black);
    pen.setWidthF(std::max(1.0, std::round(X(ReportBand::FrameWidth))));
    pen.setCapStyle(Qt::SquareCap);
    m_painter.setPen(pen);
    m_painter.drawLines(snapped);
    m_painter.restore();
}
