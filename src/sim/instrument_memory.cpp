#include "sim/instrument_memory.h"

#include "link/kadrel_types.h"

#include <QtEndian>
#include <algorithm>
#include <cstddef>

namespace kadrel::sim
{

namespace
{

constexpr int AbsIndexOffset = offsetof(TArchBase, AbsIndex);

} // namespace

void InstrumentMemory::assign(const QByteArray& newestFirst, uint16_t head)
{
    if (m_recordSize == 0)
        return;
    const int records = std::min<int>(MaxRecords, int(newestFirst.size() / m_recordSize));
    m_bytes = newestFirst.left(records * m_recordSize);
    for (int i = 0; i < records; ++i)
        qToLittleEndian<uint16_t>(uint16_t(head - i),
                                  m_bytes.data() + i * m_recordSize + AbsIndexOffset);
}

int InstrumentMemory::positionAfter(uint16_t absIndex) const
{
    if (isEmpty())
        return 0;
    const int d = depth(absIndex);
    // At most MaxRecords records lie below the head, so no record is ever as deep as the
    // slot above it.
    return d == 0xFFFF ? 0 : firstDeeperThan(d);
}

int InstrumentMemory::remove(uint16_t absIndex, int count)
{
    if (isEmpty() || count <= 0)
        return 0;
    const int position = firstDeeperThan(depth(absIndex) - 1);
    if (position >= this->count() || absIndexAt(position) != absIndex)
        return 0;
    const int removed = std::min(count, this->count() - position);
    m_bytes.remove(position * m_recordSize, removed * m_recordSize);
    return removed;
}

uint16_t InstrumentMemory::absIndexAt(int position) const
{
    return qFromLittleEndian<uint16_t>(m_bytes.constData() + position * m_recordSize +
                                       AbsIndexOffset);
}

int InstrumentMemory::firstDeeperThan(int d) const
{
    // Depth grows strictly from the newest record to the oldest.
    int low = 0;
    int high = count();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (depth(absIndexAt(middle)) > d)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

} // namespace kadrel::sim
