// Figures of whole programs in processes of their own: the program's start-up and its
// processor use while idle with instruments attached, and the window's resident memory.
#pragma once

#include <QString>

namespace kadrel::bench
{

struct TProgramFigures {
    bool Ok = false;
    QString Failure;
    // From starting the program to its first question to an attached instrument, which it
    // asks right after its window has shown.
    double StartupSeconds = 0;
    // Processor time over wall time while idle, in per cent of one core.
    double IdleCpuPercent = 0;
};

// Starts kadrel_connect with two simulated instruments attached through --port links, waits
// until it has identified them and read the first one, then measures it idle for
// `idleSeconds`.
TProgramFigures RunProgramIdle(const QString& scratchFolder, double idleSeconds);

struct TMemoryFigures {
    bool Ok = false;
    qint64 PeakKb = 0;
    qint64 ResidentKb = 0;
    int Rows = 0;
};

// Runs the window in a process of its own with `archive` open (none when empty).
TMemoryFigures MeasureWindowMemory(const QString& archive);

} // namespace kadrel::bench
