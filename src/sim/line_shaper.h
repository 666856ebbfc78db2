// Releases reply bytes onto the line in time: at once, in chunks with pauses between them, or
// at the pace of the instrument's 115200-baud wire.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>

namespace kadrel::sim
{

class PtyLine;

// 115200 baud with 8N1 framing: ten bit times per byte.
constexpr int WireBytesPerSecond = 11520;

struct LineTiming {
    int chunkBytes = 0; // 0: a reply is not split
    int chunkGapMs = 0; // pause between chunks
    bool wirePaced = false;
};

class LineShaper : public QObject
{
    Q_OBJECT
public:
    explicit LineShaper(PtyLine& line, QObject* parent = nullptr);

    void setTiming(const LineTiming& timing) { m_timing = timing; }

    // Sends one reply. With wire pacing the reply starts once the request of
    // `requestBytes` bytes would have crossed the wire, and no earlier reply is overtaken.
    void send(const QByteArray& bytes, int requestBytes);

    // Forgets whatever has not reached the line yet.
    void clear();

private:
    struct Segment {
        qint64 dueNs;
        QByteArray bytes;
    };

    static qint64 wireNs(qint64 bytes) { return bytes * 1000000000 / WireBytesPerSecond; }
    void release();
    void schedule();

    PtyLine& m_line;
    LineTiming m_timing;
    std::deque<Segment> m_segments;
    QElapsedTimer m_clock;
    QTimer m_timer;
    // When the last byte handed over so far leaves the wire.
    qint64 m_lineFreeNs = 0;
};

} // namespace kadrel::sim
