// Shows one page of a laid-out report at a zoom, scrolling when it is larger than the view.
// Only the page on show is rendered, so long reports open at once.
#pragma once

#include "app/report_layout.h"

#include <QAbstractScrollArea>
#include <QImage>

class TReportPageView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    enum TZoomMode { FitWidth, WholePage, Percent };

    explicit TReportPageView(QWidget* parent = nullptr);

    // The layout stays owned by the caller and must outlive the view or be replaced.
    void SetLayout(const TReportLayout* layout);
    // Call after the layout's pages have changed.
    void Relayout();

    int CurrentPage() const { return m_page; }
    void SetCurrentPage(int page);
    void SetZoom(TZoomMode mode, int percent = 100);
    TZoomMode ZoomMode() const { return m_zoomMode; }

signals:
    void CurrentPageChanged(int page);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Screen pixels per millimetre of paper at the current zoom.
    double PixelsPerMm() const;
    QSize PageSizePx() const;
    void UpdateScrollBars();
    void DropRendering();

    const TReportLayout* m_layout = nullptr;
    int m_page = 0;
    TZoomMode m_zoomMode = FitWidth;
    int m_percent = 100;
    QImage m_rendered;
    int m_renderedPage = -1;
};
