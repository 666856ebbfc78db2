// The settings file: any content is read without harm, and every value read is written back
// and read again unchanged, whatever else the file holds.
//
// Input: the file.
#include "fuzz_support.h"

#include "app/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace
{

QString DocumentsFolder()
{
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/kadrel-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kadrel-fuzz-XXXXXX"));
    return dir.path();
}

bool SameValues(const TSettings& a, const TSettings& b)
{
    return a.Placement == b.Placement && a.VertSplitter == b.VertSplitter &&
           a.HorizSplitter == b.HorizSplitter && a.SkinEnable == b.SkinEnable &&
           a.Language == b.Language && a.Dimension == b.Dimension && a.AutoClock == b.AutoClock &&
           a.PrintComments == b.PrintComments;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnsureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TSettingsStore store(DocumentsFolder());
    QDir().mkpath(store.GetConfigFolder());
    {
        QFile file(store.GetConfigFileName());
        fuzz::Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "settings written");
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    TSettings first;
    fuzz::Require(store.LoadConfig(first), "an existing file is read");
    QRect normal;
    Qt::WindowStates state;
    if (ReadPlacement(first.Placement, normal, state))
        fuzz::Require(normal.width() > 0 && normal.height() > 0, "a usable placement has a size");

    store.SaveConfig(first);
    TSettings second;
    fuzz::Require(store.LoadConfig(second), "the rewritten file is read");
    fuzz::Require(SameValues(first, second), "values read are written back unchanged");
    return 0;
}
