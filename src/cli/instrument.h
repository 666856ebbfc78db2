// An instrument as the command line talks to it: every wait is bounded, and an instrument
// that is absent, busy, silent or unplugged ends the command with ExitInstrument.
#pragma once

#include "link/kadrel_driver.h"

#include <QString>
#include <functional>
#include <optional>

class QEventLoop;
class QTimer;

namespace cli
{

// Drives one instrument through a driver: opens the port, waits for the replies.
class InstrumentLink
{
public:
    // `timeoutMs` bounds the silence before each awaited reply.
    InstrumentLink(IKadrelPtr driver, const QString& port, int timeoutMs);
    ~InstrumentLink();
    InstrumentLink(const InstrumentLink&) = delete;
    InstrumentLink& operator=(const InstrumentLink&) = delete;

    IKadrel& driver() { return *m_driver; }

    // Told of every event the driver raises, before the wait looks at it.
    void setObserver(std::function<void(TOperationType)> observer)
    {
        m_observer = std::move(observer);
    }

    // Opens the port and waits for the instrument's identification.
    void connect();
    // Runs the event loop until the driver raises `op`. Every event restarts the timeout.
    void await(TOperationType op);

private:
    void onEvent(TOperationType op);

    IKadrelPtr m_driver;
    QString m_port;
    int m_timeoutMs;
    std::function<void(TOperationType)> m_observer;
    std::optional<TOperationType> m_awaited;
    bool m_arrived = false;
    bool m_disconnected = false;
    QEventLoop* m_loop = nullptr;
    QTimer* m_silence = nullptr;
};

// Who an instrument is: its identification record and its display name.
struct TIdentity {
    TKadrelInfo Info{};
    QString Name;
};

// Identifies the instrument on `port` with a bare driver, as the instrument list does, and
// closes the port again; fails with ExitInstrument. The name is in `lang`.
TIdentity identify(const QString& port, int timeoutMs, TLang lang);

// The same, or nothing when the port cannot be opened or does not answer in time.
std::optional<TIdentity> tryIdentify(const QString& port, int timeoutMs, TLang lang);

} // namespace cli
