#include "StartOptions.h"
#include "FakeDialogs.h"
#include "ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(StartOptions, TheProgramsOwnOptionsAreReadAndQtsPassedOver)
{
    const struct
    {
        QStringList arguments;
        bool error;
        bool printsText;
        const char *catalogue;
    } cases[] = {
        {{}, false, false, ""},
        {{QStringLiteral("--catalogue"), QStringLiteral("/films")}, false, false, "/films"},
        {{QStringLiteral("--catalogue=/films")}, false, false, "/films"},
        {{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-reverse"),
          QStringLiteral("--style=fusion"), QStringLiteral("--catalogue"), QStringLiteral("/f")},
         false,
         false,
         "/f"},
        {{QStringLiteral("--bogus")}, true, false, ""},
        {{QStringLiteral("--catalogue")}, true, false, ""},
        {{QStringLiteral("--help")}, false, true, ""},
        {{QStringLiteral("-v")}, false, true, ""},
    };
    for (const auto &c : cases) {
        const StartOptions options = ReadStartOptions(QStringList{QStringLiteral("cinaxo")} + c.arguments);
        const std::string said = c.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(!options.error.isEmpty(), c.error) << said;
        EXPECT_EQ(options.printsText, c.printsText) << said;
        EXPECT_EQ(options.catalogue, QString::fromUtf8(c.catalogue)) << said;
    }
    EXPECT_EQ(ReadStartOptions({QStringLiteral("cinaxo"), QStringLiteral("--bogus")}).error,
              QStringLiteral("Unknown option 'bogus'."));
}

TEST(StartOptions, AFolderWithoutACatalogueIsSetUpWhenTheUserAgrees)
{
    FakeDialogs dialogs;
    SetInstalledDataDirectory(QStringLiteral(CINAXO_DIST_DIR));
    QTemporaryDir folder;
    const QString dir = folder.path() + QLatin1Char('/');
    dialogs.namedAnswers = {QString::fromUtf8("Не")};
    OfferCatalogueFolder(folder.path());
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].text,
              QString::fromUtf8("Папката %1 не съдържа каталог на Cinaxo (format.txt). Да се "
                                "създаде ли в нея нов, празен каталог?")
                  .arg(folder.path()));
    EXPECT_TRUE(QDir(dir).isEmpty());

    dialogs.namedAnswers = {QString::fromUtf8("Да")};
    OfferCatalogueFolder(folder.path());
    for (const char *name : {"format.txt", "Skin/btnsource.bmp"}) {
        QFile made(dir + QLatin1String(name)),
            shipped(QStringLiteral(CINAXO_DIST_DIR "/") + QLatin1String(name));
        ASSERT_TRUE(made.open(QIODevice::ReadOnly) && shipped.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(made.readAll(), shipped.readAll()) << name;
    }
    EXPECT_EQ(QFileInfo(dir + QStringLiteral("db.txt")).size(), 0);
    // A folder that holds a catalogue is left alone, and nothing is asked.
    OfferCatalogueFolder(folder.path());
    EXPECT_EQ(dialogs.asked.size(), 2u);
    SetInstalledDataDirectory(QString());
}
