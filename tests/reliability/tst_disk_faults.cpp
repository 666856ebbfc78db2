// Faults of the disk under the window: saving where no file can be written, onto a full
// disk, and opening truncated or corrupted archives of every model. Each ends with a clear
// error while the file on disk and the records in memory stay as they were.
#include "reliability_fixture.h"

#include "models/archive_file.h"
#include "models/driver_factory.h"

#include <QComboBox>
#include <QtEndian>
#include <csignal>
#include <sys/resource.h>

namespace
{

// Files may grow to `bytes` at most while it lives; writing beyond fails as on a full disk
// (the signal that would end the process is ignored meanwhile).
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_before);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_before;
        limit.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_handler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

    bool active() const { return m_active; }

private:
    rlimit m_before{};
    void (*m_handler)(int) = SIG_DFL;
    bool m_active = false;
};

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// An archive of `model` with `count` generated records, two of them commented, as bytes.
QByteArray ArchiveBytes(TKadrelType model, int count, quint32 seed, const QString& scratch)
{
    KadrelSimulator instrument(model);
    instrument.generateArchive(count, seed);
    const int size = instrument.recordSize();
    const QString raw = scratch + ".raw";
    TArchiveList list;
    struct TRaw : TArchEntry {
        QByteArray Bytes;
        uint8_t* Raw() override { return reinterpret_cast<uint8_t*>(Bytes.data()); }
    };
    for (int i = 0; i < count; ++i) {
        auto entry = std::make_unique<TRaw>();
        entry->Bytes = instrument.memory().bytes().mid(i * size, size);
        if (i < 2)
            entry->UserComment = QStringLiteral("'замечание %1'\rline").arg(i);
        list.push_back(std::move(entry));
    }
    TKadrelInfo info{};
    info.DevType = model;
    info.SerialNumber = SerialA(count);
    WriteArchiveFile(raw, info, list, size);
    return FileBytes(raw);
}

} // namespace

class TestDiskFaults : public QObject
{
    Q_OBJECT

    std::unique_ptr<TRig> m_rig;

    // What the window holds, to compare after a failure.
    struct TShown {
        QByteArray Records;
        QStringList Comments;
        QList<QStringList> Rows;
        QString Status;

        bool operator==(const TShown& other) const
        {
            return Records == other.Records && Comments == other.Comments && Rows == other.Rows &&
                   Status == other.Status;
        }
    };

    TShown shown() const
    {
        TShown state;
        state.Records = HeldRecords(ActiveDriver, RecordSizeOf(ActiveDriver));
        for (const auto& entry : Base(ActiveDriver).Archive())
            state.Comments << entry->UserComment;
        const TStringGrid& grid = m_rig->Window->BasicGridCells();
        for (int row = 0; row < grid.RowCount(); ++row) {
            QStringList cells;
            for (int col = 0; col < grid.ColCount(); ++col)
                cells << grid.Cell(col, row);
            state.Rows << cells;
        }
        state.Status = m_rig->status();
        return state;
    }

private slots:
    void init() { m_rig = std::make_unique<TRig>(); }
    void cleanup() { m_rig.reset(); }

    void saveFails_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("sizeLimit");
        QTest::addColumn<QString>("reason");
        // The tests run as root, whom permission bits do not stop: these places cannot hold
        // the file whoever writes.
        QTest::newRow("folder is a file") << "plain/archive.kadrel1an" << 0 << "Not a directory";
        QTest::newRow("folder missing")
            << "absent/archive.kadrel1an" << 0 << "No such file or directory";
        QTest::newRow("name too long")
            << QString(300, u'n') + ".kadrel1an" << 0 << "File name too long";
        QTest::newRow("disk full") << "archive.kadrel1an" << 1024 << "File too large";
    }

    // Save over a file saved before: the error names the file and the reason, the earlier file
    // stays whole, and the records, their comments and the status stay as they were.
    void saveFails()
    {
        QFETCH(QString, target);
        QFETCH(int, sizeLimit);
        QFETCH(QString, reason);
        KadrelSimulator* instrument = m_rig->addInstrument(devAN, SerialA(5), 25, 1);
        m_rig->start();
        QVERIFY(m_rig->waitForArchives(1));
        WriteBytes(m_rig->file("plain"), "a file where a folder should be");
        const QString path = m_rig->file(target);
        const QByteArray earlier = "an earlier archive";
        if (sizeLimit > 0)
            WriteBytes(path, earlier);
        ActiveDriver->SetComment(0, QStringLiteral("typed before saving"));
        const TShown before = shown();

        m_rig->Prompts->SaveFiles << path;
        m_rig->Prompts->Answers << IPrompts::Yes;
        {
            TFileSizeLimit limit(sizeLimit > 0 ? rlim_t(sizeLimit) : RLIM_INFINITY);
            QVERIFY(limit.active());
            m_rig->trigger("ActionSaveAs");
        }

        QCOMPARE(m_rig->Prompts->Errors.size(), 1);
        const QString error = m_rig->Prompts->Errors.first();
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)) && error.contains(reason),
                 qPrintable(error));
        QVERIFY(shown() == before);
        QCOMPARE(HeldRecords(ActiveDriver, 96), instrument->memory().bytes());
        QCOMPARE(m_rig->Window->CurrentFileName(), QString());
        QCOMPARE(FileBytes(path), sizeLimit > 0 ? earlier : QByteArray());

        // Once the disk has room, the same records are saved.
        const QString elsewhere = m_rig->file("elsewhere.kadrel1an");
        m_rig->Prompts->SaveFiles << elsewhere;
        m_rig->trigger("ActionSaveAs");
        QCOMPARE(m_rig->status(), QStringLiteral("File saved"));
        IKadrelPtr copy = CreateModelDriver(devAN);
        QVERIFY(copy->LoadFromFile(elsewhere));
        QCOMPARE(HeldRecords(copy, 96), instrument->memory().bytes());
        QCOMPARE(copy->GetComment(0), QStringLiteral("typed before saving"));
    }

    // The settings written at the end find the disk full: the error names the file, and the
    // settings of the last run stay for the next one.
    void settingsOnFullDisk()
    {
        const QByteArray settings = FileBytes(m_rig->settingsFile());
        m_rig->start();
        {
            TFileSizeLimit limit(16);
            QVERIFY(limit.active());
            m_rig->Window->close();
        }
        QCOMPARE(
            m_rig->Prompts->Errors,
            QStringList{"Unable to write to " + QDir::toNativeSeparators(m_rig->settingsFile())});
        QCOMPARE(FileBytes(m_rig->settingsFile()), settings);
    }

    void openDamaged_data()
    {
        QTest::addColumn<TKadrelType>("model");
        QTest::addColumn<TKadrelType>("shownModel");
        QTest::addColumn<IPrompts::TAnswer>("merge");
        QTest::newRow("AN onto AN, merging") << devAN << devAN << IPrompts::Yes;
        QTest::newRow("TL onto TL, replacing") << devTL << devTL << IPrompts::No;
        QTest::newRow("EG onto AN") << devEG << devAN << IPrompts::Yes;
        QTest::newRow("FX onto TL") << devFX << devTL << IPrompts::No;
    }

    // Archives cut at many offsets and corrupted in their counts: each is refused with the
    // unreadable-file error, and the window keeps what it showed.
    void openDamaged()
    {
        QFETCH(TKadrelType, model);
        QFETCH(TKadrelType, shownModel);
        QFETCH(IPrompts::TAnswer, merge);
        const QString shownFile = m_rig->file("shown" + QString(ModelInfo(shownModel)->Extension));
        WriteBytes(shownFile, ArchiveBytes(shownModel, 6, 3, m_rig->file("a")));
        m_rig->start({shownFile});
        QCOMPARE(HeldCount(ActiveDriver), 6);
        const TShown before = shown();
        const IKadrelPtr driver = ActiveDriver;

        const QByteArray whole = ArchiveBytes(model, 5, 9, m_rig->file("b"));
        QList<QByteArray> damaged;
        for (int cut = 0; cut < whole.size(); cut += 7)
            damaged << whole.left(cut);
        damaged << whole.left(whole.size() - 1);
        QByteArray hugeCount = whole;
        qToLittleEndian<qint32>(0x7FFFFFFF, hugeCount.data() + 65);
        QByteArray oneTooMany = whole;
        qToLittleEndian<qint32>(6, oneTooMany.data() + 65);
        QByteArray hugeComment = whole;
        qToLittleEndian<qint32>(0x40000000, hugeComment.data() + 69 + ModelInfo(model)->RecordSize);
        damaged << hugeCount << oneTooMany << hugeComment;

        const QString path = m_rig->file("damaged" + QString(ModelInfo(model)->Extension));
        for (const QByteArray& bytes : damaged) {
            WriteBytes(path, bytes);
            m_rig->Prompts->Errors.clear();
            m_rig->Prompts->Answers = {merge};
            m_rig->Prompts->OpenFiles = {path};
            m_rig->trigger("ActionOpen");
            QCOMPARE(m_rig->Prompts->Errors,
                     QStringList{"The file is unreadable or corrupted:" + path});
            QVERIFY2(ActiveDriver == driver && shown() == before,
                     qPrintable(QString("%1 of %2 bytes").arg(bytes.size()).arg(whole.size())));
        }
        // Whole again, the file opens.
        WriteBytes(path, whole);
        m_rig->Prompts->Errors.clear();
        m_rig->Prompts->Answers = {merge};
        m_rig->Prompts->OpenFiles = {path};
        m_rig->trigger("ActionOpen");
        QCOMPARE(m_rig->Prompts->Errors, QStringList());
        QCOMPARE(HeldCount(ActiveDriver), model == shownModel && merge == IPrompts::Yes ? 11 : 5);
    }
};

QTEST_MAIN(TestDiskFaults)
#include "tst_disk_faults.moc"
