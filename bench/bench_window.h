// The main window's flows at full archive size, each timed from the command to the first paint
// of what it changed: opening a file, merging its duplicates, switching units and language,
// copying the table, and the whole-archive report's preview and PDF export.
#pragma once

#include <QString>

namespace kadrel::bench
{

struct TWindowFigures {
    bool Ok = false;
    QString Failure;
    double OpenSeconds = 0;
    double MergeSeconds = 0;
    int MergeDuplicates = 0;
    double UnitSeconds = 0;
    double LanguageSeconds = 0;
    double CopySeconds = 0;
    qint64 CopyChars = 0;
    // Print: from the command to the first page painted in the preview.
    double PreviewSeconds = 0;
    int ReportPages = 0;
    double PdfSeconds = 0;
    // The longest the event loop went unserved during the export, and whether the export's
    // progress window appeared.
    double PdfLongestStallSeconds = 0;
    bool PdfProgressShown = false;
};

// Which report the flows end with, if any.
enum class TReportRun { None, Plain, WithComments };

// Runs the flows on a new main window over the archive file `archive`. `scratchFolder` holds
// the settings and the PDF.
TWindowFigures RunWindowFlows(const QString& archive, TReportRun report,
                              const QString& scratchFolder);

} // namespace kadrel::bench
