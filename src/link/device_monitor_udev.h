// udev's events of the tty subsystem, read from udev's monitor socket. libudev is loaded at
// run time, so the program needs it only where udev runs.
#pragma once

#include <QLibrary>
#include <functional>
#include <memory>

class QSocketNotifier;

class TUdevMonitor
{
public:
    // A running monitor, or nothing when udev does not run here or libudev is missing.
    static std::unique_ptr<TUdevMonitor> Create(std::function<void()> onChange);
    ~TUdevMonitor();
    TUdevMonitor(const TUdevMonitor&) = delete;
    TUdevMonitor& operator=(const TUdevMonitor&) = delete;

private:
    struct Api;
    TUdevMonitor() = default;
    bool Open();
    void Receive();

    QLibrary m_library;
    std::unique_ptr<Api> m_api;
    void* m_udev = nullptr;
    void* m_monitor = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void()> m_onChange;
};
