// The automatic backup of every archive read: where it goes, what it is named, how many copies
// stay, that a failure to write it is told without hiding the read summary, and that the
// window leaves one after each read.
#include "reliability_fixture.h"

#include "app/archive_backup.h"
#include "link/kadrel_error.h"
#include "models/archive_file.h"
#include "models/driver_factory.h"

namespace
{

struct TRaw : TArchEntry {
    QByteArray Bytes;
    uint8_t* Raw() override { return reinterpret_cast<uint8_t*>(Bytes.data()); }
};

// A driver of `model` holding `count` generated records of the instrument `serial`.
IKadrelPtr DriverWithRecords(TKadrelType model, uint16_t serial, int count, const QString& scratch)
{
    KadrelSimulator instrument(model);
    instrument.generateArchive(count, 4);
    const int size = instrument.recordSize();
    TArchiveList list;
    for (int i = 0; i < count; ++i) {
        auto entry = std::make_unique<TRaw>();
        entry->Bytes = instrument.memory().bytes().mid(i * size, size);
        list.push_back(std::move(entry));
    }
    TKadrelInfo info{};
    info.DevType = model;
    info.SerialNumber = serial;
    WriteArchiveFile(scratch, info, list, size);
    IKadrelPtr driver = CreateModelDriver(model);
    if (!driver->LoadFromFile(scratch))
        qFatal("the scratch archive does not load");
    return driver;
}

} // namespace

class TestArchiveBackup : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QDateTime m_now;

    QString config() const { return m_dir->filePath("config"); }
    TArchiveBackup backup() const
    {
        return TArchiveBackup(config(), [this] { return m_now; });
    }
    IKadrelPtr driver(TKadrelType model = devAN, uint16_t serial = SerialA(5), int count = 4)
    {
        return DriverWithRecords(model, serial, count, m_dir->filePath("scratch"));
    }
    QStringList copies(const QString& folder) const
    {
        return QDir(config() + "/Backup/" + folder).entryList(QDir::Files, QDir::Name);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_now = QDateTime(QDate(2026, 12, 11), QTime(14, 3, 27));
    }

    void instrumentFolder_data()
    {
        QTest::addColumn<TKadrelType>("model");
        QTest::addColumn<uint16_t>("serial");
        QTest::addColumn<QString>("folder");
        QTest::newRow("AN A005") << devAN << SerialA(5) << "AN-A005";
        QTest::newRow("TL without a letter") << devTL << uint16_t(0) << "TL-000";
        QTest::newRow("EG Y2047") << devEG << uint16_t((23 << 11) | 2047) << "EG-Y2047";
        QTest::newRow("FX, letter beyond the table")
            << devFX << uint16_t((30 << 11) | 12) << "FX-30-012";
    }

    void instrumentFolder()
    {
        QFETCH(TKadrelType, model);
        QFETCH(uint16_t, serial);
        QFETCH(QString, folder);
        const IKadrelPtr held = driver(model, serial);
        QCOMPARE(backup().InstrumentFolder(*held), config() + "/Backup/" + folder);
        const QString saved = backup().Save(*held);
        QCOMPARE(saved, config() + "/Backup/" + folder + "/2026-12-11_14-03-27" +
                            ModelInfo(model)->Extension);
        IKadrelPtr copy = CreateModelDriver(model);
        QVERIFY(copy->LoadFromFile(saved));
        const int size = ModelInfo(model)->RecordSize;
        QCOMPARE(HeldRecords(copy, size), HeldRecords(held, size));
    }

    // A read in the same second that brought something new gets a name of its own; one that
    // brought nothing new leaves the newest copy as it is.
    void sameSecond()
    {
        const IKadrelPtr held = driver();
        const QString first = backup().Save(*held);
        QCOMPARE(backup().Save(*held), first);
        QCOMPARE(copies("AN-A005"), QStringList{"2026-12-11_14-03-27.kadrel1an"});

        held->SetComment(1, QStringLiteral("new"));
        const QString second = backup().Save(*held);
        QCOMPARE(copies("AN-A005"),
                 (QStringList{"2026-12-11_14-03-27.kadrel1an", "2026-12-11_14-03-27_2.kadrel1an"}));
        IKadrelPtr copy = CreateModelDriver(devAN);
        QVERIFY(copy->LoadFromFile(second));
        QCOMPARE(copy->GetComment(1), QStringLiteral("new"));
    }

    // The newest 50 stay; files of other names in the folder are none of the backup's.
    void keepsTheLastFifty()
    {
        const IKadrelPtr held = driver();
        const QString folder = config() + "/Backup/AN-A005";
        QDir().mkpath(folder);
        QFile foreign(folder + "/notes.txt");
        QVERIFY(foreign.open(QIODevice::WriteOnly));
        foreign.close();
        for (int read = 0; read < 55; ++read) {
            held->SetComment(0, QString::number(read));
            backup().Save(*held);
            m_now = m_now.addSecs(60);
        }
        const QStringList kept = copies("AN-A005");
        QCOMPARE(kept.size(), TArchiveBackup::KeptPerInstrument + 1);
        QVERIFY(kept.contains("notes.txt"));
        QCOMPARE(kept.first(), QStringLiteral("2026-12-11_14-08-27.kadrel1an"));
        QVERIFY(kept.contains("2026-12-11_14-57-27.kadrel1an"));

        // A clock set back does not cost the copy just made.
        m_now = QDateTime(QDate(2020, 1, 1), QTime(0, 0));
        held->SetComment(0, QStringLiteral("clock set back"));
        const QString saved = backup().Save(*held);
        QVERIFY(QFileInfo::exists(saved));
        QCOMPARE(copies("AN-A005").size(), TArchiveBackup::KeptPerInstrument + 1);
        QVERIFY(!copies("AN-A005").contains("2026-12-11_14-08-27.kadrel1an"));
    }

    void nothingToBackUp()
    {
        const IKadrelPtr empty = CreateModelDriver(devTL);
        QCOMPARE(backup().Save(*empty), QString());
        QVERIFY(!QFileInfo::exists(config() + "/Backup"));
    }

    void failureIsTold_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("note");
        QTest::newRow("Russian") << 0 << "Резервная копия не сохранена: ";
        QTest::newRow("English") << 1 << "Backup not saved: ";
    }

    void failureIsTold()
    {
        QFETCH(int, lang);
        QFETCH(QString, note);
        const IKadrelPtr held = driver();
        QVERIFY(QDir().mkpath(config()));
        QFile blocker(config() + "/Backup");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY_THROWS_EXCEPTION(KadrelError, backup().Save(*held));
        const QString text = BackupCompletedRead(*held, config(), lang);
        QVERIFY2(text.startsWith(note) && text.contains(QDir::toNativeSeparators(config())),
                 qPrintable(text));
        QCOMPARE(HeldCount(held), 4);
    }

    void windowBacksUpEveryRead_data()
    {
        QTest::addColumn<bool>("blocked");
        QTest::newRow("backup written") << false;
        QTest::newRow("backup folder blocked") << true;
    }

    // Every read leaves a copy, and the status keeps the read summary either way.
    void windowBacksUpEveryRead()
    {
        QFETCH(bool, blocked);
        TRig rig;
        KadrelSimulator* instrument = rig.addInstrument(devEG, SerialA(9), 7, 1);
        if (blocked) {
            QFile blocker(rig.configFolder() + "/Backup");
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        rig.start();
        QVERIFY(rig.waitForArchives(1));
        const QString summary = "Archive readed: 0 duplicate, 7 unique, 7 new entries. ";
        if (blocked) {
            QVERIFY2(rig.status().startsWith(summary + "Backup not saved: "),
                     qPrintable(rig.status()));
            return;
        }
        QCOMPARE(rig.status(), summary);
        QCOMPARE(rig.backups("EG-A009").size(), 1);

        // A second read with other records on the instrument adds a copy holding them all.
        instrument->generateArchive(9, 2);
        rig.trigger("ActionRead");
        QVERIFY(rig.waitForArchives(2));
        const QStringList backups = rig.backups("EG-A009");
        QCOMPARE(backups.size(), 2);
        IKadrelPtr copy = CreateModelDriver(devEG);
        QVERIFY(copy->LoadFromFile(rig.backupPath("EG-A009", backups.last())));
        QCOMPARE(HeldRecords(copy, 84), HeldRecords(ActiveDriver, 84));
        QVERIFY(HeldCount(copy) > 7);
    }
};

QTEST_MAIN(TestArchiveBackup)
#include "tst_archive_backup.moc"
