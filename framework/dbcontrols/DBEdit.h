#pragma once
// An edit box bound to a field by name through a data source: it shows the active record's value,
// takes no more characters than the field is wide, and hands a changed text to the field before the
// dataset posts.

#include <QLineEdit>
#include <QPointer>

#include "DataSource.h"

class TDataSource;
class TField;

class TDBEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString DataField READ DataField WRITE setDataField)

public:
    explicit TDBEdit(QWidget *parent = nullptr);

    TDataSource *DataSource() const { return m_source; }
    void setDataSource(TDataSource *source);
    const QString &DataField() const { return m_dataField; }
    void setDataField(const QString &name);
    TField *Field() const;
    // The text differs from the field's value and will be handed over at the next post.
    bool Modified() const { return m_modified; }

signals:
    // The user filled the box up to the field's width: what is typed or pasted beyond it is left out.
    void Full(int width);

private:
    void load();
    void updateRecord();

    QPointer<TDataSource> m_source;
    QString m_dataField;
    bool m_modified = false;
    bool m_loading = false;
};
