// The captions and messages of the report preview and the report exports in Russian and
// English.
#pragma once

#include <QString>

enum TReportText {
    rtPreviewTitle,
    rtFirstPage,
    rtPreviousPage,
    rtNextPage,
    rtLastPage,
    rtPageOf,
    rtFitWidth,
    rtWholePage,
    rtZoom,
    rtPrint,
    rtPageSetup,
    rtExport,
    rtExportPdf,
    rtExportPng,
    rtExportJpeg,
    rtExportHtml,
    rtExportText,
    rtClose,
    rtOverwrite,
    rtExporting,
    rtPrinting,
    rtCancel,
    rtWriteFailed,
    rtPrintFailed,
    ReportTextCount
};

// Text `id` in language `lang` (0 Russian, anything else English). rtPageOf takes the page
// count as %1; rtOverwrite the file name; rtWriteFailed the file name and the reason.
QString ReportText(int id, int lang);
