// The report's preview window: page navigation, zoom, printing, page setup and the exports,
// with its own texts in the interface language.
#pragma once

#include "app/report_export.h"
#include "app/report_layout.h"

#include <QDialog>
#include <memory>

class IPrompts;
class QAction;
class QComboBox;
class QLabel;
class QPrinter;
class QSpinBox;
class QToolBar;
class TReportPageView;

class TReportPreview : public QDialog
{
    Q_OBJECT

public:
    // The preview keeps the report; `prompts` (the file dialog, the questions and the error
    // box) must outlive it.
    TReportPreview(std::unique_ptr<TReportLayout> report, IPrompts& prompts, int lang,
                   QWidget* parent = nullptr);
    ~TReportPreview() override;

    const TReportLayout& Report() const { return *m_report; }
    int CurrentPage() const;
    void SetCurrentPage(int page);

    // Asks for a file name through the prompts and exports the report in `format`.
    TExportResult ExportAs(TExportFormat format);
    // The print dialog, then the chosen pages.
    void PrintWithDialog();
    // The page setup dialog; accepted settings lay the pages out again.
    void PageSetup();

private:
    void BuildToolBar(QToolBar* bar);
    void ShowPageNumber(int page);
    void ApplyZoom(int index);
    QPrinter& Printer();
    QString Text(int id) const;

    std::unique_ptr<TReportLayout> m_report;
    IPrompts& m_prompts;
    int m_lang;
    TReportPageView* m_view;
    QSpinBox* m_pageBox = nullptr;
    QLabel* m_pageCount = nullptr;
    QComboBox* m_zoomBox = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    QString m_exportFolder;
};
