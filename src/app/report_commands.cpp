#include "app/report_commands.h"

#include "app/report_dataset.h"
#include "app/report_preview.h"
#include "link/kadrel_driver.h"
#include "link/prompts.h"
#include "models/messages.h"

TReportRange PrintReportRange(int top, int bottom, int rowCount, IPrompts& prompts, int lang)
{
    const TReportRange whole{1, rowCount - 1};
    if (top == bottom)
        return whole;
    if (prompts.Ask(Message(msgReportSelected, lang)) == IPrompts::No)
        return whole;
    return SelectedReportRange(top, bottom);
}

TReportRange SelectedReportRange(int top, int bottom)
{
    return {top, bottom - top + 1};
}

std::unique_ptr<TReportLayout> PrepareRangeReport(const TReportSource& source,
                                                  const TReportRange& range,
                                                  const TShowStatus& showStatus,
                                                  const QDateTime& created)
{
    if (!source.Driver || source.Driver->GetArchReceived() == 0 || !source.BasicGrid) {
        showStatus(Message(msgNothingToPrint, source.Lang));
        return nullptr;
    }
    const TReportTemplate* layout =
        ChooseReportTemplate(source.Driver->GetDevType(), source.PrintComments);
    if (!layout)
        return nullptr;
    TKadrelDataSet dataSet(*source.BasicGrid, source.Driver, source.Lang);
    dataSet.SetRange(range.First, range.Count);
    return std::make_unique<TReportLayout>(TReportDocument::Prepare(*layout, dataSet, created));
}

TReportPreview* ShowRangeReport(const TReportSource& source, const TReportRange& range,
                                const TShowStatus& showStatus, IPrompts& prompts, QWidget* parent)
{
    std::unique_ptr<TReportLayout> report = PrepareRangeReport(source, range, showStatus);
    if (!report)
        return nullptr;
    auto* preview = new TReportPreview(std::move(report), prompts, source.Lang, parent);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->show();
    return preview;
}
