#include "Journal.h"

#include "Errors.h"
#include "Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <unistd.h>

namespace {
const std::string_view kMagic = "CINAXO JOURNAL 1 ";

template <typename T> bool parseNumber(std::string_view &text, T &value, int base = 10)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end == text.data())
        return false;
    text.remove_prefix(std::size_t(end - text.data()));
    return true;
}
} // namespace

Journal::Journal() = default;

Journal::~Journal()
{
    stop();
}

QString Journal::fileFor(const QString &catalogue, const QString &fallbackFolder)
{
    return Files::sideFile(catalogue, QStringLiteral(".journal"), fallbackFolder);
}

void Journal::start(const QString &fileName, const FileState &base, bool append)
{
    stop();
    m_fileName = fileName;
    m_base = base;
    m_append = append;
}

void Journal::stop()
{
    if (m_timer)
        m_timer->stop();
    if (m_fd >= 0) {
        // The file stays: what it holds must reach the disk as well.
        if (m_unsynced)
            syncLines();
        ::close(m_fd);
    }
    m_fd = -1;
    m_unsynced = false;
    m_fileName.clear();
}

bool Journal::syncLines()
{
    m_unsynced = false;
    m_lastSync = now();
    ++m_syncs;
    return ::fdatasync(m_fd) == 0;
}

void Journal::sync()
{
    if (m_timer)
        m_timer->stop();
    if (m_fd < 0 || !m_unsynced)
        return;
    if (!syncLines())
        handleException(EWriteError("Stream write error"));
}

void Journal::syncLater()
{
    if (!m_timer) {
        m_timer = std::make_unique<QTimer>();
        m_timer->setSingleShot(true);
        m_timer->callOnTimeout([this] { sync(); });
    }
    if (m_timer->isActive())
        return;
    const auto due = std::chrono::ceil<std::chrono::milliseconds>(m_lastSync + kSyncDelay - now());
    m_timer->start(std::clamp(due, std::chrono::milliseconds(0), kSyncDelay));
}

void Journal::open()
{
    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
    const QByteArray path = QFile::encodeName(m_fileName);
    const int flags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | (m_append ? 0 : O_TRUNC);
    m_fd = ::open(path.constData(), flags, 0644);
    if (m_fd < 0)
        throw EWriteError("Cannot create file " + m_fileName.toStdString());
    if (m_append) {
        // A line cut off by a crash is dropped, so that the next one starts on a line of its own.
        QFile file;
        const int readFd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        QByteArray bytes;
        if (readFd >= 0 && file.open(readFd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
            bytes = file.readAll();
        else if (readFd >= 0)
            ::close(readFd);
        const qsizetype end = bytes.lastIndexOf('\n') + 1;
        if (end == 0 || ::ftruncate(m_fd, off_t(end)) != 0)
            m_append = false;
    }
    if (!m_append) {
        if (::ftruncate(m_fd, 0) != 0)
            throw EWriteError("Stream write error");
        char hex[17];
        const auto end = std::to_chars(hex, hex + 16, m_base.hash, 16).ptr;
        const std::string header =
            std::string(kMagic) + std::to_string(m_base.stamp.size) + ' ' + std::string(hex, end) + '\n';
        if (!Files::writeAll(m_fd, header.data(), header.size()))
            throw EWriteError("Stream write error");
        // The journal's name must survive a crash as well as its lines.
        ::fsync(m_fd);
        Files::syncFolderOf(m_fileName);
    }
    m_lastSync = now();
}

void Journal::record(Op op, int index, std::string_view line)
{
    if (!active())
        return;
    try {
        if (m_fd < 0)
            open();
        std::string text;
        text.reserve(line.size() + 16);
        text += char(op);
        text += ' ';
        text += std::to_string(index);
        if (op != Op::Delete) {
            text += ' ';
            text += line;
        }
        text += '\n';
        if (!Files::writeAll(m_fd, text.data(), text.size()))
            throw EWriteError("Stream write error");
        m_unsynced = true;
        if (now() - m_lastSync >= kSyncDelay) {
            if (m_timer)
                m_timer->stop();
            if (!syncLines())
                throw EWriteError("Stream write error");
        } else {
            syncLater();
        }
    } catch (...) {
        stop();
        throw;
    }
}

void Journal::remove()
{
    const QString name = m_fileName;
    // Going anyway: no need for its lines to reach the disk.
    m_unsynced = false;
    stop();
    if (!name.isEmpty())
        QFile::remove(name);
}

Journal::Contents Journal::read(const QString &fileName)
{
    Contents contents;
    QFile file(fileName);
    if (!file.exists())
        return contents;
    QByteArray bytes;
    try {
        Files::openRegularFile(file, fileName);
        bytes = file.readAll();
    } catch (const EFOpenError &) {
        return contents;
    }
    std::string_view text(bytes.constData(), std::size_t(bytes.size()));
    contents.exists = true;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            break; // cut off by a crash while it was written
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (first) {
            first = false;
            if (line.substr(0, kMagic.size()) != kMagic)
                return contents;
            line.remove_prefix(kMagic.size());
            std::int64_t size;
            std::uint64_t hash;
            if (!parseNumber(line, size) || line.empty() || line.front() != ' ')
                return contents;
            line.remove_prefix(1);
            if (!parseNumber(line, hash, 16) || !line.empty())
                return contents;
            contents.baseSize = size;
            contents.baseHash = hash;
            continue;
        }
        if (line.size() < 3 || line[1] != ' ')
            break;
        const auto op = Op(line[0]);
        if (op != Op::Replace && op != Op::Insert && op != Op::Delete)
            break;
        line.remove_prefix(2);
        int index;
        if (!parseNumber(line, index))
            break;
        if (op == Op::Delete) {
            if (!line.empty())
                break;
        } else {
            if (line.empty() || line.front() != ' ')
                break;
            line.remove_prefix(1);
        }
        contents.entries.push_back({op, index, std::string(line)});
    }
    return contents;
}

int Journal::apply(const std::vector<Entry> &entries, LineList &lines, std::int32_t &nextId)
{
    int applied = 0;
    for (const Entry &e : entries) {
        const bool inside =
            e.index >= 0 && (e.op == Op::Insert ? e.index <= lines.count() : e.index < lines.count());
        if (!inside)
            break;
        switch (e.op) {
        case Op::Replace:
            lines.replace(e.index, e.line);
            break;
        case Op::Insert:
            lines.insert(e.index, e.line, ++nextId);
            break;
        case Op::Delete:
            lines.erase(e.index);
            break;
        }
        ++applied;
    }
    return applied;
}
