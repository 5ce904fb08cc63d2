#include "Application.h"

#include "Dialogs.h"
#include "Errors.h"

#include <QDir>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
int g_loadingDepth = 0;
QString g_programDirectory;
} // namespace

void SetProgramDirectory(const QString &directory)
{
    g_programDirectory = directory;
}

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    // The layouts name the fonts of the system they were drawn on; these are the nearest here.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    setExceptionHandler([](const std::exception &error) { ShowException(error); });
    // Qt's own texts (the file dialogs, the edit boxes' menus) in the program's language.
    auto *qtTexts = new QTranslator(this);
    if (qtTexts->load(QStringLiteral("qtbase_bg"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(qtTexts);
}

void TApplication::setTitle(const QString &title)
{
    // Not the display name, which the window system would append to every window's title.
    setApplicationName(title);
}

void TApplication::ShowException(const std::exception &error)
{
    if (dynamic_cast<const EAbort *>(&error))
        return;
    Dialogs().ShowError(QString::fromUtf8(error.what()));
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    // The last net: commands catch their errors in RunCommand, so an error that comes this far
    // has unwound through Qt's own code, which a connection without the wrapper lets happen.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        qWarning("An error reached the event loop: %s", error.what());
        ShowException(error);
    } catch (...) {
        qWarning("An error reached the event loop");
        Dialogs().ShowError(QStringLiteral("Unknown error"));
    }
    return false;
}

void RunCommand(const std::function<void()> &command)
{
    try {
        command();
    } catch (const std::exception &error) {
        TApplication::ShowException(error);
    } catch (...) {
        Dialogs().ShowError(QStringLiteral("Unknown error"));
    }
}

QString ProgramDirectory()
{
    QString dir = g_programDirectory.isEmpty() ? QCoreApplication::applicationDirPath() : g_programDirectory;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

FormLoading::FormLoading()
{
    ++g_loadingDepth;
}

FormLoading::~FormLoading()
{
    --g_loadingDepth;
}

bool FormLoading::Active()
{
    return g_loadingDepth > 0;
}

void FormLoading::Finish(QObject *form)
{
    for (QObject *child : form->findChildren<QObject *>()) {
        if (child->metaObject()->indexOfMethod("Loaded()") >= 0)
            QMetaObject::invokeMethod(child, "Loaded", Qt::DirectConnection);
    }
}
