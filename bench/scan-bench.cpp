// Measures the disc scan: a tree of 10,000 files in 1,000 folders read without the media library,
// 100 small media files read with it, and the review table opened on 10,000 proposed films. The
// tree and the files are made in a temporary folder. Prints one name=value line per figure (medians
// of RUNS rounds).
//
//   cinaxo-scan-bench SCHEMA [RUNS]      (SCHEMA: the catalogue's format.txt)

#include "DiscScan.h"
#include "MediaProbe.h"
#include "ScanFilmModel.h"
#include "SdfData.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {
void makeFile(const QString &path, const QByteArray &bytes = QByteArray("x"))
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// An AVI of one MPEG-4 (XviD) video stream of a few packets, muxed without an encoder.
bool writeAvi(const QString &path)
{
    AVFormatContext *out = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (avformat_alloc_output_context2(&out, nullptr, "avi", name.constData()) < 0)
        return false;
    AVStream *stream = avformat_new_stream(out, nullptr);
    stream->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
    stream->codecpar->codec_id = AV_CODEC_ID_MPEG4;
    stream->codecpar->codec_tag = MKTAG('X', 'V', 'I', 'D');
    stream->codecpar->width = 64;
    stream->codecpar->height = 48;
    stream->time_base = AVRational{1, 25};
    bool ok = avio_open(&out->pb, name.constData(), AVIO_FLAG_WRITE) >= 0 &&
              avformat_write_header(out, nullptr) >= 0;
    for (int i = 0; ok && i < 25; ++i) {
        AVPacket *packet = av_packet_alloc();
        av_new_packet(packet, 512);
        std::memset(packet->data, 0, 512);
        packet->pts = packet->dts = i;
        packet->duration = 1;
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

template <typename Work> double median(int runs, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        times.push_back(double(clock.nsecsElapsed()) / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: cinaxo-scan-bench SCHEMA [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    // 1,000 folders of ten files: a film, its subtitles and audio, and seven files of other kinds.
    QTemporaryDir tree;
    for (int f = 0; f < 1000; ++f) {
        const QString folder = tree.filePath(QStringLiteral("Box %1/Film.%2.DVDRip").arg(f / 50).arg(f));
        QDir().mkpath(folder);
        for (const char *name : {"film.avi", "film.srt", "film.ac3", "cover.jpg", "info.nfo", "a.txt",
                                 "b.txt", "c.dat", "d.dat", "e.dat"})
            makeFile(folder + QLatin1Char('/') + QLatin1String(name));
    }
    ScanOptions tableOnly;
    tableOnly.probe = false;
    std::size_t films = 0;
    const double treeS = median(runs, [&] { films = DiscScan::Scan(tree.path(), tableOnly).films.size(); });
    std::printf("tree_files=10000\ntree_films=%zu\ntree_s=%.4f\n", films, treeS);

    QTemporaryDir media;
    for (int i = 0; i < 100; ++i) {
        if (!writeAvi(media.filePath(QStringLiteral("film%1.avi").arg(i)))) {
            std::fprintf(stderr, "could not write the media files\n");
            return 1;
        }
    }
    int xvid = 0;
    const double probeS = median(runs, [&] {
        xvid = 0;
        for (int i = 0; i < 100; ++i)
            xvid += MediaProbe::FormatOf(media.filePath(QStringLiteral("film%1.avi").arg(i)), 3000) ==
                    QLatin1String("XviD");
    });
    std::printf("probe_files=100\nprobe_xvid=%d\nprobe_ms_per_file=%.3f\n", xvid, probeS * 1000 / 100);

    // The review table on 10,000 films, against an empty catalogue of the shipped schema.
    QTemporaryDir catalogue;
    makeFile(catalogue.filePath(QStringLiteral("db.txt")), QByteArray());
    TSdfDataSet dataSet;
    dataSet.setObjectName(QStringLiteral("DataSet"));
    dataSet.LoadSchemaFromFile(QString::fromLocal8Bit(argv[1]));
    dataSet.setFileName(catalogue.filePath(QStringLiteral("db.txt")));
    dataSet.Open();
    std::vector<ProposedFilm> proposed(10000);
    for (int i = 0; i < 10000; ++i)
        proposed[std::size_t(i)] = {QStringLiteral("Film %1 DVDRip").arg(i), QStringLiteral("XviD"),
                                    QStringLiteral("/media/user/FILMS/Box %1/film%2.avi").arg(i / 50).arg(i),
                                    QString(),
                                    QStringLiteral("/media/user/FILMS/Box %1/film%2.srt").arg(i / 50).arg(i)};
    const double tableS = median(runs, [&] {
        TScanFilmModel model(dataSet);
        QTableView view;
        view.resize(624, 280);
        view.setModel(&model);
        model.SetFilms(proposed, QStringLiteral("FILMS"));
        view.show();
        QCoreApplication::processEvents();
        view.grab();
    });
    std::printf("table_films=10000\ntable_open_s=%.4f\n", tableS);
    return 0;
}
