#include "models/archive_file.h"

#include "link/kadrel_error.h"
#include "models/whole_file.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <cstring>
#include <limits>
#include <new>

namespace
{

constexpr qsizetype InfoBytes = qsizetype(sizeof(TKadrelInfo));
constexpr qsizetype CountBytes = 4;

void appendInt32(QByteArray& out, qint32 value)
{
    char bytes[CountBytes];
    qToLittleEndian(value, bytes);
    out.append(bytes, CountBytes);
}

QByteArray encode(const TKadrelInfo& info, const TArchiveList& records, int recordSize)
{
    qsizetype total = InfoBytes + CountBytes;
    for (const auto& record : records)
        total += recordSize + CountBytes + 2 * record->UserComment.size();
    QByteArray out;
    out.reserve(total);
    out.append(reinterpret_cast<const char*>(&info), InfoBytes);
    appendInt32(out, qint32(records.size()));
    for (const auto& record : records) {
        out.append(reinterpret_cast<const char*>(record->Raw()), recordSize);
        const QString& comment = record->UserComment;
        appendInt32(out, qint32(comment.size()));
        // Code units exactly as held, little-endian like the host.
        out.append(reinterpret_cast<const char*>(comment.utf16()), 2 * comment.size());
    }
    return out;
}

// The system's reason for the file's last failure. Some failures, replacing the old file
// among them, come without one (only the generic "Unknown error"); then `fallback` says what
// did not happen.
KadrelError fileError(const char* what, const QString& fileName, const QString& reason)
{
    return KadrelError(QStringLiteral("%1 %2: %3")
                           .arg(QLatin1String(what), QDir::toNativeSeparators(fileName), reason));
}

// Reads the container from memory; every count is checked against the bytes that remain
// before anything is allocated for it.
class ArchiveParser
{
public:
    explicit ArchiveParser(const QByteArray& bytes)
        : m_data(bytes.constData()), m_left(bytes.size())
    {
    }

    bool parse(int recordSize, const TEntryFactory& newEntry, TKadrelInfo& info,
               TArchiveList& records)
    {
        if (!take(&info, InfoBytes))
            return false;
        qint32 count = 0;
        if (!takeInt32(count))
            return false;
        if (count <= 0)
            return true;
        if (count > m_left / (recordSize + CountBytes))
            return false;
        records.reserve(size_t(count));
        for (qint32 i = 0; i < count; ++i) {
            auto entry = newEntry();
            qint32 length = 0;
            if (!take(entry->Raw(), recordSize) || !takeInt32(length))
                return false;
            if (length > 0) {
                if (length > m_left / 2)
                    return false;
                QString comment(length, Qt::Uninitialized);
                take(comment.data(), 2 * qsizetype(length));
                entry->UserComment = std::move(comment);
            }
            records.push_back(std::move(entry));
        }
        return true;
    }

private:
    bool take(void* to, qsizetype count)
    {
        if (count > m_left)
            return false;
        std::memcpy(to, m_data, size_t(count));
        m_data += count;
        m_left -= count;
        return true;
    }

    bool takeInt32(qint32& value)
    {
        char bytes[CountBytes];
        if (!take(bytes, CountBytes))
            return false;
        value = qFromLittleEndian<qint32>(bytes);
        return true;
    }

    const char* m_data;
    qsizetype m_left;
};

} // namespace

void WriteArchiveFile(const QString& fileName, const TKadrelInfo& info, const TArchiveList& records,
                      int recordSize)
{
    const QByteArray bytes = encode(info, records, recordSize);
    const TWholeFileWrite written = WriteWholeFile(fileName, bytes);
    if (!written)
        throw fileError(written.Stage == TWholeFileWrite::NotCreated ? "Cannot create file"
                                                                     : "Cannot write file",
                        fileName, written.Reason);
}

bool ReadArchiveFile(const QString& fileName, int recordSize, const TEntryFactory& newEntry,
                     TKadrelInfo& info, TArchiveList& records)
{
    try {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        if (file.size() > std::numeric_limits<qint32>::max())
            return false;
        const QByteArray bytes = file.readAll();
        if (bytes.size() != file.size())
            return false;
        return ReadArchiveFile(bytes, recordSize, newEntry, info, records);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool ReadArchiveFile(const QByteArray& bytes, int recordSize, const TEntryFactory& newEntry,
                     TKadrelInfo& info, TArchiveList& records)
{
    try {
        TKadrelInfo readInfo{};
        TArchiveList loaded;
        if (!ArchiveParser(bytes).parse(recordSize, newEntry, readInfo, loaded))
            return false;

        records.reserve(records.size() + loaded.size());
        info = readInfo;
        for (auto& entry : loaded)
            records.push_back(std::move(entry));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
