#pragma once
// Every message box and confirmation of the program goes through here, so tests can answer them.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

class QMessageBox;
class QWidget;

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7
};
namespace MsgButtons {
constexpr unsigned mbYes = 0x1, mbNo = 0x2, mbOK = 0x4, mbCancel = 0x8, mbAbort = 0x10, mbRetry = 0x20,
                   mbIgnore = 0x40;
constexpr unsigned mbOKCancel = mbOK | mbCancel;
} // namespace MsgButtons

class IDialogs
{
public:
    virtual ~IDialogs() = default;
    // A plain message box captioned with the application's title.
    virtual void ShowMessage(const QString &text) = 0;
    // Closes the box that ShowMessage shows now, as its OK button does; nothing when none is open.
    // For what the program itself notices while the box waits, such as a disc put in.
    virtual void CloseMessage() = 0;
    // A box with an icon for its type and the given buttons; returns the modal result chosen,
    // mrCancel when it is closed by its border.
    virtual int MessageDlg(const QString &text, TMsgDlgType type, unsigned buttons) = 0;
    // A box captioned with the application's title, with an icon for its type and buttons of the
    // program's own captions in the order given; returns the caption of the button chosen, or
    // `escape` when the box is closed by its border or with Esc. An `escape` that is none of the
    // buttons (an empty text) lets the box be closed without a choice.
    virtual QString Ask(const QString &text, TMsgDlgType type, const QStringList &buttons,
                        const QString &escape) = 0;
    // The error box of the application object.
    virtual void ShowError(const QString &text) = 0;
    // A file-open dialog: the chosen file's full name, or an empty text when cancelled.
    // `folder` is where it opens and, after a choice, the folder of the chosen file.
    virtual QString OpenFileName(const QString &title, const QString &filter, const QString &defaultName,
                                 QString &folder) = 0;
    // A file-save dialog: the chosen name, or an empty text when cancelled.
    virtual QString SaveFileName(const QString &title, const QString &filter, const QString &defaultName) = 0;
};

// The dialogs in use: real ones unless a test set others.
IDialogs &Dialogs();
// Installs `dialogs` (not owned) until it is reset with nullptr.
void SetDialogs(IDialogs *dialogs);

// Boxes on the screen.
class RealDialogs : public IDialogs
{
public:
    void ShowMessage(const QString &text) override;
    void CloseMessage() override;
    int MessageDlg(const QString &text, TMsgDlgType type, unsigned buttons) override;
    QString Ask(const QString &text, TMsgDlgType type, const QStringList &buttons,
                const QString &escape) override;
    void ShowError(const QString &text) override;
    QString OpenFileName(const QString &title, const QString &filter, const QString &defaultName,
                         QString &folder) override;
    QString SaveFileName(const QString &title, const QString &filter, const QString &defaultName) override;

private:
    QPointer<QMessageBox> m_message;
};

// A dialog filter as the program writes them, "Name|*.ext|Name|*.a;*.b", in Qt's form. The
// patterns are read as this system names files: "*.*" is every file, with a dot or without.
QString toQtFilter(const QString &filter);
// Whether a filter asks for programs ("*.exe"): on this system those are the executable files,
// whatever their names.
bool asksForPrograms(const QString &filter);
