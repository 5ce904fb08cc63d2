#include "VersionInfo.h"

#include "ProgramVersion.h"

#include <QStringList>

std::optional<VersionValue> VerQueryValue(const VersionRecord &record, const QString &path)
{
    VersionValue value;
    if (path == QLatin1String("\\")) {
        if (!record.HasFixedInfo)
            return std::nullopt;
        value.flags = record.FileFlags;
        value.length = 52;
        return value;
    }
    if (path.compare(QLatin1String("\\VarFileInfo\\Translation"), Qt::CaseInsensitive) == 0) {
        if (record.Translations.empty())
            return std::nullopt;
        value.translations = record.Translations;
        value.length = int(record.Translations.size()) * 4;
        return value;
    }
    const QStringList parts = path.split(QLatin1Char('\\'));
    // "", "StringFileInfo", block, key
    if (parts.size() != 4 || !parts[0].isEmpty() ||
        parts[1].compare(QLatin1String("StringFileInfo"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    for (const auto &[block, values] : record.Strings) {
        if (block.compare(parts[2], Qt::CaseInsensitive) != 0)
            continue;
        for (const auto &[key, text] : values) {
            if (key.compare(parts[3], Qt::CaseInsensitive) == 0) {
                value.text = text;
                value.length = int(text.size()) + 1;
                return value;
            }
        }
    }
    return std::nullopt;
}

const VersionRecord &ProgramVersionRecord()
{
    static const VersionRecord record = [] {
        VersionRecord r;
        r.FileFlags = ProgramVersion::kFileFlags;
        r.Translations = {{0x0402, 0x04E3}};
        r.Strings[QStringLiteral("040204E3")] = {
            {QStringLiteral("CompanyName"), QStringLiteral("Cinaxo")},
            {QStringLiteral("FileDescription"), QString::fromUtf8("Каталог на филми")},
            {QStringLiteral("FileVersion"), QString::fromLatin1(ProgramVersion::kFileVersion)},
            {QStringLiteral("InternalName"), QStringLiteral("cinaxo")},
            {QStringLiteral("LegalCopyright"), QStringLiteral("Cinaxo")},
            {QStringLiteral("OriginalFilename"), QStringLiteral("cinaxo")},
            {QStringLiteral("ProductName"), QStringLiteral("Cinaxo")},
            {QStringLiteral("ProductVersion"), QString::fromLatin1(ProgramVersion::kFileVersion)},
            {QStringLiteral("Comments"), QString()},
        };
        return r;
    }();
    return record;
}

namespace {
class CompiledVersionSource : public IVersionSource
{
public:
    int InfoSize(const QString &) override { return 1024; }
    bool ReadInfo(const QString &, VersionRecord &record) override
    {
        record = ProgramVersionRecord();
        return true;
    }
};

IVersionSource *g_source = nullptr;
} // namespace

IVersionSource &VersionSource()
{
    static CompiledVersionSource compiled;
    return g_source ? *g_source : compiled;
}

void SetVersionSource(IVersionSource *source)
{
    g_source = source;
}
