// The main window's settings: read once before the window shows, written once when it
// closes, with the language asked for on the first run.
#include "app/general.h"
#include "app/settings_store.h"
#include "app/skins.h"
#include "app/trans.h"

#include "models/messages.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableView>

namespace
{

// Splitter positions from a hand-edited file stay within what a window can show.
int SaneSize(int value, int fallback)
{
    return value >= 40 && value <= 2000 ? value : fallback;
}

} // namespace

TSettingsStore TMainForm::SettingsStore() const
{
    return m_documentsFolder.isEmpty() ? TSettingsStore() : TSettingsStore(m_documentsFolder);
}

QString TMainForm::SettingsFolder() const
{
    return SettingsStore().GetConfigFolder();
}

void TMainForm::LoadSettings()
{
    TSettings settings;
    settings.Placement = WindowPlacement(this);
    if (SettingsStore().LoadConfig(settings)) {
        ApplyPlacement(this, settings.Placement);
        m_detailWidth = SaneSize(settings.VertSplitter.value_or(m_detailWidth), m_detailWidth);
        m_commentHeight =
            SaneSize(settings.HorizSplitter.value_or(m_commentHeight), m_commentHeight);
        m_skin = settings.Skin.value_or(m_skin);
        m_skinEnable = settings.SkinEnable.value_or(m_skinEnable);
        Config.Lang = settings.Language == 1 ? 1 : 0;
        Config.Dimension = settings.Dimension != 0 ? 1 : 0;
        smClockAuto->setChecked(settings.AutoClock);
        smPrintComments->setChecked(settings.PrintComments);
    } else {
        m_firstRun = true;
        Config.Lang = m_chooseLanguage() == 1 ? 1 : 0;
        Config.Dimension = 0;
    }
    (Config.Dimension == 0 ? smDimMPa : smDimKgs)->setChecked(true);
    (Config.Lang == 0 ? smLangRu : smLangEn)->setChecked(true);
    ApplySkin(m_skin, m_skinEnable);
    ApplyLanguage(Config.Lang);
    ApplyQtLanguage(Config.Lang);
    SetStatusText(Message(msgReady, Config.Lang));
    m_statusPanel1->setText(Message(msgNotConnected, Config.Lang));
    Config.isLoadTypeFile = false;
    ShowLoading();
}

void TMainForm::SaveSettings()
{
    TSettings settings;
    settings.Placement = WindowPlacement(this);
    settings.VertSplitter = m_detailWidth;
    settings.HorizSplitter = m_commentHeight;
    settings.Skin = m_skin;
    settings.SkinEnable = m_skinEnable;
    settings.Language = Config.Lang;
    settings.Dimension = Config.Dimension;
    settings.AutoClock = smClockAuto->isChecked();
    settings.PrintComments = smPrintComments->isChecked();
    SettingsStore().SaveConfig(settings);
}

void TMainForm::RestoreSplitters()
{
    const int width = DetailSplitter->width();
    DetailSplitter->setSizes({std::max(width - m_detailWidth, 1), m_detailWidth});
    const int height = CommentSplitter->height();
    CommentSplitter->setSizes({std::max(height - m_commentHeight, 1), m_commentHeight});
}
