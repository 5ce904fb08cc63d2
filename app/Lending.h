#pragma once
// Lending discs: who has had them, which films share a disc, a film entered twice, and marking films
// as lent or back at home. A disc is known by its label; titles and labels are compared without the
// blanks around them and regardless of letter case.

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class TDataSet;

// The names of the "Даден" field, each once (regardless of letter case), the latest first: the names
// in `recent` (latest first) lead, then the others from the end of the catalogue back to its start,
// where the newest films usually are.
QStringList BorrowerNames(TDataSet &dataSet, const QStringList &recent);
// The rows of the other films whose disc label is the current film's and that are not yet marked as
// MarkFilms would mark them for `name`; none when the current film has no label.
std::vector<int> OtherFilmsToMark(TDataSet &dataSet, const QString &name);
// The row of a film other than `exceptRow` with this title and disc label, -1 when there is none or
// the title is empty.
int FindDuplicateFilm(TDataSet &dataSet, const QString &title, const QString &label, int exceptRow);
// The title and disc label of every film of the catalogue, to tell of many films at once whether
// the catalogue has them as FindDuplicateFilm would.
class FilmKeys
{
public:
    explicit FilmKeys(TDataSet &dataSet);
    // A title and a label in the catalogue's code page; an empty title is never known.
    bool contains(std::string_view title, std::string_view label) const;

private:
    std::unordered_set<std::string> m_keys;
};
// Marks the current film and the films at `others` as lent to `name` ("Наличен" "Не", "Даден" the
// name) or, when `name` is empty, as back at home ("Да", "Даден" empty). Films already so are left
// alone. The current film stays current. When a film cannot be stored, the films marked before it
// are put back as they were and the error passes on.
void MarkFilms(TDataSet &dataSet, const std::vector<int> &others, const QString &name);
// Asks whether to mark the other films of the current film's disc as well for `name` (empty:
// returned), when it has any: `others` gets their rows, or none when the user said No. False when
// the user cancelled.
bool AskOtherFilmsOnDisc(TDataSet &dataSet, const QString &name, std::vector<int> &others);
