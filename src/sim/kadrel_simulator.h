// One simulated instrument of a chosen model on a pseudo-terminal: it answers the program's
// requests as an instrument does (identification, archive head and pages, name table, clock,
// deletion) and can be made to misbehave as lines and instruments do. It runs on the caller's
// event loop.
#pragma once

#include "link/frame.h"
#include "link/kadrel_types.h"
#include "sim/instrument_memory.h"
#include "sim/line_shaper.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <optional>

namespace kadrel::sim
{

class PtyLine;

// Ways the line or the instrument fails. Reply numbers count from 1, from the moment the
// faults were set.
struct SimFaults {
    LineTiming timing;         // chunks with gaps, or the wire's pace
    QByteArray garbage;        // sent before every reply
    int joinReply = 0;         // this reply is held back and sent together with the next
    int dropReply = 0;         // this reply is never sent
    bool silent = false;       // requests are read and never answered
    int hangUpAfter = -1;      // after this many replies the next request unplugs the line
    bool headMismatch = false; // the head reply announces a head other than its record's
};

class KadrelSimulator : public QObject
{
    Q_OBJECT
public:
    explicit KadrelSimulator(TKadrelType model, QObject* parent = nullptr);
    ~KadrelSimulator() override;

    // Creates the pseudo-terminal; false with errorString() when that fails.
    bool open();
    bool isOpen() const;
    QString errorString() const;
    // The device the program opens, and an optional symbolic link to it.
    QString portName() const;
    bool setLinkPath(const QString& path);
    QString linkPath() const;
    // Unplugs the instrument: the program's port fails and the link goes.
    void hangUp();

    TKadrelType model() const { return m_model; }
    int recordSize() const { return m_memory.recordSize(); }
    int nameTableSize() const { return int(m_nameTable.size()); }

    const TKadrelInfo& info() const { return m_info; }
    void setInfo(const TKadrelInfo& info) { m_info = info; }
    void setSerialNumber(uint16_t serial) { m_info.SerialNumber = serial; }
    // "A005" (letter and number) or a plain number such as "2053"; nothing when invalid.
    static std::optional<uint16_t> parseSerialNumber(const QString& text);

    // Fills the archive with `count` generated records, the oldest at position 0.
    void generateArchive(int count, quint32 seed);
    // The records of an archive file (the model's record size), newest first, with its
    // identification (the device type stays this instrument's). False when unreadable.
    bool loadArchiveFile(const QString& fileName);
    // Whole records, newest first, placed from `head` down.
    void setRecords(const QByteArray& newestFirst, uint16_t head);
    const InstrumentMemory& memory() const { return m_memory; }
    // Records per page reply, 1 to 255.
    void setPageSize(int records);
    int pageSize() const { return m_pageSize; }

    QByteArray nameTable() const { return m_nameTable; }
    void setNameTable(const QByteArray& table);

    // The time the last clock write set; invalid until one came.
    QDateTime clock() const { return m_clock; }

    void setFaults(const SimFaults& faults);
    const SimFaults& faults() const { return m_faults; }

    // Traffic since the start, for the wire time it takes.
    qint64 requestBytes() const { return m_requestBytes; }
    qint64 replyBytes() const { return m_replyBytes; }
    int requestCount() const { return m_requestCount; }

signals:
    // Every whole request, answered or not.
    void requestReceived(const QByteArray& frame);
    void hungUp();

private:
    void onReceived(const QByteArray& bytes);
    void handleRequest(const QByteArray& frame);
    QByteArray answer(const QByteArray& frame);
    QByteArray headReply() const;
    QByteArray pageReply(uint16_t lastHeld) const;
    void deliver(const QByteArray& reply, int requestSize);

    TKadrelType m_model;
    PtyLine* m_line;
    LineShaper* m_shaper;
    FrameAssembler m_assembler;
    TKadrelInfo m_info{};
    InstrumentMemory m_memory;
    QByteArray m_nameTable;
    int m_pageSize = 10;
    QDateTime m_clock;
    SimFaults m_faults;
    int m_repliesSinceFaults = 0;
    QByteArray m_heldReply;
    qint64 m_requestBytes = 0;
    qint64 m_replyBytes = 0;
    int m_requestCount = 0;
};

} // namespace kadrel::sim
