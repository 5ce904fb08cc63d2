#include "Shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace {
IShell *g_shell = nullptr;
}

IShell &Shell()
{
    static RealShell real;
    return g_shell ? *g_shell : real;
}

void SetShell(IShell *shell)
{
    g_shell = shell;
}

QStringList SplitCommandLine(const QString &commandLine)
{
    QStringList args;
    const qsizetype n = commandLine.size();
    qsizetype i = 0;
    for (;;) {
        while (i < n && (commandLine[i] == QLatin1Char(' ') || commandLine[i] == QLatin1Char('\t')))
            ++i;
        if (i >= n)
            break;
        QString arg;
        bool quoted = false;
        while (i < n) {
            const QChar c = commandLine[i];
            if (!quoted && (c == QLatin1Char(' ') || c == QLatin1Char('\t')))
                break;
            if (c == QLatin1Char('\\')) {
                qsizetype slashes = 0;
                while (i < n && commandLine[i] == QLatin1Char('\\')) {
                    ++slashes;
                    ++i;
                }
                if (i < n && commandLine[i] == QLatin1Char('"')) {
                    arg += QString(slashes / 2, QLatin1Char('\\'));
                    if (slashes % 2 == 1) {
                        arg += QLatin1Char('"');
                        ++i;
                    }
                } else {
                    arg += QString(slashes, QLatin1Char('\\'));
                }
                continue;
            }
            if (c == QLatin1Char('"')) {
                if (quoted && i + 1 < n && commandLine[i + 1] == QLatin1Char('"')) {
                    arg += QLatin1Char('"');
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            arg += c;
            ++i;
        }
        args << arg;
    }
    return args;
}

bool RealShell::StartProgram(const QString &program, const QString &parameters)
{
    // Never through a shell: the program gets its arguments as a list.
    return QProcess::startDetached(program, SplitCommandLine(parameters));
}

bool RealShell::OpenAddress(const QString &address)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(address));
}
