#include "VelVersionLabel.h"
#include "VersionInfo.h"

#include <gtest/gtest.h>

namespace {
class FakeVersion : public IVersionSource
{
public:
    FakeVersion() { SetVersionSource(this); }
    ~FakeVersion() override { SetVersionSource(nullptr); }
    int InfoSize(const QString &) override { return size; }
    bool ReadInfo(const QString &, VersionRecord &out) override
    {
        out = record;
        return readable;
    }
    int size = 100;
    bool readable = true;
    VersionRecord record = ProgramVersionRecord();
};
} // namespace

TEST(VersionLabel, NewLabelShowsTheFileVersion)
{
    TVelVersionLabel label;
    EXPECT_EQ(label.Caption(), QStringLiteral("File Version: 1.0.2.21"));
    EXPECT_EQ(label.VersionResKey(), QStringLiteral("FileVersion"));
    EXPECT_EQ(label.InfoPrefix(), QStringLiteral("File Version:"));
    EXPECT_EQ(label.LangCharset(), QStringLiteral("040204E3"));
    EXPECT_FALSE(label.wordWrap());
}

TEST(VersionLabel, PrefixOnAndOff)
{
    TVelVersionLabel label;
    label.setInfoPrefix(QStringLiteral("("));
    EXPECT_EQ(label.Caption(), QStringLiteral("( 1.0.2.21"));
    label.setShowInfoPrefix(false);
    EXPECT_EQ(label.Caption(), QStringLiteral("1.0.2.21"));
    label.setShowInfoPrefix(true);
    label.setInfoPrefix(QString());
    EXPECT_EQ(label.Caption(), QStringLiteral(" 1.0.2.21"));
}

TEST(VersionLabel, MissingOrUnreadableRecord)
{
    FakeVersion fake;
    fake.size = 0;
    TVelVersionLabel label;
    EXPECT_EQ(label.Caption(), QStringLiteral("File Version: < No Data Available >"));
    fake.size = 100;
    fake.readable = false;
    label.setInfoPrefix(QStringLiteral("V:"));
    EXPECT_EQ(label.Caption(), QStringLiteral("V: < Error retrieving version info >"));
}

TEST(VersionLabel, Flags)
{
    FakeVersion fake;
    TVelVersionLabel label;
    label.setVersionRes(verFlags);
    EXPECT_EQ(label.Caption(), QStringLiteral("Flags: "));
    fake.record.FileFlags = 0x09;
    label.setInfoPrefix(QStringLiteral("F:"));
    EXPECT_EQ(label.Caption(), QStringLiteral("F: Debug Build, Private Build"));
    fake.record.HasFixedInfo = false;
    label.setInfoPrefix(QStringLiteral("G:"));
    EXPECT_EQ(label.Caption(), QStringLiteral("G: < Error retrieving version info >"));
}

TEST(VersionLabel, BlocksAndTranslations)
{
    FakeVersion fake;
    TVelVersionLabel label;
    label.setLangCharset(QStringLiteral("04090000"));
    EXPECT_EQ(label.Caption(), QStringLiteral("File Version: < Error retrieving version info >"));
    label.setLangCharset(QStringLiteral("-1"));
    EXPECT_EQ(label.Caption(), QStringLiteral("File Version: 1.0.2.21"));
    EXPECT_EQ(label.LangCharset(), QStringLiteral("040204E3"));
    fake.record.Translations.clear();
    label.setLangCharset(QStringLiteral("-1"));
    EXPECT_EQ(label.Caption(), QStringLiteral("File Version: < Error retrieving translation info >"));
    EXPECT_EQ(label.LangCharset(), QStringLiteral("-1"));
}

TEST(VersionLabel, KeysAndEmptyValues)
{
    FakeVersion fake;
    TVelVersionLabel label;
    label.setVersionResKey(QStringLiteral("ProductName"));
    EXPECT_EQ(label.InfoPrefix(), QStringLiteral("ProductName"));
    EXPECT_EQ(label.Caption(), QStringLiteral("ProductName Cinaxo"));
    label.setVersionResKey(QStringLiteral("Comments"));
    EXPECT_EQ(label.Caption(), QStringLiteral("Comments < No Version Info >"));
    label.setVersionResKey(QStringLiteral("NoSuchKey"));
    EXPECT_EQ(label.Caption(), QStringLiteral("NoSuchKey < Error retrieving version info >"));
}

TEST(VersionLabel, SettingTheCurrentResourceChangesNothing)
{
    TVelVersionLabel label;
    label.setInfoPrefix(QStringLiteral("Edited:"));
    label.setVersionRes(verFileVersion);
    EXPECT_EQ(label.Caption(), QStringLiteral("Edited: 1.0.2.21"));
    label.setVersionRes(verProductName);
    EXPECT_EQ(label.Caption(), QStringLiteral("Product Name: Cinaxo"));
    EXPECT_EQ(label.VersionResKey(), QStringLiteral("ProductName"));
}
