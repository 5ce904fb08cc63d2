#pragma once
// The dated copies of the catalogue that every save keeps in the user's data folder, the rule that
// thins them out, and putting one of them back.

#include <QDateTime>
#include <QString>
#include <vector>

struct CatalogueBackup
{
    QString fileName;
    QDateTime taken;
    int films = 0;
};

// ~/.local/share/Cinaxo/backups
QString BackupsFolder();
// Tests point it elsewhere; an empty text goes back to the user's.
void SetBackupsFolder(const QString &folder);
// The copies kept: the newest this many, and besides them the newest of each calendar month.
constexpr int kNewestBackupsKept = 10;
// Which of the copies taken at `dates` (in any order) stay: true at the same index.
std::vector<bool> BackupsToKeep(const std::vector<QDateTime> &dates);
// Copies `fileName` as it is now into `folder` under a name that sorts by `when`
// (db-YYYYMMDD-HHMMSS.txt, with -2, -3... when taken twice in a second) and thins the copies
// out; gives the copy's name, none when there is no file. Raises EFCreateError when it fails.
QString TakeBackup(const QString &fileName, const QString &folder, const QDateTime &when);
// The copies in `folder`, newest first, with the number of films each holds (its lines that are not
// blank).
std::vector<CatalogueBackup> ListBackups(const QString &folder);
// Keeps a copy of `catalogue` and then replaces it with the copy's bytes through a temporary file.
// Raises EFCreateError or EFOpenError when it fails; the catalogue is then as it was.
void RestoreBackup(const QString &copy, const QString &catalogue, const QString &folder,
                   const QDateTime &when);
