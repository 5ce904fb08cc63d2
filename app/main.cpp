// Cinaxo: the catalogue of a home film collection on removable discs.

#include "AboutForm.h"
#include "Accessibility.h"
#include "AddEditForm.h"
#include "Application.h"
#include "Bitmap.h"
#include "Colors.h"
#include "ConfigForm.h"
#include "MainForm.h"
#include "ProgramFolders.h"
#include "SanitizerDefaults.h"
#include "StartOptions.h"
#include "VersionInfo.h"

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Cinaxo"));
    QCoreApplication::setApplicationVersion(
        ProgramVersionRecord().Strings.at(QStringLiteral("040204E3")).at(QStringLiteral("FileVersion")));
    // Before the window system: help, version and a wrong option need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const StartOptions options = ReadStartOptions(arguments);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(options.error));
        return 1;
    }
    if (options.printsText)
        PrintStartText(argc, argv);

    TApplication app(argc, argv);
    app.setTitle(QStringLiteral("Cinaxo"));
    InstallAccessibility();
    const QString catalogue = options.catalogue;
    SysColors::fillFromPalette(QApplication::palette());

    TBitmap icon;
    icon.LoadFromResourceName(QStringLiteral("MAINICON"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon.Image())));

    try {
        OfferCatalogueFolder(catalogue);
        SetUpProgramDirectory(catalogue);
    } catch (const std::exception &error) {
        TApplication::ShowException(error);
    }
    Form1 = new TForm1;
    AddEditForm = new TAddEditForm(Form1, Form1->DataSource());
    ConfigForm = new TConfigForm(Form1);
    AboutForm = new TAboutForm(Form1);
    if (Form1->QuitRequested()) {
        delete Form1;
        return 0;
    }
    Form1->show();
    const int result = QApplication::exec();
    delete Form1;
    return result;
}
