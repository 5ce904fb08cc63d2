#include "DiscScan.h"

#include "MediaProbe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace {
bool suffixIn(const QString &suffix, std::initializer_list<const char *> list)
{
    return std::any_of(list.begin(), list.end(), [&](const char *s) { return suffix == QLatin1String(s); });
}

QString baseOf(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? fileName.left(dot) : fileName;
}

// A sidecar goes with a film of the same base name, also when it adds a language to it
// ("film.bg.srt" beside "film.avi").
bool sameBase(const QString &sidecar, const QString &film)
{
    const QString base = baseOf(sidecar);
    const QString filmBase = baseOf(film);
    return base.compare(filmBase, Qt::CaseInsensitive) == 0 ||
           (base.size() > filmBase.size() && base.at(filmBase.size()) == QLatin1Char('.') &&
            base.startsWith(filmBase, Qt::CaseInsensitive));
}

QString joined(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

struct Entry
{
    QString name;
    bool folder;
};

class Scanner
{
public:
    Scanner(const ScanOptions &options, const DiscScan::Progress &progress, const std::atomic<bool> *cancel)
        : m_options(options), m_progress(progress), m_cancel(cancel)
    {}

    ScanResult run(const QString &root)
    {
        m_root = QDir::cleanPath(root);
        struct stat status;
        if (::stat(QFile::encodeName(m_root).constData(), &status) != 0 || !S_ISDIR(status.st_mode)) {
            m_result.failure = QString::fromUtf8("Папката %1 не може да бъде прочетена.").arg(m_root);
            return std::move(m_result);
        }
        folder(m_root, status, 0);
        // A disc taken out while it was read: what was found cannot be trusted to be there.
        if (!m_result.cancelled && ::stat(QFile::encodeName(m_root).constData(), &status) != 0) {
            m_result.failure =
                QString::fromUtf8("Дискът в %1 вече не се чете: сканирането е прекъснато.").arg(m_root);
            m_result.films.clear();
        }
        return std::move(m_result);
    }

private:
    bool cancelled()
    {
        if (m_cancel && m_cancel->load(std::memory_order_relaxed))
            m_result.cancelled = true;
        return m_result.cancelled;
    }

    void skip(const QString &path, const char *reason)
    {
        m_result.skipped.push_back({path, QString::fromUtf8(reason)});
    }

    // The entries of a folder in name order, each known as a folder or a regular file; everything
    // else (FIFOs, devices, sockets, links to nothing) is noted and left out.
    bool read(const QString &path, std::vector<Entry> &entries)
    {
        DIR *dir = ::opendir(QFile::encodeName(path).constData());
        if (!dir) {
            skip(path, "папката не може да бъде прочетена");
            return false;
        }
        while (const dirent *item = ::readdir(dir)) {
            if (std::strcmp(item->d_name, ".") == 0 || std::strcmp(item->d_name, "..") == 0)
                continue;
            const QString name = QFile::decodeName(item->d_name);
            bool isFolder = item->d_type == DT_DIR;
            bool isFile = item->d_type == DT_REG;
            if (item->d_type == DT_UNKNOWN || item->d_type == DT_LNK) {
                struct stat status;
                if (::stat(QFile::encodeName(joined(path, name)).constData(), &status) != 0) {
                    skip(joined(path, name), "връзка към файл, който го няма");
                    continue;
                }
                isFolder = S_ISDIR(status.st_mode);
                isFile = S_ISREG(status.st_mode);
            }
            if (isFolder || isFile)
                entries.push_back({name, isFolder});
            else if (DiscScan::KindOf(name) == DiscScan::Kind::Video)
                skip(joined(path, name), "не е обикновен файл");
        }
        ::closedir(dir);
        std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
            return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
        });
        return true;
    }

    QString formatOf(const QString &path)
    {
        if (m_options.probe) {
            const QString format = MediaProbe::FormatOf(path, m_options.probeTimeoutMs, m_cancel);
            if (!format.isEmpty())
                return format;
        }
        return MediaProbe::FormatFromExtension(path);
    }

    QString folderTitle(const QString &path) const
    {
        if (path == m_root && !m_options.rootTitle.isEmpty())
            return m_options.rootTitle;
        return DiscScan::TitleFromName(QFileInfo(path).fileName(), false);
    }

    // A DVD's first title set: the lowest VTS_nn_1.VOB of the VIDEO_TS folder.
    bool dvd(const QString &videoTs, const QString &owner)
    {
        std::vector<Entry> entries;
        if (!read(videoTs, entries))
            return true;
        static const QRegularExpression firstVob(QStringLiteral("^VTS_\\d\\d_1\\.VOB$"),
                                                 QRegularExpression::CaseInsensitiveOption);
        for (const Entry &entry : entries) {
            if (!entry.folder && firstVob.match(entry.name).hasMatch()) {
                m_result.films.push_back({folderTitle(owner), QStringLiteral("DVD"),
                                          joined(videoTs, entry.name), QString(), QString()});
                return true;
            }
        }
        return false;
    }

    void folder(const QString &path, const struct stat &status, int depth)
    {
        if (cancelled())
            return;
        if (!m_seen.insert({status.st_dev, status.st_ino}).second) {
            skip(path, "папката вече е прочетена (връзка в кръг)");
            return;
        }
        if (m_progress)
            m_progress(path);
        std::vector<Entry> entries;
        if (!read(path, entries))
            return;
        std::vector<QString> videos, audio, subtitles, besideOnly;
        for (const Entry &entry : entries) {
            if (entry.folder)
                continue;
            switch (DiscScan::KindOf(entry.name)) {
            case DiscScan::Kind::Video:
                videos.push_back(entry.name);
                break;
            case DiscScan::Kind::Audio:
                audio.push_back(entry.name);
                break;
            case DiscScan::Kind::Subtitles:
                subtitles.push_back(entry.name);
                break;
            case DiscScan::Kind::SubtitlesBesideOnly:
                besideOnly.push_back(entry.name);
                break;
            case DiscScan::Kind::Other:
                break;
            }
        }
        const bool single = videos.size() == 1;
        for (const QString &video : videos) {
            if (cancelled())
                return;
            const auto sidecar = [&](const std::vector<QString> &names, const std::vector<QString> &more) {
                for (const auto *list : {&names, &more}) {
                    for (const QString &name : *list) {
                        if (sameBase(name, video))
                            return joined(path, name);
                    }
                }
                return single && names.size() == 1 ? joined(path, names.front()) : QString();
            };
            // A film alone in a folder of its own is named after the folder: its file is often just
            // "film.avi".
            const bool ownFolder = single && path != m_root;
            const QString videoPath = joined(path, video);
            m_result.films.push_back({ownFolder ? folderTitle(path) : DiscScan::TitleFromName(video, true),
                                      formatOf(videoPath), videoPath, sidecar(audio, {}),
                                      sidecar(subtitles, besideOnly)});
        }
        for (const Entry &entry : entries) {
            if (!entry.folder || cancelled())
                continue;
            const QString child = joined(path, entry.name);
            struct stat childStatus;
            if (::stat(QFile::encodeName(child).constData(), &childStatus) != 0) {
                skip(child, "папката не може да бъде прочетена");
                continue;
            }
            if (entry.name.compare(QLatin1String("VIDEO_TS"), Qt::CaseInsensitive) == 0 && dvd(child, path))
                continue;
            if (depth >= kDeepest) {
                skip(child, "папките са вложени твърде дълбоко");
                continue;
            }
            folder(child, childStatus, depth + 1);
        }
    }

    static constexpr int kDeepest = 64;
    const ScanOptions &m_options;
    const DiscScan::Progress &m_progress;
    const std::atomic<bool> *m_cancel;
    QString m_root;
    std::set<std::pair<dev_t, ino_t>> m_seen;
    ScanResult m_result;
};
} // namespace

namespace DiscScan {
Kind KindOf(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return Kind::Other;
    const QString suffix = fileName.mid(dot + 1).toLower();
    if (suffixIn(suffix, {"avi", "mpg", "mpeg", "vob", "asf", "wmv", "mkv", "mp4", "m4v", "ogm", "divx",
                          "xvid", "mov", "ts"}))
        return Kind::Video;
    if (suffixIn(suffix, {"mp3", "ac3", "wav", "ogg", "aac", "dts"}))
        return Kind::Audio;
    if (suffixIn(suffix, {"sub", "srt", "ssa", "ass", "smi"}))
        return Kind::Subtitles;
    if (suffix == QLatin1String("txt"))
        return Kind::SubtitlesBesideOnly;
    return Kind::Other;
}

QString TitleFromName(const QString &name, bool isFile)
{
    QString title = isFile ? baseOf(name) : name;
    title.replace(QLatin1Char('.'), QLatin1Char(' ')).replace(QLatin1Char('_'), QLatin1Char(' '));
    return title.simplified();
}

ScanResult Scan(const QString &root, const ScanOptions &options, const Progress &progress,
                const std::atomic<bool> *cancel)
{
    return Scanner(options, progress, cancel).run(root);
}
} // namespace DiscScan
