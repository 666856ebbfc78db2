// WM_DEVICECHANGE as Windows sends it to every top-level window of the program.
#pragma once

#include <QtGlobal>

#ifdef Q_OS_WIN

#include <QAbstractNativeEventFilter>
#include <functional>

class TDeviceChangeFilter : public QAbstractNativeEventFilter
{
public:
    explicit TDeviceChangeFilter(std::function<void()> onChange);
    ~TDeviceChangeFilter() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::function<void()> m_onChange;
};

#endif
