#include "LineList.h"

#include "Errors.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <limits>

namespace {
constexpr std::size_t kArenaChunk = 64 * 1024;
constexpr std::size_t kWriteChunk = 1024 * 1024;
} // namespace

void LineList::FreeText::operator()(char *p) const
{
    std::free(p);
}

LineList::Text LineList::allocateText(std::size_t size)
{
    // Plain pages: huge pages would save page faults, but their compaction can stall an open for
    // half a second.
    if (void *p = std::malloc(size ? size : 1))
        return Text(static_cast<char *>(p));
    throw std::bad_alloc();
}

void LineList::clear()
{
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_text.reset();
    m_textSize = 0;
    m_arena.clear();
    m_arenaUsed = m_arenaCapacity = 0;
    m_longest = 0;
    m_nulLine = 0;
}

FileState LineList::load(const QString &fileName)
{
    QFile file;
    Files::openRegularFile(file, fileName);
    FileState state;
    state.stamp = Files::stampOf(file.handle());
    clear();
    std::size_t capacity = std::size_t(std::max<qint64>(state.stamp.size, 0)) + 1;
    Text text = allocateText(capacity);
    std::size_t size = 0;
    for (;;) {
        if (size == capacity) {
            // The file grew while it was read.
            const std::size_t larger = capacity * 2 + 65536;
            Text grown = allocateText(larger);
            std::memcpy(grown.get(), text.get(), size);
            text = std::move(grown);
            capacity = larger;
        }
        const qint64 got = file.read(text.get() + size, qint64(capacity - size));
        if (got < 0)
            throw EFOpenError("Cannot open file " + fileName.toStdString());
        if (got == 0)
            break;
        size += std::size_t(got);
    }
    state.hash = Files::hashOf(text.get(), size);
    adopt(std::move(text), size);
    return state;
}

void LineList::loadText(std::string_view text)
{
    clear();
    Text copy = allocateText(text.size() + 1);
    std::memcpy(copy.get(), text.data(), text.size());
    adopt(std::move(copy), text.size());
}

void LineList::adopt(Text text, std::size_t size)
{
    m_text = std::move(text);
    m_textSize = size;
    split();
}

namespace {
// Bit i is set when byte i of the 16 at `p` is a CR, an LF or a NUL.
inline std::uint32_t specialBytes(const char *p)
{
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    const __m128i hits = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\r'))),
        _mm_cmpeq_epi8(v, _mm_setzero_si128()));
    return std::uint32_t(_mm_movemask_epi8(hits));
#else
    std::uint32_t mask = 0;
    for (int i = 0; i < 16; ++i) {
        if (p[i] == '\n' || p[i] == '\r' || p[i] == '\0')
            mask |= 1u << i;
    }
    return mask;
#endif
}
} // namespace

void LineList::split()
{
    const char *const base = m_text.get();
    std::size_t size = m_textSize;
    // Reserve for the line length seen in the first part of the text; the list grows if it is off.
    const std::size_t sample = std::min<std::size_t>(size, 256 * 1024);
    std::size_t sampleLines = 1;
    for (const char *q = base;
         (q = static_cast<const char *>(std::memchr(q, '\n', std::size_t(base + sample - q)))); ++q)
        ++sampleLines;
    m_entries.reserve(sample ? std::size_t(double(size) / double(sample) * double(sampleLines) * 1.05) + 16
                             : 0);

    // One pass over the text: lines end at CR, LF or CR LF, and a NUL ends the text.
    std::size_t lineStart = 0;
    bool afterCr = false;
    auto endLine = [&](std::size_t stop) {
        const std::size_t length = stop - lineStart;
        if (length > std::numeric_limits<std::uint32_t>::max())
            throw Exception("Line " + std::to_string(m_entries.size() + 1) + " is too long");
        if (m_entries.size() >= std::size_t(std::numeric_limits<std::int32_t>::max() - 1))
            throw Exception("Too many lines");
        m_entries.push_back({base + lineStart, std::uint32_t(length), std::int32_t(m_entries.size() + 1)});
        if (length > m_longest)
            m_longest = length;
    };
    // Handles the CR, LF or NUL at j; false at a NUL.
    auto special = [&](std::size_t j) {
        const char c = base[j];
        if (c == '\0') {
            m_nulLine = int(std::min<std::size_t>(m_entries.size() + 1, std::numeric_limits<int>::max()));
            size = j;
            return false;
        }
        if (c == '\n' && afterCr && j == lineStart) {
            afterCr = false;
            lineStart = j + 1;
            return true;
        }
        endLine(j);
        afterCr = c == '\r';
        lineStart = j + 1;
        return true;
    };
    std::size_t block = 0;
    bool ended = false;
    for (; block + 16 <= size && !ended; block += 16) {
        for (std::uint32_t mask = specialBytes(base + block); mask; mask &= mask - 1) {
            if (!special(block + std::size_t(__builtin_ctz(mask)))) {
                ended = true;
                break;
            }
        }
    }
    for (std::size_t j = block; j < size && !ended; ++j) {
        if ((base[j] == '\n' || base[j] == '\r' || base[j] == '\0') && !special(j))
            ended = true;
    }
    if (lineStart < size)
        endLine(size);
    m_textSize = size;
}

int LineList::indexOfId(std::int32_t id, int hint) const
{
    if (hint >= 0 && hint < count() && m_entries[std::size_t(hint)].id == id)
        return hint;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].id == id)
            return int(i);
    }
    return -1;
}

const char *LineList::store(std::string_view line)
{
    if (line.empty())
        return "";
    if (m_arenaUsed + line.size() > m_arenaCapacity) {
        const std::size_t capacity = std::max(kArenaChunk, line.size());
        m_arena.push_back(std::make_unique<char[]>(capacity));
        m_arenaCapacity = capacity;
        m_arenaUsed = 0;
    }
    char *at = m_arena.back().get() + m_arenaUsed;
    std::memcpy(at, line.data(), line.size());
    m_arenaUsed += line.size();
    return at;
}

void LineList::replace(int index, std::string_view line)
{
    Entry &e = m_entries[std::size_t(index)];
    e.data = store(line);
    e.size = std::uint32_t(line.size());
}

void LineList::insert(int index, std::string_view line, std::int32_t id)
{
    const Entry e{store(line), std::uint32_t(line.size()), id};
    m_entries.insert(m_entries.begin() + index, e);
}

void LineList::erase(int index)
{
    m_entries.erase(m_entries.begin() + index);
}

namespace {
// Writes the lines, each followed by CR LF, in pieces of about a megabyte; a long line goes out
// as it stands rather than through the piece. `write` returns false when it failed.
template <typename LineAt, typename Write>
bool writeLines(std::size_t count, LineAt lineAt, Files::ContentHash &hash, std::uint64_t &total, Write write)
{
    std::string chunk;
    chunk.reserve(kWriteChunk + 4096);
    auto out = [&](const char *data, std::size_t size) {
        hash.add(data, size);
        total += size;
        return write(data, size);
    };
    auto flush = [&] {
        const bool ok = chunk.empty() || out(chunk.data(), chunk.size());
        chunk.clear();
        return ok;
    };
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view line = lineAt(i);
        if (line.size() >= kWriteChunk) {
            if (!flush() || !out(line.data(), line.size()))
                return false;
        } else {
            chunk.append(line);
        }
        chunk.append("\r\n", 2);
        if (chunk.size() >= kWriteChunk && !flush())
            return false;
    }
    return flush();
}

bool writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// A free name for a copy of `fileName` in `folder`: "db-20240131-235959.txt", then "-2" and on.
QString backupName(const QString &fileName, const QString &folder)
{
    const QFileInfo info(fileName);
    const QString stem = folder + QLatin1Char('/') + info.completeBaseName() + QLatin1Char('-') +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString name = stem + suffix;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = stem + QLatin1Char('-') + QString::number(n) + suffix;
    return name;
}

// Copies `fileName` into `folder` and makes the copy durable; returns the copy's name.
QString copyToFolder(const QString &fileName, const QString &folder)
{
    QDir().mkpath(folder);
    const QString name = backupName(fileName, folder);
    QFile source;
    Files::openRegularFile(source, fileName);
    QSaveFile copy(name);
    if (!copy.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw EFCreateError("Cannot create file " + name.toStdString());
    QByteArray buffer(int(kWriteChunk), Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.read(buffer.data(), buffer.size());
        if (got < 0 || (got > 0 && copy.write(buffer.constData(), got) != got)) {
            copy.cancelWriting();
            throw EWriteError("Stream write error");
        }
        if (got == 0)
            break;
    }
    if (::fsync(int(copy.handle())) != 0 || !copy.commit())
        throw EWriteError("Stream write error");
    Files::syncFolderOf(name);
    return name;
}
} // namespace

FileState LineList::save(const QString &fileName, const QString &backupFolder, QString *backup) const
{
    auto lineAt = [this](std::size_t i) { return at(int(i)); };
    const QByteArray path = QFile::encodeName(fileName);
    struct stat old;
    const bool existed = ::stat(path.constData(), &old) == 0;
    Files::ContentHash hash;
    std::uint64_t total = 0;

    QSaveFile file(fileName);
    // Unbuffered: a buffered QSaveFile can lose a failed flush at commit and keep a cut file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // A writable file in a folder where no temporary file can be made: written in place, after
        // a copy of the old text went somewhere safe.
        const int fd = existed && S_ISREG(old.st_mode) && !backupFolder.isEmpty()
                           ? ::open(path.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)
                           : -1;
        if (fd < 0)
            throw EFCreateError("Cannot create file " + fileName.toStdString());
        QString copy;
        try {
            copy = copyToFolder(fileName, backupFolder);
        } catch (...) {
            ::close(fd);
            throw;
        }
        if (backup)
            *backup = copy;
        const bool written =
            writeLines(m_entries.size(), lineAt, hash, total,
                       [fd](const char *data, std::size_t size) { return writeAll(fd, data, size); }) &&
            ::ftruncate(fd, off_t(total)) == 0 && ::fsync(fd) == 0;
        FileState state;
        state.stamp = Files::stampOf(fd);
        ::close(fd);
        if (!written)
            throw EWriteError("Stream write error");
        QFile::remove(copy);
        if (backup)
            backup->clear();
        state.hash = hash.result();
        return state;
    }
    const int fd = int(file.handle());
    const bool written =
        writeLines(m_entries.size(), lineAt, hash, total, [&file](const char *data, std::size_t size) {
            return file.write(data, qint64(size)) == qint64(size);
        });
    if (!written) {
        file.cancelWriting();
        throw EWriteError("Stream write error");
    }
    if (existed) {
        // The new file takes the old one's owner and group where this process may give them.
        struct stat now;
        if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
            ::fchown(fd, old.st_uid, old.st_gid) == 0)
            ::fchmod(fd, old.st_mode & 07777);
    }
    // Commit syncs too, but does not say when that fails.
    if (::fsync(fd) != 0) {
        file.cancelWriting();
        throw EWriteError("Stream write error");
    }
    if (!file.commit())
        throw EWriteError("Stream write error");
    // The rename lasts through a power cut only once the folder is on the disk too.
    Files::syncFolderOf(fileName);
    FileState state;
    state.stamp = Files::stampOf(fileName);
    state.hash = hash.result();
    return state;
}
