#pragma once
// The changes made to a catalogue since it was last read or saved, one line each, appended to a
// file beside it as they are posted, so that a crash between two saves loses none of them. The
// first line names the catalogue text the changes apply to (its size and hash); a successful save
// removes the file.
//
// A power cut loses at most the last second of changes: a line goes to the disk (fdatasync) at once
// when the last sync is a second old or more, and otherwise within the second, by a timer of the
// thread's event loop, so that a burst of edits costs one sync and not one each.
//
//   CINAXO JOURNAL 1 <size> <hash>
//   R <index> <line>      the line at index was replaced
//   I <index> <line>      a line was inserted in front of index
//   D <index>             the line at index was deleted

#include "LineList.h"

#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QTimer;

class Journal
{
public:
    using Clock = std::chrono::steady_clock;
    // The longest a recorded line waits before it is synced to the disk.
    static constexpr std::chrono::milliseconds kSyncDelay{1000};

    enum class Op : char { Replace = 'R', Insert = 'I', Delete = 'D' };
    struct Entry
    {
        Op op;
        int index;
        std::string line;
    };

    Journal();
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
    // Appends one change and hands it to the system; syncs it as the header says. Throws EWriteError
    // when it cannot; recording then stops.
    void record(Op op, int index, std::string_view line = {});
    // Syncs the lines not yet synced, now. A failure is reported through the error handler.
    void sync();
    // Whether recorded lines wait for their sync; how many syncs of lines were made.
    bool syncPending() const { return m_unsynced; }
    int syncCount() const { return m_syncs; }
    // Tests set the clock; none: the steady clock.
    void setClock(std::function<Clock::time_point()> clock) { m_clock = std::move(clock); }
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
    Clock::time_point now() const { return m_clock ? m_clock() : Clock::now(); }
    bool syncLines();
    void syncLater();

    QString m_fileName;
    FileState m_base;
    int m_fd = -1;
    bool m_append = false;
    bool m_unsynced = false;
    int m_syncs = 0;
    Clock::time_point m_lastSync;
    std::function<Clock::time_point()> m_clock;
    std::unique_ptr<QTimer> m_timer;
};
