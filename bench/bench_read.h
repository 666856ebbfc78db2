// Reading an instrument's archive from the simulator over a pseudo-terminal, the simulator on a
// thread of its own as an instrument is a device of its own.
#pragma once

#include "link/kadrel_types.h"

namespace kadrel::bench
{

struct TReadFigures {
    bool Ok = false;
    double Seconds = 0;
    int Records = 0;
    // The time the request and reply bytes of the read need on the 115200-baud wire.
    double WireSeconds = 0;
    // Processor time of the program's thread during the read (the simulator has its own).
    double ProgramCpuSeconds = 0;
};

// Reads an archive of `records` generated records of `model`, 10 records a page, from
// identification to the end of the read; `wirePaced` makes the simulator keep the wire's pace.
TReadFigures ReadArchiveFromSimulator(TKadrelType model, int records, bool wirePaced);

} // namespace kadrel::bench
