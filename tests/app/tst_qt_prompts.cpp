// The Qt boxes and file dialogs behind the prompts: the answers of a question box, the error
// box's text, filter lists in Qt's form, and the save dialog's filter index both ways.
#include "app/qt_prompts.h"
#include "app/trans.h"
#include "common/modal_window.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TestQtPrompts : public QObject
{
    Q_OBJECT

private slots:
    void errorBoxText_data();
    void errorBoxText();
    void nameFilters();
    void ask_data();
    void ask();
    void showError();
    void saveDialog();
    void openDialog();
};

void TestQtPrompts::errorBoxText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    const auto row = [](const char* name, const char* text, const char* shown) {
        QTest::newRow(name) << QString(text) << QString(shown);
    };

    row("letter", "Unable to write to C:/x.ini", "Unable to write to C:/x.ini.");
    row("Cyrillic letter", "Файл не читается или испорчен: путь",
        "Файл не читается или испорчен: путь.");
    row("digit", "port 1", "port 1.");
    row("slash is above the full stop", "a/", "a/.");
    row("colon", "corrupted:", "corrupted:.");
    row("full stop", "Done.", "Done.");
    row("hyphen is below the full stop", "a-", "a-");
    row("comma", "a,", "a,");
    row("blank", "a ", "a ");
    row("exclamation mark", "Stop!", "Stop!");
    row("empty", "", "");
}

void TestQtPrompts::errorBoxText()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(ErrorBoxText(text), shown);
}

void TestQtPrompts::nameFilters()
{
    const QStringList filters = QtNameFilters(ArchiveOpenFilter);
    QCOMPARE(filters.size(), 6);
    QCOMPARE(filters.front(), "All Kadrel-1 Files (*.kadrel1?\?)");
    QCOMPARE(filters.back(), "Kadrel-1.EG File (*.kadrel1eg)");
    QCOMPARE(QtNameFilters(ArchiveSaveFilter).front(), "Kadrel-1.AN File (*.kadrel1an)");
    QCOMPARE(QtNameFilters("Caption without pattern"), QStringList());
}

void TestQtPrompts::ask_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("answer");

    QTest::newRow("yes") << "yes" << int(IPrompts::Yes);
    QTest::newRow("no") << "no" << int(IPrompts::No);
    QTest::newRow("escape") << "escape" << int(IPrompts::Closed);
    QTest::newRow("close button") << "close" << int(IPrompts::Closed);
}

void TestQtPrompts::ask()
{
    QFETCH(QString, action);
    QFETCH(int, answer);
    bool onlyYesAndNoShown = false;
    onModalWindow([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), "KADREL-1.Connect");
        QCOMPARE(box->text(), "Overwrite?");
        const QAbstractButton* cancel = box->button(QMessageBox::Cancel);
        onlyYesAndNoShown = box->button(QMessageBox::Yes)->isVisible() &&
                            box->button(QMessageBox::No)->isVisible() &&
                            (!cancel || !cancel->isVisible());
        if (action == "yes")
            box->button(QMessageBox::Yes)->click();
        else if (action == "no")
            box->button(QMessageBox::No)->click();
        else if (action == "escape")
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->close();
    });
    QtPrompts prompts;
    QCOMPARE(int(prompts.Ask("Overwrite?")), answer);
    QVERIFY(onlyYesAndNoShown);
}

void TestQtPrompts::showError()
{
    QString title;
    QString text;
    onModalWindow([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    QtPrompts().ShowError("Unable to write to /x/Kadrel-1.ini");
    QCOMPARE(title, "KADREL-1.Connect");
    QCOMPARE(text, "Unable to write to /x/Kadrel-1.ini.");
}

// The filter index goes in preselected and comes back as chosen; an existing file is taken
// without a question and a name without extension stays without one.
void TestQtPrompts::saveDialog()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString existing = folder.filePath("old.kadrel1an");
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    struct Case {
        QString typed;
        int chooseFilter;
    };
    for (const Case& c : {Case{folder.filePath("archive"), 2}, Case{existing, 1}}) {
        QString preselected;
        QString directory;
        onModalWindow([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            preselected = dialog->selectedNameFilter();
            directory = dialog->directory().absolutePath();
            dialog->selectNameFilter(dialog->nameFilters()[c.chooseFilter - 1]);
            // Typed as the user would: selectFile() leaves a focused name field alone.
            auto* nameField = dialog->findChild<QLineEdit*>("fileNameEdit");
            QVERIFY(nameField);
            nameField->setText(c.typed);
            // Accepting a dialog that asks before overwriting would open one more box.
            if (dialog->testOption(QFileDialog::DontConfirmOverwrite))
                static_cast<QDialog*>(dialog)->accept();
            else
                dialog->reject();
        });
        int filterIndex = 5;
        const QString path =
            QtPrompts().ChooseSaveFile(ArchiveSaveFilter, filterIndex, QString(), folder.path());
        QCOMPARE(preselected, "Kadrel-1.EG File (*.kadrel1eg)");
        QCOMPARE(directory, QDir(folder.path()).absolutePath());
        QCOMPARE(path, c.typed);
        QCOMPARE(filterIndex, c.chooseFilter);
    }

    onModalWindow([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    int filterIndex = 3;
    QCOMPARE(QtPrompts().ChooseSaveFile(ArchiveSaveFilter, filterIndex, existing, QString()),
             QString());
    QCOMPARE(filterIndex, 3);
}

void TestQtPrompts::openDialog()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString existing = folder.filePath("a.kadrel1tl");
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    QString startsWith;
    onModalWindow([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog);
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
        startsWith = dialog->selectedFiles().value(0);
        static_cast<QDialog*>(dialog)->accept();
    });
    QCOMPARE(QtPrompts().ChooseOpenFile(ArchiveOpenFilter, existing), existing);
    QCOMPARE(startsWith, existing);

    onModalWindow([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    QCOMPARE(QtPrompts().ChooseOpenFile(ArchiveOpenFilter, existing), QString());
}

QTEST_MAIN(TestQtPrompts)
#include "tst_qt_prompts.moc"
