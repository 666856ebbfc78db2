// The per-user settings file: what the main window keeps between runs, where the file lives,
// and the window placement record stored in it.
#pragma once

#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

class QWidget;

// The window placement record: eleven 32-bit little-endian values: length (44), flags, show
// state, minimised position x and y, maximised position x and y, normal rectangle left, top,
// right, bottom. The rectangle is the window's normal geometry; right and bottom lie just
// outside it.
constexpr int PlacementSize = 44;
using TPlacementRecord = std::array<uint8_t, PlacementSize>;

// Show states of the record, numbered as Windows numbers them.
enum TShowState : int32_t { ShowNormal = 1, ShowMinimized = 2, ShowMaximized = 3 };
// Flag of a minimised window that comes back maximised.
constexpr int32_t RestoreToMaximized = 2;

TPlacementRecord MakePlacement(const QRect& normal, Qt::WindowStates state);
// False when the record holds no usable placement: another length or an empty rectangle.
bool ReadPlacement(const TPlacementRecord& record, QRect& normal, Qt::WindowStates& state);

// The placement of a top-level window, with its normal geometry also while maximised.
TPlacementRecord WindowPlacement(const QWidget* window);
// Puts a window at its recorded normal geometry, moved onto a screen when it lies off all of
// them, and in its recorded state. False, leaving the window as it is, for an unusable record.
bool ApplyPlacement(QWidget* window, const TPlacementRecord& record);

// The stored settings. Keys that default to the window's current value are optional: a
// missing key leaves them as they were.
struct TSettings {
    // Keys missing from the file leave the bytes they would have filled as they were.
    TPlacementRecord Placement{};
    std::optional<int> VertSplitter;
    std::optional<int> HorizSplitter;
    std::optional<QString> Skin;
    std::optional<bool> SkinEnable;
    // As read: 0 Russian, 1 English.
    int Language = 0;
    // As read: 0 MPa, 1 kgf/cm².
    int Dimension = 0;
    bool AutoClock = false;
    bool PrintComments = false;
};

class TSettingsStore
{
public:
    // `documentsFolder` stands in for the user's documents folder.
    explicit TSettingsStore(const QString& documentsFolder = DocumentsFolder());

    static QString DocumentsFolder();
    // The documents folder + "/Norvent/KADREL-1"; the save dialog starts there on the first run.
    QString GetConfigFolder() const;
    QString GetConfigFileName() const;

    // Reads an existing file into `settings`: integers in decimal or as 0x hexadecimal,
    // anything else counts as missing. Without a file (the first run) creates its folder,
    // leaves `settings` as it is and returns false.
    bool LoadConfig(TSettings& settings) const;
    // Writes every setting, keeping the other sections and keys of an existing file. Throws
    // KadrelError "Unable to write to <path>", leaving the file as it was.
    void SaveConfig(const TSettings& settings) const;

private:
    QString m_documentsFolder;
};
