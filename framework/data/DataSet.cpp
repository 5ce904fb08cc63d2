#include "DataSet.h"

#include "Codec.h"

#include <cstring>
#include <unordered_set>

namespace {
bool isWriteState(TDataSetState state)
{
    return state == TDataSetState::dsEdit || state == TDataSetState::dsInsert;
}
} // namespace

TDataSet::TDataSet(QObject *parent) : QObject(parent) {}

TDataSet::~TDataSet() = default;

void TDataSet::DestroyDataSet() noexcept
{
    try {
        setActive(false);
    } catch (const std::exception &error) {
        handleException(error);
    }
}

void TDataSet::setState(TDataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    if (!ControlsDisabled())
        emit stateChanged();
}

void TDataSet::DataSetChanged()
{
    if (ControlsDisabled())
        m_changedWhileDisabled = true;
    else
        emit dataSetChanged();
}

void TDataSet::EnableControls()
{
    if (m_disableCount > 0 && --m_disableCount == 0 && m_changedWhileDisabled) {
        m_changedWhileDisabled = false;
        emit stateChanged();
        emit dataSetChanged();
    }
}

void TDataSet::CheckInactive() const
{
    if (Active())
        DatabaseError("Cannot perform this operation on an open dataset", this);
}

void TDataSet::checkActive() const
{
    if (!Active())
        DatabaseError("Cannot perform this operation on a closed dataset", this);
}

void TDataSet::checkCanModify()
{
    if (!IsModifiable())
        DatabaseError("Cannot modify a read-only dataset", this);
}

void TDataSet::setActive(bool active)
{
    if (active == Active())
        return;
    if (active) {
        fire(BeforeOpen);
        openCursor();
        setState(TDataSetState::dsBrowse);
        MoveToFirst();
        m_recordCount = fetchInto(m_buffer.get(), FetchMode::Next) ? 1 : 0;
        m_cursorOnBuffer = m_recordCount > 0;
        m_bof = true;
        m_eof = m_recordCount == 0;
        m_modified = false;
        fire(AfterOpen);
        DataSetChanged();
    } else {
        fire(BeforeClose);
        // Pending changes of an edit are dropped, as when the dataset is closed by its owner.
        setState(TDataSetState::dsBrowse);
        // A failed save keeps the dataset open with all its lines, so the caller can try again.
        CloseStore();
        closeCursor();
        setState(TDataSetState::dsInactive);
        fire(AfterClose);
        DataSetChanged();
    }
}

void TDataSet::openCursor()
{
    int offset = 0;
    for (auto &field : m_calcFields) {
        field->setOffset(offset);
        offset += field->Size() + 1;
    }
    m_calcFieldsSize = offset;
    try {
        OpenStore();
        const auto size = std::size_t(RecordBufferSize());
        m_buffer = std::make_unique<char[]>(size);
        m_spare = std::make_unique<char[]>(size);
    } catch (...) {
        try {
            CloseStore();
        } catch (...) {
        }
        closeCursor();
        throw;
    }
}

void TDataSet::closeCursor()
{
    m_buffer.reset();
    m_spare.reset();
    m_calcBuffer = nullptr;
    m_recordCount = 0;
    m_cursorOnBuffer = false;
    m_bof = m_eof = true;
    freeFields();
}

void TDataSet::freeFields()
{
    ++m_fieldsGeneration;
    m_dataFields.clear();
    m_fields.clear();
    for (auto &field : m_calcFields)
        m_fields.push_back(field.get());
}

void TDataSet::CreateFields()
{
    freeFields();
    std::vector<TField *> all;
    // Names without regard to letter case, so that a schema of many fields is checked in one pass.
    auto folded = [](const std::string &name) {
        std::string key = name;
        for (char &c : key)
            c = Codec::upperAnsi(c);
        return key;
    };
    std::unordered_set<std::string> calcNames, names;
    for (auto &calc : m_calcFields)
        calcNames.insert(folded(calc->FieldName()));
    names.reserve(m_fieldDefs.size());
    for (std::size_t i = 0; i < m_fieldDefs.size(); ++i) {
        const TFieldDef &def = m_fieldDefs[i];
        if (def.Name.empty())
            DatabaseError("Field name missing", this);
        const std::string key = folded(def.Name);
        if (!names.insert(key).second || calcNames.count(key))
            DatabaseError("Duplicate field name '" + Codec::toUtf8(def.Name) + "'", this);
        if (def.Size < 0 || def.Size > 8192)
            DatabaseError("Invalid field size");
        auto field = std::make_unique<TField>(*this, def.Name, def.Size, TFieldKind::fkData);
        field->setFieldNo(int(i) + 1);
        all.push_back(field.get());
        m_dataFields.push_back(std::move(field));
    }
    for (auto &calc : m_calcFields)
        all.push_back(calc.get());
    m_fields = std::move(all);
    ++m_fieldsGeneration;
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i]->setIndex(int(i));
}

TField *TDataSet::Fields(int index) const
{
    if (index < 0 || index >= FieldCount())
        throw EListError::outOfBounds(index);
    return m_fields[std::size_t(index)];
}

TField *TDataSet::FindField(const std::string &name) const
{
    for (TField *field : m_fields) {
        if (Codec::sameTextAnsi(field->FieldName(), name))
            return field;
    }
    return nullptr;
}

TField &TDataSet::FieldByName(const std::string &name) const
{
    TField *field = FindField(name);
    if (!field)
        DatabaseError("Field '" + Codec::toUtf8(name) + "' not found", this);
    return *field;
}

TField &TDataSet::AddCalculatedField(const std::string &name, int size, TFieldKind kind)
{
    CheckInactive();
    if (FindField(name))
        DatabaseError("Duplicate field name '" + Codec::toUtf8(name) + "'", this);
    auto field = std::make_unique<TField>(*this, name, size, kind);
    TField &ref = *field;
    m_calcFields.push_back(std::move(field));
    m_fields.push_back(&ref);
    ++m_fieldsGeneration;
    ref.setIndex(int(m_fields.size()) - 1);
    return ref;
}

std::unique_ptr<char[]> TDataSet::NewRowBuffer() const
{
    return std::make_unique<char[]>(std::size_t(RecordBufferSize()));
}

int TDataSet::RecordCount() const
{
    return Active() ? RecordTotal() : 0;
}

int TDataSet::RecNo() const
{
    return Active() ? GetRecordNumber() : -1;
}

void TDataSet::setRecNo(int recNo)
{
    checkActive();
    CheckBrowseMode();
    SetRecordNumber(recNo);
}

std::int32_t TDataSet::GetBookmark() const
{
    return m_recordCount > 0 && m_state == TDataSetState::dsBrowse ? RecordIdOf(m_buffer.get()) : 0;
}

void TDataSet::GotoBookmark(std::int32_t bookmark)
{
    checkActive();
    CheckBrowseMode();
    DoBeforeScroll();
    GotoRecordId(bookmark);
    Resync();
    DoAfterScroll();
}

bool TDataSet::fetchInto(char *buffer, FetchMode mode)
{
    // The spare buffer takes the fetch, so a failed one leaves the active row as it was.
    if (FetchRecord(m_spare.get(), mode, false) != FetchResult::Ok)
        return false;
    if (buffer == m_buffer.get())
        std::swap(m_buffer, m_spare);
    else
        std::memcpy(buffer, m_spare.get(), std::size_t(RecordBufferSize()));
    return true;
}

void TDataSet::First()
{
    checkActive();
    CheckBrowseMode();
    DoBeforeScroll();
    MoveToFirst();
    m_recordCount = fetchInto(m_buffer.get(), FetchMode::Next) ? 1 : 0;
    m_cursorOnBuffer = m_recordCount > 0;
    m_bof = true;
    m_eof = m_recordCount == 0;
    DataSetChanged();
    DoAfterScroll();
}

void TDataSet::Last()
{
    checkActive();
    CheckBrowseMode();
    DoBeforeScroll();
    MoveToLast();
    m_recordCount = fetchInto(m_buffer.get(), FetchMode::Prior) ? 1 : 0;
    m_cursorOnBuffer = m_recordCount > 0;
    m_eof = true;
    m_bof = m_recordCount == 0;
    DataSetChanged();
    DoAfterScroll();
}

int TDataSet::MoveBy(int distance)
{
    checkActive();
    CheckBrowseMode();
    DoBeforeScroll();
    int moved = 0;
    if ((distance > 0 && !m_eof) || (distance < 0 && !m_bof)) {
        m_bof = m_eof = false;
        const FetchMode mode = distance > 0 ? FetchMode::Next : FetchMode::Prior;
        while (distance != 0) {
            bool ok = false;
            if (m_recordCount > 0) {
                if (!m_cursorOnBuffer)
                    SyncToBuffer(m_buffer.get());
                m_cursorOnBuffer = true;
                ok = fetchInto(m_buffer.get(), mode);
                // Without a filter a failed fetch leaves the cursor where it was.
                m_cursorOnBuffer = ok || !m_filtered;
            }
            if (!ok) {
                (distance > 0 ? m_eof : m_bof) = true;
                break;
            }
            distance += distance > 0 ? -1 : 1;
            moved += mode == FetchMode::Next ? 1 : -1;
        }
        DataSetChanged();
    }
    DoAfterScroll();
    return moved;
}

void TDataSet::Resync()
{
    const bool ok = fetchInto(m_buffer.get(), FetchMode::Current) ||
                    fetchInto(m_buffer.get(), FetchMode::Next) || fetchInto(m_buffer.get(), FetchMode::Prior);
    m_recordCount = ok ? 1 : 0;
    m_cursorOnBuffer = ok;
    m_bof = m_eof = !ok;
    DataSetChanged();
}

void TDataSet::syncForWrite()
{
    switch (GetRecordFlag(m_buffer.get())) {
    case rfBof:
        MoveToFirst();
        break;
    case rfEof:
        MoveToLast();
        break;
    case rfCurrent:
    case rfInserted:
        SyncToBuffer(m_buffer.get());
        break;
    }
}

void TDataSet::checkOperation(const std::function<void()> &operation, const TDataSetErrorEvent &errorEvent)
{
    for (;;) {
        try {
            operation();
            return;
        } catch (const EDatabaseError &error) {
            TDataAction action = TDataAction::daFail;
            if (errorEvent)
                errorEvent(*this, error, action);
            if (action == TDataAction::daFail)
                throw;
            if (action == TDataAction::daAbort)
                throw EAbort();
        }
    }
}

void TDataSet::Edit()
{
    checkActive();
    if (isWriteState(m_state))
        return;
    if (m_recordCount == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    checkCanModify();
    fire(BeforeEdit);
    checkOperation([this] { syncForWrite(); }, OnEditError);
    m_cursorOnBuffer = true;
    CalculateFields(m_buffer.get());
    setState(TDataSetState::dsEdit);
    m_modified = false;
    if (!ControlsDisabled())
        emit recordChanged(nullptr);
    fire(AfterEdit);
}

void TDataSet::beginInsertAppend(bool append)
{
    checkActive();
    CheckBrowseMode();
    checkCanModify();
    fire(BeforeInsert);
    DoBeforeScroll();
    char bookmark[4] = {};
    if (m_recordCount > 0)
        GetBookmarkArea(m_buffer.get(), bookmark);
    const bool wasEmpty = m_recordCount == 0;
    ClearRecord(m_buffer.get());
    ClearCalcArea(m_buffer.get());
    SetBookmarkArea(m_buffer.get(), bookmark);
    SetRecordFlag(m_buffer.get(), append ? rfEof : (wasEmpty ? rfBof : rfInserted));
    m_recordCount = 1;
    m_cursorOnBuffer = false;
    setState(TDataSetState::dsInsert);
}

void TDataSet::Insert()
{
    beginInsertAppend(false);
    fire(OnNewRecord);
    m_modified = false;
    DataSetChanged();
    fire(AfterInsert);
    DoAfterScroll();
}

void TDataSet::Append()
{
    beginInsertAppend(true);
    fire(OnNewRecord);
    m_modified = false;
    m_bof = false;
    m_eof = true;
    DataSetChanged();
    fire(AfterInsert);
    DoAfterScroll();
}

void TDataSet::UpdateRecord()
{
    if (!isWriteState(m_state))
        DatabaseError("Dataset not in edit or insert mode", this);
    emit updateRecordRequested();
}

void TDataSet::CheckBrowseMode()
{
    checkActive();
    if (isWriteState(m_state)) {
        UpdateRecord();
        if (m_modified)
            Post();
        else
            Cancel();
    }
}

void TDataSet::Post()
{
    checkActive();
    UpdateRecord();
    fire(BeforePost);
    checkOperation(
        [this] {
            syncForWrite();
            PostRecord();
        },
        OnPostError);
    m_modified = false;
    setState(TDataSetState::dsBrowse);
    Resync();
    fire(AfterPost);
}

void TDataSet::Cancel()
{
    checkActive();
    if (!isWriteState(m_state))
        return;
    fire(BeforeCancel);
    syncForWrite();
    m_modified = false;
    setState(TDataSetState::dsBrowse);
    Resync();
    fire(AfterCancel);
}

void TDataSet::Delete()
{
    checkActive();
    if (m_state == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (m_recordCount == 0)
        DatabaseError("Cannot perform this operation on an empty dataset", this);
    fire(BeforeDelete);
    DoBeforeScroll();
    checkOperation(
        [this] {
            syncForWrite();
            DeleteLine();
        },
        OnDeleteError);
    m_modified = false;
    setState(TDataSetState::dsBrowse);
    Resync();
    fire(AfterDelete);
    DoAfterScroll();
}

void TDataSet::addRecord(const std::vector<std::string> &values, bool append)
{
    checkActive();
    CheckBrowseMode();
    if (!append) {
        // The new line goes in front of the active record.
        if (m_recordCount == 0)
            MoveToFirst();
        else if (!m_cursorOnBuffer)
            SyncToBuffer(m_buffer.get());
    }
    DisableControls();
    try {
        beginInsertAppend(append);
        fire(OnNewRecord);
        fire(AfterInsert);
        int dataIndex = 0;
        for (const std::string &value : values) {
            if (dataIndex >= int(m_dataFields.size()))
                throw EListError::outOfBounds(dataIndex);
            m_dataFields[std::size_t(dataIndex++)]->setAsString(value);
        }
        fire(BeforePost);
        AddLine(m_buffer.get(), append);
    } catch (...) {
        m_modified = false;
        setState(TDataSetState::dsBrowse);
        Resync();
        EnableControls();
        throw;
    }
    m_modified = false;
    setState(TDataSetState::dsBrowse);
    Resync();
    EnableControls();
    fire(AfterPost);
}

void TDataSet::InsertRecord(const std::vector<std::string> &values)
{
    addRecord(values, false);
}

void TDataSet::AppendRecord(const std::vector<std::string> &values)
{
    addRecord(values, true);
}

bool TDataSet::Locate(const std::string &keyFields, const std::string &keyValue, TLocateOptions options)
{
    return locate(keyFields, {keyValue}, false, options);
}

bool TDataSet::Locate(const std::string &keyFields, const std::vector<std::string> &keyValues,
                      TLocateOptions options)
{
    return locate(keyFields, keyValues, true, options);
}

bool TDataSet::locate(const std::string &keyFields, const std::vector<std::string> &keyValues,
                      bool valuesAreList, TLocateOptions options)
{
    checkActive();
    CheckBrowseMode();
    // The controls hear one change at the end, not one per record walked.
    DisableControls();
    struct Enable
    {
        TDataSet *ds;
        ~Enable() { ds->EnableControls(); }
    } enable{this};
    return SearchRecord(keyFields, keyValues, valuesAreList, options);
}

void TDataSet::CalculateFields(char *buffer)
{
    if (!HasCalcFields())
        return;
    const TDataSetState saved = m_state;
    char *savedBuffer = m_calcBuffer;
    m_calcBuffer = buffer;
    m_state = TDataSetState::dsCalcFields;
    try {
        ClearCalcArea(buffer);
        fire(OnCalcFields);
    } catch (...) {
        m_state = saved;
        m_calcBuffer = savedBuffer;
        throw;
    }
    m_state = saved;
    m_calcBuffer = savedBuffer;
}

bool TDataSet::RunFilter()
{
    const TDataSetState saved = m_state;
    m_state = TDataSetState::dsFilter;
    bool accept = true;
    try {
        if (OnFilterRecord)
            OnFilterRecord(*this, accept);
    } catch (const std::exception &error) {
        HandleError(error);
    }
    m_state = saved;
    return accept;
}

bool TDataSet::GetFieldData(const TField &field, std::string *value)
{
    if (!Active())
        return false;
    return ReadField(field, value);
}

void TDataSet::SetFieldData(TField &field, const std::string &value)
{
    if (!Active())
        DatabaseError("Dataset not in edit or insert mode", this);
    WriteField(field, value);
}

void TDataSet::FieldChanged(TField &field)
{
    m_modified = true;
    if (m_autoCalcFields && field.FieldNo() > 0 && HasCalcFields() && isWriteState(m_state))
        CalculateFields(m_buffer.get());
    if (!ControlsDisabled())
        emit recordChanged(&field);
}

void TDataSet::MoveToRow(int row)
{
    checkActive();
    CheckBrowseMode();
    if (row < 0 || row >= RowCount() || row == ActiveRow())
        return;
    DoBeforeScroll();
    SetCursorRow(row);
    Resync();
    DoAfterScroll();
}
