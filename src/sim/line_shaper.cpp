#include "sim/line_shaper.h"

#include "sim/pty_line.h"

#include <algorithm>

namespace kadrel::sim
{

namespace
{

// Paced replies go out in pieces this small, about 1.4 ms of wire time each, so that the
// program sees bytes trickle in as from a real line.
constexpr int PacedPieceBytes = 16;

} // namespace

LineShaper::LineShaper(PtyLine& line, QObject* parent) : QObject(parent), m_line(line)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &LineShaper::release);
}

void LineShaper::send(const QByteArray& bytes, int requestBytes)
{
    const qint64 now = m_clock.nsecsElapsed();
    const bool paced = m_timing.wirePaced;
    if (!paced && m_timing.chunkBytes <= 0 && m_segments.empty()) {
        m_line.write(bytes);
        return;
    }
    qint64 start = m_segments.empty() ? now : std::max(now, m_segments.back().dueNs);
    if (paced)
        start = std::max(now + wireNs(requestBytes), m_lineFreeNs);
    const int piece = m_timing.chunkBytes > 0 ? m_timing.chunkBytes
                      : paced                 ? PacedPieceBytes
                                              : int(bytes.size());
    const qint64 gapNs = qint64(std::max(0, m_timing.chunkGapMs)) * 1000000;
    int index = 0;
    for (int offset = 0; offset < bytes.size(); offset += piece, ++index) {
        const QByteArray part = bytes.mid(offset, piece);
        qint64 due = start + index * gapNs;
        if (paced)
            due += wireNs(offset + part.size());
        m_segments.push_back({due, part});
    }
    if (paced)
        m_lineFreeNs = m_segments.back().dueNs;
    release();
}

void LineShaper::clear()
{
    m_timer.stop();
    m_segments.clear();
}

void LineShaper::release()
{
    const qint64 now = m_clock.nsecsElapsed();
    while (!m_segments.empty() && m_segments.front().dueNs <= now) {
        m_line.write(m_segments.front().bytes);
        m_segments.pop_front();
    }
    schedule();
}

void LineShaper::schedule()
{
    if (m_segments.empty()) {
        m_timer.stop();
        return;
    }
    const qint64 waitNs = m_segments.front().dueNs - m_clock.nsecsElapsed();
    m_timer.start(int(std::max<qint64>(0, (waitNs + 999999) / 1000000)));
}

} // namespace kadrel::sim
