#include "link/device_monitor_win.h"

#ifdef Q_OS_WIN

#include <QCoreApplication>
#include <qt_windows.h>

TDeviceChangeFilter::TDeviceChangeFilter(std::function<void()> onChange)
    : m_onChange(std::move(onChange))
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

TDeviceChangeFilter::~TDeviceChangeFilter()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool TDeviceChangeFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    // Whatever the message's parameters: the port list is compared as a whole afterwards.
    if (eventType == "windows_generic_MSG" &&
        static_cast<const MSG*>(message)->message == WM_DEVICECHANGE)
        m_onChange();
    // The window still gets the message.
    return false;
}

#endif
