#pragma once
// The application object: its title, the program directory, and the one place where an error that
// reaches the event loop is shown to the user, after which the program goes on.

#include <QApplication>
#include <functional>

class TApplication : public QApplication
{
    Q_OBJECT

public:
    TApplication(int &argc, char **argv);

    QString Title() const { return applicationName(); }
    void setTitle(const QString &title);
    bool notify(QObject *receiver, QEvent *event) override;
    // Shows an error's message in the error box; an abort is silent.
    static void ShowException(const std::exception &error);
};

// Runs a command of the user. An exception stops here and goes to the application's error box, so
// that it never unwinds through Qt's signal code; the program goes on.
void RunCommand(const std::function<void()> &command);

// The slot of a command, the one way a command is connected to what triggers it (a button, a key,
// a menu item): an error it raises is shown in the error box by RunCommand. Takes whatever the
// signal passes and calls `command` without it.
//     connect(button, &TNoxSkinBtn::OnClick, this, Guarded([this] { Button1Click(); }));
template <typename Command> auto Guarded(Command command)
{
    return [command = std::move(command)](auto &&...) { RunCommand(command); };
}

// The directory of the executable, with a trailing separator.
QString ProgramDirectory();
// Start-up (ProgramFolders.h) and tests set it; an empty text goes back to the executable's.
void SetProgramDirectory(const QString &directory);

// While a window is built from its layout, the components created know that they are loading; at
// the end each gets its Loaded call.
class FormLoading
{
public:
    FormLoading();
    ~FormLoading();
    FormLoading(const FormLoading &) = delete;
    FormLoading &operator=(const FormLoading &) = delete;
    static bool Active();
    // Calls Loaded() on every child of `form` that has one.
    static void Finish(QObject *form);
};
