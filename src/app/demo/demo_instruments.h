// The demonstration's instruments: one simulated instrument of each model with an archive of a
// few hundred records, attached through symbolic links in a folder of their own.
#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace kadrel::sim
{
class KadrelSimulator;
}

class TDemoInstruments
{
public:
    TDemoInstruments();
    ~TDemoInstruments();

    // Starts the instruments; false when a pseudo-terminal could not be made.
    bool Start(QString* error);
    // The paths the program attaches with --port.
    QStringList Ports() const { return m_ports; }

private:
    QTemporaryDir m_folder;
    std::vector<std::unique_ptr<kadrel::sim::KadrelSimulator>> m_instruments;
    QStringList m_ports;
};
