#include "link/discovery.h"

#include "link/kadrel_base.h"
#include "link/prompts.h"

#include <QEventLoop>
#include <QTimer>

namespace
{

QString deviceDisconnectedText(TLang lang)
{
    return lang == ruRU ? QStringLiteral("Прибор отключен") : QStringLiteral("Device disconnected");
}

QString portBusyText(int curLang)
{
    return curLang == 0 ? QStringLiteral("Не удалось подключиться - порт занят")
                        : QStringLiteral("Failed to connect - port busy");
}

QString mergeQuestion(TLang lang)
{
    return lang == ruRU ? QStringLiteral("Объединить результаты из файлов/приборов?")
                        : QStringLiteral("Merge results from files/devices?");
}

} // namespace

// Marks the time in which device changes must wait: the identification waits and the merge
// question run the event loop, and a port change handled in there would pull the instrument
// list from under the handler that is running. A change that came meanwhile is handled
// once the outermost of these ends.
class TPortDiscovery::TBusy
{
public:
    explicit TBusy(TPortDiscovery& discovery) : m_discovery(discovery) { ++m_discovery.m_busy; }
    ~TBusy() { m_discovery.LeaveBusy(); }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

private:
    TPortDiscovery& m_discovery;
};

TPortDiscovery::TPortDiscovery(IDiscoveryHost& host, TDriverFactory driverFactory, QObject* parent)
    : QObject(parent), m_host(host), m_driverFactory(std::move(driverFactory)),
      m_devChangeTimer(new QTimer(this))
{
    m_devChangeTimer->setObjectName(QStringLiteral("DevChangeTimer"));
    m_devChangeTimer->setSingleShot(true);
    m_devChangeTimer->setInterval(DevChangeDelayMs);
    connect(m_devChangeTimer, &QTimer::timeout, this, &TPortDiscovery::DevChangeTimerTimer);
    connect(&m_monitor, &TDeviceMonitor::deviceChanged, this, &TPortDiscovery::OnDeviceChange);
}

TPortDiscovery::~TPortDiscovery() = default;

void TPortDiscovery::SetExtraPorts(const QStringList& paths)
{
    m_ports.SetExtraPorts(paths);
    m_monitor.SetWatchedPorts(m_ports.ExtraPorts());
}

void TPortDiscovery::SetSysfsRoot(const QString& root)
{
    m_ports.SetSysfsRoot(root);
}

void TPortDiscovery::StartMonitoring()
{
    m_monitor.Start();
}

QStringList TPortDiscovery::EnumPorts() const
{
    return m_ports.EnumPorts();
}

void TPortDiscovery::ScanPorts()
{
    const TBusy busy(*this);
    IDevSelectBox& box = m_host.DevSelectBox();
    for (int i = box.Count() - 1; i >= 0; --i)
        box.Remove(i);
    box.SetItemIndex(-1);

    m_unlisted.clear();
    const QStringList ports = EnumPorts();
    for (const QString& port : ports) {
        // Start-up names stay Russian whatever the interface language.
        if (const auto assoc = Identify(port, ruRU))
            box.Add(assoc->Name, *assoc);
        else
            m_unlisted.append(port);
    }
    if (ports.isEmpty() || m_host.IsLoadTypeFile())
        return;
    if (box.Count() > 0) {
        box.SetItemIndex(0);
        sDevSelectBoxChange();
    }
    if (ports.size() > 1 && !box.DroppedDown())
        box.DropDown();
}

void TPortDiscovery::OnDeviceChange()
{
    m_devChangeTimer->start();
}

void TPortDiscovery::DevChangeTimerTimer()
{
    m_devChangeTimer->stop();
    if (m_busy > 0) {
        m_changePending = true;
        return;
    }
    const TPortDiff diff = DiffPorts();
    if (diff.Change == 0)
        return;
    const int knownBefore = KnownPortCount();
    PortChanged(diff.Port, diff.Change > 0);
    // Several ports changed in one burst: the next one is handled in a run of its own. A run
    // that changed nothing is not repeated, so this cannot go round forever.
    if (KnownPortCount() != knownBefore && DiffPorts().Change != 0)
        m_devChangeTimer->start();
}

TPortDiff TPortDiscovery::DiffPorts() const
{
    IDevSelectBox& box = m_host.DevSelectBox();
    QStringList known;
    for (int i = 0; i < box.Count(); ++i)
        known.append(box.Assoc(i).Port);
    // Ports the start-up left out are known too; otherwise one of them would balance the
    // count against a listed port that went, and that removal would pass unnoticed.
    known += m_unlisted;
    return ::DiffPorts(known, EnumPorts());
}

void TPortDiscovery::PortChanged(const QString& port, bool added)
{
    const TBusy busy(*this);
    IDevSelectBox& box = m_host.DevSelectBox();
    m_unlisted.removeAll(port);
    if (added) {
        // A port that cannot be opened or does not answer still gets an entry, an inert one:
        // its text is empty, so choosing it does nothing. It keeps its port name so that its
        // removal is matched to it and not to another entry.
        TKadrelPortAssoc assoc = Identify(port, m_host.ConfigLang())
                                     .value_or(TKadrelPortAssoc{port, QString(), devUnknown});
        box.Add(assoc.Name, assoc);
        if (box.ItemIndex() < 0 && !m_host.IsLoadTypeFile()) {
            box.SetItemIndex(0);
            sDevSelectBoxChange();
        }
        if (box.Count() > 1 && !box.DroppedDown())
            box.DropDown();
        return;
    }

    for (int i = 0; i < box.Count(); ++i) {
        if (box.Assoc(i).Port == port) {
            RemoveEntry(i);
            break;
        }
    }
    if (!ActiveDriver || !IsActiveDriverPort(port))
        return;
    m_host.SetStatusText(deviceDisconnectedText(m_host.ConfigLang()));
    m_host.SetLoadTypeFile(true);
    box.ClearText();
    if (box.Count() > 0 && !box.DroppedDown())
        box.DropDown();
    // The records stay for saving. The port goes: the device behind it is gone, and while it
    // stays open it would keep the name locked against the instrument's return.
    ActiveDriver->Disconnect();
    m_connectedDriver.reset();
    m_connectedPort.clear();
}

void TPortDiscovery::sDevSelectBoxChange()
{
    const TBusy busy(*this);
    IDevSelectBox& box = m_host.DevSelectBox();
    const int index = box.ItemIndex();
    if (index < 0 || box.Text().isEmpty())
        return;
    const TKadrelPortAssoc assoc = box.Assoc(index);
    if (!SelectDevice(assoc.DevType) || !ActiveDriver)
        return;
    m_host.ShowLoading();
    m_host.ClearDialogFileNames();
    const IKadrelPtr driver = ActiveDriver;
    if (!driver->Connect(assoc.Port)) {
        m_host.SetStatusText(portBusyText(m_host.CurLang()));
        return;
    }
    m_connectedDriver = driver;
    m_connectedPort = assoc.Port;
}

bool TPortDiscovery::SelectDevice(int devType)
{
    const TBusy busy(*this);
    m_host.SetLoadTypeFile(false);
    if (!ActiveDriver || ActiveDriver->GetDevType() != devType)
        return CreateDriver(devType);
    if (m_host.Prompts().Ask(mergeQuestion(m_host.ConfigLang())) == IPrompts::No)
        return CreateDriver(devType);
    m_host.SetLoadTypeFile(true);
    return true;
}

bool TPortDiscovery::CreateDriver(int devType)
{
    IKadrelPtr driver = m_driverFactory ? m_driverFactory(devType) : nullptr;
    if (!driver)
        return false;
    // Replacing the driver releases the previous one, its records and its port.
    ActiveDriver = driver;
    driver->SetLang(m_host.ConfigLang());
    driver->SetDimension(m_host.ConfigDimension());
    IDiscoveryHost* host = &m_host;
    driver->SetCallback([host](TOperationType op) { host->OperationCompleted(op); });
    return true;
}

std::optional<TKadrelPortAssoc> TPortDiscovery::Identify(const QString& port, TLang lang)
{
    const auto driver = std::make_shared<TKadrelBase>();
    driver->SetLang(lang);
    if (!driver->Connect(port) || !WaitForIdentity(*driver))
        return std::nullopt;
    return TKadrelPortAssoc{port, driver->GetDevName(), TKadrelType(driver->GetDevType())};
}

bool TPortDiscovery::WaitForIdentity(IKadrel& driver)
{
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    driver.SetCallback([&loop](TOperationType op) {
        if (op == otDevConnect || op == otDevDisconnected)
            loop.quit();
    });
    deadline.start(IdentifyTimeoutMs);
    if (driver.GetDevType() == devUnknown)
        loop.exec();
    driver.SetCallback(nullptr);
    return driver.GetDevType() != devUnknown;
}

void TPortDiscovery::RemoveEntry(int index)
{
    IDevSelectBox& box = m_host.DevSelectBox();
    const int selected = box.ItemIndex();
    box.Remove(index);
    // The selection stays on the same instrument; removing the selected entry leaves none.
    if (selected == index)
        box.SetItemIndex(-1);
    else if (selected > index)
        box.SetItemIndex(selected - 1);
    else
        box.SetItemIndex(selected);
}

bool TPortDiscovery::IsActiveDriverPort(const QString& port) const
{
    if (ActiveDriver->GetPortName() == port)
        return true;
    return m_connectedDriver.lock() == ActiveDriver && m_connectedPort == port;
}

int TPortDiscovery::KnownPortCount() const
{
    return m_host.DevSelectBox().Count() + int(m_unlisted.size());
}

void TPortDiscovery::LeaveBusy()
{
    if (--m_busy > 0 || !m_changePending)
        return;
    m_changePending = false;
    m_devChangeTimer->start();
}
