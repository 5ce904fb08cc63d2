#pragma once
// The flat-file table engine: a text file held in memory, one record per line, with fixed-width
// lines (TFixedFormatDataSet) or delimited ones (TSdfDataSet), written back whole at close.

#include "DataSet.h"
#include "Journal.h"
#include "LineList.h"

#include <QString>
#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One line that a post, an add, a delete or DropBlankLines changed: `before` is the line it
// replaced or deleted, `after` the line it stored.
struct LineChange
{
    enum class Kind { Insert, Replace, Delete };
    Kind kind;
    int index;
    std::int32_t recordId;
    std::string before;
    std::string after;
};

class TFixedFormatDataSet : public TDataSet
{
    Q_OBJECT
    Q_PROPERTY(bool FileMustExist READ FileMustExist WRITE setFileMustExist)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE setReadOnly)
    Q_PROPERTY(QString FileName READ FileName WRITE setFileName)
    Q_PROPERTY(bool TrimSpace READ TrimSpace WRITE setTrimSpace)

public:
    explicit TFixedFormatDataSet(QObject *parent = nullptr);
    ~TFixedFormatDataSet() override;

    bool FileMustExist() const { return m_fileMustExist; }
    void setFileMustExist(bool value);
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool value);
    const QString &FileName() const { return m_fileName; }
    void setFileName(const QString &value);
    bool TrimSpace() const { return m_trimSpace; }
    void setTrimSpace(bool value);
    const std::vector<std::string> &Schema() const { return m_schema; }
    void setSchema(std::vector<std::string> schema);
    // Loads Schema from a text file, one column per line.
    void LoadSchemaFromFile(const QString &fileName);

    // Maintenance; they work on an open dataset.
    void DropBlankLines();
    void RewriteAllLines();
    void SaveUnderName(const QString &fileName);

    bool Changed() const { return m_changed; }
    // Forgets that anything changed, so that closing writes nothing; the journal goes too.
    void DiscardChanges();

    // The safety net around the file, switched on by the program.
    // Where a copy of the old file goes before it is written in place, when no temporary file can
    // be made beside it; the user's data folder when empty.
    QString BackupFolder() const;
    void setBackupFolder(const QString &folder) { m_backupFolder = folder; }
    // After a save in place failed: the copy of the old file; empty otherwise.
    const QString &BackupCopy() const { return m_backupCopy; }
    // Hears of a file the dataset is about to write over, before it writes (Close, RewriteAllLines,
    // SaveUnderName); none when empty.
    void setBeforeWrite(std::function<void(const QString &fileName)> hook)
    {
        m_beforeWrite = std::move(hook);
    }
    // Keeps a journal of every posted change beside the file until the next save (closed only).
    bool JournalEnabled() const { return m_journalEnabled; }
    void setJournalEnabled(bool value);
    const QString &JournalFileName() const { return m_journalFile; }
    // After an open: the changes of an earlier run that ended without saving them.
    int PendingJournalChanges() const { return int(m_pendingJournal.size()); }
    // Applies them to the lines as that run left them; they count as changes. Returns how many
    // applied.
    int ApplyJournal();
    // Gives them up: the journal is deleted.
    void DiscardJournal();
    // After an open: a journal that was found but belongs to another text of the file, kept under
    // this name; empty when there was none.
    const QString &ForeignJournal() const { return m_foreignJournal; }
    // The file on disk is no longer the text that was read or last written: another program
    // changed or replaced it.
    bool FileChangedOnDisk() const;
    // The 1-based line in which a NUL ended the text at the open; 0 when none did.
    int NulLine() const { return m_lines.nulLine(); }
    int LineCount() const { return m_lines.count(); }
    std::string_view Line(int index) const { return m_lines.at(index); }
    std::int32_t LineRecordId(int index) const { return m_lines.id(index); }
    int Cursor() const { return m_cursor; }
    int RecordWidth() const { return m_recordWidth; }
    // The line that has a record ID, or -1.
    int LineIndexOfId(std::int32_t recordId) const { return m_lines.indexOfId(recordId, m_cursor); }

    // Hears of every line that a post, an add, a delete or DropBlankLines changes, after the change
    // (not of the line operations below, nor of an applied journal); none when empty.
    void setLineObserver(std::function<void(const LineChange &)> observer)
    {
        m_observer = std::move(observer);
    }
    // Line operations for taking changes back and doing them again, in the browse state of a dataset
    // that may be changed: journalled, counted as changes and shown like any other. The line becomes
    // the active record (after a delete, the one that took its place). An inserted line gets a new
    // record ID, which InsertLineAt returns.
    void ReplaceLineAt(int index, std::string_view line);
    std::int32_t InsertLineAt(int index, std::string_view line);
    void DeleteLineAt(int index);

    // The conversions between a line and a record text of RecordWidth() bytes.
    virtual void LineToRecord(std::string_view line, char *recordText) const;
    virtual std::string RecordToLine(const char *recordText) const;

    bool ReadRecordAt(int row, char *buffer) override;
    std::string FieldValueIn(const char *buffer, const TField &field) const override;
    int ActiveRow() const override;
    int RowCount() const override { return std::max(0, m_lines.count() - FirstRecordLine()); }
    std::string_view StoredRecordAt(int row) const override;
    void StoredValues(std::string_view stored, std::string_view *values, int count) const override;

protected:
    void OpenStore() override;
    void CloseStore() override;
    bool IsStoreOpen() const override;
    int RecordBufferSize() const override { return m_bufferSize; }
    void ClearRecord(char *buffer) override;
    void ClearCalcArea(char *buffer) override;
    FetchResult FetchRecord(char *buffer, FetchMode mode, bool check) override;
    void MoveToFirst() override { m_cursor = -1; }
    void MoveToLast() override { m_cursor = m_lines.count(); }
    void GotoRecordId(std::int32_t recordId) override;
    void SyncToBuffer(const char *buffer) override;
    RecordFlag GetRecordFlag(const char *buffer) const override;
    void SetRecordFlag(char *buffer, RecordFlag flag) override;
    std::int32_t RecordIdOf(const char *buffer) const override;
    void GetBookmarkArea(const char *buffer, char *bookmark) const override;
    void SetBookmarkArea(char *buffer, const char *bookmark) override;
    int RecordTotal() const override { return m_lines.count(); }
    void SetCursorRow(int row) override { m_cursor = row + FirstRecordLine(); }
    int GetRecordNumber() const override;
    void SetRecordNumber(int recNo) override;
    bool IsModifiable() const override { return !m_readOnly; }
    bool ReadField(const TField &field, std::string *value) override;
    void WriteField(TField &field, const std::string &value) override;
    void PostRecord() override;
    void AddLine(char *buffer, bool append) override;
    void DeleteLine() override;
    bool SearchRecord(const std::string &keyFields, const std::vector<std::string> &keyValues,
                      bool valuesAreList, TLocateOptions options) override;

    // Builds FieldDefs and the record width from Schema and the lines (run at open).
    virtual void BuildFieldDefs();
    // Refuses a value that would not read back from the file as it was written.
    virtual void CheckStorable(const TField &field, std::string_view value) const;
    // The line that holds the first record (the delimited format may keep a header line).
    virtual int FirstRecordLine() const { return 0; }
    FetchResult FetchOnce(char *buffer, FetchMode mode);

    const LineList &Lines() const { return m_lines; }
    int DefaultWidth() const;
    int SlotStart(int fieldNo) const { return m_slotStart[std::size_t(fieldNo - 1)]; }

    std::vector<std::string> m_schema;
    QString m_fileName;
    bool m_fileMustExist = true;
    bool m_readOnly = false;
    bool m_trimSpace = true;
    LineList m_lines;
    int m_cursor = -1;
    int m_recordWidth = 0;

private:
    // Tell the views which records changed, by line index.
    void lineInserted(int index);
    void lineRemoved(int index);
    void lineReplaced(int index);
    char *ActiveRecordBuffer() const;
    std::string_view SlotValue(const char *recordText, int fieldNo) const;
    void CheckRecordStorable(const char *recordText) const;

    char *m_filterBuffer = nullptr;
    int m_bufferSize = 0;
    std::int32_t m_lastRecordId = 0;
    int m_recInfoOffset = 0;
    int m_bookmarkOffset = 0;
    bool m_changed = false;
    std::vector<int> m_slotStart;

    void Journalize(Journal::Op op, int index, std::string_view line = {});
    void Observe(LineChange::Kind kind, int index, std::int32_t recordId, std::string before,
                 std::string_view after = {});
    void CheckLineOperation(int index, int end);
    void ShowLine(int index);
    std::function<void(const LineChange &)> m_observer;
    std::function<void(const QString &)> m_beforeWrite;
    void StartJournal();
    void SetPendingJournalAside();
    FileState m_fileState;
    QString m_backupFolder;
    QString m_backupCopy;
    bool m_journalEnabled = false;
    QString m_journalFile;
    Journal m_journal;
    std::vector<Journal::Entry> m_pendingJournal;
    QString m_foreignJournal;
};

class TSdfDataSet : public TFixedFormatDataSet
{
    Q_OBJECT
    Q_PROPERTY(char Delimiter READ Delimiter WRITE setDelimiter)
    Q_PROPERTY(bool FirstLineAsSchema READ FirstLineAsSchema WRITE setFirstLineAsSchema)

public:
    explicit TSdfDataSet(QObject *parent = nullptr);
    ~TSdfDataSet() override;

    char Delimiter() const { return m_delimiter; }
    void setDelimiter(char value);
    bool FirstLineAsSchema() const { return m_firstLineAsSchema; }
    void setFirstLineAsSchema(bool value);

    void LineToRecord(std::string_view line, char *recordText) const override;
    std::string RecordToLine(const char *recordText) const override;
    void StoredValues(std::string_view stored, std::string_view *values, int count) const override;

protected:
    void BuildFieldDefs() override;
    void CheckStorable(const TField &field, std::string_view value) const override;
    FetchResult FetchRecord(char *buffer, FetchMode mode, bool check) override;
    int FirstRecordLine() const override { return m_firstLineAsSchema ? 1 : 0; }

private:
    char m_delimiter = ',';
    bool m_firstLineAsSchema = false;
};
