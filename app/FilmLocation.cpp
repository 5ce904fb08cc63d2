#include "FilmLocation.h"

#include "Volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace {
bool isFile(const QString &path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && info.isFile();
}

QString underRoot(const QString &root, const QString &relative)
{
    if (root.endsWith(QLatin1Char('/')))
        return root + relative;
    return root + QLatin1Char('/') + relative;
}

// The file itself, or else the one whose names differ only in letter case: a catalogue written on
// Windows does not keep the case a disc shows here.
QString existingFile(const QString &root, const QString &relative)
{
    const QString exact = underRoot(root, relative);
    if (isFile(exact))
        return exact;
    QString path = root;
    for (const QString &part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const QString next = underRoot(path, part);
        if (QFileInfo::exists(next)) {
            path = next;
            continue;
        }
        const QStringList entries =
            QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        const auto match = std::find_if(entries.begin(), entries.end(), [&part](const QString &entry) {
            return entry.compare(part, Qt::CaseInsensitive) == 0;
        });
        if (match == entries.end())
            return QString();
        path = underRoot(path, *match);
    }
    return isFile(path) ? path : QString();
}

// The mount points a removable disc is commonly given, as numbers of leading folders, longest first:
// /media/USER/LABEL, /run/media/USER/LABEL, /media/LABEL, /mnt/LABEL, /Volumes/LABEL, /cdrom.
std::vector<int> usualMountDepths(const QStringList &parts)
{
    if (parts.isEmpty())
        return {};
    const QString &top = parts[0];
    if (top == QLatin1String("media"))
        return {3, 2};
    if (top == QLatin1String("run") && parts.size() > 1 && parts[1] == QLatin1String("media"))
        return {4};
    if (top == QLatin1String("mnt") || top == QLatin1String("Volumes"))
        return {2};
    if (top.startsWith(QLatin1String("cdrom")) || top.startsWith(QLatin1String("dvd")))
        return {1};
    return {};
}

bool hasDiscLabel(const MountedVolume &volume, const QString &label)
{
    return !label.isEmpty() && (volume.name.compare(label, Qt::CaseInsensitive) == 0 ||
                                QDir(volume.rootPath).dirName().compare(label, Qt::CaseInsensitive) == 0);
}

// The path's place relative to the root of the volume that holds it, in every reading that fits.
QStringList relativePlaces(const QString &path, const std::vector<MountedVolume> &volumes)
{
    QStringList relatives;
    static const QRegularExpression driveLetter(QStringLiteral("^[A-Za-z]:[\\\\/](.+)$"));
    const QRegularExpressionMatch drive = driveLetter.match(path);
    if (drive.hasMatch()) {
        relatives << QString(drive.captured(1)).replace(QLatin1Char('\\'), QLatin1Char('/'));
    } else if (path.startsWith(QLatin1Char('/'))) {
        const QString clean = QDir::cleanPath(path);
        for (const MountedVolume &volume : volumes) {
            const QString mount = QDir::cleanPath(volume.rootPath);
            if (mount != QLatin1String("/") && clean.startsWith(mount + QLatin1Char('/')))
                relatives << clean.mid(mount.size() + 1);
        }
        const QStringList parts = clean.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        for (int depth : usualMountDepths(parts)) {
            if (parts.size() > depth)
                relatives << parts.mid(depth).join(QLatin1Char('/'));
        }
    }
    QStringList unique;
    for (const QString &relative : relatives) {
        const QString tidy = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
        if (!tidy.isEmpty() && !unique.contains(tidy))
            unique << tidy;
    }
    return unique;
}

QString findOnVolume(const QString &path, const MountedVolume &volume,
                     const std::vector<MountedVolume> &volumes)
{
    for (const QString &relative : relativePlaces(path, volumes)) {
        const QString found = existingFile(volume.rootPath, relative);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}
} // namespace

QStringList PlacesOnVolume(const QString &path, const QString &root,
                           const std::vector<MountedVolume> &volumes)
{
    QStringList places;
    for (const QString &relative : relativePlaces(path, volumes))
        places << underRoot(root, relative);
    return places;
}

FilmFiles LocateFilm(const FilmFiles &stored, const QString &discLabel, IVolumes &volumes)
{
    if (stored.video.isEmpty() || isFile(stored.video))
        return stored;
    const std::vector<MountedVolume> mounted = volumes.MountedVolumes();
    std::vector<MountedVolume> ordered;
    for (bool labelled : {true, false}) {
        for (const MountedVolume &volume : mounted) {
            if (hasDiscLabel(volume, discLabel.trimmed()) == labelled)
                ordered.push_back(volume);
        }
    }
    for (const MountedVolume &volume : ordered) {
        const QString video = findOnVolume(stored.video, volume, mounted);
        if (video.isEmpty())
            continue;
        const auto sameVolume = [&](const QString &path) {
            if (path.isEmpty() || isFile(path))
                return path;
            const QString found = findOnVolume(path, volume, mounted);
            return found.isEmpty() ? path : found;
        };
        return {video, sameVolume(stored.audio), sameVolume(stored.subtitles)};
    }
    return stored;
}
