#pragma once
// Finding a film's files on the volumes mounted now, when the catalogue names them on a drive letter
// or under a mount point that the disc no longer has.

#include <QString>
#include <QStringList>
#include <vector>

class IVolumes;
struct MountedVolume;

struct FilmFiles
{
    QString video, audio, subtitles;
};

// The files to give the player. When the video lies where the catalogue says (or has no path), the
// stored paths as they are. Otherwise the first volume on which the video is found, volumes named
// after the disc label first, and the audio and subtitles looked up on that same volume. A path that
// is found nowhere stays as stored. The volumes are asked only when the video is missing.
FilmFiles LocateFilm(const FilmFiles &stored, const QString &discLabel, IVolumes &volumes);

// Where a stored path may lie on the volume mounted at `root`, most likely first: a drive-letter path
// ("D:\Films\x.avi") under the root, a path under an old mount point with that mount point replaced.
// `volumes` are the mount points known now.
QStringList PlacesOnVolume(const QString &path, const QString &root,
                           const std::vector<MountedVolume> &volumes);
