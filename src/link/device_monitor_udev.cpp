#include "link/device_monitor_udev.h"

#include <QFileInfo>
#include <QSocketNotifier>

// The few libudev entry points the monitor needs; libudev's handles are opaque to it.
struct TUdevMonitor::Api {
    void* (*udev_new)();
    void* (*udev_unref)(void*);
    void* (*udev_monitor_new_from_netlink)(void*, const char*);
    int (*udev_monitor_filter_add_match_subsystem_devtype)(void*, const char*, const char*);
    int (*udev_monitor_enable_receiving)(void*);
    int (*udev_monitor_get_fd)(void*);
    void* (*udev_monitor_receive_device)(void*);
    void* (*udev_device_unref)(void*);
    void* (*udev_monitor_unref)(void*);
};

namespace
{

template <class Fn> bool resolve(QLibrary& library, const char* name, Fn& fn)
{
    fn = reinterpret_cast<Fn>(library.resolve(name));
    return fn != nullptr;
}

} // namespace

std::unique_ptr<TUdevMonitor> TUdevMonitor::Create(std::function<void()> onChange)
{
    // Without the daemon the monitor socket would stay silent.
    if (!QFileInfo::exists(QStringLiteral("/run/udev/control")))
        return nullptr;
    std::unique_ptr<TUdevMonitor> monitor(new TUdevMonitor);
    monitor->m_onChange = std::move(onChange);
    if (!monitor->Open())
        return nullptr;
    return monitor;
}

bool TUdevMonitor::Open()
{
    m_library.setFileNameAndVersion(QStringLiteral("udev"), 1);
    if (!m_library.load())
        return false;
    auto api = std::make_unique<Api>();
    const bool resolved =
        resolve(m_library, "udev_new", api->udev_new) &&
        resolve(m_library, "udev_unref", api->udev_unref) &&
        resolve(m_library, "udev_monitor_new_from_netlink", api->udev_monitor_new_from_netlink) &&
        resolve(m_library, "udev_monitor_filter_add_match_subsystem_devtype",
                api->udev_monitor_filter_add_match_subsystem_devtype) &&
        resolve(m_library, "udev_monitor_enable_receiving", api->udev_monitor_enable_receiving) &&
        resolve(m_library, "udev_monitor_get_fd", api->udev_monitor_get_fd) &&
        resolve(m_library, "udev_monitor_receive_device", api->udev_monitor_receive_device) &&
        resolve(m_library, "udev_device_unref", api->udev_device_unref) &&
        resolve(m_library, "udev_monitor_unref", api->udev_monitor_unref);
    if (!resolved)
        return false;
    m_api = std::move(api);

    m_udev = m_api->udev_new();
    if (!m_udev)
        return false;
    m_monitor = m_api->udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor ||
        m_api->udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "tty", nullptr) < 0 ||
        m_api->udev_monitor_enable_receiving(m_monitor) < 0)
        return false;
    const int fd = m_api->udev_monitor_get_fd(m_monitor);
    if (fd < 0)
        return false;
    m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [this] { Receive(); });
    return true;
}

TUdevMonitor::~TUdevMonitor()
{
    m_notifier.reset();
    if (m_api) {
        if (m_monitor)
            m_api->udev_monitor_unref(m_monitor);
        if (m_udev)
            m_api->udev_unref(m_udev);
    }
}

void TUdevMonitor::Receive()
{
    // Which device changed does not matter: the port list is compared as a whole.
    if (void* device = m_api->udev_monitor_receive_device(m_monitor))
        m_api->udev_device_unref(device);
    m_onChange();
}
