#include "Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
IRegistryStore *g_store = nullptr;

QString rootName(TRootKey root)
{
    switch (root) {
    case TRootKey::HKEY_CLASSES_ROOT:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case TRootKey::HKEY_CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    case TRootKey::HKEY_LOCAL_MACHINE:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case TRootKey::HKEY_USERS:
        return QStringLiteral("HKEY_USERS");
    }
    return QString();
}

// "Software\Cinaxo\Configuration\" under a root becomes the group
// "HKEY_LOCAL_MACHINE/Software/Cinaxo/Configuration".
QString groupOf(TRootKey root, const QString &key)
{
    QStringList parts{rootName(root)};
    for (const QString &part : key.split(QLatin1Char('\\'), Qt::SkipEmptyParts))
        parts << part;
    return parts.join(QLatin1Char('/'));
}

const char *const kKeyMarker = ".key";
} // namespace

IRegistryStore &RegistryStore()
{
    static IniRegistryStore ini;
    return g_store ? *g_store : ini;
}

void SetRegistryStore(IRegistryStore *store)
{
    g_store = store;
}

IniRegistryStore::IniRegistryStore(QString fileName) : m_fileName(std::move(fileName))
{
    if (m_fileName.isEmpty()) {
        const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                            QStringLiteral("/Cinaxo");
        m_fileName = dir + QStringLiteral("/registry.ini");
    }
}

bool IniRegistryStore::keyExists(TRootKey root, const QString &key)
{
    QSettings settings(m_fileName, QSettings::IniFormat);
    return settings.contains(groupOf(root, key) + QLatin1Char('/') + QLatin1String(kKeyMarker));
}

bool IniRegistryStore::createKey(TRootKey root, const QString &key)
{
    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
    QSettings settings(m_fileName, QSettings::IniFormat);
    settings.setValue(groupOf(root, key) + QLatin1Char('/') + QLatin1String(kKeyMarker), 1);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

std::optional<RegValue> IniRegistryStore::value(TRootKey root, const QString &key, const QString &name)
{
    QSettings settings(m_fileName, QSettings::IniFormat);
    const QString path = groupOf(root, key) + QLatin1Char('/') + name;
    if (!settings.contains(path))
        return std::nullopt;
    // Values are written as "type:data" so that their type survives. A value written by hand
    // without one of the type prefixes is text, as it stands.
    const QString stored = settings.value(path).toString();
    const qsizetype colon = stored.indexOf(QLatin1Char(':'));
    const QString type = colon < 0 ? QString() : stored.left(colon);
    const QString data = stored.mid(colon + 1);
    if (type == QLatin1String("sz"))
        return RegValue{TRegDataType::rdString, data};
    if (type == QLatin1String("expand_sz"))
        return RegValue{TRegDataType::rdExpandString, data};
    if (type == QLatin1String("dword"))
        return RegValue{TRegDataType::rdInteger, data.toLongLong()};
    if (type == QLatin1String("binary"))
        return RegValue{TRegDataType::rdBinary, data};
    return RegValue{TRegDataType::rdString, stored};
}

bool IniRegistryStore::setValue(TRootKey root, const QString &key, const QString &name, const RegValue &value)
{
    QSettings settings(m_fileName, QSettings::IniFormat);
    QString prefix;
    switch (value.type) {
    case TRegDataType::rdString:
        prefix = QStringLiteral("sz:");
        break;
    case TRegDataType::rdExpandString:
        prefix = QStringLiteral("expand_sz:");
        break;
    case TRegDataType::rdInteger:
        prefix = QStringLiteral("dword:");
        break;
    case TRegDataType::rdBinary:
        prefix = QStringLiteral("binary:");
        break;
    }
    settings.setValue(groupOf(root, key) + QLatin1Char('/') + name, QString(prefix + value.data.toString()));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

TRegistry::TRegistry() = default;

TRegistry::~TRegistry()
{
    CloseKey();
}

bool TRegistry::OpenKey(const QString &key, bool canCreate)
{
    CloseKey();
    IRegistryStore &store = RegistryStore();
    if (!store.keyExists(m_root, key) && (!canCreate || !store.createKey(m_root, key)))
        return false;
    m_key = key;
    m_open = true;
    return true;
}

void TRegistry::CloseKey()
{
    m_open = false;
    m_key.clear();
}

QString TRegistry::ReadString(const QString &name)
{
    const auto value = RegistryStore().value(m_root, m_key, name);
    if (!value)
        return QString();
    if (value->type != TRegDataType::rdString && value->type != TRegDataType::rdExpandString)
        throw ERegistryException("Invalid data type for '" + name.toStdString() + "'");
    return value->data.toString();
}

void TRegistry::WriteString(const QString &name, const QString &value)
{
    if (!m_open || !RegistryStore().setValue(m_root, m_key, name, {TRegDataType::rdString, value}))
        throw ERegistryException("Failed to set data for '" + name.toStdString() + "'");
}
