// The main window's archive files: Open, Save, Save as, merging, files that cannot be read,
// and the file named on the command line.
#include "window_fixture.h"

#include "app/trans.h"
#include "link/frame.h"

namespace
{

const QString Unreadable = QStringLiteral("Файл не читается или испорчен: ");
const QString Saved = QStringLiteral("Файл сохранен");
const QString OverwriteQuestion = QStringLiteral("Выбранный файл существует. Перезаписать?");
const QString MergeQuestion = QStringLiteral("Объединить результаты из файлов/приборов?");

QString OpenedSummary(int duplicates, int unique, int added)
{
    return QStringLiteral("Файл открыт: %1 повторяющихся, %2 уникальных, %3 новых записей.")
        .arg(duplicates)
        .arg(unique)
        .arg(added);
}

QString Extension(int model)
{
    return FilterExtension(ArchiveSaveFilter, model);
}

} // namespace

class TestMainWindowFiles : public QObject
{
    Q_OBJECT

    // A file of `model` with `count` records opened through the open dialog.
    static QString openArchive(TWindowFixture& fx, TKadrelType model, int count,
                               const QString& name = QStringLiteral("archive"))
    {
        const QString path = fx.file(name + Extension(model));
        WriteArchive(path, model, Records(model, count, 5), "A003");
        fx.Prompts->OpenFiles << path;
        fx.trigger("ActionOpen");
        return path;
    }

private slots:
    void open_data()
    {
        QTest::addColumn<int>("model");
        QTest::newRow("AN") << int(devAN);
        QTest::newRow("TL") << int(devTL);
        QTest::newRow("FX") << int(devFX);
        QTest::newRow("EG") << int(devEG);
    }

    void open()
    {
        QFETCH(int, model);
        TWindowFixture fx;
        TLoggedMainForm& window = fx.start();

        const QString path = openArchive(fx, TKadrelType(model), 7);

        QCOMPARE(fx.Prompts->OpenFilters, QStringList{ArchiveOpenFilter});
        QCOMPARE(fx.Prompts->Errors, QStringList());
        QCOMPARE(fx.status(0), OpenedSummary(0, 7, 7));
        const IKadrelPtr expected = LoadedDriver(model, path);
        QCOMPARE(fx.status(1), expected->GetDevName());
        TStringGrid basic;
        expected->UpdateBasicGrid(basic);
        QCOMPARE(AllRows(window.BasicGridCells()), AllRows(basic));
        QVERIFY(fx.tablesShown());
        QCOMPARE(window.CurrentFileName(), path);
        QVERIFY(window.Config.isLoadTypeFile);
    }

    // Save writes the file on show, without a question.
    void saveOpenedFile()
    {
        TWindowFixture fx;
        TLoggedMainForm& window = fx.start();
        const QString path = openArchive(fx, devAN, 7);
        fx.clickRow(fx.basicGrid(), 2);
        fx.trigger("ActionDeleteResults");

        fx.trigger("ActionSave");

        QCOMPARE(fx.status(), Saved);
        QCOMPARE(fx.Prompts->Questions, QStringList());
        QCOMPARE(fx.Prompts->SaveFilters, QStringList());
        QCOMPARE(RecordCount(path, devAN), 6);
        QCOMPARE(window.CurrentFileName(), path);
    }

    void saveAs_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("chosenFilter");
        QTest::addColumn<QString>("written");
        QTest::newRow("EG, no full stop") << int(devEG) << "out" << 0 << "out.kadrel1eg";
        QTest::newRow("EG, own extension") << int(devEG) << "out.dat" << 0 << "out.dat";
        QTest::newRow("AN, no full stop") << int(devAN) << "out" << 0 << "out.kadrel1an";
        QTest::newRow("FX, no full stop") << int(devFX) << "out" << 0 << "out.kadrel1fx";
        QTest::newRow("TL, filter switched to FX") << int(devTL) << "out" << 3 << "out.kadrel1fx";
        QTest::newRow("AN, filter switched to QM") << int(devAN) << "out" << 4 << "out.kadrel1qm";
    }

    void saveAs()
    {
        QFETCH(int, model);
        QFETCH(QString, typed);
        QFETCH(int, chosenFilter);
        QFETCH(QString, written);
        TWindowFixture fx;
        TLoggedMainForm& window = fx.start();
        openArchive(fx, TKadrelType(model), 5);
        fx.Prompts->SaveFiles << fx.file(typed);
        fx.Prompts->ChosenFilterIndex = chosenFilter;

        fx.trigger("ActionSaveAs");

        QCOMPARE(fx.Prompts->SaveFilters, QStringList{ArchiveSaveFilter});
        QCOMPARE(fx.Prompts->OfferedFilterIndexes, QList<int>{model});
        QCOMPARE(fx.Prompts->Questions, QStringList());
        QCOMPARE(fx.status(), Saved);
        QCOMPARE(RecordCount(fx.file(written), model), 5);
        QCOMPARE(window.CurrentFileName(), fx.file(written));
        if (typed != written)
            QVERIFY(!QFileInfo::exists(fx.file(typed)));
    }

    void overwrite_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("records");
        QTest::newRow("yes") << int(IPrompts::Yes) << 7;
        QTest::newRow("no") << int(IPrompts::No) << 3;
        QTest::newRow("dismissed") << int(IPrompts::Closed) << 3;
    }

    void overwrite()
    {
        QFETCH(int, answer);
        QFETCH(int, records);
        TWindowFixture fx;
        TLoggedMainForm& window = fx.start();
        const QString opened = openArchive(fx, devAN, 7);
        const QString existing = fx.file("existing.kadrel1an");
        WriteArchive(existing, devAN, Records(devAN, 3, 9));
        const QByteArray before = FileBytes(existing);
        const QString status = fx.status();
        fx.Prompts->SaveFiles << existing;
        fx.Prompts->Answers << IPrompts::TAnswer(answer);

        fx.trigger("ActionSaveAs");

        QCOMPARE(fx.Prompts->Questions, QStringList{OverwriteQuestion});
        QCOMPARE(RecordCount(existing, devAN), records);
        if (answer == IPrompts::Yes) {
            QCOMPARE(fx.status(), Saved);
            QCOMPARE(window.CurrentFileName(), existing);
        } else {
            QCOMPARE(FileBytes(existing), before);
            QCOMPARE(fx.status(), status);
            QCOMPARE(window.CurrentFileName(), opened);
        }
    }

    void merge_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<int>("rows");
        QTest::newRow("yes") << int(IPrompts::Yes) << OpenedSummary(7, 7, 0) << 8;
        QTest::newRow("dismissed") << int(IPrompts::Closed) << OpenedSummary(7, 7, 0) << 8;
        QTest::newRow("no") << int(IPrompts::No) << OpenedSummary(0, 7, 7) << 8;
    }

    // The same file opened twice.
    void merge()
    {
        QFETCH(int, answer);
        QFETCH(QString, summary);
        QFETCH(int, rows);
        TWindowFixture fx;
        TLoggedMainForm& window = fx.start();
        const QString path = openArchive(fx, devAN, 7);
        fx.Prompts->Answers << IPrompts::TAnswer(answer);

        fx.Prompts->OpenFiles << path;
        fx.trigger("ActionOpen");

        QCOMPARE(fx.Prompts->Questions, QStringList{MergeQuestion});
        QCOMPARE(fx.status(), summary);
        QCOMPARE(window.BasicGridCells().RowCount(), rows);
        QCOMPARE(window.CurrentFileName(), path);
    }

    // Another model's file replaces the records on show without a question.
    void openOtherModel()
    {
        TWindowFixture fx;
        TLoggedMainForm& window = fx.start();
        openArchive(fx, devAN, 7);

        const QString path = openArchive(fx, devTL, 4);

        QCOMPARE(fx.Prompts->Questions, QStringList());
        QCOMPARE(fx.status(), OpenedSummary(0, 4, 4));
        QCOMPARE(int(ActiveDriver->GetDevType()), int(devTL));
        QCOMPARE(window.BasicGridCells().RowCount(), 5);
        QCOMPARE(window.CurrentFileName(), path);
    }

    void unreadable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        const QByteArray damaged("not an archive");
        QTest::newRow("capital letters") << "archive.KADREL1AN" << QByteArray();
        QTest::newRow("no full stop") << "archive" << QByteArray();
        QTest::newRow("damaged") << "archive.kadrel1an" << damaged;
        QTest::newRow("empty") << "archive.kadrel1an" << QByteArray("");
    }

    void unreadable()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        TWindowFixture fx;
        TLoggedMainForm& window = fx.start();
        const QString path = fx.file(name);
        if (contents.isNull()) {
            WriteArchive(path, devAN, Records(devAN, 4, 5));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        fx.Prompts->OpenFiles << path;

        fx.trigger("ActionOpen");

        QCOMPARE(fx.Prompts->Errors, QStringList{Unreadable + path});
        QCOMPARE(fx.status(), QStringLiteral("Готов."));
        QVERIFY(!fx.tablesShown());
        QCOMPARE(window.CurrentFileName(), QString());
    }

    // A file of model QM, which has no driver, changes nothing: no message, the records and
    // the current file stay, and Save goes on writing the file on show.
    void openModelWithoutDriver()
    {
        TWindowFixture fx;
        TLoggedMainForm& window = fx.start();
        const QString opened = openArchive(fx, devAN, 7);
        const QString status = fx.status();
        const QList<QStringList> rows = AllRows(window.BasicGridCells());
        const QString other = fx.file("other.kadrel1qm");
        {
            QFile file(other);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("records of another model");
        }
        const QByteArray otherBytes = FileBytes(other);
        fx.Prompts->OpenFiles << other;

        fx.trigger("ActionOpen");

        QCOMPARE(fx.Prompts->Errors, QStringList());
        QCOMPARE(fx.Prompts->Questions, QStringList());
        QCOMPARE(fx.status(), status);
        QCOMPARE(AllRows(window.BasicGridCells()), rows);
        QCOMPARE(window.CurrentFileName(), opened);
        fx.trigger("ActionSave");
        QCOMPARE(fx.status(), Saved);
        QCOMPARE(FileBytes(other), otherBytes);
        QCOMPARE(RecordCount(opened, devAN), 7);
    }

    // A damaged file of the model on show changes nothing on show, asks nothing, and leaves
    // no current file, so Save asks for a name rather than writing the file that failed or
    // the one opened before.
    void failedLoad()
    {
        TWindowFixture fx;
        TLoggedMainForm& window = fx.start();
        const QString good = openArchive(fx, devAN, 7);
        const QByteArray goodBytes = FileBytes(good);
        const QList<QStringList> rows = AllRows(window.BasicGridCells());
        const QString damaged = fx.file("damaged.kadrel1an");
        {
            QFile file(damaged);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(goodBytes.left(100));
        }
        fx.Prompts->OpenFiles << damaged;

        fx.trigger("ActionOpen");

        QCOMPARE(fx.Prompts->Errors, QStringList{Unreadable + damaged});
        QCOMPARE(fx.Prompts->Questions, QStringList());
        QCOMPARE(window.CurrentFileName(), QString());
        QCOMPARE(AllRows(window.BasicGridCells()), rows);
        QVERIFY(fx.tablesShown());

        const QString rescued = fx.file("rescued.kadrel1an");
        fx.Prompts->SaveFiles << rescued;
        fx.trigger("ActionSave");
        QCOMPARE(fx.Prompts->SaveFilters.size(), 1);
        QCOMPARE(RecordCount(rescued, devAN), 7);
        QCOMPARE(FileBytes(good), goodBytes);
        QCOMPARE(FileBytes(damaged), goodBytes.left(100));
    }

    void commandLineFile_data()
    {
        QTest::addColumn<int>("instrumentModel");
        QTest::newRow("instrument of the file's model") << int(devAN);
        QTest::newRow("instrument of another model") << int(devTL);
    }

    // The file opens at start-up, and the attached instrument is listed but not connected.
    void commandLineFile()
    {
        QFETCH(int, instrumentModel);
        TWindowFixture fx;
        const QString path = fx.file("archive.kadrel1an");
        WriteArchive(path, devAN, Records(devAN, 6, 5), "A003");
        KadrelSimulator* instrument = fx.addInstrument(TKadrelType(instrumentModel), "A001", 4);
        QList<int> requests;
        QObject::connect(instrument, &KadrelSimulator::requestReceived, instrument,
                         [&](const QByteArray& frame) { requests << int(uint8_t(frame.at(3))); });

        TLoggedMainForm& window = fx.start({path});

        QCOMPARE(fx.status(0), OpenedSummary(0, 6, 6));
        QCOMPARE(fx.status(1), QStringLiteral("Кадрель-1.АН № A003"));
        QCOMPARE(window.CurrentFileName(), path);
        QCOMPARE(fx.devSelectBox()->count(), 1);
        QCOMPARE(fx.devSelectBox()->currentIndex(), -1);
        QTest::qWait(300);
        QCOMPARE(requests, QList<int>{kadrel::cmdDevInfo});
        QCOMPARE(fx.Shown->count(), 0);
        QCOMPARE(window.BasicGridCells().RowCount(), 7);
    }

    void unreadableCommandLineFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("damaged") << "archive.kadrel1an";
        QTest::newRow("unknown extension") << "archive.txt";
    }

    // The failure is reported and the attached instrument is still listed and connected.
    void unreadableCommandLineFile()
    {
        QFETCH(QString, name);
        TWindowFixture fx;
        const QString path = fx.file(name);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not an archive");
        }
        fx.addInstrument(devAN, "A001", 4);

        TLoggedMainForm& window = fx.start({path});

        QCOMPARE(fx.Prompts->Errors, QStringList{Unreadable + path});
        QCOMPARE(fx.devSelectBox()->count(), 1);
        QVERIFY(fx.waitForArchives(1));
        QCOMPARE(fx.status(1), QStringLiteral("Кадрель-1.АН № A001"));
        QCOMPARE(window.BasicGridCells().RowCount(), 5);
        QCOMPARE(window.CurrentFileName(), QString());
    }
};

QTEST_MAIN(TestMainWindowFiles)
#include "tst_main_window_files.moc"
