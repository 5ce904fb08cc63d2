#pragma once
// A folder of a test's own with its schema and catalogue files, and datasets on them.

#include "Codec.h"
#include "SdfData.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Failures show texts as text.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

// Windows-1251 bytes from UTF-8 source text.
inline std::string cp(const char *utf8)
{
    return Codec::fromQString(QString::fromUtf8(utf8));
}

// A folder of a test's own for a catalogue and the files beside it.
class Catalogue
{
public:
    QString folder() const { return m_dir.path(); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString db() const { return path(QStringLiteral("db.txt")); }

    void write(const QString &name, const std::string &bytes) const
    {
        QFile file(path(name));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes.data(), qint64(bytes.size()));
    }
    void writeDb(const std::string &bytes) const { write(QStringLiteral("db.txt"), bytes); }
    std::string read(const QString &name) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::ReadOnly))
            return "<missing>";
        const QByteArray data = file.readAll();
        return std::string(data.constData(), std::size_t(data.size()));
    }
    std::string readDb() const { return read(QStringLiteral("db.txt")); }

    // A delimited dataset on db.txt with the given schema lines, not yet open.
    std::unique_ptr<TSdfDataSet> dataSet(std::vector<std::string> schema) const
    {
        auto ds = std::make_unique<TSdfDataSet>();
        ds->setObjectName(QStringLiteral("DataSet"));
        ds->setSchema(std::move(schema));
        ds->setFileName(db());
        return ds;
    }
    std::unique_ptr<TSdfDataSet> open(std::vector<std::string> schema, const std::string &lines) const
    {
        writeDb(lines);
        auto ds = dataSet(std::move(schema));
        ds->Open();
        return ds;
    }

private:
    QTemporaryDir m_dir;
};

// The message of the exception a statement throws, or "<no error>".
#define MESSAGE_OF(statement)                                                                                \
    [&]() -> std::string {                                                                                   \
        try {                                                                                                \
            statement;                                                                                       \
        } catch (const std::exception &e) {                                                                  \
            return e.what();                                                                                 \
        }                                                                                                    \
        return "<no error>";                                                                                 \
    }()
