#include "PlayerLaunch.h"

#include "CatalogueFields.h"
#include "Codec.h"
#include "DataSet.h"
#include "Dialogs.h"
#include "FilmLocation.h"
#include "PlayerSettings.h"
#include "Shell.h"
#include "Volumes.h"

#include <QFileInfo>
#include <QTimer>
#include <optional>

QString QuotePath(const QString &path)
{
    // The player splits its parameters by the Windows rules (SplitCommandLine): blanks and tabs
    // separate, quotes group, and backslashes count only in front of a quote. A path with a blank or
    // a tab is quoted; a quote is escaped with a backslash, and the backslashes in front of it, or in
    // front of the closing quote, are doubled, so the split gives the path back as it is.
    const bool blank = path.contains(QLatin1Char(' ')) || path.contains(QLatin1Char('\t'));
    if (!blank && !path.contains(QLatin1Char('"')))
        return path;
    QString quoted;
    if (blank)
        quoted += QLatin1Char('"');
    qsizetype backslashes = 0;
    for (const QChar c : path) {
        if (c == QLatin1Char('\\')) {
            ++backslashes;
            continue;
        }
        if (c == QLatin1Char('"'))
            quoted += QString(2 * backslashes + 1, QLatin1Char('\\'));
        else
            quoted += QString(backslashes, QLatin1Char('\\'));
        quoted += c;
        backslashes = 0;
    }
    quoted += QString(blank ? 2 * backslashes : backslashes, QLatin1Char('\\'));
    if (blank)
        quoted += QLatin1Char('"');
    return quoted;
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

namespace {
// How often the mounted volumes are asked again while the program waits for a disc.
constexpr int kDiscWatchMs = 250;

bool isFile(const QString &path)
{
    const QFileInfo file(path);
    return !path.isEmpty() && file.exists() && file.isFile();
}
} // namespace

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
    // A disc that the desktop mounted elsewhere than the catalogue says is looked for on every mounted
    // volume. The player gets what is found; the catalogue keeps what it holds.
    const TField *labelField = dataSet.FindField(Codec::fromQString(QString::fromUtf8("Етикет")));
    const QString label = labelField ? labelField->Text() : QString();
    const FilmFiles stored{video, audio, subtitles};
    FilmFiles film = LocateFilm(stored, label, Volumes());
    if (!isFile(film.video)) {
        // While the message waits, the volumes are watched: once the film's file is there, the
        // message closes and the player starts as if the user had pressed the button.
        std::optional<FilmFiles> arrived;
        QTimer watch;
        watch.setInterval(kDiscWatchMs);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            const FilmFiles found = LocateFilm(stored, label, Volumes());
            if (!isFile(found.video))
                return;
            arrived = found;
            watch.stop();
            Dialogs().CloseMessage();
        });
        if (!video.isEmpty())
            watch.start();
        Dialogs().ShowMessage(
            QString::fromUtf8("Моля, поставете дискът с филма и тогава натиснете бутон СТАРТИРАНЕ!"));
        watch.stop();
        if (!arrived)
            return;
        film = *arrived;
    }
    if (!Shell().StartProgram(player,
                              PlayerParameters(playerIndex, film.video, film.audio, film.subtitles))) {
        Dialogs().ShowMessage(
            QString::fromUtf8(
                "Програмата\n%1\nне можа да бъде стартирана. Проверете дали тя още е там и дали "
                "може да се изпълнява; пътят ѝ се задава от менюто Файл->Програмни настройки.")
                .arg(player));
    }
}
