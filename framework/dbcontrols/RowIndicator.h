#pragma once
// The grid's indicator column. Its rows are all alike (fixed height, none hidden or moved), so a row
// added or removed anywhere changes it as one added or removed at the end would. The stock header
// walks every row on each removal, which a million films feel.

#include <QHeaderView>

class RowIndicator : public QHeaderView
{
    Q_OBJECT

public:
    explicit RowIndicator(QWidget *parent);

    void setModel(QAbstractItemModel *model) override;
    // Whether it takes the model's row insertions and removals over from the stock header: that
    // header connects them by the names of its own slots, which a new Qt may change.
    bool TakesRowChanges() const { return bool(m_inserted) && bool(m_removed); }

private:
    bool alike() const;
    void rowsInserted(const QModelIndex &parent, int first, int last);
    void rowsRemoved(const QModelIndex &parent, int first, int last);

    QMetaObject::Connection m_inserted;
    QMetaObject::Connection m_removed;
};
