// kadrel-cli export: CSV read back by an RFC 4180 parser, JSON read back by QJsonDocument,
// the report formats, and outputs that cannot or must not be written.
#include "cli_archives.h"
#include "cli_fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace cliarchives;

namespace
{

// Records of RFC 4180 text: fields separated by commas, records ended by CR LF; a quoted
// field may hold commas, CR, LF and doubled quotes. Anything else fails the parse.
bool parseCsv(const QString& text, QList<QStringList>& records)
{
    QStringList record;
    QString field;
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        if (text[i] == u'"') {
            ++i;
            while (true) {
                if (i >= n)
                    return false;
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            while (i < n && text[i] != u',' && text[i] != u'\r') {
                if (text[i] == u'"' || text[i] == u'\n')
                    return false;
                field += text[i++];
            }
        }
        if (i < n && text[i] == u',') {
            record << field;
            field.clear();
            ++i;
        } else if (i + 1 < n && text[i] == u'\r' && text[i + 1] == u'\n') {
            records << (record << field);
            record.clear();
            field.clear();
            i += 2;
        } else {
            return false;
        }
    }
    return record.isEmpty() && field.isEmpty();
}

// The member at `path` ("records/0/mean"); undefined when there is none.
QJsonValue member(const QJsonDocument& document, const QString& path)
{
    QJsonValue value = document.object();
    for (const QString& key : path.split(u'/')) {
        bool isIndex = false;
        const int index = key.toInt(&isIndex);
        value = isIndex ? value.toArray().at(index) : value.toObject().value(key);
    }
    return value;
}

} // namespace

class TestCliExport : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(writeArchives(QDir(m_dir.path())));
    }

    void csvReadsBack_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("expected");

        const QStringList none;
        QTest::newRow("mean") << "C" << none << "R, MPa"
                              << "27.203";
        QTest::newRow("mean with decimal comma") << "ru_RU.UTF-8" << none << "R, MPa"
                                                 << "27,203";
        QTest::newRow("mean in kgf") << "C" << QStringList{"--unit", "kgs"} << "R, kgs/cm²"
                                     << "277.4";
        QTest::newRow("spread") << "C" << none << "E,%"
                                << "8.10";
        QTest::newRow("class") << "C" << none << "Bx"
                               << "B 20";
        QTest::newRow("Russian title") << "C" << QStringList{"--lang", "ru"} << "Материал"
                                       << "Бетон тяжелый";
        QTest::newRow("comment lines") << "C" << none << "Comment"
                                       << "first, \"quoted\" line\r\nsecond";
        QTest::newRow("probe force") << "C" << none << "F, kN(2)"
                                     << "32";
        QTest::newRow("probe slip") << "ru_RU.UTF-8" << none << "Slip, mm(2)"
                                    << "0,5";
        QTest::newRow("probe strength") << "C" << none << "R, MPa(2)"
                                        << "29.41";
        QTest::newRow("no fourth probe") << "C" << none << "F, kN(4)"
                                         << "";
    }

    void csvReadsBack()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, options);
        QFETCH(QString, column);
        QFETCH(QString, expected);

        const QString out = path("known.csv");
        const CliRun run = runCli(
            QStringList{"export", path("known.kadrel1an"), "--to", "csv", "--out", out} + options,
            {}, locale);
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.isEmpty() && run.err.isEmpty());

        const QByteArray bytes = readBytes(out);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QList<QStringList> records;
        QVERIFY(parseCsv(QString::fromUtf8(bytes.mid(3)), records));
        QCOMPARE(records.size(), 3); // the header and two records
        const QStringList& header = records[0];
        QCOMPARE(header.size(), 13 + 1 + 5 * 5);
        for (const QStringList& record : records)
            QCOMPARE(record.size(), header.size());
        const int at = int(header.indexOf(column));
        QVERIFY2(at >= 0, qPrintable(column));
        QCOMPARE(records[1][at], expected);
    }

    void jsonReadsBack_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QJsonValue>("expected");

        const QString an = "known.kadrel1an";
        QTest::newRow("model") << an << "mpa"
                               << "instrument/model" << QJsonValue("AN");
        QTest::newRow("serial number") << an << "mpa"
                                       << "instrument/serialNumber" << QJsonValue("A005");
        QTest::newRow("display name") << an << "mpa"
                                      << "instrument/name" << QJsonValue("Kadrel-1.AN № A005");
        QTest::newRow("identification")
            << an << "mpa"
            << "instrument/identification"
            << QJsonValue(QString::fromLatin1("010102050800") + QString(59 * 2, u'0'));
        QTest::newRow("number") << an << "mpa"
                                << "records/0/num" << QJsonValue(3);
        QTest::newRow("date and time") << an << "mpa"
                                       << "records/0/dateTime" << QJsonValue("2024-01-05T09:07:00");
        QTest::newRow("anchor") << an << "mpa"
                                << "records/0/conditions/anchor" << QJsonValue("24x48");
        QTest::newRow("material type")
            << an << "mpa"
            << "records/0/conditions/materialType" << QJsonValue("heavyConcrete");
        QTest::newRow("material") << an << "mpa"
                                  << "records/0/material/name" << QJsonValue("Бетон тяжелый");
        QTest::newRow("coefficient") << an << "mpa"
                                     << "records/0/material/coefficients/1" << QJsonValue(1);
        QTest::newRow("force in N") << an << "mpa"
                                    << "records/0/probes/1/force" << QJsonValue(32000);
        QTest::newRow("slip") << an << "mpa"
                              << "records/0/probes/1/slip" << QJsonValue(0.5);
        QTest::newRow("probe strength") << an << "mpa"
                                        << "records/0/probes/1/strength" << QJsonValue(29.41);
        QTest::newRow("mean") << an << "mpa"
                              << "records/0/mean" << QJsonValue(27.203);
        QTest::newRow("mean in kgf") << an << "kgs"
                                     << "records/0/mean" << QJsonValue(277.4);
        QTest::newRow("unit in kgf") << an << "kgs"
                                     << "units/strength" << QJsonValue("kgf/cm²");
        QTest::newRow("spread") << an << "mpa"
                                << "records/0/spread" << QJsonValue(8.1106);
        QTest::newRow("class") << an << "mpa"
                               << "records/0/class" << QJsonValue("B 20");
        QTest::newRow("comment") << an << "mpa"
                                 << "records/0/comment"
                                 << QJsonValue("first, \"quoted\" line\nsecond");
        QTest::newRow("no probes: mean null") << an << "mpa"
                                              << "records/1/mean" << QJsonValue();
        QTest::newRow("no probes: none listed") << an << "mpa"
                                                << "records/1/probes" << QJsonValue(QJsonArray());
        QTest::newRow("two records only") << an << "mpa"
                                          << "records/2" << QJsonValue(QJsonValue::Undefined);
        QTest::newRow("TL circle") << "known.kadrel1tl"
                                   << "mpa"
                                   << "records/0/geometry/shape" << QJsonValue("circle");
        QTest::newRow("TL diameter") << "known.kadrel1tl"
                                     << "mpa"
                                     << "records/0/geometry/diameter" << QJsonValue(50);
        QTest::newRow("TL strength") << "known.kadrel1tl"
                                     << "mpa"
                                     << "records/0/mean" << QJsonValue(1.0);
        QTest::newRow("TL object") << "known.kadrel1tl"
                                   << "mpa"
                                   << "records/0/object" << QJsonValue("Плитка");
        QTest::newRow("EG in kPa") << "known.kadrel1eg"
                                   << "mpa"
                                   << "records/0/mean" << QJsonValue(500);
        QTest::newRow("EG unit") << "known.kadrel1eg"
                                 << "mpa"
                                 << "units/strength" << QJsonValue("kPa");
        QTest::newRow("EG size") << "known.kadrel1eg"
                                 << "mpa"
                                 << "records/0/w" << QJsonValue(40);
        QTest::newRow("EG Kt") << "known.kadrel1eg"
                               << "mpa"
                               << "records/0/kt" << QJsonValue(1);
        QTest::newRow("FX mean force") << "known.kadrel1fx"
                                       << "mpa"
                                       << "records/0/mean" << QJsonValue(2.5);
        QTest::newRow("FX mean in kgf") << "known.kadrel1fx"
                                        << "kgs"
                                        << "records/0/mean" << QJsonValue(254.93);
        QTest::newRow("FX spread") << "known.kadrel1fx"
                                   << "mpa"
                                   << "records/0/spread" << QJsonValue(20);
        QTest::newRow("FX diameter") << "known.kadrel1fx"
                                     << "mpa"
                                     << "records/0/diameter" << QJsonValue(12);
        QTest::newRow("FX fastener") << "known.kadrel1fx"
                                     << "mpa"
                                     << "records/0/fastener" << QJsonValue("Дюбель");
    }

    void jsonReadsBack()
    {
        QFETCH(QString, file);
        QFETCH(QString, unit);
        QFETCH(QString, path);
        QFETCH(QJsonValue, expected);

        const QString out = this->path("known.json");
        const CliRun run =
            runCli({"export", this->path(file), "--to", "json", "--out", out, "--unit", unit});
        QCOMPARE(run.status, 0);
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(readBytes(out), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);

        const QJsonValue value = member(document, path);
        if (expected.isDouble()) {
            QVERIFY2(value.isDouble(), qPrintable(path));
            // Computed values are single-precision; 5 significant digits are what counts.
            QVERIFY2(qAbs(value.toDouble() - expected.toDouble()) <=
                         5e-5 * qMax(1.0, qAbs(expected.toDouble())),
                     qPrintable(QString::number(value.toDouble(), 'g', 10)));
        } else {
            QCOMPARE(value, expected);
        }
    }

    void reports_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("begins");

        QTest::newRow("pdf") << "pdf" << QStringList{} << QByteArray("%PDF");
        QTest::newRow("pdf with comments")
            << "pdf" << QStringList{"--comments"} << QByteArray("%PDF");
        QTest::newRow("png") << "png" << QStringList{} << QByteArray("\x89PNG");
        QTest::newRow("html") << "html" << QStringList{"--lang", "ru"} << QByteArray("<");
        QTest::newRow("txt") << "txt" << QStringList{} << QByteArray();
    }

    void reports()
    {
        QFETCH(QString, format);
        QFETCH(QStringList, options);
        QFETCH(QByteArray, begins);

        const QString out = path("report." + format);
        QFile::remove(out);
        const CliRun run = runCli(
            QStringList{"export", path("known.kadrel1an"), "--to", format, "--out", out} + options);
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.isEmpty(), run.err.constData());
        const QByteArray bytes = readBytes(out);
        QVERIFY(bytes.startsWith(begins));
        if (format == "txt" || format == "html") {
            const QString text = QString::fromUtf8(bytes);
            QVERIFY(text.contains("27.203"));
            QVERIFY(text.contains(options.contains("ru") ? "Измеренные значения прочности"
                                                         : "Measured strength values"));
        }
    }

    void outputFailures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");

        QTest::newRow("csv into a missing folder")
            << QStringList{"--to", "csv", "--out", "@none/a.csv"} << 4;
        QTest::newRow("json over its own input")
            << QStringList{"--to", "json", "--out", "@known.kadrel1an"} << 4;
        QTest::newRow("pdf into a missing folder")
            << QStringList{"--to", "pdf", "--out", "@none/a.pdf"} << 4;
        QTest::newRow("report of no records")
            << QStringList{"@empty.kadrel1an", "--to", "pdf", "--out", "@empty.pdf"} << 2;
    }

    // Paths starting with @ are in the test's folder; without a file of its own the export
    // reads known.kadrel1an.
    void outputFailures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        for (QString& argument : arguments) {
            if (argument.startsWith(u'@'))
                argument = path(argument.mid(1));
        }
        if (!arguments.first().endsWith(".kadrel1an"))
            arguments.prepend(path("known.kadrel1an"));
        const QByteArray before = readBytes(path("known.kadrel1an"));

        const CliRun run = runCli(QStringList{"export"} + arguments);
        QCOMPARE(run.status, status);
        QCOMPARE(run.errLines().size(), 1);
        QVERIFY2(run.err.startsWith("kadrel-cli: "), run.err.constData());
        QCOMPARE(readBytes(path("known.kadrel1an")), before);
        QVERIFY(!QFileInfo::exists(path("empty.pdf")));
    }
};

QTEST_GUILESS_MAIN(TestCliExport)
#include "tst_cli_export.moc"
