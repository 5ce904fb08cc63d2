#include "StartOptions.h"

#include "Dialogs.h"
#include "Errors.h"
#include "ProgramFolders.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

namespace {
struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption catalogue{QStringLiteral("catalogue"),
                                 QStringLiteral("Opens the catalogue (db.txt and format.txt) in <DIR>."),
                                 QStringLiteral("DIR")};

    Parser()
    {
        parser.setApplicationDescription(QString::fromUtf8(
            "Каталог на домашна филмова колекция на сменяеми дискове.\n"
            "Keeps the catalogue of a home film collection on removable discs.\n\n"
            "The catalogue (db.txt, with its schema format.txt) is the one beside the program when\n"
            "anything of a catalogue lies there or no installation is around it, otherwise the one in\n"
            "~/.local/share/Cinaxo, which the first start fills with the installed format.txt and an\n"
            "empty catalogue."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(catalogue);
    }
};

// The options of Qt's window system, which QGuiApplication takes from the command line itself.
const char *const kQtOptionsWithValue[] = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "display",         "geometry",           "name",          "title",
    "style",           "stylesheet",         "qmljsdebugger", "visual"};
const char *const kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

QStringList withoutQtOptions(const QStringList &arguments)
{
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (i == 0 || !arg.startsWith(QLatin1Char('-'))) {
            kept << arg;
            continue;
        }
        QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
        const bool valueGiven = name.contains(QLatin1Char('='));
        name = name.section(QLatin1Char('='), 0, 0);
        bool qts = false;
        for (const char *flag : kQtFlags)
            qts = qts || name == QLatin1String(flag);
        for (const char *option : kQtOptionsWithValue) {
            if (name == QLatin1String(option)) {
                qts = true;
                if (!valueGiven)
                    ++i;
            }
        }
        if (!qts)
            kept << arg;
    }
    return kept;
}
} // namespace

StartOptions ReadStartOptions(const QStringList &arguments)
{
    Parser p;
    StartOptions options;
    if (!p.parser.parse(withoutQtOptions(arguments))) {
        options.error = p.parser.errorText();
        return options;
    }
    for (const char *name : {"help", "help-all", "version"})
        options.printsText = options.printsText || p.parser.isSet(QLatin1String(name));
    options.catalogue = p.parser.value(p.catalogue);
    return options;
}

void PrintStartText(int argc, char *argv[])
{
    QCoreApplication textOnly(argc, argv);
    Parser p;
    p.parser.process(withoutQtOptions(textOnly.arguments()));
    std::exit(0);
}

void OfferCatalogueFolder(const QString &folder)
{
    const QString dir = QDir(folder).absolutePath() + QLatin1Char('/');
    if (folder.isEmpty() || QFileInfo::exists(dir + QStringLiteral("format.txt")))
        return;
    const QString yes = QString::fromUtf8("Да");
    const QString no = QString::fromUtf8("Не");
    const QString answer = Dialogs().Ask(
        QString::fromUtf8("Папката %1 не съдържа каталог на Cinaxo (format.txt). Да се създаде ли "
                          "в нея нов, празен каталог?")
            .arg(QDir::toNativeSeparators(QDir(folder).absolutePath())),
        TMsgDlgType::mtConfirmation, {yes, no}, no);
    if (answer != yes)
        return;
    // The program's own files: beside a portable copy, or those it was installed with.
    const QString portable = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const QString source =
        QFileInfo::exists(portable + QStringLiteral("format.txt")) ? portable : InstalledDataDirectory();
    const QString skin = QStringLiteral("Skin/btnsource.bmp");
    if (QFileInfo::exists(source + skin) && !QFileInfo::exists(dir + skin)) {
        if (!QDir().mkpath(dir + QStringLiteral("Skin")) || !QFile::copy(source + skin, dir + skin))
            throw EFCreateError("Cannot create file " + QDir::toNativeSeparators(dir + skin).toStdString());
    }
    SeedProgramDirectory(dir, source);
}
