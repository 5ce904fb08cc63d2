#pragma once
// Moving films in and out of the catalogue: export as UTF-8 comma-separated values (a header row of
// the field names first) or as a printable HTML table; import of a CSV file with a header row (UTF-8
// or Windows-1251, separated by commas, semicolons or tabs), whose columns are matched to the
// catalogue's fields by name, in Bulgarian or English.

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class DBGridModel;
class TDataSet;
class TField;
class TSdfDataSet;

// The films at these record positions, in the order given, or every film of the catalogue when
// `positions` is empty; every field in the catalogue's order.
// The record positions of the films an export writes: those the grid shows, in the order it shows
// them (while the find filter is on, only those it lets through, possibly none); no value for the
// whole catalogue in its own order.
std::optional<std::vector<int>> ExportedPositions(const DBGridModel &grid);
std::string ExportCsv(TDataSet &dataSet, const std::vector<int> &positions);
std::string ExportHtml(TDataSet &dataSet, const std::vector<int> &positions);

struct ImportRefusal
{
    // The row of the file, the header being row 1, as a spreadsheet numbers them.
    int row;
    QString reason;
};

struct ImportPlan
{
    // Why the file cannot be imported at all; empty when it can.
    QString failure;
    // The films that can be stored: one value per field of the catalogue, in its order, in the
    // catalogue's code page, without the blanks around them.
    std::vector<std::vector<std::string>> films;
    // The places in `films` of those the catalogue already has (the same title and disc label).
    std::vector<std::size_t> known;
    std::vector<ImportRefusal> refused;
    // The file held no valid UTF-8 and was read in the catalogue's own code page.
    bool windows1251 = false;
};

// Reads the file's text and checks every value against what the catalogue can hold: a value the
// line format cannot hold, a character outside Windows-1251 or a value wider than its field refuses
// its row. Rows without any value are passed over. Nothing is changed.
ImportPlan PlanImport(TSdfDataSet &dataSet, std::string_view csv);
// Adds the planned films at the end of the catalogue, all of them or, when one fails, none; the first
// of them becomes the current record.
void ApplyImport(TSdfDataSet &dataSet, const ImportPlan &plan);
// What the plan will do, for the user to confirm: how many films are added, how many of them the
// catalogue has already, which rows are refused and why.
QString ImportSummary(const ImportPlan &plan);
// Shows the summary and asks whether to add the films; when some are in the catalogue already, the
// user chooses between only the new ones (the others leave the plan) and all. True to add.
bool ConfirmImport(ImportPlan &plan);

// What keeps `text` (without blanks around it) out of `field`, naming the field: a line break or NUL, a
// character outside Windows-1251, more characters than the field holds, a value the line format cannot give
// back. An empty text when it can be stored; `stored` then gets it in the catalogue's code page.
QString StorableProblem(const TField &field, const QString &text, std::string *stored = nullptr);
// Whether the value (in Windows-1251 text, without blanks around it) alone in a line reads back as it
// is: a double quote followed by the delimiter, in a value that holds the delimiter, does not.
bool LineFormatKeeps(const TField &field, const QString &text);

// The export command: asks for the file (its extension chooses CSV or HTML) and writes the films at
// `shown`, the whole catalogue when it has no value; says so when nothing is shown or the file
// cannot be written.
void ExportWithDialogs(TDataSet &dataSet, const std::optional<std::vector<int>> &shown);
// The import command up to the user's word: asks for the file (from `folder`, which becomes the
// chosen file's), reads and checks it and asks whether to add its films (ConfirmImport). True, with `plan`,
// when the user agreed.
bool AskImport(TSdfDataSet &dataSet, QString &folder, ImportPlan &plan);
