#include "ProgramFolders.h"
#include "Application.h"
#include "Errors.h"
#include "Volumes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
void put(const QString &fileName, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray get(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArrayLiteral("<missing>");
}

// An executable's folder, the installed data folder and the user's data folder.
struct Folders
{
    Folders()
    {
        put(installed + QStringLiteral("/format.txt"), QByteArrayLiteral("Title=40\r\n"));
        QDir().mkpath(exe);
    }
    QTemporaryDir root;
    QString exe = root.filePath(QStringLiteral("bin"));
    QString installed = root.filePath(QStringLiteral("share/cinaxo"));
    QString user = root.filePath(QStringLiteral("home/.local/share/Cinaxo"));
};
} // namespace

TEST(ProgramFolders, FormatBesideTheExecutableMakesAPortableCopy)
{
    Folders f;
    put(f.exe + QStringLiteral("/format.txt"), QByteArrayLiteral("Own=10\r\n"));
    const QString dir = ChooseProgramDirectory(f.exe, f.user, f.installed);
    EXPECT_EQ(dir, f.exe + QLatin1Char('/'));
    SeedProgramDirectory(dir, f.installed);
    EXPECT_EQ(get(f.exe + QStringLiteral("/format.txt")), QByteArrayLiteral("Own=10\r\n"));
    EXPECT_FALSE(QFileInfo::exists(f.exe + QStringLiteral("/db.txt")));
    EXPECT_FALSE(QFileInfo::exists(f.user));

    // A folder named on the command line is taken as it is, relative to the working folder.
    const QString working = QDir::currentPath();
    QDir::setCurrent(f.root.path());
    SetUpProgramDirectory(QStringLiteral("home/.local/share/Cinaxo"));
    QDir::setCurrent(working);
    EXPECT_EQ(ProgramDirectory(), f.user + QLatin1Char('/'));
    EXPECT_FALSE(QFileInfo::exists(f.user));
    SetProgramDirectory(QString());
}

TEST(ProgramFolders, ACopyIsInstalledOnlyWithAnInstallationAndNoCatalogueBesideIt)
{
    struct Case
    {
        const char *beside; // what lies beside the executable
        bool installation;  // the installed data folder holds format.txt
        bool portable;
    };
    const Case cases[] = {
        {"", true, false},
        {"format.txt", true, true},
        // A portable copy whose format.txt was deleted: its catalogue and skin are still its own.
        {"db.txt", true, true},
        {"Skin/btnsource.bmp", true, true},
        {"Skin/", true, true},
        // No installation around the executable: nothing to seed from, so it is portable.
        {"", false, true},
        {"db.txt", false, true},
        // Other files do not make a catalogue.
        {"readme.txt", true, false},
    };
    for (const Case &c : cases) {
        Folders f;
        const QString beside = f.exe + QLatin1Char('/') + QLatin1String(c.beside);
        if (beside.endsWith(QLatin1Char('/')))
            QDir().mkpath(beside);
        else if (*c.beside)
            put(beside, QByteArrayLiteral("x"));
        if (!c.installation)
            QFile::remove(f.installed + QStringLiteral("/format.txt"));
        EXPECT_EQ(ChooseProgramDirectory(f.exe, f.user, f.installed),
                  (c.portable ? f.exe : f.user) + QLatin1Char('/'))
            << c.beside << (c.installation ? " with" : " without") << " an installation";
    }
}

TEST(ProgramFolders, APortableCopyWithoutItsSchemaStaysPortableAndSeedsNothing)
{
    Folders f;
    put(f.exe + QStringLiteral("/db.txt"), QByteArrayLiteral("Film\r\n"));
    put(f.exe + QStringLiteral("/Skin/btnsource.bmp"), QByteArrayLiteral("BM"));
    SetInstalledDataDirectory(f.installed);
    // The user's data folder under a home of the test's own.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", f.root.filePath(QStringLiteral("home")).toUtf8());
    // No error here: the missing schema is the catalogue's to report, in the program directory.
    SetUpProgramDirectory(QString(), f.exe);
    EXPECT_EQ(ProgramDirectory(), f.exe + QLatin1Char('/'));
    EXPECT_EQ(ProgramFile(QStringLiteral("Skin/btnsource.bmp")),
              f.exe + QStringLiteral("/Skin/btnsource.bmp"));
    EXPECT_FALSE(QFileInfo::exists(f.exe + QStringLiteral("/format.txt")));
    EXPECT_FALSE(QFileInfo::exists(UserDataDirectory()));

    // Without anything beside it, the same executable is an installed copy: the user's folder is
    // seeded and is the program directory.
    Folders g;
    SetInstalledDataDirectory(g.installed);
    qputenv("HOME", g.root.filePath(QStringLiteral("home")).toUtf8());
    SetUpProgramDirectory(QString(), g.exe);
    EXPECT_EQ(ProgramDirectory(), UserDataDirectory());
    EXPECT_TRUE(ProgramDirectory().startsWith(g.root.path()));
    EXPECT_EQ(get(UserDataDirectory() + QStringLiteral("format.txt")), QByteArrayLiteral("Title=40\r\n"));
    qputenv("HOME", home);
    SetInstalledDataDirectory(QString());
    SetProgramDirectory(QString());
}

TEST(ProgramFolders, InstalledCopySeedsTheUsersFolderOnceAndKeepsItsCatalogue)
{
    Folders f;
    const QString dir = ChooseProgramDirectory(f.exe, f.user, f.installed);
    EXPECT_EQ(dir, f.user + QLatin1Char('/'));
    SeedProgramDirectory(dir, f.installed);
    EXPECT_EQ(get(dir + QStringLiteral("format.txt")), QByteArrayLiteral("Title=40\r\n"));
    EXPECT_EQ(get(dir + QStringLiteral("db.txt")), QByteArray());

    put(dir + QStringLiteral("db.txt"), QByteArrayLiteral("Film\r\n"));
    put(f.installed + QStringLiteral("/format.txt"), QByteArrayLiteral("Other=1\r\n"));
    SeedProgramDirectory(dir, f.installed);
    EXPECT_EQ(get(dir + QStringLiteral("db.txt")), QByteArrayLiteral("Film\r\n"));
    EXPECT_EQ(get(dir + QStringLiteral("format.txt")), QByteArrayLiteral("Title=40\r\n"));

    // A catalogue whose schema went missing gets the schema and stays as it is.
    QFile::remove(dir + QStringLiteral("format.txt"));
    SeedProgramDirectory(dir, f.installed);
    EXPECT_EQ(get(dir + QStringLiteral("db.txt")), QByteArrayLiteral("Film\r\n"));
    EXPECT_EQ(get(dir + QStringLiteral("format.txt")), QByteArrayLiteral("Other=1\r\n"));
    EXPECT_EQ(QDir(f.installed).entryList(QDir::Files), QStringList{QStringLiteral("format.txt")});
}

TEST(ProgramFolders, SeedingThatCannotCompleteLeavesNoSchema)
{
    Folders f;
    QFile::remove(f.installed + QStringLiteral("/format.txt"));
    EXPECT_THROW(SeedProgramDirectory(f.user, f.installed), EFOpenError);
    EXPECT_FALSE(QFileInfo::exists(f.user));

    Folders g;
    // A file where the folder should be: nothing can be made under it, not even by root.
    put(g.user, QByteArrayLiteral("x"));
    try {
        SeedProgramDirectory(g.user, g.installed);
        FAIL() << "no error";
    } catch (const EFCreateError &error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + g.user.toStdString() + "/format.txt");
    }
}

TEST(ProgramFolders, FilesComeFromTheProgramDirectoryThenFromTheInstallation)
{
    Folders f;
    const QString skin = QStringLiteral("Skin/btnsource.bmp");
    SetProgramDirectory(f.user);
    SetInstalledDataDirectory(f.installed);
    EXPECT_EQ(ProgramFile(skin), f.user + QLatin1Char('/') + skin);
    put(f.installed + QLatin1Char('/') + skin, QByteArrayLiteral("BM"));
    EXPECT_EQ(ProgramFile(skin), f.installed + QLatin1Char('/') + skin);
    put(f.user + QLatin1Char('/') + skin, QByteArrayLiteral("BM"));
    EXPECT_EQ(ProgramFile(skin), f.user + QLatin1Char('/') + skin);
    SetInstalledDataDirectory(QString());
    SetProgramDirectory(QString());
}

TEST(Volumes, TestsCanPoseFoldersAsMountedVolumes)
{
    qputenv("CINAXO_TEST_VOLUMES", "/tmp/a/DISC_1:/tmp/b/Филми/:");
    const std::vector<MountedVolume> volumes = RealVolumes().MountedVolumes();
    qunsetenv("CINAXO_TEST_VOLUMES");
    ASSERT_EQ(volumes.size(), 2u);
    EXPECT_EQ(volumes[0].rootPath, QStringLiteral("/tmp/a/DISC_1"));
    EXPECT_EQ(volumes[0].name, QStringLiteral("DISC_1"));
    EXPECT_EQ(volumes[1].rootPath, QString::fromUtf8("/tmp/b/Филми"));
    EXPECT_EQ(volumes[1].name, QString::fromUtf8("Филми"));
    // The machine's own list holds at least the volume the tests run on.
    EXPECT_FALSE(RealVolumes().MountedVolumes().empty());
}
