#include "Fields.h"

#include "Codec.h"
#include "DataSet.h"
#include "DbErrors.h"

TField::TField(TDataSet &dataSet, std::string name, int size, TFieldKind kind)
    : m_dataSet(dataSet), m_name(std::move(name)), m_size(size), m_kind(kind)
{}

void TField::setVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    emit m_dataSet.layoutChanged();
}

bool TField::IsNull() const
{
    return !m_dataSet.GetFieldData(*this, nullptr);
}

std::string TField::AsString() const
{
    std::string value;
    if (!m_dataSet.GetFieldData(*this, &value))
        value.clear();
    return value;
}

void TField::setAsString(const std::string &value)
{
    m_dataSet.SetFieldData(*this, value);
}

QString TField::Text() const
{
    return Codec::toQString(AsString());
}

void TField::setText(const QString &text)
{
    // The catalogue holds Windows-1251 text: a character it cannot hold would come back as '?'.
    const QString refused = Codec::firstUnencodable(text);
    if (!refused.isEmpty()) {
        throw EDatabaseError("Field '" + Codec::toUtf8(DisplayName()) + "' cannot hold the character '" +
                             refused.toStdString() + "'");
    }
    setAsString(Codec::fromQString(text));
}
