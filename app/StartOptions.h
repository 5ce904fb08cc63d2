#pragma once
// The command line, read before any window exists, and the catalogue folder it names.

#include <QString>
#include <QStringList>

struct StartOptions
{
    // --help or --version: the text is printed (which needs no display) and the program ends.
    bool printsText = false;
    // What is wrong with the command line, for standard error; the program ends with exit code 1.
    QString error;
    // The folder given with --catalogue, or an empty text.
    QString catalogue;
};

// Reads the program's own options from `arguments` (the program's name first). The window system's
// options that Qt takes itself (-platform NAME, -display NAME, -style NAME, -reverse, ...) are
// passed over here.
StartOptions ReadStartOptions(const QStringList &arguments);
// Prints --help or --version as asked and ends the program.
[[noreturn]] void PrintStartText(int argc, char *argv[]);

// When the folder given with --catalogue holds no catalogue (no format.txt), asks whether to set it
// up as the first start sets up the user's data folder: the program's format.txt and skin, and an
// empty db.txt. Raises EFOpenError or EFCreateError when a file cannot be copied.
void OfferCatalogueFolder(const QString &folder);
