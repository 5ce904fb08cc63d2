#include "ProgramFolders.h"

#include "Application.h"
#include "Errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#ifndef CINAXO_INSTALLED_DATA_DIR
#error "CINAXO_INSTALLED_DATA_DIR must name the installed data folder relative to the executable's"
#endif

namespace {
QString g_installedDataDirectory;

QString withSeparator(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

void writeWhole(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw EFCreateError("Cannot create file " + QDir::toNativeSeparators(fileName).toStdString());
}
} // namespace

QString InstalledDataDirectory()
{
    if (!g_installedDataDirectory.isEmpty())
        return withSeparator(g_installedDataDirectory);
    return withSeparator(QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                         QStringLiteral(CINAXO_INSTALLED_DATA_DIR)));
}

void SetInstalledDataDirectory(const QString &directory)
{
    g_installedDataDirectory = directory;
}

QString UserDataDirectory()
{
    return withSeparator(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/Cinaxo"));
}

QString ChooseProgramDirectory(const QString &executableDir, const QString &userDataDir,
                               const QString &installedDataDir)
{
    const QString portable = withSeparator(executableDir);
    // A portable copy whose format.txt went missing is still portable: its catalogue and skin lie
    // beside it, and the missing schema is reported there.
    for (const char *name : {"format.txt", "db.txt", "Skin"})
        if (QFileInfo::exists(portable + QLatin1String(name)))
            return portable;
    const bool installed = QFileInfo::exists(withSeparator(installedDataDir) + QStringLiteral("format.txt"));
    return installed ? withSeparator(userDataDir) : portable;
}

void SeedProgramDirectory(const QString &directory, const QString &installedDataDir)
{
    const QString dir = withSeparator(directory);
    const QString schema = dir + QStringLiteral("format.txt");
    if (QFileInfo::exists(schema))
        return;
    const QString source = withSeparator(installedDataDir) + QStringLiteral("format.txt");
    QFile installed(source);
    if (!installed.open(QIODevice::ReadOnly))
        throw EFOpenError("Cannot open file " + QDir::toNativeSeparators(source).toStdString());
    const QByteArray schemaBytes = installed.readAll();
    if (!QDir().mkpath(dir))
        throw EFCreateError("Cannot create file " + QDir::toNativeSeparators(schema).toStdString());
    // format.txt comes last: it marks a folder that is complete.
    const QString catalogue = dir + QStringLiteral("db.txt");
    if (!QFileInfo::exists(catalogue))
        writeWhole(catalogue, QByteArray());
    writeWhole(schema, schemaBytes);
}

void SetUpProgramDirectory(const QString &catalogueDirectory, const QString &executableDir)
{
    if (!catalogueDirectory.isEmpty()) {
        SetProgramDirectory(withSeparator(QDir(catalogueDirectory).absolutePath()));
        return;
    }
    const QString exe = executableDir.isEmpty() ? QCoreApplication::applicationDirPath() : executableDir;
    const QString dir = ChooseProgramDirectory(exe, UserDataDirectory(), InstalledDataDirectory());
    SetProgramDirectory(dir);
    if (dir != withSeparator(exe))
        SeedProgramDirectory(dir, InstalledDataDirectory());
}

QString ProgramFile(const QString &relativeName)
{
    const QString own = ProgramDirectory() + relativeName;
    if (QFileInfo::exists(own))
        return own;
    const QString installed = InstalledDataDirectory() + relativeName;
    return QFileInfo::exists(installed) ? installed : own;
}
