// The report commands of the main window: which rows Print and Selected report cover, and
// preparing and showing the report of a block of record-table rows.
#pragma once

#include "app/report_layout.h"

#include <QDateTime>
#include <functional>
#include <memory>

class IKadrel;
class IPrompts;
class QWidget;
class TReportPreview;
class TStringGrid;

// A block of record-table rows: the first row and the number of rows.
struct TReportRange {
    int First = 0;
    int Count = 0;
};

// Print: a block of several selected rows is reported when the user does not answer No to
// the question; No, or a single selected row, reports the whole archive.
TReportRange PrintReportRange(int top, int bottom, int rowCount, IPrompts& prompts, int lang);
// Selected report: the selected rows, without a question.
TReportRange SelectedReportRange(int top, int bottom);

// What a report is made from: the current driver (null when there is none), the record
// table, the language of the texts and the option "Печатать комментарии".
struct TReportSource {
    IKadrel* Driver = nullptr;
    const TStringGrid* BasicGrid = nullptr;
    int Lang = 0;
    bool PrintComments = false;
};

using TShowStatus = std::function<void(const QString&)>;

// Prepares the report of `range` from scratch. Without a driver or received records it shows
// "Нечего печатать" and gives null; a device type without a template gives null silently.
std::unique_ptr<TReportLayout>
PrepareRangeReport(const TReportSource& source, const TReportRange& range,
                   const TShowStatus& showStatus,
                   const QDateTime& created = QDateTime::currentDateTime());

// Prepares the report and shows it in a new preview window, which deletes itself when
// closed; null when there is nothing to show.
TReportPreview* ShowRangeReport(const TReportSource& source, const TReportRange& range,
                                const TShowStatus& showStatus, IPrompts& prompts, QWidget* parent);
