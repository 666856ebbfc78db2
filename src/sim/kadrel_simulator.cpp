#include "sim/kadrel_simulator.h"

#include "link/kadrel_base.h"
#include "models/archive_file.h"
#include "models/model_table.h"
#include "sim/archive_generator.h"
#include "sim/pty_line.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace kadrel::sim
{

namespace
{

// The reply to the identification request: the record from byte 8, then padding up to the
// checksum word, so that all 65 bytes arrive intact.
constexpr int DevInfoReplySize = (8 + int(sizeof(TKadrelInfo)) + 3) / 4 * 4 + 4;
constexpr int AckReplySize = 12;
constexpr int MinRequestSize = 12;
constexpr int MaxPageRecords = 255;

// The serial number printed as A005: letter 1, number 5.
constexpr uint16_t DefaultSerialNumber = 1 << 11 | 5;

template <size_t N> void setText(uint8_t (&field)[N], const char* text)
{
    std::memset(field, 0, N);
    std::memcpy(field, text, std::min(N, std::strlen(text)));
}

TKadrelInfo defaultInfo(TKadrelType model)
{
    TKadrelInfo info{};
    info.StrictVersion = 1;
    info.DevType = model;
    info.DevVersion = 2;
    info.SerialNumber = DefaultSerialNumber;
    setText(info.SoftVersion, "1.0.6");
    setText(info.HardVersion, "KADREL-1 rev.3");
    setText(info.MakeDate, "14.03.2023");
    return info;
}

bool checksumHolds(const QByteArray& frame)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(frame.constData());
    const int size = int(frame.size());
    return CalcCRC(bytes, (size - 4) / 4) == qFromLittleEndian<uint32_t>(bytes + size - 4);
}

uint16_t wordAt(const QByteArray& frame, int offset)
{
    return qFromLittleEndian<uint16_t>(frame.constData() + offset);
}

// An archive record of the raw bytes only, for reading archive files.
struct RawRecord : TArchEntry {
    explicit RawRecord(int size) : bytes(size_t(size)) {}
    uint8_t* Raw() override { return bytes.data(); }
    std::vector<uint8_t> bytes;
};

} // namespace

KadrelSimulator::KadrelSimulator(TKadrelType model, QObject* parent)
    : QObject(parent), m_model(model), m_line(new PtyLine(this)),
      m_shaper(new LineShaper(*m_line, this)), m_info(defaultInfo(model)),
      m_memory(ModelInfo(model) ? ModelInfo(model)->RecordSize : 0),
      m_nameTable(InstrumentNameTable(model))
{
    connect(m_line, &PtyLine::received, this, &KadrelSimulator::onReceived);
    connect(m_line, &PtyLine::hungUp, this, &KadrelSimulator::hungUp);
}

KadrelSimulator::~KadrelSimulator() = default;

bool KadrelSimulator::open()
{
    return m_line->open();
}

bool KadrelSimulator::isOpen() const
{
    return m_line->isOpen();
}

QString KadrelSimulator::errorString() const
{
    return m_line->errorString();
}

QString KadrelSimulator::portName() const
{
    return m_line->portName();
}

bool KadrelSimulator::setLinkPath(const QString& path)
{
    return m_line->setLinkPath(path);
}

QString KadrelSimulator::linkPath() const
{
    return m_line->linkPath();
}

void KadrelSimulator::hangUp()
{
    m_shaper->clear();
    m_heldReply.clear();
    m_line->hangUp();
}

std::optional<uint16_t> KadrelSimulator::parseSerialNumber(const QString& text)
{
    bool ok = false;
    const uint number = text.toUInt(&ok, 0);
    if (ok)
        return number <= 0xFFFF ? std::optional<uint16_t>(uint16_t(number)) : std::nullopt;
    if (text.size() < 2 || text[0] == u' ')
        return std::nullopt;
    const int letter = int(SerialLetters.indexOf(text.left(1).toUpper()));
    const uint rest = text.mid(1).toUInt(&ok, 10);
    if (letter < 0 || !ok || rest > 0x7FF)
        return std::nullopt;
    return uint16_t(letter << 11 | rest);
}

void KadrelSimulator::generateArchive(int count, quint32 seed)
{
    setRecords(GenerateRecords(m_model, count, seed, m_nameTable), uint16_t(count - 1));
}

bool KadrelSimulator::loadArchiveFile(const QString& fileName)
{
    const int size = recordSize();
    if (size == 0)
        return false;
    TKadrelInfo info{};
    TArchiveList records;
    if (!ReadArchiveFile(
            fileName, size, [size] { return std::make_unique<RawRecord>(size); }, info, records))
        return false;
    // A file keeps the order the program showed; the instrument holds its newest first.
    std::stable_sort(records.begin(), records.end(), [](const auto& a, const auto& b) {
        return CompareArchRecords(a->Base(), b->Base()) < 0;
    });
    QByteArray bytes;
    bytes.reserve(qsizetype(records.size()) * size);
    for (const auto& record : records)
        bytes.append(reinterpret_cast<const char*>(record->Raw()), size);
    m_info = info;
    m_info.DevType = m_model;
    setRecords(bytes, records.empty() ? 0 : records.front()->Base().AbsIndex);
    return true;
}

void KadrelSimulator::setRecords(const QByteArray& newestFirst, uint16_t head)
{
    m_memory.assign(newestFirst, head);
}

void KadrelSimulator::setPageSize(int records)
{
    m_pageSize = std::clamp(records, 1, MaxPageRecords);
}

void KadrelSimulator::setNameTable(const QByteArray& table)
{
    // The table keeps the model's size whatever is given.
    const int size = nameTableSize();
    m_nameTable = table.left(size);
    m_nameTable.append(QByteArray(size - int(m_nameTable.size()), '\0'));
}

void KadrelSimulator::setFaults(const SimFaults& faults)
{
    // A reply still held back for joining goes out now rather than never.
    if (!m_heldReply.isEmpty()) {
        m_shaper->send(m_heldReply, 0);
        m_heldReply.clear();
    }
    m_faults = faults;
    m_repliesSinceFaults = 0;
    m_shaper->setTiming(faults.timing);
}

void KadrelSimulator::onReceived(const QByteArray& bytes)
{
    for (const QByteArray& frame : m_assembler.feed(bytes)) {
        handleRequest(frame);
        if (!isOpen())
            return;
    }
}

void KadrelSimulator::handleRequest(const QByteArray& frame)
{
    ++m_requestCount;
    m_requestBytes += frame.size();
    emit requestReceived(frame);
    if (m_faults.hangUpAfter >= 0 && m_repliesSinceFaults >= m_faults.hangUpAfter) {
        hangUp();
        return;
    }
    // A request spoiled on the way, or too short for any command, is not understood, so not
    // answered.
    if (m_faults.silent || frame.size() < MinRequestSize || !checksumHolds(frame))
        return;
    const QByteArray reply = answer(frame);
    if (!reply.isEmpty())
        deliver(reply, int(frame.size()));
}

QByteArray KadrelSimulator::answer(const QByteArray& frame)
{
    const int size = int(frame.size());
    const int tableSize = nameTableSize();
    switch (uint8_t(frame[3])) {
    case cmdDevInfo: {
        QByteArray payload(4, '\0');
        payload.append(reinterpret_cast<const char*>(&m_info), sizeof m_info);
        return buildFrame(cmdDevInfo, DevInfoReplySize, payload);
    }
    case cmdMatRead:
        return tableSize > 0 ? buildFrame(cmdMatRead, 4 + tableSize + 4, m_nameTable)
                             : QByteArray();
    case cmdMatWrite:
        if (tableSize == 0 || size < 4 + tableSize + 4)
            return {};
        m_nameTable = frame.mid(4, tableSize);
        return buildFrame(cmdMatWrite, AckReplySize);
    case cmdArchHead:
        return recordSize() > 0 ? headReply() : QByteArray();
    case cmdArchPage:
        return recordSize() > 0 ? pageReply(wordAt(frame, 4)) : QByteArray();
    case cmdResultDelete:
        if (recordSize() == 0)
            return {};
        m_memory.remove(wordAt(frame, 4), wordAt(frame, 6));
        return buildFrame(cmdResultDelete, AckReplySize);
    case cmdClockWrite: {
        if (size < 16)
            return {};
        const auto* b = reinterpret_cast<const uint8_t*>(frame.constData());
        m_clock = QDateTime(QDate(2000 + b[9], b[8], b[7]), QTime(b[6], b[5], b[4]));
        return buildFrame(cmdClockWrite, AckReplySize);
    }
    default:
        return {};
    }
}

QByteArray KadrelSimulator::headReply() const
{
    const int size = recordSize();
    QByteArray payload(4, '\0');
    if (m_memory.isEmpty()) {
        // No records: an erased record (all ones), whose position 0xFFFF is never the
        // announced head 0, so the reader takes nothing.
        payload.append(QByteArray(size, char(0xFF)));
        return buildFrame(cmdArchHead, 12 + size, payload);
    }
    const uint16_t head = m_memory.head();
    qToLittleEndian<uint16_t>(m_faults.headMismatch ? uint16_t(head + 1) : head, payload.data());
    qToLittleEndian<uint16_t>(uint16_t(m_memory.count()), payload.data() + 2);
    payload.append(m_memory.record(0));
    return buildFrame(cmdArchHead, 12 + size, payload);
}

QByteArray KadrelSimulator::pageReply(uint16_t lastHeld) const
{
    const int size = recordSize();
    const int from = m_memory.positionAfter(lastHeld);
    const int n = std::clamp(m_memory.count() - from, 0, m_pageSize);
    QByteArray payload(4, '\0');
    payload[0] = char(n);
    payload.append(m_memory.bytes().mid(qsizetype(from) * size, qsizetype(n) * size));
    return buildFrame(cmdArchPage, 12 + n * size, payload);
}

void KadrelSimulator::deliver(const QByteArray& reply, int requestSize)
{
    const int number = ++m_repliesSinceFaults;
    if (number == m_faults.dropReply)
        return;
    QByteArray bytes = m_faults.garbage + reply;
    if (number == m_faults.joinReply) {
        m_heldReply = bytes;
        return;
    }
    bytes.prepend(m_heldReply);
    m_heldReply.clear();
    m_replyBytes += bytes.size();
    m_shaper->send(bytes, requestSize);
}

} // namespace kadrel::sim
