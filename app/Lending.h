#pragma once
// Lending discs: who has had them, which films share a disc, a film entered twice, and marking films
// as lent or back at home. A disc is known by its label; titles and labels are compared without the
// blanks around them and regardless of letter case.

#include <QString>
#include <QStringList>
#include <utility>
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
// For each (title, disc label), the row of a film of the catalogue that has them, as
// FindDuplicateFilm compares, or -1; one walk through the catalogue for them all.
std::vector<int> FindDuplicateFilms(TDataSet &dataSet, const std::vector<std::pair<QString, QString>> &films);
// Marks the current film and the films at `others` as lent to `name` ("Наличен" "Не", "Даден" the
// name) or, when `name` is empty, as back at home ("Да", "Даден" empty). Films already so are left
// alone. The current film stays current. When a film cannot be stored, the films marked before it
// are put back as they were and the error passes on.
void MarkFilms(TDataSet &dataSet, const std::vector<int> &others, const QString &name);
// Asks whether to mark the other films of the current film's disc as well for `name` (empty:
// returned), when it has any: `others` gets their rows, or none when the user said No. False when
// the user cancelled.
bool AskOtherFilmsOnDisc(TDataSet &dataSet, const QString &name, std::vector<int> &others);
