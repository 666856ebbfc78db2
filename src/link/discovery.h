// Finds the attached instruments, lists them in the host's instrument list, follows them as
// they are plugged in and removed, and turns the user's choice into a connected model driver
// (ActiveDriver).
#pragma once

#include "link/device_monitor.h"
#include "link/discovery_host.h"
#include "link/kadrel_driver.h"
#include "link/port_diff.h"
#include "link/port_enum.h"

#include <QObject>
#include <functional>
#include <optional>

class QTimer;

class TPortDiscovery : public QObject
{
    Q_OBJECT
public:
    // The model driver for a device type, or nothing when the type has none.
    using TDriverFactory = std::function<IKadrelPtr(int devType)>;

    // How long an instrument may take to answer the identification request.
    static constexpr int IdentifyTimeoutMs = 2000;
    // How long after the last device-change message of a burst the ports are compared.
    static constexpr int DevChangeDelayMs = 200;

    TPortDiscovery(IDiscoveryHost& host, TDriverFactory driverFactory, QObject* parent = nullptr);
    ~TPortDiscovery() override;

    // Ports named by the user whose USB identity is unknown; see TPortEnumerator.
    void SetExtraPorts(const QStringList& paths);
    void SetSysfsRoot(const QString& root);
    // Starts following device changes.
    void StartMonitoring();

    QStringList EnumPorts() const;
    // Start-up discovery: lists every answering instrument and, unless a file is on show,
    // selects and connects the first one.
    void ScanPorts();
    // A device-change message: the ports are compared once a burst of messages has ended.
    void OnDeviceChange();
    void DevChangeTimerTimer();
    TPortDiff DiffPorts() const;
    void PortChanged(const QString& port, bool added);
    // The user chose an entry of the instrument list.
    void sDevSelectBoxChange();
    // Prepares ActiveDriver for an instrument or a file of this type, asking whether to merge
    // when the current driver is of the same type. False when the type has no driver.
    bool SelectDevice(int devType);
    bool CreateDriver(int devType);

private:
    class TBusy;

    // The instrument on `port`, or nothing when the port cannot be opened or does not answer
    // in time. The port is closed again either way.
    std::optional<TKadrelPortAssoc> Identify(const QString& port, TLang lang);
    bool WaitForIdentity(IKadrel& driver);
    void RemoveEntry(int index);
    bool IsActiveDriverPort(const QString& port) const;
    int KnownPortCount() const;
    void LeaveBusy();

    IDiscoveryHost& m_host;
    TDriverFactory m_driverFactory;
    TPortEnumerator m_ports;
    TDeviceMonitor m_monitor;
    QTimer* m_devChangeTimer;
    // Present ports the start-up scan left out because they did not answer.
    QStringList m_unlisted;
    int m_busy = 0;
    bool m_changePending = false;
    // The driver connected by the last choice and its port: after a hang-up the port layer
    // may have closed the port and no longer tell its name.
    std::weak_ptr<IKadrel> m_connectedDriver;
    QString m_connectedPort;
};
