#include "PlayerSettings.h"

#include "Registry.h"

namespace {
// Opens (and creates, when it is missing) the key the players' paths live under.
bool openKey(TRegistry &registry)
{
    registry.setRootKey(TRootKey::HKEY_LOCAL_MACHINE);
    return registry.OpenKey(PlayerSettings::KeyPath(), true);
}
} // namespace

namespace PlayerSettings {

QString KeyPath()
{
    return QStringLiteral("Software\\Cinaxo\\Configuration\\");
}

QString ValueName(int playerIndex)
{
    switch (playerIndex) {
    case plMicroDVD:
        return QStringLiteral("MicroDVDPath");
    case plBSPlayer:
        return QStringLiteral("BSPlayerPath");
    default:
        return QStringLiteral("MediaPlayerPath");
    }
}

QString ReadPath(const QString &valueName)
{
    TRegistry registry;
    return openKey(registry) ? registry.ReadString(valueName) : QString();
}

std::optional<TPlayerPaths> ReadAll()
{
    TRegistry registry;
    if (!openKey(registry))
        return std::nullopt;
    TPlayerPaths paths;
    for (int player = 0; player < kPlayerCount; ++player)
        paths[std::size_t(player)] = registry.ReadString(ValueName(player));
    return paths;
}

bool WriteAll(const TPlayerPaths &paths)
{
    TRegistry registry;
    if (!openKey(registry))
        return false;
    for (int player = 0; player < kPlayerCount; ++player)
        registry.WriteString(ValueName(player), paths[std::size_t(player)]);
    return true;
}

} // namespace PlayerSettings
