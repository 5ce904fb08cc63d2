#pragma once
// The settings dialog: the paths of the three players, kept in the registry store.

#include <QDialog>
#include <memory>

class QLineEdit;

namespace Ui {
class TConfigForm;
}

class TConfigForm : public QDialog
{
    Q_OBJECT

public:
    explicit TConfigForm(QWidget *owner);
    ~TConfigForm() override;

    Ui::TConfigForm &ui() const { return *m_ui; }
    // Reads the paths and shows the dialog; Save stores them. A path that cannot be read raises
    // before the dialog is shown.
    void Execute();
    void LoadSettings();
    // False, after telling the user, when the store could not be opened or written.
    bool SaveSettings();

    void Button01Click();
    void Button02Click();
    void Button03Click();
    void Button04Click();
    void Button05Click();

private:
    void FormCreate();
    // Runs a player's file dialog; a chosen file that is not a program is refused with a message.
    void choosePlayer(int player, const char *title, const QString &defaultName, QLineEdit *edit);

    std::unique_ptr<Ui::TConfigForm> m_ui;
    QString m_folders[3];
};

extern TConfigForm *ConfigForm;
