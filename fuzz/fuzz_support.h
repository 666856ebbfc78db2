// What the fuzz targets share: the Qt application object the drivers' ports need, the model
// drivers with their receive handler and record list within reach, and the use the windows
// make of a driver's tables.
#pragma once

#include "link/kadrel_base.h"
#include "link/kadrel_error.h"
#include "models/archive_file.h"
#include "models/kadrel_an.h"
#include "models/kadrel_eg.h"
#include "models/kadrel_fx.h"
#include "models/kadrel_tl.h"
#include "models/string_grid.h"

#include <QCoreApplication>
#include <QLocale>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

namespace fuzz
{

// Stops the run with a report when a property does not hold.
inline void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// The application object, made once; the serial port layer posts its error events to it.
inline void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

// Delivers the events the drivers posted (port errors) and deletes released ports.
inline void DrainEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A driver whose receive handler and archive loading the fuzz targets reach directly.
template <class TDriver> class TExposed : public TDriver
{
public:
    using TDriver::ComPortRxBuf;

    // LoadFromFile on a file's content: the records appended, the counters set.
    bool LoadBytes(const QByteArray& bytes)
    {
        const int recordSize = this->RecordSize();
        if (recordSize == 0)
            return false;
        const uint16_t before = uint16_t(this->fArchive.size());
        TKadrelInfo info{};
        if (!ReadArchiveFile(
                bytes, recordSize, [this] { return this->NewEntry(); }, info, this->fArchive))
            return false;
        this->fDevInfo = info;
        this->fArchTotal = uint16_t(this->fArchive.size());
        this->fArchLastReaded = uint16_t(this->fArchTotal - before);
        return true;
    }
};

// One driver with its receive handler and its loading from memory.
struct TFuzzDriver {
    std::shared_ptr<TKadrelBase> Driver;
    std::function<void(const QByteArray&)> Receive;
    std::function<bool(const QByteArray&)> LoadBytes;
};

template <class TDriver> TFuzzDriver Make()
{
    const auto driver = std::make_shared<TExposed<TDriver>>();
    TExposed<TDriver>* exposed = driver.get();
    return {driver, [exposed](const QByteArray& block) { exposed->ComPortRxBuf(block); },
            [exposed](const QByteArray& bytes) {
                return exposed->LoadBytes(bytes);
            }};
}

// The driver of model `choice` % 5: the four model drivers, or the bare driver discovery uses
// to identify a port.
inline TFuzzDriver MakeDriver(uint8_t choice)
{
    switch (choice % 5) {
    case 0:
        return Make<TKadrelAN>();
    case 1:
        return Make<TKadrelTL>();
    case 2:
        return Make<TKadrelEG>();
    case 3:
        return Make<TKadrelFX>();
    default:
        return Make<TKadrelBase>();
    }
}

// Everything the windows build from a driver's records and names: the record table, the
// probe table of every record (and of indexes beyond both ends), the names table and its
// application back, in both languages and both units.
inline void ShowTables(IKadrel& driver)
{
    const int records = int(driver.GetArchReceived()) + 2;
    for (const TLang lang : {ruRU, enUS}) {
        for (const TDimensionType dimension : {dtMPa, dtkgs}) {
            driver.SetLang(lang);
            driver.SetDimension(dimension);
            TStringGrid basic;
            TStringGrid detail;
            driver.UpdateBasicGrid(basic);
            for (int i = -1; i <= std::min(basic.RowCount(), records); ++i)
                driver.UpdateDetailGrid(detail, i);
            for (int i = 0; i <= basic.RowCount(); ++i)
                driver.GetComment(i);
        }
    }
    TStringGrid names;
    driver.UpdateMaterialsGrid(names);
    try {
        // The grid as shown is what the names editor writes back when nothing was edited.
        driver.ApplyMaterials(names);
    } catch (const KadrelError&) {
        // A number the tables cannot read back (NAN, INF) is refused with a message.
    }
    driver.ResetMaterials();
}

} // namespace fuzz
