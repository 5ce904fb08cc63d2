#pragma once
// The paths of the three players in the settings store: the key, the value names, and reading and
// writing them. The settings dialog, the main window and the player launch all go through here.

#include <QString>
#include <array>
#include <optional>

// The players in the order of the main window's list.
enum TPlayer { plMicroDVD = 0, plBSPlayer = 1, plMediaPlayer = 2 };
constexpr int kPlayerCount = 3;
using TPlayerPaths = std::array<QString, kPlayerCount>;

namespace PlayerSettings {
// "Software\Cinaxo\Configuration\" under HKEY_LOCAL_MACHINE.
QString KeyPath();
// The value name of a player's path; an index past the list names Media Player.
QString ValueName(int playerIndex);
// The path stored under a value name; empty when the store cannot be opened or has none.
QString ReadPath(const QString &valueName);
// Every player's path, in list order; nothing when the store cannot be opened.
std::optional<TPlayerPaths> ReadAll();
// False when the store cannot be opened; a refused write throws as the registry does.
bool WriteAll(const TPlayerPaths &paths);
} // namespace PlayerSettings
