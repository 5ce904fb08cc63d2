#include "Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {
IDialogs *g_dialogs = nullptr;

QWidget *activeParent()
{
    return QApplication::activeWindow();
}
} // namespace

IDialogs &Dialogs()
{
    static RealDialogs real;
    return g_dialogs ? *g_dialogs : real;
}

void SetDialogs(IDialogs *dialogs)
{
    g_dialogs = dialogs;
}

void RealDialogs::ShowMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                    activeParent());
    const QPointer<QMessageBox> outer = m_message;
    m_message = &box;
    box.exec();
    m_message = outer;
}

void RealDialogs::CloseMessage()
{
    if (m_message)
        m_message->done(QMessageBox::Ok);
}

void RealDialogs::ShowError(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok,
                    activeParent());
    box.exec();
}

int RealDialogs::MessageDlg(const QString &text, TMsgDlgType type, unsigned buttons)
{
    static const struct
    {
        TMsgDlgType type;
        QMessageBox::Icon icon;
        const char *caption;
    } kTypes[] = {{TMsgDlgType::mtWarning, QMessageBox::Warning, "Warning"},
                  {TMsgDlgType::mtError, QMessageBox::Critical, "Error"},
                  {TMsgDlgType::mtInformation, QMessageBox::Information, "Information"},
                  {TMsgDlgType::mtConfirmation, QMessageBox::Question, "Confirm"},
                  {TMsgDlgType::mtCustom, QMessageBox::NoIcon, ""}};
    QMessageBox box(activeParent());
    for (const auto &t : kTypes) {
        if (t.type == type) {
            box.setIcon(t.icon);
            box.setWindowTitle(t.type == TMsgDlgType::mtCustom ? QApplication::applicationName()
                                                               : QString::fromLatin1(t.caption));
        }
    }
    box.setText(text);
    static const struct
    {
        unsigned bit;
        const char *caption;
        int result;
        QMessageBox::ButtonRole role;
    } kButtons[] = {{MsgButtons::mbYes, "&Yes", mrYes, QMessageBox::YesRole},
                    {MsgButtons::mbNo, "&No", mrNo, QMessageBox::NoRole},
                    {MsgButtons::mbOK, "OK", mrOk, QMessageBox::AcceptRole},
                    {MsgButtons::mbCancel, "Cancel", mrCancel, QMessageBox::RejectRole},
                    {MsgButtons::mbAbort, "&Abort", mrAbort, QMessageBox::DestructiveRole},
                    {MsgButtons::mbRetry, "&Retry", mrRetry, QMessageBox::AcceptRole},
                    {MsgButtons::mbIgnore, "&Ignore", mrIgnore, QMessageBox::AcceptRole}};
    std::vector<std::pair<QAbstractButton *, int>> results;
    for (const auto &b : kButtons) {
        if (buttons & b.bit)
            results.emplace_back(box.addButton(QString::fromLatin1(b.caption), b.role), b.result);
    }
    // Escape answers Cancel, as in the system's own boxes.
    for (const auto &[button, result] : results) {
        if (result == mrCancel)
            box.setEscapeButton(button);
    }
    box.exec();
    for (const auto &[button, result] : results) {
        if (box.clickedButton() == button)
            return result;
    }
    return mrCancel;
}

QString toQtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString RealDialogs::OpenFileName(const QString &title, const QString &filter, const QString &defaultName,
                                  QString &folder)
{
    QFileDialog dialog(activeParent(), title, folder, toQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // The same dialog on every desktop, so the program looks and behaves alike everywhere.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!defaultName.isEmpty())
        dialog.selectFile(defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString chosen = dialog.selectedFiles().constFirst();
    folder = QFileInfo(chosen).absolutePath();
    return chosen;
}

QString RealDialogs::SaveFileName(const QString &title, const QString &filter, const QString &defaultName)
{
    QFileDialog dialog(activeParent(), title, QString(), toQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!defaultName.isEmpty())
        dialog.selectFile(defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
