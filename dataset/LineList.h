#pragma once
// The lines of a table file in memory, each with its record ID. The file's text is kept in one
// block and lines point into it; replaced and added lines live in an arena of their own, so a
// catalogue of a million lines costs little more than its size.
//
// The line entries are kept in blocks of a few thousand with the position where each block starts,
// so inserting or deleting a line moves one block's entries, not the whole list, and a line is found
// by position or by record ID in logarithmic time. Reading along the list stays a plain array walk.

#include "Files.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
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
    int count() const { return m_count; }
    bool empty() const { return m_count == 0; }
    std::string_view at(int index) const
    {
        const Entry &e = entry(index);
        return {e.data, e.size};
    }
    std::int32_t id(int index) const { return entry(index).id; }
    // Length of the longest line read by the last load.
    std::size_t longestLoaded() const { return m_longest; }
    // Index of the line with this record ID, -1 when none has it. `hint` is tried first.
    int indexOfId(std::int32_t id, int hint) const;

    void replace(int index, std::string_view line);
    // The line gets record ID `id`, which must be unused and above the IDs of the loaded lines
    // (those are 1 to n in file order).
    void insert(int index, std::string_view line, std::int32_t id);
    void erase(int index);
    // Erases every line for which `blank` is true in one pass; returns how many went and, in
    // `first`, the index of the first of them (-1 when none).
    int eraseIf(const std::function<bool(std::string_view)> &blank, int *first = nullptr);

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
    struct Block
    {
        std::vector<Entry> entries;
        // Position of the block in m_blocks.
        int index = 0;
        // The smallest ID of a loaded line in the block, 0 when it holds added lines only. Loaded
        // lines keep their file order, so these rise from block to block.
        std::int32_t firstLoaded = 0;
    };
    // The block being read; every change forgets it.
    struct Hot
    {
        int start = 0;
        int size = 0;
        const Entry *entries = nullptr;
    };

    const Entry &entry(int index) const
    {
        const unsigned offset = unsigned(index - m_hot.start);
        if (offset < unsigned(m_hot.size))
            return m_hot.entries[offset];
        return locateEntry(index);
    }
    const Entry &locateEntry(int index) const;
    // The block holding `index` and the index's offset in it; the last block for index == count().
    int blockOf(int index, int &offset) const;
    bool isLoaded(std::int32_t id) const { return id <= m_loadedCount; }
    void newBlock(int at);
    void splitBlock(int block);
    void removeBlock(int block);
    void renumberFrom(int block);
    void updateFirstLoaded(Block &block, std::size_t from);
    void forget() { m_hot = Hot(); }
    const char *store(std::string_view line);
    void adopt(Text text, std::size_t size);
    void split();

    std::vector<std::unique_ptr<Block>> m_blocks;
    // Where each block starts, by position.
    std::vector<int> m_starts;
    int m_count = 0;
    std::int32_t m_loadedCount = 0;
    // The block of every added line, by record ID.
    std::unordered_map<std::int32_t, Block *> m_added;
    mutable Hot m_hot;
    Text m_text;
    std::size_t m_textSize = 0;
    std::vector<std::unique_ptr<char[]>> m_arena;
    std::size_t m_arenaUsed = 0;
    std::size_t m_arenaCapacity = 0;
    std::size_t m_longest = 0;
    int m_nulLine = 0;
};
