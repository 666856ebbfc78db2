// The names editor: when it asks before edits are lost, what reaches the driver on each way
// of closing, a rejected coefficient, its size from the table, its language, and a name table
// read from a simulated instrument, edited, written and read back.
#include "app/materials.h"
#include "common/scripted_prompts.h"
#include "models/cp1251.h"
#include "models/kadrel_an.h"
#include "models/kadrel_eg.h"
#include "models/kadrel_fx.h"
#include "models/kadrel_tl.h"
#include "sim/kadrel_simulator.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QToolBar>
#include <QtTest>

using kadrel::sim::KadrelSimulator;

namespace
{

// Generous: the instrument answers through a pseudo-terminal, slower in the sanitizer build.
constexpr int WaitMs = 30000;

// A question box closed without an answer once the script has run out.
struct ScriptedPrompts : TScriptedPrompts {
    ScriptedPrompts() { Unanswered = Closed; }
};

// A model driver that counts the tables it took over for writing.
template <class TModel> class WatchedDriver : public TModel
{
public:
    void ApplyMaterials(TStringGrid& Grid) override
    {
        TModel::ApplyMaterials(Grid);
        ++applied;
    }
    int applied = 0;
};

// A driver whose name table has as many rows as a test asks for.
class RowsDriver : public TKadrelBase
{
public:
    explicit RowsDriver(int rows) : m_rows(rows) {}
    void UpdateMaterialsGrid(TStringGrid& Grid) override
    {
        Grid.SetColCount(2);
        Grid.SetRowCount(m_rows);
        Grid.SetFixedRows(1);
        Grid.SetColWidth(0, 100);
        Grid.SetColWidth(1, 50);
    }

private:
    int m_rows;
};

// The name of entry k as the driver's own table holds it.
QString DriverName(int k)
{
    TStringGrid grid;
    ActiveDriver->UpdateMaterialsGrid(grid);
    return grid.Cell(0, k + 1);
}

QTableView* GridOf(TMatForm& form)
{
    return form.findChild<QTableView*>("MaterialsGrid");
}

void Trigger(TMatForm& form, const char* action)
{
    form.findChild<QAction*>(action)->trigger();
}

// Types into cell (col, entry k) as a user does, leaving the editor open.
void TypeInto(TMatForm& form, int col, int k, const QString& text)
{
    QTableView* view = GridOf(form);
    const QModelIndex index = view->model()->index(k, col);
    view->setCurrentIndex(index);
    view->edit(index);
    // A closed editor lingers until deleted; the open one is the newest.
    const auto editors = view->viewport()->findChildren<QLineEdit*>();
    QVERIFY(!editors.isEmpty());
    QLineEdit* editor = editors.last();
    editor->selectAll();
    // keyClicks knows ASCII only; a keyboard also sends Cyrillic letters with their text.
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

} // namespace

class TestMaterials : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { ActiveDriver.reset(); }

    void closing_data();
    void closing();
    void rejectedCoefficientKeepsTheEdits();
    void sizeAndFixedRows_data();
    void sizeAndFixedRows();
    void languageOfTexts();
    void namesWrittenReadBack_data();
    void namesWrittenReadBack();

private:
    std::shared_ptr<WatchedDriver<TKadrelAN>> m_an;
};

void TestMaterials::init()
{
    // An instrument with one material of the user's own in entry 2.
    m_an = std::make_shared<WatchedDriver<TKadrelAN>>();
    m_an->ResetMaterials();
    TMatCfg materials = m_an->MatCfg();
    const QByteArray granite = ToCp1251(QStringLiteral("Гранит"));
    std::memcpy(materials[2].Name, granite.constData(), size_t(granite.size()) + 1);
    materials[2].Ax[1] = 1.5f;
    m_an->SetMatCfg(materials);
    ActiveDriver = m_an;
}

void TestMaterials::closing_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("closeBy");
    QTest::addColumn<QList<IPrompts::TAnswer>>("answers");
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("applied");
    QTest::addColumn<QString>("entry2");

    using A = QList<IPrompts::TAnswer>;
    QTest::newRow("no key, close button") << QStringList() << "close" << A() << 0 << 0 << "Гранит";
    QTest::newRow("arrow key, close button, No")
        << QStringList{"arrow"} << "close" << A{IPrompts::No} << 1 << 0 << "Гранит";
    QTest::newRow("arrow key, question dismissed")
        << QStringList{"arrow"} << "close" << A{IPrompts::Closed} << 1 << 0 << "Гранит";
    QTest::newRow("restore, close button, Yes")
        << QStringList{"restore"} << "close" << A{IPrompts::Yes} << 1 << 1 << "Без имени-1";
    QTest::newRow("restore, Exit: the driver's copy is factory, nothing written")
        << QStringList{"restore"} << "exit" << A() << 0 << 0 << "Без имени-1";
    QTest::newRow("typed, Exit drops the edit")
        << QStringList{"type"} << "exit" << A() << 0 << 0 << "Гранит";
    QTest::newRow("typed, Write to device without a question")
        << QStringList{"type"} << "save" << A() << 0 << 1 << "Щебень";
    QTest::newRow("typed into an open cell, close button, Yes")
        << QStringList{"type"} << "close" << A{IPrompts::Yes} << 1 << 1 << "Щебень";
    QTest::newRow("typed, Esc, No")
        << QStringList{"type", "escape"} << "escape" << A{IPrompts::No} << 1 << 0 << "Гранит";
}

void TestMaterials::closing()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, closeBy);
    QFETCH(QList<IPrompts::TAnswer>, answers);
    QFETCH(int, questions);
    QFETCH(int, applied);
    QFETCH(QString, entry2);

    ScriptedPrompts prompts;
    prompts.Answers = answers;
    TMatForm form(prompts);
    form.show();
    QCOMPARE(GridOf(form)->model()->index(2, 0).data().toString(), QStringLiteral("Гранит"));
    QVERIFY(!form.IsChanged());

    for (const QString& step : steps) {
        if (step == "arrow")
            QTest::keyClick(GridOf(form), Qt::Key_Down);
        else if (step == "restore")
            Trigger(form, "ActionDefault");
        else if (step == "type")
            TypeInto(form, 0, 2, QStringLiteral("Щебень"));
        else if (step == "escape")
            QTest::keyClick(GridOf(form)->viewport()->findChild<QLineEdit*>(), Qt::Key_Escape);
    }

    if (closeBy == "close")
        form.close();
    else if (closeBy == "exit")
        Trigger(form, "ActionCancel");
    else if (closeBy == "save")
        Trigger(form, "ActionSave");
    else
        QTest::keyClick(GridOf(form), Qt::Key_Escape);

    QVERIFY(!form.isVisible());
    QCOMPARE(prompts.Questions.size(), questions);
    QCOMPARE(prompts.Errors, QStringList());
    QCOMPARE(m_an->applied, applied);
    QCOMPARE(form.ExecResult(), applied > 0);
    QCOMPARE(DriverName(2), entry2);
}

void TestMaterials::rejectedCoefficientKeepsTheEdits()
{
    ScriptedPrompts prompts;
    prompts.Answers = {IPrompts::Yes};
    TMatForm form(prompts);
    form.show();
    TypeInto(form, 0, 3, QStringLiteral("Щебень"));
    TypeInto(form, 2, 4, QStringLiteral("1,5x"));

    Trigger(form, "ActionSave");
    QVERIFY(form.isVisible());
    QCOMPARE(prompts.Errors, QStringList{"'1,5x' is not a valid floating point value"});
    QVERIFY(form.IsChanged());
    QVERIFY(!form.ExecResult());
    QCOMPARE(m_an->applied, 0);
    QCOMPARE(form.Grid().Cell(0, 4), QStringLiteral("Щебень"));
    QCOMPARE(form.Grid().Cell(2, 5), QStringLiteral("1,5x"));

    // Answering Yes on the close button meets the same cell: the form stays with the edits.
    form.close();
    QVERIFY(form.isVisible());
    QCOMPARE(prompts.Questions.size(), 1);
    QCOMPARE(prompts.Errors.size(), 2);
    QCOMPARE(form.Grid().Cell(2, 5), QStringLiteral("1,5x"));

    Trigger(form, "ActionCancel");
    QVERIFY(!form.isVisible());
    QCOMPARE(prompts.Questions.size(), 1);
    QCOMPARE(m_an->applied, 0);
    QVERIFY(!form.ExecResult());
}

void TestMaterials::sizeAndFixedRows_data()
{
    QTest::addColumn<IKadrelPtr>("driver");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("readOnlyRows");

    QTest::newRow("AN: 9 rows of 24, toolbar 36")
        << IKadrelPtr(std::make_shared<TKadrelAN>()) << QSize(128 + 3 * 70, 267) << 2;
    QTest::newRow("TL") << IKadrelPtr(std::make_shared<TKadrelTL>()) << QSize(260, 267) << 0;
    QTest::newRow("EG") << IKadrelPtr(std::make_shared<TKadrelEG>()) << QSize(260, 267) << 0;
    QTest::newRow("FX") << IKadrelPtr(std::make_shared<TKadrelFX>()) << QSize(260, 267) << 0;
    QTest::newRow("5 rows") << IKadrelPtr(std::make_shared<RowsDriver>(5))
                            << QSize(150, 5 * 24 + 36 + 15) << 0;
}

void TestMaterials::sizeAndFixedRows()
{
    QFETCH(IKadrelPtr, driver);
    QFETCH(QSize, size);
    QFETCH(int, readOnlyRows);
    ActiveDriver = driver;
    ScriptedPrompts prompts;
    QWidget owner;
    owner.setGeometry(100, 80, 900, 600);
    owner.show();
    TMatForm form(prompts, &owner);
    form.show();

    QCOMPARE(form.size(), size);
    QCOMPARE(form.frameGeometry().center(), owner.frameGeometry().center());
    QCOMPARE(form.findChild<QToolBar*>("sToolBar1")->height(), 36);
    QTableView* view = GridOf(form);
    QCOMPARE(view->horizontalHeader()->height(), 24);
    QCOMPARE(view->rowHeight(0), 24);
    QVERIFY(!view->horizontalScrollBar()->isVisible());
    QVERIFY(!view->verticalScrollBar()->isVisible());
    QVERIFY(!view->verticalHeader()->isVisible());
    for (int row = 0; row < view->model()->rowCount(); ++row)
        for (int col = 0; col < view->model()->columnCount(); ++col)
            QCOMPARE(bool(view->model()->index(row, col).flags() & Qt::ItemIsEditable),
                     row >= readOnlyRows);
}

void TestMaterials::languageOfTexts()
{
    ScriptedPrompts prompts;
    prompts.Answers = {IPrompts::No, IPrompts::No};
    TMatForm form(prompts);
    form.ApplyLanguage(1);
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("Titles"));
    QCOMPARE(form.findChild<QAction*>("ActionSave")->text(), QStringLiteral("Write to device"));
    QCOMPARE(form.findChild<QAction*>("ActionDefault")->toolTip(),
             QStringLiteral("Restore factory"));
    QCOMPARE(form.findChild<QAction*>("ActionCancel")->text(), QStringLiteral("Exit"));
    QTest::keyClick(GridOf(form), Qt::Key_Right);
    form.close();

    form.ApplyLanguage(0);
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("Названия"));
    QCOMPARE(form.findChild<QAction*>("ActionCancel")->text(), QStringLiteral("Выход"));
    QTest::keyClick(GridOf(form), Qt::Key_Right);
    form.close();

    QCOMPARE(prompts.Questions,
             (QStringList{"Write changes to device?", "Записать изменения в прибор?"}));
}

void TestMaterials::namesWrittenReadBack_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("AN name") << int(devAN) << 0 << "Щебёночный бетон М300"
                             << "Щебёночный бетон М3";
    QTest::newRow("AN coefficient") << int(devAN) << 2 << "2,5"
                                    << "2.500E+00";
    QTest::newRow("TL name") << int(devTL) << 0 << "Плитка 30×30"
                             << "Плитка 30?30";
}

void TestMaterials::namesWrittenReadBack()
{
    QFETCH(int, model);
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(QString, readBack);
    QLocale::setDefault(QLocale(col == 2 ? QLocale::Russian : QLocale::C));
    const QString expected = col == 2 ? QString(readBack).replace('.', ',') : readBack;

    KadrelSimulator sim{TKadrelType(model)};
    QVERIFY2(sim.open(), qPrintable(sim.errorString()));
    IKadrelPtr driver = model == devAN ? IKadrelPtr(std::make_shared<TKadrelAN>())
                                       : IKadrelPtr(std::make_shared<TKadrelTL>());
    QList<TOperationType> ops;
    driver->SetCallback([&ops](TOperationType op) { ops << op; });
    ActiveDriver = driver;
    QVERIFY(driver->Connect(sim.portName()));
    QTRY_VERIFY_WITH_TIMEOUT(ops.contains(otDevConnect), WaitMs);

    driver->ReadMaterials();
    QTRY_VERIFY_WITH_TIMEOUT(ops.contains(otMatRead), WaitMs);
    ScriptedPrompts prompts;
    TMatForm form(prompts);
    form.show();
    const QString before = form.Grid().Cell(col, 6);
    TypeInto(form, col, 5, typed);
    Trigger(form, "ActionSave");
    QVERIFY(!form.isVisible());
    QVERIFY(form.ExecResult());
    QTRY_VERIFY_WITH_TIMEOUT(ops.contains(otMatWrite), WaitMs);

    ops.clear();
    driver->ReadMaterials();
    QTRY_VERIFY_WITH_TIMEOUT(ops.contains(otMatRead), WaitMs);
    form.show();
    QCOMPARE(form.Grid().Cell(col, 6), expected);
    QCOMPARE(form.Grid().Cell(col, 7).isEmpty(), false);
    QVERIFY(before != expected);
    QCOMPARE(prompts.Errors, QStringList());
    form.close();
    QLocale::setDefault(QLocale::c());
}

QTEST_MAIN(TestMaterials)
#include "tst_materials.moc"
