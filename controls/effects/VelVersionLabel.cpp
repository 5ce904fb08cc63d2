#include "VelVersionLabel.h"

#include "VersionInfo.h"

#include <QCoreApplication>

const TVelVersionLabel::Defaults TVelVersionLabel::VersionResDefaults[10] = {
    {"CompanyName", "Company Name:"},
    {"FileDescription", "File Description:"},
    {"FileVersion", "File Version:"},
    {"InternalName", "Internal Name:"},
    {"LegalCopyright", "Legal Copyright:"},
    {"OriginalFilename", "Original Filename:"},
    {"ProductName", "Product Name:"},
    {"ProductVersion", "Product Version:"},
    {"Comments", "Comments:"},
    {"Flags", "Flags:"},
};

namespace {
const char *const kNoData = "< No Data Available >";
const char *const kVersionError = "< Error retrieving version info >";
const char *const kTranslationError = "< Error retrieving translation info >";
const char *const kNoVersionInfo = "< No Version Info >";
} // namespace

TVelVersionLabel::TVelVersionLabel(QWidget *parent) : QLabel(parent)
{
    setWordWrap(false);
    setShowInfoPrefix(true);
    setLangCharset(QStringLiteral("-1"));
    setVersionRes(verFileVersion);
}

void TVelVersionLabel::setVersionRes(int value)
{
    if (value == m_versionRes || value < verCompanyName || value > verFlags)
        return;
    m_versionRes = TVelVersionRes(value);
    setVersionResKey(QString::fromLatin1(VersionResDefaults[value].key));
    setInfoPrefix(QString::fromLatin1(VersionResDefaults[value].prefix));
}

void TVelVersionLabel::setVersionResKey(const QString &key)
{
    if (key == m_key)
        return;
    m_key = key;
    setInfoPrefix(key);
}

void TVelVersionLabel::setInfoPrefix(const QString &prefix)
{
    if (prefix == m_prefix)
        return;
    m_prefix = prefix;
    RefreshCaption();
}

void TVelVersionLabel::setShowInfoPrefix(bool show)
{
    if (show == m_showPrefix)
        return;
    m_showPrefix = show;
    RefreshCaption();
}

void TVelVersionLabel::setLangCharset(const QString &value)
{
    if (value == m_langCharset)
        return;
    m_langCharset = value;
    RefreshCaption();
}

void TVelVersionLabel::setCaption(const QString &caption)
{
    setText(caption);
    adjustSize();
}

void TVelVersionLabel::RefreshCaption()
{
    setCaption(ComposeVersionText());
}

QString TVelVersionLabel::ComposeVersionText()
{
    QString value;
    const QString file = QCoreApplication::applicationFilePath();
    IVersionSource &source = VersionSource();
    if (source.InfoSize(file) == 0) {
        value = QString::fromLatin1(kNoData);
    } else {
        VersionRecord record;
        if (!source.ReadInfo(file, record))
            value = QString::fromLatin1(kVersionError);
        else if (m_versionRes == verFlags)
            value = FlagsText(record);
        else
            value = StringValueText(record);
    }
    return m_showPrefix ? m_prefix + QLatin1Char(' ') + value : value;
}

QString TVelVersionLabel::FlagsText(const VersionRecord &record) const
{
    const auto fixed = VerQueryValue(record, QStringLiteral("\\"));
    if (!fixed)
        return QString::fromLatin1(kVersionError);
    QString text;
    if (fixed->length < 2)
        return text;
    static const struct
    {
        std::uint32_t bit;
        const char *name;
    } kFlags[] = {{0x01, ", Debug Build"},   {0x02, ", Pre-Release Build"}, {0x04, ", Patched Build"},
                  {0x08, ", Private Build"}, {0x10, ", InfoInferred"},      {0x20, ", Special Build"}};
    for (const auto &flag : kFlags) {
        if (fixed->flags & flag.bit)
            text += QString::fromLatin1(flag.name);
    }
    if (text.startsWith(QLatin1Char(',')))
        text.remove(0, 2);
    return text;
}

QString TVelVersionLabel::StringValueText(const VersionRecord &record)
{
    if (m_langCharset == QLatin1String("-1")) {
        const auto translation = VerQueryValue(record, QStringLiteral("\\VarFileInfo\\Translation"));
        if (!translation || translation->length < 4)
            return QString::fromLatin1(kTranslationError);
        const auto [language, codePage] = translation->translations.front();
        m_langCharset = QStringLiteral("%1%2")
                            .arg(language, 4, 16, QLatin1Char('0'))
                            .arg(codePage, 4, 16, QLatin1Char('0'))
                            .toUpper();
    }
    const auto value = VerQueryValue(record, QStringLiteral("\\StringFileInfo\\") + m_langCharset +
                                                 QLatin1Char('\\') + m_key);
    if (!value)
        return QString::fromLatin1(kVersionError);
    if (value->length < 2)
        return QString::fromLatin1(kNoVersionInfo);
    QString text = value->text.left(value->length);
    const qsizetype nul = text.indexOf(QChar(0));
    return nul >= 0 ? text.left(nul) : text;
}
