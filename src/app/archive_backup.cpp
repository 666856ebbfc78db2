#include "app/archive_backup.h"

#include "link/kadrel_base.h"
#include "link/kadrel_error.h"
#include "models/model_table.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <vector>

namespace
{

// "2026-12-11_14-03-27.kadrel1an", with "_2", "_3" … for further reads in the same second.
const QRegularExpression BackupName(
    QStringLiteral(R"(^(\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d)(?:_(\d+))?\.kadrel1(?:an|tl|fx|eg)$)"));

struct TCopy {
    QString Name;
    QString Stamp;
    int Number;

    bool operator<(const TCopy& other) const
    {
        return Stamp != other.Stamp ? Stamp < other.Stamp : Number < other.Number;
    }
};

// The backups in `folder`, oldest first; files of other names are none of ours.
std::vector<TCopy> CopiesIn(const QDir& folder)
{
    std::vector<TCopy> copies;
    for (const QString& name : folder.entryList(QDir::Files)) {
        const QRegularExpressionMatch match = BackupName.match(name);
        if (match.hasMatch())
            copies.push_back({name, match.captured(1), match.captured(2).toInt()});
    }
    std::sort(copies.begin(), copies.end());
    return copies;
}

QByteArray Content(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

TArchiveBackup::TArchiveBackup(const QString& configFolder, TClock clock)
    : m_backupFolder(configFolder + QStringLiteral("/Backup")), m_clock(std::move(clock))
{
}

QString TArchiveBackup::InstrumentFolder(IKadrel& driver) const
{
    const TModelInfo* model = ModelInfo(driver.GetDevType());
    const QString code = model ? QString::fromLatin1(model->Code)
                               : QStringLiteral("type%1").arg(driver.GetDevType());
    const auto* base = dynamic_cast<const TKadrelBase*>(&driver);
    const uint16_t serial = base ? base->DevInfo().SerialNumber : 0;
    // A letter beyond the table is written by its number: "?" cannot stand in a folder name.
    const QString serialText = SerialNumberText(serial, QString::number(serial >> 11) + u'-');
    return m_backupFolder + u'/' + code + u'-' + serialText;
}

QString TArchiveBackup::Save(IKadrel& driver) const
{
    const auto* base = dynamic_cast<const TKadrelBase*>(&driver);
    if (!base || base->Archive().empty())
        return QString();
    const TModelInfo* model = ModelInfo(driver.GetDevType());
    if (!model || model->RecordSize == 0)
        throw KadrelError(
            QStringLiteral("no file type for device type %1").arg(driver.GetDevType()));

    const QDir folder(InstrumentFolder(driver));
    if (!QDir().mkpath(folder.path()))
        throw KadrelError(QStringLiteral("cannot create the folder %1").arg(Native(folder.path())));
    const std::vector<TCopy> earlier = CopiesIn(folder);

    const QString stamp = m_clock().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    const QString extension = QString::fromLatin1(model->Extension);
    QString name = stamp + extension;
    for (int n = 2; folder.exists(name); ++n)
        name = stamp + u'_' + QString::number(n) + extension;
    const QString path = folder.filePath(name);
    driver.SaveToFile(path);

    // Reading the same archive again keeps one copy of it, so repeated reads do not push
    // older, different copies out.
    if (!earlier.empty()) {
        const QString newest = folder.filePath(earlier.back().Name);
        if (Content(newest) == Content(path)) {
            QFile::remove(path);
            return newest;
        }
    }
    // The copy just written stays whatever the clock said; the oldest others make room.
    const int excess = int(earlier.size()) + 1 - KeptPerInstrument;
    for (int i = 0; i < excess; ++i)
        QFile::remove(folder.filePath(earlier[size_t(i)].Name));
    return path;
}

QString BackupCompletedRead(IKadrel& driver, const QString& configFolder, int lang)
{
    try {
        TArchiveBackup(configFolder).Save(driver);
        return QString();
    } catch (const KadrelError& error) {
        return (lang == 0 ? QStringLiteral("Резервная копия не сохранена: ")
                          : QStringLiteral("Backup not saved: ")) +
               error.message();
    }
}
