#pragma once
// The registry object: a root key, an open key path, and typed values. On this platform the store
// is an INI file in the user's configuration directory, with the same key paths and value names;
// every value keeps its type, so a value of the wrong type fails as it would in the registry.

#include "Errors.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

enum class TRootKey { HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS };
enum class TRegDataType { rdString, rdExpandString, rdInteger, rdBinary };

class ERegistryException : public Exception
{
public:
    using Exception::Exception;
};

struct RegValue
{
    TRegDataType type = TRegDataType::rdString;
    QVariant data;
};

// Where the keys and values live.
class IRegistryStore
{
public:
    virtual ~IRegistryStore() = default;
    virtual bool keyExists(TRootKey root, const QString &key) = 0;
    // Creates the key; false when that is refused.
    virtual bool createKey(TRootKey root, const QString &key) = 0;
    virtual std::optional<RegValue> value(TRootKey root, const QString &key, const QString &name) = 0;
    // False when the write is refused.
    virtual bool setValue(TRootKey root, const QString &key, const QString &name, const RegValue &value) = 0;
};

IRegistryStore &RegistryStore();
void SetRegistryStore(IRegistryStore *store);

// The INI file store, "registry.ini" in the user's configuration directory (or a given file). A
// value is written as its type, a colon and its data ("sz:/usr/bin/mplayer", "dword:5"); a value
// without one of the prefixes sz, expand_sz, dword and binary is text, as written by hand.
class IniRegistryStore : public IRegistryStore
{
public:
    explicit IniRegistryStore(QString fileName = QString());
    bool keyExists(TRootKey root, const QString &key) override;
    bool createKey(TRootKey root, const QString &key) override;
    std::optional<RegValue> value(TRootKey root, const QString &key, const QString &name) override;
    bool setValue(TRootKey root, const QString &key, const QString &name, const RegValue &value) override;
    const QString &FileName() const { return m_fileName; }

private:
    QString m_fileName;
};

class TRegistry
{
public:
    TRegistry();
    ~TRegistry();
    TRegistry(const TRegistry &) = delete;
    TRegistry &operator=(const TRegistry &) = delete;

    TRootKey RootKey() const { return m_root; }
    void setRootKey(TRootKey root) { m_root = root; }
    // Opens a key path (a trailing backslash is allowed); true when the key is open.
    bool OpenKey(const QString &key, bool canCreate);
    void CloseKey();
    bool HasOpenKey() const { return m_open; }
    // An empty text for a missing value; "Invalid data type for '%s'" for a value that is not text.
    QString ReadString(const QString &name);
    // "Failed to set data for '%s'" when the store refuses.
    void WriteString(const QString &name, const QString &value);

private:
    TRootKey m_root = TRootKey::HKEY_CURRENT_USER;
    QString m_key;
    bool m_open = false;
};
