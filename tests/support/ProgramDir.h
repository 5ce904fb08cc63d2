#pragma once
// A program directory of a test's own: the shipped schema, a small catalogue, the skin, and the
// fakes for everything outside the program.

#include "Application.h"
#include "Backups.h"
#include "Catalogue.h"
#include "FakeDialogs.h"
#include "FakePlatform.h"
#include "FakeVolumes.h"

#include <QDir>
#include <QFile>

#ifndef CINAXO_DIST_DIR
#error "CINAXO_DIST_DIR must name the dist folder"
#endif

inline const std::string kFilms = cp("Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"
                                     "\"Smith, John\",CD-002,DivX,,,,Не,Иван\r\n"
                                     "Matrix,DVD-002,DVD,,,,да\r\n");

// The catalogue's folder, with the program's files beside it, made the program directory.
class ProgramDir : public Catalogue
{
public:
    explicit ProgramDir(bool withFormat = true, bool withDb = true, const std::string &db = kFilms)
    {
        QDir().mkpath(path(QStringLiteral("Skin")));
        if (withFormat)
            QFile::copy(QStringLiteral(CINAXO_DIST_DIR "/format.txt"), path(QStringLiteral("format.txt")));
        QFile::copy(QStringLiteral(CINAXO_DIST_DIR "/Skin/btnsource.bmp"),
                    path(QStringLiteral("Skin/btnsource.bmp")));
        if (withDb)
            writeDb(db);
        SetProgramDirectory(folder() + QLatin1Char('/'));
        SetBackupsFolder(backups());
    }
    ~ProgramDir()
    {
        SetProgramDirectory(QString());
        SetBackupsFolder(QString());
    }
    // The dated copies of the catalogue go here rather than to the user's data folder.
    QString backups() const { return path(QStringLiteral("backups")); }

    FakeDialogs dialogs;
    FakeRegistry registry;
    FakeShell shell;
    FakeVolumes volumes;
};
