#include "link/frame.h"

#include <QtEndian>
#include <array>

namespace kadrel
{

namespace
{

// Remainders of i * x^32 modulo the polynomial 0x04C11DB7, for a nibble i.
constexpr std::array<uint32_t, 16> makeNibbleTable()
{
    std::array<uint32_t, 16> table{};
    for (uint32_t i = 0; i < 16; ++i) {
        uint32_t crc = i << 28;
        for (int bit = 0; bit < 4; ++bit)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
        table[i] = crc;
    }
    return table;
}

constexpr std::array<uint32_t, 16> NibbleTable = makeNibbleTable();
static_assert(NibbleTable[1] == 0x04C11DB7u && NibbleTable[15] == 0x384FBDBDu);

int lengthField(const QByteArray& bytes, int at)
{
    return uint8_t(bytes[at + 1]) | (uint8_t(bytes[at + 2]) << 8);
}

bool isPossibleFrameSize(int size)
{
    return size >= MinFrameSize && size % 4 == 0 && size <= MaxFrameSize;
}

} // namespace

uint32_t CalcCRC(const uint8_t* words, int count)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (int i = 0; i < count; ++i) {
        crc ^= qFromLittleEndian<uint32_t>(words + 4 * i);
        for (int step = 0; step < 8; ++step)
            crc = (crc << 4) ^ NibbleTable[crc >> 28];
    }
    return crc;
}

QByteArray buildFrame(uint8_t command, int size, const QByteArray& payload)
{
    QByteArray frame(size, '\0');
    auto* bytes = reinterpret_cast<uint8_t*>(frame.data());
    bytes[0] = FrameStart;
    qToLittleEndian<uint16_t>(uint16_t(size - 2), bytes + 1);
    bytes[3] = command;
    const int room = size - 8;
    std::copy_n(payload.constData(), std::min<int>(room, payload.size()), frame.data() + 4);
    qToLittleEndian<uint32_t>(CalcCRC(bytes, (size - 4) / 4), bytes + size - 4);
    return frame;
}

QByteArray devInfoRequest()
{
    return buildFrame(cmdDevInfo, 12);
}

QByteArray matReadRequest()
{
    return buildFrame(cmdMatRead, 12);
}

QByteArray matWriteRequest(const QByteArray& nameTable)
{
    return buildFrame(cmdMatWrite, MatWriteFrameSize, nameTable);
}

QByteArray archHeadRequest()
{
    return buildFrame(cmdArchHead, 12);
}

QByteArray archPageRequest(uint16_t lastAbsIndex)
{
    QByteArray payload(2, '\0');
    qToLittleEndian<uint16_t>(lastAbsIndex, payload.data());
    return buildFrame(cmdArchPage, 12, payload);
}

QByteArray resultDeleteRequest(uint16_t absIndex, uint16_t count)
{
    QByteArray payload(4, '\0');
    qToLittleEndian<uint16_t>(absIndex, payload.data());
    qToLittleEndian<uint16_t>(count, payload.data() + 2);
    return buildFrame(cmdResultDelete, 12, payload);
}

QByteArray clockWriteRequest(const QDateTime& localTime)
{
    const QTime time = localTime.time();
    const QDate date = localTime.date();
    const char payload[6] = {char(time.second()), char(time.minute()), char(time.hour()),
                             char(date.day()),    char(date.month()),  char(date.year() - 2000)};
    return buildFrame(cmdClockWrite, 16, QByteArray(payload, sizeof payload));
}

bool isAcceptable(const QByteArray& block)
{
    const int n = block.size();
    return n > 0 && n % 4 == 0 && n >= 3 && n == lengthField(block, 0) + 2;
}

int minimumReplySize(uint8_t command, int recordSize, int nameTableSize)
{
    switch (command) {
    case cmdDevInfo:
        return 8 + 65;
    case cmdMatRead:
        return 4 + nameTableSize;
    case cmdArchHead:
        return 8 + recordSize;
    case cmdArchPage:
        return 5;
    default:
        return 4;
    }
}

std::vector<QByteArray> FrameAssembler::feed(const QByteArray& bytes)
{
    std::vector<QByteArray> frames;
    m_buffer.append(bytes);
    resync(0);
    while (m_buffer.size() >= 3) {
        const int size = lengthField(m_buffer, 0) + 2;
        if (!isPossibleFrameSize(size)) {
            resync(1);
            continue;
        }
        if (m_buffer.size() < size)
            break;
        frames.push_back(m_buffer.left(size));
        m_buffer.remove(0, size);
        resync(0);
    }
    return frames;
}

void FrameAssembler::resync(int from)
{
    const int start = m_buffer.indexOf(char(FrameStart), from);
    m_buffer.remove(0, start < 0 ? m_buffer.size() : start);
}

} // namespace kadrel
