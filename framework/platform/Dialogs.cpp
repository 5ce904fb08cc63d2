#include "Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSortFilterProxyModel>

namespace {
IDialogs *g_dialogs = nullptr;

QWidget *activeParent()
{
    return QApplication::activeWindow();
}

// Closes on Esc and by its border without a choice when none of its buttons is the escape one;
// a plain message box would then stay until a button is clicked.
class NamedButtonsBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (!escapeButton() && event->matches(QKeySequence::Cancel))
            return reject();
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override
    {
        if (!escapeButton())
            return QDialog::closeEvent(event);
        QMessageBox::closeEvent(event);
    }
};

// The plain boxes keep their "OK" whatever language Qt's own buttons speak.
// `open`, when given, points at the box while it is shown.
void showPlain(QMessageBox::Icon icon, const QString &text, QPointer<QMessageBox> *open = nullptr)
{
    QMessageBox box(icon, QApplication::applicationName(), text, QMessageBox::NoButton, activeParent());
    box.setEscapeButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
    if (open)
        *open = &box;
    box.exec();
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
    const QPointer<QMessageBox> outer = m_message;
    showPlain(QMessageBox::NoIcon, text, &m_message);
    m_message = outer;
}

void RealDialogs::CloseMessage()
{
    if (m_message)
        m_message->done(QMessageBox::Ok);
}

void RealDialogs::ShowError(const QString &text)
{
    showPlain(QMessageBox::Critical, text);
}

QString RealDialogs::Ask(const QString &text, TMsgDlgType type, const QStringList &buttons,
                         const QString &escape)
{
    static const std::pair<TMsgDlgType, QMessageBox::Icon> kIcons[] = {
        {TMsgDlgType::mtWarning, QMessageBox::Warning},
        {TMsgDlgType::mtError, QMessageBox::Critical},
        {TMsgDlgType::mtInformation, QMessageBox::Information},
        {TMsgDlgType::mtConfirmation, QMessageBox::Question},
        {TMsgDlgType::mtCustom, QMessageBox::NoIcon}};
    NamedButtonsBox box(activeParent());
    box.setWindowTitle(QApplication::applicationName());
    for (const auto &[t, icon] : kIcons) {
        if (t == type)
            box.setIcon(icon);
    }
    box.setText(text);
    std::vector<QAbstractButton *> added;
    for (const QString &caption : buttons) {
        // The box keeps the buttons in the order they were added when their roles are alike.
        QAbstractButton *button = box.addButton(caption, QMessageBox::ActionRole);
        if (caption == escape)
            box.setEscapeButton(button);
        added.push_back(button);
    }
    if (!added.empty())
        box.setDefaultButton(static_cast<QPushButton *>(added.front()));
    box.exec();
    for (std::size_t i = 0; i < added.size(); ++i) {
        if (box.clickedButton() == added[i])
            return buttons.at(qsizetype(i));
    }
    return escape;
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

namespace {
const QLatin1String kProgramPattern("*.exe");

QStringList patternsOf(const QString &patterns)
{
    return patterns.split(QRegularExpression(QStringLiteral("[; ]")), Qt::SkipEmptyParts);
}

// Shows folders, and of the files only those that can be run.
class ProgramsOnly : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (!files)
            return true;
        const QModelIndex index = files->index(row, 0, parent);
        const QFileInfo info = files->fileInfo(index);
        return info.isDir() || info.isExecutable();
    }
};

// The same dialog on every desktop, in the program's language, so it looks and behaves alike
// everywhere.
void prepare(QFileDialog &dialog, const QString &filter)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setLabelText(QFileDialog::Reject, QString::fromUtf8("Отказ"));
    if (asksForPrograms(filter))
        dialog.setProxyModel(new ProgramsOnly(&dialog));
}
} // namespace

bool asksForPrograms(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 1; i < parts.size(); i += 2) {
        if (patternsOf(parts[i]).contains(kProgramPattern, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString toQtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = patternsOf(parts[i + 1]);
        for (QString &pattern : patterns) {
            // Names without a dot are common here; programs are found by what they are, not by name.
            if (pattern == QLatin1String("*.*") || pattern.compare(kProgramPattern, Qt::CaseInsensitive) == 0)
                pattern = QStringLiteral("*");
        }
        patterns.removeDuplicates();
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString RealDialogs::OpenFileName(const QString &title, const QString &filter, const QString &defaultName,
                                  QString &folder)
{
    QFileDialog dialog(activeParent(), title, folder, toQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    prepare(dialog, filter);
    dialog.setLabelText(QFileDialog::Accept, QString::fromUtf8("Отвори"));
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
    prepare(dialog, filter);
    dialog.setLabelText(QFileDialog::Accept, QString::fromUtf8("Запиши"));
    // A name typed without an extension takes the one of the chosen type ("HTML таблица", *.html), so
    // that what is written is what was chosen. The type box tells the name it shows, which hides the
    // patterns: the extension is found by that name in the filter.
    const QStringList parts = filter.split(QLatin1Char('|'));
    auto extensionOf = [parts](const QString &chosen) {
        for (int i = 0; i + 1 < parts.size(); i += 2) {
            const QString name = parts[i].trimmed();
            if (chosen == name || chosen.startsWith(name + QStringLiteral(" ("))) {
                static const QRegularExpression pattern(QStringLiteral("^\\*\\.(\\w+)$"));
                return pattern.match(patternsOf(parts[i + 1]).value(0)).captured(1);
            }
        }
        return QString();
    };
    dialog.setDefaultSuffix(extensionOf(parts.value(0).trimmed()));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog, extensionOf](const QString &chosen) { dialog.setDefaultSuffix(extensionOf(chosen)); });
    if (!defaultName.isEmpty())
        dialog.selectFile(defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
