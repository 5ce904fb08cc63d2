#include "DBGrid.h"

#include "Codec.h"
#include "CollatedOrder.h"
#include "DataSet.h"
#include "DataSource.h"
#include "RowIndicator.h"
#include "VirtualKeys.h"

#include <QCollator>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <numeric>

DBGridModel::DBGridModel(QObject *parent) : QAbstractTableModel(parent) {}

DBGridModel::~DBGridModel() = default;

void DBGridModel::setDataSource(TDataSource *source)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &TDataSource::dataSetChanged, this, &DBGridModel::refresh);
        connect(source, &TDataSource::stateChanged, this, &DBGridModel::refresh);
        // Without persistent columns, the visible fields are the columns.
        connect(source, &TDataSource::layoutChanged, this, [this] {
            m_fieldsValid = false;
            resetRows();
            refresh();
        });
        connect(source, &TDataSource::recordChanged, this, [this] {
            if (m_activeRow >= 0)
                emit dataChanged(index(m_activeRow, 0), index(m_activeRow, columnCount() - 1));
        });
        connect(source, &TDataSource::rowInserted, this, &DBGridModel::storedRowInserted);
        connect(source, &TDataSource::rowRemoved, this, &DBGridModel::storedRowRemoved);
        connect(source, &TDataSource::rowUpdated, this, &DBGridModel::storedRowUpdated);
        connect(source, &TDataSource::rowsReset, this, [this] {
            resetRows();
            refresh();
        });
    }
    m_fieldsValid = false;
    resetRows();
    refresh();
}

TDataSet *DBGridModel::dataSet() const
{
    return m_source ? m_source->DataSet() : nullptr;
}

void DBGridModel::columnsChanged()
{
    m_fieldsValid = false;
    // A sort names a column, which may now show another field.
    m_sortColumn = -1;
    resetRows();
}

void DBGridModel::resolveFields() const
{
    TDataSet *ds = dataSet();
    m_fields.clear();
    if (ds && ds->Active()) {
        if (!m_columns.empty()) {
            for (const TColumn &column : m_columns)
                m_fields.push_back(ds->FindField(Codec::fromQString(column.FieldName)));
        } else {
            for (int i = 0; i < ds->FieldCount(); ++i) {
                if (ds->Fields(i)->Visible())
                    m_fields.push_back(ds->Fields(i));
            }
        }
    }
    m_fieldsOf = ds;
    m_fieldsGeneration = ds ? ds->FieldsGeneration() : 0;
    m_fieldsValid = true;
}

const std::vector<const TField *> &DBGridModel::fields() const
{
    const TDataSet *ds = dataSet();
    // Opening and closing make new field objects: the generation tells.
    if (!m_fieldsValid || ds != m_fieldsOf || (ds && ds->FieldsGeneration() != m_fieldsGeneration))
        resolveFields();
    return m_fields;
}

const TField *DBGridModel::fieldOfColumn(int column) const
{
    const std::vector<const TField *> &resolved = fields();
    return column >= 0 && column < int(resolved.size()) ? resolved[std::size_t(column)] : nullptr;
}

int DBGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int DBGridModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    if (!m_columns.empty())
        return int(m_columns.size());
    return int(fields().size());
}

int DBGridModel::activeRow() const
{
    return m_activeRow;
}

void DBGridModel::refresh()
{
    TDataSet *ds = dataSet();
    const bool active = ds && ds->Active();
    m_bufferRow = -1;
    if ((active ? ds : nullptr) != m_shown || columnCount() != m_columnCount) {
        resetRows();
    } else if (active) {
        // After the active record was deleted, the next one in the view takes its row.
        if (m_followRow >= 0 && ds->State() == TDataSetState::dsBrowse && ds->ActiveRow() >= 0 &&
            !ds->ControlsDisabled()) {
            const int position = positionOfRow(std::min(m_followRow, m_rows - 1));
            m_followRow = -1;
            if (position >= 0 && position != ds->ActiveRow()) {
                // Moving refreshes the view again.
                ds->MoveToRow(position);
                return;
            }
        }
        // A new record shows in a row of its own while it is inserted; cancelled, it leaves it.
        const int insertRow = ds->State() == TDataSetState::dsInsert ? insertRowFor(ds->ActiveRow()) : -1;
        if (insertRow != m_insertRow) {
            if (m_insertRow >= 0)
                removeRowAt(m_insertRow, false);
            if (insertRow >= 0 && insertRow <= m_rows)
                insertRowAt(insertRow, false);
        }
        if (m_rows != shownCount() + (m_insertRow >= 0 ? 1 : 0))
            resetRows();
    }
    const int previous = m_activeRow;
    if (!active)
        m_activeRow = -1;
    else if (ds->State() == TDataSetState::dsInsert)
        m_activeRow = m_insertRow;
    else
        m_activeRow = rowOfPosition(ds->ActiveRow());
    if (previous != m_activeRow)
        updateRow(previous);
    updateRow(m_activeRow);
    emit activeRowChanged(m_activeRow);
}

int DBGridModel::rowOfPosition(int position) const
{
    const int index = m_map.mapped() ? indexInMap(position) : position;
    if (index < 0)
        return -1;
    return m_insertRow >= 0 && index >= m_insertRow ? index + 1 : index;
}

int DBGridModel::indexOfRow(int row) const
{
    if (row < 0 || row == m_insertRow)
        return -1;
    return m_insertRow >= 0 && row > m_insertRow ? row - 1 : row;
}

int DBGridModel::indexInMap(int position) const
{
    // The row the view moves to, or the active one, is the one asked for nearly always.
    return m_map.indexOf(position, {indexOfRow(m_hintRow), indexOfRow(m_activeRow)});
}

int DBGridModel::insertRowFor(int position) const
{
    if (!m_map.mapped())
        return position;
    // In front of the record it is inserted before, or at the end.
    const int index = indexInMap(position);
    return index >= 0 ? index : m_map.size();
}

int DBGridModel::positionOfRow(int row) const
{
    int position = row;
    if (m_insertRow >= 0 && row >= m_insertRow) {
        if (row == m_insertRow)
            return -1;
        --position;
    }
    if (m_map.mapped())
        return m_map.positionAt(position);
    // While the views hear of a record stored or removed, the rows still stand as before it.
    if (m_shift != 0 && row >= m_shiftRow) {
        if (m_shift < 0 && row == m_shiftRow)
            return -1;
        position += m_shift;
    }
    return position;
}

void DBGridModel::storedRowInserted(int position)
{
    m_bufferRow = -1;
    m_followRow = -1;
    if (m_map.mapped()) {
        // The records behind it moved one place on; the new one takes its place in the view.
        m_map.positionInserted(position);
        const int index = placeInMap(position);
        if (m_insertRow >= 0) {
            const int pending = m_insertRow;
            if (index == pending) {
                m_map.insertAt(index, position);
                m_insertRow = -1;
                emit viewChanged();
                return;
            }
            removeRowAt(pending, false);
        }
        insertRowAt(index, true, position);
        emit viewChanged();
        return;
    }
    if (m_insertRow >= 0) {
        // The record being inserted was stored; in the row where it showed, it stays.
        const int pending = m_insertRow;
        m_insertRow = -1;
        if (position == pending) {
            emit viewChanged();
            return;
        }
        removeRowAt(pending, false);
    }
    const int row = rowOfPosition(position);
    if (row < 0 || row > m_rows || !m_shown)
        resetRows();
    else
        insertRowAt(row, true);
    emit viewChanged();
}

void DBGridModel::storedRowRemoved(int position)
{
    m_bufferRow = -1;
    m_followRow = -1;
    if (m_map.mapped()) {
        const int index = m_map.positionRemoved(position, {indexOfRow(m_hintRow), indexOfRow(m_activeRow)});
        if (index >= 0) {
            const int row = m_insertRow >= 0 && index >= m_insertRow ? index + 1 : index;
            const bool wasActive = row == m_activeRow;
            removeRowAt(row, true);
            if (wasActive && m_rows > 0)
                m_followRow = row;
        }
        emit viewChanged();
        return;
    }
    const int row = rowOfPosition(position);
    if (row < 0 || row >= m_rows || !m_shown || row == m_insertRow)
        resetRows();
    else
        removeRowAt(row, true);
    emit viewChanged();
}

void DBGridModel::storedRowUpdated(int position)
{
    m_bufferRow = -1;
    updateRow(rowOfPosition(position));
}

void DBGridModel::insertRowAt(int row, bool stored, int position)
{
    m_changingRows = true;
    if (stored && !m_map.mapped()) {
        m_shiftRow = row;
        m_shift = 1;
    }
    beginInsertRows({}, row, row);
    m_shift = 0;
    if (stored && m_map.mapped())
        m_map.insertAt(row, position);
    ++m_rows;
    m_bufferRow = -1;
    if (m_activeRow >= row)
        ++m_activeRow;
    if (m_insertRow >= row)
        ++m_insertRow;
    if (!stored)
        m_insertRow = row;
    endInsertRows();
    m_changingRows = false;
}

void DBGridModel::removeRowAt(int row, bool stored)
{
    m_changingRows = true;
    if (stored && !m_map.mapped()) {
        m_shiftRow = row;
        m_shift = -1;
    }
    beginRemoveRows({}, row, row);
    m_shift = 0;
    if (stored && m_map.mapped())
        m_map.eraseAt(m_insertRow >= 0 && row > m_insertRow ? row - 1 : row);
    --m_rows;
    m_bufferRow = -1;
    if (m_activeRow == row)
        m_activeRow = -1;
    else if (m_activeRow > row)
        --m_activeRow;
    if (m_insertRow == row)
        m_insertRow = -1;
    else if (m_insertRow > row)
        --m_insertRow;
    endRemoveRows();
    m_changingRows = false;
}

void DBGridModel::resetRows()
{
    TDataSet *ds = dataSet();
    const bool active = ds && ds->Active();
    m_changingRows = true;
    beginResetModel();
    m_shown = active ? ds : nullptr;
    m_followRow = -1;
    computeMap();
    m_insertRow = active && ds->State() == TDataSetState::dsInsert ? insertRowFor(ds->ActiveRow()) : -1;
    m_rows = active ? shownCount() + (m_insertRow >= 0 ? 1 : 0) : 0;
    m_buffer = active ? ds->NewRowBuffer() : nullptr;
    m_bufferRow = -1;
    m_activeRow = -1;
    m_columnCount = columnCount();
    endResetModel();
    m_changingRows = false;
    emit viewChanged();
}

void DBGridModel::updateRow(int row)
{
    if (row < 0 || row >= m_rows)
        return;
    const int columns = columnCount();
    if (columns > 0)
        emit dataChanged(index(row, 0), index(row, columns - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
}

void DBGridModel::moveToRow(int row)
{
    TDataSet *ds = dataSet();
    const int position = positionOfRow(row);
    if (!ds || position < 0)
        return;
    m_hintRow = row;
    try {
        ds->MoveToRow(position);
    } catch (...) {
        m_hintRow = -1;
        throw;
    }
    m_hintRow = -1;
}

int DBGridModel::shownCount() const
{
    if (!m_shown)
        return 0;
    return m_map.mapped() ? m_map.size() : m_shown->RowCount();
}

std::vector<int> DBGridModel::ShownPositions() const
{
    if (m_map.mapped())
        return std::vector<int>(m_map.positions().begin(), m_map.positions().end());
    std::vector<int> positions(static_cast<std::size_t>(shownCount()));
    std::iota(positions.begin(), positions.end(), 0);
    return positions;
}

std::optional<std::vector<int>> DBGridModel::FilteredPositions() const
{
    if (!m_shown || !m_filterOn || m_search.empty())
        return std::nullopt;
    std::vector<int> positions(m_map.positions().begin(), m_map.positions().end());
    std::sort(positions.begin(), positions.end());
    return positions;
}

void DBGridModel::setFindFields(const QStringList &names)
{
    m_findFieldNames = names;
}

std::vector<int> DBGridModel::findFieldNumbers() const
{
    std::vector<int> numbers;
    TDataSet *ds = dataSet();
    if (!ds || !ds->Active())
        return numbers;
    const auto add = [&numbers](const TField *field) {
        if (field && field->FieldNo() > 0 &&
            std::find(numbers.begin(), numbers.end(), field->FieldNo()) == numbers.end())
            numbers.push_back(field->FieldNo());
    };
    if (m_findFieldNames.isEmpty()) {
        for (const TField *field : fields())
            add(field);
    } else {
        for (const QString &name : m_findFieldNames)
            add(ds->FindField(Codec::fromQString(name)));
    }
    return numbers;
}

bool DBGridModel::positionMatches(int position, const std::vector<int> &fieldNumbers,
                                  std::vector<std::string_view> &values) const
{
    const std::string_view stored = m_shown->StoredRecordAt(position);
    // A value is a part of the stored record: a record without the text has no value with it.
    if (!m_search.foundIn(stored))
        return false;
    m_shown->StoredValues(stored, values.data(), int(values.size()));
    for (int number : fieldNumbers) {
        if (m_search.foundIn(values[std::size_t(number - 1)]))
            return true;
    }
    return false;
}

std::string_view DBGridModel::storedValue(int position, int fieldNumber,
                                          std::vector<std::string_view> &values) const
{
    const std::string_view stored = m_shown->StoredRecordAt(position);
    m_shown->StoredValues(stored, values.data(), fieldNumber);
    return values[std::size_t(fieldNumber - 1)];
}

void DBGridModel::setFindText(const QString &text)
{
    if (text == m_findText)
        return;
    m_findText = text;
    m_search = FoldedSearch(Codec::fromQString(text), Codec::caseFoldTable());
    if (m_filterOn)
        rebuildView();
}

bool DBGridModel::rowMatches(int row) const
{
    const int position = positionOfRow(row);
    if (!m_shown || m_search.empty() || position < 0)
        return false;
    const std::vector<int> numbers = findFieldNumbers();
    if (numbers.empty())
        return false;
    std::vector<std::string_view> values(std::size_t(*std::max_element(numbers.begin(), numbers.end())));
    return positionMatches(position, numbers, values);
}

int DBGridModel::findRow(int from, bool backwards, bool *wrapped) const
{
    if (wrapped)
        *wrapped = false;
    const std::vector<int> numbers = findFieldNumbers();
    if (!m_shown || m_search.empty() || m_rows <= 0 || numbers.empty())
        return -1;
    std::vector<std::string_view> values(std::size_t(*std::max_element(numbers.begin(), numbers.end())));
    if (!m_map.mapped() && m_insertRow < 0 && m_shift == 0 && !backwards && from >= 0 && from <= m_rows) {
        // Rows are positions: two plain runs, from the row to the end and from the start round.
        for (int pass = 0; pass < 2; ++pass) {
            const int end = pass == 0 ? m_rows : std::min(from, m_rows);
            for (int position = pass == 0 ? from : 0; position < end; ++position) {
                if (positionMatches(position, numbers, values)) {
                    if (wrapped)
                        *wrapped = pass == 1;
                    return position;
                }
            }
        }
        return -1;
    }
    for (int step = 0; step < m_rows; ++step) {
        int row = backwards ? from - step : from + step;
        bool round = false;
        if (row >= m_rows) {
            row -= m_rows;
            round = true;
        } else if (row < 0) {
            row += m_rows;
            round = true;
        }
        const int position = positionOfRow(row);
        if (position >= 0 && positionMatches(position, numbers, values)) {
            if (wrapped)
                *wrapped = round;
            return row;
        }
    }
    return -1;
}

void DBGridModel::setFilterOn(bool on)
{
    if (on == m_filterOn)
        return;
    m_filterOn = on;
    rebuildView();
}

void DBGridModel::setSort(int column, Qt::SortOrder order)
{
    if (column < 0)
        order = Qt::AscendingOrder;
    if (column == m_sortColumn && order == m_sortOrder)
        return;
    m_sortColumn = column;
    m_sortOrder = order;
    // The records shown stay those shown: a sort is no new filter.
    m_refilter = false;
    rebuildView();
    m_refilter = true;
}

void DBGridModel::cycleSort(int column)
{
    if (column != m_sortColumn)
        setSort(column, Qt::AscendingOrder);
    else if (m_sortOrder == Qt::AscendingOrder)
        setSort(column, Qt::DescendingOrder);
    else
        setSort(-1, Qt::AscendingOrder);
}

const QCollator &DBGridModel::collator() const
{
    if (!m_collator)
        m_collator = std::make_unique<QCollator>(QLocale(QLocale::Bulgarian));
    return *m_collator;
}

void DBGridModel::computeMap()
{
    const bool wasMapped = m_map.mapped();
    std::vector<std::int32_t> previous = m_map.take();
    TDataSet *ds = m_shown;
    if (!ds)
        return;
    const int count = ds->RowCount();
    std::vector<std::int32_t> shown;
    bool filtered = false;
    if (m_filterOn && !m_search.empty()) {
        filtered = true;
        if (!m_refilter && wasMapped) {
            shown.swap(previous);
            std::sort(shown.begin(), shown.end());
        } else {
            const std::vector<int> numbers = findFieldNumbers();
            if (!numbers.empty()) {
                std::vector<std::string_view> values(
                    std::size_t(*std::max_element(numbers.begin(), numbers.end())));
                for (int position = 0; position < count; ++position) {
                    if (positionMatches(position, numbers, values))
                        shown.push_back(position);
                }
            }
        }
    }
    previous = {};
    const TField *sortField = m_sortColumn >= 0 ? fieldOfColumn(m_sortColumn) : nullptr;
    if (sortField && sortField->FieldNo() > 0) {
        const int number = sortField->FieldNo();
        std::vector<std::string_view> values(static_cast<std::size_t>(number));
        m_map.set(collatedOrder(
                      filtered ? &shown : nullptr, count,
                      [&](std::int32_t position) { return storedValue(position, number, values); },
                      collator(), m_sortOrder == Qt::DescendingOrder),
                  m_sortColumn < 0);
    } else if (filtered) {
        m_map.set(std::move(shown), m_sortColumn < 0);
    }
}

int DBGridModel::placeInMap(int position) const
{
    const TField *sortField = m_sortColumn >= 0 ? fieldOfColumn(m_sortColumn) : nullptr;
    if (!sortField || sortField->FieldNo() <= 0)
        return m_map.lowerBound(position);
    const int number = sortField->FieldNo();
    std::vector<std::string_view> values(static_cast<std::size_t>(number));
    const QString key = Codec::toQString(storedValue(position, number, values));
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    // The first record that goes after the new one; of equal values, the later in the catalogue.
    std::size_t low = 0;
    std::size_t high = std::size_t(m_map.size());
    while (low < high) {
        const std::size_t mid = (low + high) / 2;
        const std::int32_t other = m_map.positions()[mid];
        int order = collator().compare(Codec::toQString(storedValue(other, number, values)), key);
        if (descending)
            order = -order;
        if (order < 0 || (order == 0 && other < position))
            low = mid + 1;
        else
            high = mid;
    }
    return int(low);
}

void DBGridModel::rebuildView()
{
    resetRows();
    refresh();
    keepActiveShown();
}

void DBGridModel::keepActiveShown()
{
    TDataSet *ds = dataSet();
    if (!m_shown || ds != m_shown || ds->State() != TDataSetState::dsBrowse || !m_map.mapped() ||
        m_map.empty() || m_activeRow >= 0)
        return;
    const int active = ds->ActiveRow();
    if (active < 0)
        return;
    // The nearest record shown from the active one on in the catalogue, or the last before it.
    ds->MoveToRow(m_map.nearestTo(active));
}

QString DBGridModel::textAt(int row, const TField &field) const
{
    TDataSet *ds = dataSet();
    const TDataSetState state = ds->State();
    if ((state == TDataSetState::dsEdit && row == m_activeRow) ||
        (state == TDataSetState::dsInsert && row == m_insertRow))
        return field.Text();
    const int position = positionOfRow(row);
    if (position < 0)
        return QString();
    if (m_bufferRow != position) {
        if (!m_buffer || !ds->ReadRecordAt(position, m_buffer.get()))
            return QString();
        m_bufferRow = position;
    }
    return Codec::toQString(ds->FieldValueIn(m_buffer.get(), field));
}

QVariant DBGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const TColumn *column =
        index.column() < int(m_columns.size()) ? &m_columns[std::size_t(index.column())] : nullptr;
    switch (role) {
    case Qt::DisplayRole: {
        const TField *field = fieldOfColumn(index.column());
        return field ? textAt(index.row(), *field) : QString();
    }
    case Qt::TextAlignmentRole:
        return column ? QVariant(column->Alignment) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::FontRole:
        if (column && column->Bold) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    default:
        return {};
    }
}

QVariant DBGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal) {
        if (section >= 0 && section < int(m_columns.size()))
            return m_columns[std::size_t(section)].Title;
        const TField *field = fieldOfColumn(section);
        return field ? Codec::toQString(field->DisplayLabel()) : QString();
    }
    // The indicator column: the active record, and whether it is being edited or inserted.
    if (section != m_activeRow || !dataSet())
        return QString();
    switch (dataSet()->State()) {
    case TDataSetState::dsEdit:
        return QStringLiteral("I");
    case TDataSetState::dsInsert:
        return QStringLiteral("*");
    default:
        return QStringLiteral("\u25B8");
    }
}

TDBGrid::TDBGrid(QWidget *parent) : QTableView(parent), m_model(new DBGridModel(this))
{
    setVerticalHeader(new RowIndicator(this));
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(true);
    setShowGrid(true);
    setWordWrap(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setFixedWidth(12);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    connect(m_model, &DBGridModel::activeRowChanged, this, &TDBGrid::followDataSet);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &TDBGrid::titleClicked);
}

void TDBGrid::titleClicked(int column)
{
    m_model->cycleSort(column);
    showSortOrder();
}

void TDBGrid::showSortOrder()
{
    QHeaderView *header = horizontalHeader();
    const int column = m_model->sortColumn();
    // The titles look as ever while the catalogue's order shows.
    header->setSortIndicatorShown(column >= 0);
    if (column >= 0)
        header->setSortIndicator(column, m_model->sortOrder());
}

void TDBGrid::setDataSource(TDataSource *source)
{
    m_source = source;
    m_model->setDataSource(source);
    ColumnsChanged();
}

void TDBGrid::ColumnsChanged()
{
    m_model->columnsChanged();
    m_model->refresh();
    showSortOrder();
    const std::vector<TColumn> &columns = m_model->columns();
    for (int i = 0; i < int(columns.size()); ++i)
        setColumnWidthOf(i, columns[std::size_t(i)].Width);
}

void TDBGrid::setColumnWidthOf(int column, int width)
{
    std::vector<TColumn> &columns = m_model->columns();
    if (column < 0 || column >= int(columns.size()))
        return;
    columns[std::size_t(column)].Width = width;
    setColumnWidth(column, std::max(width, 0));
}

void TDBGrid::followDataSet(int row)
{
    if (row < 0)
        return;
    m_following = true;
    const int column = std::max(currentIndex().column(), 0);
    setCurrentIndex(m_model->index(row, column));
    m_following = false;
}

void TDBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_following || m_model->changingRows() || !current.isValid() || current.row() == m_model->activeRow())
        return;
    TDataSet *ds = m_model->dataSet();
    if (!ds || !ds->Active() || ds->State() != TDataSetState::dsBrowse)
        return;
    // Called from inside the selection model's signal: an error must not unwind through it. The
    // view goes back to the dataset's record, at once and again once the event that moved the view
    // is over (a mouse press selects its row after this), and the error is shown then, not in the
    // middle of a mouse press.
    try {
        m_model->moveToRow(current.row());
    } catch (...) {
        followDataSet(m_model->activeRow());
        QTimer::singleShot(0, this, [this, error = std::current_exception()] {
            followDataSet(m_model->activeRow());
            try {
                std::rethrow_exception(error);
            } catch (const std::exception &e) {
                handleException(e);
            } catch (...) {
                handleException(Exception("Unknown error"));
            }
        });
    }
}

int virtualKeyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Insert:
        return VK::Insert;
    case Qt::Key_Delete:
        return VK::Delete;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK::Return;
    case Qt::Key_Escape:
        return VK::Escape;
    case Qt::Key_Shift:
        return VK::Shift;
    case Qt::Key_Control:
        return VK::Control;
    case Qt::Key_Alt:
        return VK::Menu;
    case Qt::Key_Tab:
        return VK::Tab;
    case Qt::Key_Up:
        return VK::Up;
    case Qt::Key_Down:
        return VK::Down;
    default:
        if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
            return VK::F1 + (qtKey - Qt::Key_F1);
        if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
            return qtKey;
        return 0;
    }
}

void TDBGrid::keyPressEvent(QKeyEvent *event)
{
    emit KeyDown(virtualKeyOf(event->key()), event->modifiers());
    // Tab steps through the columns and rows; Ctrl+Tab (with Shift, back) leaves the grid for the
    // window's other controls, which the keyboard could not reach otherwise.
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
        (event->modifiers() & Qt::ControlModifier)) {
        const bool back = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
        if (QWidget::focusNextPrevChild(!back))
            return;
    }
    QTableView::keyPressEvent(event);
}
