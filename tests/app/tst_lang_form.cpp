// The first-run language dialog: nothing chosen at first, every way of leaving it and the
// language each gives.
#include "app/lang_form.h"
#include "common/modal_window.h"

#include <QApplication>
#include <QRadioButton>
#include <QtTest>

class TestLangForm : public QObject
{
    Q_OBJECT

private slots:
    void choose_data();
    void choose();
};

void TestLangForm::choose_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("language");

    QTest::newRow("close button") << "close" << 0;
    QTest::newRow("escape") << "escape" << 0;
    QTest::newRow("click English") << "english" << 1;
    QTest::newRow("click Russian") << "russian" << 0;
    QTest::newRow("choose English") << "choose 1" << 1;
}

void TestLangForm::choose()
{
    QFETCH(QString, action);
    QFETCH(int, language);
    QString title;
    bool nothingChosenAtFirst = false;
    onModalWindow([&](QWidget* modal) {
        auto* form = qobject_cast<TLanguageForm*>(modal);
        QVERIFY(form);
        title = form->windowTitle();
        nothingChosenAtFirst =
            !form->RussianButton()->isChecked() && !form->EnglishButton()->isChecked();
        if (action == "close")
            form->close();
        else if (action == "escape")
            QTest::keyClick(form, Qt::Key_Escape);
        else if (action == "english")
            QTest::mouseClick(form->EnglishButton(), Qt::LeftButton);
        else if (action == "russian")
            QTest::mouseClick(form->RussianButton(), Qt::LeftButton);
        else
            form->choose(1);
    });
    QCOMPARE(TLanguageForm::Choose(), language);
    QCOMPARE(title, "Язык/Language");
    QVERIFY(nothingChosenAtFirst);
}

QTEST_MAIN(TestLangForm)
#include "tst_lang_form.moc"
