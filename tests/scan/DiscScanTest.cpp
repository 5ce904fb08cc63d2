// The disc scan over trees the tests make: which films it proposes, with which files and titles, and
// what it passes over.

#include "DiscScan.h"
#include "MediaProbe.h"
#include "Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavformat/avformat.h>
}

// Failures show texts as text.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {
void makeFile(const QString &path, const QByteArray &bytes = QByteArray("x"))
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The films as "title|format|video|audio|subtitles", paths relative to the scanned folder.
QStringList described(const ScanResult &result, const QString &root)
{
    QStringList lines;
    const auto rel = [&](const QString &path) {
        return path.isEmpty() ? path : QDir(root).relativeFilePath(path);
    };
    for (const ProposedFilm &film : result.films)
        lines << QStringList{film.title, film.format, rel(film.video), rel(film.audio), rel(film.subtitles)}
                     .join(QLatin1Char('|'));
    return lines;
}

QStringList split(const char *utf8)
{
    return QString::fromUtf8(utf8).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

ScanOptions withoutProbe()
{
    ScanOptions options;
    options.probe = false;
    return options;
}
} // namespace

TEST(DiscScanTitles, NameTurnsIntoTitle)
{
    const struct
    {
        const char *name;
        bool isFile;
        const char *title;
    } cases[] = {
        {"The.Matrix.1999.DVDRip.XviD-GRP.avi", true, "The Matrix 1999 DVDRip XviD-GRP"},
        {"pod_igoto__cd1.AVI", true, "pod igoto cd1"},
        {"Amelie", false, "Amelie"},
        {"Кръстникът_1972", false, "Кръстникът 1972"},
        {"Dr. Strangelove (1964) [BG]", false, "Dr Strangelove (1964) [BG]"},
        {"film", true, "film"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DiscScan::TitleFromName(QString::fromUtf8(c.name), c.isFile), QString::fromUtf8(c.title))
            << c.name;
}

TEST(DiscScanTree, ProposesOneFilmPerVideoAndPerDvd)
{
    const struct
    {
        const char *what;
        const char *files; // separated by ';'
        const char *films; // "title|format|video|audio|subtitles" separated by ';', in scan order
    } cases[] = {
        {"a film alone in its folder takes the folder's name and the sidecars beside it",
         "Amelie (2001)/amelie.avi;Amelie (2001)/bg.srt;Amelie (2001)/audio.mp3;Amelie (2001)/info.nfo",
         "Amelie (2001)|AVI|Amelie (2001)/amelie.avi|Amelie (2001)/audio.mp3|Amelie (2001)/bg.srt"},
        {"films sharing a folder take their file names and only the sidecars of their own name",
         "Series/ep_01.mkv;Series/ep_01.srt;Series/ep.02.MKV;Series/ep.02.bg.sub;Series/other.ac3",
         "ep 02|MKV|Series/ep.02.MKV||Series/ep.02.bg.sub;ep 01|MKV|Series/ep_01.mkv||Series/ep_01.srt"},
        {"a text file counts as subtitles only when it shares the film's name",
         "A/film.divx;A/readme.txt;B/film.xvid;B/FILM.TXT",
         "A|DivX|A/film.divx||;B|XviD|B/film.xvid||B/FILM.TXT"},
        {"two subtitle files beside one film: neither is the film's, none is taken",
         "C/movie.mp4;C/one.srt;C/two.srt", "C|MP4|C/movie.mp4||"},
        {"a film at the top of the disc takes its file name", "top_film.wmv;top_film.ac3",
         "top film|WMV|top_film.wmv|top_film.ac3|"},
        {"a DVD gives one film, its first title set's first VOB, named after the folder holding it",
         "Казабланка/VIDEO_TS/VIDEO_TS.VOB;Казабланка/VIDEO_TS/VTS_02_1.VOB;Казабланка/VIDEO_TS/VTS_01_2.VOB;"
         "Казабланка/VIDEO_TS/VTS_01_1.VOB;Казабланка/AUDIO_TS/x.txt",
         "Казабланка|DVD|Казабланка/VIDEO_TS/VTS_01_1.VOB||"},
        {"a DVD filling the disc is named after the disc", "video_ts/vts_01_1.vob;video_ts/vts_01_0.ifo",
         "DISC|DVD|video_ts/vts_01_1.vob||"},
        {"a VIDEO_TS folder without a title set is scanned as any folder",
         "X/VIDEO_TS/a.mpg;X/VIDEO_TS/b.mpg", "a|MPEG|X/VIDEO_TS/a.mpg||;b|MPEG|X/VIDEO_TS/b.mpg||"},
        {"audio and subtitles without a video give no film", "Music/a.mp3;Music/a.srt;notes.txt", ""},
        {"every listed extension is a video, in any letter case",
         "v/a.AVI;v/b.mpeg;v/c.vob;v/d.asf;v/e.m4v;v/f.ogm;v/g.mov;v/h.ts;v/i.MPG",
         "a|AVI|v/a.AVI||;b|MPEG|v/b.mpeg||;c|VOB|v/c.vob||;d|ASF|v/d.asf||;e|MP4|v/e.m4v||;f|OGM|v/f.ogm||;"
         "g|MOV|v/g.mov||;h|TS|v/h.ts||;i|MPEG|v/i.MPG||"},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        for (const QString &file : split(c.files))
            makeFile(dir.filePath(file));
        ScanOptions options = withoutProbe();
        options.rootTitle = QStringLiteral("DISC");
        const ScanResult result = DiscScan::Scan(dir.path(), options);
        EXPECT_TRUE(result.failure.isEmpty()) << c.what;
        EXPECT_EQ(described(result, dir.path()), split(c.films)) << c.what;
        EXPECT_TRUE(result.skipped.empty()) << c.what;
    }
}

TEST(DiscScanTree, PassesOverWhatItCannotReadAndGoesOn)
{
    QTemporaryDir dir;
    makeFile(dir.filePath(QStringLiteral("Good/good.avi")));
    QDir().mkpath(dir.filePath(QStringLiteral("Loop")));
    makeFile(dir.filePath(QStringLiteral("Loop/film.mkv")));
    ASSERT_EQ(::symlink("..", QFile::encodeName(dir.filePath(QStringLiteral("Loop/back"))).constData()), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("Good/pipe.avi"))).constData(), 0600),
              0);
    ASSERT_EQ(::symlink("/dev/zero",
                        QFile::encodeName(dir.filePath(QStringLiteral("Good/device.mkv"))).constData()),
              0);
    ASSERT_EQ(
        ::symlink("nowhere", QFile::encodeName(dir.filePath(QStringLiteral("Good/gone.avi"))).constData()),
        0);
    makeFile(dir.filePath(QStringLiteral("Shut/hidden.avi")));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.filePath(QStringLiteral("Shut"))).constData(), 0), 0);
    unprivileged::handOver(dir.path());
    unprivileged::run([&] {
        // The media library is asked too: it must not open the FIFO or the device.
        const ScanResult result = DiscScan::Scan(dir.path(), ScanOptions());
        EXPECT_TRUE(result.failure.isEmpty());
        EXPECT_EQ(described(result, dir.path()), split("Good|AVI|Good/good.avi||;Loop|MKV|Loop/film.mkv||"));
        QStringList notes;
        for (const ScanNote &note : result.skipped)
            notes << QDir(dir.path()).relativeFilePath(note.path) + QLatin1Char(':') + note.reason;
        notes.sort();
        EXPECT_EQ(notes, QString::fromUtf8(
                             "Good/device.mkv:не е обикновен файл;Good/gone.avi:връзка към файл, който го "
                             "няма;Good/pipe.avi:не е обикновен файл;Loop/back:папката вече е прочетена "
                             "(връзка в кръг);Shut:папката не може да бъде прочетена")
                             .split(QLatin1Char(';')));
    });
}

TEST(DiscScanTree, CancelEndsTheScanAtOnce)
{
    QTemporaryDir dir;
    for (int i = 0; i < 20; ++i)
        makeFile(dir.filePath(QStringLiteral("F%1/f.avi").arg(i, 2, 10, QLatin1Char('0'))));
    std::atomic<bool> cancel = false;
    int folders = 0;
    const ScanResult result = DiscScan::Scan(
        dir.path(), withoutProbe(),
        [&](const QString &) {
            if (++folders == 4)
                cancel = true;
        },
        &cancel);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(folders, 4);
    EXPECT_EQ(result.films.size(), 2u); // the root holds no film; F00 and F01 were read
}

TEST(DiscScanTree, DiscTakenOutWhileReadIsAFailure)
{
    QTemporaryDir dir;
    const QString disc = dir.filePath(QStringLiteral("disc"));
    makeFile(disc + QStringLiteral("/A/a.avi"));
    makeFile(disc + QStringLiteral("/B/b.avi"));
    const ScanResult result = DiscScan::Scan(disc, withoutProbe(), [&](const QString &folder) {
        if (folder.endsWith(QLatin1String("/A")))
            QDir(disc).removeRecursively();
    });
    EXPECT_TRUE(result.films.empty());
    EXPECT_TRUE(result.failure.contains(QString::fromUtf8("вече не се чете")))
        << result.failure.toStdString();
    EXPECT_FALSE(DiscScan::Scan(dir.filePath(QStringLiteral("none")), withoutProbe()).failure.isEmpty());
}

namespace {
// A small media file of one video stream, muxed by the library itself: a header and a few packets
// of bytes no decoder needs to understand.
bool writeMedia(const QString &path, const char *muxer, AVCodecID codec, const char *fourcc)
{
    AVFormatContext *out = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (avformat_alloc_output_context2(&out, nullptr, muxer, name.constData()) < 0)
        return false;
    AVStream *stream = avformat_new_stream(out, nullptr);
    stream->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
    stream->codecpar->codec_id = codec;
    if (fourcc)
        stream->codecpar->codec_tag = MKTAG(fourcc[0], fourcc[1], fourcc[2], fourcc[3]);
    stream->codecpar->width = 64;
    stream->codecpar->height = 48;
    stream->time_base = AVRational{1, 25};
    bool ok = avio_open(&out->pb, name.constData(), AVIO_FLAG_WRITE) >= 0 &&
              avformat_write_header(out, nullptr) >= 0;
    for (int i = 0; ok && i < 5; ++i) {
        AVPacket *packet = av_packet_alloc();
        av_new_packet(packet, 64);
        std::memset(packet->data, 0, 64);
        packet->pts = packet->dts = i;
        packet->duration = 1;
        packet->flags = i == 0 ? AV_PKT_FLAG_KEY : 0;
        packet->stream_index = 0;
        av_packet_rescale_ts(packet, AVRational{1, 25}, stream->time_base);
        ok = av_interleaved_write_frame(out, packet) >= 0;
        av_packet_free(&packet);
    }
    ok = ok && av_write_trailer(out) >= 0;
    avio_closep(&out->pb);
    avformat_free_context(out);
    return ok;
}
} // namespace

TEST(MediaProbe, NamesTheFormatByContainerAndVideoCodec)
{
    const struct
    {
        const char *file, *muxer;
        AVCodecID codec;
        const char *fourcc, *format;
    } cases[] = {
        {"xvid.avi", "avi", AV_CODEC_ID_MPEG4, "XVID", "XviD"},
        {"divx5.avi", "avi", AV_CODEC_ID_MPEG4, "DX50", "DivX"},
        {"divx3.avi", "avi", AV_CODEC_ID_MSMPEG4V3, "DIV3", "DivX"},
        {"plain.avi", "avi", AV_CODEC_ID_MJPEG, "MJPG", "AVI"},
        // The extension does not decide: an AVI named .mkv is an AVI.
        {"named-wrong.mkv", "avi", AV_CODEC_ID_MJPEG, "MJPG", "AVI"},
        {"film.mkv", "matroska", AV_CODEC_ID_MPEG4, nullptr, "MKV"},
        {"film.mp4", "mp4", AV_CODEC_ID_MPEG4, nullptr, "MP4"},
        {"film.asf", "asf", AV_CODEC_ID_WMV2, nullptr, "ASF"},
        {"film.wmv", "asf", AV_CODEC_ID_WMV2, nullptr, "WMV"},
        {"film.mpg", "mpeg", AV_CODEC_ID_MPEG2VIDEO, nullptr, "MPEG"},
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.file));
        ASSERT_TRUE(writeMedia(path, c.muxer, c.codec, c.fourcc)) << c.file;
        EXPECT_EQ(MediaProbe::FormatOf(path, 2000), QString::fromLatin1(c.format)) << c.file;
    }
    // No time left: the library gives up at once, and the scan falls back to the extension.
    const QString film = dir.filePath(QStringLiteral("film.mkv"));
    EXPECT_EQ(MediaProbe::FormatOf(film, 0), QString());
    makeFile(dir.filePath(QStringLiteral("noise.avi")), QByteArray(4096, '\x5a'));
    EXPECT_EQ(MediaProbe::FormatOf(dir.filePath(QStringLiteral("noise.avi")), 2000), QString());
    QTemporaryDir one;
    makeFile(one.filePath(QStringLiteral("x/noise.divx")), QByteArray(4096, '\x5a'));
    QFile::copy(dir.filePath(QStringLiteral("xvid.avi")), one.filePath(QStringLiteral("y/film.avi")));
    QDir().mkpath(one.filePath(QStringLiteral("y")));
    QFile::copy(dir.filePath(QStringLiteral("xvid.avi")), one.filePath(QStringLiteral("y/film.avi")));
    EXPECT_EQ(described(DiscScan::Scan(one.path(), ScanOptions()), one.path()),
              split("x|DivX|x/noise.divx||;y|XviD|y/film.avi||"));
}
