// The USB identity of ports read from sysfs, and the ports the user named.
#include "link/port_enum.h"

#include <QtTest>

namespace
{

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

class TestPortEnum : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_sysfs;

    // A tty whose device link points at `deviceFolder` under the fake sysfs.
    void addTty(const QString& name, const QString& deviceFolder)
    {
        const QString device = m_sysfs + "/devices/" + deviceFolder;
        QVERIFY(QDir().mkpath(device));
        const QString ttyFolder = m_sysfs + "/class/tty/" + name;
        QVERIFY(QDir().mkpath(ttyFolder));
        QVERIFY(QFile::link(device, ttyFolder + "/device"));
    }

    void setIds(const QString& folder, const QByteArray& vendor, const QByteArray& product)
    {
        writeFile(folder + "/idVendor", vendor);
        writeFile(folder + "/idProduct", product);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_sysfs = m_dir.path() + "/sys";
        const QString usb = m_sysfs + "/devices/pci0/usb1";

        addTty("ttyACM0", "pci0/usb1/1-1/1-1:1.0");
        setIds(usb + "/1-1", "0483\n", "0420\n");
        addTty("ttyUSB0", "pci0/usb1/1-2/1-2:1.0/ttyUSB0");
        setIds(usb + "/1-2", "10c4\n", "ea60\n");
        addTty("ttyACM1", "pci0/usb1/1-3");
        setIds(usb + "/1-3", "0483", "0420");
        addTty("ttyACM2", "pci0/usb1/1-4/1-4:1.0");
        setIds(usb + "/1-4", "zz\n", "0420\n");
        addTty("ttyS0", "platform/serial8250");
        // Files above the sysfs root are never read.
        setIds(m_dir.path(), "0483\n", "0420\n");
        addTty("ttyS1", "platform/serial8251");
    }

    void sysfsIdentity_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("known");
        QTest::addColumn<int>("vendor");
        QTest::addColumn<int>("product");

        QTest::newRow("instrument behind its interface") << "ttyACM0" << true << 0x0483 << 0x0420;
        QTest::newRow("other adapter, two levels down") << "ttyUSB0" << true << 0x10c4 << 0xea60;
        QTest::newRow("ids on the device folder itself") << "ttyACM1" << true << 0x0483 << 0x0420;
        QTest::newRow("unreadable vendor id") << "ttyACM2" << false << 0 << 0;
        QTest::newRow("not a USB device") << "ttyS0" << false << 0 << 0;
        QTest::newRow("ids only above the root") << "ttyS1" << false << 0 << 0;
        QTest::newRow("no such port") << "ttyACM9" << false << 0 << 0;
        QTest::newRow("name leaving the tree") << "../tty/ttyACM0" << false << 0 << 0;
        QTest::newRow("empty name") << "" << false << 0 << 0;
    }

    void sysfsIdentity()
    {
        QFETCH(QString, port);
        QFETCH(bool, known);
        QFETCH(int, vendor);
        QFETCH(int, product);

        const auto id = SysfsUsbIdentity(m_sysfs, port);
        QCOMPARE(id.has_value(), known);
        if (known) {
            QCOMPARE(int(id->VendorId), vendor);
            QCOMPARE(int(id->ProductId), product);
        }
    }

    void sysfsRootMissing() { QVERIFY(!SysfsUsbIdentity(m_dir.path() + "/nowhere", "ttyACM0")); }

    // A named port counts while it exists; a link counts while its target exists.
    void namedPorts()
    {
        const QString folder = m_dir.path() + "/ports";
        QVERIFY(QDir().mkpath(folder));
        const QString device = folder + "/device";
        writeFile(device, "");
        const QString link = folder + "/link";
        QVERIFY(QFile::link(device, link));
        const QString dangling = folder + "/dangling";
        QVERIFY(QFile::link(folder + "/gone", dangling));
        const QString missing = folder + "/missing";

        const QStringList named{link, dangling, missing, device, link};
        TPortEnumerator enumerator;
        enumerator.SetSysfsRoot(m_sysfs);
        enumerator.SetExtraPorts(named);

        QStringList listed;
        for (const QString& port : enumerator.EnumPorts()) {
            if (named.contains(port))
                listed.append(port);
        }
        QCOMPARE(listed, (QStringList{link, device}));

        QVERIFY(QFile::remove(device));
        QVERIFY(!enumerator.EnumPorts().contains(link));
    }

    // A relative path is the working folder's, not a device name under /dev.
    void relativeNamedPort()
    {
        const QString folder = m_dir.path() + "/relative";
        writeFile(folder + "/sim", "");
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder));
        TPortEnumerator enumerator;
        enumerator.SetExtraPorts({"sim"});
        QVERIFY(QDir::setCurrent(previous));

        QCOMPARE(enumerator.ExtraPorts(), QStringList{folder + "/sim"});
        QVERIFY(enumerator.EnumPorts().contains(folder + "/sim"));
    }
};

QTEST_GUILESS_MAIN(TestPortEnum)
#include "tst_port_enum.moc"
