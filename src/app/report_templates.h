// The eight report layouts, one per instrument model and comment option, held as data: paper,
// margins and the printed columns with their widths. One engine prints them all.
#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QString>
#include <vector>

// One printed column: the data set fields of its header and data cells and its width.
struct TReportColumn {
    QString TitleField;
    QString DataField;
    double WidthMm;
};

struct TReportTemplate {
    QString Name;
    QPageLayout::Orientation Orientation;
    QMarginsF MarginsMm; // left, top, right, bottom
    // Left to right; in the templates with comments the comment column is the last one.
    std::vector<TReportColumn> Columns;
    // Whether the data cells wrap and a row grows to its tallest cell.
    bool WithComments;

    double TableWidthMm() const;
    QPageLayout PageLayout() const;
};

// All eight, in the order AN, AN with comments, TL, TL with comments, EG, EG with comments,
// FX, FX with comments.
const std::vector<TReportTemplate>& ReportTemplates();
// The template of device type `devType` (1 AN, 2 TL, 3 FX, 5 EG); nullptr for any other type.
const TReportTemplate* ChooseReportTemplate(int devType, bool withComments);
