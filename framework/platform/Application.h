#pragma once
// The application object: its title, the program directory, and the one place where an error that
// reaches the event loop is shown to the user, after which the program goes on.

#include <QApplication>

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

// The slot of a command: an error it raises is shown in the error box here, so that it never
// unwinds through Qt's frames. Takes whatever the signal passes and calls `command` without it.
template <typename Command> auto Guarded(Command command)
{
    return [command = std::move(command)](auto &&...) {
        try {
            command();
        } catch (const std::exception &error) {
            TApplication::ShowException(error);
        }
    };
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
