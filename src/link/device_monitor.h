// Tells when devices may have come or gone: WM_DEVICECHANGE on Windows; elsewhere udev's tty
// events where udev runs and changes of /dev where it does not. The folders of the ports the
// user named are always watched, so a link appearing or vanishing is a device change too.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <memory>

class TUdevMonitor;
class TDeviceChangeFilter;

class TDeviceMonitor : public QObject
{
    Q_OBJECT
public:
    explicit TDeviceMonitor(QObject* parent = nullptr);
    ~TDeviceMonitor() override;

    // Starts listening to the system's device messages.
    void Start();
    // The ports the user named; watching follows the folders they and their link targets
    // are in.
    void SetWatchedPorts(const QStringList& paths);

signals:
    void deviceChanged();

private:
    void WatchFolders();

    QFileSystemWatcher m_folders;
    QStringList m_ports;
    bool m_watchDev = false;
    std::unique_ptr<TUdevMonitor> m_udev;
#ifdef Q_OS_WIN
    std::unique_ptr<TDeviceChangeFilter> m_windows;
#endif
};
