// A quiet copy of every archive read from an instrument, kept beside the settings in a folder
// per instrument, so that records deleted on the instrument (Delete results asks nothing)
// can still be opened later.
#pragma once

#include "link/kadrel_driver.h"

#include <QDateTime>
#include <QString>
#include <functional>

class TArchiveBackup
{
public:
    // Copies kept per instrument; older ones are deleted.
    static constexpr int KeptPerInstrument = 50;

    using TClock = std::function<QDateTime()>;

    // Backups go under `configFolder` + "/Backup"; `clock` names the files.
    explicit TArchiveBackup(const QString& configFolder,
                            TClock clock = &QDateTime::currentDateTime);

    // The instrument's folder: model code and serial number, such as "Backup/AN-A005".
    QString InstrumentFolder(IKadrel& driver) const;

    // Saves the driver's records as "<date>_<time>" + the model's extension in the
    // instrument's folder and deletes the oldest copies beyond KeptPerInstrument. A read
    // that brought nothing new since the newest copy adds no copy. Returns the file that
    // holds the records (empty when the driver holds none); throws KadrelError with the
    // reason when nothing could be saved.
    QString Save(IKadrel& driver) const;

private:
    QString m_backupFolder;
    TClock m_clock;
};

// For the window: backs up the archive just read and returns nothing, or the note the
// status bar adds after the read summary, in language `lang` (0 Russian, 1 English).
QString BackupCompletedRead(IKadrel& driver, const QString& configFolder, int lang);
