// What every benchmark shares: the machine's description, archive files of generated records,
// the process's memory and processor figures, and the figures of repeated runs.
#pragma once

#include "link/kadrel_types.h"

#include <QString>
#include <vector>

namespace kadrel::bench
{

// The four models with a driver, in the order the tables list them.
const std::vector<TKadrelType>& BenchModels();
QString ModelCode(TKadrelType model);

// "CPU model, N cores, M GiB memory, Qt x.y.z".
QString MachineDescription();
// The system's load averages over 1, 5 and 15 minutes, as /proc/loadavg gives them.
QString LoadAverages();

// The machine's processor time so far, all of it and the part the host of a virtual machine
// gave to others (steal), in clock ticks.
struct TMachineTicks {
    qint64 Total = 0;
    qint64 Stolen = 0;
};
TMachineTicks MachineTicks();

// Writes an archive file of `count` generated records of `model`, as an instrument holding
// them would be saved; every `commentEvery`-th record carries a comment (0: none).
void WriteBenchArchive(TKadrelType model, int count, const QString& path, int commentEvery = 0);

// A field of /proc/<pid>/status in kilobytes ("VmHWM", "VmRSS"); -1 when absent.
qint64 ProcStatusKb(const QString& key, qint64 pid = 0);
// User and system processor time of a process, in seconds.
double ProcCpuSeconds(qint64 pid);

// The figures of one measure over several runs.
class TRuns
{
public:
    void Add(double value) { m_values.push_back(value); }
    bool IsEmpty() const { return m_values.empty(); }
    double Min() const;
    double Max() const;

private:
    std::vector<double> m_values;
};

} // namespace kadrel::bench
