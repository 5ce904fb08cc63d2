// Replays a fuzz target's saved inputs once each, as an ordinary test: the arguments are files or
// folders of them. Builds without libFuzzer use this as the target's main.

#include "FuzzTarget.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char **argv)
{
    int inputs = 0;
    auto replay = [&](const QString &name) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(name));
            std::exit(2);
        }
        const QByteArray bytes = file.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                               std::size_t(bytes.size()));
        ++inputs;
    };
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(path).isDir()) {
            const QDir dir(path);
            for (const QString &entry : dir.entryList(QDir::Files, QDir::Name))
                replay(dir.filePath(entry));
        } else {
            replay(path);
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
