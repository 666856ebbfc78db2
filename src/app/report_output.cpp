#include "app/report_output.h"

#include "app/report_texts.h"
#include "link/prompts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

namespace
{

// Long runs only: the dialog appears when the work takes longer than this.
constexpr int ProgressDelayMs = 500;

// A progress dialog that lets the event loop run between steps; it blocks the other windows
// so none of them can close the report under the running export.
class TProgressWindow
{
public:
    TProgressWindow(const QString& label, const QString& cancel, QWidget* parent)
        : m_dialog(label, cancel, 0, 1, parent)
    {
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(ProgressDelayMs);
        m_dialog.setAutoReset(false);
        m_dialog.setValue(0);
    }

    TReportProgress Callback()
    {
        return [this](int done, int total) {
            m_dialog.setMaximum(total);
            m_dialog.setValue(done);
            QApplication::processEvents();
            return !m_dialog.wasCanceled();
        };
    }

private:
    QProgressDialog m_dialog;
};

} // namespace

TReportOutput::TReportOutput(IPrompts& prompts, int lang, QWidget* parent)
    : m_prompts(prompts), m_lang(lang), m_parent(parent)
{
}

TExportResult TReportOutput::Export(const TReportLayout& layout, TExportFormat format,
                                    const QString& fileName)
{
    for (const QString& file : ExportFileNames(format, fileName, layout.PageCount())) {
        if (!QFileInfo::exists(file))
            continue;
        const QString question =
            ReportText(rtOverwrite, m_lang).arg(QDir::toNativeSeparators(file));
        if (m_prompts.Ask(question) != IPrompts::Yes)
            return TExportResult::Declined;
        break;
    }
    TProgressWindow progress(ReportText(rtExporting, m_lang), ReportText(rtCancel, m_lang),
                             m_parent);
    QString error;
    const TExportResult result = ExportReport(layout, format, fileName, progress.Callback(), error);
    if (result == TExportResult::Failed)
        m_prompts.ShowError(
            ReportText(rtWriteFailed, m_lang).arg(QDir::toNativeSeparators(fileName), error));
    return result;
}

TExportResult TReportOutput::Print(const TReportLayout& layout, QPrinter& printer,
                                   const std::vector<int>& pages)
{
    TProgressWindow progress(ReportText(rtPrinting, m_lang), ReportText(rtCancel, m_lang),
                             m_parent);
    const TExportResult result = PrintReport(layout, printer, pages, progress.Callback());
    if (result == TExportResult::Failed)
        m_prompts.ShowError(ReportText(rtPrintFailed, m_lang));
    return result;
}
