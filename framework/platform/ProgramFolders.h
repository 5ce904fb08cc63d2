#pragma once
// Where the program finds its files. A copy whose folder holds a catalogue's files is portable: that
// folder is the program directory. An installed copy keeps the catalogue in the user's data folder, fills it
// the first time from the files it was installed with, and never writes into its installation.

#include <QString>

// The folder of the files installed with the program (format.txt, Skin/), found from the executable.
QString InstalledDataDirectory();
// Tests point it elsewhere; an empty text goes back to the one found from the executable.
void SetInstalledDataDirectory(const QString &directory);
// The user's data folder of the program, ~/.local/share/Cinaxo.
QString UserDataDirectory();

// The program directory of an executable in `executableDir`, with a trailing separator. The copy is
// portable, and that folder is the program directory, when anything of a catalogue lies there
// (format.txt, db.txt, Skin/) or when no installation is there to take the files from (no
// format.txt in `installedDataDir`); otherwise it is installed, and it is `userDataDir`.
QString ChooseProgramDirectory(const QString &executableDir, const QString &userDataDir,
                               const QString &installedDataDir);
// Gives `directory` an empty catalogue and the installed format.txt when it has no format.txt yet; a
// catalogue already there is kept. Raises EFOpenError or EFCreateError when a file cannot be copied.
void SeedProgramDirectory(const QString &directory, const QString &installedDataDir);
// At start: the folder given on the command line as it is, or else the chosen one; an installed
// copy's is seeded. `executableDir` empty: the executable's folder.
void SetUpProgramDirectory(const QString &catalogueDirectory, const QString &executableDir = QString());
// A file by its name in the program directory: there when it exists, else among the installed files
// when it exists there, else the program directory's name for it, so that a missing file is reported
// where the user looks for it.
QString ProgramFile(const QString &relativeName);
