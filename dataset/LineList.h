#pragma once
// The lines of a table file in memory, each with its record ID. The file's text is kept in one
// block and lines point into it; replaced and added lines live in an arena of their own, so a
// catalogue of a million lines costs little more than its size.

#include "Files.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A file as it was read or written: enough to tell later whether it is still the same.
struct FileState
{
    Files::Stamp stamp;
    std::uint64_t hash = 0;
};

class LineList
{
public:
    // Reads a whole regular file: lines end at CR, LF or CR LF, and a NUL ends the text.
    // Throws EFOpenError "Cannot open file %s" when it cannot be read.
    FileState load(const QString &fileName);
    void loadText(std::string_view text);
    // The 1-based number of the line in which a NUL ended the text at the last load; 0 when none did.
    int nulLine() const { return m_nulLine; }

    void clear();
    int count() const { return int(m_entries.size()); }
    bool empty() const { return m_entries.empty(); }
    std::string_view at(int index) const
    {
        const Entry &e = m_entries[std::size_t(index)];
        return {e.data, e.size};
    }
    std::int32_t id(int index) const { return m_entries[std::size_t(index)].id; }
    // Length of the longest line read by the last load.
    std::size_t longestLoaded() const { return m_longest; }
    // Index of the line with this record ID, -1 when none has it. `hint` is tried first.
    int indexOfId(std::int32_t id, int hint) const;

    void replace(int index, std::string_view line);
    void insert(int index, std::string_view line, std::int32_t id);
    void erase(int index);

    // Writes every line followed by CR LF through a temporary file that replaces `fileName` only
    // when all was written, keeping the old file's owner, group and mode. Throws EFCreateError or
    // EWriteError; the old file then stays as it was.
    // When no temporary file can be made beside a writable `fileName`, the old file is first copied
    // into `backupFolder` (its name goes to `*backup`), then written in place; the copy is removed
    // again once the new text is complete.
    FileState save(const QString &fileName, const QString &backupFolder = QString(),
                   QString *backup = nullptr) const;

private:
    struct FreeText
    {
        void operator()(char *p) const;
    };
    using Text = std::unique_ptr<char, FreeText>;
    static Text allocateText(std::size_t size);

    struct Entry
    {
        const char *data;
        std::uint32_t size;
        std::int32_t id;
    };
    const char *store(std::string_view line);
    void adopt(Text text, std::size_t size);
    void split();

    std::vector<Entry> m_entries;
    Text m_text;
    std::size_t m_textSize = 0;
    std::vector<std::unique_ptr<char[]>> m_arena;
    std::size_t m_arenaUsed = 0;
    std::size_t m_arenaCapacity = 0;
    std::size_t m_longest = 0;
    int m_nulLine = 0;
};
