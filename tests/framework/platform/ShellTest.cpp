#include "Shell.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(CommandLine, SplitsAsAWindowsProgramDoes)
{
    EXPECT_EQ(SplitCommandLine(QStringLiteral("/QuickINI /V:\"D:\\My Films\\a.avi\" /A: /S:")),
              (QStringList{QStringLiteral("/QuickINI"), QStringLiteral("/V:D:\\My Films\\a.avi"),
                           QStringLiteral("/A:"), QStringLiteral("/S:")}));
    EXPECT_EQ(SplitCommandLine(QStringLiteral("  a\tb  ")),
              (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(SplitCommandLine(QStringLiteral("\"\"")), (QStringList{QString()}));
    EXPECT_EQ(SplitCommandLine(QStringLiteral("\"a \"\"quoted\"\" b\"")),
              (QStringList{QStringLiteral("a \"quoted\" b")}));
    // Backslashes count only in front of a quote.
    EXPECT_EQ(
        SplitCommandLine(QStringLiteral("C:\\dir\\ \"C:\\x y\\\\\" a\\\"b")),
        (QStringList{QStringLiteral("C:\\dir\\"), QStringLiteral("C:\\x y\\"), QStringLiteral("a\"b")}));
    EXPECT_EQ(SplitCommandLine(QStringLiteral("$(rm -rf) `x` ;&|")),
              (QStringList{QStringLiteral("$(rm"), QStringLiteral("-rf)"), QStringLiteral("`x`"),
                           QStringLiteral(";&|")}));
    EXPECT_TRUE(SplitCommandLine(QString()).isEmpty());
}

TEST(CommandLine, AProgramThatCannotBeRunIsNotStarted)
{
    QTemporaryDir dir;
    const QString notExecutable = dir.filePath(QStringLiteral("player"));
    QFile file(notExecutable);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    RealShell shell;
    EXPECT_FALSE(shell.StartProgram(notExecutable, QStringLiteral("a.avi")));
    EXPECT_FALSE(shell.StartProgram(dir.filePath(QStringLiteral("gone")), QString()));
}
