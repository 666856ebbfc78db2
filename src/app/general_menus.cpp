// The main window's commands: actions with their captions, hints, icons and shortcuts, the
// main menu, the toolbar and the tables' pop-up menus.
#include "app/dev_select_box.h"
#include "app/general.h"
#include "app/icons.h"

#include <QActionGroup>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTableView>
#include <QToolBar>

namespace
{

constexpr int ToolButtonHeight = 32;

} // namespace

QAction* TMainForm::MakeAction(const char* name, const QString& caption,
                               const QKeySequence& shortcut)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setToolTip(caption);
    action->setShortcut(shortcut);
    return action;
}

void TMainForm::CreateActions()
{
    const auto bind = [this](QAction* action, void (TMainForm::*command)()) {
        connect(action, &QAction::triggered, this,
                [this, command] { Guarded([this, command] { (this->*command)(); }); });
    };

    ActionOpen = MakeAction("ActionOpen", "Открыть", QKeySequence("Ctrl+O"));
    ActionOpen->setIcon(KadrelIcon(TIconId::Open));
    bind(ActionOpen, &TMainForm::ActionOpenExecute);
    ActionSave = MakeAction("ActionSave", "Сохранить", QKeySequence("Ctrl+S"));
    ActionSave->setIcon(KadrelIcon(TIconId::Save));
    bind(ActionSave, &TMainForm::ActionSaveExecute);
    ActionSaveAs = MakeAction("ActionSaveAs", "Сохранить как...");
    bind(ActionSaveAs, &TMainForm::ActionSaveAsExecute);
    ActionPrint = MakeAction("ActionPrint", "Печать...", QKeySequence("Ctrl+P"));
    ActionPrint->setToolTip("Напечатать отчёт");
    ActionPrint->setIcon(KadrelIcon(TIconId::Print));
    bind(ActionPrint, &TMainForm::ActionPrintExecute);
    ActionClose = MakeAction("ActionClose", "Закрыть");
    ActionClose->setIcon(KadrelIcon(TIconId::Close));
    bind(ActionClose, &TMainForm::ActionCloseExecute);
    ActionExit = MakeAction("ActionExit", "Выход", QKeySequence("Alt+F4"));
    connect(ActionExit, &QAction::triggered, this, &QWidget::close);

    ActionRead = MakeAction("ActionRead", "Чтение из прибора");
    ActionRead->setIcon(KadrelIcon(TIconId::Read));
    bind(ActionRead, &TMainForm::ActionReadExecute);
    ActionNames = MakeAction("ActionNames", "Редактирование названий");
    ActionNames->setIcon(KadrelIcon(TIconId::Names));
    bind(ActionNames, &TMainForm::ActionNamesExecute);
    ActionClock = MakeAction("ActionClock", "Синхронизация времени");
    ActionClock->setIcon(KadrelIcon(TIconId::Clock));
    bind(ActionClock, &TMainForm::ActionClockExecute);

    ActionCopyTable = MakeAction("ActionCopyTable", "Копировать таблицу");
    bind(ActionCopyTable, &TMainForm::ActionCopyTableExecute);
    // Ctrl+C copies the selected records anywhere in the window, the comment pane included.
    ActionCopySelected =
        MakeAction("ActionCopySelected", "Копировать выделенное", QKeySequence("Ctrl+C"));
    ActionCopySelected->setShortcutContext(Qt::WindowShortcut);
    bind(ActionCopySelected, &TMainForm::ActionCopySelectedExecute);
    ActionSelectedReport = MakeAction("ActionSelectedReport", "Отчет по выделенному");
    ActionSelectedReport->setToolTip(QString());
    bind(ActionSelectedReport, &TMainForm::ActionSelectedReportExecute);
    ActionDeleteResults = MakeAction("ActionDeleteResults", "Удалить результаты");
    bind(ActionDeleteResults, &TMainForm::ActionDeleteResultsExecute);
    ActionCopyDetails = MakeAction("ActionCopyDetails", "Копировать таблицу");
    bind(ActionCopyDetails, &TMainForm::ActionCopyDetailsExecute);

    ActionAppearance = MakeAction("ActionAppearance", "Внешний вид...");
    bind(ActionAppearance, &TMainForm::ActionAppearanceExecute);
    ActionHelp = MakeAction("ActionHelp", "Вызов справки", QKeySequence("F1"));
    bind(ActionHelp, &TMainForm::ActionHelpExecute);
    ActionAbout = MakeAction("ActionAbout", "О программе");
    bind(ActionAbout, &TMainForm::ActionAboutExecute);

    smDimMPa = MakeAction("smDimMPa", "MPa");
    smDimKgs = MakeAction("smDimKgs", "кгс/см2");
    auto* units = new QActionGroup(this);
    for (QAction* item : {smDimMPa, smDimKgs}) {
        item->setCheckable(true);
        units->addAction(item);
        connect(item, &QAction::triggered, this,
                [this] { Guarded([this] { DimensionChange(); }); });
    }
    smDimMPa->setChecked(true);

    smLangRu = MakeAction("smLangRu", "Русский");
    smLangEn = MakeAction("smLangEn", "English");
    auto* languages = new QActionGroup(this);
    for (QAction* item : {smLangRu, smLangEn}) {
        item->setCheckable(true);
        languages->addAction(item);
        connect(item, &QAction::triggered, this, [this] { Guarded([this] { LanguageChange(); }); });
    }
    smLangRu->setChecked(true);

    smClockAuto = MakeAction("smClockAuto", "Автоустановка часов");
    smClockAuto->setCheckable(true);
    smClockAuto->setChecked(true);
    smPrintComments = MakeAction("smPrintComments", "Печатать комментарии");
    smPrintComments->setCheckable(true);

    addAction(ActionCopySelected);
}

void TMainForm::CreateMenus()
{
    QMenu* file = menuBar()->addMenu("Файл");
    file->setObjectName("mmFile");
    file->addActions({ActionOpen, ActionSave, ActionSaveAs, ActionPrint});
    file->addSeparator();
    file->addActions({ActionClose, ActionExit});

    QMenu* device = menuBar()->addMenu("Прибор");
    device->setObjectName("mmDevice");
    device->addActions({ActionRead, ActionNames, ActionClock});

    QMenu* parameters = menuBar()->addMenu("Параметры");
    parameters->setObjectName("mmParameters");
    QMenu* units = parameters->addMenu("Единицы измерения прочности");
    units->setObjectName("mmUnits");
    units->addActions({smDimMPa, smDimKgs});
    m_languageMenu = parameters->addMenu("Язык(Language)");
    m_languageMenu->setObjectName("mmLanguage");
    m_languageMenu->setIcon(KadrelIcon(TIconId::FlagRussian));
    m_languageMenu->addActions({smLangRu, smLangEn});
    parameters->addActions({smClockAuto, smPrintComments, ActionAppearance});

    QMenu* help = menuBar()->addMenu("Справка");
    help->setObjectName("mmHelp");
    help->addActions({ActionHelp, ActionAbout});

    auto* toolBar = addToolBar("MainToolBar");
    toolBar->setObjectName("MainToolBar");
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar->setIconSize(QSize(ToolButtonHeight - 8, ToolButtonHeight - 8));
    toolBar->addActions({ActionOpen, ActionSave, ActionPrint, ActionClose});
    toolBar->addWidget(sDevSelectBox);
    toolBar->addActions({ActionRead, ActionNames, ActionClock});
    toolBar->toggleViewAction()->setVisible(false);
    toolBar->setContextMenuPolicy(Qt::PreventContextMenu);

    BasicGrid->addActions(
        {ActionCopyTable, ActionCopySelected, ActionSelectedReport, ActionDeleteResults});
    DetailGrid->addAction(ActionCopyDetails);
}
