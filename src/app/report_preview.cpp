#include "app/report_preview.h"

#include "app/report_output.h"
#include "app/report_page_view.h"
#include "app/report_texts.h"
#include "link/prompts.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace
{

// Zoom choices after "page width" and "whole page".
const int ZoomPercents[] = {50, 75, 100, 150, 200};

struct TFormatFile {
    TExportFormat Format;
    int Caption;
    const char* Filter;
    const char* Extension;
};

const TFormatFile FormatFiles[] = {
    {TExportFormat::Pdf, rtExportPdf, "PDF (*.pdf)|*.pdf", ".pdf"},
    {TExportFormat::Png, rtExportPng, "PNG (*.png)|*.png", ".png"},
    {TExportFormat::Jpeg, rtExportJpeg, "JPEG (*.jpg)|*.jpg", ".jpg"},
    {TExportFormat::Html, rtExportHtml, "HTML (*.html)|*.html", ".html"},
    {TExportFormat::Text, rtExportText, "TXT (*.txt)|*.txt", ".txt"},
};

const TFormatFile& FormatFile(TExportFormat format)
{
    for (const TFormatFile& file : FormatFiles)
        if (file.Format == format)
            return file;
    return FormatFiles[0];
}

} // namespace

TReportPreview::TReportPreview(std::unique_ptr<TReportLayout> report, IPrompts& prompts, int lang,
                               QWidget* parent)
    : QDialog(parent), m_report(std::move(report)), m_prompts(prompts), m_lang(lang)
{
    setWindowTitle(Text(rtPreviewTitle));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    resize(820, 960);

    auto* bar = new QToolBar(this);
    m_view = new TReportPageView(this);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(bar);
    column->addWidget(m_view, 1);
    BuildToolBar(bar);

    connect(m_view, &TReportPageView::CurrentPageChanged, this, &TReportPreview::ShowPageNumber);
    m_view->SetLayout(m_report.get());
    m_view->setFocus();
}

TReportPreview::~TReportPreview() = default;

QString TReportPreview::Text(int id) const
{
    return ReportText(id, m_lang);
}

void TReportPreview::BuildToolBar(QToolBar* bar)
{
    auto addAction = [&](int caption, QStyle::StandardPixmap icon, const QKeySequence& key,
                         auto slot) {
        QAction* action = bar->addAction(style()->standardIcon(icon), Text(caption));
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    addAction(rtFirstPage, QStyle::SP_MediaSkipBackward, QKeySequence(Qt::CTRL | Qt::Key_Home),
              [this] { SetCurrentPage(0); });
    addAction(rtPreviousPage, QStyle::SP_MediaSeekBackward, QKeySequence(Qt::Key_PageUp),
              [this] { SetCurrentPage(CurrentPage() - 1); });

    m_pageBox = new QSpinBox(bar);
    m_pageBox->setRange(1, std::max(1, m_report->PageCount()));
    m_pageBox->setKeyboardTracking(false);
    m_pageBox->setAccelerated(true);
    bar->addWidget(m_pageBox);
    m_pageCount = new QLabel(bar);
    m_pageCount->setContentsMargins(4, 0, 4, 0);
    bar->addWidget(m_pageCount);
    connect(m_pageBox, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int number) { SetCurrentPage(number - 1); });

    addAction(rtNextPage, QStyle::SP_MediaSeekForward, QKeySequence(Qt::Key_PageDown),
              [this] { SetCurrentPage(CurrentPage() + 1); });
    addAction(rtLastPage, QStyle::SP_MediaSkipForward, QKeySequence(Qt::CTRL | Qt::Key_End),
              [this] { SetCurrentPage(m_report->PageCount() - 1); });
    bar->addSeparator();

    m_zoomBox = new QComboBox(bar);
    m_zoomBox->setToolTip(Text(rtZoom));
    m_zoomBox->addItem(Text(rtFitWidth));
    m_zoomBox->addItem(Text(rtWholePage));
    for (int percent : ZoomPercents)
        m_zoomBox->addItem(QStringLiteral("%1%").arg(percent));
    bar->addWidget(m_zoomBox);
    connect(m_zoomBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &TReportPreview::ApplyZoom);
    bar->addSeparator();

    QAction* print = bar->addAction(Text(rtPrint));
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, &TReportPreview::PrintWithDialog);
    QAction* setup = bar->addAction(Text(rtPageSetup));
    connect(setup, &QAction::triggered, this, &TReportPreview::PageSetup);

    auto* exportMenu = new QMenu(this);
    for (const TFormatFile& file : FormatFiles) {
        const TExportFormat format = file.Format;
        connect(exportMenu->addAction(Text(file.Caption)), &QAction::triggered, this,
                [this, format] { ExportAs(format); });
    }
    auto* exportButton = new QToolButton(bar);
    exportButton->setText(Text(rtExport));
    exportButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    exportButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    exportButton->setMenu(exportMenu);
    exportButton->setPopupMode(QToolButton::InstantPopup);
    bar->addWidget(exportButton);
    bar->addSeparator();

    QAction* close = bar->addAction(Text(rtClose));
    connect(close, &QAction::triggered, this, &QDialog::close);
}

int TReportPreview::CurrentPage() const
{
    return m_view->CurrentPage();
}

void TReportPreview::SetCurrentPage(int page)
{
    m_view->SetCurrentPage(page);
}

void TReportPreview::ShowPageNumber(int page)
{
    const QSignalBlocker block(m_pageBox);
    m_pageBox->setMaximum(std::max(1, m_report->PageCount()));
    m_pageBox->setValue(page + 1);
    m_pageCount->setText(Text(rtPageOf).arg(m_report->PageCount()));
}

void TReportPreview::ApplyZoom(int index)
{
    if (index == 0)
        m_view->SetZoom(TReportPageView::FitWidth);
    else if (index == 1)
        m_view->SetZoom(TReportPageView::WholePage);
    else
        m_view->SetZoom(TReportPageView::Percent, ZoomPercents[index - 2]);
}

QPrinter& TReportPreview::Printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_printer->setPageLayout(m_report->PageLayout());
    return *m_printer;
}

// Files get the format's extension when the name typed has none.
TExportResult TReportPreview::ExportAs(TExportFormat format)
{
    const TFormatFile& file = FormatFile(format);
    int filterIndex = 1;
    QString name =
        m_prompts.ChooseSaveFile(QString::fromLatin1(file.Filter), filterIndex,
                                 QStringLiteral("report") + file.Extension, m_exportFolder);
    if (name.isEmpty())
        return TExportResult::Cancelled;
    if (!QFileInfo(name).fileName().contains(QLatin1Char('.')))
        name += QLatin1String(file.Extension);
    m_exportFolder = QFileInfo(name).absolutePath();
    return TReportOutput(m_prompts, m_lang, this).Export(*m_report, format, name);
}

void TReportPreview::PrintWithDialog()
{
    QPrinter& printer = Printer();
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, m_report->PageCount());
    if (dialog.exec() != QDialog::Accepted)
        return;
    std::vector<int> pages;
    const int count = m_report->PageCount();
    const QPageRanges ranges = printer.pageRanges();
    const bool ranged = printer.printRange() == QPrinter::PageRange && !ranges.isEmpty();
    if (printer.printRange() == QPrinter::CurrentPage)
        pages.push_back(CurrentPage());
    else
        for (int page = 0; page < count; ++page)
            if (!ranged || ranges.contains(page + 1))
                pages.push_back(page);
    TReportOutput(m_prompts, m_lang, this).Print(*m_report, printer, pages);
}

void TReportPreview::PageSetup()
{
    QPrinter& printer = Printer();
    QPageSetupDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_report->SetPageLayout(printer.pageLayout());
    m_view->Relayout();
}
