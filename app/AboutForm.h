#pragma once
// The about window: the program's name on a blue panel, its version twice, and two contact links.

#include <QDialog>
#include <memory>

namespace Ui {
class TAboutForm;
}

class TAboutForm : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutForm(QWidget *parent = nullptr);
    ~TAboutForm() override;

    Ui::TAboutForm &ui() const { return *m_ui; }
    void Button1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();

    std::unique_ptr<Ui::TAboutForm> m_ui;
    bool m_shown = false;
};

extern TAboutForm *AboutForm;
