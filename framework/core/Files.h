#pragma once
// File services the program's data relies on: opening only regular files, telling whether a file
// is still the one that was read, and making a rename last through a power cut.

#include <QString>
#include <cstddef>
#include <cstdint>

class QFile;

namespace Files {

// Opens `fileName` for reading when it is a regular file. A FIFO or a device is refused without
// waiting for a writer or reading it. Throws EFOpenError "Cannot open file %s" when the file cannot
// be opened, with ": it is not a regular file" added when it is something else.
void openRegularFile(QFile &file, const QString &fileName);

// What the file system says about a file, to notice that it was changed or replaced.
struct Stamp
{
    bool exists = false;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;

    bool operator==(const Stamp &) const = default;
};
Stamp stampOf(const QString &fileName);
// The stamp of an open file descriptor.
Stamp stampOf(int fd);

// A fast 64-bit hash of a byte stream (the xxHash64 scheme), fed in pieces of any size.
class ContentHash
{
public:
    void add(const void *data, std::size_t size);
    std::uint64_t result() const;

private:
    std::uint64_t m_lanes[4] = {0x60EA27EEADC0B5D6ull, 0xC2B2AE3D27D4EB4Full, 0ull, 0x61C8864E7A143579ull};
    unsigned char m_pending[32] = {};
    std::size_t m_pendingSize = 0;
    std::uint64_t m_total = 0;
};
std::uint64_t hashOf(const void *data, std::size_t size);
// The hash of a regular file's bytes; false when it cannot be read.
bool hashFile(const QString &fileName, std::uint64_t &hash);

// A file that goes with `fileName` (its lock, its journal): `fileName` + `suffix` beside it, or, when
// its folder cannot be written, a name made from its full path in `fallbackFolder`.
QString sideFile(const QString &fileName, const QString &suffix, const QString &fallbackFolder);

// Writes all `size` bytes to `fd`, going on after an interrupted or partial write; false on an error.
bool writeAll(int fd, const char *data, std::size_t size);

// Makes a rename or a new name in the folder of `fileName` durable.
bool syncFolderOf(const QString &fileName);

} // namespace Files
