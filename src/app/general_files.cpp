// The main window's archive files: Open, Save, Save as and opening a file at start-up, the
// driver chosen by the file's extension and the merge question.
#include "app/dev_select_box.h"
#include "app/general.h"
#include "app/trans.h"

#include "link/kadrel_error.h"
#include "models/driver_factory.h"
#include "models/messages.h"

#include <QFileInfo>
#include <QLabel>

namespace
{

// The extension is a full stop and what follows the path's last full stop; a path without
// one is its own extension and matches nothing.
QString ExtensionOf(const QString& path)
{
    const int dot = int(path.lastIndexOf(u'.'));
    return u'.' + (dot < 0 ? path : path.mid(dot + 1));
}

} // namespace

bool TMainForm::OpenArchiveFile(const QString& path)
{
    const QString unreadable = Message(msgFileUnreadable, Config.Lang) + path;
    const QString extension = ExtensionOf(path);
    int type = 0;
    for (int t = 1; t <= 5 && type == 0; ++t) {
        if (extension == FilterExtension(ArchiveOpenFilter, t + 1))
            type = t;
    }
    if (type == 0)
        throw KadrelError(unreadable);
    // A file that cannot be read changes nothing: it is tried on a driver of its own before
    // the records on show are merged with it or replaced by it.
    const IKadrelPtr trial = CreateModelDriver(type);
    if (trial && !trial->LoadFromFile(path)) {
        m_fileName.clear();
        throw KadrelError(unreadable);
    }
    if (!m_discovery->SelectDevice(type))
        return false;
    sDevSelectBox->SetItemIndex(-1);
    // After a failed load there is no current file, so Save asks for a name; the tables show
    // what Save would write: the records of a merge, none when the file was to replace them.
    m_fileName.clear();
    if (!ActiveDriver->LoadFromFile(path)) {
        UpdateBasicGrid();
        UpdateDetailGrid(SelectionTop() - 1);
        ShowComment(SelectionTop() - 1);
        throw KadrelError(unreadable);
    }
    const TArchDupStat stat = ActiveDriver->RemoveDuplicates();
    SetStatusText(
        DuplicateSummary(msgFileOpened, stat.Duplicates, stat.Uniquie, stat.New, Config.Lang));
    UpdateBasicGrid();
    UpdateDetailGrid(SelectionTop() - 1);
    FitBasicGrid();
    FitDetailGrid();
    Config.isLoadTypeFile = true;
    ShowTables();
    ShowComment(SelectionTop() - 1);
    m_statusPanel1->setText(ActiveDriver->GetDevName());
    return true;
}

void TMainForm::ActionOpenExecute()
{
    const QString path = m_prompts->ChooseOpenFile(ArchiveOpenFilter, m_fileName);
    if (path.isEmpty())
        return;
    // A file of a model without a driver leaves the current file as it was, so that Save
    // cannot write the records on show into it.
    if (OpenArchiveFile(path))
        m_fileName = path;
}

void TMainForm::ActionSaveExecute()
{
    if (!m_fileName.isEmpty() && ActiveDriver) {
        SaveArchive(m_fileName);
        return;
    }
    if (!ActiveDriver) {
        SetStatusText(Message(msgNothingToSave, Config.Lang));
        return;
    }
    ChooseAndSave();
}

void TMainForm::ActionSaveAsExecute()
{
    if (!ActiveDriver) {
        SetStatusText(Message(msgNothingToSave, Config.Lang));
        return;
    }
    m_saveFileName.clear();
    ChooseAndSave();
}

void TMainForm::ChooseAndSave()
{
    int filterIndex = ActiveDriver->GetDevType() & 0x7F;
    const QString folder = m_firstRun ? SettingsFolder() : QString();
    QString path =
        m_prompts->ChooseSaveFile(ArchiveSaveFilter, filterIndex, m_saveFileName, folder);
    if (path.isEmpty())
        return;
    if (!path.contains(u'.'))
        path += FilterExtension(ArchiveSaveFilter, filterIndex);
    m_saveFileName = path;
    if (QFileInfo::exists(path) &&
        m_prompts->Ask(Message(msgOverwrite, Config.Lang)) != IPrompts::Yes)
        return;
    SaveArchive(path);
}

void TMainForm::SaveArchive(const QString& path)
{
    ActiveDriver->SaveToFile(path);
    m_fileName = path;
    SetStatusText(Message(msgFileSaved, Config.Lang));
}
