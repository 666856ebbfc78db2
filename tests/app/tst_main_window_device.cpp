// The main window with instruments: connecting, the clock, reading, the read summary,
// deleting results, unplugging and Close.
#include "window_fixture.h"

#include "link/frame.h"

namespace
{

const QString ReadingText = QStringLiteral("Идет чтение архива...");
const QString ClockText = QStringLiteral("Часы синхронизованы успешно");
const QString RemovedText = QStringLiteral("Выбранные результаты удалены");

// The command codes of the requests an instrument receives.
class TRequestLog
{
public:
    explicit TRequestLog(KadrelSimulator* instrument)
    {
        QObject::connect(instrument, &KadrelSimulator::requestReceived, &m_context,
                         [this](const QByteArray& frame) { Codes << int(uint8_t(frame.at(3))); });
    }
    QList<int> Codes;

private:
    QObject m_context;
};

// Rows 3 to 5 of the record table removed.
QList<QStringList> WithoutRows3To5(QList<QStringList> rows)
{
    rows.erase(rows.begin() + 3, rows.begin() + 6);
    return rows;
}

} // namespace

class TestMainWindowDevice : public QObject
{
    Q_OBJECT

private slots:
    void connection_data()
    {
        QTest::addColumn<bool>("autoClock");
        QTest::addColumn<QList<int>>("requests");
        using namespace kadrel;
        // The discovery's identification comes first, then the driver's own connection.
        QTest::newRow("automatic clock")
            << true << QList<int>{cmdDevInfo, cmdDevInfo, cmdClockWrite, cmdArchHead, cmdArchPage};
        QTest::newRow("no automatic clock")
            << false << QList<int>{cmdDevInfo, cmdDevInfo, cmdArchHead, cmdArchPage};
    }

    void connection()
    {
        QFETCH(bool, autoClock);
        QFETCH(QList<int>, requests);
        TWindowFixture fx;
        fx.writeSettings(autoClock ? "[Settings]\r\nAutoClock=1\r\n"
                                   : "[Settings]\r\nAutoClock=0\r\n");
        KadrelSimulator* instrument = fx.addInstrument(devAN, "A001", 7);
        const TRequestLog log(instrument);

        TLoggedMainForm& window = fx.start();
        QVERIFY(fx.waitForArchives(1));

        QCOMPARE(log.Codes, requests);
        QCOMPARE(instrument->clock().isValid(), autoClock);
        if (autoClock) {
            QVERIFY(qAbs(instrument->clock().secsTo(QDateTime::currentDateTime())) < 120);
            const int clockAt = int(window.StatusLog.indexOf(ClockText));
            QVERIFY(clockAt >= 0);
            QCOMPARE(window.StatusLog.indexOf(ReadingText, clockAt), clockAt + 1);
        } else {
            QVERIFY(!window.StatusLog.contains(ClockText));
        }
        QCOMPARE(
            fx.status(0),
            QStringLiteral("Архив прочитан: 0 повторяющихся, 7 уникальных, 7 новых записей. "));
        QCOMPARE(fx.status(1), QStringLiteral("Кадрель-1.АН № A001"));
        QVERIFY(fx.tablesShown());
        QVERIFY(!fx.progressBar()->isVisible());
        QCOMPARE(window.BasicGridCells().RowCount(), 8);
        QCOMPARE(fx.devSelectBox()->currentIndex(), 0);
    }

    // The Clock command sets the clock and starts no read.
    void clockCommand()
    {
        TWindowFixture fx;
        KadrelSimulator* instrument = fx.addInstrument(devAN, "A001", 7);
        fx.start();
        QVERIFY(fx.waitForArchives(1));
        const QDateTime firstSetting = instrument->clock();
        const TRequestLog log(instrument);

        fx.trigger("ActionClock");

        QVERIFY(fx.waitFor([&] { return fx.status() == ClockText; }));
        QVERIFY(instrument->clock() >= firstSetting);
        QTest::qWait(300);
        QCOMPARE(log.Codes, QList<int>{kadrel::cmdClockWrite});
        QVERIFY(fx.tablesShown());
    }

    void readSummary_data()
    {
        QTest::addColumn<bool>("secondInstrument");
        QTest::addColumn<QString>("summary");
        QTest::newRow("second instrument merged")
            << true
            << QStringLiteral("Архив прочитан: 2 повторяющихся, 10 уникальных, 3 новых записей. ");
        QTest::newRow("same instrument again")
            << false
            << QStringLiteral("Архив прочитан: 7 повторяющихся, 7 уникальных, 0 новых записей. ");
    }

    void readSummary()
    {
        QFETCH(bool, secondInstrument);
        QFETCH(QString, summary);
        TWindowFixture fx;
        KadrelSimulator* first = fx.addInstrument(devAN, "A001", 7);
        if (secondInstrument) {
            // Three measurements of its own and the two newest of the first instrument.
            KadrelSimulator* second = fx.addInstrument(devAN, "A002", 0);
            const QByteArray own = Records(devAN, 3, 2, QDateTime(QDate(2024, 7, 1), QTime(9, 0)));
            second->setRecords(own + first->memory().bytes().left(2 * first->recordSize()), 4);
        }
        fx.start();
        QVERIFY(fx.waitForArchives(1));

        if (secondInstrument) {
            fx.Prompts->Answers << IPrompts::Yes;
            fx.chooseInstrument(1);
            QCOMPARE(fx.Prompts->Questions,
                     QStringList{QStringLiteral("Объединить результаты из файлов/приборов?")});
        } else {
            fx.trigger("ActionRead");
        }
        QVERIFY(fx.waitForArchives(2));

        QCOMPARE(fx.status(), summary);
        const int unique = secondInstrument ? 10 : 7;
        QCOMPARE(fx.Window->BasicGridCells().RowCount(), unique + 1);
    }

    void commandWithoutInstrument_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<bool>("fileOnShow");
        for (const char* command : {"ActionRead", "ActionClock", "ActionNames"}) {
            QTest::addRow("%s, nothing on show", command) << QByteArray(command) << false;
            QTest::addRow("%s, file on show", command) << QByteArray(command) << true;
        }
    }

    void commandWithoutInstrument()
    {
        QFETCH(QByteArray, command);
        QFETCH(bool, fileOnShow);
        TWindowFixture fx;
        QStringList files;
        if (fileOnShow) {
            files << fx.file("archive.kadrel1an");
            WriteArchive(files.first(), devAN, Records(devAN, 5, 3));
        }
        TLoggedMainForm& window = fx.start(files);
        const QList<QStringList> rows = AllRows(window.BasicGridCells());
        const QList<QStringList> details = AllRows(window.DetailGridCells());

        fx.trigger(command.constData());

        QCOMPARE(fx.status(), QStringLiteral("Прибор не выбран"));
        QCOMPARE(AllRows(window.BasicGridCells()), rows);
        QCOMPARE(AllRows(window.DetailGridCells()), details);
        QCOMPARE(fx.tablesShown(), fileOnShow);
        QCOMPARE(bool(ActiveDriver), fileOnShow);
    }

    // The instrument deletes the records at once; its acknowledgement brings the status text.
    void deleteResultsOnInstrument()
    {
        TWindowFixture fx;
        KadrelSimulator* instrument = fx.addInstrument(devAN, "A001", 9);
        TLoggedMainForm& window = fx.start();
        QVERIFY(fx.waitForArchives(1));
        const QList<QStringList> expected = WithoutRows3To5(AllRows(window.BasicGridCells()));

        fx.clickRow(fx.basicGrid(), 3);
        fx.clickRow(fx.basicGrid(), 5, 0, Qt::ShiftModifier);
        QCOMPARE(window.SelectionTop(), 3);
        QCOMPARE(window.SelectionBottom(), 5);
        fx.trigger("ActionDeleteResults");

        QCOMPARE(AllRows(window.BasicGridCells()), expected);
        QVERIFY(fx.waitFor([&] { return fx.status() == RemovedText; }));
        QCOMPARE(instrument->memory().count(), 6);

        fx.trigger("ActionRead");
        QVERIFY(fx.waitForArchives(2));
        QCOMPARE(
            fx.status(),
            QStringLiteral("Архив прочитан: 6 повторяющихся, 6 уникальных, 0 новых записей. "));
        QCOMPARE(AllRows(window.BasicGridCells()), expected);
    }

    void deleteResultsOfFile()
    {
        TWindowFixture fx;
        const QString file = fx.file("archive.kadrel1an");
        WriteArchive(file, devAN, Records(devAN, 9, 4));
        KadrelSimulator* instrument = fx.addInstrument(devAN, "A001", 9);
        const TRequestLog log(instrument);
        TLoggedMainForm& window = fx.start({file});
        const QList<QStringList> expected = WithoutRows3To5(AllRows(window.BasicGridCells()));

        fx.clickRow(fx.basicGrid(), 3);
        fx.clickRow(fx.basicGrid(), 5, 0, Qt::ShiftModifier);
        fx.trigger("ActionDeleteResults");

        QCOMPARE(AllRows(window.BasicGridCells()), expected);
        QCOMPARE(fx.status(), RemovedText);
        QTest::qWait(300);
        QCOMPARE(log.Codes, QList<int>{kadrel::cmdDevInfo});
        QCOMPARE(instrument->memory().count(), 9);
        // The file itself stays as it was until it is saved.
        QCOMPARE(RecordCount(file, devAN), 9);
    }

    void unplugConnectedInstrument()
    {
        TWindowFixture fx;
        KadrelSimulator* instrument = fx.addInstrument(devAN, "A001", 7);
        TLoggedMainForm& window = fx.start();
        QVERIFY(fx.waitForArchives(1));
        const QList<QStringList> rows = AllRows(window.BasicGridCells());

        instrument->hangUp();

        QVERIFY(fx.waitFor([&] { return fx.status() == QStringLiteral("Прибор отключен"); }));
        QCOMPARE(fx.devSelectBox()->count(), 0);
        QCOMPARE(fx.devSelectBox()->currentText(), QString());
        QVERIFY(fx.tablesShown());
        QCOMPARE(AllRows(window.BasicGridCells()), rows);

        const QString saved = fx.file("kept.kadrel1an");
        fx.Prompts->SaveFiles << saved;
        fx.trigger("ActionSave");
        QCOMPARE(fx.status(), QStringLiteral("Файл сохранен"));
        QCOMPARE(RecordCount(saved, devAN), 7);
    }

    void close()
    {
        TWindowFixture fx;
        fx.addInstrument(devAN, "A001", 7);
        fx.start();
        QVERIFY(fx.waitForArchives(1));

        fx.trigger("ActionClose");

        QCOMPARE(fx.status(0), QStringLiteral("Готов."));
        QCOMPARE(fx.status(1), QStringLiteral("Не подключен"));
        QVERIFY(!fx.tablesShown());
        QVERIFY(fx.progressBar()->isVisible());
        QCOMPARE(fx.devSelectBox()->currentIndex(), -1);
        QVERIFY(!ActiveDriver);

        fx.trigger("ActionSave");
        QCOMPARE(fx.status(), QStringLiteral("Нечего сохранять"));
        QVERIFY(fx.Prompts->SaveFilters.isEmpty());
    }
};

QTEST_MAIN(TestMainWindowDevice)
#include "tst_main_window_device.moc"
