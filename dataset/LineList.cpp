#include "LineList.h"

#include "Errors.h"
#include "Files.h"

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
#include <stdexcept>

namespace {
constexpr std::size_t kArenaChunk = 64 * 1024;
constexpr std::size_t kWriteChunk = 1024 * 1024;
// Entries per block: moving one block's entries costs about as much as reading a line.
constexpr std::size_t kBlockSize = 2048;

// In [lo, hi) of a sequence whose non-zero keys rise, the last place whose key is non-zero and at
// most `k`; -1 when there is none. Zero keys are holes that the search steps over.
template <class Key> int lastAtMost(int lo, int hi, std::int32_t k, Key key)
{
    int found = -1;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        int probe = mid;
        while (probe < hi && key(probe) == 0)
            ++probe;
        if (probe == hi) {
            hi = mid;
        } else if (key(probe) <= k) {
            found = probe;
            lo = probe + 1;
        } else {
            hi = mid;
        }
    }
    return found;
}
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
    m_blocks.clear();
    m_blocks.shrink_to_fit();
    m_starts.clear();
    m_starts.shrink_to_fit();
    m_count = 0;
    m_loadedCount = 0;
    m_added.clear();
    forget();
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
    std::vector<Entry> *filling = nullptr;

    // One pass over the text: lines end at CR, LF or CR LF, and a NUL ends the text.
    std::size_t lineStart = 0;
    bool afterCr = false;
    auto endLine = [&](std::size_t stop) {
        const std::size_t length = stop - lineStart;
        if (length > std::numeric_limits<std::uint32_t>::max())
            throw Exception("Line " + std::to_string(m_count + 1) + " is too long");
        if (m_count >= std::numeric_limits<std::int32_t>::max() - 1)
            throw Exception("Too many lines");
        if (!filling || filling->size() == kBlockSize) {
            newBlock(int(m_blocks.size()));
            m_blocks.back()->firstLoaded = m_count + 1;
            filling = &m_blocks.back()->entries;
        }
        filling->push_back({base + lineStart, std::uint32_t(length), m_count + 1});
        ++m_count;
        if (length > m_longest)
            m_longest = length;
    };
    // Handles the CR, LF or NUL at j; false at a NUL.
    auto special = [&](std::size_t j) {
        const char c = base[j];
        if (c == '\0') {
            m_nulLine = m_count + 1;
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
    m_loadedCount = m_count;
}

const LineList::Entry &LineList::locateEntry(int index) const
{
    int offset = 0;
    const int block = blockOf(index, offset);
    const std::vector<Entry> &entries = m_blocks[std::size_t(block)]->entries;
    m_hot = {m_starts[std::size_t(block)], int(entries.size()), entries.data()};
    return entries[std::size_t(offset)];
}

int LineList::blockOf(int index, int &offset) const
{
    // Blocks are never empty, so their starts rise strictly.
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), index);
    const int block = std::max(int(after - m_starts.begin()) - 1, 0);
    offset = index - m_starts[std::size_t(block)];
    return block;
}

void LineList::newBlock(int at)
{
    auto block = std::make_unique<Block>();
    block->entries.reserve(kBlockSize);
    const int start = at < int(m_starts.size()) ? m_starts[std::size_t(at)] : m_count;
    m_blocks.insert(m_blocks.begin() + at, std::move(block));
    m_starts.insert(m_starts.begin() + at, start);
    renumberFrom(at);
}

void LineList::renumberFrom(int block)
{
    for (std::size_t b = std::size_t(block); b < m_blocks.size(); ++b)
        m_blocks[b]->index = int(b);
}

void LineList::splitBlock(int block)
{
    newBlock(block + 1);
    Block &left = *m_blocks[std::size_t(block)];
    Block &right = *m_blocks[std::size_t(block) + 1];
    const std::size_t half = left.entries.size() / 2;
    right.entries.assign(left.entries.begin() + std::ptrdiff_t(half), left.entries.end());
    left.entries.resize(half);
    m_starts[std::size_t(block) + 1] = m_starts[std::size_t(block)] + int(half);
    for (const Entry &e : right.entries) {
        if (!isLoaded(e.id))
            m_added[e.id] = &right;
    }
    updateFirstLoaded(left, 0);
    updateFirstLoaded(right, 0);
}

void LineList::removeBlock(int block)
{
    m_blocks.erase(m_blocks.begin() + block);
    m_starts.erase(m_starts.begin() + block);
    renumberFrom(block);
}

void LineList::updateFirstLoaded(Block &block, std::size_t from)
{
    block.firstLoaded = 0;
    for (std::size_t i = from; i < block.entries.size(); ++i) {
        if (isLoaded(block.entries[i].id)) {
            block.firstLoaded = block.entries[i].id;
            return;
        }
    }
}

int LineList::indexOfId(std::int32_t id, int hint) const
{
    if (hint >= 0 && hint < m_count && entry(hint).id == id)
        return hint;
    if (id <= 0 || m_count == 0)
        return -1;
    if (isLoaded(id)) {
        // Loaded lines keep their file order: search the blocks, then the block, by ID.
        const int block = lastAtMost(0, int(m_blocks.size()), id,
                                     [this](int b) { return m_blocks[std::size_t(b)]->firstLoaded; });
        if (block < 0)
            return -1;
        const std::vector<Entry> &entries = m_blocks[std::size_t(block)]->entries;
        const int at = lastAtMost(0, int(entries.size()), id, [&](int i) {
            const std::int32_t other = entries[std::size_t(i)].id;
            return isLoaded(other) ? other : 0;
        });
        return at >= 0 && entries[std::size_t(at)].id == id ? m_starts[std::size_t(block)] + at : -1;
    }
    const auto found = m_added.find(id);
    if (found == m_added.end())
        return -1;
    const Block &block = *found->second;
    for (std::size_t i = 0; i < block.entries.size(); ++i) {
        if (block.entries[i].id == id)
            return m_starts[std::size_t(block.index)] + int(i);
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
    // The entry stays where it is, so the block being read stays valid.
    Entry &e = const_cast<Entry &>(entry(index));
    e.data = store(line);
    e.size = std::uint32_t(line.size());
}

void LineList::insert(int index, std::string_view line, std::int32_t id)
{
    if (isLoaded(id) || m_added.count(id))
        throw std::invalid_argument("LineList: record ID " + std::to_string(id) + " is taken");
    const Entry e{store(line), std::uint32_t(line.size()), id};
    forget();
    if (m_blocks.empty())
        newBlock(0);
    int offset = 0;
    int block = blockOf(index, offset);
    if (m_blocks[std::size_t(block)]->entries.size() >= kBlockSize) {
        splitBlock(block);
        const int half = int(m_blocks[std::size_t(block)]->entries.size());
        if (offset > half) {
            offset -= half;
            ++block;
        }
    }
    Block &target = *m_blocks[std::size_t(block)];
    target.entries.insert(target.entries.begin() + offset, e);
    for (std::size_t b = std::size_t(block) + 1; b < m_starts.size(); ++b)
        ++m_starts[b];
    ++m_count;
    m_added[id] = &target;
}

void LineList::erase(int index)
{
    forget();
    int offset = 0;
    const int block = blockOf(index, offset);
    Block &target = *m_blocks[std::size_t(block)];
    const std::int32_t id = target.entries[std::size_t(offset)].id;
    target.entries.erase(target.entries.begin() + offset);
    for (std::size_t b = std::size_t(block) + 1; b < m_starts.size(); ++b)
        --m_starts[b];
    --m_count;
    if (!isLoaded(id))
        m_added.erase(id);
    else if (id == target.firstLoaded)
        updateFirstLoaded(target, std::size_t(offset));
    if (target.entries.empty())
        removeBlock(block);
}

int LineList::eraseIf(const std::function<bool(std::string_view)> &blank, int *first)
{
    forget();
    int removed = 0;
    int firstRemoved = -1;
    int position = 0;
    for (const auto &block : m_blocks) {
        std::vector<Entry> &entries = block->entries;
        std::size_t kept = 0;
        for (const Entry &e : entries) {
            if (blank({e.data, e.size})) {
                if (firstRemoved < 0)
                    firstRemoved = position;
                ++removed;
                if (!isLoaded(e.id))
                    m_added.erase(e.id);
            } else {
                entries[kept++] = e;
            }
            ++position;
        }
        if (kept != entries.size()) {
            entries.resize(kept);
            updateFirstLoaded(*block, 0);
        }
    }
    if (removed > 0) {
        m_blocks.erase(std::remove_if(m_blocks.begin(), m_blocks.end(),
                                      [](const std::unique_ptr<Block> &b) { return b->entries.empty(); }),
                       m_blocks.end());
        m_starts.resize(m_blocks.size());
        int start = 0;
        for (std::size_t b = 0; b < m_blocks.size(); ++b) {
            m_blocks[b]->index = int(b);
            m_starts[b] = start;
            start += int(m_blocks[b]->entries.size());
        }
        m_count -= removed;
    }
    if (first)
        *first = firstRemoved;
    return removed;
}

namespace {
// Writes the lines, each followed by CR LF, in pieces of about a megabyte; a long line goes out
// as it stands rather than through the piece. `write` returns false when it failed.
template <typename Lines, typename Write>
bool writeLines(const Lines &lines, Files::ContentHash &hash, std::uint64_t &total, Write write)
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
    for (const auto &block : lines) {
        for (const auto &e : block->entries) {
            if (e.size >= kWriteChunk) {
                if (!flush() || !out(e.data, e.size))
                    return false;
            } else {
                chunk.append(e.data, e.size);
            }
            chunk.append("\r\n", 2);
            if (chunk.size() >= kWriteChunk && !flush())
                return false;
        }
    }
    return flush();
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
        const bool written = writeLines(m_blocks, hash, total,
                                        [fd](const char *data, std::size_t size) {
                                            return Files::writeAll(fd, data, size);
                                        }) &&
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
    const bool written = writeLines(m_blocks, hash, total, [&file](const char *data, std::size_t size) {
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
