#include "PlayerLaunch.h"

#include "CatalogueFields.h"
#include "DataSet.h"
#include "Dialogs.h"
#include "PlayerSettings.h"
#include "Shell.h"

#include <QFileInfo>

QString QuotePath(const QString &path)
{
    return path.contains(QLatin1Char(' ')) ? QLatin1Char('"') + path + QLatin1Char('"') : path;
}

QString PlayerParameters(int playerIndex, const QString &video, const QString &audio,
                         const QString &subtitles)
{
    const QString v = QuotePath(video), a = QuotePath(audio), s = QuotePath(subtitles);
    if (playerIndex == plMicroDVD)
        return QStringLiteral("/QuickINI /V:") + v + QStringLiteral(" /A:") + a + QStringLiteral(" /S:") + s;
    if (playerIndex == plBSPlayer) {
        // BSPlayer takes the film first; a subtitle file follows its -s switch.
        return s.isEmpty() ? v : v + QStringLiteral(" -s ") + s;
    }
    return v;
}

void StartPlayer(TDataSet &dataSet, int playerIndex)
{
    const QString video = dataSet.Fields(cfVideo)->Text();
    const QString audio = dataSet.Fields(cfAudio)->Text();
    const QString subtitles = dataSet.Fields(cfSubtitles)->Text();
    const QString player = PlayerSettings::ReadPath(PlayerSettings::ValueName(playerIndex));
    if (player.isEmpty()) {
        Dialogs().ShowMessage(
            QString::fromUtf8("Избраната от Вас програма не е настроена!\r\n"
                              "Настройките можете да направите от менюто Файл->Програмни настройки!"));
        return;
    }
    const QFileInfo file(video);
    if (video.isEmpty() || !file.exists() || !file.isFile()) {
        Dialogs().ShowMessage(
            QString::fromUtf8("Моля, поставете дискът с филма и тогава натиснете бутон СТАРТИРАНЕ!"));
        return;
    }
    Shell().StartProgram(player, PlayerParameters(playerIndex, video, audio, subtitles));
}
