// Shared by the reliability tests: the window rig with English texts and reads that start at
// once, the backups it keeps, and the records a driver holds as the instrument sent them.
#pragma once

#include "common/window_rig.h"
#include "models/model_table.h"

#include <QByteArray>
#include <QStringList>

using kadrel::sim::SimFaults;

inline const TKadrelBase& Base(const IKadrelPtr& driver)
{
    return dynamic_cast<const TKadrelBase&>(*driver);
}

inline int RecordSizeOf(const IKadrelPtr& driver)
{
    const TModelInfo* model = ModelInfo(driver->GetDevType());
    return model ? model->RecordSize : 0;
}

// The records a driver holds, back to back as transferred, in list order.
inline QByteArray HeldRecords(const IKadrelPtr& driver, int recordSize)
{
    QByteArray bytes;
    for (const auto& entry : Base(driver).Archive())
        bytes.append(reinterpret_cast<const char*>(entry->Raw()), recordSize);
    return bytes;
}

inline int HeldCount(const IKadrelPtr& driver)
{
    return driver ? int(Base(driver).Archive().size()) : 0;
}

class TRig : public TWindowRig
{
public:
    TRig()
    {
        // English texts, and reads that start as soon as an instrument has answered.
        writeSettings("[Settings]\r\nLanguage=1\r\nAutoClock=0\r\n");
        ChosenLanguage = 1;
    }

    // The backups of one instrument, oldest first.
    QStringList backups(const QString& instrumentFolder) const
    {
        return QDir(configFolder() + "/Backup/" + instrumentFolder)
            .entryList(QDir::Files, QDir::Name);
    }
    QString backupPath(const QString& instrumentFolder, const QString& name) const
    {
        return configFolder() + "/Backup/" + instrumentFolder + "/" + name;
    }
};

// Serial letter A and the number.
inline uint16_t SerialA(int number)
{
    return uint16_t((1 << 11) | number);
}
