#include "SavedElsewhere.h"
#include "FakeDialogs.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SavedElsewhere, TheNextStartSaysOnceWhereTheCatalogueWent)
{
    FakeDialogs dialogs;
    QTemporaryDir dir;
    const QString catalogue = dir.filePath(QStringLiteral("db.txt"));
    TellWhereItWasSaved(catalogue);
    EXPECT_TRUE(dialogs.questions.empty());
    RememberSavedElsewhere(catalogue, dir.filePath(QString::fromUtf8("моят каталог.txt")));
    TellWhereItWasSaved(catalogue);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_TRUE(dialogs.questions[0].text.contains(QStringLiteral("\n%1\n").arg(
        QDir::toNativeSeparators(dir.filePath(QString::fromUtf8("моят каталог.txt"))))));
    TellWhereItWasSaved(catalogue);
    EXPECT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}
