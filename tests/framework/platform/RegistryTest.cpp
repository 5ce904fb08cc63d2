#include "Registry.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(IniRegistry, KeysValuesAndTypesSurviveInTheFile)
{
    QTemporaryDir dir;
    IniRegistryStore store(dir.filePath(QStringLiteral("sub/registry.ini")));
    SetRegistryStore(&store);
    {
        TRegistry reg;
        reg.setRootKey(TRootKey::HKEY_LOCAL_MACHINE);
        EXPECT_FALSE(reg.OpenKey(QStringLiteral("Software\\Cinaxo\\Configuration\\"), false));
        ASSERT_TRUE(reg.OpenKey(QStringLiteral("Software\\Cinaxo\\Configuration\\"), true));
        EXPECT_EQ(reg.ReadString(QStringLiteral("MicroDVDPath")), QString());
        reg.WriteString(QStringLiteral("MicroDVDPath"), QStringLiteral("C:\\Program Files\\mdvdp.exe"));
        reg.WriteString(QStringLiteral("BSPlayerPath"), QString());
        store.setValue(TRootKey::HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Cinaxo\\Configuration\\"),
                       QStringLiteral("Count"), {TRegDataType::rdInteger, 5});
    }
    IniRegistryStore again(store.FileName());
    SetRegistryStore(&again);
    TRegistry reg;
    reg.setRootKey(TRootKey::HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Software\\Cinaxo\\Configuration"), false));
    EXPECT_EQ(reg.ReadString(QStringLiteral("MicroDVDPath")), QStringLiteral("C:\\Program Files\\mdvdp.exe"));
    EXPECT_EQ(reg.ReadString(QStringLiteral("BSPlayerPath")), QString());
    try {
        reg.ReadString(QStringLiteral("Count"));
        FAIL() << "a number read as text";
    } catch (const ERegistryException &e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'Count'");
    }
    reg.setRootKey(TRootKey::HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.OpenKey(QStringLiteral("Software\\Cinaxo\\Configuration"), false));
    SetRegistryStore(nullptr);
}

TEST(IniRegistry, HandWrittenValuesWithoutATypeAreText)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("registry.ini"));
    {
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[HKEY_LOCAL_MACHINE]\n"
                   "Software\\Cinaxo\\Configuration\\.key=1\n"
                   "Software\\Cinaxo\\Configuration\\MicroDVDPath=/usr/bin/x\n"
                   "Software\\Cinaxo\\Configuration\\BSPlayerPath=C:\\\\Program Files\\\\bsplayer.exe\n"
                   "Software\\Cinaxo\\Configuration\\MediaPlayerPath=binary:00ff\n");
    }
    IniRegistryStore store(fileName);
    SetRegistryStore(&store);
    TRegistry reg;
    reg.setRootKey(TRootKey::HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Software\\Cinaxo\\Configuration\\"), false));
    EXPECT_EQ(reg.ReadString(QStringLiteral("MicroDVDPath")), QStringLiteral("/usr/bin/x"));
    EXPECT_EQ(reg.ReadString(QStringLiteral("BSPlayerPath")),
              QStringLiteral("C:\\Program Files\\bsplayer.exe"));
    EXPECT_THROW(reg.ReadString(QStringLiteral("MediaPlayerPath")), ERegistryException);
    SetRegistryStore(nullptr);
}
