#include "cli/instrument.h"

#include "cli/cli_common.h"
#include "link/kadrel_base.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

namespace cli
{

namespace
{

// Why a port could not be opened: it is not there, or another program holds it.
QString unavailable(const QString& port)
{
    const QString path = port.contains(u'/') ? port : QStringLiteral("/dev/") + port;
    if (!QFileInfo::exists(path))
        return QStringLiteral("%1: no such port").arg(port);
    return QStringLiteral("%1: the port is busy or not accessible").arg(port);
}

} // namespace

InstrumentLink::InstrumentLink(IKadrelPtr driver, const QString& port, int timeoutMs)
    : m_driver(std::move(driver)), m_port(port), m_timeoutMs(timeoutMs)
{
    m_driver->SetCallback([this](TOperationType op) { onEvent(op); });
}

InstrumentLink::~InstrumentLink()
{
    m_driver->SetCallback(nullptr);
}

void InstrumentLink::connect()
{
    if (!m_driver->Connect(m_port))
        throw Failure{ExitInstrument, unavailable(m_port)};
    await(otDevConnect);
}

void InstrumentLink::await(TOperationType op)
{
    m_awaited = op;
    m_arrived = false;
    if (!m_disconnected) {
        QEventLoop loop;
        QTimer silence;
        silence.setSingleShot(true);
        QObject::connect(&silence, &QTimer::timeout, &loop, &QEventLoop::quit);
        m_loop = &loop;
        m_silence = &silence;
        silence.start(m_timeoutMs);
        loop.exec();
        m_loop = nullptr;
        m_silence = nullptr;
    }
    m_awaited.reset();
    if (m_disconnected)
        throw Failure{
            ExitInstrument,
            QStringLiteral("%1: the port failed or the instrument was unplugged").arg(m_port)};
    if (!m_arrived)
        throw Failure{ExitInstrument,
                      QStringLiteral("%1: the instrument did not answer within %2 s")
                          .arg(m_port)
                          .arg(m_timeoutMs / 1000.0)};
}

void InstrumentLink::onEvent(TOperationType op)
{
    if (m_observer)
        m_observer(op);
    if (op == otDevDisconnected)
        m_disconnected = true;
    if (m_awaited && op == *m_awaited)
        m_arrived = true;
    if (m_silence)
        m_silence->start(m_timeoutMs);
    if (m_loop && (m_arrived || m_disconnected))
        m_loop->quit();
}

TIdentity identify(const QString& port, int timeoutMs, TLang lang)
{
    const auto bare = std::make_shared<TKadrelBase>();
    bare->SetLang(lang);
    InstrumentLink link(bare, port, timeoutMs);
    link.connect();
    return TIdentity{bare->DevInfo(), bare->GetDevName()};
}

std::optional<TIdentity> tryIdentify(const QString& port, int timeoutMs, TLang lang)
{
    try {
        TIdentity identity = identify(port, timeoutMs, lang);
        if (identity.Info.DevType == devUnknown)
            return std::nullopt;
        return identity;
    } catch (const Failure&) {
        return std::nullopt;
    }
}

} // namespace cli
