// The About box: the version line by language, the maker's links handed to the desktop as
// exact addresses, the language of its texts after a switch, and the help page by language.
#include "app/about.h"
#include "app/help.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QtTest>

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { SetUrlOpener({}); }

    void versionAndBuildDate();
    void versionLine_data();
    void versionLine();
    void linkOpens_data();
    void linkOpens();
    void mailAddressIsEncoded_data();
    void mailAddressIsEncoded();
    void newLanguageShowsNextTime();
    void helpPageByLanguage_data();
    void helpPageByLanguage();

private:
    QList<QUrl> m_opened;
};

void TestAbout::init()
{
    m_opened.clear();
    SetUrlOpener([this](const QUrl& url) {
        m_opened << url;
        return true;
    });
}

void TestAbout::versionAndBuildDate()
{
    QCOMPARE(GetVersionString(), QStringLiteral("1.0.6.4"));
    const QDate built = GetBuildDate();
    QVERIFY(built.isValid());
    QVERIFY(built <= QDate::currentDate());
    QVERIFY(built.year() >= 2024);
}

void TestAbout::versionLine_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("separator");
    QTest::newRow("Russian") << 0 << " от ";
    QTest::newRow("English") << 1 << ", ";
}

void TestAbout::versionLine()
{
    QFETCH(int, lang);
    QFETCH(QString, separator);
    TAboutBox box;
    box.ApplyLanguage(lang);
    box.show();
    QCOMPARE(box.findChild<QLabel*>("Version")->text(),
             "1.0.6.4" + separator +
                 QLocale::system().toString(GetBuildDate(), QLocale::ShortFormat));
}

void TestAbout::linkOpens_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("url");
    QTest::newRow("general questions") << "LabelEMail"
                                       << "mailto:info@kadrel.example?Subject=KADREL-1.Connect";
    QTest::newRow("support") << "LabelEMailTech"
                             << "mailto:support@kadrel.example?Subject=KADREL-1.Connect";
    QTest::newRow("service") << "LabelEMailService"
                             << "mailto:service@kadrel.example?Subject=KADREL-1.Connect";
    QTest::newRow("web") << "LabelWWW"
                         << "https://www.kadrel.example";
    QTest::newRow("the logo only invites") << "ProgramIcon"
                                           << "";
    QTest::newRow("a caption is no link") << "LabelSite"
                                          << "";
}

void TestAbout::linkOpens()
{
    QFETCH(QString, label);
    QFETCH(QString, url);
    TAboutBox box;
    box.show();
    QLabel* clicked = box.findChild<QLabel*>(label);
    QVERIFY(clicked);
    QTest::mouseClick(clicked, Qt::LeftButton);
    QTest::mouseClick(clicked, Qt::RightButton);

    QStringList opened;
    for (const QUrl& address : m_opened)
        opened << address.toString(QUrl::FullyEncoded);
    QCOMPARE(opened, url.isEmpty() ? QStringList() : QStringList{url});
    QVERIFY(box.isVisible());
}

void TestAbout::mailAddressIsEncoded_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("url");
    QTest::newRow("plain") << "info@kadrel.example"
                           << "KADREL-1.Connect"
                           << "mailto:info@kadrel.example?Subject=KADREL-1.Connect";
    QTest::newRow("separators in the subject")
        << "info@kadrel.example"
        << "A&B=C #1?"
        << "mailto:info@kadrel.example?Subject=A%26B%3DC%20%231?";
    QTest::newRow("Cyrillic subject") << "info@kadrel.example"
                                      << "Прибор"
                                      << "mailto:info@kadrel.example?Subject=%D0%9F%D1%80%D0%B8%D0"
                                         "%B1%D0%BE%D1%80";
    QTest::newRow("an address cannot add a header")
        << "info@kadrel.example?Cc=x@kadrel.example"
        << "T"
        << "mailto:info@kadrel.example%3FCc=x@kadrel.example?Subject=T";
}

void TestAbout::mailAddressIsEncoded()
{
    QFETCH(QString, address);
    QFETCH(QString, subject);
    QFETCH(QString, url);
    QCOMPARE(MailToUrl(address, subject).toString(QUrl::FullyEncoded), url);
}

void TestAbout::newLanguageShowsNextTime()
{
    QWidget owner;
    owner.setGeometry(100, 80, 900, 600);
    owner.show();
    TAboutBox box(&owner);
    box.show();
    QCOMPARE(box.frameGeometry().center(), owner.frameGeometry().center());
    box.accept();

    box.ApplyLanguage(1);
    box.show();
    QCOMPARE(box.windowTitle(), QStringLiteral("About"));
    QCOMPARE(box.findChild<QLabel*>("Label1")->text(), QStringLiteral("Version:"));
    QVERIFY(box.findChild<QLabel*>("Version")->text().startsWith("1.0.6.4, "));
    QCOMPARE(box.findChild<QLabel*>("LabelMaker")->text(),
             QStringLiteral("Norvent Ltd., Primersk"));
    QCOMPARE(box.findChild<QLabel*>("LabelFax")->text(), QStringLiteral("phone/fax:"));
    QCOMPARE(box.findChild<QLabel*>("LabelMulti2")->text(), QStringLiteral("(multi-line)"));
    QCOMPARE(box.findChild<QLabel*>("LabelService")->text(), QStringLiteral("Service:"));
    QCOMPARE(box.findChild<QLabel*>("LabelEMailTech")->toolTip(), QStringLiteral("Write e-mail"));
    QCOMPARE(box.findChild<QLabel*>("ProgramIcon")->toolTip(),
             QStringLiteral("Norvent on the web"));
    QCOMPARE(box.findChild<QPushButton*>("OKButton")->text(), QStringLiteral("OK"));
    box.accept();

    box.ApplyLanguage(0);
    box.show();
    QCOMPARE(box.windowTitle(), QStringLiteral("О программе"));
    QCOMPARE(box.findChild<QLabel*>("Label1")->text(), QStringLiteral("Версия:"));
    QVERIFY(box.findChild<QLabel*>("Version")->text().startsWith("1.0.6.4 от "));
    QCOMPARE(box.findChild<QLabel*>("LabelWWW")->toolTip(),
             QStringLiteral("«Норвент» в интернете"));
}

void TestAbout::helpPageByLanguage_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("page");
    QTest::newRow("Russian") << 0 << "Help/Kadrel1Help.html";
    QTest::newRow("English") << 1 << "Help/Kadrel1EngHelp.html";
}

void TestAbout::helpPageByLanguage()
{
    QFETCH(int, lang);
    QFETCH(QString, page);
    ShowHelp(lang);
    const QString expected = QCoreApplication::applicationDirPath() + '/' + page;
    QCOMPARE(HelpFilePath(lang), expected);
    QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(expected)});
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
