// The settings file: first run, hand-written files, the exact text written, numbers that count
// as missing, placement bytes, the window placement both ways, and a failed write.
#include "app/settings_store.h"
#include "link/kadrel_error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

namespace
{

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

TPlacementRecord filledRecord(uint8_t byte)
{
    TPlacementRecord record;
    record.fill(byte);
    return record;
}

// Record bytes from their hexadecimal text.
TPlacementRecord recordFromHex(const char* hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    TPlacementRecord record{};
    std::copy(bytes.begin(), bytes.end(), record.begin());
    return record;
}

const char* const MaximisedAt10x20Hex = "2C000000"
                                        "00000000"
                                        "03000000"
                                        "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
                                        "0A000000"
                                        "14000000"
                                        "36010000"
                                        "DC000000";

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void firstRunCreatesFolder();
    void onlyLanguageGiven();
    void writtenTextAndRoundTrip();
    void keepsOtherLinesOfTheFile();
    void integers_data();
    void integers();
    void placementHex_data();
    void placementHex();
    void placementRecord_data();
    void placementRecord();
    void unusableRecordLeavesWindow();
    void maximisedWindowComesBackMaximised();
    void windowOffAllScreensIsBroughtBack();
    void unwritableFileThrows();

private:
    QString configPath() const { return TSettingsStore(m_documents->path()).GetConfigFileName(); }

    std::unique_ptr<QTemporaryDir> m_documents;
};

void TestSettingsStore::init()
{
    m_documents = std::make_unique<QTemporaryDir>();
    QVERIFY(m_documents->isValid());
}

void TestSettingsStore::firstRunCreatesFolder()
{
    const QString documents = m_documents->filePath("not yet/made");
    const TSettingsStore store(documents);
    QCOMPARE(store.GetConfigFileName(), documents + "/Norvent/KADREL-1/Kadrel-1.ini");
    QCOMPARE(store.GetConfigFolder(), documents + "/Norvent/KADREL-1");

    TSettings settings;
    settings.AutoClock = true;
    settings.VertSplitter = 185;
    QVERIFY(!store.LoadConfig(settings));
    QVERIFY(QFileInfo(store.GetConfigFolder()).isDir());
    QVERIFY(!QFileInfo::exists(store.GetConfigFileName()));
    QVERIFY(settings.AutoClock);
    QCOMPARE(settings.VertSplitter, 185);
    QCOMPARE(settings.Language, 0);
}

void TestSettingsStore::onlyLanguageGiven()
{
    writeFile(configPath(), "[Settings]\r\nLanguage=1\r\n");
    TSettings settings;
    settings.AutoClock = true;
    settings.PrintComments = true;
    settings.Dimension = 1;
    QVERIFY(TSettingsStore(m_documents->path()).LoadConfig(settings));
    QCOMPARE(settings.Language, 1);
    QCOMPARE(settings.Dimension, 0);
    QVERIFY(!settings.AutoClock);
    QVERIFY(!settings.PrintComments);
    QVERIFY(!settings.VertSplitter);
    QVERIFY(!settings.HorizSplitter);
    QVERIFY(!settings.Skin);
    QVERIFY(!settings.SkinEnable);
    QWidget window;
    window.setGeometry(50, 60, 923, 541);
    QVERIFY(!ApplyPlacement(&window, settings.Placement));
    QCOMPARE(window.geometry(), QRect(50, 60, 923, 541));
}

void TestSettingsStore::writtenTextAndRoundTrip()
{
    TSettings written;
    written.Placement = recordFromHex(MaximisedAt10x20Hex);
    written.VertSplitter = 185;
    written.HorizSplitter = 237;
    written.Skin = "Lucky (internal)";
    written.SkinEnable = true;
    written.Language = 1;
    written.Dimension = 1;
    written.AutoClock = true;
    written.PrintComments = false;
    const TSettingsStore store(m_documents->path());
    QVERIFY(!store.LoadConfig(written));
    store.SaveConfig(written);

    QCOMPARE(readFile(configPath()), QByteArray("[GUI]\r\n"
                                                "Placement=") +
                                         MaximisedAt10x20Hex +
                                         "\r\n"
                                         "VertSplitter=185\r\n"
                                         "HorizSplitter=237\r\n"
                                         "Skin=Lucky (internal)\r\n"
                                         "SkinEnable=1\r\n"
                                         "[Settings]\r\n"
                                         "Language=1\r\n"
                                         "Dimension=1\r\n"
                                         "AutoClock=1\r\n"
                                         "PrintComments=0\r\n");

    TSettings read;
    QVERIFY(store.LoadConfig(read));
    QCOMPARE(read.Placement, written.Placement);
    QCOMPARE(read.VertSplitter, written.VertSplitter);
    QCOMPARE(read.HorizSplitter, written.HorizSplitter);
    QCOMPARE(read.Skin, written.Skin);
    QCOMPARE(read.SkinEnable, written.SkinEnable);
    QCOMPARE(read.Language, written.Language);
    QCOMPARE(read.Dimension, written.Dimension);
    QCOMPARE(read.AutoClock, written.AutoClock);
    QCOMPARE(read.PrintComments, written.PrintComments);
}

// Keys are found whatever their case and replaced in place; new keys join the end of their
// section; lines of no concern stay.
void TestSettingsStore::keepsOtherLinesOfTheFile()
{
    writeFile(configPath(), "\xEF\xBB\xBF; made by hand\n"
                            "[Other]\n"
                            "x = 1\n"
                            "[gui]\n"
                            "Custom=abc\n"
                            "vertsplitter = 10\n"
                            "\n"
                            "[Settings]\n"
                            "language=0\n");
    TSettings settings;
    const TSettingsStore store(m_documents->path());
    QVERIFY(store.LoadConfig(settings));
    QCOMPARE(settings.VertSplitter, 10);
    settings.VertSplitter = 200;
    settings.Language = 1;
    store.SaveConfig(settings);
    QCOMPARE(readFile(configPath()), QByteArray("\xEF\xBB\xBF; made by hand\r\n"
                                                "[Other]\r\n"
                                                "x = 1\r\n"
                                                "[gui]\r\n"
                                                "Custom=abc\r\n"
                                                "VertSplitter=200\r\n"
                                                "Placement=") +
                                         QByteArray(88, '0') +
                                         "\r\n"
                                         "\r\n"
                                         "[Settings]\r\n"
                                         "Language=1\r\n"
                                         "Dimension=0\r\n"
                                         "AutoClock=0\r\n"
                                         "PrintComments=0\r\n");
}

void TestSettingsStore::integers_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("number");

    QTest::newRow("decimal") << QByteArray("1") << true << 1;
    QTest::newRow("blanks around") << QByteArray("  7 ") << true << 7;
    QTest::newRow("plus sign") << QByteArray("+3") << true << 3;
    QTest::newRow("negative") << QByteArray("-2") << true << -2;
    QTest::newRow("smallest") << QByteArray("-2147483648") << true << INT32_MIN;
    QTest::newRow("hexadecimal") << QByteArray("0x1F") << true << 31;
    QTest::newRow("hexadecimal, capital X") << QByteArray("0X0a") << true << 10;
    QTest::newRow("hexadecimal, all bits") << QByteArray("0xFFFFFFFF") << true << -1;
    QTest::newRow("hexadecimal zero") << QByteArray("0x0") << true << 0;
    QTest::newRow("hexadecimal, leading zeros") << QByteArray("0x000000001") << true << 1;
    QTest::newRow("empty") << QByteArray("") << false << 0;
    QTest::newRow("word") << QByteArray("yes") << false << 0;
    QTest::newRow("fraction") << QByteArray("1.5") << false << 0;
    QTest::newRow("exponent") << QByteArray("1e3") << false << 0;
    QTest::newRow("sign only") << QByteArray("-") << false << 0;
    QTest::newRow("prefix only") << QByteArray("0x") << false << 0;
    QTest::newRow("bad hexadecimal digit") << QByteArray("0x1G") << false << 0;
    QTest::newRow("dollar hexadecimal") << QByteArray("$10") << false << 0;
    QTest::newRow("too large") << QByteArray("2147483648") << false << 0;
    QTest::newRow("hexadecimal too large") << QByteArray("0x100000000") << false << 0;
}

// The same value under an integer key of default 0, a Boolean key of default off and a key
// whose default is the window's current value.
void TestSettingsStore::integers()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, valid);
    QFETCH(int, number);
    writeFile(configPath(), "[GUI]\nVertSplitter=" + value + "\n[Settings]\nLanguage=" + value +
                                "\nAutoClock=" + value + "\n");
    TSettings settings;
    settings.VertSplitter = 185;
    settings.AutoClock = true;
    QVERIFY(TSettingsStore(m_documents->path()).LoadConfig(settings));
    QCOMPARE(settings.Language, valid ? number : 0);
    QCOMPARE(settings.AutoClock, valid && number != 0);
    QCOMPARE(*settings.VertSplitter, valid ? number : 185);
}

void TestSettingsStore::placementHex_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("bytesTaken");

    const QByteArray full = QByteArray(MaximisedAt10x20Hex);
    QTest::newRow("all 44 bytes") << full << 44;
    QTest::newRow("lower case") << full.toLower() << 44;
    QTest::newRow("mixed case") << QByteArray("2c000000") + full.mid(8) << 44;
    QTest::newRow("more than 44 bytes") << full + "0102" << 44;
    QTest::newRow("fewer bytes") << full.left(24) << 12;
    QTest::newRow("odd digit at the end") << full.left(25) << 12;
    QTest::newRow("stops at a bad pair") << full.left(6) + "zz" + full.mid(8) << 3;
    QTest::newRow("stops at a half-bad pair") << full.left(4) + "0g" + full.mid(6) << 2;
    QTest::newRow("empty") << QByteArray() << 0;
}

// Bytes not given keep what the record held before.
void TestSettingsStore::placementHex()
{
    QFETCH(QByteArray, value);
    QFETCH(int, bytesTaken);
    writeFile(configPath(), "[GUI]\r\nPlacement=" + value + "\r\n");
    TSettings settings;
    settings.Placement = filledRecord(0xAA);
    QVERIFY(TSettingsStore(m_documents->path()).LoadConfig(settings));
    TPlacementRecord expected = recordFromHex(MaximisedAt10x20Hex);
    std::fill(expected.begin() + bytesTaken, expected.end(), uint8_t(0xAA));
    QCOMPARE(settings.Placement, expected);
}

void TestSettingsStore::placementRecord_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("showState");
    QTest::addColumn<int>("flags");

    QTest::newRow("normal") << int(Qt::WindowNoState) << 1 << 0;
    QTest::newRow("maximised") << int(Qt::WindowMaximized) << 3 << 0;
    QTest::newRow("minimised") << int(Qt::WindowMinimized) << 2 << 0;
    QTest::newRow("minimised from maximised")
        << int(Qt::WindowMinimized | Qt::WindowMaximized) << 2 << 2;
}

void TestSettingsStore::placementRecord()
{
    QFETCH(int, state);
    QFETCH(int, showState);
    QFETCH(int, flags);
    const QRect normal(10, 20, 300, 200);
    const TPlacementRecord record = MakePlacement(normal, Qt::WindowStates(state));
    QByteArray expected = QByteArray::fromHex(MaximisedAt10x20Hex);
    expected[4] = char(flags);
    expected[8] = char(showState);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(record.data()), PlacementSize), expected);

    QRect readNormal;
    Qt::WindowStates readState;
    QVERIFY(ReadPlacement(record, readNormal, readState));
    QCOMPARE(readNormal, normal);
    QCOMPARE(int(readState), state);
}

void TestSettingsStore::unusableRecordLeavesWindow()
{
    TPlacementRecord wrongLength = MakePlacement(QRect(10, 20, 300, 200), Qt::WindowNoState);
    wrongLength[0] = 40;
    const TPlacementRecord empty = MakePlacement(QRect(10, 20, 0, 200), Qt::WindowNoState);
    for (const TPlacementRecord& record : {TPlacementRecord{}, wrongLength, empty}) {
        QWidget window;
        window.setGeometry(50, 60, 400, 300);
        QVERIFY(!ApplyPlacement(&window, record));
        QCOMPARE(window.geometry(), QRect(50, 60, 400, 300));
        QCOMPARE(window.windowState(), Qt::WindowNoState);
    }
}

// Stored at the end of one run and applied at the start of the next, before the window shows.
void TestSettingsStore::maximisedWindowComesBackMaximised()
{
    const QRect normal(100, 120, 500, 350);
    TSettings settings;
    {
        QWidget window;
        window.setGeometry(normal);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.showMaximized();
        QTRY_VERIFY(window.isMaximized());
        settings.Placement = WindowPlacement(&window);
    }
    const TSettingsStore store(m_documents->path());
    QVERIFY(!store.LoadConfig(settings));
    store.SaveConfig(settings);

    TSettings read;
    QVERIFY(store.LoadConfig(read));
    QWidget window;
    QVERIFY(ApplyPlacement(&window, read.Placement));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.isMaximized());
    QCOMPARE(window.normalGeometry(), normal);
    window.showNormal();
    QTRY_COMPARE(window.geometry(), normal);
}

void TestSettingsStore::windowOffAllScreensIsBroughtBack()
{
    QWidget window;
    QVERIFY(
        ApplyPlacement(&window, MakePlacement(QRect(-20000, -20000, 300, 200), Qt::WindowNoState)));
    QCOMPARE(window.geometry().size(), QSize(300, 200));
    QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().intersects(window.geometry()));
}

// The settings folder was removed while the program ran.
void TestSettingsStore::unwritableFileThrows()
{
    const TSettingsStore store(m_documents->filePath("removed"));
    try {
        store.SaveConfig(TSettings());
        QFAIL("saving into a missing folder succeeded");
    } catch (const KadrelError& error) {
        QCOMPARE(error.message(),
                 "Unable to write to " + QDir::toNativeSeparators(store.GetConfigFileName()));
    }
    QVERIFY(!QFileInfo::exists(store.GetConfigFileName()));
}

QTEST_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
