// The simulated instrument's archive memory: a ring of record slots addressed by AbsIndex
// (modulo 65536). The head is the newest record; each older record sits at a lower position,
// with gaps where records were deleted.
#pragma once

#include <QByteArray>
#include <cstdint>

namespace kadrel::sim
{

class InstrumentMemory
{
public:
    // The record count of a head reply is a 16-bit word.
    static constexpr int MaxRecords = 65535;

    explicit InstrumentMemory(int recordSize) : m_recordSize(recordSize) {}

    int recordSize() const { return m_recordSize; }
    int count() const { return m_recordSize > 0 ? int(m_bytes.size() / m_recordSize) : 0; }
    bool isEmpty() const { return m_bytes.isEmpty(); }

    // AbsIndex of the newest record; meaningful only when the memory holds records.
    uint16_t head() const { return absIndexAt(0); }

    // Replaces the content with whole records, newest first (at most MaxRecords), stamped
    // with consecutive positions from `head` down.
    void assign(const QByteArray& newestFirst, uint16_t head);

    // All records newest first, back to back.
    const QByteArray& bytes() const { return m_bytes; }
    QByteArray record(int position) const
    {
        return m_bytes.mid(position * m_recordSize, m_recordSize);
    }

    // The position (0 = newest) of the first record older than the one at `absIndex`, which
    // need not exist any more. head() + 1 names the slot above the head: the head comes next.
    int positionAfter(uint16_t absIndex) const;

    // Deletes the record at `absIndex` and older ones, `count` records in all (fewer when the
    // archive ends). Returns how many went; none when no record sits at `absIndex`.
    int remove(uint16_t absIndex, int count);

private:
    uint16_t absIndexAt(int position) const;
    // How far below the head a position lies: 0 for the head, 65535 for the slot above it.
    int depth(uint16_t absIndex) const { return uint16_t(head() - absIndex); }
    int firstDeeperThan(int depth) const;

    int m_recordSize;
    QByteArray m_bytes;
};

} // namespace kadrel::sim
