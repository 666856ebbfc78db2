// The program's icons, drawn in code so that they look the same on every desktop.
#pragma once

#include <QIcon>

enum class TIconId {
    Open,
    Save,
    Print,
    Close,
    Read,
    Names,
    Clock,
    FlagRussian,
    FlagEnglish,
    Program,
};

QIcon KadrelIcon(TIconId id);
