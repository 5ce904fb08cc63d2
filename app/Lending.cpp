#include "Lending.h"

#include "CatalogueFields.h"
#include "Codec.h"
#include "DataSet.h"
#include "Dialogs.h"
#include "LineCodec.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace {
TField &fieldNamed(TDataSet &dataSet, const char *utf8)
{
    return dataSet.FieldByName(Codec::fromQString(QString::fromUtf8(utf8)));
}

// A title, label or name as they are compared: without the blanks around it, in capitals.
std::string keyOf(std::string_view bytes)
{
    std::string key(LineCodec::trimBlanks(bytes));
    std::transform(key.begin(), key.end(), key.begin(), Codec::upperAnsi);
    return key;
}

std::string keyOf(const QString &text)
{
    return keyOf(Codec::fromQString(text));
}

// Whether stored bytes compare equal to a key made by keyOf; makes no copy, as it runs on every film.
bool hasKey(std::string_view bytes, std::string_view key)
{
    bytes = LineCodec::trimBlanks(bytes);
    if (bytes.size() != key.size())
        return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (Codec::upperAnsi(bytes[i]) != key[i])
            return false;
    }
    return true;
}

// "Наличен" of a film lent to `name`, or back at home when the name is empty.
QString homeValue(const QString &name)
{
    return QString::fromUtf8(name.isEmpty() ? "Да" : "Не");
}

// Calls `visit` with each row and its record, from the first row on, until it returns true.
template <typename Visit> int findRow(TDataSet &dataSet, Visit visit)
{
    if (!dataSet.Active())
        return -1;
    const std::unique_ptr<char[]> buffer = dataSet.NewRowBuffer();
    const int rows = dataSet.RowCount();
    for (int row = 0; row < rows; ++row) {
        if (dataSet.ReadRecordAt(row, buffer.get()) && visit(row, buffer.get()))
            return row;
    }
    return -1;
}
} // namespace

QStringList BorrowerNames(TDataSet &dataSet, const QStringList &recent)
{
    QStringList names;
    std::unordered_set<std::string> seen;
    auto add = [&](const QString &name) {
        const QString trimmed = name.trimmed();
        if (!trimmed.isEmpty() && seen.insert(keyOf(trimmed)).second)
            names << trimmed;
    };
    for (const QString &name : recent)
        add(name);
    if (!dataSet.Active())
        return names;
    const TField *lentTo = dataSet.Fields(cfLentTo);
    const std::unique_ptr<char[]> buffer = dataSet.NewRowBuffer();
    for (int row = dataSet.RowCount() - 1; row >= 0; --row) {
        if (!dataSet.ReadRecordAt(row, buffer.get()))
            continue;
        // Most films are at home: their empty names and the names already listed cost no conversion.
        const std::string bytes = dataSet.FieldValueIn(buffer.get(), *lentTo);
        const std::string_view name = LineCodec::trimBlanks(bytes);
        if (!name.empty() && seen.insert(keyOf(name)).second)
            names << Codec::toQString(name);
    }
    return names;
}

std::vector<int> OtherFilmsToMark(TDataSet &dataSet, const QString &name)
{
    std::vector<int> rows;
    const int current = dataSet.Active() ? dataSet.ActiveRow() : -1;
    if (current < 0)
        return rows;
    const TField &label = fieldNamed(dataSet, "Етикет");
    const TField &atHome = fieldNamed(dataSet, "Наличен");
    const TField &lentTo = *dataSet.Fields(cfLentTo);
    const std::string key = keyOf(label.AsString());
    if (key.empty())
        return rows;
    const std::string homeText = Codec::fromQString(homeValue(name));
    const std::string nameText = Codec::fromQString(name);
    findRow(dataSet, [&](int row, const char *record) {
        if (row != current && hasKey(dataSet.FieldValueIn(record, label), key) &&
            (dataSet.FieldValueIn(record, atHome) != homeText ||
             dataSet.FieldValueIn(record, lentTo) != nameText))
            rows.push_back(row);
        return false;
    });
    return rows;
}

int FindDuplicateFilm(TDataSet &dataSet, const QString &title, const QString &label, int exceptRow)
{
    const std::string titleKey = keyOf(title);
    if (titleKey.empty() || !dataSet.Active())
        return -1;
    const std::string labelKey = keyOf(label);
    const TField &titleField = fieldNamed(dataSet, "Заглавие");
    const TField &labelField = fieldNamed(dataSet, "Етикет");
    return findRow(dataSet, [&](int row, const char *record) {
        return row != exceptRow && hasKey(dataSet.FieldValueIn(record, labelField), labelKey) &&
               hasKey(dataSet.FieldValueIn(record, titleField), titleKey);
    });
}

std::vector<int> FindDuplicateFilms(TDataSet &dataSet, const std::vector<std::pair<QString, QString>> &films)
{
    std::vector<int> rows(films.size(), -1);
    if (!dataSet.Active() || films.empty())
        return rows;
    // Label and title keys, a NUL between them (no stored value holds one).
    std::unordered_map<std::string, std::vector<std::size_t>> wanted;
    for (std::size_t i = 0; i < films.size(); ++i) {
        std::string title = keyOf(films[i].first);
        if (!title.empty())
            wanted[keyOf(films[i].second) + '\0' + title].push_back(i);
    }
    const TField &titleField = fieldNamed(dataSet, "Заглавие");
    const TField &labelField = fieldNamed(dataSet, "Етикет");
    findRow(dataSet, [&](int row, const char *record) {
        const auto found = wanted.find(keyOf(dataSet.FieldValueIn(record, labelField)) + '\0' +
                                       keyOf(dataSet.FieldValueIn(record, titleField)));
        if (found != wanted.end()) {
            for (const std::size_t i : found->second)
                rows[i] = rows[i] < 0 ? row : rows[i];
        }
        return false;
    });
    return rows;
}

void MarkFilms(TDataSet &dataSet, const std::vector<int> &others, const QString &name)
{
    const int current = dataSet.Active() ? dataSet.ActiveRow() : -1;
    if (current < 0)
        return;
    TField &atHome = fieldNamed(dataSet, "Наличен");
    TField &lentTo = *dataSet.Fields(cfLentTo);
    const QString home = homeValue(name);
    struct Before
    {
        int row;
        QString atHome, lentTo;
    };
    std::vector<Before> marked;
    auto mark = [&](int row, const QString &homeText, const QString &nameText) {
        dataSet.MoveToRow(row);
        dataSet.Edit();
        atHome.setText(homeText);
        lentTo.setText(nameText);
        dataSet.Post();
    };
    std::vector<int> rows{current};
    rows.insert(rows.end(), others.begin(), others.end());
    dataSet.DisableControls();
    try {
        for (const int row : rows) {
            dataSet.MoveToRow(row);
            if (atHome.Text() == home && lentTo.Text() == name)
                continue;
            Before before{row, atHome.Text(), lentTo.Text()};
            mark(row, home, name);
            marked.push_back(std::move(before));
        }
    } catch (...) {
        try {
            dataSet.Cancel();
            for (auto it = marked.rbegin(); it != marked.rend(); ++it)
                mark(it->row, it->atHome, it->lentTo);
            dataSet.MoveToRow(current);
        } catch (...) {
        }
        dataSet.EnableControls();
        throw;
    }
    dataSet.MoveToRow(current);
    dataSet.EnableControls();
}

bool AskOtherFilmsOnDisc(TDataSet &dataSet, const QString &name, std::vector<int> &others)
{
    others = OtherFilmsToMark(dataSet, name);
    if (others.empty())
        return true;
    const QString question =
        others.size() == 1
            ? QString::fromUtf8("Дискът съдържа още 1 филм. Да се отбележи ли и той?")
            : QString::fromUtf8("Дискът съдържа още %1 филма. Да се отбележат ли и те?").arg(others.size());
    const int answer = Dialogs().MessageDlg(question, TMsgDlgType::mtConfirmation,
                                            MsgButtons::mbYes | MsgButtons::mbNo | MsgButtons::mbCancel);
    if (answer == mrNo)
        others.clear();
    return answer == mrYes || answer == mrNo;
}
