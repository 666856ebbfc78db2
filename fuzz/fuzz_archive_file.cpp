// Archive files of every model: any content is either read whole or refused, a refused file
// leaves the records held before as they were, a file read is shown in the tables, and
// what was read is saved and loaded back unchanged.
//
// Input: byte 0 picks the model, the rest is the file.
#include "fuzz_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <vector>

namespace
{

// Records held before the load: two of them, each with a comment.
QByteArray HeldBefore(int recordSize)
{
    QByteArray file(int(sizeof(TKadrelInfo)), '\x01');
    const auto appendInt32 = [&file](qint32 value) {
        char bytes[4];
        qToLittleEndian(value, bytes);
        file.append(bytes, 4);
    };
    appendInt32(2);
    for (char fill : {'\x11', '\x22'}) {
        file.append(QByteArray(recordSize, fill));
        appendInt32(1);
        file.append("x\0", 2);
    }
    return file;
}

struct TSnapshot {
    std::vector<QByteArray> Raw;
    std::vector<QString> Comments;
    QByteArray Info;

    bool operator==(const TSnapshot& other) const
    {
        return Raw == other.Raw && Comments == other.Comments && Info == other.Info;
    }
};

TSnapshot Snapshot(const TKadrelBase& driver, int recordSize)
{
    TSnapshot snapshot;
    for (const auto& entry : driver.Archive()) {
        snapshot.Raw.emplace_back(reinterpret_cast<const char*>(entry->Raw()), recordSize);
        snapshot.Comments.push_back(entry->UserComment);
    }
    snapshot.Info =
        QByteArray(reinterpret_cast<const char*>(&driver.DevInfo()), int(sizeof(TKadrelInfo)));
    return snapshot;
}

QString ScratchFile()
{
    // Memory-backed where there is such a folder: the round trip runs for every input.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/kadrel-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kadrel-fuzz-XXXXXX"));
    return dir.filePath(QStringLiteral("archive"));
}

constexpr int RecordSizes[] = {96, 84, 84, 76};
constexpr size_t RoundTripLimit = 4096;

void Run(int model, const QByteArray& content)
{
    const int recordSize = RecordSizes[model];
    fuzz::TFuzzDriver made = fuzz::MakeDriver(uint8_t(model));
    TKadrelBase& driver = *made.Driver;
    fuzz::Require(made.LoadBytes(HeldBefore(recordSize)), "the held records load");
    const TSnapshot before = Snapshot(driver, recordSize);

    if (!made.LoadBytes(content)) {
        fuzz::Require(Snapshot(driver, recordSize) == before,
                      "a refused file leaves the records held before as they were");
        return;
    }
    const TSnapshot loaded = Snapshot(driver, recordSize);
    fuzz::Require(loaded.Raw.size() >= before.Raw.size() &&
                      std::equal(before.Raw.begin(), before.Raw.end(), loaded.Raw.begin()),
                  "a file read is appended after the records held before");
    fuzz::ShowTables(driver);

    if (loaded.Raw.size() <= RoundTripLimit) {
        const QString file = ScratchFile();
        driver.SaveToFile(file);
        fuzz::TFuzzDriver again = fuzz::MakeDriver(uint8_t(model));
        fuzz::Require(again.Driver->LoadFromFile(file), "a saved file loads");
        fuzz::Require(Snapshot(*again.Driver, recordSize) == Snapshot(driver, recordSize),
                      "saving and loading keeps records, comments and identification");
    }
    driver.RemoveDuplicates();
    // The port errors of requests sent on a closed port reach the driver while it lives.
    fuzz::DrainEvents();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnsureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    Run(data[0] % 4, QByteArray(reinterpret_cast<const char*>(data + 1), int(size - 1)));
    fuzz::DrainEvents();
    return 0;
}
