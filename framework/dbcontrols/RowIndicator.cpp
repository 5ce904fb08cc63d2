#include "RowIndicator.h"

RowIndicator::RowIndicator(QWidget *parent) : QHeaderView(Qt::Vertical, parent)
{
    // As the table view's own vertical header.
    setSectionsClickable(true);
    setHighlightSections(true);
}

void RowIndicator::setModel(QAbstractItemModel *model)
{
    if (model == this->model())
        return;
    disconnect(m_inserted);
    disconnect(m_removed);
    m_inserted = {};
    m_removed = {};
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

bool RowIndicator::alike() const
{
    return !sectionsHidden() && !sectionsMoved() && !stretchLastSection();
}

void RowIndicator::rowsInserted(const QModelIndex &parent, int first, int last)
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

void RowIndicator::rowsRemoved(const QModelIndex &parent, int first, int last)
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
