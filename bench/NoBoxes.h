#pragma once

#include "Dialogs.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

// Any box the program would show ends the measurement with its text.
class NoBoxes : public RealDialogs
{
public:
    void ShowMessage(const QString &text) override { fail(text); }
    void ShowError(const QString &text) override { fail(text); }
    int MessageDlg(const QString &text, TMsgDlgType, unsigned) override
    {
        fail(text);
        return mrCancel;
    }
    [[noreturn]] static void fail(const QString &text)
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::exit(1);
    }
};
