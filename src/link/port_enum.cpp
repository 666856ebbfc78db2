#include "link/port_enum.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSet>

namespace
{

std::optional<quint16> readHexId(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool ok = false;
    const uint value = file.read(16).trimmed().toUInt(&ok, 16);
    if (!ok || value > 0xFFFF)
        return std::nullopt;
    return quint16(value);
}

bool isInstrument(const TUsbIdentity& id)
{
    return id.VendorId == InstrumentVendorId && id.ProductId == InstrumentProductId;
}

} // namespace

std::optional<TUsbIdentity> SysfsUsbIdentity(const QString& sysfsRoot, const QString& portName)
{
    // The name becomes part of a path; anything but a plain file name could leave the tree.
    if (portName.isEmpty() || portName.contains(QLatin1Char('/')) || portName == ".." ||
        portName == ".")
        return std::nullopt;
    const QString root = QFileInfo(sysfsRoot).canonicalFilePath();
    QString folder =
        QFileInfo(sysfsRoot + "/class/tty/" + portName + "/device").canonicalFilePath();
    if (root.isEmpty() || folder.isEmpty())
        return std::nullopt;
    while (folder.startsWith(root + QLatin1Char('/'))) {
        const QDir dir(folder);
        if (dir.exists("idVendor") && dir.exists("idProduct")) {
            const auto vendor = readHexId(dir.filePath("idVendor"));
            const auto product = readHexId(dir.filePath("idProduct"));
            if (!vendor || !product)
                return std::nullopt;
            return TUsbIdentity{*vendor, *product};
        }
        folder = QFileInfo(folder).path();
    }
    return std::nullopt;
}

std::optional<TUsbIdentity> TPortEnumerator::UsbIdentity(const QSerialPortInfo& info) const
{
    if (info.hasVendorIdentifier() && info.hasProductIdentifier())
        return TUsbIdentity{info.vendorIdentifier(), info.productIdentifier()};
#ifdef Q_OS_LINUX
    // Without a udev database (containers) the port layer does not know the identity.
    return SysfsUsbIdentity(m_sysfsRoot, info.portName());
#else
    return std::nullopt;
#endif
}

void TPortEnumerator::SetExtraPorts(const QStringList& paths)
{
    m_extraPorts.clear();
    for (const QString& path : paths) {
        if (!path.isEmpty())
            m_extraPorts.append(QFileInfo(path).absoluteFilePath());
    }
}

QStringList TPortEnumerator::EnumPorts() const
{
    QStringList ports;
    QSet<QString> usbDevices;
    const QList<QSerialPortInfo> available = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : available) {
        // A device without a port name cannot be opened; it is passed over.
        if (info.portName().isEmpty())
            continue;
        const auto id = UsbIdentity(info);
        if (!id || !isInstrument(*id))
            continue;
        ports.append(info.portName());
        usbDevices.insert(QFileInfo(info.systemLocation()).canonicalFilePath());
    }
    for (const QString& path : m_extraPorts) {
        const QFileInfo file(path);
        // exists() follows links, so a link whose target is gone does not count.
        if (!file.exists())
            continue;
        // A named port that is also a listed USB port would be listed twice.
        if (usbDevices.contains(file.canonicalFilePath()) || ports.contains(path))
            continue;
        ports.append(path);
    }
    return ports;
}
