#include "ConfigForm.h"
#include "MainForm.h"
#include "PlayerLaunch.h"
#include "PlayerSettings.h"
#include "ProgramDir.h"
#include "SdfData.h"
#include "XP_Color.h"
#include "ui_ConfigForm.h"
#include "ui_MainForm.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

namespace {
void runSettings(TForm1 &form, std::function<void(TConfigForm &)> work, bool save)
{
    whenModal([work, save](QWidget *modal) {
        auto &dialog = *static_cast<TConfigForm *>(modal);
        work(dialog);
        QTest::mouseClick(save ? dialog.ui().Button05 : dialog.ui().Button04, Qt::LeftButton);
    });
    form.MenuItem(QStringLiteral("N2"))->trigger();
}

// An executable file in the test's folder, a stand-in for a player.
QString program(ProgramDir &dir, const QString &name)
{
    const QString path = dir.path(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    dir.write(name, "#!/bin/sh\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    return path;
}

const QString kMdvd = QStringLiteral("MicroDVDPath");
const QString kBs = QStringLiteral("BSPlayerPath");
const QString kWmp = QStringLiteral("MediaPlayerPath");
} // namespace

TEST(Settings, LoadsOnShowingAndSavesOnlyOnSave)
{
    ProgramDir dir;
    TForm1 form;
    dir.registry.put(kMdvd, QStringLiteral("/opt/mdvd/mdvdp.exe"));
    dir.registry.put(kBs, QString());
    runSettings(
        form,
        [](TConfigForm &d) {
            EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Програмни настройки"));
            EXPECT_EQ(d.ui().MicroDVDPath->text(), QStringLiteral("/opt/mdvd/mdvdp.exe"));
            EXPECT_EQ(d.ui().MediaPlayerPath->text(), QString());
            EXPECT_TRUE(d.ui().MicroDVDPath->isReadOnly());
            EXPECT_EQ(d.ui().MicroDVDPath->Colors()->BackColor(), clWindow);
        },
        false);
    EXPECT_EQ(dir.registry.reads, (std::vector<QString>{kMdvd, kBs, kWmp}));
    EXPECT_TRUE(dir.registry.writes.empty());

    const QString bsplayer = program(dir, QStringLiteral("My Players/bplay.exe"));
    dir.dialogs.files = {bsplayer, QString()};
    runSettings(
        form,
        [](TConfigForm &d) {
            QTest::mouseClick(d.ui().Button02, Qt::LeftButton);
            QTest::mouseClick(d.ui().Button03, Qt::LeftButton); // cancelled: nothing changes
        },
        true);
    EXPECT_EQ(dir.registry.writes, (std::vector<QString>{kMdvd, kBs, kWmp}));
    EXPECT_EQ(dir.registry.get(kBs), bsplayer);
    EXPECT_EQ(dir.registry.get(kWmp), QString());
    ASSERT_EQ(dir.dialogs.fileDialogs.size(), 2u);
    EXPECT_EQ(dir.dialogs.fileDialogs[0].title, QString::fromUtf8("Посочете пътя до BSPlayer"));
    EXPECT_EQ(dir.dialogs.fileDialogs[0].defaultName, QStringLiteral("bplay.exe"));
    EXPECT_EQ(dir.dialogs.fileDialogs[0].filter, QString::fromUtf8("Изпълними файлове|*.exe"));
    EXPECT_EQ(dir.dialogs.fileDialogs[1].defaultName, QStringLiteral("wmplayer.exe"));

    runSettings(
        form, [&](TConfigForm &d) { EXPECT_EQ(d.ui().BSPlayerPath->text(), bsplayer); }, false);
}

TEST(Settings, OnlyAProgramIsTakenAsAPlayer)
{
    ProgramDir dir;
    TForm1 form;
    const QString player = program(dir, QStringLiteral("bin/mplayer"));
    dir.dialogs.files = {dir.path(QStringLiteral("format.txt")), dir.path(QStringLiteral("Skin")), player};
    runSettings(
        form,
        [&](TConfigForm &d) {
            EXPECT_EQ(d.pos(), QPoint(192, 114));
            QTest::mouseClick(d.ui().Button01, Qt::LeftButton);
            QTest::mouseClick(d.ui().Button01, Qt::LeftButton);
            EXPECT_EQ(d.ui().MicroDVDPath->text(), QString());
            QTest::mouseClick(d.ui().Button01, Qt::LeftButton);
        },
        true);
    ASSERT_EQ(dir.dialogs.messages.size(), 2u);
    EXPECT_EQ(dir.dialogs.messages[0], QString::fromUtf8("Файлът\n%1\nне е програма, която може да бъде "
                                                         "стартирана. Изберете изпълнимия файл на плейъра.")
                                           .arg(dir.path(QStringLiteral("format.txt"))));
    EXPECT_EQ(dir.registry.get(kMdvd), player);
    // The first choice opened where programs are installed; the next ones where the last one was.
    ASSERT_EQ(dir.dialogs.fileDialogs.size(), 3u);
    EXPECT_EQ(dir.dialogs.fileDialogs[0].folder, QStringLiteral("/usr/bin"));
    EXPECT_EQ(dir.dialogs.fileDialogs[1].folder, dir.folder());
}

TEST(Settings, EachBoxNamesItsPlayerAndItsChoiceOpensBesideIt)
{
    ProgramDir dir;
    TForm1 form;
    const QString player = program(dir, QStringLiteral("bin/mplayer"));
    dir.registry.put(kMdvd, player);
    runSettings(
        form,
        [&](TConfigForm &d) {
            EXPECT_EQ(d.ui().MicroDVDPath->accessibleName(), QString::fromUtf8("Път до MicroDVD"));
            EXPECT_EQ(d.ui().MediaPlayerPath->toolTip(), QString::fromUtf8("Път до Windows Media Player"));
            QTest::mouseClick(d.ui().Button01, Qt::LeftButton);
        },
        false);
    ASSERT_EQ(dir.dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dir.dialogs.fileDialogs[0].folder, QFileInfo(player).absolutePath());
}

TEST(Settings, CancelCreatesOnlyTheKey)
{
    ProgramDir dir;
    TForm1 form;
    runSettings(
        form, [](TConfigForm &) {}, false);
    EXPECT_EQ(dir.registry.keys.size(), 1u);
    EXPECT_TRUE(dir.registry.values.empty());
}

TEST(PlayerSettings, DialogWindowAndLaunchShareOneKey)
{
    {
        ProgramDir dir;
        ASSERT_TRUE(
            PlayerSettings::WriteAll({QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c")}));
        EXPECT_EQ(dir.registry.writes, (std::vector<QString>{kMdvd, kBs, kWmp}));
        EXPECT_EQ(dir.registry.get(kWmp), QStringLiteral("/c"));
        EXPECT_EQ(TForm1::ReadPlayerPath(kBs), QStringLiteral("/b"));
        EXPECT_EQ(PlayerSettings::ReadPath(PlayerSettings::ValueName(plMicroDVD)), QStringLiteral("/a"));
    }
    ProgramDir refusing;
    refusing.registry.refuseKeys = true;
    EXPECT_FALSE(PlayerSettings::ReadAll().has_value());
    EXPECT_FALSE(PlayerSettings::WriteAll({}));
    EXPECT_EQ(PlayerSettings::ReadPath(kMdvd), QString());
}

TEST(Settings, WrongTypeAndRefusedWrites)
{
    ProgramDir dir;
    TForm1 form;
    dir.registry.put(kBs, QStringLiteral("7"), TRegDataType::rdInteger);
    TConfigForm dialog(&form);
    EXPECT_EQ(MESSAGE_OF(dialog.LoadSettings()), "Invalid data type for 'BSPlayerPath'");
    dir.registry.writesLeft = 1;
    dialog.ui().MicroDVDPath->setText(QStringLiteral("a"));
    dialog.ui().BSPlayerPath->setText(QStringLiteral("b"));
    EXPECT_EQ(MESSAGE_OF(dialog.SaveSettings()), "Failed to set data for 'BSPlayerPath'");
    EXPECT_EQ(dir.registry.get(kMdvd), QStringLiteral("a")); // written before the refusal
}

TEST(Settings, AStoreThatCannotBeOpenedIsReported)
{
    ProgramDir dir;
    TForm1 form;
    dir.registry.refuseKeys = true;
    TConfigForm dialog(&form);
    dialog.LoadSettings();
    EXPECT_EQ(dialog.ui().MicroDVDPath->text(), QString());
    EXPECT_FALSE(dialog.SaveSettings());
    ASSERT_EQ(dir.dialogs.messages.size(), 1u);
    EXPECT_TRUE(dir.registry.writes.empty());
}

TEST(PlayerLaunch, ParameterTexts)
{
    EXPECT_EQ(PlayerParameters(0, QStringLiteral("D:\\Films\\Film.avi"), QString(),
                               QStringLiteral("D:\\Films\\Film.srt")),
              QStringLiteral("/QuickINI /V:D:\\Films\\Film.avi /A: /S:D:\\Films\\Film.srt"));
    EXPECT_EQ(PlayerParameters(0, QStringLiteral("D:\\My Films\\a.avi"), QStringLiteral("b.mp3"), QString()),
              QStringLiteral("/QuickINI /V:\"D:\\My Films\\a.avi\" /A:b.mp3 /S:"));
    EXPECT_EQ(PlayerParameters(2, QStringLiteral("/m/a b.avi"), QStringLiteral("x"), QStringLiteral("y")),
              QStringLiteral("\"/m/a b.avi\""));
    EXPECT_EQ(PlayerParameters(1, QStringLiteral("/m/a b.avi"), QString(), QStringLiteral("/m/a b.srt")),
              QStringLiteral("\"/m/a b.avi\" -s \"/m/a b.srt\""));
    EXPECT_EQ(PlayerParameters(1, QStringLiteral("/m/a.avi"), QString(), QString()),
              QStringLiteral("/m/a.avi"));
    // A path in quotes gets a second pair around it; its own quotes are escaped.
    EXPECT_EQ(QuotePath(QStringLiteral("\"a b\"")), QStringLiteral("\"\\\"a b\\\"\""));
    EXPECT_EQ(PlayerSettings::ValueName(7), QStringLiteral("MediaPlayerPath"));
}

TEST(PlayerLaunch, EveryPathArrivesWholeAndOrdinaryTextsStayAsTheyWere)
{
    // Paths that are legal on Linux and that the splitting rules read specially.
    const QStringList pieces{QStringLiteral("x\" -evil \"y"),
                             QStringLiteral("\""),
                             QStringLiteral("\"\""),
                             QStringLiteral("a\tb"),
                             QStringLiteral("\t"),
                             QStringLiteral("dir\\"),
                             QStringLiteral("dir\\\\"),
                             QStringLiteral("my dir\\"),
                             QStringLiteral("a\\\"b"),
                             QStringLiteral("a\\\\\" b"),
                             QStringLiteral("\\\" \\"),
                             QStringLiteral("\"quoted name\""),
                             QStringLiteral("it's \"x\".avi"),
                             QStringLiteral("  two  blanks  "),
                             QStringLiteral("\\\\server\\share\\f.avi"),
                             QStringLiteral("-s"),
                             QStringLiteral("/A:x")};
    QStringList paths;
    for (const QString &piece : pieces)
        paths << QStringLiteral("/media/cdrom/") + piece << piece + QStringLiteral(".avi") << piece;
    for (const QString &path : paths) {
        const QString other = QStringLiteral("/m/o t\"her\\");
        EXPECT_EQ(SplitCommandLine(PlayerParameters(plMicroDVD, path, other, path)),
                  (QStringList{QStringLiteral("/QuickINI"), QStringLiteral("/V:") + path,
                               QStringLiteral("/A:") + other, QStringLiteral("/S:") + path}))
            << path.toStdString();
        EXPECT_EQ(SplitCommandLine(PlayerParameters(plBSPlayer, path, QString(), path)),
                  (QStringList{path, QStringLiteral("-s"), path}))
            << path.toStdString();
        EXPECT_EQ(SplitCommandLine(PlayerParameters(plMediaPlayer, path, other, other)), QStringList{path})
            << path.toStdString();
    }
    // Without a quote, a tab or a trailing backslash the text is what it always was.
    for (const QString &path :
         {QStringLiteral("D:\\Films\\Film.avi"), QStringLiteral("/media/My Films/a b.avi"),
          QString::fromUtf8("/media/Филми/Под игото.avi"), QStringLiteral("C:\\a\\b c\\d.avi"),
          QStringLiteral("/m/$(x) `y`;&|.avi"), QStringLiteral("/m/dir\\"), QString()}) {
        const QString old =
            path.contains(QLatin1Char(' ')) ? QLatin1Char('"') + path + QLatin1Char('"') : path;
        EXPECT_EQ(QuotePath(path), old) << path.toStdString();
    }
}

TEST(PlayerLaunch, APlayerThatCannotBeStartedIsNamed)
{
    ProgramDir dir;
    dir.write(QStringLiteral("film.avi"), "video");
    dir.writeDb(Codec::fromQString(QStringLiteral("Film,,,") + dir.path(QStringLiteral("film.avi")) +
                                   QStringLiteral("\r\n")));
    dir.registry.put(kMdvd, QStringLiteral("/opt/gone/mdvdp"));
    dir.shell.startFails = true;
    TForm1 form;
    form.Button04Click();
    ASSERT_EQ(dir.dialogs.messages.size(), 1u);
    EXPECT_TRUE(dir.dialogs.messages[0].startsWith(
        QString::fromUtf8("Програмата\n/opt/gone/mdvdp\nне можа да бъде стартирана.")));
    EXPECT_EQ(form.DataSet()->State(), TDataSetState::dsBrowse);
}

TEST(PlayerLaunch, ChecksThePlayerFirstAndThenTheDisc)
{
    ProgramDir dir;
    const QString film = dir.path(QStringLiteral("My Film $(x) `y`;&|.avi"));
    dir.write(QStringLiteral("My Film $(x) `y`;&|.avi"), "video");
    dir.write(QStringLiteral("db.txt"),
              Codec::fromQString(QStringLiteral("Film,,,") + film +
                                 QStringLiteral(",,-sub.srt\r\nMissing,,,/no/such/file.avi\r\n")));
    TForm1 form;
    QTest::mouseClick(form.ui().Button04, Qt::LeftButton);
    ASSERT_EQ(dir.dialogs.messages.size(), 1u);
    EXPECT_EQ(dir.dialogs.messages[0],
              QString::fromUtf8("Избраната от Вас програма не е настроена!\r\n"
                                "Настройките можете да направите от менюто Файл->Програмни настройки!"));
    dir.registry.put(kMdvd, QStringLiteral("/opt/mdvd/mdvdp"));
    QTest::keyClick(form.ui().DBGrid1, Qt::Key_Return);
    ASSERT_EQ(dir.shell.started.size(), 1u);
    EXPECT_EQ(dir.shell.started[0].program, QStringLiteral("/opt/mdvd/mdvdp"));
    EXPECT_EQ(dir.shell.started[0].parameters,
              QStringLiteral("/QuickINI /V:\"") + film + QStringLiteral("\" /A: /S:-sub.srt"));
    EXPECT_EQ(SplitCommandLine(dir.shell.started[0].parameters),
              (QStringList{QStringLiteral("/QuickINI"), QStringLiteral("/V:") + film, QStringLiteral("/A:"),
                           QStringLiteral("/S:-sub.srt")}));
    form.DataSet()->Next();
    QTest::mouseClick(form.ui().Button04, Qt::LeftButton);
    ASSERT_EQ(dir.dialogs.messages.size(), 2u);
    EXPECT_EQ(dir.dialogs.messages[1],
              QString::fromUtf8("Моля, поставете дискът с филма и тогава натиснете бутон СТАРТИРАНЕ!"));
    EXPECT_EQ(dir.shell.started.size(), 1u);
}

TEST(PlayerLaunch, CyrillicPathsReachThePlayerAsTheyAre)
{
    ProgramDir dir;
    QDir(dir.path(QString())).mkpath(QString::fromUtf8("Филми/Под игото"));
    const QString film = dir.path(QString::fromUtf8("Филми/Под игото/филм.avi"));
    dir.write(QString::fromUtf8("Филми/Под игото/филм.avi"), "video");
    dir.write(QStringLiteral("db.txt"),
              Codec::fromQString(QString::fromUtf8("Под игото,,,") + film + QStringLiteral(",,") +
                                 QString::fromUtf8("/Филми/субтитри.srt\r\n")));
    dir.registry.put(kBs, QStringLiteral("/opt/bs/bplay.exe"));
    TForm1 form;
    form.ui().PlayerBox->setCurrentIndex(1);
    form.Button04Click();
    ASSERT_EQ(dir.shell.started.size(), 1u);
    EXPECT_EQ(SplitCommandLine(dir.shell.started[0].parameters),
              (QStringList{film, QStringLiteral("-s"), QString::fromUtf8("/Филми/субтитри.srt")}));
}

TEST(PlayerLaunch, EmptyCatalogueAsksForTheDisc)
{
    ProgramDir dir(true, true, "");
    dir.registry.put(QStringLiteral("MediaPlayerPath"), QStringLiteral("/usr/bin/player"));
    TForm1 form;
    form.ui().PlayerBox->setCurrentIndex(2);
    form.Button04Click();
    ASSERT_EQ(dir.dialogs.messages.size(), 1u);
    EXPECT_TRUE(dir.dialogs.messages[0].startsWith(QString::fromUtf8("Моля, поставете")));
}

TEST(PlayerLaunch, DirectoriesAreNotFilms)
{
    ProgramDir dir;
    dir.write(QStringLiteral("db.txt"),
              Codec::fromQString(QStringLiteral("Film,,,") + dir.path(QStringLiteral("Skin")) +
                                 QStringLiteral("\r\n")));
    dir.registry.put(kMdvd, QStringLiteral("/opt/mdvd/mdvdp"));
    TForm1 form;
    form.Button04Click();
    EXPECT_EQ(dir.dialogs.messages.size(), 1u);
    EXPECT_TRUE(dir.shell.started.empty());
}
