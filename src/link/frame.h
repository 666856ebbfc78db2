// Frames of the instrument's serial protocol: checksum, request builders, the acceptance rule
// and the reassembly of a byte stream into frames.
//
// Frame layout (both directions, little-endian, a whole number of 4-byte words):
//
//   offset  size  field
//   0       1     start byte 0x80
//   1       2     length = total frame length - 2
//   3       1     command code (the reply carries the request's code)
//   4       N-8   payload
//   N-4     4     checksum over bytes 0 .. N-5 (CalcCRC), not verified on receipt
//
//   code  command          request                        reply payload
//   1     cmdDevInfo       12 bytes                       TKadrelInfo at byte 8
//   3     cmdMatRead       12 bytes                       name table from byte 4
//   4     cmdMatWrite      304 bytes, table from byte 4   -
//   5     cmdArchHead      12 bytes                       head AbsIndex @4, count @6, record @8
//   6     cmdArchPage      12 bytes, last AbsIndex @4     n @4, n records from byte 8
//   7     cmdResultDelete  12 bytes, AbsIndex @4, n @6    -
//   8     cmdClockWrite    16 bytes, s m h D M Y-2000 @4  -
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <cstdint>
#include <vector>

namespace kadrel
{

enum Command : uint8_t {
    cmdDevInfo = 1,
    cmdMatRead = 3,
    cmdMatWrite = 4,
    cmdArchHead = 5,
    cmdArchPage = 6,
    cmdResultDelete = 7,
    cmdClockWrite = 8,
};

constexpr uint8_t FrameStart = 0x80;
constexpr int MinFrameSize = 8;
// The largest page an instrument can send: 255 records of the largest model (96 bytes).
constexpr int MaxFrameSize = 12 + 255 * 96;
constexpr int MatWriteFrameSize = 304;

// Checksum over `count` little-endian 32-bit words: CRC-32/MPEG-2 with each word's bytes fed
// most significant first.
uint32_t CalcCRC(const uint8_t* words, int count);

// A frame of `size` bytes with the given command, payload copied from byte 4 (cut or
// zero-padded to fit) and the checksum in the last word.
QByteArray buildFrame(uint8_t command, int size, const QByteArray& payload = {});

QByteArray devInfoRequest();
QByteArray matReadRequest();
QByteArray matWriteRequest(const QByteArray& nameTable);
QByteArray archHeadRequest();
QByteArray archPageRequest(uint16_t lastAbsIndex);
QByteArray resultDeleteRequest(uint16_t absIndex, uint16_t count);
QByteArray clockWriteRequest(const QDateTime& localTime);

// The receiver's acceptance rule: a non-empty block whose size is a multiple of 4 and equals
// its length field + 2. The start byte and the checksum are not examined.
bool isAcceptable(const QByteArray& block);

// The number of bytes a reply with this command code must hold to be read without running
// past its end; 0 for codes that carry nothing to read. `recordSize` and `nameTableSize` are
// the model's; the page size is checked against the record count separately.
int minimumReplySize(uint8_t command, int recordSize, int nameTableSize);

// Cuts complete frames off a byte stream by their length field. A length no frame can have
// drops bytes up to the next start byte; whatever precedes a start byte is skipped.
class FrameAssembler
{
public:
    // Appends received bytes and returns every frame completed by them, in order.
    std::vector<QByteArray> feed(const QByteArray& bytes);
    // True while an incomplete frame waits for more bytes.
    bool hasPartial() const { return !m_buffer.isEmpty(); }
    // Forgets an incomplete frame, used when no further byte arrived in time.
    void discardPartial() { m_buffer.clear(); }

private:
    void resync(int from);

    QByteArray m_buffer;
};

} // namespace kadrel
