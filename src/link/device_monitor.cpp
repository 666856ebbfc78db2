#include "link/device_monitor.h"

#include "link/device_monitor_udev.h"
#include "link/device_monitor_win.h"

#include <QDir>
#include <QFileInfo>

namespace
{

// The folder itself when it exists, else its nearest existing parent, so that creating the
// folder is noticed as well.
QString nearestExistingFolder(const QString& folder)
{
    QDir dir(folder);
    while (!dir.exists() && !dir.isRoot()) {
        if (!dir.cdUp())
            break;
    }
    return dir.absolutePath();
}

} // namespace

TDeviceMonitor::TDeviceMonitor(QObject* parent) : QObject(parent)
{
    connect(&m_folders, &QFileSystemWatcher::directoryChanged, this, [this] {
        WatchFolders();
        emit deviceChanged();
    });
}

TDeviceMonitor::~TDeviceMonitor() = default;

void TDeviceMonitor::Start()
{
#ifdef Q_OS_WIN
    if (!m_windows)
        m_windows = std::make_unique<TDeviceChangeFilter>([this] { emit deviceChanged(); });
#else
    if (!m_udev && !m_watchDev) {
        m_udev = TUdevMonitor::Create([this] { emit deviceChanged(); });
        m_watchDev = !m_udev;
    }
#endif
    WatchFolders();
}

void TDeviceMonitor::SetWatchedPorts(const QStringList& paths)
{
    m_ports = paths;
    WatchFolders();
}

void TDeviceMonitor::WatchFolders()
{
    QStringList folders;
    if (m_watchDev)
        folders.append(QStringLiteral("/dev"));
    for (const QString& path : std::as_const(m_ports)) {
        const QFileInfo port(path);
        folders.append(nearestExistingFolder(port.absolutePath()));
        // A pseudo-terminal behind a link vanishes from its own folder when it hangs up.
        if (port.isSymLink())
            folders.append(nearestExistingFolder(QFileInfo(port.symLinkTarget()).absolutePath()));
    }
    const QStringList watched = m_folders.directories();
    for (const QString& folder : std::as_const(folders)) {
        if (!watched.contains(folder))
            m_folders.addPath(folder);
    }
}
