// kadrel-cli against simulated instruments on pseudo-terminals: listing and identifying them,
// reading whole archives into files, setting the clock, and instruments that are absent,
// busy, silent or unplugged, with files already on disk left as they were.
#include "cli_fixture.h"

#include "models/model_table.h"
#include "sim/kadrel_simulator.h"

#include <QDateTime>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using kadrel::sim::KadrelSimulator;
using kadrel::sim::SimFaults;

namespace
{

constexpr uint16_t SerialB012 = 2 << 11 | 12;

// An instrument of `model` holding `records` generated records.
std::unique_ptr<KadrelSimulator> instrument(TKadrelType model, int records = 0)
{
    auto sim = std::make_unique<KadrelSimulator>(model);
    if (!sim->open())
        return nullptr;
    if (records > 0)
        sim->generateArchive(records, 11);
    return sim;
}

} // namespace

class TestCliInstrument : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void portsListsAnsweringInstruments()
    {
        const auto an = instrument(devAN);
        const auto silent = instrument(devEG);
        const auto tl = instrument(devTL);
        QVERIFY(an && silent && tl);
        tl->setSerialNumber(SerialB012);
        SimFaults faults;
        faults.silent = true;
        silent->setFaults(faults);

        const CliRun run = runCli({"ports", "--port", an->portName(), "--port", silent->portName(),
                                   "--port", tl->portName(), "--port", path("absent")});
        QVERIFY(run.finished);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.outText(), an->portName() + "\tKadrel-1.AN № A005\tAN\n" + tl->portName() +
                                    "\tKadrel-1.TL № B012\tTL\n");
        QVERIFY(run.err.isEmpty());
    }

    void infoDecodesIdentification()
    {
        const auto fx = instrument(devFX);
        QVERIFY(fx);
        fx->setSerialNumber(SerialB012);
        const TKadrelInfo& info = fx->info();

        const CliRun run = runCli({"info", "--port", fx->portName(), "--lang", "ru"});
        QCOMPARE(run.status, 0);
        const QStringList lines = run.outText().split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(lines.contains("Type: 3"));
        QVERIFY(lines.contains("Model: FX"));
        QVERIFY(lines.contains("Serial number: B012"));
        QVERIFY(lines.contains("Name: Кадрель-1.ФХ № B012"));
        QVERIFY(lines.contains(
            "Software version: " +
            QByteArray(reinterpret_cast<const char*>(info.SoftVersion), 10).toHex()));
        QVERIFY(lines.contains(
            "Record: " +
            QByteArray(reinterpret_cast<const char*>(&info), int(sizeof info)).toHex()));
    }

    void readSavesWholeArchive_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("records");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("summary");

        QTest::newRow("AN under its default name")
            << int(devAN) << 30 << QStringList{}
            << "Archive readed: 0 duplicate, 30 unique, 30 new entries.";
        QTest::newRow("TL with the clock set")
            << int(devTL) << 25 << QStringList{"--out", "tl.kadrel1tl", "--sync-clock"}
            << "Archive readed: 0 duplicate, 25 unique, 25 new entries.";
        QTest::newRow("EG in Russian")
            << int(devEG) << 12 << QStringList{"--out", "eg.kadrel1eg", "--lang", "ru"}
            << "Архив прочитан: 0 повторяющихся, 12 уникальных, 12 новых записей.";
        QTest::newRow("FX without records")
            << int(devFX) << 0 << QStringList{"--out", "fx.kadrel1fx"}
            << "Archive readed: 0 duplicate, 0 unique, 0 new entries.";
    }

    void readSavesWholeArchive()
    {
        QFETCH(int, model);
        QFETCH(int, records);
        QFETCH(QStringList, options);
        QFETCH(QString, summary);
        const auto sim = instrument(TKadrelType(model), records);
        QVERIFY(sim);
        QTemporaryDir folder;

        const QDate before = QDate::currentDate();
        const CliRun run =
            runCli(QStringList{"read", "--port", sim->portName()} + options, folder.path());
        const QDate after = QDate::currentDate();
        QVERIFY(run.finished);
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.isEmpty(), run.err.constData());

        const int out = int(options.indexOf("--out"));
        QString file = out >= 0 ? options[out + 1] : QString();
        if (file.isEmpty()) {
            // Model, serial number and the day of the read.
            file = "AN-A005-" + before.toString(Qt::ISODate) + ".kadrel1an";
            if (!QFileInfo::exists(folder.filePath(file)))
                file = "AN-A005-" + after.toString(Qt::ISODate) + ".kadrel1an";
        }
        const QStringList lines = run.outText().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], summary);
        QVERIFY(lines[1].endsWith(": " + file));

        const int size = ModelInfo(model)->RecordSize;
        QCOMPARE(readBytes(folder.filePath(file)),
                 archiveBytes(sim->info(), sim->memory().bytes(), size));
        QCOMPARE(sim->clock().isValid(), options.contains("--sync-clock"));
    }

    void readRefusesToReplaceWithoutForce()
    {
        const auto sim = instrument(devAN, 5);
        QVERIFY(sim);
        const QString file = path("kept.kadrel1an");
        QVERIFY(writeBytes(file, "previous"));

        const CliRun refused = runCli({"read", "--port", sim->portName(), "--out", file});
        QCOMPARE(refused.status, 4);
        QCOMPARE(refused.errLines().size(), 1);
        QCOMPARE(readBytes(file), QByteArray("previous"));
        QCOMPARE(sim->requestCount(), 0);

        const CliRun forced = runCli({"read", "--port", sim->portName(), "--out", file, "--force"});
        QCOMPARE(forced.status, 0);
        QCOMPARE(readBytes(file), archiveBytes(sim->info(), sim->memory().bytes(), 96));
    }

    void readWithoutInstrument_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QString>("reason");
        QTest::newRow("absent") << "absent"
                                << "no such port";
        QTest::newRow("busy") << "busy"
                              << "the port is busy or not accessible";
        QTest::newRow("silent") << "silent"
                                << "the instrument did not answer within 1 s";
        QTest::newRow("unplugged during the read")
            << "unplugged"
            << "the port failed or the instrument was unplugged";
    }

    // Ends with status 3 and one error line; the archive file already there is not touched,
    // even with --force.
    void readWithoutInstrument()
    {
        QFETCH(QString, trouble);
        QFETCH(QString, reason);
        const auto sim = instrument(devAN, 30);
        QVERIFY(sim);
        QString port = sim->portName();
        QSerialPort holder;
        SimFaults faults;
        if (trouble == "absent") {
            port = path("ttyNone");
        } else if (trouble == "busy") {
            holder.setPortName(port);
            QVERIFY(holder.open(QIODevice::ReadWrite));
        } else if (trouble == "silent") {
            faults.silent = true;
        } else {
            // Both identifications and the head are answered; the first page request unplugs.
            faults.hangUpAfter = 3;
        }
        sim->setFaults(faults);
        const QString file = path("saved.kadrel1an");
        QVERIFY(writeBytes(file, "saved before"));

        const CliRun run =
            runCli({"read", "--port", port, "--out", file, "--force", "--timeout", "1"});
        QVERIFY(run.finished);
        QCOMPARE(run.status, 3);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.errLines(), QStringList{"kadrel-cli: " + port + ": " + reason});
        QCOMPARE(readBytes(file), QByteArray("saved before"));
    }

    void clockSetsInstrumentClock()
    {
        const auto sim = instrument(devTL);
        QVERIFY(sim);
        const CliRun run = runCli({"clock", "--port", sim->portName()});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.outText(), "Clock synced successfully\n");
        // The computer's local time, to the second it was sent.
        const QDateTime set = sim->clock();
        QVERIFY(set.isValid());
        QVERIFY(qAbs(set.secsTo(QDateTime::currentDateTime())) < 120);
    }

    void clockOfSilentInstrument()
    {
        const auto sim = instrument(devTL);
        QVERIFY(sim);
        SimFaults faults;
        faults.silent = true;
        sim->setFaults(faults);
        const CliRun run = runCli({"clock", "--port", sim->portName(), "--timeout", "0.5"});
        QCOMPARE(run.status, 3);
        QCOMPARE(run.errLines().size(), 1);
        QVERIFY(!sim->clock().isValid());
    }
};

QTEST_GUILESS_MAIN(TestCliInstrument)
#include "tst_cli_instrument.moc"
