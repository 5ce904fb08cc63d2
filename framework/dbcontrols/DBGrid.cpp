#include "DBGrid.h"

#include "Codec.h"
#include "DataSet.h"
#include "DataSource.h"
#include "VirtualKeys.h"

#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>

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
        // A new record shows in a row of its own while it is inserted; cancelled, it leaves it.
        const int insertRow = ds->State() == TDataSetState::dsInsert ? ds->ActiveRow() : -1;
        if (insertRow != m_insertRow) {
            if (m_insertRow >= 0)
                removeRowAt(m_insertRow, false);
            if (insertRow >= 0 && insertRow <= m_rows)
                insertRowAt(insertRow, false);
        }
        if (m_rows != ds->RowCount() + (m_insertRow >= 0 ? 1 : 0))
            resetRows();
    }
    const int previous = m_activeRow;
    m_activeRow = active ? ds->ActiveRow() : -1;
    if (previous != m_activeRow)
        updateRow(previous);
    updateRow(m_activeRow);
    emit activeRowChanged(m_activeRow);
}

int DBGridModel::rowOfPosition(int position) const
{
    return m_insertRow >= 0 && position >= m_insertRow ? position + 1 : position;
}

int DBGridModel::positionOfRow(int row) const
{
    int position = row;
    if (m_insertRow >= 0 && row >= m_insertRow) {
        if (row == m_insertRow)
            return -1;
        --position;
    }
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
    if (m_insertRow >= 0) {
        // The record being inserted was stored; in the row where it showed, it stays.
        const int pending = m_insertRow;
        m_insertRow = -1;
        if (position == pending)
            return;
        removeRowAt(pending, false);
    }
    const int row = rowOfPosition(position);
    if (row < 0 || row > m_rows || !m_shown)
        resetRows();
    else
        insertRowAt(row, true);
}

void DBGridModel::storedRowRemoved(int position)
{
    m_bufferRow = -1;
    const int row = rowOfPosition(position);
    if (row < 0 || row >= m_rows || !m_shown || row == m_insertRow)
        resetRows();
    else
        removeRowAt(row, true);
}

void DBGridModel::storedRowUpdated(int position)
{
    m_bufferRow = -1;
    updateRow(rowOfPosition(position));
}

void DBGridModel::insertRowAt(int row, bool stored)
{
    m_changingRows = true;
    if (stored) {
        m_shiftRow = row;
        m_shift = 1;
    }
    beginInsertRows({}, row, row);
    m_shift = 0;
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
    if (stored) {
        m_shiftRow = row;
        m_shift = -1;
    }
    beginRemoveRows({}, row, row);
    m_shift = 0;
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
    m_insertRow = active && ds->State() == TDataSetState::dsInsert ? ds->ActiveRow() : -1;
    m_rows = active ? ds->RowCount() + (m_insertRow >= 0 ? 1 : 0) : 0;
    m_buffer = active ? ds->NewRowBuffer() : nullptr;
    m_bufferRow = -1;
    m_activeRow = -1;
    m_columnCount = columnCount();
    endResetModel();
    m_changingRows = false;
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

namespace {
// The indicator column. Its rows are all alike (fixed height, none hidden or moved), so a row
// added or removed anywhere changes it as one added or removed at the end would. The stock header
// walks every row on each removal, which a million films feel.
class RowIndicator : public QHeaderView
{
public:
    explicit RowIndicator(QWidget *parent) : QHeaderView(Qt::Vertical, parent)
    {
        // As the table view's own vertical header.
        setSectionsClickable(true);
        setHighlightSections(true);
    }

    void setModel(QAbstractItemModel *model) override
    {
        if (model == this->model())
            return;
        disconnect(m_inserted);
        disconnect(m_removed);
        QHeaderView::setModel(model);
        if (!model)
            return;
        // Take the row notifications over from the stock header where it takes them by name.
        if (disconnect(model, SIGNAL(rowsInserted(QModelIndex, int, int)), this,
                       SLOT(sectionsInserted(QModelIndex, int, int))))
            m_inserted = connect(model, &QAbstractItemModel::rowsInserted, this, &RowIndicator::rowsInserted);
        if (disconnect(model, SIGNAL(rowsRemoved(QModelIndex, int, int)), this,
                       SLOT(_q_sectionsRemoved(QModelIndex, int, int))))
            m_removed = connect(model, &QAbstractItemModel::rowsRemoved, this, &RowIndicator::rowsRemoved);
    }

private:
    bool alike() const { return !sectionsHidden() && !sectionsMoved() && !stretchLastSection(); }

    void rowsInserted(const QModelIndex &parent, int first, int last)
    {
        if (!alike()) {
            sectionsInserted(parent, first, last);
            return;
        }
        if (parent.isValid())
            return;
        // The model's count, not count(): that would lay the header out first, the slow way.
        const int rows = model()->rowCount();
        initializeSections(rows - (last - first + 1), rows - 1);
    }

    void rowsRemoved(const QModelIndex &parent, int first, int last)
    {
        const int after = model()->rowCount();
        if (!alike() || after <= 0) {
            QMetaObject::invokeMethod(this, "_q_sectionsRemoved", Qt::DirectConnection,
                                      Q_ARG(QModelIndex, parent), Q_ARG(int, first), Q_ARG(int, last));
            return;
        }
        if (parent.isValid())
            return;
        initializeSections(after - 1, after - 1);
    }

    QMetaObject::Connection m_inserted;
    QMetaObject::Connection m_removed;
};
} // namespace

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
    if (ds && ds->Active() && ds->State() == TDataSetState::dsBrowse)
        ds->MoveToRow(current.row());
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
    QTableView::keyPressEvent(event);
}
