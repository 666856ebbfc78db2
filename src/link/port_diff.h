// Which port came or went between the ports listed and the ports now present.
#pragma once

#include <QString>
#include <QStringList>

struct TPortDiff {
    int Change = 0; // -1 a known port went, +1 a new port came, 0 nothing to do
    QString Port;   // the port that came or went
};

// Compares the listed ports with the present ones. Equal counts mean no change, whatever the
// names. Otherwise both lists are sorted as case-insensitive text (COM10 before COM3) and the
// first name at which they part is the port that came or went; one port per call.
TPortDiff DiffPorts(QStringList known, QStringList present);
