// Where the settings live and the names of their sections and keys, in the order they are
// read and written.
#pragma once

namespace SettingsKeys
{

inline constexpr char Folder[] = "Norvent/KADREL-1";
inline constexpr char FileName[] = "Kadrel-1.ini";

inline constexpr char Gui[] = "GUI";
inline constexpr char Placement[] = "Placement";
inline constexpr char VertSplitter[] = "VertSplitter";
inline constexpr char HorizSplitter[] = "HorizSplitter";
inline constexpr char Skin[] = "Skin";
inline constexpr char SkinEnable[] = "SkinEnable";

inline constexpr char Settings[] = "Settings";
inline constexpr char Language[] = "Language";
inline constexpr char Dimension[] = "Dimension";
inline constexpr char AutoClock[] = "AutoClock";
inline constexpr char PrintComments[] = "PrintComments";

} // namespace SettingsKeys
