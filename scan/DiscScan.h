#pragma once
// What a mounted disc or a folder holds, as films for the catalogue: one film per video file and one
// per DVD (a VIDEO_TS folder), with the audio and subtitle files that go with it. Runs on any thread;
// reads the tree and never changes it.

#include <QString>
#include <atomic>
#include <functional>
#include <vector>

struct ProposedFilm
{
    QString title;
    QString format;
    // Where the disc shows the files: absolute paths under the scanned folder.
    QString video, audio, subtitles;
};

// A file or folder the scan passed over, and why.
struct ScanNote
{
    QString path;
    QString reason;
};

struct ScanOptions
{
    // Read each video's format with the media library; off, the extension names it.
    bool probe = true;
    // How long one file may keep the media library busy.
    int probeTimeoutMs = 3000;
    // The title of a DVD that fills the whole disc: the disc's label; the folder's name when empty.
    QString rootTitle;
};

struct ScanResult
{
    std::vector<ProposedFilm> films;
    std::vector<ScanNote> skipped;
    // The scan could not read the folder at all (the disc was taken out); empty when it could.
    QString failure;
    bool cancelled = false;
};

namespace DiscScan {
enum class Kind { Other, Video, Audio, Subtitles, SubtitlesBesideOnly };
// What a file is by its extension, regardless of letter case; a ".txt" counts as subtitles only
// beside a film of the same name.
Kind KindOf(const QString &fileName);
// A title from a file or folder name: the extension of a file dropped, dots and underscores made
// blanks, runs of blanks made one; release tags stay.
QString TitleFromName(const QString &name, bool isFile);

using Progress = std::function<void(const QString &folder)>;
// Scans `root` and every folder below it. `progress` hears of every folder as it is read; `cancel`,
// when set, ends the scan at the next entry with what was found so far.
ScanResult Scan(const QString &root, const ScanOptions &options, const Progress &progress = {},
                const std::atomic<bool> *cancel = nullptr);
} // namespace DiscScan
