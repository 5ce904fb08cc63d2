#pragma once
// The dataset framework: states, events, the record buffers and the call orders that a table engine
// is driven by. The engine derives from TDataSet and provides the protected operations.
//
// The framework keeps one record buffer for the active row (plus a spare one that a fetch fills
// before it is accepted). Views that show many rows read them by position through ReadRecordAt,
// which leaves the cursor alone.

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "DbErrors.h"
#include "Fields.h"

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsCalcFields, dsFilter, dsBlockRead };
enum class TDataAction { daFail, daAbort, daRetry };
enum class FetchMode { Current, Next, Prior };
enum class FetchResult { Ok, Bof, Eof, Error };

struct TLocateOptions
{
    bool caseInsensitive = false;
    bool partialKey = false;
};

class TDataSet;
using TDataSetNotifyEvent = std::function<void(TDataSet &)>;
using TDataSetErrorEvent = std::function<void(TDataSet &, const EDatabaseError &, TDataAction &)>;
using TFilterRecordEvent = std::function<void(TDataSet &, bool &accept)>;

class TDataSet : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE setActive)
    Q_PROPERTY(bool AutoCalcFields READ AutoCalcFields WRITE setAutoCalcFields)
    Q_PROPERTY(bool Filtered READ Filtered WRITE setFiltered)

public:
    // Record flags kept in each buffer: which record the buffer stands for.
    enum RecordFlag : std::uint8_t { rfCurrent = 0, rfBof = 1, rfEof = 2, rfInserted = 3 };

    explicit TDataSet(QObject *parent = nullptr);
    ~TDataSet() override;

    bool Active() const { return m_state != TDataSetState::dsInactive; }
    void setActive(bool active);
    void Open() { setActive(true); }
    void Close() { setActive(false); }
    TDataSetState State() const { return m_state; }

    bool AutoCalcFields() const { return m_autoCalcFields; }
    void setAutoCalcFields(bool value) { m_autoCalcFields = value; }
    bool Filtered() const { return m_filtered; }
    void setFiltered(bool value) { m_filtered = value; }

    // Navigation.
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    int MoveBy(int distance);
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }
    bool IsEmpty() const { return m_recordCount == 0; }
    int RecordCount() const;
    int RecNo() const;
    void setRecNo(int recNo);
    // A bookmark is the record ID of the active record; 0 when there is none.
    std::int32_t GetBookmark() const;
    void GotoBookmark(std::int32_t bookmark);

    // Editing.
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    // One-call adds: the values are written into the data fields in order and the record is stored.
    void InsertRecord(const std::vector<std::string> &values);
    void AppendRecord(const std::vector<std::string> &values);
    void CheckBrowseMode();
    void UpdateRecord();
    bool Modified() const { return m_modified; }
    bool CanModify() { return Active() && IsModifiable(); }

    bool Locate(const std::string &keyFields, const std::string &keyValue, TLocateOptions options);
    bool Locate(const std::string &keyFields, const std::vector<std::string> &keyValues,
                TLocateOptions options);

    // While disabled, no change signal reaches the controls; enabling again sends one.
    void DisableControls() { ++m_disableCount; }
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    // Fields.
    TFieldDefs &FieldDefs() { return m_fieldDefs; }
    const TFieldDefs &FieldDefs() const { return m_fieldDefs; }
    int FieldCount() const { return int(m_fields.size()); }
    TField *Fields(int index) const;
    TField *FindField(const std::string &name) const;
    TField &FieldByName(const std::string &name) const;
    // A calculated field that lives across opens; only while the dataset is closed.
    TField &AddCalculatedField(const std::string &name, int size, TFieldKind kind = TFieldKind::fkCalculated);
    // Changes whenever field objects are made or dropped, so that a view that keeps pointers to
    // fields knows to look them up again.
    unsigned FieldsGeneration() const { return m_fieldsGeneration; }

    // Reading by position for views: record `row` (0-based, in file order) into a buffer of the
    // caller's, without moving the cursor. False outside the records.
    std::unique_ptr<char[]> NewRowBuffer() const;
    virtual bool ReadRecordAt(int row, char *buffer) = 0;
    // The text of a data field in a buffer filled by ReadRecordAt.
    virtual std::string FieldValueIn(const char *buffer, const TField &field) const = 0;
    // Position of the active record among all records, -1 when there is none. While a record is
    // inserted, the row it shows in.
    virtual int ActiveRow() const = 0;
    // Number of records that can be read by position.
    virtual int RowCount() const = 0;
    // Makes the record at position `row` the active one (ending an edit first), as a view does
    // when the user picks a row.
    void MoveToRow(int row);
    // The stored form of the records, for views that look through many of them without decoding
    // any: the bytes of the record at position `row` (empty outside the records), valid until the
    // records change...
    virtual std::string_view StoredRecordAt(int row) const = 0;
    // ...and the values of data fields 1 to `count` in them, as the fields read them (empty where
    // a record has none), pointing into `stored`.
    virtual void StoredValues(std::string_view stored, std::string_view *values, int count) const = 0;

    // Events.
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent BeforeRefresh, AfterRefresh;
    TDataSetNotifyEvent OnCalcFields, OnNewRecord;
    TDataSetErrorEvent OnDeleteError, OnEditError, OnPostError;
    TFilterRecordEvent OnFilterRecord;

    // Field reads and writes; used by TField.
    bool GetFieldData(const TField &field, std::string *value);
    void SetFieldData(TField &field, const std::string &value);

signals:
    void stateChanged();
    // The records shown changed: open, close, scroll, post, cancel, delete.
    void dataSetChanged();
    // A field of the record being edited changed; null when the whole record did.
    void recordChanged(TField *field);
    void updateRecordRequested();
    // The fields' visibility changed.
    void layoutChanged();
    // A record was stored at, removed from or replaced at a position (as ReadRecordAt counts).
    // Views hear these even while the controls are disabled, so that their rows stay right.
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowUpdated(int row);
    // Records changed all over at once (a maintenance operation): views read them all again.
    void rowsReset();

protected:
    // The engine's operations.
    virtual void OpenStore() = 0;
    virtual void CloseStore() = 0;
    virtual bool IsStoreOpen() const = 0;
    virtual int RecordBufferSize() const = 0;
    virtual void ClearRecord(char *buffer) = 0;
    virtual void ClearCalcArea(char *buffer) = 0;
    virtual FetchResult FetchRecord(char *buffer, FetchMode mode, bool check) = 0;
    virtual void MoveToFirst() = 0;
    virtual void MoveToLast() = 0;
    virtual void GotoRecordId(std::int32_t recordId) = 0;
    virtual void SyncToBuffer(const char *buffer) = 0;
    virtual RecordFlag GetRecordFlag(const char *buffer) const = 0;
    virtual void SetRecordFlag(char *buffer, RecordFlag flag) = 0;
    virtual std::int32_t RecordIdOf(const char *buffer) const = 0;
    virtual void GetBookmarkArea(const char *buffer, char *bookmark) const = 0;
    virtual void SetBookmarkArea(char *buffer, const char *bookmark) = 0;
    virtual int RecordTotal() const = 0;
    // Puts the cursor on the record at position `row`.
    virtual void SetCursorRow(int row) = 0;
    virtual int GetRecordNumber() const = 0;
    virtual void SetRecordNumber(int recNo) = 0;
    virtual bool IsModifiable() const = 0;
    virtual bool ReadField(const TField &field, std::string *value) = 0;
    virtual void WriteField(TField &field, const std::string &value) = 0;
    virtual void PostRecord() = 0;
    virtual void AddLine(char *buffer, bool append) = 0;
    virtual void DeleteLine() = 0;
    virtual bool SearchRecord(const std::string &keyFields, const std::vector<std::string> &keyValues,
                              bool valuesAreList, TLocateOptions options) = 0;

    // What the engine may use of the framework.
    void CheckInactive() const;
    void HandleError(const std::exception &error) { handleException(error); }
    // The active row's buffer; null when the dataset shows no record.
    char *ActiveRowBuffer() const { return m_recordCount > 0 ? m_buffer.get() : nullptr; }
    char *CalcBuffer() const { return m_calcBuffer; }
    int CalcFieldsSize() const { return m_calcFieldsSize; }
    bool HasCalcFields() const { return m_calcFieldsSize > 0; }
    // Creates the data fields from the definitions (after the calculated ones' area is known).
    void CreateFields();
    void CalculateFields(char *buffer);
    // Runs the filter event on the record the engine has put into its filter buffer.
    bool RunFilter();
    void Resync();
    void DoBeforeScroll() { fire(BeforeScroll); }
    void DoAfterScroll() { fire(AfterScroll); }
    // Called by the engine after a field write outside the calculating and filter states.
    void FieldChanged(TField &field);
    // Derived destructors close the dataset while their operations still exist.
    void DestroyDataSet() noexcept;
    void DataSetChanged();

private:
    void fire(const TDataSetNotifyEvent &event)
    {
        if (event)
            event(*this);
    }
    void setState(TDataSetState state);
    void openCursor();
    void closeCursor();
    void freeFields();
    void beginInsertAppend(bool append);
    void checkActive() const;
    void checkCanModify();
    void syncForWrite();
    bool fetchInto(char *buffer, FetchMode mode);
    void acceptSpare();
    void checkOperation(const std::function<void()> &operation, const TDataSetErrorEvent &errorEvent);
    void addRecord(const std::vector<std::string> &values, bool append);
    bool locate(const std::string &keyFields, const std::vector<std::string> &keyValues, bool valuesAreList,
                TLocateOptions options);

    TDataSetState m_state = TDataSetState::dsInactive;
    bool m_autoCalcFields = true;
    bool m_filtered = false;
    bool m_bof = true;
    bool m_eof = true;
    bool m_modified = false;
    // True while the engine's cursor stands on the active row's record.
    bool m_cursorOnBuffer = false;
    int m_recordCount = 0;
    int m_disableCount = 0;
    bool m_changedWhileDisabled = false;
    int m_calcFieldsSize = 0;
    unsigned m_fieldsGeneration = 0;
    std::unique_ptr<char[]> m_buffer;
    std::unique_ptr<char[]> m_spare;
    char *m_calcBuffer = nullptr;
    TFieldDefs m_fieldDefs;
    // Data fields first (created at every open), then the calculated ones.
    std::vector<TField *> m_fields;
    std::vector<std::unique_ptr<TField>> m_dataFields;
    std::vector<std::unique_ptr<TField>> m_calcFields;
};
