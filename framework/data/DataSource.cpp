#include "DataSource.h"

#include "DataSet.h"

TDataSource::TDataSource(QObject *parent) : QObject(parent) {}

void TDataSource::setDataSet(TDataSet *dataSet)
{
    if (m_dataSet == dataSet)
        return;
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    if (dataSet) {
        connect(dataSet, &TDataSet::dataSetChanged, this, &TDataSource::dataSetChanged);
        connect(dataSet, &TDataSet::stateChanged, this, &TDataSource::stateChanged);
        connect(dataSet, &TDataSet::recordChanged, this, &TDataSource::recordChanged);
        connect(dataSet, &TDataSet::updateRecordRequested, this, &TDataSource::updateRecordRequested);
        connect(dataSet, &TDataSet::layoutChanged, this, &TDataSource::layoutChanged);
        connect(dataSet, &TDataSet::rowInserted, this, &TDataSource::rowInserted);
        connect(dataSet, &TDataSet::rowRemoved, this, &TDataSource::rowRemoved);
        connect(dataSet, &TDataSet::rowUpdated, this, &TDataSource::rowUpdated);
        connect(dataSet, &TDataSet::rowsReset, this, &TDataSource::rowsReset);
    }
    emit dataSetChanged();
}

TDataSet *TDataSource::DataSet() const
{
    return m_dataSet;
}
