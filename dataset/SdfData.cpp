#include "SdfData.h"

#include "Codec.h"
#include "DbErrors.h"
#include "LineCodec.h"

#include <QDateTime>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <climits>
#include <cstring>
#include <unordered_map>

using LineCodec::trimBlanks;

namespace {
constexpr int kMaxFieldWidth = 8192;
constexpr int kDefaultWidth = 250;
constexpr int kMaxBufferOffset = 65535;

// Slots are padded with spaces to their width, so most of a value's tail is spaces: skip them
// eight at a time.
std::string_view trimTrailingSpaces(std::string_view s)
{
    static constexpr char kSpaces[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    while (s.size() >= 8 && std::memcmp(s.data() + s.size() - 8, kSpaces, 8) == 0)
        s.remove_suffix(8);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

std::string fieldNameForMessage(const TField &field)
{
    return Codec::toUtf8(field.DisplayName());
}

void putInt32(char *at, std::int32_t value)
{
    const auto u = std::uint32_t(value);
    for (int i = 0; i < 4; ++i)
        at[i] = char((u >> (8 * i)) & 0xFF);
}

std::int32_t getInt32(const char *at)
{
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= std::uint32_t(static_cast<unsigned char>(at[i])) << (8 * i);
    return std::int32_t(u);
}
} // namespace

// ---------------------------------------------------------------------------------------------
// TFixedFormatDataSet

TFixedFormatDataSet::TFixedFormatDataSet(QObject *parent) : TDataSet(parent) {}

TFixedFormatDataSet::~TFixedFormatDataSet()
{
    DestroyDataSet();
}

void TFixedFormatDataSet::setFileMustExist(bool value)
{
    CheckInactive();
    m_fileMustExist = value;
}

void TFixedFormatDataSet::setReadOnly(bool value)
{
    CheckInactive();
    m_readOnly = value;
}

void TFixedFormatDataSet::setFileName(const QString &value)
{
    CheckInactive();
    m_fileName = value;
}

void TFixedFormatDataSet::setTrimSpace(bool value)
{
    CheckInactive();
    m_trimSpace = value;
}

void TFixedFormatDataSet::setSchema(std::vector<std::string> schema)
{
    CheckInactive();
    m_schema = std::move(schema);
}

void TFixedFormatDataSet::LoadSchemaFromFile(const QString &fileName)
{
    CheckInactive();
    LineList lines;
    lines.load(fileName);
    std::vector<std::string> schema;
    schema.reserve(std::size_t(lines.count()));
    for (int i = 0; i < lines.count(); ++i)
        schema.emplace_back(lines.at(i));
    m_schema = std::move(schema);
}

bool TFixedFormatDataSet::IsStoreOpen() const
{
    return m_recordWidth > 0;
}

void TFixedFormatDataSet::OpenStore()
{
    m_cursor = -1;
    m_changed = false;
    if (!m_fileMustExist && !QFile::exists(m_fileName)) {
        QFile file(m_fileName);
        if (!file.open(QIODevice::WriteOnly))
            throw EFCreateError("Cannot create file " + m_fileName.toStdString());
    }
    m_fileState = m_lines.load(m_fileName);
    m_recordWidth = kDefaultWidth;
    BuildFieldDefs();
    CreateFields();
    if (m_recordWidth == 0)
        m_recordWidth = kDefaultWidth;
    // The offsets inside a record buffer are 16-bit.
    const long long needed = static_cast<long long>(m_recordWidth) + CalcFieldsSize() + 6;
    if (needed > kMaxBufferOffset) {
        DatabaseError("Record too wide: its fields take " + std::to_string(m_recordWidth) +
                          " characters, and no more than " +
                          std::to_string(kMaxBufferOffset - 6 - CalcFieldsSize()) + " fit in a record",
                      this);
    }
    m_recInfoOffset = m_recordWidth + 1 + CalcFieldsSize();
    m_bookmarkOffset = m_recInfoOffset + 5;
    m_bufferSize = m_bookmarkOffset + 4;
    m_lastRecordId = m_lines.count();
    StartJournal();
}

void TFixedFormatDataSet::CloseStore()
{
    if (!m_readOnly && m_changed && m_recordWidth > 0) {
        m_backupCopy.clear();
        if (m_beforeWrite)
            m_beforeWrite(m_fileName);
        m_fileState = m_lines.save(m_fileName, BackupFolder(), &m_backupCopy);
        m_journal.remove();
    }
    m_journal.stop();
    m_pendingJournal.clear();
    m_lines.clear();
    m_cursor = -1;
    m_lastRecordId = 0;
    m_recordWidth = 0;
    m_bufferSize = 0;
    m_slotStart.clear();
}

int TFixedFormatDataSet::DefaultWidth() const
{
    return m_lines.longestLoaded() > 0 ? int(std::min<std::size_t>(m_lines.longestLoaded(), INT_MAX))
                                       : kDefaultWidth;
}

void TFixedFormatDataSet::BuildFieldDefs()
{
    TFieldDefs &defs = FieldDefs();
    // Fields past what fits in a record are not made: the open fails on the width anyway.
    const long long fits = kMaxBufferOffset - 6 - CalcFieldsSize();
    long long total = 0;
    defs = LineCodec::schemaFieldDefs(m_schema, DefaultWidth(), fits, &total);
    // Blank lines are passed over, but a schema of nothing else would give a table without a single
    // field.
    if (defs.empty())
        DatabaseError("Field name missing in line 1 of the schema", this);
    m_slotStart.clear();
    long long start = 0;
    for (const TFieldDef &def : defs) {
        m_slotStart.push_back(int(std::min<long long>(start, INT_MAX)));
        start += def.Size;
    }
    // Widths out of range are refused when the fields are created; until then keep the sum sane.
    m_recordWidth = int(std::clamp<long long>(total, 0, INT_MAX));
}

void TFixedFormatDataSet::LineToRecord(std::string_view line, char *recordText) const
{
    LineCodec::fixedToRecord(line, recordText, std::size_t(m_recordWidth));
}

std::string TFixedFormatDataSet::RecordToLine(const char *recordText) const
{
    return LineCodec::recordToFixed(recordText, std::size_t(m_recordWidth));
}

void TFixedFormatDataSet::ClearRecord(char *buffer)
{
    std::memset(buffer, 0, std::size_t(m_recordWidth));
}

void TFixedFormatDataSet::ClearCalcArea(char *buffer)
{
    std::memset(buffer + m_recordWidth + 1, 0, std::size_t(CalcFieldsSize()));
}

TDataSet::RecordFlag TFixedFormatDataSet::GetRecordFlag(const char *buffer) const
{
    return RecordFlag(static_cast<unsigned char>(buffer[m_recInfoOffset + 4]));
}

void TFixedFormatDataSet::SetRecordFlag(char *buffer, RecordFlag flag)
{
    buffer[m_recInfoOffset + 4] = char(flag);
}

std::int32_t TFixedFormatDataSet::RecordIdOf(const char *buffer) const
{
    return getInt32(buffer + m_recInfoOffset);
}

void TFixedFormatDataSet::GetBookmarkArea(const char *buffer, char *bookmark) const
{
    std::memcpy(bookmark, buffer + m_bookmarkOffset, 4);
}

void TFixedFormatDataSet::SetBookmarkArea(char *buffer, const char *bookmark)
{
    std::memcpy(buffer + m_bookmarkOffset, bookmark, 4);
}

FetchResult TFixedFormatDataSet::FetchOnce(char *buffer, FetchMode mode)
{
    if (m_lines.empty())
        return FetchResult::Eof;
    for (;;) {
        switch (mode) {
        case FetchMode::Current:
            if (m_cursor < 0 || m_cursor >= m_lines.count())
                return FetchResult::Error;
            break;
        case FetchMode::Next:
            if (m_cursor < m_lines.count() - 1)
                ++m_cursor;
            else
                return FetchResult::Eof;
            break;
        case FetchMode::Prior:
            if (m_cursor > 0)
                --m_cursor;
            else
                return FetchResult::Bof;
            break;
        }
        LineToRecord(m_lines.at(m_cursor), buffer);
        if (Filtered()) {
            putInt32(buffer + m_recInfoOffset, m_cursor + 1);
            m_filterBuffer = buffer;
            const bool accepted = RunFilter();
            m_filterBuffer = nullptr;
            if (!accepted) {
                if (mode == FetchMode::Current)
                    ++m_cursor;
                continue;
            }
        }
        if (HasCalcFields())
            CalculateFields(buffer);
        SetRecordFlag(buffer, rfCurrent);
        putInt32(buffer + m_recInfoOffset, m_lines.id(m_cursor));
        return FetchResult::Ok;
    }
}

FetchResult TFixedFormatDataSet::FetchRecord(char *buffer, FetchMode mode, bool check)
{
    const FetchResult result = FetchOnce(buffer, mode);
    if (result == FetchResult::Error && check)
        DatabaseError("No Records");
    return result;
}

void TFixedFormatDataSet::GotoRecordId(std::int32_t recordId)
{
    const int index = m_lines.indexOfId(recordId, m_cursor);
    if (index < 0)
        DatabaseError("Bookmark not found");
    m_cursor = index;
}

void TFixedFormatDataSet::SyncToBuffer(const char *buffer)
{
    if (State() != TDataSetState::dsInsert)
        GotoRecordId(RecordIdOf(buffer));
}

char *TFixedFormatDataSet::ActiveRecordBuffer() const
{
    switch (State()) {
    case TDataSetState::dsBrowse:
    case TDataSetState::dsEdit:
    case TDataSetState::dsInsert:
        return ActiveRowBuffer();
    case TDataSetState::dsCalcFields:
        return CalcBuffer();
    case TDataSetState::dsFilter:
        return m_filterBuffer;
    default:
        return nullptr;
    }
}

int TFixedFormatDataSet::GetRecordNumber() const
{
    const char *buffer = ActiveRecordBuffer();
    // A record being inserted has no number until it is stored.
    if (!buffer || State() == TDataSetState::dsInsert)
        return -1;
    return RecordIdOf(buffer);
}

void TFixedFormatDataSet::SetRecordNumber(int recNo)
{
    if (recNo < 1 || recNo > m_lines.count() || recNo == GetRecordNumber())
        return;
    DoBeforeScroll();
    m_cursor = recNo - 1;
    Resync();
    DoAfterScroll();
}

std::string_view TFixedFormatDataSet::SlotValue(const char *recordText, int fieldNo) const
{
    // The record text ends at its first NUL; only a NUL up to this slot's end matters here.
    const std::size_t start = std::size_t(SlotStart(fieldNo));
    const std::size_t width = std::size_t(FieldDefs()[std::size_t(fieldNo - 1)].Size);
    const std::size_t reach = std::min(start + width, std::size_t(m_recordWidth));
    const void *nul = std::memchr(recordText, '\0', reach);
    const std::size_t end = nul ? std::size_t(static_cast<const char *>(nul) - recordText) : reach;
    if (start >= end && (nul || start >= std::size_t(m_recordWidth)))
        return {nullptr, 0};
    std::string_view value(recordText + start, end - start);
    if (m_trimSpace)
        value = trimTrailingSpaces(value);
    return value.data() ? value : std::string_view("", 0);
}

bool TFixedFormatDataSet::ReadField(const TField &field, std::string *value)
{
    const char *buffer = ActiveRecordBuffer();
    if (!buffer)
        return false;
    if (field.FieldNo() > 0) {
        const std::string_view slot = SlotValue(buffer, field.FieldNo());
        if (!slot.data())
            return false;
        if (value)
            value->assign(slot);
        return true;
    }
    switch (State()) {
    case TDataSetState::dsBrowse:
    case TDataSetState::dsEdit:
    case TDataSetState::dsInsert:
    case TDataSetState::dsCalcFields:
    case TDataSetState::dsBlockRead:
        break;
    default:
        return false;
    }
    const char *at = buffer + m_recordWidth + 1 + field.Offset();
    if (*at == '\0')
        return false;
    if (value) {
        std::string_view text(at, strnlen(at, std::size_t(field.Size())));
        value->assign(m_trimSpace ? trimTrailingSpaces(text) : text);
    }
    return true;
}

void TFixedFormatDataSet::CheckStorable(const TField &field, std::string_view value) const
{
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        throw EDatabaseError("Field '" + fieldNameForMessage(field) +
                             "' cannot hold a line break or a NUL character");
    }
}

void TFixedFormatDataSet::WriteField(TField &field, const std::string &value)
{
    const TDataSetState state = State();
    if (state != TDataSetState::dsEdit && state != TDataSetState::dsInsert &&
        state != TDataSetState::dsCalcFields && state != TDataSetState::dsFilter)
        DatabaseError("Dataset not in edit or insert mode", this);
    char *buffer = ActiveRecordBuffer();
    if (field.FieldNo() > 0) {
        if (state == TDataSetState::dsCalcFields)
            DatabaseError("Dataset not in edit or insert mode", this);
        if (field.ReadOnly() && state != TDataSetState::dsFilter)
            throw EDatabaseError("Field '" + fieldNameForMessage(field) + "' cannot be modified");
        const int width = FieldDefs()[std::size_t(field.FieldNo() - 1)].Size;
        CheckStorable(field, std::string_view(value).substr(0, std::size_t(width)));
        if (field.OnValidate)
            field.OnValidate(field, value);
        if (field.FieldKind() != TFieldKind::fkInternalCalc && buffer) {
            const int start = SlotStart(field.FieldNo());
            const int end = int(strnlen(buffer, std::size_t(m_recordWidth)));
            const int fillFrom = std::min(end, start);
            std::memset(buffer + fillFrom, ' ', std::size_t(start + width - fillFrom));
            const std::size_t n = std::min(strnlen(value.c_str(), value.size()), std::size_t(width));
            std::memcpy(buffer + start, value.data(), n);
            buffer[m_recordWidth] = '\0';
        }
    } else if (buffer) {
        char *at = buffer + m_recordWidth + 1 + field.Offset();
        const std::size_t size = std::size_t(field.Size());
        const std::size_t n = std::min(value.size(), size);
        std::memcpy(at, value.data(), n);
        std::memset(at + n, 0, size + 1 - n);
    }
    if (state != TDataSetState::dsCalcFields && state != TDataSetState::dsFilter)
        FieldChanged(field);
}

void TFixedFormatDataSet::CheckRecordStorable(const char *recordText) const
{
    for (int i = 0; i < FieldCount(); ++i) {
        const TField *field = Fields(i);
        if (field->FieldNo() > 0) {
            const std::string_view value = SlotValue(recordText, field->FieldNo());
            CheckStorable(*field, value.data() ? value : std::string_view());
        }
    }
}

void TFixedFormatDataSet::PostRecord()
{
    char *buffer = ActiveRowBuffer();
    if (State() == TDataSetState::dsEdit) {
        // A new record is checked by AddLine.
        CheckRecordStorable(buffer);
        std::string before = m_observer ? std::string(m_lines.at(m_cursor)) : std::string();
        m_lines.replace(m_cursor, RecordToLine(buffer));
        m_changed = true;
        Journalize(Journal::Op::Replace, m_cursor, m_lines.at(m_cursor));
        Observe(LineChange::Kind::Replace, m_cursor, m_lines.id(m_cursor), std::move(before),
                m_lines.at(m_cursor));
        lineReplaced(m_cursor);
    } else {
        AddLine(buffer, false);
    }
}

void TFixedFormatDataSet::AddLine(char *buffer, bool append)
{
    CheckRecordStorable(buffer);
    const std::string line = RecordToLine(buffer);
    m_changed = true;
    ++m_lastRecordId;
    if (append)
        MoveToLast();
    const int index = m_cursor >= 0 ? std::min(m_cursor, m_lines.count()) : m_lines.count();
    m_lines.insert(index, line, m_lastRecordId);
    Journalize(Journal::Op::Insert, index, line);
    Observe(LineChange::Kind::Insert, index, m_lastRecordId, std::string(), line);
    // The buffer now holds the stored record, so the active row is found at once by its ID.
    putInt32(buffer + m_recInfoOffset, m_lastRecordId);
    SetRecordFlag(buffer, rfCurrent);
    lineInserted(index);
}

void TFixedFormatDataSet::DeleteLine()
{
    m_changed = true;
    const int index = m_cursor;
    const std::int32_t recordId = m_lines.id(index);
    std::string before = m_observer ? std::string(m_lines.at(index)) : std::string();
    m_lines.erase(m_cursor);
    Journalize(Journal::Op::Delete, m_cursor);
    Observe(LineChange::Kind::Delete, index, recordId, std::move(before));
    if (m_cursor >= m_lines.count())
        --m_cursor;
    lineRemoved(index);
}

void TFixedFormatDataSet::lineInserted(int index)
{
    // A header line is no row; when it changes, the rows shift under the views.
    if (index < FirstRecordLine())
        emit rowsReset();
    else
        emit rowInserted(index - FirstRecordLine());
}

void TFixedFormatDataSet::lineRemoved(int index)
{
    if (index < FirstRecordLine())
        emit rowsReset();
    else
        emit rowRemoved(index - FirstRecordLine());
}

void TFixedFormatDataSet::lineReplaced(int index)
{
    if (index >= FirstRecordLine())
        emit rowUpdated(index - FirstRecordLine());
}

namespace {
char upperLatin(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 32) : c;
}
} // namespace

bool TFixedFormatDataSet::SearchRecord(const std::string &keyFields,
                                       const std::vector<std::string> &keyValues, bool valuesAreList,
                                       TLocateOptions options)
{
    const std::int32_t startBookmark = GetBookmark();
    if (m_lines.empty() || trimBlanks(keyFields).empty())
        return false;
    std::vector<const TField *> fields;
    for (const std::string &name : LineCodec::splitNameList(keyFields))
        fields.push_back(&FieldByName(name));
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t index = valuesAreList ? i : 0;
        if (index >= keyValues.size())
            throw EListError::outOfBounds(qint64(index));
        keys.emplace_back(trimBlanks(keyValues[index]));
    }
    auto matches = [&](const TField &field, std::string_view key) {
        std::string_view text;
        if (field.FieldNo() > 0) {
            const std::string_view slot = SlotValue(ActiveRowBuffer(), field.FieldNo());
            text = trimBlanks(slot.data() ? slot : std::string_view());
        } else {
            thread_local std::string calc;
            calc = field.AsString();
            text = trimBlanks(calc);
        }
        if (text.size() < key.size() || (!options.partialKey && text.size() != key.size()))
            return false;
        for (std::size_t i = 0; i < key.size(); ++i) {
            const char a = options.caseInsensitive ? upperLatin(text[i]) : text[i];
            const char b = options.caseInsensitive ? upperLatin(key[i]) : key[i];
            if (a != b)
                return false;
        }
        return true;
    };
    First();
    while (!Eof()) {
        bool all = true;
        for (std::size_t i = 0; i < fields.size() && all; ++i)
            all = matches(*fields[i], keys[i]);
        if (all)
            return true;
        Next();
    }
    // Back to the record that was current, found by its ID: positions shift after adds and deletes.
    if (startBookmark != 0 && m_lines.indexOfId(startBookmark, -1) >= 0)
        GotoBookmark(startBookmark);
    return false;
}

bool TFixedFormatDataSet::ReadRecordAt(int row, char *buffer)
{
    const int line = row + FirstRecordLine();
    if (!Active() || row < 0 || line >= m_lines.count())
        return false;
    LineToRecord(m_lines.at(line), buffer);
    buffer[m_recordWidth] = '\0';
    putInt32(buffer + m_recInfoOffset, m_lines.id(line));
    SetRecordFlag(buffer, rfCurrent);
    if (HasCalcFields())
        CalculateFields(buffer);
    return true;
}

std::string TFixedFormatDataSet::FieldValueIn(const char *buffer, const TField &field) const
{
    if (field.FieldNo() <= 0) {
        const char *at = buffer + m_recordWidth + 1 + field.Offset();
        return std::string(at, strnlen(at, std::size_t(field.Size())));
    }
    const std::string_view slot = SlotValue(buffer, field.FieldNo());
    return std::string(slot);
}

std::string_view TFixedFormatDataSet::StoredRecordAt(int row) const
{
    const int line = row + FirstRecordLine();
    if (row < 0 || line >= m_lines.count() || m_recordWidth <= 0)
        return {};
    return m_lines.at(line);
}

void TFixedFormatDataSet::StoredValues(std::string_view stored, std::string_view *values, int count) const
{
    // The line is the record text: each value is its slot, as far as the line reaches.
    const int n = std::min(count, int(FieldDefs().size()));
    for (int i = 0; i < n; ++i) {
        const std::size_t start = std::size_t(m_slotStart[std::size_t(i)]);
        std::string_view value = start < stored.size()
                                     ? stored.substr(start, std::size_t(FieldDefs()[std::size_t(i)].Size))
                                     : std::string_view();
        values[i] = m_trimSpace ? trimTrailingSpaces(value) : value;
    }
    std::fill(values + std::max(n, 0), values + std::max(count, 0), std::string_view());
}

int TFixedFormatDataSet::ActiveRow() const
{
    const char *buffer = ActiveRowBuffer();
    if (!buffer)
        return -1;
    if (State() == TDataSetState::dsInsert) {
        // A new record shows where it will be stored: in front of the cursor's line, or at the end.
        const RecordFlag flag = GetRecordFlag(buffer);
        if (flag == rfEof || flag == rfBof || m_cursor < 0)
            return m_lines.count() - FirstRecordLine();
        return m_cursor - FirstRecordLine();
    }
    const int index = m_lines.indexOfId(RecordIdOf(buffer), m_cursor);
    return index < 0 ? -1 : index - FirstRecordLine();
}

void TFixedFormatDataSet::DropBlankLines()
{
    if (!Active())
        DatabaseError("Cannot perform this operation on a closed dataset", this);
    // As if every blank line were deleted from the last to the first: the cursor ends where the
    // first of them stood, or on the new last line.
    auto blank = [](std::string_view line) { return trimBlanks(line).empty(); };
    if (m_journal.active()) {
        // Recorded from the last to the first, so that each index holds when the journal is replayed.
        for (int i = m_lines.count() - 1; i >= 0; --i) {
            if (blank(m_lines.at(i)))
                Journalize(Journal::Op::Delete, i);
        }
    }
    if (m_observer) {
        for (int i = m_lines.count() - 1; i >= 0; --i) {
            if (blank(m_lines.at(i)))
                Observe(LineChange::Kind::Delete, i, m_lines.id(i), std::string(m_lines.at(i)));
        }
    }
    int first = -1;
    if (m_lines.eraseIf(blank, &first) == 0)
        return;
    m_changed = true;
    m_cursor = std::min(first, m_lines.count() - 1);
    emit rowsReset();
}

void TFixedFormatDataSet::Observe(LineChange::Kind kind, int index, std::int32_t recordId, std::string before,
                                  std::string_view after)
{
    if (m_observer)
        m_observer(LineChange{kind, index, recordId, std::move(before), std::string(after)});
}

void TFixedFormatDataSet::CheckLineOperation(int index, int end)
{
    if (!Active())
        DatabaseError("Cannot perform this operation on a closed dataset", this);
    if (!IsModifiable())
        DatabaseError("Cannot modify a read-only dataset", this);
    CheckBrowseMode();
    if (index < 0 || index >= end)
        DatabaseError("List index out of bounds (" + std::to_string(index) + ")", this);
}

void TFixedFormatDataSet::ShowLine(int index)
{
    m_cursor = std::min(index, m_lines.count() - 1);
    Resync();
}

void TFixedFormatDataSet::ReplaceLineAt(int index, std::string_view line)
{
    CheckLineOperation(index, m_lines.count());
    m_lines.replace(index, line);
    m_changed = true;
    Journalize(Journal::Op::Replace, index, line);
    lineReplaced(index);
    ShowLine(index);
}

std::int32_t TFixedFormatDataSet::InsertLineAt(int index, std::string_view line)
{
    CheckLineOperation(index, m_lines.count() + 1);
    // A line read from the file keeps its ID only in its place, so a line that comes back is new.
    m_lines.insert(index, line, m_lastRecordId + 1);
    ++m_lastRecordId;
    m_changed = true;
    Journalize(Journal::Op::Insert, index, line);
    lineInserted(index);
    ShowLine(index);
    return m_lastRecordId;
}

void TFixedFormatDataSet::DeleteLineAt(int index)
{
    CheckLineOperation(index, m_lines.count());
    m_lines.erase(index);
    m_changed = true;
    Journalize(Journal::Op::Delete, index);
    lineRemoved(index);
    ShowLine(index);
}

void TFixedFormatDataSet::RewriteAllLines()
{
    if (!Active())
        DatabaseError("Cannot perform this operation on a closed dataset", this);
    auto record = std::make_unique<char[]>(std::size_t(m_recordWidth) + 1);
    for (int i = m_lines.count() - 1; i >= 0; --i) {
        LineToRecord(m_lines.at(i), record.get());
        record[std::size_t(m_recordWidth)] = '\0';
        m_lines.replace(i, RecordToLine(record.get()));
    }
    emit rowsReset();
    // The file now holds every change; the journal starts again from it.
    if (m_beforeWrite)
        m_beforeWrite(m_fileName);
    m_fileState = m_lines.save(m_fileName, BackupFolder(), &m_backupCopy);
    m_journal.remove();
    StartJournal();
}

void TFixedFormatDataSet::SaveUnderName(const QString &fileName)
{
    if (!Active())
        DatabaseError("Cannot perform this operation on a closed dataset", this);
    if (m_beforeWrite)
        m_beforeWrite(fileName);
    m_fileState = m_lines.save(fileName, BackupFolder(), &m_backupCopy);
    m_journal.remove();
    m_fileName = fileName;
    m_changed = false;
    StartJournal();
}

void TFixedFormatDataSet::DiscardChanges()
{
    m_changed = false;
    if (m_journal.active()) {
        m_journal.remove();
        m_journal.start(m_journalFile, m_fileState);
    }
}

QString TFixedFormatDataSet::BackupFolder() const
{
    return m_backupFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                    : m_backupFolder;
}

void TFixedFormatDataSet::setJournalEnabled(bool value)
{
    CheckInactive();
    m_journalEnabled = value;
}

void TFixedFormatDataSet::StartJournal()
{
    m_journal.stop();
    m_pendingJournal.clear();
    m_foreignJournal.clear();
    m_journalFile.clear();
    if (!m_journalEnabled || m_readOnly)
        return;
    m_journalFile = Journal::fileFor(m_fileName, BackupFolder());
    Journal::Contents found = Journal::read(m_journalFile);
    if (found.exists) {
        if (!found.appliesTo(m_fileState))
            SetPendingJournalAside();
        else if (found.entries.empty())
            QFile::remove(m_journalFile);
        else
            m_pendingJournal = std::move(found.entries);
    }
    m_journal.start(m_journalFile, m_fileState);
}

void TFixedFormatDataSet::SetPendingJournalAside()
{
    // Never overwritten: a journal that is not taken up now is kept under a name of its own.
    QString aside = m_journalFile + QLatin1Char('-') +
                    QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 2; QFile::exists(aside); ++n)
        aside = m_journalFile + QLatin1Char('-') + QString::number(n);
    if (QFile::rename(m_journalFile, aside))
        m_foreignJournal = aside;
    m_pendingJournal.clear();
}

void TFixedFormatDataSet::Journalize(Journal::Op op, int index, std::string_view line)
{
    if (!m_journal.active())
        return;
    try {
        if (!m_pendingJournal.empty())
            SetPendingJournalAside();
        m_journal.record(op, index, line);
    } catch (const std::exception &error) {
        // The change stands; the user learns once that it is not safe from a crash.
        HandleError(error);
    }
}

int TFixedFormatDataSet::ApplyJournal()
{
    std::vector<Journal::Entry> entries = std::move(m_pendingJournal);
    m_pendingJournal.clear();
    if (entries.empty())
        return 0;
    CheckBrowseMode();
    const int applied = Journal::apply(entries, m_lines, m_lastRecordId);
    if (applied == int(entries.size())) {
        // The journal goes on from its last entry.
        m_journal.start(m_journalFile, m_fileState, true);
    } else {
        // What cannot apply stays in a journal of its own; the new one holds what did.
        m_pendingJournal = entries;
        SetPendingJournalAside();
        m_journal.start(m_journalFile, m_fileState);
        try {
            for (int i = 0; i < applied; ++i)
                m_journal.record(entries[std::size_t(i)].op, entries[std::size_t(i)].index,
                                 entries[std::size_t(i)].line);
        } catch (const std::exception &error) {
            HandleError(error);
        }
    }
    if (applied > 0)
        m_changed = true;
    First();
    return applied;
}

void TFixedFormatDataSet::DiscardJournal()
{
    m_pendingJournal.clear();
    if (!m_journalFile.isEmpty()) {
        m_journal.remove();
        m_journal.start(m_journalFile, m_fileState);
    }
}

bool TFixedFormatDataSet::FileChangedOnDisk() const
{
    const Files::Stamp now = Files::stampOf(m_fileName);
    // A file that is gone holds nothing that a save could write over.
    if (!now.exists)
        return false;
    if (now == m_fileState.stamp)
        return false;
    if (now.size != m_fileState.stamp.size)
        return true;
    std::uint64_t hash = 0;
    return !Files::hashFile(m_fileName, hash) || hash != m_fileState.hash;
}

// ---------------------------------------------------------------------------------------------
// TSdfDataSet

TSdfDataSet::TSdfDataSet(QObject *parent) : TFixedFormatDataSet(parent) {}

TSdfDataSet::~TSdfDataSet()
{
    DestroyDataSet();
}

void TSdfDataSet::setDelimiter(char value)
{
    CheckInactive();
    m_delimiter = value;
}

void TSdfDataSet::setFirstLineAsSchema(bool value)
{
    CheckInactive();
    m_firstLineAsSchema = value;
}

void TSdfDataSet::BuildFieldDefs()
{
    if (!IsStoreOpen())
        return;
    const LineList &lines = Lines();
    if (!lines.empty() && !trimBlanks(lines.at(0)).empty()) {
        if (m_schema.empty() || m_firstLineAsSchema) {
            std::vector<std::string> columns = LineCodec::splitHeader(lines.at(0), m_delimiter);
            if (!m_firstLineAsSchema) {
                for (std::size_t i = 0; i < columns.size(); ++i)
                    columns[i] = "Field" + std::to_string(i + 1);
            }
            m_schema = std::move(columns);
        }
    } else {
        m_firstLineAsSchema = false;
    }
    TFixedFormatDataSet::BuildFieldDefs();
}

void TSdfDataSet::LineToRecord(std::string_view line, char *recordText) const
{
    LineCodec::delimitedToRecord(line, FieldDefs(), m_delimiter, recordText, std::size_t(m_recordWidth));
}

std::string TSdfDataSet::RecordToLine(const char *recordText) const
{
    return LineCodec::recordToDelimited(recordText, std::size_t(m_recordWidth), FieldDefs(), m_delimiter);
}

void TSdfDataSet::StoredValues(std::string_view stored, std::string_view *values, int count) const
{
    if (count <= 0)
        return;
    LineCodec::delimitedValues(stored, FieldDefs(), m_delimiter, values, std::size_t(count));
    if (m_trimSpace) {
        for (int i = 0; i < count; ++i)
            values[i] = trimTrailingSpaces(values[i]);
    }
}

void TSdfDataSet::CheckStorable(const TField &field, std::string_view value) const
{
    TFixedFormatDataSet::CheckStorable(field, value);
    const std::string_view stored = trimBlanks(value);
    if (stored.find(m_delimiter) == std::string_view::npos)
        return;
    const char pair[2] = {'"', m_delimiter};
    if (stored.find(std::string_view(pair, 2)) != std::string_view::npos) {
        throw EDatabaseError("Field '" + fieldNameForMessage(field) +
                             "' cannot hold a double quote followed by '" + std::string(1, m_delimiter) +
                             "'");
    }
}

FetchResult TSdfDataSet::FetchRecord(char *buffer, FetchMode mode, bool check)
{
    if (!m_firstLineAsSchema)
        return TFixedFormatDataSet::FetchRecord(buffer, mode, check);
    if (Lines().count() < 2)
        return FetchResult::Eof;
    // The header line is never shown as a record, and never stays the cursor's line: a step back
    // from the first record that fails leaves the cursor on that record, so that the next step and
    // an insert there start from it.
    const int before = m_cursor;
    FetchResult result = TFixedFormatDataSet::FetchRecord(buffer, mode, check);
    if (result == FetchResult::Ok && m_cursor == 0) {
        if (mode == FetchMode::Current)
            m_cursor = 1;
        result = TFixedFormatDataSet::FetchRecord(buffer, mode, check);
        if (result != FetchResult::Ok)
            m_cursor = std::max(before, FirstRecordLine());
    }
    return result;
}
