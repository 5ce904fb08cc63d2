#pragma once
// The data-aware grid: a table view over a model that reads the dataset's records by position,
// so a catalogue of a million films scrolls as fast as a small one. The view's current row and the
// dataset's active record follow each other; a record being inserted or edited shows in its row.

#include <QAbstractTableModel>
#include <QPointer>

#include "DataSource.h"
#include <QTableView>
#include <memory>
#include <vector>

class TDataSet;
class TDataSource;
class TField;

struct TColumn
{
    QString FieldName;
    QString Title;
    // As set; the view shows widths below 1 as 0.
    int Width = 64;
    Qt::Alignment Alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool Bold = false;
};

class DBGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit DBGridModel(QObject *parent = nullptr);
    ~DBGridModel() override;

    void setDataSource(TDataSource *source);
    TDataSet *dataSet() const;
    // The persistent columns; without any, the dataset's visible fields are the columns.
    std::vector<TColumn> &columns() { return m_columns; }
    const std::vector<TColumn> &columns() const { return m_columns; }
    // The columns were changed: their fields are looked up again.
    void columnsChanged();
    // The row the active record shows in, -1 when none.
    int activeRow() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Follows the dataset: the record being inserted or edited, the active row.
    void refresh();
    // True while rows are inserted, removed or reset: the view's current row moves with them then,
    // and that must not move the dataset.
    bool changingRows() const { return m_changingRows; }

signals:
    void activeRowChanged(int row);

private:
    // The field of each column (nullptr where none has its name), looked up once per open or
    // column change rather than for every cell.
    const std::vector<const TField *> &fields() const;
    const TField *fieldOfColumn(int column) const;
    void resolveFields() const;
    QString textAt(int row, const TField &field) const;
    // Rows are stored records by position, with the record being inserted shown among them.
    int rowOfPosition(int position) const;
    int positionOfRow(int row) const;
    // Records stored, removed or replaced by the dataset, by position.
    void storedRowInserted(int position);
    void storedRowRemoved(int position);
    void storedRowUpdated(int position);
    // A row of a record stored or removed in the dataset, or of the record being inserted.
    void insertRowAt(int row, bool stored);
    void removeRowAt(int row, bool stored);
    void resetRows();
    // The row's look changed: its values or its indicator.
    void updateRow(int row);

    QPointer<TDataSource> m_source;
    std::vector<TColumn> m_columns;
    mutable std::vector<const TField *> m_fields;
    mutable const TDataSet *m_fieldsOf = nullptr;
    mutable unsigned m_fieldsGeneration = 0;
    mutable bool m_fieldsValid = false;
    // What the rows show: an open dataset, with this many columns.
    QPointer<TDataSet> m_shown;
    int m_columnCount = 0;
    int m_rows = 0;
    int m_insertRow = -1;
    mutable std::unique_ptr<char[]> m_buffer;
    mutable int m_bufferRow = -1;
    int m_activeRow = -1;
    bool m_changingRows = false;
    // Rows from m_shiftRow on stand this far from their records while a change is announced.
    int m_shiftRow = 0;
    int m_shift = 0;
};

class TDBGrid : public QTableView
{
    Q_OBJECT
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE setReadOnly)

public:
    explicit TDBGrid(QWidget *parent = nullptr);

    TDataSource *DataSource() const { return m_source; }
    void setDataSource(TDataSource *source);
    std::vector<TColumn> &Columns() { return m_model->columns(); }
    // Applies changed columns (titles, widths, alignment) to the view.
    void ColumnsChanged();
    void setColumnWidthOf(int column, int width);
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool value) { m_readOnly = value; }
    DBGridModel *gridModel() const { return m_model; }

signals:
    // Every key pressed in the grid, as a virtual key code, before the grid handles it.
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void followDataSet(int row);

    DBGridModel *m_model;
    QPointer<TDataSource> m_source;
    bool m_readOnly = true;
    bool m_following = false;
};

// The virtual key code of a Qt key (0 when it has none here).
int virtualKeyOf(int qtKey);
