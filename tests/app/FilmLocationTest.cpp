#include "FilmLocation.h"
#include "FakeVolumes.h"
#include "MainForm.h"
#include "ProgramDir.h"
#include "SdfData.h"
#include "ui_MainForm.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
// Folders posing as mounted volumes, each named after its last folder, holding files.
class Discs
{
public:
    QString mount(const QString &where)
    {
        const QString root = m_dir.filePath(where);
        QDir().mkpath(root);
        fake.volumes.push_back({root, QDir(root).dirName()});
        return root;
    }
    static QString put(const QString &root, const QString &relative)
    {
        const QString file = root + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write("film");
        return file;
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    FakeVolumes fake;

private:
    QTemporaryDir m_dir;
};

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}
} // namespace

TEST(FilmLocation, DriveLetterPathsAreFoundOnTheVolumeNamedAfterTheDiscFirst)
{
    Discs discs;
    const QString other = discs.mount(QStringLiteral("media/ivan/OTHER"));
    const QString films = discs.mount(QStringLiteral("media/ivan/FILMS_01"));
    for (const QString &root : {other, films}) {
        Discs::put(root, QStringLiteral("Films/Film.avi"));
        Discs::put(root, QStringLiteral("Films/Film.srt"));
    }
    const FilmFiles stored{QStringLiteral("D:\\Films\\Film.avi"), QString(),
                           QStringLiteral("D:\\Films\\Film.srt")};
    FilmFiles found = LocateFilm(stored, QStringLiteral("FILMS_01"), discs.fake);
    EXPECT_EQ(found.video, films + QStringLiteral("/Films/Film.avi"));
    EXPECT_EQ(found.audio, QString());
    EXPECT_EQ(found.subtitles, films + QStringLiteral("/Films/Film.srt"));
    // Labels are compared without regard to case; without a matching label the list's order holds.
    EXPECT_EQ(LocateFilm(stored, QStringLiteral(" films_01 "), discs.fake).video, found.video);
    EXPECT_EQ(LocateFilm(stored, QStringLiteral("CD-9"), discs.fake).video,
              other + QStringLiteral("/Films/Film.avi"));
    // Forward slashes and another letter read the same way.
    EXPECT_EQ(
        LocateFilm({QStringLiteral("e:/Films/Film.avi"), {}, {}}, QStringLiteral("FILMS_01"), discs.fake)
            .video,
        found.video);
}

TEST(FilmLocation, LinuxPathsMoveFromAnOldMountPointToTheNewOne)
{
    Discs discs;
    const QString empty = discs.mount(QStringLiteral("mnt/usb"));
    const QString disc = discs.mount(QStringLiteral("run/media/maria/FILMS_01"));
    Discs::put(disc, QStringLiteral("Films/a b.avi"));
    Discs::put(disc, QStringLiteral("Films/a b.mp3"));
    // Mounted by another user once.
    EXPECT_EQ(LocateFilm({QStringLiteral("/media/ivan/FILMS_01/Films/a b.avi"),
                          QStringLiteral("/media/ivan/FILMS_01/Films/a b.mp3"),
                          {}},
                         QString(), discs.fake)
                  .audio,
              disc + QStringLiteral("/Films/a b.mp3"));
    // Under the mount point of a volume that is mounted now but does not hold the film.
    EXPECT_EQ(LocateFilm({empty + QStringLiteral("/Films/a b.avi"), {}, {}}, QString(), discs.fake).video,
              disc + QStringLiteral("/Films/a b.avi"));
    EXPECT_EQ(PlacesOnVolume(QStringLiteral("/media/ivan/DISC/x/y.avi"), QStringLiteral("/R"), {}),
              (QStringList{QStringLiteral("/R/x/y.avi"), QStringLiteral("/R/DISC/x/y.avi")}));
    EXPECT_EQ(PlacesOnVolume(QStringLiteral("D:\\x\\\\y.avi"), QStringLiteral("/"), {}),
              (QStringList{QStringLiteral("/x/y.avi")}));
    EXPECT_TRUE(PlacesOnVolume(QStringLiteral("/home/ivan/x.avi"), QStringLiteral("/R"), {}).isEmpty());
    EXPECT_TRUE(PlacesOnVolume(QStringLiteral("film.avi"), QStringLiteral("/R"), {}).isEmpty());
}

TEST(FilmLocation, CyrillicNamesAreFoundWhateverTheirLetterCase)
{
    Discs discs;
    const QString disc = discs.mount(u("Филми 2"));
    const QString film = Discs::put(disc, u("Български/Под игото.avi"));
    const FilmFiles found = LocateFilm(
        {u("E:\\БЪЛГАРСКИ\\ПОД ИГОТО.AVI"), u("E:\\БЪЛГАРСКИ\\няма.mp3"), QStringLiteral("-sub.srt")},
        u("Филми 2"), discs.fake);
    EXPECT_EQ(found.video, film);
    // What the volume does not hold stays as the catalogue has it.
    EXPECT_EQ(found.audio, u("E:\\БЪЛГАРСКИ\\няма.mp3"));
    EXPECT_EQ(found.subtitles, QStringLiteral("-sub.srt"));
}

TEST(FilmLocation, VolumesAreAskedOnlyForAMissingFilm)
{
    Discs discs;
    const QString disc = discs.mount(QStringLiteral("DISC"));
    const QString here = Discs::put(discs.path(QStringLiteral("home")), QStringLiteral("film.avi"));
    Discs::put(disc, QStringLiteral("film.avi"));
    const FilmFiles stored{here, QStringLiteral("D:\\film.avi"), {}};
    const FilmFiles found = LocateFilm(stored, QStringLiteral("DISC"), discs.fake);
    EXPECT_EQ(found.video, here);
    EXPECT_EQ(found.audio, stored.audio);
    EXPECT_EQ(LocateFilm({}, QStringLiteral("DISC"), discs.fake).video, QString());
    EXPECT_EQ(discs.fake.queries, 0);
    // A folder is not a film.
    QDir().mkpath(disc + QStringLiteral("/Films/x.avi"));
    EXPECT_EQ(LocateFilm({QStringLiteral("D:\\Films\\x.avi"), {}, {}}, {}, discs.fake).video,
              QStringLiteral("D:\\Films\\x.avi"));
    EXPECT_EQ(discs.fake.queries, 1);
}

TEST(FilmLocation, StartPlaysTheFoundFilesAndLeavesTheCatalogueAlone)
{
    ProgramDir dir;
    Discs discs;
    const QString other = discs.mount(QStringLiteral("OTHER"));
    const QString disc = discs.mount(u("ДИСК_1"));
    Discs::put(other, u("Филми/Моят филм.avi"));
    const QString film = Discs::put(disc, u("Филми/Моят филм.avi"));
    const QString subtitles = Discs::put(disc, u("Филми/Моят филм.srt"));
    const std::string db =
        cp("Моят филм,ДИСК_1,DivX,D:\\Филми\\Моят филм.avi,,D:\\Филми\\Моят филм.srt,Да\r\n"
           "Липсващ,ДИСК_2,DVD,D:\\Филми\\Липсващ.avi,,,Да\r\n");
    dir.write(QStringLiteral("db.txt"), db);
    const QDateTime written = QFileInfo(dir.path(QStringLiteral("db.txt"))).lastModified();
    dir.registry.put(QStringLiteral("MicroDVDPath"), QStringLiteral("/opt/mdvd"));
    {
        TForm1 form;
        form.Button04Click();
        ASSERT_EQ(dir.shell.started.size(), 1u);
        EXPECT_EQ(dir.shell.started[0].parameters, QStringLiteral("/QuickINI /V:\"") + film +
                                                       QStringLiteral("\" /A: /S:\"") + subtitles +
                                                       QLatin1Char('"'));
        EXPECT_EQ(form.DataSet()->Fields(3)->Text(), u("D:\\Филми\\Моят филм.avi"));
        form.DataSet()->Next();
        form.Button04Click();
        EXPECT_EQ(dir.shell.started.size(), 1u);
        ASSERT_EQ(dir.dialogs.messages.size(), 1u);
        EXPECT_EQ(dir.dialogs.messages[0],
                  u("Моля, поставете дискът с филма и тогава натиснете бутон СТАРТИРАНЕ!"));
        EXPECT_FALSE(form.DataSet()->Changed());
    }
    EXPECT_EQ(dir.read(QStringLiteral("db.txt")), db);
    EXPECT_EQ(QFileInfo(dir.path(QStringLiteral("db.txt"))).lastModified(), written);
}

namespace {
const char *const kInsertDisc = "Моля, поставете дискът с филма и тогава натиснете бутон СТАРТИРАНЕ!";
}

TEST(DiscWatch, TheMessageClosesAndThePlayerStartsWhenTheDiscIsMounted)
{
    ProgramDir dir;
    Discs discs;
    dir.writeDb(cp("Филм,ДИСК_7,DivX,D:\\Филми\\Филм.avi,,D:\\Филми\\Филм.srt,Да\r\n"));
    dir.registry.put(QStringLiteral("MicroDVDPath"), QStringLiteral("/opt/mdvd"));
    TForm1 form;
    dir.dialogs.messageOpenMs = 5000;
    QString film;
    QElapsedTimer sinceMounted;
    QTimer::singleShot(300, [&] {
        const QString root = discs.path(u("ДИСК_7"));
        film = Discs::put(root, u("Филми/Филм.avi"));
        Discs::put(root, u("Филми/Филм.srt"));
        discs.fake.volumes.push_back({root, u("ДИСК_7")});
        sinceMounted.start();
    });
    form.Button04Click();
    ASSERT_TRUE(sinceMounted.isValid());
    EXPECT_LT(sinceMounted.elapsed(), 1000);
    EXPECT_EQ(dir.dialogs.messages, (std::vector<QString>{u(kInsertDisc)}));
    EXPECT_EQ(dir.dialogs.closedMessages, 1);
    ASSERT_EQ(dir.shell.started.size(), 1u);
    EXPECT_EQ(dir.shell.started[0].parameters,
              u("/QuickINI /V:%1 /A: /S:%2")
                  .arg(film, QString(film).replace(QStringLiteral(".avi"), QStringLiteral(".srt"))));
}

TEST(DiscWatch, AFilmThatAppearsWhereTheCatalogueSaysStartsToo)
{
    ProgramDir dir;
    const QString film = dir.path(u("диск/film.avi"));
    dir.writeDb(cp("Филм,,DivX,") + Codec::fromQString(film) + "\r\n");
    dir.registry.put(QStringLiteral("BSPlayerPath"), QStringLiteral("/opt/bsplayer"));
    TForm1 form;
    form.ui().PlayerBox->setCurrentIndex(1);
    dir.dialogs.messageOpenMs = 5000;
    QElapsedTimer sinceWritten;
    QTimer::singleShot(200, [&] {
        Discs::put(dir.path(u("диск")), QStringLiteral("film.avi"));
        sinceWritten.start();
    });
    form.Button04Click();
    ASSERT_TRUE(sinceWritten.isValid());
    EXPECT_LT(sinceWritten.elapsed(), 1000);
    ASSERT_EQ(dir.shell.started.size(), 1u);
    EXPECT_EQ(dir.shell.started[0].program, QStringLiteral("/opt/bsplayer"));
    EXPECT_EQ(dir.shell.started[0].parameters, film);
}

TEST(DiscWatch, TheMessageStaysWhileNothingComes)
{
    ProgramDir dir;
    Discs discs;
    discs.mount(QStringLiteral("OTHER"));
    dir.registry.put(QStringLiteral("MicroDVDPath"), QStringLiteral("/opt/mdvd"));
    TForm1 form;
    dir.dialogs.messageOpenMs = 1200;
    QElapsedTimer open;
    open.start();
    form.Button04Click();
    // The user's OK closed it, after the volumes were asked again and again.
    EXPECT_GE(open.elapsed(), 1200);
    EXPECT_EQ(dir.dialogs.closedMessages, 0);
    EXPECT_GE(discs.fake.queries, 3);
    EXPECT_TRUE(dir.shell.started.empty());
    // Once it is closed, nothing watches any more.
    const int asked = discs.fake.queries;
    QTest::qWait(600);
    EXPECT_EQ(discs.fake.queries, asked);
}
