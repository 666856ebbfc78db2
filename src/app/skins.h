// The program's looks: Qt's styles, with Fusion in a light and a dark variant. The chosen
// name and whether skinning is on are kept in the settings.
#pragma once

#include <QStringList>

inline constexpr char DefaultSkin[] = "Fusion";

// Every skin the program offers, the default first.
QStringList SkinNames();

// Re-skins every window at once; with `enabled` false, or an unknown name, the platform's own
// style returns.
void ApplySkin(const QString& name, bool enabled);
