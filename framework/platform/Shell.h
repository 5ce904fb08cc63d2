#pragma once
// Starting programs and opening addresses, as the shell does; tests put a fake in its place.

#include <QString>
#include <QStringList>

class IShell
{
public:
    virtual ~IShell() = default;
    // Starts `program` with the arguments of a command line `parameters`, not waiting for it.
    virtual bool StartProgram(const QString &program, const QString &parameters) = 0;
    virtual bool OpenAddress(const QString &address) = 0;
};

IShell &Shell();
void SetShell(IShell *shell);

// Splits a command line into arguments by the rules a Windows program applies to its own:
// blanks separate arguments, double quotes group them and are dropped, a doubled quote inside
// quotes is one quote, and backslashes count only in front of a quote.
QStringList SplitCommandLine(const QString &commandLine);

class RealShell : public IShell
{
public:
    bool StartProgram(const QString &program, const QString &parameters) override;
    bool OpenAddress(const QString &address) override;
};
