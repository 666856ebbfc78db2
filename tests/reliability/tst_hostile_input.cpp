// Input that could do harm stays harmless: file names with blanks, quotes, shell characters
// and other scripts through open, save and merge; settings files with absurd values; and
// addresses handed to the desktop only as properly encoded links.
#include "reliability_fixture.h"

#include "app/about.h"
#include "app/help.h"
#include "app/settings_store.h"
#include "models/archive_file.h"
#include "models/driver_factory.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QUrlQuery>

namespace
{

struct TRaw : TArchEntry {
    QByteArray Bytes;
    uint8_t* Raw() override { return reinterpret_cast<uint8_t*>(Bytes.data()); }
};

// An archive file of model TL with `count` generated records.
QByteArray WriteArchive(const QString& path, int count)
{
    KadrelSimulator instrument(devTL);
    instrument.generateArchive(count, 6);
    TArchiveList list;
    for (int i = 0; i < count; ++i) {
        auto entry = std::make_unique<TRaw>();
        entry->Bytes = instrument.memory().bytes().mid(i * 84, 84);
        list.push_back(std::move(entry));
    }
    TKadrelInfo info{};
    info.DevType = devTL;
    info.SerialNumber = SerialA(3);
    WriteArchiveFile(path, info, list, 84);
    return instrument.memory().bytes();
}

} // namespace

class TestHostileInput : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { SetUrlOpener({}); }

    void fileNames_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::newRow("blanks") << "two  blanks"
                                << " leading and trailing .kadrel1tl";
        QTest::newRow("quotes") << "it's \"quoted\""
                                << "'single' and \"double\".kadrel1tl";
        QTest::newRow("shell characters") << "$(touch pwned); `id`"
                                          << "-n; rm -rf ~ | cat > x & %s %n.kadrel1tl";
        QTest::newRow("Cyrillic and signs") << "Объект «Мост» №5"
                                            << "Протокол ✕ ≤ ².kadrel1tl";
        QTest::newRow("beyond the basic plane") << "📁"
                                                << "🏗 site 😀.kadrel1tl";
        QTest::newRow("several full stops") << "a.b.c"
                                            << "archive.old.kadrel1tl";
    }

    // Opened from the command line, saved as another such name and merged back: the records
    // come back whole and are recognised as the same.
    void fileNames()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        TRig rig;
        const QString dir = rig.file(folder);
        QVERIFY(QDir().mkpath(dir));
        const QString path = dir + "/" + name;
        const QByteArray records = WriteArchive(path, 6);

        rig.start({path});
        QCOMPARE(rig.Prompts->Errors, QStringList());
        QCOMPARE(rig.Window->CurrentFileName(), path);
        QCOMPARE(HeldRecords(ActiveDriver, 84), records);

        const QString copy = dir + "/copy of " + name;
        rig.Prompts->SaveFiles << copy;
        rig.trigger("ActionSaveAs");
        QCOMPARE(rig.Prompts->Errors, QStringList());
        QCOMPARE(rig.status(), QStringLiteral("File saved"));
        QCOMPARE(rig.Window->CurrentFileName(), copy);

        rig.Prompts->OpenFiles << copy;
        rig.Prompts->Answers << IPrompts::Yes;
        rig.trigger("ActionOpen");
        QCOMPARE(rig.Prompts->Errors, QStringList());
        QCOMPARE(rig.status(),
                 QStringLiteral("File opened: 6 duplicate, 6 unique, 0 new entries."));
        QCOMPARE(HeldRecords(ActiveDriver, 84), records);
        // Nothing in the names ran: no file appeared beside them.
        QCOMPARE(QDir(dir).entryList(QDir::Files).size(), 2);
        QVERIFY(!QFileInfo::exists(QDir::current().filePath("pwned")));
    }

    void absurdSettings_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::newRow("huge numbers")
            << QByteArray("[GUI]\nVertSplitter=99999999999999999999\nHorizSplitter=2147483647\n"
                          "[Settings]\nLanguage=2147483647\nDimension=4294967296\n");
        QTest::newRow("negative numbers")
            << QByteArray("[GUI]\nVertSplitter=-185\nHorizSplitter=-2147483648\n"
                          "[Settings]\nLanguage=-1\nDimension=-1\nAutoClock=-7\n");
        QTest::newRow("not numbers")
            << QByteArray("[GUI]\nVertSplitter=wide\nSkinEnable=yes\n[Settings]\nLanguage=English\n"
                          "Dimension=1.5\nAutoClock=\nPrintComments=0x\n");
        QTest::newRow("binary junk") << QByteArray("\xFF\xFE\x00[GUI]\x00\nSkin=\x01\x02\xFF\xC0\n"
                                                   "[\x00\xFF]\n=\n==\n[\n]\n\xEF\xBB\xBF",
                                                   37);
        QTest::newRow("huge window") << QByteArray(
            "[GUI]\nPlacement=2C0000000000000001000000000000000000000000000000000000000000"
            "000000000000FFFFFF7FFFFFFF7F\n");
        QTest::newRow("window off every screen") << QByteArray(
            "[GUI]\nPlacement=2C0000000000000003000000000000000000000000000000000000000000"
            "0080000000806400008064000080\n");
        QTest::newRow("window without size") << QByteArray(
            "[GUI]\nPlacement=2C0000000000000001000000000000000000000000000000000000000A00"
            "00000A0000000A0000000A000000\n");
    }

    // The window starts in one of its languages and units, on a screen and within its size
    // limits, and ends writing settings that read back sane.
    void absurdSettings()
    {
        QFETCH(QByteArray, ini);
        TRig rig;
        rig.writeSettings(ini);
        TLoggedMainForm& window = rig.start();
        QVERIFY(window.Config.Lang == 0 || window.Config.Lang == 1);
        QVERIFY(window.Config.Dimension == 0 || window.Config.Dimension == 1);
        QVERIFY(window.width() <= 2560 && window.height() <= 1440);
        QVERIFY(window.width() >= 800 && window.height() >= 600);
        bool onScreen = false;
        for (const QScreen* screen : QGuiApplication::screens())
            onScreen |= screen->availableGeometry().intersects(window.frameGeometry());
        QVERIFY(onScreen);

        window.close();
        QCOMPARE(rig.Prompts->Errors, QStringList());
        TSettings saved;
        QVERIFY(TSettingsStore(rig.documentsFolder()).LoadConfig(saved));
        QVERIFY(saved.Language == 0 || saved.Language == 1);
        QVERIFY(saved.Dimension == 0 || saved.Dimension == 1);
        QVERIFY(saved.VertSplitter && *saved.VertSplitter >= 40 && *saved.VertSplitter <= 2000);
        QVERIFY(saved.HorizSplitter && *saved.HorizSplitter >= 40 && *saved.HorizSplitter <= 2000);
        QRect normal;
        Qt::WindowStates state;
        QVERIFY(ReadPlacement(saved.Placement, normal, state));
    }

    void mailLinks_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::newRow("header injection") << "Hi\r\nBcc: all@example.org\r\n";
        QTest::newRow("query separators") << "a&b=c?d#e";
        QTest::newRow("shell") << "`rm -rf ~`; $(id) | tee x > y < z";
        QTest::newRow("quotes and percent") << "100% \"quoted\" 'single' %41";
        QTest::newRow("plus signs") << "+1 + 2";
        QTest::newRow("Cyrillic") << "Прибор «АН» №5";
    }

    // The subject reaches the mail program as itself, inside a link that carries no blank,
    // control character, quotation mark or other character a shell or a mail header would
    // take for its own.
    void mailLinks()
    {
        QFETCH(QString, subject);
        const QUrl url = MailToUrl(QStringLiteral("support@kadrel.example"), subject);
        const QString encoded = url.toString(QUrl::FullyEncoded);
        const QRegularExpression safe(
            QStringLiteral("^[A-Za-z0-9\\-._~:/?#\\[\\]@!$&'()*+,;=%]+$"));
        QVERIFY2(safe.match(encoded).hasMatch(), qPrintable(encoded));
        QVERIFY(!encoded.contains(u'"') && !encoded.contains(u'`'));
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QCOMPARE(url.path(), QStringLiteral("support@kadrel.example"));
        const QUrl reread(encoded, QUrl::StrictMode);
        QVERIFY(reread.isValid());
        QCOMPARE(QUrlQuery(reread).queryItemValue("Subject", QUrl::FullyDecoded), subject);
    }

    // The help goes to the desktop as a local file link, whatever the folder is called.
    void helpGoesAsFileLink()
    {
        QList<QUrl> opened;
        SetUrlOpener([&opened](const QUrl& url) {
            opened << url;
            return true;
        });
        ShowHelp(0);
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.first().isLocalFile());
        QCOMPARE(opened.first().toLocalFile(), HelpFilePath(0));
    }
};

QTEST_MAIN(TestHostileInput)
#include "tst_hostile_input.moc"
