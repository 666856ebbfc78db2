#include "app/report_page_view.h"

#include "app/report_painter.h"

#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace
{

constexpr double MmPerInch = 25.4;
// Grey space around the page.
constexpr int PageMarginPx = 12;

} // namespace

TReportPageView::TReportPageView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void TReportPageView::SetLayout(const TReportLayout* layout)
{
    m_layout = layout;
    m_page = 0;
    Relayout();
}

void TReportPageView::Relayout()
{
    if (m_layout)
        m_page = std::clamp(m_page, 0, m_layout->PageCount() - 1);
    DropRendering();
    emit CurrentPageChanged(m_page);
}

void TReportPageView::SetCurrentPage(int page)
{
    if (!m_layout)
        return;
    page = std::clamp(page, 0, m_layout->PageCount() - 1);
    if (page == m_page)
        return;
    m_page = page;
    m_rendered = QImage();
    verticalScrollBar()->setValue(0);
    viewport()->update();
    emit CurrentPageChanged(m_page);
}

void TReportPageView::SetZoom(TZoomMode mode, int percent)
{
    m_zoomMode = mode;
    m_percent = std::clamp(percent, 10, 800);
    DropRendering();
}

void TReportPageView::DropRendering()
{
    m_rendered = QImage();
    UpdateScrollBars();
    viewport()->update();
}

double TReportPageView::PixelsPerMm() const
{
    if (!m_layout)
        return 1;
    const QSizeF paper = m_layout->PageLayout().fullRect(QPageLayout::Millimeter).size();
    const double room = 2.0 * PageMarginPx;
    const double fitWidth = std::max(1.0, viewport()->width() - room) / paper.width();
    switch (m_zoomMode) {
    case FitWidth:
        return fitWidth;
    case WholePage:
        return std::min(fitWidth, std::max(1.0, viewport()->height() - room) / paper.height());
    case Percent:
        break;
    }
    return logicalDpiX() / MmPerInch * m_percent / 100.0;
}

QSize TReportPageView::PageSizePx() const
{
    if (!m_layout)
        return QSize();
    const QSizeF paper = m_layout->PageLayout().fullRect(QPageLayout::Millimeter).size();
    const double scale = PixelsPerMm();
    return QSize(int(std::lround(paper.width() * scale)), int(std::lround(paper.height() * scale)));
}

void TReportPageView::UpdateScrollBars()
{
    const QSize page = PageSizePx() + QSize(2 * PageMarginPx, 2 * PageMarginPx);
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, page.width() - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, std::max(0, page.height() - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(20);
}

void TReportPageView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (m_zoomMode != Percent)
        m_rendered = QImage();
    UpdateScrollBars();
}

void TReportPageView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), QColor(128, 128, 128));
    if (!m_layout || m_layout->PageCount() == 0)
        return;
    const QSize size = PageSizePx();
    const double ratio = devicePixelRatioF();
    if (m_rendered.isNull() || m_renderedPage != m_page) {
        const QSize pixels(int(std::lround(size.width() * ratio)),
                           int(std::lround(size.height() * ratio)));
        m_rendered = QImage(pixels, QImage::Format_RGB32);
        const int dotsPerMeter = int(std::lround(PixelsPerMm() * ratio * 1000));
        m_rendered.setDotsPerMeterX(dotsPerMeter);
        m_rendered.setDotsPerMeterY(dotsPerMeter);
        m_rendered.fill(Qt::white);
        {
            QPainter pagePainter(&m_rendered);
            TReportPainter(*m_layout, pagePainter).PaintPage(m_page);
        }
        m_rendered.setDevicePixelRatio(ratio);
        m_renderedPage = m_page;
    }
    const int x = std::max(PageMarginPx, (viewport()->width() - size.width()) / 2) -
                  horizontalScrollBar()->value();
    const int y = std::max(PageMarginPx, (viewport()->height() - size.height()) / 2) -
                  verticalScrollBar()->value();
    painter.fillRect(QRect(QPoint(x + 3, y + 3), size), QColor(64, 64, 64));
    painter.drawImage(QPoint(x, y), m_rendered);
}

// Scrolling on past the end of a page turns to the next one, past the start to the previous.
void TReportPageView::wheelEvent(QWheelEvent* event)
{
    QScrollBar* bar = verticalScrollBar();
    const int delta = event->angleDelta().y();
    if (delta < 0 && bar->value() == bar->maximum() && m_layout &&
        m_page + 1 < m_layout->PageCount()) {
        SetCurrentPage(m_page + 1);
        bar->setValue(0);
        event->accept();
        return;
    }
    if (delta > 0 && bar->value() == 0 && m_page > 0) {
        SetCurrentPage(m_page - 1);
        bar->setValue(bar->maximum());
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}
