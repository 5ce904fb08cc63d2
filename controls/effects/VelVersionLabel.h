#pragma once
// A label whose caption is read from the program's version record: one string of its string table
// (the file version by default) or its flags, after an optional prefix.

#include <QLabel>

// Fixed to int: the label starts with no resource chosen (-1).
enum TVelVersionRes : int {
    verCompanyName,
    verFileDescription,
    verFileVersion,
    verInternalName,
    verLegalCopyright,
    verOriginalFilename,
    verProductName,
    verProductVersion,
    verComments,
    verFlags
};

class TVelVersionLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(int VersionRes READ VersionRes WRITE setVersionRes)
    Q_PROPERTY(QString VersionResKey READ VersionResKey WRITE setVersionResKey)
    Q_PROPERTY(QString InfoPrefix READ InfoPrefix WRITE setInfoPrefix)
    Q_PROPERTY(bool ShowInfoPrefix READ ShowInfoPrefix WRITE setShowInfoPrefix)
    Q_PROPERTY(QString LangCharset READ LangCharset WRITE setLangCharset)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)

public:
    explicit TVelVersionLabel(QWidget *parent = nullptr);

    TVelVersionRes VersionRes() const { return m_versionRes; }
    void setVersionRes(int value);
    const QString &VersionResKey() const { return m_key; }
    void setVersionResKey(const QString &key);
    const QString &InfoPrefix() const { return m_prefix; }
    void setInfoPrefix(const QString &prefix);
    bool ShowInfoPrefix() const { return m_showPrefix; }
    void setShowInfoPrefix(bool show);
    const QString &LangCharset() const { return m_langCharset; }
    void setLangCharset(const QString &value);
    QString Caption() const { return text(); }
    void setCaption(const QString &caption);

    void RefreshCaption();
    QString ComposeVersionText();

    struct Defaults
    {
        const char *key;
        const char *prefix;
    };
    static const Defaults VersionResDefaults[10];

private:
    QString FlagsText(const struct VersionRecord &record) const;
    QString StringValueText(const struct VersionRecord &record);

    TVelVersionRes m_versionRes = TVelVersionRes(-1);
    QString m_key;
    QString m_prefix;
    bool m_showPrefix = false;
    QString m_langCharset;
};
