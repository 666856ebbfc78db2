// Exports and prints a report together with the user: asks before replacing a file, shows
// the progress of long reports while the windows stay responsive, and reports failures.
#pragma once

#include "app/report_export.h"

class IPrompts;
class QPrinter;
class QWidget;

class TReportOutput
{
public:
    // `lang` picks the texts; `parent` is the window the progress belongs to.
    TReportOutput(IPrompts& prompts, int lang, QWidget* parent);

    // When a file the export would write exists, asks whether to overwrite it; any answer
    // but Yes leaves every file as it was.
    TExportResult Export(const TReportLayout& layout, TExportFormat format,
                         const QString& fileName);
    TExportResult Print(const TReportLayout& layout, QPrinter& printer,
                        const std::vector<int>& pages);

private:
    IPrompts& m_prompts;
    int m_lang;
    QWidget* m_parent;
};
