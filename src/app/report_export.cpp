#include "app/report_export.h"

#include "app/report_painter.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QTextStream>
#include <cmath>

namespace
{

constexpr int RowsPerProgressStep = 500;
constexpr int JpegQuality = 90;

const char* ImageFormat(TExportFormat format)
{
    return format == TExportFormat::Png ? "PNG" : "JPEG";
}

bool IsImage(TExportFormat format)
{
    return format == TExportFormat::Png || format == TExportFormat::Jpeg;
}

// The same paper without margins: the painter places the bands from the paper's corner.
QPageLayout MarginlessLayout(const QPageLayout& page)
{
    QPageLayout bare = page;
    bare.setMinimumMargins(QMarginsF());
    bare.setMargins(QMarginsF());
    return bare;
}

bool Open(QSaveFile& file, QString& error)
{
    if (file.open(QIODevice::WriteOnly))
        return true;
    error = file.errorString();
    return false;
}

TExportResult Commit(QSaveFile& file, QString& error)
{
    if (file.commit())
        return TExportResult::Written;
    error = file.errorString();
    return TExportResult::Failed;
}

TExportResult WritePdf(const TReportLayout& layout, const QString& fileName,
                       const TReportProgress& progress, QString& error)
{
    QSaveFile file(fileName);
    if (!Open(file, error))
        return TExportResult::Failed;
    QPdfWriter writer(&file);
    writer.setCreator(QStringLiteral("KADREL-1.Connect"));
    writer.setTitle(layout.Document().Title());
    writer.setPageLayout(MarginlessLayout(layout.PageLayout()));
    QPainter painter(&writer);
    TReportPainter pages(layout, painter);
    const int count = layout.PageCount();
    for (int page = 0; page < count; ++page) {
        if (page > 0)
            writer.newPage();
        pages.PaintPage(page);
        if (!progress(page + 1, count)) {
            painter.end();
            file.cancelWriting();
            return TExportResult::Cancelled;
        }
    }
    painter.end();
    return Commit(file, error);
}

QImage RenderPage(const TReportLayout& layout, int page, double dpi)
{
    const QSizeF paperMm = layout.PageLayout().fullRect(QPageLayout::Millimeter).size();
    const QSize size(int(std::lround(paperMm.width() / 25.4 * dpi)),
                     int(std::lround(paperMm.height() / 25.4 * dpi)));
    QImage image(size, QImage::Format_RGB32);
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    TReportPainter(layout, painter).PaintPage(page);
    return image;
}

TExportResult WriteImages(const TReportLayout& layout, TExportFormat format,
                          const QString& fileName, const TReportProgress& progress, QString& error)
{
    const int count = layout.PageCount();
    const QStringList files = ExportFileNames(format, fileName, count);
    for (int page = 0; page < count; ++page) {
        QSaveFile file(files[page]);
        if (!Open(file, error))
            return TExportResult::Failed;
        const QImage image = RenderPage(layout, page, ReportImageDpi);
        if (!image.save(&file, ImageFormat(format),
                        format == TExportFormat::Jpeg ? JpegQuality : -1)) {
            error = file.errorString();
            return TExportResult::Failed;
        }
        if (Commit(file, error) != TExportResult::Written)
            return TExportResult::Failed;
        if (!progress(page + 1, count))
            return TExportResult::Cancelled;
    }
    return TExportResult::Written;
}

QString HtmlCell(const QString& text)
{
    QString html = text.toHtmlEscaped();
    html.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    html.replace(QLatin1Char('\r'), QLatin1String("<br>"));
    html.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    return html;
}

// One table, the columns as wide as on paper.
TExportResult WriteHtml(const TReportLayout& layout, const QString& fileName,
                        const TReportProgress& progress, QString& error)
{
    const TReportDocument& doc = layout.Document();
    const auto& columns = doc.Template().Columns;
    const int last = doc.ColumnCount() - 1;
    QSaveFile file(fileName);
    if (!Open(file, error))
        return TExportResult::Failed;
    QTextStream out(&file);
    out.setEncoding(QStringConverter::Utf8);
    out << "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>"
        << HtmlCell(doc.Title()) << "</title>\n<style>\n"
        << "body { font-family: Arial, sans-serif; font-size: 9pt; }\n"
        << "h1 { font-size: 14pt; text-align: center; margin: 0; }\n"
        << "p { text-align: center; margin: 0 0 3mm 0; }\n"
        << "table { border-collapse: collapse; table-layout: fixed; }\n"
        << "th, td { border: 1px solid black; padding: 0.5mm 1mm; text-align: center; }\n"
        << "th { white-space: nowrap; height: 15mm; }\n"
        << "td.comment { text-align: left; }\n"
        << "</style>\n</head>\n<body>\n<h1>" << HtmlCell(doc.Title()) << "</h1>\n<p>"
        << HtmlCell(doc.DateLine()) << "</p>\n<table>\n<thead>\n<tr>";
    for (int col = 0; col <= last; ++col)
        out << "<th style=\"width: " << columns[size_t(col)].WidthMm << "mm\">"
            << HtmlCell(doc.HeaderText(col)) << "</th>";
    out << "</tr>\n</thead>\n<tbody>\n";
    const bool commentLast = doc.Template().WithComments;
    for (int row = 0; row < doc.RowCount(); ++row) {
        out << "<tr>";
        for (int col = 0; col <= last; ++col)
            out << (commentLast && col == last ? "<td class=\"comment\">" : "<td>")
                << HtmlCell(doc.Cell(row, col)) << "</td>";
        out << "</tr>\n";
        if ((row + 1) % RowsPerProgressStep == 0 && !progress(row + 1, doc.RowCount())) {
            file.cancelWriting();
            return TExportResult::Cancelled;
        }
    }
    out << "</tbody>\n</table>\n</body>\n</html>\n";
    out.flush();
    return Commit(file, error);
}

QString TextCell(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

// UTF-8 with a byte order mark, so that spreadsheets recognise the Cyrillic letters; lines end
// with CR LF; one line per row, cells separated by TAB, line breaks in a cell become spaces.
TExportResult WriteText(const TReportLayout& layout, const QString& fileName,
                        const TReportProgress& progress, QString& error)
{
    const TReportDocument& doc = layout.Document();
    QSaveFile file(fileName);
    if (!Open(file, error))
        return TExportResult::Failed;
    QTextStream out(&file);
    out.setEncoding(QStringConverter::Utf8);
    out.setGenerateByteOrderMark(true);
    const QLatin1String eol("\r\n");
    out << doc.Title() << eol << doc.DateLine() << eol << eol;
    for (int col = 0; col < doc.ColumnCount(); ++col)
        out << (col > 0 ? "\t" : "") << TextCell(doc.HeaderText(col));
    out << eol;
    for (int row = 0; row < doc.RowCount(); ++row) {
        for (int col = 0; col < doc.ColumnCount(); ++col)
            out << (col > 0 ? "\t" : "") << TextCell(doc.Cell(row, col));
        out << eol;
        if ((row + 1) % RowsPerProgressStep == 0 && !progress(row + 1, doc.RowCount())) {
            file.cancelWriting();
            return TExportResult::Cancelled;
        }
    }
    out.flush();
    return Commit(file, error);
}

} // namespace

QStringList ExportFileNames(TExportFormat format, const QString& fileName, int pageCount)
{
    if (!IsImage(format) || pageCount <= 1)
        return {fileName};
    const QFileInfo info(fileName);
    const QString suffix = info.suffix();
    const QString stem =
        suffix.isEmpty() ? fileName : fileName.left(fileName.size() - suffix.size() - 1);
    const QString dotSuffix = suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;
    const int digits = int(QString::number(pageCount).size());
    QStringList names{fileName};
    for (int page = 2; page <= pageCount; ++page)
        names << stem + QLatin1Char('_') +
                     QStringLiteral("%1").arg(page, digits, 10, QLatin1Char('0')) + dotSuffix;
    return names;
}

TExportResult ExportReport(const TReportLayout& layout, TExportFormat format,
                           const QString& fileName, const TReportProgress& progress, QString& error)
{
    switch (format) {
    case TExportFormat::Pdf:
        return WritePdf(layout, fileName, progress, error);
    case TExportFormat::Png:
    case TExportFormat::Jpeg:
        return WriteImages(layout, format, fileName, progress, error);
    case TExportFormat::Html:
        return WriteHtml(layout, fileName, progress, error);
    case TExportFormat::Text:
        return WriteText(layout, fileName, progress, error);
    }
    return TExportResult::Failed;
}

TExportResult PrintReport(const TReportLayout& layout, QPrinter& printer,
                          const std::vector<int>& pages, const TReportProgress& progress)
{
    printer.setFullPage(true);
    printer.setPageLayout(layout.PageLayout());
    printer.setDocName(layout.Document().Title());
    QPainter painter;
    if (!painter.begin(&printer))
        return TExportResult::Failed;
    TReportPainter painterOfPages(layout, painter);
    const int count = int(pages.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            printer.newPage();
        painterOfPages.PaintPage(pages[size_t(i)]);
        if (!progress(i + 1, count)) {
            printer.abort();
            return TExportResult::Cancelled;
        }
    }
    painter.end();
    return TExportResult::Written;
}
