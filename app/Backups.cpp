#include "Backups.h"

#include "Errors.h"
#include "ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <numeric>
#include <set>

namespace {
QString g_backupsFolder;
const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss");

std::string nativeName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName).toStdString();
}

const QRegularExpression &backupName()
{
    static const QRegularExpression name(QStringLiteral("^db-(\\d{8}-\\d{6})(?:-(\\d+))?\\.txt$"));
    return name;
}

struct Found
{
    QString fileName;
    QDateTime taken;
    int sameSecond;
};

// The copies in the folder, newest first.
std::vector<Found> findBackups(const QString &folder)
{
    std::vector<Found> found;
    const QStringList names = QDir(folder).entryList({QStringLiteral("db-*.txt")}, QDir::Files);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = backupName().match(name);
        if (!match.hasMatch())
            continue;
        const QDateTime taken = QDateTime::fromString(match.captured(1), kStampFormat);
        if (taken.isValid())
            found.push_back({folder + QLatin1Char('/') + name, taken, match.captured(2).toInt()});
    }
    std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
        return a.taken != b.taken ? a.taken > b.taken : a.sameSecond > b.sameSecond;
    });
    return found;
}

void pruneBackups(const QString &folder)
{
    const std::vector<Found> found = findBackups(folder);
    std::vector<QDateTime> dates;
    for (const Found &copy : found)
        dates.push_back(copy.taken);
    const std::vector<bool> keep = BackupsToKeep(dates);
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (!keep[i])
            QFile::remove(found[i].fileName);
    }
}

int countFilms(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    int films = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (!line.trimmed().isEmpty())
            ++films;
    }
    return films;
}
} // namespace

QString BackupsFolder()
{
    return g_backupsFolder.isEmpty() ? UserDataDirectory() + QStringLiteral("backups") : g_backupsFolder;
}

void SetBackupsFolder(const QString &folder)
{
    g_backupsFolder = folder;
}

std::vector<bool> BackupsToKeep(const std::vector<QDateTime> &dates)
{
    std::vector<std::size_t> order(dates.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    // Stable, so that of two copies of the same second the one listed first counts as newer.
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return dates[a] > dates[b]; });
    std::vector<bool> keep(dates.size(), false);
    std::set<int> months;
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
        const QDate day = dates[order[rank]].date();
        const bool firstOfMonth = months.insert(day.year() * 12 + day.month()).second;
        keep[order[rank]] = rank < std::size_t(kNewestBackupsKept) || firstOfMonth;
    }
    return keep;
}

QString TakeBackup(const QString &fileName, const QString &folder, const QDateTime &when)
{
    if (!QFileInfo::exists(fileName))
        return QString();
    QDir().mkpath(folder);
    const QString stem = folder + QStringLiteral("/db-") + when.toString(kStampFormat);
    QString copy = stem + QStringLiteral(".txt");
    for (int n = 2; QFileInfo::exists(copy); ++n)
        copy = stem + QLatin1Char('-') + QString::number(n) + QStringLiteral(".txt");
    if (!QFile::copy(fileName, copy)) {
        QFile::remove(copy);
        throw EFCreateError("Cannot create file " + nativeName(copy));
    }
    pruneBackups(folder);
    return copy;
}

std::vector<CatalogueBackup> ListBackups(const QString &folder)
{
    std::vector<CatalogueBackup> list;
    for (const Found &copy : findBackups(folder))
        list.push_back({copy.fileName, copy.taken, countFilms(copy.fileName)});
    return list;
}

void RestoreBackup(const QString &copy, const QString &catalogue, const QString &folder,
                   const QDateTime &when)
{
    QFile source(copy);
    if (!source.open(QIODevice::ReadOnly))
        throw EFOpenError("Cannot open file " + nativeName(copy));
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        throw EFOpenError("Cannot open file " + nativeName(copy));
    TakeBackup(catalogue, folder, when);
    QSaveFile target(catalogue);
    if (!target.open(QIODevice::WriteOnly) || target.write(bytes) != bytes.size() || !target.commit())
        throw EFCreateError("Cannot create file " + nativeName(catalogue));
}
