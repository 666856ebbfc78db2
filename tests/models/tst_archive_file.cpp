// The archive file: its byte layout, comments kept unchanged, damaged and hostile files that
// must fail without touching what the caller holds, failed saves that must keep the old file,
// and the round trip through the driver of each model, made by device type.
#include "link/kadrel_error.h"
#include "models/archive_file.h"
#include "models/driver_factory.h"
#include "models/kadrel_an.h"
#include "models/kadrel_eg.h"
#include "models/kadrel_fx.h"
#include "models/kadrel_tl.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <cstring>

namespace
{

// A record of any size: the container never looks inside.
struct BytesEntry : TArchEntry {
    explicit BytesEntry(int size) : Bytes(size_t(size)) {}
    uint8_t* Raw() override { return Bytes.data(); }
    std::vector<uint8_t> Bytes;
};

TEntryFactory bytesFactory(int size, int* made = nullptr)
{
    return [size, made] {
        if (made)
            ++*made;
        return std::make_unique<BytesEntry>(size);
    };
}

QByteArray rawRecord(int size, int seed)
{
    QByteArray raw(size, 0);
    for (int i = 0; i < size; ++i)
        raw[i] = char((seed * 37 + i * 11) & 0xFF);
    return raw;
}

std::unique_ptr<TArchEntry> entry(const QByteArray& raw, const QString& comment = {})
{
    auto result = std::make_unique<BytesEntry>(int(raw.size()));
    std::memcpy(result->Raw(), raw.constData(), size_t(raw.size()));
    result->UserComment = comment;
    return result;
}

TKadrelInfo info(uint8_t type, uint16_t serial)
{
    TKadrelInfo result{};
    result.StrictVersion = 3;
    result.DevType = type;
    result.DevVersion = 7;
    result.SerialNumber = serial;
    std::memcpy(result.SoftVersion, "soft 1.2", 8);
    std::memcpy(result.MakeDate, "2024-05-01", 10);
    return result;
}

QByteArray infoBytes(const TKadrelInfo& block)
{
    return QByteArray(reinterpret_cast<const char*>(&block), int(sizeof block));
}

QByteArray int32Bytes(qint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    return QByteArray(bytes, 4);
}

QByteArray utf16Bytes(const QString& text)
{
    QByteArray bytes;
    for (QChar unit : text) {
        bytes.append(char(unit.unicode() & 0xFF));
        bytes.append(char(unit.unicode() >> 8));
    }
    return bytes;
}

// One record block written out by hand: the raw record, L, then L code units.
QByteArray block(const QByteArray& raw, const QString& comment)
{
    return raw + int32Bytes(qint32(comment.size())) + utf16Bytes(comment);
}

bool sameInfo(const TKadrelInfo& a, const TKadrelInfo& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

QByteArray rawOf(const TArchEntry& entry, int size)
{
    return QByteArray(reinterpret_cast<const char*>(entry.Raw()), size);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

std::shared_ptr<TKadrelBase> modelDriver(int devType)
{
    return std::dynamic_pointer_cast<TKadrelBase>(CreateModelDriver(devType));
}

// What a driver holds that a failed load must leave alone.
struct DriverState {
    explicit DriverState(const TKadrelBase& driver, int recordSize)
        : Info(driver.DevInfo()), Total(driver.ArchTotal()), LastReaded(driver.ArchLastReaded())
    {
        for (const auto& record : driver.Archive())
            Records << rawOf(*record, recordSize) + utf16Bytes(record->UserComment);
    }
    bool operator==(const DriverState& other) const
    {
        return sameInfo(Info, other.Info) && Total == other.Total &&
               LastReaded == other.LastReaded && Records == other.Records;
    }

    TKadrelInfo Info;
    uint16_t Total;
    uint16_t LastReaded;
    QList<QByteArray> Records;
};

constexpr int RecordSize = 16;

} // namespace

class TestArchiveFile : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void emptyListIsSixtyNineBytes();
    void recordBlocksFollowEachOther();
    void commentsRoundTripUnchanged_data();
    void commentsRoundTripUnchanged();
    void negativeCountsReadAsNone_data();
    void negativeCountsReadAsNone();
    void damagedFileTouchesNothing_data();
    void damagedFileTouchesNothing();
    void missingFileFails();
    void saveIntoUnusableFolderFails_data();
    void saveIntoUnusableFolderFails();
    void failedSaveKeepsOldFile();

    void driversByDeviceType();
    void driverRoundTrip_data();
    void driverRoundTrip();
    void loadingTwiceDoublesTheList();
    void truncatedFileKeepsDriverState();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void TestArchiveFile::emptyListIsSixtyNineBytes()
{
    const TKadrelInfo written = info(devTL, 0x0805);
    WriteArchiveFile(path("empty"), written, {}, RecordSize);
    QCOMPARE(readAll(path("empty")), infoBytes(written) + int32Bytes(0));

    TKadrelInfo read{};
    TArchiveList records;
    QVERIFY(ReadArchiveFile(path("empty"), RecordSize, bytesFactory(RecordSize), read, records));
    QVERIFY(sameInfo(read, written));
    QVERIFY(records.empty());
}

void TestArchiveFile::recordBlocksFollowEachOther()
{
    TArchiveList records;
    records.push_back(entry(rawRecord(RecordSize, 1)));
    records.push_back(entry(rawRecord(RecordSize, 2), QStringLiteral("ab")));
    const TKadrelInfo written = info(devFX, 1);
    WriteArchiveFile(path("two"), written, records, RecordSize);

    // An empty comment is its length 0 alone: four zero bytes, then the next record.
    const QByteArray expected = infoBytes(written) + int32Bytes(2) + rawRecord(RecordSize, 1) +
                                QByteArray(4, 0) + rawRecord(RecordSize, 2) + int32Bytes(2) +
                                QByteArray("a\0b\0", 4);
    QCOMPARE(readAll(path("two")), expected);
}

void TestArchiveFile::commentsRoundTripUnchanged_data()
{
    QTest::addColumn<QString>("comment");
    QTest::newRow("line breaks") << QStringLiteral("first\r\nsecond\rthird\n");
    QTest::newRow("quotes and commas") << QStringLiteral("\"quoted\", 'single'; a,b\tc");
    QTest::newRow("cyrillic") << QStringLiteral("Проба № 1, стена");
    QTest::newRow("outside the basic plane") << QString::fromUtf8("\xF0\x9F\x98\x80 ok");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + QStringLiteral("x");
    QTest::newRow("leading byte-order mark") << QString(QChar(0xFEFF)) + QStringLiteral("y");
    QTest::newRow("zero code unit") << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
}

void TestArchiveFile::commentsRoundTripUnchanged()
{
    QFETCH(QString, comment);
    TArchiveList records;
    records.push_back(entry(rawRecord(RecordSize, 3), comment));
    records.push_back(entry(rawRecord(RecordSize, 4), comment + comment));
    WriteArchiveFile(path("comments"), info(devEG, 2), records, RecordSize);

    const QByteArray bytes = readAll(path("comments"));
    QCOMPARE(bytes.mid(69, RecordSize + 4 + 2 * comment.size()),
             block(rawRecord(RecordSize, 3), comment));

    TKadrelInfo read{};
    TArchiveList loaded;
    QVERIFY(ReadArchiveFile(path("comments"), RecordSize, bytesFactory(RecordSize), read, loaded));
    QCOMPARE(int(loaded.size()), 2);
    QCOMPARE(loaded[0]->UserComment, comment);
    QCOMPARE(loaded[1]->UserComment, comment + comment);
    QCOMPARE(rawOf(*loaded[1], RecordSize), rawRecord(RecordSize, 4));
}

void TestArchiveFile::negativeCountsReadAsNone_data()
{
    const QByteArray head = infoBytes(info(devTL, 5));
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("comments");

    QTest::newRow("negative record count") << head + int32Bytes(-1) << QStringList();
    QTest::newRow("most negative record count") << head + int32Bytes(INT32_MIN) << QStringList();
    // A negative length has no code units after it: the next record starts right behind it.
    QTest::newRow("negative comment length")
        << head + int32Bytes(2) + rawRecord(RecordSize, 1) + int32Bytes(-3) +
               block(rawRecord(RecordSize, 2), QStringLiteral("next"))
        << QStringList{QString(), QStringLiteral("next")};
}

void TestArchiveFile::negativeCountsReadAsNone()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, comments);
    writeAll(path("negative"), file);

    TKadrelInfo read{};
    TArchiveList records;
    QVERIFY(ReadArchiveFile(path("negative"), RecordSize, bytesFactory(RecordSize), read, records));
    QVERIFY(sameInfo(read, info(devTL, 5)));
    QCOMPARE(int(records.size()), comments.size());
    for (int i = 0; i < comments.size(); ++i) {
        QCOMPARE(records[size_t(i)]->UserComment, comments[i]);
        QCOMPARE(rawOf(*records[size_t(i)], RecordSize), rawRecord(RecordSize, i + 1));
    }
}

void TestArchiveFile::damagedFileTouchesNothing_data()
{
    const QByteArray head = infoBytes(info(devTL, 5));
    const QByteArray one = block(rawRecord(RecordSize, 1), QStringLiteral("ok"));
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("identification cut short") << head.left(64);
    QTest::newRow("count cut short") << head + int32Bytes(1).left(3);
    QTest::newRow("huge record count") << head + int32Bytes(INT32_MAX) + one;
    QTest::newRow("one record more than held") << head + int32Bytes(2) + one;
    QTest::newRow("record cut short") << head + int32Bytes(1) + rawRecord(RecordSize - 1, 1);
    QTest::newRow("comment length cut short")
        << head + int32Bytes(1) + rawRecord(RecordSize, 1) + int32Bytes(0).left(2);
    QTest::newRow("huge comment length")
        << head + int32Bytes(1) + rawRecord(RecordSize, 1) + int32Bytes(INT32_MAX) + "ab";
    QTest::newRow("comment one code unit short")
        << head + int32Bytes(1) + rawRecord(RecordSize, 1) + int32Bytes(3) + utf16Bytes("ab");
    QTest::newRow("comment half a code unit short")
        << head + int32Bytes(1) + rawRecord(RecordSize, 1) + int32Bytes(1) + "a";
}

void TestArchiveFile::damagedFileTouchesNothing()
{
    QFETCH(QByteArray, file);
    writeAll(path("damaged"), file);

    const TKadrelInfo held = info(devAN, 77);
    TKadrelInfo read = held;
    TArchiveList records;
    records.push_back(entry(rawRecord(RecordSize, 9), QStringLiteral("held")));
    int made = 0;
    QVERIFY(!ReadArchiveFile(path("damaged"), RecordSize, bytesFactory(RecordSize, &made), read,
                             records));
    QVERIFY(sameInfo(read, held));
    QCOMPARE(int(records.size()), 1);
    QCOMPARE(records[0]->UserComment, QStringLiteral("held"));
    QCOMPARE(rawOf(*records[0], RecordSize), rawRecord(RecordSize, 9));
    // No more records are made than the file has bytes for.
    QVERIFY(made <= 1);
}

void TestArchiveFile::missingFileFails()
{
    TKadrelInfo read{};
    TArchiveList records;
    QVERIFY(!ReadArchiveFile(path("absent"), RecordSize, bytesFactory(RecordSize), read, records));
    QVERIFY(!ReadArchiveFile(m_dir.path(), RecordSize, bytesFactory(RecordSize), read, records));
}

void TestArchiveFile::saveIntoUnusableFolderFails_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("reason");
    // Permission bits do not stop every user, so the folders here cannot hold files at all.
    QTest::newRow("folder is a file")
        << QStringLiteral("plain/archive.kadrel1tl") << QStringLiteral("Not a directory");
    QTest::newRow("folder does not exist") << QStringLiteral("absent/archive.kadrel1tl")
                                           << QStringLiteral("No such file or directory");
}

void TestArchiveFile::saveIntoUnusableFolderFails()
{
    QFETCH(QString, target);
    QFETCH(QString, reason);
    writeAll(path("plain"), "not a folder");

    TArchiveList records;
    records.push_back(entry(rawRecord(RecordSize, 1), QStringLiteral("c")));
    try {
        WriteArchiveFile(path(target), info(devTL, 1), records, RecordSize);
        QFAIL("the save did not fail");
    } catch (const KadrelError& error) {
        QCOMPARE(error.message(), QStringLiteral("Cannot create file %1: %2")
                                      .arg(QDir::toNativeSeparators(path(target)), reason));
    }
    QCOMPARE(readAll(path("plain")), QByteArray("not a folder"));
}

void TestArchiveFile::failedSaveKeepsOldFile()
{
    // The longest name the folder takes leaves no room for the name of the new content
    // beside it, so the new content cannot take the old file's place.
    QTemporaryDir folder;
    const QString name = QString(255 - 10, QLatin1Char('a')) + QStringLiteral(".kadrel1tl");
    const QString target = folder.filePath(name);
    const QByteArray old = infoBytes(info(devTL, 1)) + int32Bytes(0);
    writeAll(target, old);

    TArchiveList records;
    records.push_back(entry(rawRecord(RecordSize, 1), QStringLiteral("new")));
    try {
        WriteArchiveFile(target, info(devTL, 2), records, RecordSize);
        QFAIL("the save did not fail");
    } catch (const KadrelError& error) {
        QVERIFY2(error.message().startsWith(QStringLiteral("Cannot write file ") +
                                            QDir::toNativeSeparators(target) + ": "),
                 qPrintable(error.message()));
        // A reason the user can act on, not an empty or generic one.
        QVERIFY(!error.message().endsWith(": "));
        QVERIFY(!error.message().endsWith(QStringLiteral("Unknown error")));
    }
    QCOMPARE(readAll(target), old);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{name});
}

void TestArchiveFile::driversByDeviceType()
{
    QVERIFY(std::dynamic_pointer_cast<TKadrelAN>(CreateModelDriver(devAN)));
    QVERIFY(std::dynamic_pointer_cast<TKadrelTL>(CreateModelDriver(devTL)));
    QVERIFY(std::dynamic_pointer_cast<TKadrelFX>(CreateModelDriver(devFX)));
    QVERIFY(std::dynamic_pointer_cast<TKadrelEG>(CreateModelDriver(devEG)));
    // QM files and instruments are known by type only; nothing else has a driver.
    for (int type : {int(devUnknown), int(devQM), 6, 255, -1})
        QVERIFY(!CreateModelDriver(type));
}

void TestArchiveFile::driverRoundTrip_data()
{
    QTest::addColumn<int>("devType");
    QTest::addColumn<int>("recordSize");
    QTest::newRow("AN") << int(devAN) << 96;
    QTest::newRow("TL") << int(devTL) << 84;
    QTest::newRow("FX") << int(devFX) << 76;
    QTest::newRow("EG") << int(devEG) << 84;
}

void TestArchiveFile::driverRoundTrip()
{
    QFETCH(int, devType);
    QFETCH(int, recordSize);
    const TKadrelInfo written = info(uint8_t(devType), 0x1234);
    const QByteArray file = infoBytes(written) + int32Bytes(3) +
                            block(rawRecord(recordSize, 1), QStringLiteral("первая, \"одна\"")) +
                            block(rawRecord(recordSize, 2), QString()) +
                            block(rawRecord(recordSize, 3), QStringLiteral("line\r\nbreak"));
    writeAll(path("in"), file);

    const auto driver = modelDriver(devType);
    QVERIFY(driver);
    QVERIFY(driver->LoadFromFile(path("in")));
    QVERIFY(sameInfo(driver->DevInfo(), written));
    QCOMPARE(int(driver->Archive().size()), 3);
    QCOMPARE(rawOf(*driver->Archive()[2], recordSize), rawRecord(recordSize, 3));
    QCOMPARE(driver->GetComment(0), QStringLiteral("первая, \"одна\""));
    QCOMPARE(driver->ArchTotal(), uint16_t(3));
    QCOMPARE(driver->ArchLastReaded(), uint16_t(3));

    driver->SaveToFile(path("out"));
    QCOMPARE(readAll(path("out")), file);
}

void TestArchiveFile::loadingTwiceDoublesTheList()
{
    const QByteArray file = infoBytes(info(devFX, 3)) + int32Bytes(2) +
                            block(rawRecord(76, 1), QStringLiteral("a")) +
                            block(rawRecord(76, 2), QStringLiteral("b"));
    writeAll(path("twice"), file);

    const auto driver = modelDriver(devFX);
    QVERIFY(driver->LoadFromFile(path("twice")));
    QVERIFY(driver->LoadFromFile(path("twice")));
    QCOMPARE(int(driver->Archive().size()), 4);
    QCOMPARE(driver->ArchTotal(), uint16_t(4));
    QCOMPARE(driver->ArchLastReaded(), uint16_t(2));
    QCOMPARE(driver->GetComment(3), QStringLiteral("b"));
}

void TestArchiveFile::truncatedFileKeepsDriverState()
{
    const int size = 84;
    writeAll(path("held"), infoBytes(info(devTL, 0x0805)) + int32Bytes(2) +
                               block(rawRecord(size, 1), QStringLiteral("held one")) +
                               block(rawRecord(size, 2), QString()));
    const QByteArray other = infoBytes(info(devTL, 0x0999)) + int32Bytes(2) +
                             block(rawRecord(size, 5), QString()) +
                             block(rawRecord(size, 6), QStringLiteral("end"));

    const auto driver = modelDriver(devTL);
    QVERIFY(driver->LoadFromFile(path("held")));
    QVERIFY(driver->LoadFromFile(path("held")));
    const DriverState before(*driver, size);

    for (int length = 0; length < other.size(); ++length) {
        writeAll(path("cut"), other.left(length));
        QVERIFY2(!driver->LoadFromFile(path("cut")), qPrintable(QString::number(length)));
        QVERIFY2(DriverState(*driver, size) == before, qPrintable(QString::number(length)));
    }
    writeAll(path("cut"), other);
    QVERIFY(driver->LoadFromFile(path("cut")));
    QCOMPARE(driver->ArchLastReaded(), uint16_t(2));
    QCOMPARE(driver->GetDevName(), QStringLiteral("Кадрель-1.ТЛ № A409"));
}

QTEST_GUILESS_MAIN(TestArchiveFile)
#include "tst_archive_file.moc"
