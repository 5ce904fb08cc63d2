#pragma once
// What every fuzz target shares: the entry point libFuzzer calls, a folder of its own for the files
// it writes, and a check that ends the run when an invariant fails.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace fuzz {
// A folder that lives as long as the process.
inline QString folder()
{
    static QTemporaryDir dir;
    return dir.path() + QLatin1Char('/');
}

inline void writeFile(const QString &name, const void *data, std::size_t size)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(static_cast<const char *>(data), qint64(size)) != qint64(size)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
        std::abort();
    }
}

[[noreturn]] inline void failed(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: invariant failed: %s\n", file, line, what);
    std::abort();
}
} // namespace fuzz

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            fuzz::failed(#condition, __FILE__, __LINE__);                                                    \
    } while (false)
