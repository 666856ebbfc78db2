// Caption translation both ways, in place over a window, Qt's own texts, and the extension
// lookup in the archive dialogs' filter lists.
#include "app/trans.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

class TestTrans : public QObject
{
    Q_OBJECT

private slots:
    void translateText_data();
    void translateText();
    void everyPairTranslatesBothWays();
    void translateForm();
    void qtTextsFollowLanguage();
    void filterExtension_data();
    void filterExtension();
};

void TestTrans::translateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* text, const char* code,
                        const char* expected) {
        QTest::newRow(name) << QString(text) << QString(code) << QString(expected);
    };

    row("to English", "Файл", "EN", "File");
    row("to Russian", "File", "RU", "Файл");
    row("ellipsis to English", "Сохранить как...", "EN", "Save as\u2026");
    row("ellipsis back", "Save as\u2026", "RU", "Сохранить как...");
    row("three dots are not the ellipsis", "Save as...", "RU", "Save as...");
    row("misspelt caption", "Paremeters", "RU", "Параметры");
    row("letter yo", "Напечатать отчёт", "EN", "Print report");
    row("already English", "File", "EN", "File");
    row("already Russian", "Файл", "RU", "Файл");
    row("case counts", "файл", "EN", "файл");
    row("not in the table", "Hello", "RU", "Hello");
    row("empty", "", "EN", "");
    row("same in both, to English", "Русский", "EN", "Русский");
    row("same in both, to Russian", "MPa", "RU", "MPa");
    row("separator", "-", "EN", "-");
    row("any other code means English", "Файл", "en", "File");
    row("lower-case ru is not Russian", "File", "ru", "File");
}

void TestTrans::translateText()
{
    QFETCH(QString, text);
    QFETCH(QString, code);
    QFETCH(QString, expected);
    QCOMPARE(TranslateText(text, code), expected);
}

// A text twice in one column would make its later pair unreachable.
void TestTrans::everyPairTranslatesBothWays()
{
    for (const TTranslationPair& pair : TranslationTable) {
        const QString russian = QString::fromUtf8(pair.Russian);
        const QString english = QString::fromUtf8(pair.English);
        QCOMPARE(TranslateText(russian, "EN"), english);
        QCOMPARE(TranslateText(english, "RU"), russian);
    }
}

void TestTrans::translateForm()
{
    QMainWindow window;
    window.setWindowTitle("KADREL-1.Connect");
    window.setToolTip("Прибор");
    QMenu* fileMenu = window.menuBar()->addMenu("Файл");
    auto* open = new QAction("Открыть", &window);
    auto* saveAs = new QAction("Сохранить как...", &window);
    auto* print = new QAction("Печать...", &window);
    print->setToolTip("Напечатать отчёт");
    fileMenu->addAction(open);
    fileMenu->addAction(saveAs);
    fileMenu->addSeparator();
    fileMenu->addAction(print);
    QMenu* units = window.menuBar()->addMenu("Параметры")->addMenu("Единицы измерения прочности");
    QToolBar* toolBar = window.addToolBar("MainToolBar");
    toolBar->addAction(print);

    auto* central = new QWidget(&window);
    auto* layout = new QVBoxLayout(central);
    auto* label = new QLabel("Версия:", central);
    label->setToolTip("Сайт:");
    auto* button = new QPushButton("Записать в прибор", central);
    auto* check = new QCheckBox("Печатать комментарии", central);
    auto* group = new QGroupBox("Названия", central);
    auto* radio = new QRadioButton("Открыть", group);
    auto* memo = new QPlainTextEdit("Файл", central);
    memo->setToolTip("Вызов справки");
    QStandardItemModel model(1, 1);
    model.setHorizontalHeaderLabels({"Файл"});
    model.setItem(0, 0, new QStandardItem("Открыть"));
    auto* table = new QTableView(central);
    table->setModel(&model);
    for (QWidget* widget :
         {static_cast<QWidget*>(label), static_cast<QWidget*>(button), static_cast<QWidget*>(check),
          static_cast<QWidget*>(group), static_cast<QWidget*>(memo), static_cast<QWidget*>(table)})
        layout->addWidget(widget);
    window.setCentralWidget(central);
    QDialog childWindow(&window);
    auto* childLabel = new QLabel("Файл", &childWindow);
    QFileDialog fileDialog(&window, "Открыть");
    QGuiApplication::setApplicationDisplayName("Прибор");

    TranslateForm(&window, "EN");
    QCOMPARE(window.windowTitle(), "KADREL-1.Connect");
    QCOMPARE(window.toolTip(), "Device");
    QCOMPARE(QGuiApplication::applicationDisplayName(), "Device");
    QCOMPARE(fileMenu->title(), "File");
    QCOMPARE(units->title(), "Strength units");
    QCOMPARE(open->text(), "Open");
    QCOMPARE(open->toolTip(), "Open");
    QCOMPARE(saveAs->text(), "Save as\u2026");
    QCOMPARE(print->text(), "Print...");
    QCOMPARE(print->toolTip(), "Print report");
    auto* printButton = qobject_cast<QToolButton*>(toolBar->widgetForAction(print));
    QVERIFY(printButton);
    QCOMPARE(printButton->toolTip(), "Print report");
    QCOMPARE(label->text(), "Version:");
    QCOMPARE(label->toolTip(), "Website:");
    QCOMPARE(button->text(), "Write to device");
    QCOMPARE(check->text(), "Print comments");
    QCOMPARE(group->title(), "Titles");
    QCOMPARE(memo->toolTip(), "Help call");
    QCOMPARE(memo->toPlainText(), "Файл");
    QCOMPARE(radio->text(), "Открыть");
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), "Файл");
    QCOMPARE(model.item(0, 0)->text(), "Открыть");
    QCOMPARE(childLabel->text(), "Файл");
    QCOMPARE(fileDialog.windowTitle(), "Open");

    TranslateForm(&window, "RU");
    QCOMPARE(window.toolTip(), "Прибор");
    QCOMPARE(QGuiApplication::applicationDisplayName(), "Прибор");
    QCOMPARE(fileMenu->title(), "Файл");
    QCOMPARE(units->title(), "Единицы измерения прочности");
    QCOMPARE(open->text(), "Открыть");
    QCOMPARE(saveAs->text(), "Сохранить как...");
    QCOMPARE(print->text(), "Печать...");
    QCOMPARE(print->toolTip(), "Напечатать отчёт");
    QCOMPARE(label->text(), "Версия:");
    QCOMPARE(button->text(), "Записать в прибор");
    QCOMPARE(check->text(), "Печатать комментарии");
    QCOMPARE(group->title(), "Названия");
    QCOMPARE(memo->toolTip(), "Вызов справки");
}

void TestTrans::qtTextsFollowLanguage()
{
    const auto cancelText = [] {
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        return box.button(QDialogButtonBox::Cancel)->text();
    };
    const bool russianInstalled =
        QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ru.qm");
    QCOMPARE(ApplyQtLanguage(0), russianInstalled);
    if (russianInstalled)
        QCOMPARE(cancelText(), "Отмена");
    QVERIFY(ApplyQtLanguage(0) == russianInstalled);
    QVERIFY(ApplyQtLanguage(1));
    QCOMPARE(cancelText(), "Cancel");
}

void TestTrans::filterExtension_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const QString& filter, int n, const char* expected) {
        QTest::newRow(name) << filter << n << QString(expected);
    };

    row("open, all types", ArchiveOpenFilter, 1, ".kadrel1??");
    row("open, AN", ArchiveOpenFilter, 2, ".kadrel1an");
    row("open, EG", ArchiveOpenFilter, 6, ".kadrel1eg");
    row("save, AN", ArchiveSaveFilter, 1, ".kadrel1an");
    row("save, QM", ArchiveSaveFilter, 4, ".kadrel1qm");
    row("save, EG, last entry", ArchiveSaveFilter, 5, ".kadrel1eg");
    row("no pattern taken", ArchiveSaveFilter, 0, "Kadrel-1.AN File");
    row("past the last pattern", ArchiveSaveFilter, 6, ".kadrel1eg");
}

void TestTrans::filterExtension()
{
    QFETCH(QString, filter);
    QFETCH(int, n);
    QFETCH(QString, expected);
    QCOMPARE(FilterExtension(filter, n), expected);
}

QTEST_MAIN(TestTrans)
#include "tst_trans.moc"
