#include "SavedElsewhere.h"

#include "Dialogs.h"
#include "Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
QString noteFor(const QString &catalogue)
{
    return Files::sideFile(catalogue, QStringLiteral(".elsewhere"),
                           QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}
} // namespace

void RememberSavedElsewhere(const QString &catalogue, const QString &copy)
{
    const QString note = noteFor(catalogue);
    QDir().mkpath(QFileInfo(note).absolutePath());
    // Only a hint for the next start: a note that cannot be written loses no data.
    QSaveFile file(note);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QFileInfo(copy).absoluteFilePath().toUtf8());
        file.commit();
    }
}

void TellWhereItWasSaved(const QString &catalogue)
{
    const QString note = noteFor(catalogue);
    QFile file(note);
    if (!QFileInfo(note).isFile() || !file.open(QIODevice::ReadOnly))
        return;
    const QString copy = QString::fromUtf8(file.read(64 * 1024));
    file.close();
    QFile::remove(note);
    if (copy.isEmpty())
        return;
    Dialogs().MessageDlg(
        QString::fromUtf8("Когато Cinaxo беше затворен последния път, файлът db.txt беше променен от "
                          "друга програма и каталогът ви беше записан в\n%1\n\nСега е отворен "
                          "db.txt такъв, какъвто го е оставила другата програма.")
            .arg(QDir::toNativeSeparators(copy)),
        TMsgDlgType::mtInformation, MsgButtons::mbOK);
}
