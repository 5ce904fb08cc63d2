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
            beginResetModel();
            m_fieldsValid = false;
            endResetModel();
        });
        connect(source, &TDataSource::recordChanged, this, [this] {
            if (m_activeRow >= 0)
                emit dataChanged(index(m_activeRow, 0), index(m_activeRow, columnCount() - 1));
        });
    }
    m_fieldsValid = false;
    refresh();
}

TDataSet *DBGridModel::dataSet() const
{
    return m_source ? m_source->DataSet() : nullptr;
}

void DBGridModel::columnsChanged()
{
    beginResetModel();
    m_fieldsValid = false;
    endResetModel();
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
    const TDataSetState state = active ? ds->State() : TDataSetState::dsInactive;
    const int insertRow = state == TDataSetState::dsInsert ? ds->ActiveRow() : -1;
    const int rows = active ? ds->RowCount() + (insertRow >= 0 ? 1 : 0) : 0;
    m_bufferRow = -1;
    if (rows != m_rows || insertRow != m_insertRow) {
        beginResetModel();
        m_rows = rows;
        m_insertRow = insertRow;
        m_buffer = active ? ds->NewRowBuffer() : nullptr;
        endResetModel();
    } else if (rows > 0) {
        emit dataChanged(index(0, 0), index(rows - 1, std::max(columnCount() - 1, 0)));
        emit headerDataChanged(Qt::Vertical, 0, rows - 1);
    }
    const int activeRow = active ? ds->ActiveRow() : -1;
    m_activeRow = activeRow;
    emit activeRowChanged(activeRow);
}

QString DBGridModel::textAt(int row, const TField &field) const
{
    TDataSet *ds = dataSet();
    const TDataSetState state = ds->State();
    if ((state == TDataSetState::dsEdit || state == TDataSetState::dsInsert) && row == m_activeRow)
        return field.Text();
    int position = row;
    if (m_insertRow >= 0 && row > m_insertRow)
        --position;
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
    if (m_following || !current.isValid() || current.row() == m_model->activeRow())
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
