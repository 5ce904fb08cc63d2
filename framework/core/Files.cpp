#include "Files.h"

#include "Errors.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Files {

void openRegularFile(QFile &file, const QString &fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw EFOpenError("Cannot open file " + fileName.toStdString());
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw EFOpenError("Cannot open file " + fileName.toStdString() + ": it is not a regular file");
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw EFOpenError("Cannot open file " + fileName.toStdString());
    }
}

namespace {
Stamp fromStat(const struct stat &st)
{
    Stamp s;
    s.exists = true;
    s.size = st.st_size;
    s.modifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.changedNs = std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    s.inode = std::uint64_t(st.st_ino);
    s.device = std::uint64_t(st.st_dev);
    return s;
}
} // namespace

Stamp stampOf(const QString &fileName)
{
    struct stat st;
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0)
        return {};
    return fromStat(st);
}

Stamp stampOf(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return {};
    return fromStat(st);
}

namespace {
constexpr std::uint64_t kP1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kP2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t kP3 = 0x165667B19E3779F9ull;
constexpr std::uint64_t kP4 = 0x85EBCA77C2B2AE63ull;
constexpr std::uint64_t kP5 = 0x27D4EB2F165667C5ull;

inline std::uint64_t rotl(std::uint64_t x, int r)
{
    return (x << r) | (x >> (64 - r));
}
inline std::uint64_t read64(const unsigned char *p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}
inline std::uint32_t read32(const unsigned char *p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline std::uint64_t mixRound(std::uint64_t acc, std::uint64_t input)
{
    return rotl(acc + input * kP2, 31) * kP1;
}
inline std::uint64_t merge(std::uint64_t acc, std::uint64_t lane)
{
    return (acc ^ mixRound(0, lane)) * kP1 + kP4;
}
inline void stripes(std::uint64_t (&lanes)[4], const unsigned char *p, std::size_t count)
{
    std::uint64_t a = lanes[0], b = lanes[1], c = lanes[2], d = lanes[3];
    for (std::size_t i = 0; i < count; ++i, p += 32) {
        a = mixRound(a, read64(p));
        b = mixRound(b, read64(p + 8));
        c = mixRound(c, read64(p + 16));
        d = mixRound(d, read64(p + 24));
    }
    lanes[0] = a, lanes[1] = b, lanes[2] = c, lanes[3] = d;
}
} // namespace

void ContentHash::add(const void *data, std::size_t size)
{
    auto p = static_cast<const unsigned char *>(data);
    m_total += size;
    if (m_pendingSize) {
        const std::size_t take = std::min(size, 32 - m_pendingSize);
        std::memcpy(m_pending + m_pendingSize, p, take);
        m_pendingSize += take;
        p += take;
        size -= take;
        if (m_pendingSize < 32)
            return;
        stripes(m_lanes, m_pending, 1);
        m_pendingSize = 0;
    }
    stripes(m_lanes, p, size / 32);
    p += size / 32 * 32;
    size %= 32;
    std::memcpy(m_pending, p, size);
    m_pendingSize = size;
}

std::uint64_t ContentHash::result() const
{
    std::uint64_t h;
    if (m_total >= 32) {
        h = rotl(m_lanes[0], 1) + rotl(m_lanes[1], 7) + rotl(m_lanes[2], 12) + rotl(m_lanes[3], 18);
        for (std::uint64_t lane : m_lanes)
            h = merge(h, lane);
    } else {
        h = kP5;
    }
    h += m_total;
    const unsigned char *p = m_pending;
    std::size_t size = m_pendingSize;
    for (; size >= 8; p += 8, size -= 8)
        h = rotl(h ^ mixRound(0, read64(p)), 27) * kP1 + kP4;
    if (size >= 4) {
        h = rotl(h ^ (std::uint64_t(read32(p)) * kP1), 23) * kP2 + kP3;
        p += 4;
        size -= 4;
    }
    for (; size > 0; ++p, --size)
        h = rotl(h ^ (*p * kP5), 11) * kP1;
    h ^= h >> 33;
    h *= kP2;
    h ^= h >> 29;
    h *= kP3;
    h ^= h >> 32;
    return h;
}

std::uint64_t hashOf(const void *data, std::size_t size)
{
    ContentHash hash;
    hash.add(data, size);
    return hash.result();
}

bool hashFile(const QString &fileName, std::uint64_t &hash)
{
    QFile file;
    try {
        openRegularFile(file, fileName);
    } catch (const EFOpenError &) {
        return false;
    }
    ContentHash h;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(buffer.data(), buffer.size());
        if (got < 0)
            return false;
        if (got == 0)
            break;
        h.add(buffer.constData(), std::size_t(got));
    }
    hash = h.result();
    return true;
}

QString sideFile(const QString &fileName, const QString &suffix, const QString &fallbackFolder)
{
    const QFileInfo info(fileName);
    if (fallbackFolder.isEmpty() || ::access(QFile::encodeName(info.absolutePath()).constData(), W_OK) == 0)
        return fileName + suffix;
    const QByteArray key =
        QCryptographicHash::hash(QFile::encodeName(info.absoluteFilePath()), QCryptographicHash::Sha1)
            .toHex();
    return fallbackFolder + QLatin1Char('/') + info.fileName() + QLatin1Char('-') +
           QString::fromLatin1(key.left(16)) + suffix;
}

bool syncFolderOf(const QString &fileName)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(fileName).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
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

} // namespace Files
