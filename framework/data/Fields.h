#pragma once
// Field definitions and field objects: what a dataset's columns are and how a value is read or set.

#include <QString>
#include <functional>
#include <string>
#include <vector>

class TDataSet;

enum class TFieldType { ftUnknown, ftString };
enum class TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc };

struct TFieldDef
{
    std::string Name;
    TFieldType DataType = TFieldType::ftString;
    int Size = 0;
};
using TFieldDefs = std::vector<TFieldDef>;

class TField
{
public:
    TField(TDataSet &dataSet, std::string name, int size, TFieldKind kind);

    TDataSet &DataSet() const { return m_dataSet; }
    const std::string &FieldName() const { return m_name; }
    TFieldKind FieldKind() const { return m_kind; }
    TFieldType DataType() const { return TFieldType::ftString; }
    int Size() const { return m_size; }
    // 1 and up for data fields in definition order; 0 for calculated and lookup fields.
    int FieldNo() const { return m_fieldNo; }
    void setFieldNo(int fieldNo) { m_fieldNo = fieldNo; }
    // Position in the dataset's field list.
    int Index() const { return m_index; }
    void setIndex(int index) { m_index = index; }
    // Start of a calculated field's value in the calculated-field area.
    int Offset() const { return m_offset; }
    void setOffset(int offset) { m_offset = offset; }

    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool Visible() const { return m_visible; }
    void setVisible(bool visible);
    const std::string &DisplayLabel() const { return m_displayLabel.empty() ? m_name : m_displayLabel; }
    void setDisplayLabel(std::string label) { m_displayLabel = std::move(label); }
    const std::string &DisplayName() const { return DisplayLabel(); }

    bool IsNull() const;
    std::string AsString() const;
    void setAsString(const std::string &value);
    // The boundary to the controls: the value as the user reads and types it. Text with a character
    // that Windows-1251 cannot hold is refused, naming the field.
    QString Text() const;
    void setText(const QString &text);

    // Sees the new value before it is stored; throwing refuses the write.
    std::function<void(TField &, const std::string &newValue)> OnValidate;

private:
    TDataSet &m_dataSet;
    std::string m_name;
    std::string m_displayLabel;
    int m_size;
    TFieldKind m_kind;
    int m_fieldNo = 0;
    int m_index = 0;
    int m_offset = 0;
    bool m_readOnly = false;
    bool m_visible = true;
};
