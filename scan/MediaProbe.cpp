#include "MediaProbe.h"

#include <QFileInfo>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace {
using Clock = std::chrono::steady_clock;

struct Deadline
{
    Clock::time_point at;
    const std::atomic<bool> *cancel;
};

// The library asks between its reads whether to give up; a file that keeps it busy is abandoned at
// the deadline.
int pastDeadline(void *opaque)
{
    const auto *deadline = static_cast<const Deadline *>(opaque);
    return Clock::now() >= deadline->at || (deadline->cancel && deadline->cancel->load()) ? 1 : 0;
}

bool hasTag(uint32_t tag, const char *fourcc)
{
    char text[5] = {char(tag & 0xFF), char((tag >> 8) & 0xFF), char((tag >> 16) & 0xFF),
                    char((tag >> 24) & 0xFF), 0};
    return strncasecmp(text, fourcc, 4) == 0;
}

QString videoCodecName(const AVCodecParameters &video)
{
    if (video.codec_id == AV_CODEC_ID_MPEG4) {
        if (hasTag(video.codec_tag, "XVID"))
            return QStringLiteral("XviD");
        if (hasTag(video.codec_tag, "DIVX") || hasTag(video.codec_tag, "DX50"))
            return QStringLiteral("DivX");
    }
    if (video.codec_id == AV_CODEC_ID_MSMPEG4V3)
        return QStringLiteral("DivX");
    return QString();
}

// The catalogue's name for a container the library names `name`, with the video stream found in it.
QString formatName(const char *name, const AVCodecParameters *video, const QString &suffix)
{
    const QString container = QString::fromLatin1(name);
    if (video) {
        const QString codec = videoCodecName(*video);
        if (!codec.isEmpty())
            return codec;
    }
    if (container == QLatin1String("avi"))
        return QStringLiteral("AVI");
    if (container == QLatin1String("asf"))
        return suffix == QLatin1String("wmv") ? QStringLiteral("WMV") : QStringLiteral("ASF");
    if (container.startsWith(QLatin1String("matroska")))
        return QStringLiteral("MKV");
    if (container.startsWith(QLatin1String("mov,mp4")))
        return suffix == QLatin1String("mov") ? QStringLiteral("MOV") : QStringLiteral("MP4");
    if (container == QLatin1String("mpeg") || container == QLatin1String("mpegvideo"))
        return QStringLiteral("MPEG");
    if (container == QLatin1String("mpegts"))
        return QStringLiteral("TS");
    if (container == QLatin1String("ogg"))
        return QStringLiteral("OGM");
    return container.section(QLatin1Char(','), 0, 0).toUpper();
}
} // namespace

namespace MediaProbe {
QString FormatFromExtension(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("divx"))
        return QStringLiteral("DivX");
    if (suffix == QLatin1String("xvid"))
        return QStringLiteral("XviD");
    if (suffix == QLatin1String("mpg") || suffix == QLatin1String("mpeg"))
        return QStringLiteral("MPEG");
    if (suffix == QLatin1String("m4v"))
        return QStringLiteral("MP4");
    return suffix.toUpper();
}

QString FormatOf(const QString &path, int timeoutMs, const std::atomic<bool> *cancel)
{
    // A FIFO or a device would block the library or read without end.
    struct stat status;
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return QString();
    av_log_set_level(AV_LOG_QUIET);
    Deadline deadline{Clock::now() + std::chrono::milliseconds(timeoutMs), cancel};
    AVFormatContext *context = avformat_alloc_context();
    if (!context)
        return QString();
    context->interrupt_callback.callback = pastDeadline;
    context->interrupt_callback.opaque = &deadline;
    // Enough to know the streams of a film; reading more only costs time.
    context->probesize = 256 * 1024;
    context->max_analyze_duration = AV_TIME_BASE / 2;
    if (avformat_open_input(&context, name.constData(), nullptr, nullptr) != 0)
        return QString(); // the library frees the context when it fails
    QString format;
    if (avformat_find_stream_info(context, nullptr) >= 0 && !pastDeadline(&deadline)) {
        const AVCodecParameters *video = nullptr;
        for (unsigned i = 0; i < context->nb_streams; ++i) {
            if (context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
                video = context->streams[i]->codecpar;
                break;
            }
        }
        format = formatName(context->iformat->name, video, QFileInfo(path).suffix().toLower());
    }
    avformat_close_input(&context);
    return format;
}
} // namespace MediaProbe
