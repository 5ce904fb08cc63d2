#pragma once
// Connects data-aware controls to a dataset: they follow its signals through one object.

#include <QObject>
#include <QPointer>

class TDataSet;
class TField;

class TDataSource : public QObject
{
    Q_OBJECT

public:
    explicit TDataSource(QObject *parent = nullptr);

    TDataSet *DataSet() const;
    void setDataSet(TDataSet *dataSet);

signals:
    void dataSetChanged();
    void stateChanged();
    void recordChanged(TField *field);
    // Controls with pending edits write them into their fields now.
    void updateRecordRequested();
    void layoutChanged();
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowUpdated(int row);
    void rowsReset();

private:
    QPointer<TDataSet> m_dataSet;
};
