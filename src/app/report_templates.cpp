#include "app/report_templates.h"

#include "link/kadrel_types.h"

#include <QPageSize>
#include <numeric>

namespace
{

// Grid columns 0.. in order with the given widths; with comments the last width is the
// comment column's.
TReportTemplate MakeTemplate(const char* name, bool withComments, std::vector<double> widths)
{
    TReportTemplate t;
    t.Name = QString::fromLatin1(name);
    t.WithComments = withComments;
    if (withComments) {
        t.Orientation = QPageLayout::Landscape;
        t.MarginsMm = QMarginsF(10, 5, 10, 10);
    } else {
        t.Orientation = QPageLayout::Portrait;
        t.MarginsMm = QMarginsF(10, 10, 5, 10);
    }
    const int gridColumns = int(widths.size()) - (withComments ? 1 : 0);
    for (int c = 0; c < gridColumns; ++c)
        t.Columns.push_back(
            {QStringLiteral("Title%1").arg(c), QStringLiteral("Data%1").arg(c), widths[size_t(c)]});
    if (withComments)
        t.Columns.push_back(
            {QStringLiteral("TitleComment"), QStringLiteral("DataComment"), widths.back()});
    return t;
}

std::vector<TReportTemplate> MakeTemplates()
{
    return {
        MakeTemplate("frxReportAN", false, {21, 15, 9, 17, 13, 13, 45, 15, 19, 28}),
        MakeTemplate("frxReportAN_comment", true, {20, 14, 8, 16, 13, 12, 40, 15, 19, 19, 19, 82}),
        MakeTemplate("frxReportTL", false, {20, 14, 14, 29, 14, 64, 40}),
        MakeTemplate("frxReportTL_comment", true, {20, 14, 14, 21, 15, 56, 40, 97}),
        MakeTemplate("frxReportEG", false, {20, 14, 14, 29, 14, 31, 31, 25, 17}),
        MakeTemplate("frxReportEG_comment", true, {20, 14, 14, 21, 15, 32, 25, 21, 18, 97}),
        MakeTemplate("frxReportFX", false, {20, 14, 14, 48, 14, 54, 31}),
        MakeTemplate("frxReportFX_comment", true, {20, 14, 14, 26, 15, 41, 25, 122}),
    };
}

} // namespace

double TReportTemplate::TableWidthMm() const
{
    return std::accumulate(Columns.begin(), Columns.end(), 0.0,
                           [](double sum, const TReportColumn& c) { return sum + c.WidthMm; });
}

QPageLayout TReportTemplate::PageLayout() const
{
    return QPageLayout(QPageSize(QPageSize::A4), Orientation, MarginsMm, QPageLayout::Millimeter);
}

const std::vector<TReportTemplate>& ReportTemplates()
{
    static const std::vector<TReportTemplate> templates = MakeTemplates();
    return templates;
}

const TReportTemplate* ChooseReportTemplate(int devType, bool withComments)
{
    int index;
    switch (devType) {
    case devAN:
        index = 0;
        break;
    case devTL:
        index = 2;
        break;
    case devEG:
        index = 4;
        break;
    case devFX:
        index = 6;
        break;
    default:
        return nullptr;
    }
    return &ReportTemplates()[size_t(index + (withComments ? 1 : 0))];
}
