#pragma once
// The settings dialog: the paths of the three players, kept in the registry store.

#include <QDialog>
#include <memory>

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
    // Shows the dialog; Save stores the paths.
    void Execute();
    void LoadSettings();
    // False, after telling the user, when the store could not be opened or written.
    bool SaveSettings();

    void Button01Click();
    void Button02Click();
    void Button03Click();
    void Button04Click();
    void Button05Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();

    std::unique_ptr<Ui::TConfigForm> m_ui;
    QString m_folders[3];
};

extern TConfigForm *ConfigForm;
