#pragma once
// The data-aware grid: a table view over a model that reads the dataset's records by position,
// so a catalogue of a million films scrolls as fast as a small one. The view's current row and the
// dataset's active record follow each other; a record being inserted or edited shows in its row.

#include <QAbstractTableModel>
#include <QPointer>

#include "DataSource.h"
#include "FoldedSearch.h"
#include "RowMap.h"
#include <QTableView>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QCollator;

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
    // Makes the record shown in `row` the active one.
    void moveToRow(int row);
    // The stored position of the record shown in a row, -1 for the record being inserted.
    int positionOfRow(int row) const;

    // Finding, filtering and sorting. They are the view's own: the dataset and its file keep the
    // catalogue's order. The fields finding looks in, by name; none given: the columns' fields.
    void setFindFields(const QStringList &names);
    // The text to find, in any letter case.
    void setFindText(const QString &text);
    const QString &findText() const { return m_findText; }
    // Whether the record of a row holds the find text in one of the find fields.
    bool rowMatches(int row) const;
    // The first row from `from` on that matches, going down (or up), past the end (or the start)
    // round to the other end: -1 when none does. `wrapped` tells whether it went round.
    int findRow(int from, bool backwards, bool *wrapped = nullptr) const;
    // Only the records that hold the find text, in catalogue order (sorted when a sort is on). A
    // record that stops matching after an edit stays until the text or the filter changes.
    void setFilterOn(bool on);
    bool filterOn() const { return m_filterOn; }
    // Sorts by a column's values in the collation of the grid's language, equal values in catalogue
    // order; -1 is catalogue order. New records take their place in the order when stored; edited
    // ones stay where they are until the next sort.
    void setSort(int column, Qt::SortOrder order);
    // A click on a column's title: sorted up, then down, then back to catalogue order.
    void cycleSort(int column);
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    // How many stored records the view shows, and their positions in the view's order.
    int shownCount() const;
    std::vector<int> ShownPositions() const;
    // The films a filter lets through: their positions (record numbers in catalogue order),
    // ascending, whatever the sort; none when no filter narrows the view and every film shows.
    // Films added or edited since the text was set count as they show.
    std::optional<std::vector<int>> FilteredPositions() const;

signals:
    void activeRowChanged(int row);
    // The records shown changed: filtered, sorted, or one added or removed.
    void viewChanged();

private:
    // The field of each column (nullptr where none has its name), looked up once per open or
    // column change rather than for every cell.
    const std::vector<const TField *> &fields() const;
    const TField *fieldOfColumn(int column) const;
    void resolveFields() const;
    QString textAt(int row, const TField &field) const;
    // Rows are stored records by position (or as the view's map orders them), with the record being
    // inserted shown among them.
    int rowOfPosition(int position) const;
    // Index of a position in the map, -1 when the view does not show it.
    int indexInMap(int position) const;
    // The map's index of a row, past the record being inserted.
    int indexOfRow(int row) const;
    // Where a newly stored record goes in the map: its catalogue or its sorted place.
    int placeInMap(int position) const;
    // The row where a record being inserted in front of `position` shows.
    int insertRowFor(int position) const;
    // Records stored, removed or replaced by the dataset, by position.
    void storedRowInserted(int position);
    void storedRowRemoved(int position);
    void storedRowUpdated(int position);
    // A row of a record stored or removed in the dataset, or of the record being inserted.
    void insertRowAt(int row, bool stored, int position = -1);
    void removeRowAt(int row, bool stored);
    void resetRows();
    // The row's look changed: its values or its indicator.
    void updateRow(int row);
    // Finding reads the stored bytes of these fields (their numbers), folded.
    std::vector<int> findFieldNumbers() const;
    bool positionMatches(int position, const std::vector<int> &fieldNumbers,
                         std::vector<std::string_view> &values) const;
    std::string_view storedValue(int position, int fieldNumber, std::vector<std::string_view> &values) const;
    // Computes the map for the filter and the sort, and shows it.
    void rebuildView();
    void computeMap();
    // After the view changed, the active record is one it shows, where it can be.
    void keepActiveShown();
    const QCollator &collator() const;

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
    // The view: without a map, every stored record in catalogue order; with one, the records of
    // these positions in this order. Kept ascending while no sort is on.
    RowMap m_map;
    // The row the view is moving to, tried first when a position's row is looked for.
    int m_hintRow = -1;
    // The row of an active record just deleted from a map: the next record there becomes active.
    int m_followRow = -1;
    // False while the view is sorted anew: the records shown stay those shown.
    bool m_refilter = true;
    QStringList m_findFieldNames;
    QString m_findText;
    FoldedSearch m_search;
    bool m_filterOn = false;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    mutable std::unique_ptr<QCollator> m_collator;
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
    // A click on a column's title sorts by it; the title shows the order.
    void titleClicked(int column);
    void showSortOrder();

    DBGridModel *m_model;
    QPointer<TDataSource> m_source;
    bool m_readOnly = true;
    bool m_following = false;
};

// The virtual key code of a Qt key (0 when it has none here).
int virtualKeyOf(int qtKey);
