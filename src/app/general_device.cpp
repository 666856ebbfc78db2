// The main window's instrument side: completion events of the driver and the commands that
// talk to the instrument.
#include "app/archive_backup.h"
#include "app/dev_select_box.h"
#include "app/general.h"

#include "link/kadrel_base.h"
#include "models/messages.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QSplitter>

void TMainForm::OperationCompleted(TOperationType op)
{
    if (!ActiveDriver)
        return;
    switch (op) {
    case otDevConnect:
        m_statusPanel1->setText(ActiveDriver->GetDevName());
        if (smClockAuto->isChecked()) {
            ActiveDriver->SynchronyzeClock();
            isReadAfterClockWrite = true;
        } else {
            ActionReadExecute();
        }
        break;
    case otArchReadContinue:
        ProgressBarLoad->setMaximum(ActiveDriver->GetArchExpected());
        ProgressBarLoad->setValue(ActiveDriver->GetArchReceived());
        break;
    case otArchReadComplete:
        ShowReadSummary();
        break;
    case otMatRead:
        SetStatusText(Message(msgTitlesReaded, Config.Lang));
        ShowMaterials();
        break;
    case otMatWrite:
        SetStatusText(Message(msgTitlesWrited, Config.Lang));
        break;
    case otClockWrite:
        SetStatusText(Message(msgClockSynced, Config.Lang));
        if (isReadAfterClockWrite)
            ActionReadExecute();
        isReadAfterClockWrite = false;
        break;
    case otResultDelete:
        SetStatusText(Message(msgResultsRemoved, Config.Lang));
        break;
    case otDevDisconnected: {
        // An instrument lost in the middle of a read leaves the records that came on show,
        // to be saved; otherwise the window stays as it is.
        const auto* driver = dynamic_cast<const TKadrelBase*>(ActiveDriver.get());
        if (DetailSplitter->isHidden() && driver && !driver->Archive().empty())
            ShowReadRecords();
        break;
    }
    }
}

void TMainForm::ShowReadRecords()
{
    ShowTables();
    UpdateBasicGrid();
    UpdateDetailGrid(0);
    ShowComment(0);
    FitBasicGrid();
    FitDetailGrid();
}

void TMainForm::ShowReadSummary()
{
    const TArchDupStat stat = ActiveDriver->RemoveDuplicates();
    const QString backupNote = BackupCompletedRead(*ActiveDriver, SettingsFolder(), Config.Lang);
    SetStatusText(
        DuplicateSummary(msgArchiveReaded, stat.Duplicates, stat.Uniquie, stat.New, Config.Lang) +
        u' ' + backupNote);
    ShowReadRecords();
    emit archiveShown();
}

bool TMainForm::DeviceReady()
{
    if (sDevSelectBox->ItemIndex() < 0 || !ActiveDriver) {
        SetStatusText(Message(msgDeviceNotSelected, Config.Lang));
        return false;
    }
    return true;
}

void TMainForm::ActionReadExecute()
{
    if (!DeviceReady())
        return;
    ShowLoading();
    SetStatusText(Message(msgArchiveReading, Config.Lang));
    ActiveDriver->ReadArchive();
}

void TMainForm::ActionClockExecute()
{
    if (DeviceReady())
        ActiveDriver->SynchronyzeClock();
}

void TMainForm::ActionNamesExecute()
{
    if (DeviceReady())
        ActiveDriver->ReadMaterials();
}

void TMainForm::ActionDeleteResultsExecute()
{
    if (!ActiveDriver)
        return;
    const int start = SelectionTop() - 1;
    const int count = SelectionBottom() - SelectionTop() + 1;
    ActiveDriver->RemoveResults(start, count, !Config.isLoadTypeFile);
    UpdateBasicGrid();
    UpdateDetailGrid(start);
    ShowComment(start);
    FitBasicGrid();
}
