// Paints the pages of a laid-out report on a paint device whose origin is the paper's top-left
// corner (a printer in full-page mode, a PDF writer without margins, an image of the page),
// converting millimetres at the device's resolution.
#pragma once

#include "app/report_layout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>

class QPainter;
class QPaintDevice;

// A font resolved for one device, with the widths of the texts it has measured.
class TMeasuredFont
{
public:
    TMeasuredFont(const QFont& font, const QPaintDevice* device);
    const QFont& Font() const { return m_font; }
    const QFontMetricsF& Metrics() const { return m_metrics; }
    double Width(const QString& text);

private:
    QFont m_font;
    QFontMetricsF m_metrics;
    QHash<QString, double> m_widths;
};

class TReportPainter
{
public:
    // `painter` must be active on its device.
    TReportPainter(const TReportLayout& layout, QPainter& painter);

    // Page `index`, from 0.
    void PaintPage(int index);

private:
    double X(double mm) const { return mm * m_pxPerMmX; }
    double Y(double mm) const { return mm * m_pxPerMmY; }
    // One line of text in a cell, vertically centred; a text too wide for the cell is set in
    // a smaller font, and clipped when even that does not fit.
    void DrawFittedLine(const QRectF& cell, const QString& text, TMeasuredFont& font,
                        Qt::Alignment horizontal);
    void DrawTitle(double topMm, double leftMm, double widthMm);
    double DrawHeader(double topMm, double leftMm, QVector<QLineF>& frames);
    void DrawSlice(const TReportSlice& slice, double topMm, double leftMm, QVector<QLineF>& frames);
    void DrawFrames(const QVector<QLineF>& frames);

    const TReportLayout& m_layout;
    const TReportDocument& m_doc;
    QPainter& m_painter;
    double m_pxPerMmX;
    double m_pxPerMmY;
    TMeasuredFont m_titleFont;
    TMeasuredFont m_headerFont;
    TMeasuredFont m_dataFont;
};
