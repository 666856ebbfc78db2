// Writes a laid-out report to files (PDF, page images, an HTML table, plain text) and to a
// printer. Files are replaced only by a complete new content; the user's consent to replace
// them is asked elsewhere.
#pragma once

#include "app/report_layout.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QPrinter;

enum class TExportFormat { Pdf, Png, Jpeg, Html, Text };

// Declined: the user chose to keep an existing file, so nothing was written.
enum class TExportResult { Written, Cancelled, Failed, Declined };

// Told the work done so far out of `total` steps (pages, or rows for the table formats);
// returns false to cancel.
using TReportProgress = std::function<bool(int done, int total)>;

// Resolution of the page images.
constexpr double ReportImageDpi = 150;

// The files an export to `fileName` writes. Image formats give one file per page: the first
// page takes the name itself, page n the name with "_" and n before the extension, n padded
// with zeros to the width of the page count (report.png, report_02.png ... report_12.png).
QStringList ExportFileNames(TExportFormat format, const QString& fileName, int pageCount);

// Writes the report as `format` to `fileName` (and the page files after it). On failure
// `error` holds the system's reason.
TExportResult ExportReport(const TReportLayout& layout, TExportFormat format,
                           const QString& fileName, const TReportProgress& progress,
                           QString& error);

// Prints `pages` (from 0) on `printer`, whose paper is set to the report's. Fails when the
// printer cannot be opened.
TExportResult PrintReport(const TReportLayout& layout, QPrinter& printer,
                          const std::vector<int>& pages, const TReportProgress& progress);
