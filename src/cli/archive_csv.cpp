#include "cli/archive_csv.h"

#include "cli/cli_common.h"

#include "app/comment_text.h"
#include "models/messages.h"
#include "models/records.h"
#include "models/string_grid.h"

namespace cli
{

namespace
{

const QLatin1String LineEnd("\r\n");

QString csvField(const QString& text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') &&
        !text.contains(u'\n'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString csvRow(QStringList fields, int width)
{
    while (fields.size() < width)
        fields.append(QString());
    for (QString& field : fields)
        field = csvField(field);
    return fields.join(u',') + LineEnd;
}

} // namespace

QByteArray archiveCsv(IKadrel& driver, TLang lang)
{
    TStringGrid basic;
    driver.UpdateBasicGrid(basic);
    TStringGrid probes;
    driver.UpdateDetailGrid(probes, 0);

    QStringList header;
    for (int c = 0; c < basic.ColCount(); ++c)
        header << basic.Cell(c, 0);
    header << Message(msgComment, lang);
    for (int probe = 1; probe <= MaxProbes; ++probe) {
        for (int c = 0; c < probes.ColCount(); ++c)
            header << probes.Cell(c, 0) + u'(' + QString::number(probe) + u')';
    }
    const int width = int(header.size());

    QString text = csvRow(header, width);
    const int count = recordCount(driver);
    for (int record = 0; record < count; ++record) {
        QStringList fields;
        for (int c = 0; c < basic.ColCount(); ++c)
            fields << basic.Cell(c, record + 1);
        fields << CommentTextToLines(driver.GetComment(record)).join(LineEnd);
        driver.UpdateDetailGrid(probes, record);
        for (int row = 1; row < probes.RowCount(); ++row) {
            for (int c = 0; c < probes.ColCount(); ++c)
                fields << probes.Cell(c, row);
        }
        text += csvRow(fields.mid(0, width), width);
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace cli
