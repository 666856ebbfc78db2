// The main window's commands that open other windows: reports, the names editor, help, the
// About box and the appearance.
#include "app/about.h"
#include "app/appearance_dialog.h"
#include "app/general.h"
#include "app/help.h"
#include "app/icons.h"
#include "app/materials.h"
#include "app/report_commands.h"
#include "app/skins.h"
#include "app/trans.h"

#include <QAction>
#include <QMenu>

TReportSource TMainForm::ReportSource()
{
    return {ActiveDriver.get(), &m_basic, Config.Lang, smPrintComments->isChecked()};
}

void TMainForm::ActionPrintExecute()
{
    const TReportRange range = PrintReportRange(SelectionTop(), SelectionBottom(),
                                                m_basic.RowCount(), *m_prompts, Config.Lang);
    ShowRangeReport(
        ReportSource(), range, [this](const QString& text) { SetStatusText(text); }, *m_prompts,
        this);
}

void TMainForm::ActionSelectedReportExecute()
{
    ShowRangeReport(
        ReportSource(), SelectedReportRange(SelectionTop(), SelectionBottom()),
        [this](const QString& text) { SetStatusText(text); }, *m_prompts, this);
}

void TMainForm::ShowMaterials()
{
    m_matForm->ApplyLanguage(Config.Lang);
    m_matForm->Execute();
}

void TMainForm::ActionHelpExecute()
{
    ShowHelp(Config.Lang);
}

void TMainForm::ActionAboutExecute()
{
    m_aboutBox->ApplyLanguage(Config.Lang);
    m_aboutBox->exec();
}

void TMainForm::ActionAppearanceExecute()
{
    TAppearanceDialog dialog(m_skin, m_skinEnable, Config.Lang, this);
    connect(&dialog, &TAppearanceDialog::skinChosen, this, [this](const QString& skin, bool on) {
        m_skin = skin;
        m_skinEnable = on;
        ApplySkin(m_skin, m_skinEnable);
        FitStatusBar();
    });
    dialog.exec();
}

void TMainForm::ApplyLanguage(int value)
{
    if (value == m_curLang)
        return;
    TranslateForm(this, value == 1 ? "EN" : "RU");
    m_curLang = value;
    m_languageMenu->setIcon(KadrelIcon(value == 1 ? TIconId::FlagEnglish : TIconId::FlagRussian));
}

void TMainForm::ApplyDialogsLanguage(int value)
{
    m_matForm->ApplyLanguage(value);
    m_aboutBox->ApplyLanguage(value);
    ApplyQtLanguage(value);
}
