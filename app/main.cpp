// Cinaxo: the catalogue of a home film collection on removable discs.

#include "AboutForm.h"
#include "AddEditForm.h"
#include "Application.h"
#include "Bitmap.h"
#include "Colors.h"
#include "ConfigForm.h"
#include "MainForm.h"
#include "ProgramFolders.h"
#include "SanitizerDefaults.h"
#include "VersionInfo.h"

#include <QCommandLineParser>
#include <QFont>
#include <QIcon>
#include <QPixmap>

namespace {
// --help and --version print their text and end the program; --catalogue DIR gives the folder of the
// catalogue to open. Returns that folder, or an empty text.
QString processCommandLine(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(
        "Каталог на домашна филмова колекция на сменяеми дискове.\n"
        "Keeps the catalogue of a home film collection on removable discs.\n\n"
        "The catalogue (db.txt, with its schema format.txt) is the one beside the program when\n"
        "format.txt lies there, otherwise the one in ~/.local/share/Cinaxo, which the first start\n"
        "fills with the installed format.txt and an empty catalogue."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption catalogue(
        QStringLiteral("catalogue"), QStringLiteral("Opens the catalogue (db.txt and format.txt) in <DIR>."),
        QStringLiteral("DIR"));
    parser.addOption(catalogue);
    parser.process(app);
    return parser.value(catalogue);
}

// Help and version need no window, so they work without a display.
bool asksForText(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "--help" || arg == "-?" || arg == "--help-all" || arg == "-v" ||
            arg == "--version")
            return true;
    }
    return false;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Cinaxo"));
    QCoreApplication::setApplicationVersion(
        ProgramVersionRecord().Strings.at(QStringLiteral("040204E3")).at(QStringLiteral("FileVersion")));
    if (asksForText(argc, argv)) {
        QCoreApplication textOnly(argc, argv);
        processCommandLine(textOnly);
        return 0;
    }

    TApplication app(argc, argv);
    app.setTitle(QStringLiteral("Cinaxo"));
    const QString catalogue = processCommandLine(app);
    SysColors::fillFromPalette(QApplication::palette());

    TBitmap icon;
    icon.LoadFromResourceName(QStringLiteral("MAINICON"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon.Image())));

    try {
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
