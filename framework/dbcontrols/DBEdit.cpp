#include "DBEdit.h"

#include "Codec.h"
#include "DataSet.h"
#include "DataSource.h"

namespace {
// QLineEdit's own default.
constexpr int kNoLimit = 32767;
} // namespace

TDBEdit::TDBEdit(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!m_loading)
            m_modified = true;
    });
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (Field() && text.size() >= maxLength())
            emit Full(maxLength());
    });
}

void TDBEdit::setDataSource(TDataSource *source)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &TDataSource::dataSetChanged, this, &TDBEdit::load);
        connect(source, &TDataSource::stateChanged, this, &TDBEdit::load);
        connect(source, &TDataSource::recordChanged, this, [this](TField *field) {
            if (!field || field == Field())
                load();
        });
        connect(source, &TDataSource::updateRecordRequested, this, &TDBEdit::updateRecord);
    }
    load();
}

void TDBEdit::setDataField(const QString &name)
{
    m_dataField = name;
    load();
}

TField *TDBEdit::Field() const
{
    TDataSet *ds = m_source ? m_source->DataSet() : nullptr;
    if (!ds || !ds->Active() || m_dataField.isEmpty())
        return nullptr;
    return ds->FindField(Codec::fromQString(m_dataField));
}

void TDBEdit::load()
{
    m_loading = true;
    const TField *field = Field();
    // Typing stops at the field's width, so nothing is cut when the record is stored.
    setMaxLength(field && field->FieldNo() > 0 ? field->Size() : kNoLimit);
    setText(field ? field->Text() : QString());
    m_loading = false;
    m_modified = false;
    TDataSet *ds = m_source ? m_source->DataSet() : nullptr;
    setEnabled(field != nullptr || !ds || !ds->Active());
}

void TDBEdit::updateRecord()
{
    if (!m_modified)
        return;
    if (TField *field = Field()) {
        m_modified = false;
        try {
            field->setText(text());
        } catch (...) {
            // The text the field refused is handed over again at the next post.
            m_modified = true;
            throw;
        }
    }
}
