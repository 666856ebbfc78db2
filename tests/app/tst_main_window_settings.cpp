// The main window's settings and languages: the first run, a file holding only some keys,
// the window placement kept between runs, and switching the language there and back.
#include "window_fixture.h"

namespace
{

// Every caption and hint of the window's commands and menus, by object name.
QMap<QString, QString> WindowTexts(const QWidget* window)
{
    QMap<QString, QString> texts;
    for (const QAction* action : window->findChildren<QAction*>()) {
        if (!action->objectName().isEmpty())
            texts[action->objectName()] = action->text() + u'|' + action->toolTip();
    }
    for (const QMenu* menu : window->findChildren<QMenu*>())
        texts[menu->objectName()] = menu->title();
    return texts;
}

// The tables an independent driver fills from the records the window shows.
struct TExpectedTables {
    TStringGrid Basic;
    TStringGrid Detail;
};

TExpectedTables ExpectedTables(TWindowFixture& fx, TLang lang, int detailIndex)
{
    const IKadrelPtr driver = LoadedDriver(ActiveDriver->GetDevType(),
                                           fx.saveShownArchive(QStringLiteral("shown")), lang);
    TExpectedTables tables;
    driver->UpdateBasicGrid(tables.Basic);
    driver->UpdateDetailGrid(tables.Detail, detailIndex);
    return tables;
}

} // namespace

class TestMainWindowSettings : public QObject
{
    Q_OBJECT

private slots:
    void firstRun_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("fileMenu");
        QTest::addColumn<QString>("ready");
        QTest::addColumn<QString>("notConnected");
        QTest::newRow("Russian") << 0 << "Файл"
                                 << "Готов."
                                 << "Не подключен";
        QTest::newRow("English") << 1 << "File"
                                 << "Ready."
                                 << "Not connected";
    }

    void firstRun()
    {
        QFETCH(int, language);
        QFETCH(QString, fileMenu);
        QFETCH(QString, ready);
        QFETCH(QString, notConnected);
        TWindowFixture fx;
        fx.ChosenLanguage = language;

        TLoggedMainForm& window = fx.start();

        QCOMPARE(fx.LanguageQuestions, 1);
        QCOMPARE(window.Config.Lang, language);
        QCOMPARE(fx.menu("mmFile")->title(), fileMenu);
        QVERIFY(fx.action("smDimMPa")->isChecked());
        QVERIFY(fx.action("smClockAuto")->isChecked());
        QVERIFY(!fx.action("smPrintComments")->isChecked());
        QCOMPARE(fx.action("smLangEn")->isChecked(), language == 1);
        QCOMPARE(fx.status(0), ready);
        QCOMPARE(fx.status(1), notConnected);

        // The save dialog starts in the settings folder on the first run.
        const QString archive = fx.file("archive.kadrel1an");
        WriteArchive(archive, devAN, Records(devAN, 3, 5));
        fx.Prompts->OpenFiles << archive;
        fx.trigger("ActionOpen");
        fx.trigger("ActionSaveAs");
        QCOMPARE(fx.Prompts->SaveFolders, QStringList{QFileInfo(fx.settingsFile()).absolutePath()});

        window.close();
        const QString ini = QString::fromUtf8(FileBytes(fx.settingsFile()));
        QVERIFY(ini.indexOf("[GUI]") >= 0);
        QVERIFY(ini.indexOf("[GUI]") < ini.indexOf("[Settings]"));
        QVERIFY(ini.contains(QStringLiteral("Language=%1").arg(language)));
        QVERIFY(ini.contains("Dimension=0"));
        QVERIFY(ini.contains("AutoClock=1"));
        QVERIFY(ini.contains("PrintComments=0"));

        // The next run asks nothing and comes back in the same language.
        fx.open();
        QCOMPARE(fx.LanguageQuestions, 1);
        QCOMPARE(fx.Window->Config.Lang, language);
        QCOMPARE(fx.menu("mmFile")->title(), fileMenu);
    }

    // Missing keys take their defaults; the window keeps its place and size as built.
    void onlyLanguageInFile()
    {
        TWindowFixture fx;
        fx.writeSettings("[Settings]\r\nLanguage=1\r\n");
        const TMainForm built{TStartupOptions{}};

        TLoggedMainForm& window = fx.start();

        QCOMPARE(fx.LanguageQuestions, 0);
        QCOMPARE(window.Config.Lang, 1);
        QCOMPARE(fx.menu("mmFile")->title(), QStringLiteral("File"));
        QVERIFY(fx.action("smDimMPa")->isChecked());
        QCOMPARE(window.Config.Dimension, 0);
        QVERIFY(!fx.action("smClockAuto")->isChecked());
        QVERIFY(!fx.action("smPrintComments")->isChecked());
        QCOMPARE(window.size(), built.size());
        QCOMPARE(fx.status(0), QStringLiteral("Ready."));
    }

    void settingsKeptBetweenRuns()
    {
        TWindowFixture fx;
        TLoggedMainForm& first = fx.start();
        fx.trigger("smDimKgs");
        fx.action("smClockAuto")->trigger();
        fx.action("smPrintComments")->trigger();
        first.close();

        TLoggedMainForm& second = fx.open();
        QCOMPARE(fx.LanguageQuestions, 1);
        QCOMPARE(second.Config.Dimension, 1);
        QVERIFY(fx.action("smDimKgs")->isChecked());
        QVERIFY(!fx.action("smDimMPa")->isChecked());
        QVERIFY(!fx.action("smClockAuto")->isChecked());
        QVERIFY(fx.action("smPrintComments")->isChecked());
    }

    // A maximised window comes back maximised, with its normal geometry behind it.
    void placementRoundTrip()
    {
        TWindowFixture fx;
        TLoggedMainForm& first = fx.start();
        const QRect normal(QPoint(30, 40), first.size());
        first.setGeometry(normal);
        QVERIFY(fx.waitFor([&] { return first.geometry() == normal; }));
        first.showMaximized();
        QVERIFY(fx.waitFor([&] { return first.isMaximized(); }));
        first.close();

        TLoggedMainForm& second = fx.open();
        QVERIFY(fx.waitFor([&] { return second.isMaximized(); }));
        QCOMPARE(second.normalGeometry(), normal);
        second.showNormal();
        QVERIFY(fx.waitFor([&] { return second.geometry() == normal; }));
    }

    // Captions and grids follow the language and come back exactly; the instrument's name
    // in the status bar stays as it was made.
    void languageThereAndBack()
    {
        TWindowFixture fx;
        fx.addInstrument(devAN, "A001", 5);
        TLoggedMainForm& window = fx.start();
        QVERIFY(fx.waitForArchives(1));
        fx.clickRow(fx.basicGrid(), 3);
        const QMap<QString, QString> russian = WindowTexts(&window);

        fx.trigger("smLangEn");

        QCOMPARE(window.Config.Lang, 1);
        QCOMPARE(fx.menu("mmFile")->title(), QStringLiteral("File"));
        QCOMPARE(fx.action("ActionSaveAs")->text(), QStringLiteral("Save as…"));
        QCOMPARE(fx.action("ActionPrint")->toolTip(), QStringLiteral("Print report"));
        QCOMPARE(fx.status(0), QStringLiteral("Language changed - English"));
        QCOMPARE(fx.status(1), QStringLiteral("Кадрель-1.АН № A001"));
        const QList<int> widths = {fx.basicGrid()->columnWidth(0), fx.basicGrid()->columnWidth(1)};
        TExpectedTables english = ExpectedTables(fx, enUS, 2);
        QCOMPARE(AllRows(window.BasicGridCells()), AllRows(english.Basic));
        QCOMPARE(AllRows(window.DetailGridCells()), AllRows(english.Detail));
        QCOMPARE(window.SelectionTop(), 3);

        fx.trigger("smLangRu");

        QCOMPARE(window.Config.Lang, 0);
        QCOMPARE(WindowTexts(&window), russian);
        QCOMPARE(fx.menu("mmFile")->title(), QStringLiteral("Файл"));
        QCOMPARE(fx.action("ActionSaveAs")->text(), QStringLiteral("Сохранить как..."));
        QCOMPARE(fx.status(0), QStringLiteral("Язык изменен - Русский"));
        TExpectedTables russianTables = ExpectedTables(fx, ruRU, 2);
        QCOMPARE(AllRows(window.BasicGridCells()), AllRows(russianTables.Basic));
        QCOMPARE(AllRows(window.DetailGridCells()), AllRows(russianTables.Detail));
        // The columns are not fitted again on a language switch.
        QCOMPARE(fx.basicGrid()->columnWidth(0), widths[0]);
        QCOMPARE(fx.basicGrid()->columnWidth(1), widths[1]);
    }

    // The language already in use: the texts stay, the grids are refilled, the message shows.
    void sameLanguageAgain()
    {
        TWindowFixture fx;
        fx.addInstrument(devAN, "A001", 5);
        TLoggedMainForm& window = fx.start();
        QVERIFY(fx.waitForArchives(1));
        const QMap<QString, QString> texts = WindowTexts(&window);
        const QSignalSpy refills(fx.basicGrid()->model(), &QAbstractItemModel::modelReset);

        fx.trigger("smLangRu");

        QCOMPARE(WindowTexts(&window), texts);
        QCOMPARE(refills.count(), 1);
        QCOMPARE(fx.status(0), QStringLiteral("Язык изменен - Русский"));
    }
};

QTEST_MAIN(TestMainWindowSettings)
#include "tst_main_window_settings.moc"
