#include "demo/demo_instruments.h"

#include "sim/kadrel_simulator.h"

namespace
{

struct TDemoInstrument {
    TKadrelType Model;
    const char* Serial;
    int Records;
    const char* Link;
};

const TDemoInstrument Instruments[] = {
    {devAN, "A005", 320, "kadrel-an"},
    {devTL, "B012", 240, "kadrel-tl"},
    {devEG, "C101", 210, "kadrel-eg"},
    {devFX, "D033", 180, "kadrel-fx"},
};

} // namespace

TDemoInstruments::TDemoInstruments() = default;
TDemoInstruments::~TDemoInstruments() = default;

bool TDemoInstruments::Start(QString* error)
{
    if (!m_folder.isValid()) {
        *error = m_folder.errorString();
        return false;
    }
    quint32 seed = 1;
    for (const TDemoInstrument& demo : Instruments) {
        auto instrument = std::make_unique<kadrel::sim::KadrelSimulator>(demo.Model);
        if (!instrument->open()) {
            *error = instrument->errorString();
            return false;
        }
        instrument->setSerialNumber(*kadrel::sim::KadrelSimulator::parseSerialNumber(demo.Serial));
        instrument->generateArchive(demo.Records, seed++);
        const QString link = m_folder.filePath(demo.Link);
        if (!instrument->setLinkPath(link)) {
            *error = QStringLiteral("cannot create %1").arg(link);
            return false;
        }
        m_ports << link;
        m_instruments.push_back(std::move(instrument));
    }
    return true;
}
