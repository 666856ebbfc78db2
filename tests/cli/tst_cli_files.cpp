// kadrel-cli on archive files: the table equals the window's Copy table after the same opens
// and merges, merge writes one file of one model, and wrong usage, unreadable input and
// unwritable output end with their statuses and one error line.
#include "cli_archives.h"
#include "cli_fixture.h"

#include "models/driver_factory.h"
#include "models/messages.h"
#include "models/string_grid.h"
#include "models/table_text.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace cliarchives;

class TestCliFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QStringList paths(const QStringList& names) const
    {
        QStringList result;
        for (const QString& name : names)
            result << path(name);
        return result;
    }

    // Copy table in the window after opening the first file and merging the others (merge
    // answered Yes; a file of another model replaces what was open).
    static QString windowCopyTable(const QStringList& files, TLang lang, TDimensionType unit)
    {
        IKadrelPtr driver;
        for (const QString& file : files) {
            const TKadrelType type = ModelByExtension(u'.' + file.section(u'.', -1));
            if (!driver || driver->GetDevType() != type) {
                driver = CreateModelDriver(type);
                driver->SetLang(lang);
                driver->SetDimension(unit);
            }
            if (!driver->LoadFromFile(file))
                return QString();
            driver->RemoveDuplicates();
        }
        TStringGrid basic;
        driver->UpdateBasicGrid(basic);
        return CopyRowsWithDetails(*driver, basic, 1, basic.RowCount() - 1,
                                   Message(msgComment, lang));
    }

    static int recordsIn(const QString& file)
    {
        const IKadrelPtr driver = CreateModelDriver(devAN);
        if (!driver->LoadFromFile(file))
            return -1;
        return driver->GetArchReceived();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(writeArchives(QDir(m_dir.path())));
    }

    void tableIsCopyTable_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QStringList>("options");

        QTest::newRow("one file with comments")
            << QStringList{"an1.kadrel1an"} << "C" << int(enUS) << int(dtMPa) << QStringList{};
        QTest::newRow("merged, shared records once")
            << QStringList{"an1.kadrel1an", "an2.kadrel1an"} << "C" << int(enUS) << int(dtMPa)
            << QStringList{};
        QTest::newRow("Russian, kgf, decimal comma")
            << QStringList{"an2.kadrel1an", "an1.kadrel1an"} << "ru_RU.UTF-8" << int(ruRU)
            << int(dtkgs) << QStringList{"--lang", "ru", "--unit", "kgs"};
        QTest::newRow("another model replaces") << QStringList{"an1.kadrel1an", "tl.kadrel1tl"}
                                                << "C" << int(enUS) << int(dtMPa) << QStringList{};
        QTest::newRow("EG") << QStringList{"eg.kadrel1eg"} << "C" << int(enUS) << int(dtkgs)
                            << QStringList{"--unit", "kgs"};
        QTest::newRow("FX") << QStringList{"fx.kadrel1fx"} << "C" << int(ruRU) << int(dtMPa)
                            << QStringList{"--lang", "ru"};
        QTest::newRow("no records")
            << QStringList{"empty.kadrel1an"} << "C" << int(enUS) << int(dtMPa) << QStringList{};
    }

    void tableIsCopyTable()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, locale);
        QFETCH(int, lang);
        QFETCH(int, unit);
        QFETCH(QStringList, options);

        QLocale::setDefault(QLocale(locale));
        const QString expected = windowCopyTable(paths(files), TLang(lang), TDimensionType(unit));
        QLocale::setDefault(QLocale::c());
        QVERIFY(!expected.isEmpty());

        const CliRun run = runCli(QStringList{"table"} + paths(files) + options, {}, locale);
        QVERIFY(run.finished);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.outText(), expected);
        QVERIFY(run.err.isEmpty());
    }

    void mergeWritesOneArchive()
    {
        const QString out = path("merged.kadrel1an");
        const CliRun run =
            runCli({"merge", path("an1.kadrel1an"), path("an2.kadrel1an"), "--out", out});
        QCOMPARE(run.status, 0);
        QCOMPARE(recordsIn(out), 18);
        const QStringList lines = run.outText().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[1], path("an2.kadrel1an") + ": 6 duplicate, 18 unique, 6 new entries.");
        QCOMPARE(lines[2], "File saved: " + out);

        // The merged file keeps what the first file's comments were.
        const CliRun table = runCli({"table", out});
        QVERIFY(table.outText().contains("'first, \"quoted\" line' second"));
    }

    void mergeReplacesOnlyWithForce()
    {
        const QString out = path("existing.kadrel1an");
        QVERIFY(writeBytes(out, "keep me"));
        const CliRun refused = runCli({"merge", path("an1.kadrel1an"), "--out", out});
        QCOMPARE(refused.status, 4);
        QCOMPARE(refused.errLines().size(), 1);
        QCOMPARE(readBytes(out), QByteArray("keep me"));

        const CliRun forced = runCli({"merge", path("an1.kadrel1an"), "--out", out, "--force"});
        QCOMPARE(forced.status, 0);
        QCOMPARE(recordsIn(out), 12);
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");

        QTest::newRow("no command") << QStringList{} << 1;
        QTest::newRow("unknown command") << QStringList{"print"} << 1;
        QTest::newRow("unknown option") << QStringList{"table", "--colour", "a.kadrel1an"} << 1;
        QTest::newRow("table without files") << QStringList{"table"} << 1;
        QTest::newRow("wrong language") << QStringList{"table", "--lang", "de", "a.kadrel1an"} << 1;
        QTest::newRow("wrong unit") << QStringList{"table", "--unit", "psi", "a.kadrel1an"} << 1;
        QTest::newRow("export without --to")
            << QStringList{"export", "a.kadrel1an", "--out", "a.csv"} << 1;
        QTest::newRow("export to an unknown format")
            << QStringList{"export", "a.kadrel1an", "--to", "xls", "--out", "a.xls"} << 1;
        QTest::newRow("merge without --out") << QStringList{"merge", "a.kadrel1an"} << 1;
        QTest::newRow("merge into another model's extension")
            << QStringList{"merge", "@an1.kadrel1an", "--out", "@m.kadrel1tl"} << 1;
        QTest::newRow("read without --port") << QStringList{"read"} << 1;
        QTest::newRow("read with a wrong timeout")
            << QStringList{"read", "--port", "/dev/null", "--timeout", "soon"} << 1;
        QTest::newRow("missing file") << QStringList{"table", "@absent.kadrel1an"} << 2;
        QTest::newRow("extension of no model") << QStringList{"table", "@an1.txt"} << 2;
        QTest::newRow("extension in capitals") << QStringList{"table", "@an1.KADREL1AN"} << 2;
        QTest::newRow("truncated file") << QStringList{"table", "@cut.kadrel1an"} << 2;
        QTest::newRow("model without driver") << QStringList{"table", "@a.kadrel1qm"} << 2;
        QTest::newRow("merge of two models")
            << QStringList{"merge", "@an1.kadrel1an", "@tl.kadrel1tl", "--out", "@m.kadrel1an"}
            << 2;
        QTest::newRow("merge into a missing folder")
            << QStringList{"merge", "@an1.kadrel1an", "--out", "@none/m.kadrel1an"} << 4;
    }

    // Paths starting with @ are in the test's folder, which holds a truncated archive and a
    // file with the QM extension besides the usual ones.
    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QVERIFY(writeBytes(path("cut.kadrel1an"), readBytes(path("an1.kadrel1an")).left(300)));
        QVERIFY(writeBytes(path("a.kadrel1qm"), readBytes(path("empty.kadrel1an"))));
        QVERIFY(writeBytes(path("an1.txt"), readBytes(path("an1.kadrel1an"))));
        QVERIFY(writeBytes(path("an1.KADREL1AN"), readBytes(path("an1.kadrel1an"))));
        for (QString& argument : arguments) {
            if (argument.startsWith(u'@'))
                argument = path(argument.mid(1));
        }

        const CliRun run = runCli(arguments);
        QVERIFY(run.finished);
        QCOMPARE(run.status, status);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.errLines().size(), 1);
        QVERIFY2(run.err.startsWith("kadrel-cli: "), run.err.constData());
        QVERIFY(!QFileInfo::exists(path("m.kadrel1an")));
        QVERIFY(!QFileInfo::exists(path("m.kadrel1tl")));
    }

    void help_data()
    {
        QTest::addColumn<QString>("command");
        for (const char* command : {"ports", "info", "read", "clock", "table", "export", "merge"})
            QTest::newRow(command) << command;
    }

    void help()
    {
        QFETCH(QString, command);
        const CliRun run = runCli({command, "--help"});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.outText().startsWith("Usage: kadrel-cli " + command + " [options]"),
                 run.out.constData());
        QVERIFY(run.err.isEmpty());
    }

    void programHelpListsEveryCommand()
    {
        const CliRun run = runCli({"--help"});
        QCOMPARE(run.status, 0);
        for (const char* command : {"ports", "info", "read", "clock", "table", "export", "merge"})
            QVERIFY(run.outText().contains(QStringLiteral("\n  %1 ").arg(command)));
    }
};

QTEST_GUILESS_MAIN(TestCliFiles)
#include "tst_cli_files.moc"
