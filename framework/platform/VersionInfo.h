#pragma once
// The program's version record and the three questions that are asked of it: how large is it,
// give me a copy, and what is at this path inside it.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

struct VersionRecord
{
    // The file-flags word of the fixed information.
    std::uint32_t FileFlags = 0;
    bool HasFixedInfo = true;
    // Language identifier and code page of each string block, in order.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> Translations;
    // Blocks by their eight hexadecimal digits ("040204E3"), then values by key.
    std::map<QString, std::map<QString, QString>> Strings;
};

// What the version label reads; the real one answers from the record compiled into the program.
class IVersionSource
{
public:
    virtual ~IVersionSource() = default;
    // Size of the version record of `file`; 0 when it has none.
    virtual int InfoSize(const QString &file) = 0;
    // A copy of the record; false when reading fails.
    virtual bool ReadInfo(const QString &file, VersionRecord &record) = 0;
};

// A value found by a query: its bytes or text and the length the platform reports for it.
struct VersionValue
{
    QString text;
    std::uint32_t flags = 0;
    std::vector<std::pair<std::uint16_t, std::uint16_t>> translations;
    int length = 0;
};
// Paths: "\" (fixed information: its flags; length 52), "\VarFileInfo\Translation" (4 bytes per
// entry), "\StringFileInfo\BLOCK\KEY" (the string; its length counts the terminating NUL).
std::optional<VersionValue> VerQueryValue(const VersionRecord &record, const QString &path);

// The record of this program, built from the project's version.
const VersionRecord &ProgramVersionRecord();
IVersionSource &VersionSource();
void SetVersionSource(IVersionSource *source);
