// The ports of attached instruments: USB serial ports with the instruments' vendor and
// product ids, and the ports the user named because their USB identity is unknown (simulators,
// unusual adapters). No frame is ever sent to a port outside this list.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QSerialPortInfo;

constexpr quint16 InstrumentVendorId = 0x0483;
constexpr quint16 InstrumentProductId = 0x0420;

struct TUsbIdentity {
    quint16 VendorId = 0;
    quint16 ProductId = 0;
};

// The USB identity of tty `portName` read from sysfs under `sysfsRoot` (normally /sys): the
// idVendor and idProduct files of the first folder at or above the port's device folder that
// holds both. Nothing when the port is not a USB device or the files cannot be read.
std::optional<TUsbIdentity> SysfsUsbIdentity(const QString& sysfsRoot, const QString& portName);

class TPortEnumerator
{
public:
    void SetSysfsRoot(const QString& root) { m_sysfsRoot = root; }
    // Paths that count as instrument ports while they exist; a link counts while its target
    // exists. Relative paths are taken from the working folder and kept absolute, since a
    // port name without a folder would be looked for in /dev.
    void SetExtraPorts(const QStringList& paths);
    const QStringList& ExtraPorts() const { return m_extraPorts; }

    // The names of the instrument ports present now: the USB ports in the order the system
    // lists them, then the present extra ports in the order given.
    QStringList EnumPorts() const;

private:
    std::optional<TUsbIdentity> UsbIdentity(const QSerialPortInfo& info) const;

    QString m_sysfsRoot = QStringLiteral("/sys");
    QStringList m_extraPorts;
};
