#pragma once
// The changes made to a catalogue since it was last read or saved, one line each, appended to a
// file beside it as they are posted, so that a crash between two saves loses none of them. The
// first line names the catalogue text the changes apply to (its size and hash); a successful save
// removes the file.
//
//   CINAXO JOURNAL 1 <size> <hash>
//   R <index> <line>      the line at index was replaced
//   I <index> <line>      a line was inserted in front of index
//   D <index>             the line at index was deleted

#include "LineList.h"

#include <QString>
#include <string>
#include <string_view>
#include <vector>

class Journal
{
public:
    enum class Op : char { Replace = 'R', Insert = 'I', Delete = 'D' };
    struct Entry
    {
        Op op;
        int index;
        std::string line;
    };

    Journal() = default;
    ~Journal();
    Journal(const Journal &) = delete;
    Journal &operator=(const Journal &) = delete;

    // The journal's file for a catalogue: beside it, or in `fallbackFolder` when its folder cannot
    // be written.
    static QString fileFor(const QString &catalogue, const QString &fallbackFolder);

    // Records from now on against the catalogue text `base`, in `fileName`; the file is made at the
    // first record. Appending to an existing journal of the same text goes on after its entries.
    void start(const QString &fileName, const FileState &base, bool append = false);
    // Stops recording and closes the file, which stays.
    void stop();
    bool active() const { return !m_fileName.isEmpty(); }
    const QString &fileName() const { return m_fileName; }
    // Appends one change and hands it to the system. Throws EWriteError when it cannot; recording
    // then stops.
    void record(Op op, int index, std::string_view line = {});
    // Deletes the file (after a save, or when the user gave the changes up) and stops recording.
    void remove();

    // What lies in a journal file.
    struct Contents
    {
        bool exists = false;
        // The catalogue text the entries apply to.
        std::int64_t baseSize = -1;
        std::uint64_t baseHash = 0;
        std::vector<Entry> entries;
        bool appliesTo(const FileState &state) const
        {
            return exists && baseSize == state.stamp.size && baseHash == state.hash;
        }
    };
    // A line cut off by a crash at the end of the file is left out.
    static Contents read(const QString &fileName);
    // Applies the entries in order; returns how many applied (an entry whose index lies outside the
    // lines, and all after it, do not). `nextId` numbers the inserted lines.
    static int apply(const std::vector<Entry> &entries, LineList &lines, std::int32_t &nextId);

private:
    void open();

    QString m_fileName;
    FileState m_base;
    int m_fd = -1;
    bool m_append = false;
};
